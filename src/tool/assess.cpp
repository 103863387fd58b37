// SPDX-License-Identifier: GPL-3.0-or-later
// `assess`: the assessment of a survey as JSON for scripts, or its
// indications and suspected defects as a spreadsheet export.
#include "assessment.h"
#include "assessoptions.h"
#include "commands.h"
#include "csvtext.h"
#include "jsontext.h"
#include "toolhost.h"
#include "tredoc.h"

#include <cstdint>
#include <cstdio>

namespace {

// ---- JSON ---------------------------------------------------------------------

using jsontext::Int;
using jsontext::JsonText;

ojson LandmarkJson(const SLandmark& lm)
{
    if (!lm.found) return nullptr;
    return {{"row", lm.row}, {"metre", lm.metre}, {"comment", JsonText(lm.comment)}, {"distance", lm.distance}};
}

ojson AssessmentJson(const SAssessment& a)
{
    ojson j;
    ojson& criteria = j["criteria"] = ojson::array();
    for (const SCriterionResult& c : a.criteria)
        criteria.push_back({{"id", CriterionId(c.criterion)},
                            {"name", CriterionName(c.criterion)},
                            {"enabled", c.enabled},
                            {"limit", Int(c.limit)}});
    ojson& indications = j["indications"] = ojson::array();
    for (const SIndication& i : a.indications)
        indications.push_back({{"criterion", CriterionId(i.criterion)},
                               {"firstRow", i.firstRow},
                               {"lastRow", i.lastRow},
                               {"fromMetre", i.fromMetre},
                               {"toMetre", i.toMetre},
                               {"rows", i.rows},
                               {"length", i.length},
                               {"worst", Int(i.worst)},
                               {"worstMetre", i.worstMetre}});
    ojson& defects = j["defects"] = ojson::array();
    for (const SDefect& d : a.defects)
        defects.push_back({{"row", d.row},
                           {"metre", d.metre},
                           {"gradDiff", Int(d.gradDiff)},
                           {"gradOn", Int(d.gradOn)},
                           {"gradOff", Int(d.gradOff)},
                           {"potOn", Int(d.potOn)},
                           {"potOff", Int(d.potOff)},
                           {"potIRFree", Int(d.potIRFree)},
                           {"landmark", LandmarkJson(d.landmark)}});
    ojson& warnings = j["warnings"] = ojson::array();
    for (const SWarning& w : a.warnings)
        warnings.push_back({{"kind", WarningId(w.kind)},
                            {"name", WarningName(w.kind)},
                            {"firstRow", w.firstRow},
                            {"lastRow", w.lastRow},
                            {"fromMetre", w.fromMetre},
                            {"toMetre", w.toMetre}});
    const SAssessSummary& s = a.summary;
    ojson summary;
    summary["surveyLength"] = s.surveyLength;
    for (int k = 0; k < kCriterionCount; ++k)
        summary["criteria"][CriterionId(static_cast<ECriterion>(k))]
            = {{"indications", s.indicationCount[static_cast<size_t>(k)]},
               {"length", s.indicationLength[static_cast<size_t>(k)]}};
    summary["defects"] = s.defectCount;
    for (int k = 0; k < kWarningCount; ++k)
        summary["warnings"][WarningId(static_cast<EWarning>(k))] = s.warningCount[static_cast<size_t>(k)];
    j["summary"] = std::move(summary);
    return j;
}

// ---- CSV ----------------------------------------------------------------------

using csvtext::Decimal;
using csvtext::TextCell;

std::string Count(int64_t v) { return std::to_string(v); }

// Both tables in millivolts: one unit for the worst value of every criterion.
std::string AssessmentCsv(const SAssessment& a)
{
    std::string out = csvtext::kBom;
    out += "Kriterium;Erste Zeile;Letzte Zeile;Von [m];Bis [m];Zeilen;Länge [m];"
           "Schlechtester Wert [mV];bei Meter [m]\r\n";
    for (const SIndication& i : a.indications) {
        const int places = i.criterion == ECriterion::GradDiff ? 1 : 0;
        csvtext::AppendLine(out, {TextCell(CriterionName(i.criterion)), Count(i.firstRow), Count(i.lastRow),
                                  Decimal(i.fromMetre, 0), Decimal(i.toMetre, 0), Count(i.rows), Count(i.length),
                                  Decimal(i.worst, places), Decimal(i.worstMetre, 0)});
    }
    out += "\r\n";
    out += "Zeile;Meter [m];Gradient Differenz [mV];Gradient Ein [mV];Gradient Aus [mV];"
           "Potential Ein [mV];Potential Aus [mV];Potential IR-frei [mV];Orientierungspunkt;Abstand [m]\r\n";
    for (const SDefect& d : a.defects) {
        const SLandmark& lm = d.landmark;
        csvtext::AppendLine(out, {Count(d.row), Decimal(d.metre, 0), Decimal(d.gradDiff, 1), Decimal(d.gradOn, 1),
                                  Decimal(d.gradOff, 1), Decimal(d.potOn, 0), Decimal(d.potOff, 0),
                                  Decimal(d.potIRFree, 0), lm.found ? TextCell(lm.comment) : std::string(),
                                  lm.found ? Count(lm.distance) : std::string()});
    }
    return out;
}

// The options as the former assessment reads them, until this command
// shows the verdict.
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

int RunAssess(const Args& args)
{
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Assess, o); exit >= 0) return exit;
    CToolHost host;
    CTreDoc doc;
    if (!OpenForTool(doc, host, o.path)) return kExitFile;

    const SAssessment a = Assess(doc, FormerSettings(o.settings));
    const std::string text = o.csv ? AssessmentCsv(a) : AssessmentJson(a).dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
