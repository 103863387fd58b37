// SPDX-License-Identifier: GPL-3.0-or-later
#include "featuretext.h"

#include "doc/verdict.h"
#include "pipeline/numbers.h"

namespace tresexport {

namespace {

using trespipeline::GermanFixed;

std::string Chainage(double s) { return GermanFixed(s, trespipeline::kChainageDecimals); }
std::string Millivolts(int32_t mv) { return std::to_string(mv) + " mV"; }

} // namespace

std::string DefectLabel(int priority, int category, double chainage)
{
    static const char* const kRoman[] = {"", "I", "II", "III", "IV"};
    std::string s = "P" + std::to_string(priority) + " ";
    if (category >= 1 && category <= 4) s += std::string(kRoman[category]) + " ";
    return s + GermanFixed(chainage, 1) + " m";
}

std::string StretchLabel(const SVerdictStretch& s, double fromChainage, double toChainage)
{
    return std::string(VerdictStatusName(s.status)) + " " + GermanFixed(fromChainage, 1) + "–"
           + GermanFixed(toChainage, 1) + " m";
}

std::string DefectDescription(const SCoatingDefect& d, const SDigItem& item, double chainage)
{
    std::string s = "Kategorie: ";
    s += d.category > 0 ? DefectCategoryName(d.category) : "–";
    s += "; %IR: ";
    s += IsPresent(d.irPercentTenths) ? GermanFixed(d.irPercentTenths / 10.0, 1) + " %" : std::string("–");
    s += "; Status: " + DefectStatusText(d);
    s += "; Maßnahme: " + std::string(DigActionName(item.action));
    s += "; Stationierung: " + Chainage(chainage) + " m (Messmeter " + std::to_string(d.metre) + " m)";
    s += "; Lage: " + (d.landmark.found ? d.landmark.text : std::string("kein Kommentar in der Messung"));
    return s;
}

std::string StretchDescription(const SVerdictStretch& s, double fromChainage, double toChainage)
{
    std::string t = "Status: " + std::string(VerdictStatusName(s.status));
    t += "; Stationierung: " + Chainage(fromChainage) + " bis " + Chainage(toChainage) + " m (Messmeter "
         + std::to_string(s.fromMetre) + " bis " + std::to_string(s.toMetre) + " m)";
    t += "; Länge: " + GermanFixed(s.length, 2) + " m";
    if (IsPresent(s.worst))
        t += "; schlechtester Wert: " + Millivolts(s.worst) + " bei Messmeter " + std::to_string(s.worstMetre) + " m";
    if (!s.comments.empty()) t += "; Kommentare: " + s.comments;
    return t;
}

std::string FixpointDescription(const std::string& type, double chainage, int row, int32_t metre)
{
    return "Festpunkt: " + (type.empty() ? std::string("ohne Art") : type) + "; Stationierung: " + Chainage(chainage)
           + " m; Zeile " + std::to_string(row) + ", Messmeter " + std::to_string(metre) + " m";
}

std::string TrackDescription(int rows, int firstRow, int lastRow, double fromChainage, double toChainage)
{
    if (rows == 0) return "Messspur: kein Messpunkt auf der Trasse";
    return "Messspur: " + std::to_string(rows) + (rows == 1 ? " Messpunkt" : " Messpunkte") + ", Zeilen "
           + std::to_string(firstRow) + " bis " + std::to_string(lastRow) + "; Stationierung: " + Chainage(fromChainage)
           + " bis " + Chainage(toChainage) + " m";
}

std::string CriterionText(const SProtectionCriterion& c)
{
    std::string s = Millivolts(c.protection) + " " + CriterionSourceName(c.source) + ", Grenzpotential "
                    + Millivolts(c.limitPotential);
    if (!c.warning.empty()) s += " (" + c.warning + ")";
    return s;
}

std::string SurveyDescription(const std::string& file, const std::string& date, const SProtectionCriterion& c,
                              const std::string& programVersion)
{
    std::string s = "Messung " + (file.empty() ? std::string("ohne Namen") : file);
    if (!date.empty()) s += " vom " + date;
    return s + "; Schutzkriterium " + CriterionText(c) + "; Tresmon " + programVersion;
}

} // namespace tresexport
