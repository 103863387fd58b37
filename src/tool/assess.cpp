// `assess`: the assessment of a survey as JSON for scripts, or its
// indications and suspected defects as a spreadsheet export.
#include "assessment.h"
#include "commands.h"
#include "csvtext.h"
#include "jsontext.h"
#include "numarg.h"
#include "toolhost.h"
#include "tredoc.h"

#include <cstdint>
#include <cstdio>

namespace {

const char kAssessUsage[] = "Aufruf: tresmon-tool assess DATEI [--json|--csv] [--off-limit MV] [--irfree-limit MV]\n"
                            "       [--over-limit MV] [--graddiff-limit MV] [--spike MV] [--gap M]\n"
                            "       [--without off,irfree,over,graddiff]";

struct SAssessOptions {
    std::string path;
    bool csv = false;
    SAssessSettings settings;
};

bool UsageError(const std::string& text)
{
    ToolError(text);
    std::fprintf(stderr, "%s\n", kAssessUsage);
    return false;
}

bool ParseWithout(const std::string& list, SAssessSettings& settings)
{
    size_t start = 0;
    while (true) {
        const size_t comma = list.find(',', start);
        const std::string id = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        ECriterion c;
        if (!CriterionFromId(id, c))
            return UsageError("Unbekanntes Kriterium bei --without: \"" + id
                              + "\" (erlaubt: off, irfree, over, graddiff)");
        settings[c].enabled = false;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool ParseOptions(const Args& args, SAssessOptions& o)
{
    struct SValueOption {
        const char* name;
        int places;
        int32_t* target;
        bool notNegative;
    };
    const SValueOption valueOptions[] = {
        {"--off-limit", 0, &o.settings[ECriterion::Off].limit, false},
        {"--irfree-limit", 0, &o.settings[ECriterion::IRFree].limit, false},
        {"--over-limit", 0, &o.settings[ECriterion::Over].limit, false},
        {"--graddiff-limit", 1, &o.settings[ECriterion::GradDiff].limit, false},
        {"--spike", 0, &o.settings.spike, true},
        {"--gap", 0, &o.settings.gap, true},
    };
    bool havePath = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool haveValue = false;
        if (name.rfind("--", 0) == 0) {
            const size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
                haveValue = true;
            }
        }
        auto takeValue = [&]() {
            if (haveValue) return true;
            if (i + 1 >= args.size()) return UsageError(name + " braucht einen Wert.");
            value = args[++i];
            return true;
        };
        if (name == "--json" || name == "--csv") {
            if (haveValue) return UsageError(name + " nimmt keinen Wert.");
            o.csv = name == "--csv";
        } else if (name == "--without") {
            if (!takeValue() || !ParseWithout(value, o.settings)) return false;
        } else if (name.rfind("-", 0) == 0 && name.size() > 1) {
            const SValueOption* opt = nullptr;
            for (const SValueOption& v : valueOptions)
                if (name == v.name) opt = &v;
            if (!opt) return UsageError("Unbekannte Option: " + name);
            if (!takeValue()) return false;
            int32_t parsed = 0;
            if (!ParseScaledDecimal(value, opt->places, parsed))
                return UsageError("Ungültige Zahl bei " + name + ": \"" + value + "\"");
            if (opt->notNegative && parsed < 0) return UsageError(name + " darf nicht negativ sein: " + value);
            *opt->target = parsed;
        } else if (!havePath) {
            o.path = name;
            havePath = true;
        } else {
            return UsageError("Zu viele Dateien: " + name);
        }
    }
    if (!havePath) return UsageError("Keine Messdatei angegeben.");
    return true;
}

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
using csvtext::Quoted;

std::string Count(int64_t v) { return std::to_string(v); }

// Both tables in millivolts: one unit for the worst value of every criterion.
std::string AssessmentCsv(const SAssessment& a)
{
    std::string out = csvtext::kBom;
    out += "Kriterium;Erste Zeile;Letzte Zeile;Von [m];Bis [m];Zeilen;Länge [m];"
           "Schlechtester Wert [mV];bei Meter [m]\r\n";
    for (const SIndication& i : a.indications) {
        const int places = i.criterion == ECriterion::GradDiff ? 1 : 0;
        csvtext::AppendLine(out, {Quoted(CriterionName(i.criterion)), Count(i.firstRow), Count(i.lastRow),
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
                                  Decimal(d.potIRFree, 0), lm.found ? Quoted(lm.comment) : std::string(),
                                  lm.found ? Count(lm.distance) : std::string()});
    }
    return out;
}

} // namespace

int RunAssess(const Args& args)
{
    SAssessOptions o;
    if (!ParseOptions(args, o)) return kExitUsage;
    CToolHost host;
    CTreDoc doc;
    if (!OpenForTool(doc, host, o.path)) return kExitFile;

    const SAssessment a = Assess(doc, o.settings);
    const std::string text = o.csv ? AssessmentCsv(a) : AssessmentJson(a).dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
