// SPDX-License-Identifier: GPL-3.0-or-later
// `assess`: the protection assessment of a survey ("Schutznachweis") as JSON
// for scripts, or its stretches that are not protected and its dig list as
// a spreadsheet export (verdictjson.h, verdictcsv.h). Both show
// AssessProtection()'s result as it is; with --pipeline measured in
// chainage, and each finding placed on the route.
#include "assessrun.h"
#include "commands.h"
#include "export/verdictcsv.h"

#include <cstdio>

int RunAssess(const Args& args)
{
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Assess, o); exit >= 0) return exit;
    SToolAssessment a;
    if (!AssessForTool(o, a)) return kExitFile;
    const std::string text = o.csv ? tresexport::VerdictCsv(a.verdict, a.Binding()) : AssessmentJsonText(a, o, o.rows);
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
