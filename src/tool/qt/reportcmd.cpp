// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportcmd.h"
#include "offscreenapp.h"

#include "assessment.h"
#include "assessoptions.h"
#include "assessreport.h"
#include "fileerror.h"
#include "toolhost.h"
#include "tredoc.h"

#include <cerrno>
#include <cstdio>

namespace {

// Reads `path` into `doc`; the reader says why it cannot where it can, and a
// silent refusal still gets a line. The document lets go of the host again,
// so the order in which the two end does not matter.
bool Open(CTreDoc& doc, CToolHost& host, const std::string& path)
{
    doc.SetHost(&host);
    const bool opened = doc.OnOpenDocument(path);
    if (!opened && !host.HadMessage()) ToolError(tresdoc::OpenErrorText(path, EINVAL));
    doc.SetHost(nullptr);
    return opened;
}

// The options as the report's assessment reads them, until it shows the
// verdict.
SAssessSettings FormerSettings(const SVerdictSettings& v)
{
    SAssessSettings s;
    s[ECriterion::Off].limit = v.protectionPotential;
    s[ECriterion::IRFree].limit = v.protectionPotential;
    s[ECriterion::Over].limit = v.limitPotential;
    s.spike = v.spike;
    s.gap = static_cast<int32_t>(v.gap);
    return s;
}

} // namespace

int RunReportCommand(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Report, o); exit >= 0) return exit;

    // Fonts need an application object even for a PDF.
    const auto app = EnsureOffscreenApplication();

    CTreDoc doc, earlier;
    CToolHost host, earlierHost;
    if (!Open(doc, host, o.path)) return kExitFile;
    SReportComparison comparison;
    if (!o.compare.empty()) {
        // Both surveys are read before anything is written, so an unreadable
        // comparison survey leaves no report behind.
        if (!Open(earlier, earlierHost, o.compare)) return kExitFile;
        comparison.earlier = &earlier;
        comparison.settings = o.compareSettings;
    }
    QString error;
    const bool written = WriteAssessmentReportPdf(doc, FormerSettings(o.settings), QString::fromStdString(o.output),
                                                  &error, comparison);
    if (!written) {
        ToolError(error.toStdString());
        return kExitFile;
    }
    std::printf("Bewertungsbericht nach %s geschrieben\n", o.output.c_str());
    return kExitOk;
}
