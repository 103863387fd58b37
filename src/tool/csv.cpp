// SPDX-License-Identifier: GPL-3.0-or-later
// `csv` and `errors`: the survey for a spreadsheet, and the error-list rows.
#include "commands.h"
#include "doc/numtext.h"
#include "export/surveycsv.h"
#include "surveycommand.h"

#include <cstdio>

int RunCsv(const Args& args)
{
    SSurveyCommand cmd;
    if (const int exit = StartSurveyCommand(args, "csv EIN AUS", 2, cmd); exit >= 0) return exit;
    return WriteTextFile(cmd.line.operands[1], tresexport::SurveyCsv(cmd.doc)) ? kExitOk : kExitFile;
}

int RunErrors(const Args& args)
{
    SSurveyCommand cmd;
    if (const int exit = StartSurveyCommand(args, "errors DATEI", 1, cmd); exit >= 0) return exit;
    const CTreDoc& doc = cmd.doc;
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        if (!doc.IsInErrorWindow(r)) continue;
        const std::string line = tresnum::FormatInt(r, 6) + "  " + doc.FormatMeter(r) + "  " + doc.FormatPotOn(r) + "  "
                                 + doc.FormatPotOff(r) + "  " + doc.FormatPotIRFree(r) + "  " + doc.FormatGradOn(r)
                                 + "  " + doc.FormatGradOff(r) + "  " + doc.FormatGradDiff(r) + "  "
                                 + doc.GetComment(r);
        std::printf("%s\n", line.c_str());
    }
    if (std::fflush(stdout) != 0) return kExitFile;
    return kExitOk;
}
