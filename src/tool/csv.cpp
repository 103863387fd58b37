// SPDX-License-Identifier: GPL-3.0-or-later
// `csv` and `errors`: the survey for a spreadsheet, and the error-list rows.
#include "commands.h"
#include "csvtext.h"
#include "numtext.h"
#include "surveycommand.h"

#include <cstdio>

using csvtext::Decimal;
using csvtext::TextCell;

int RunCsv(const Args& args)
{
    SSurveyCommand cmd;
    if (const int exit = StartSurveyCommand(args, "csv EIN AUS", 2, cmd); exit >= 0) return exit;
    const CTreDoc& doc = cmd.doc;

    std::string out;
    out.reserve(static_cast<size_t>(doc.GetRowCount()) * 100 + 512); // a line is about 90 bytes
    out += "\xEF\xBB\xBF";
    out += "Meter [m];Potential Ein [V];Potential Aus [V];Potential IR-frei [V];"
           "Gradient Ein links [mV];Gradient Ein rechts [mV];Gradient Aus links [mV];Gradient Aus rechts [mV];"
           "Gradient Ein [mV];Gradient Aus [mV];Gradientendifferenz [mV];Fehlerliste;Kommentar\r\n";
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        const std::string fields[] = {
            Decimal(doc.GetMeter(r), 0),     Decimal(doc.GetPotOn(r), 3),    Decimal(doc.GetPotOff(r), 3),
            Decimal(doc.GetPotIRFree(r), 3), Decimal(doc.GetGradOnL(r), 1),  Decimal(doc.GetGradOnR(r), 1),
            Decimal(doc.GetGradOffL(r), 1),  Decimal(doc.GetGradOffR(r), 1), Decimal(doc.GetGradOn(r), 1),
            Decimal(doc.GetGradOff(r), 1),   Decimal(doc.GetGradDiff(r), 1), doc.IsInErrorWindow(r) ? "x" : "",
            TextCell(doc.GetComment(r)),
        };
        for (size_t i = 0; i < std::size(fields); ++i) {
            if (i > 0) out += ';';
            out += fields[i];
        }
        out += "\r\n";
    }
    return WriteTextFile(cmd.line.operands[1], out) ? kExitOk : kExitFile;
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
