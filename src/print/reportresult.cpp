// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportresult.h"

#include "assesslayout.h"
#include "pipeline/nativepairing.h"
#include "pipeline/surveybinding.h"
#include "reportfigures.h"

#include <algorithm>
#include <map>

namespace reportresult {

namespace {

std::string Length(double m) { return assesslayout::LengthText(m); }
std::string Quoted(const char* s) { return std::string("„") + s + "“"; }

// The warning that names why a point is not valid: one name for both.
const char* ValidityName(EValidity v)
{
    switch (v) {
    case EValidity::OffMissing: return PlausibilityName(EPlausibility::OffMissing);
    case EValidity::Positive: return PlausibilityName(EPlausibility::Positive);
    case EValidity::OnEqualsOff: return PlausibilityName(EPlausibility::OnEqualsOff);
    case EValidity::OffBelowOn: return PlausibilityName(EPlausibility::OffBelowOn);
    case EValidity::IRDropSmall: return PlausibilityName(EPlausibility::IRDropSmall);
    case EValidity::Valid: break;
    }
    return "ohne Befund";
}

// "Nicht geschützt: 125,75 m in 26 Abschnitten" and what follows in
// parentheses.
std::string StatusSentence(const char* what, const SStatusSummary& s, const std::string& cause)
{
    std::string t = std::string(what) + ": " + Length(s.length) + " m";
    if (s.stretches > 0) t += " in " + assesslayout::CountText(s.stretches, "Abschnitt", "Abschnitten");
    if (s.length > 0 && !cause.empty()) t += " (" + cause + ")";
    return t + ".";
}

// The parts of a status's length by the value it was judged against:
// "E* positiver als das Schutzpotential -850 mV", or with several values
// "..., davon 110 m gegen -850 mV, 15,75 m gegen -950 mV".
std::string ByCriterion(const std::map<int32_t, double>& parts, const char* against)
{
    if (parts.empty()) return {};
    std::string t = against;
    if (parts.size() == 1) return t + " " + assesslayout::MvText(parts.begin()->first) + " mV";
    t += ": ";
    bool first = true;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
        t += (first ? "" : ", ") + Length(it->second) + " m gegen " + assesslayout::MvText(it->first) + " mV";
        first = false;
    }
    return t;
}

// A section's own E_l where the pipeline data give one, else the survey's.
int32_t RowLimitPotential(const SVerdict& v, const trespipeline::SSurveyBinding* binding, int row)
{
    if (binding && row >= 1 && static_cast<size_t>(row) <= binding->overrides.limitPotential.size()) {
        const int32_t own = binding->overrides.limitPotential[static_cast<size_t>(row - 1)];
        if (IsPresent(own)) return own;
    }
    return v.criterion.limitPotential;
}

std::string DefectSentence(const SVerdict& v)
{
    if (v.defects.empty()) return "Fehlstellenverdacht: keiner.";
    // Counted per action, the most urgent first, then in the order of the
    // actions.
    std::map<int, int> perAction;
    for (const SDigItem& item : v.digList) ++perAction[static_cast<int>(item.action)];
    std::string t = "Fehlstellenverdacht: "
                    + assesslayout::CountText(static_cast<int64_t>(v.defects.size()), "Fehlstelle", "Fehlstellen");
    const int now = static_cast<int>(EDigAction::DigNow);
    std::vector<std::pair<int, int>> order(perAction.begin(), perAction.end());
    std::stable_partition(order.begin(), order.end(), [now](const auto& a) { return a.first == now; });
    const char* joint = ", davon ";
    for (const auto& [action, count] : order) {
        t += joint + std::to_string(count) + " " + Quoted(DigActionName(static_cast<EDigAction>(action)));
        joint = ", ";
    }
    return t + ".";
}

} // namespace

std::vector<std::string> DraftReasons(bool issuerGiven, const SProtectionCriterion& criterion,
                                      const trespipeline::SSurveyBinding* binding)
{
    std::vector<std::string> reasons;
    if (!issuerGiven) reasons.emplace_back("kein Herausgeber angegeben");
    if (criterion.source == ECriterionSource::Default) reasons.emplace_back("Schutzkriterium angenommen");
    if (binding && !binding->warnings.empty()) reasons.emplace_back("Leitungsdaten mit Warnungen");
    return reasons;
}

