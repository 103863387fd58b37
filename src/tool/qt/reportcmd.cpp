// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportcmd.h"
#include "offscreenapp.h"

#include "assessoptions.h"
#include "assessreport.h"
#include "fileerror.h"
#include "toolhost.h"
#include "tredoc.h"

#include <cerrno>
#include <cstdio>

int RunReportCommand(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    SAssessOptions o;
    if (!ParseAssessOptions(args, EAssessCommand::Report, o)) return kExitUsage;

    // Fonts need an application object even for a PDF.
    const auto app = EnsureOffscreenApplication();

    CTreDoc doc;
    CToolHost host;
    doc.SetHost(&host);
    const bool opened = doc.OnOpenDocument(o.path);
    if (!opened) {
        // The reader says why where it can; a silent refusal still gets a line.
        if (!host.HadMessage()) ToolError(tresdoc::OpenErrorText(o.path, EINVAL));
        doc.SetHost(nullptr);
        return kExitFile;
    }
    QString error;
    const bool written = WriteAssessmentReportPdf(doc, o.settings, QString::fromStdString(o.output), &error);
    doc.SetHost(nullptr);
    if (!written) {
        ToolError(error.toStdString());
        return kExitFile;
    }
    std::printf("Bewertungsbericht nach %s geschrieben\n", o.output.c_str());
    return kExitOk;
}
