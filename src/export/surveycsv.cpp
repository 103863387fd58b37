// SPDX-License-Identifier: GPL-3.0-or-later
#include "surveycsv.h"

#include "csvtext.h"
#include "doc/tredoc.h"

namespace tresexport {

using csvtext::Decimal;
using csvtext::TextCell;

std::string SurveyCsv(const CTreDoc& doc)
{
    std::string out;
    out.reserve(static_cast<size_t>(doc.GetRowCount()) * 100 + 512); // a line is about 90 bytes
    out += csvtext::kBom;
    out += "Meter [m];Potential Ein [V];Potential Aus [V];Potential IR-frei [V];"
           "Gradient Ein links [mV];Gradient Ein rechts [mV];Gradient Aus links [mV];Gradient Aus rechts [mV];"
           "Gradient Ein [mV];Gradient Aus [mV];Gradientendifferenz [mV];Fehlerliste;Kommentar\r\n";
    const int n = doc.GetRowCount();
    for (int r = 1; r <= n; ++r) {
        csvtext::AppendLine(
            out, {Decimal(doc.GetMeter(r), 0), Decimal(doc.GetPotOn(r), 3), Decimal(doc.GetPotOff(r), 3),
                  Decimal(doc.GetPotIRFree(r), 3), Decimal(doc.GetGradOnL(r), 1), Decimal(doc.GetGradOnR(r), 1),
                  Decimal(doc.GetGradOffL(r), 1), Decimal(doc.GetGradOffR(r), 1), Decimal(doc.GetGradOn(r), 1),
                  Decimal(doc.GetGradOff(r), 1), Decimal(doc.GetGradDiff(r), 1), doc.IsInErrorWindow(r) ? "x" : "",
                  TextCell(doc.GetComment(r))});
    }
    return out;
}

} // namespace tresexport