double SurveyedLength(const SVerdict& v) { return v.coverage.surveyedLength; }

int32_t RowProtectionPotential(const SVerdict& v, const trespipeline::SSurveyBinding* binding, int row)
{
    // An assessed row says what it was judged against; only a row that was
    // not assessed needs its section looked up.
    const auto k = std::lower_bound(v.rows.begin(), v.rows.end(), row,
                                    [](const SVerdictRow& r, int wanted) { return r.row < wanted; });
    if (k != v.rows.end() && k->row == row && IsPresent(k->protection)) return k->protection;
    if (binding && row >= 1 && static_cast<size_t>(row) <= binding->overrides.protectionPotential.size()) {
        const int32_t own = binding->overrides.protectionPotential[static_cast<size_t>(row - 1)];
        if (IsPresent(own)) return own;
    }
    return v.criterion.protection;
}

std::vector<int32_t> StretchProtectionPotentials(const SVerdict& v, const trespipeline::SSurveyBinding* binding,
                                                 const SVerdictStretch& stretch)
{
    std::vector<int32_t> values;
    auto k = std::lower_bound(v.rows.begin(), v.rows.end(), stretch.firstRow,
                              [](const SVerdictRow& r, int row) { return r.row < row; });
    for (; k != v.rows.end() && k->row <= stretch.lastRow; ++k) {
        const int32_t e = RowProtectionPotential(v, binding, k->row);
        if (std::find(values.begin(), values.end(), e) == values.end()) values.push_back(e);
    }
    return values;
}

std::vector<std::string> ResultSentences(const SVerdict& v, const trespipeline::SSurveyBinding* binding)
{
    const auto& st = v.statuses;
    const auto at = [&st](EVerdictStatus s) -> const SStatusSummary& { return st[static_cast<size_t>(s)]; };
    const double surveyed = SurveyedLength(v);
    const double proven = at(EVerdictStatus::Protected).length + at(EVerdictStatus::Protected100).length;
    std::vector<std::string> out;
    std::string first = "Schutz nachgewiesen auf " + Length(proven) + " m von " + Length(surveyed)
                        + " m Messstrecke (erster bis letzter Messpunkt)";
    if (surveyed > 0) first += ", das sind " + reportfigures::ShareText(ShareTenths(proven, surveyed)) + " %";
    if (at(EVerdictStatus::Protected100).length > 0)
        first += "; davon " + Length(at(EVerdictStatus::Protected100).length) + " m nach dem 100-mV-Kriterium";
    out.push_back(first + ".");

    std::map<int32_t, double> unprotected, over;
    std::map<EValidity, double> invalid;
    for (const SVerdictRow& r : v.rows) {
        if (r.status == EVerdictStatus::Unprotected) unprotected[RowProtectionPotential(v, binding, r.row)] += r.weight;
        if (r.status == EVerdictStatus::Over) over[RowLimitPotential(v, binding, r.row)] += r.weight;
        if (r.status == EVerdictStatus::NotAssessed) invalid[r.validity] += r.weight;
    }
    out.push_back(StatusSentence("Nicht geschützt", at(EVerdictStatus::Unprotected),
                                 ByCriterion(unprotected, "E* positiver als das Schutzpotential")));
    if (at(EVerdictStatus::Over).length > 0)
        out.push_back(StatusSentence("Grenzpotential unterschritten", at(EVerdictStatus::Over),
                                     ByCriterion(over, "E* negativer als das Grenzpotential")));
    std::string causes;
    for (const auto& [validity, length] : invalid)
        causes += (causes.empty() ? "" : "; ") + Quoted(ValidityName(validity)) + ": " + Length(length) + " m";
    out.push_back(StatusSentence("Nicht bewertet", at(EVerdictStatus::NotAssessed), causes));
    if (v.coverage.gapLength > 0)
        out.push_back("Nicht gemessen: " + Length(v.coverage.gapLength) + " m in Messlücken (Punktabstand über "
                      + Length(v.settings.gap) + " m).");
    out.push_back(DefectSentence(v));
    out.push_back(trespipeline::Admission100mVText(v, binding));
    return out;
}

} // namespace reportresult
