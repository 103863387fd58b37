// SPDX-License-Identifier: GPL-3.0-or-later
// `trend`: what changed across the archived surveys of one pipeline, as
// text, as JSON for scripts or as a spreadsheet export. The rules are
// ComputeTrend()'s; this command only reads the archive and prints.
#include "commands.h"
#include "toolhost.h"
#include "trendcommand.h"
#include "trendtext.h"

#include "trend/trendcsv.h"
#include "trend/trendjson.h"

#include <cstdio>

namespace {

const char kTrendUsage[]
    = "Aufruf: tresmon-tool trend [ARCHIV] --pipeline NAME [--number NR] [--from JJJJ-MM-TT] [--to JJJJ-MM-TT]\n"
      "       [--match M] [--window W] [--drift MV] [--interval JAHRE] [--json|--csv]\n"
      "  --match M       Fehlstellen zweier Messungen gelten bis M m Abstand als dieselbe (5)\n"
      "  --window W      Festpunkt: Median von E* der Zeilen bis W m um ihn (5)\n"
      "  --drift MV      ein Anstieg um so viel mV oder mehr wird gewarnt (50)\n"
      "  --interval J    nächste Intensivmessung J Jahre nach der letzten (sonst surveyInterval der Trasse)\n";

} // namespace

int RunTrend(const Args& args)
{
    STrendCommand cmd;
    if (const int exit = ReadTrendCommand(args, {{"--json", 0}, {"--csv", 0}}, kTrendUsage, cmd); exit >= 0)
        return exit;
    if (cmd.words.Has("--json") && cmd.words.Has("--csv")) {
        ToolError("--json und --csv schließen einander aus.");
        std::fputs(kTrendUsage, stderr);
        return kExitUsage;
    }
    trestrend::SArchiveTrend loaded;
    if (!LoadTrendForTool(cmd, loaded)) return kExitFile;
    const trestrend::STrend trend
        = trestrend::ComputeTrend(loaded.surveys, loaded.findings, loaded.fixpoints, cmd.options);
    std::string text;
    if (cmd.words.Has("--json"))
        text = jsontext::FileText(trestrend::TrendJson(loaded.pipeline, loaded.surveys, trend));
    else if (cmd.words.Has("--csv")) text = trestrend::TrendCsv(loaded.surveys, trend);
    else text = TrendText(loaded, trend);
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
