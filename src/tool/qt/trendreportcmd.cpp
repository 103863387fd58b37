// SPDX-License-Identifier: GPL-3.0-or-later
#include "trendreportcmd.h"
#include "offscreenapp.h"
#include "reportcmd.h"

#include "print/trendreport.h"
#include "tool/assessoptions.h"
#include "tool/outputguard.h"
#include "tool/toolhost.h"
#include "tool/trendcommand.h"

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[]
    = "Aufruf: tresmon-tool report --trend [ARCHIV] --pipeline NAME -o AUS.pdf [--number NR]\n"
      "       [--from JJJJ-MM-TT] [--to JJJJ-MM-TT] [--match M] [--window W] [--drift MV] [--interval JAHRE]\n"
      "       [--section M] [--final] [--report-number TEXT] [--revision TEXT]\n"
      "       [--company TEXT] [--logo DATEI] [--author TEXT] [--electrode TEXT]\n";

int Usage(const std::string& text)
{
    ToolError(text);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

// The sheet length as the assessment report reads it.
bool ReadSection(const std::string& value, int& out)
{
    const bool digits
        = !value.empty() && value.size() <= 6 && value.find_first_not_of("0123456789") == std::string::npos;
    const int v = digits ? std::stoi(value) : 0;
    if (v < 100 || v > 100000) return false;
    out = v;
    return true;
}

} // namespace

bool AsksForTrendReport(int argc, char** argv)
{
    for (int i = 0; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], "--trend") == 0) return true;
    }
    return false;
}

int RunTrendReportCommand(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    STrendCommand cmd;
    const std::vector<SOptionName> extra
        = {{"--trend", 0},    {"-o", 1},        {"--section", 1}, {"--final", 0},  {"--report-number", 1},
           {"--revision", 1}, {"--company", 1}, {"--logo", 1},    {"--author", 1}, {"--electrode", 1}};
    if (const int exit = ReadTrendCommand(args, extra, kUsage, cmd); exit >= 0) return exit;
    SArchiveWords& w = cmd.words;
    const std::string output = w.values.count("-o") ? w.values["-o"] : std::string();
    if (output.empty()) return Usage("Keine Ausgabedatei angegeben (-o AUS.pdf).");
    if (!OutputIsNoInput(output, {cmd.location})) return kExitUsage;
    SReportOptions report;
    if (w.values.count("--section") && !ReadSection(w.values["--section"], report.sectionLength))
        return Usage("--section erwartet die Länge eines Blatts in ganzen Metern von 100 bis 100000: \""
                     + w.values["--section"] + "\"");
    report.final = w.Has("--final");
    report.reportNumber = QString::fromStdString(w.values["--report-number"]);
    report.revision = QString::fromStdString(w.values["--revision"]);
    SAssessOptions issuer;
    for (const auto& [name, field] : {std::pair{"--company", &SAssessOptions::company},
                                      {"--logo", &SAssessOptions::logo},
                                      {"--author", &SAssessOptions::author},
                                      {"--electrode", &SAssessOptions::electrode}})
        if (w.values.count(name)) issuer.*field = w.values[name];

    trestrend::SArchiveTrend loaded;
    if (!LoadTrendForTool(cmd, loaded)) return kExitFile;
    // Fonts need an application object even for a PDF.
    const auto app = EnsureOffscreenApplication();
    report.issuer = IssuerWithOptions(issuer);
    STrendReportInput in = TrendReportInputFrom(std::move(loaded), cmd.options);
    if (!report.issuer.electrode.trimmed().isEmpty()) in.electrode = report.issuer.electrode;
    QString error;
    if (!WriteTrendReportPdf(in, report, QString::fromStdString(output), &error)) {
        ToolError(error.toStdString());
        return kExitFile;
    }
    std::printf("Trendbericht nach %s geschrieben\n", output.c_str());
    return kExitOk;
}
