// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparisoncsv.h"

#include "csvtext.h"
#include "doc/comparison.h"

namespace tresexport {

namespace {

using csvtext::AppendLine;
using csvtext::Decimal;

std::string Millivolts(int64_t v) { return v == kNoDelta ? std::string() : std::to_string(v); }

} // namespace

std::string ComparisonCsv(const SComparison& c, bool withPairs)
{
    const bool native = c.mode == ECompareMode::Native;
    std::string out = csvtext::kBom;
    out += "Kriterium;Von [m];Bis [m];Paare;Länge [m];Schlechtester Wert [mV];bei Meter [m]\r\n";
    for (const SCompareIndication& i : c.indications)
        AppendLine(out, {csvtext::TextCell(CompareCriterionName(i.criterion)), Decimal(i.fromMetre, 0),
                         Decimal(i.toMetre, 0), std::to_string(i.rows), std::to_string(i.length), Millivolts(i.worst),
                         Decimal(i.worstMetre, 0)});

    const SCompareSummary& s = c.summary;
    out += "\r\nGepaarte Meter;Ohne Partner (aktuell);Ohne Partner (Vergleich)\r\n";
    AppendLine(out,
               {std::to_string(s.matched), std::to_string(s.currentUnmatched), std::to_string(s.earlierUnmatched)});
    out += "\r\nGröße;Anzahl;Minimum [mV];Maximum [mV];Mittelwert [mV]\r\n";
    auto stats = [&](const char* name, const SDeltaStats& d) {
        AppendLine(out, {csvtext::TextCell(name), std::to_string(d.count), Millivolts(d.min), Millivolts(d.max),
                         Millivolts(d.mean)});
    };
    stats("Differenz Aus", s.deltaOff);
    if (native) stats("Polarisation", s.polarisation);

    const SAlignment& a = *c.alignment;
    out += "\r\nAusrichtung;Versatz [m];Landmarken;Größte Abweichung an einer Landmarke [m]\r\n";
    AppendLine(out, {AlignMethodId(a.method), a.method == EAlignMethod::Offset ? std::to_string(a.offset) : "",
                     std::to_string(a.ties.size()), Decimal(a.maxResidual, 0)});

    if (withPairs) {
        out += "\r\nMeter [m];Ein [mV];Aus [mV];IR-frei [mV];Vergleich Ein [mV];Vergleich Aus [mV];"
               "Vergleich IR-frei [mV];Differenz Aus [mV];Differenz IR-frei [mV]";
        out += native ? ";Polarisation [mV]" : "";
        out += ";Messmeter [m];Vergleich Messmeter [m]\r\n";
        for (const SComparePair& p : c.pairs) {
            std::string line;
            AppendLine(line,
                       {Decimal(p.metre, 0), Decimal(p.current.potOn, 0), Decimal(p.current.potOff, 0),
                        Decimal(p.current.potIRFree, 0), Decimal(p.earlier.potOn, 0), Decimal(p.earlier.potOff, 0),
                        Decimal(p.earlier.potIRFree, 0), Millivolts(p.deltaOff), Millivolts(p.deltaIRFree)});
            if (native) line.insert(line.size() - 2, ";" + Millivolts(p.polarisation));
            line.insert(line.size() - 2, ";" + Decimal(p.current.metre, 0) + ";" + Decimal(p.earlier.metre, 0));
            out += line;
        }
    }
    return out;
}

} // namespace tresexport
