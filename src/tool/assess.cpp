// SPDX-License-Identifier: GPL-3.0-or-later
// `assess`: the protection assessment of a survey ("Schutznachweis") as JSON
// for scripts, or its stretches that are not protected and its dig list as
// a spreadsheet export. Both show AssessProtection()'s result as it is.
#include "assessoptions.h"
#include "commands.h"
#include "csvtext.h"
#include "jsontext.h"
#include "toolhost.h"
#include "tredoc.h"
#include "verdict.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// ---- JSON ---------------------------------------------------------------------

using jsontext::Int;
using jsontext::JsonText;

// A whole number without a point ("21", not "21.0").
ojson Number(double v)
{
    if (v == std::trunc(v) && std::abs(v) < 1e15) return static_cast<int64_t>(v);
    return v;
}
// Lengths in m to two decimals (the verdict counts half hundredths).
ojson Length(double metres) { return Number(std::round(metres * 100) / 100); }
// Tenths of a per cent as a per-cent number with one decimal; null when absent.
ojson Percent(int32_t tenths) { return IsPresent(tenths) ? Number(tenths / 10.0) : ojson(nullptr); }
ojson TextOrNull(const std::string& s) { return s.empty() ? ojson(nullptr) : ojson(JsonText(s)); }

ojson CriterionJson(const SProtectionCriterion& c)
{
    return {{"protection", c.protection},
            {"source", CriterionSourceId(c.source)},
            {"headerText", JsonText(c.headerText)},
            {"warning", TextOrNull(c.warning)},
            {"limitPotential", c.limitPotential}};
}

// Every value the verdict was computed with, in the units the JSON gives
// its results in: mV, tenths of a mV for the lateral signal, m, per cent.
ojson SettingsJson(const SVerdict& v, const SAssessOptions& o)
{
    const SVerdictSettings& s = v.settings;
    return {{"protectionPotential", v.criterion.protection},
            {"limitPotential", v.criterion.limitPotential},
            {"irfreeMinDiff", s.irfreeMinDiff},
            {"irfreeMaxRatio", Number(s.irfreeMaxRatio)},
            {"gap", Length(s.gap)},
            {"background", Length(s.background)},
            {"defectWindow", Length(s.defectWindow)},
            {"defectFactor", Number(s.defectFactor)},
            {"defectMin", s.defectMin},
            {"categories", {Number(s.categories[0]), Number(s.categories[1]), Number(s.categories[2])}},
            {"spike", s.spike},
            {"use100mV", s.use100mV},
            {"native", TextOrNull(o.native)}};
}

ojson CoverageJson(const SVerdictCoverage& c)
{
    return {{"totalLength", Length(c.totalLength)},
            {"assessedLength", Length(c.assessedLength)},
            {"notAssessedLength", Length(c.notAssessedLength)},
            {"gapLength", Length(c.gapLength)}};
}

ojson StatusesJson(const SVerdict& v)
{
    ojson j = ojson::object();
    for (int i = 0; i < kVerdictStatusCount; ++i) {
        const auto status = static_cast<EVerdictStatus>(i);
        const SStatusSummary& s = v.statuses[static_cast<size_t>(i)];
        j[VerdictStatusId(status)] = {{"name", VerdictStatusName(status)},
                                      {"length", Length(s.length)},
                                      {"stretches", s.stretches},
                                      {"share", Percent(s.shareTenths)}};
    }
    return j;
}

ojson StretchJson(const SVerdictStretch& s)
{
    return {{"status", VerdictStatusId(s.status)},
            {"name", VerdictStatusName(s.status)},
            {"firstRow", s.firstRow},
            {"lastRow", s.lastRow},
            {"fromMetre", s.fromMetre},
            {"toMetre", s.toMetre},
            {"rows", s.rows},
            {"length", Length(s.length)},
            {"worst", Int(s.worst)},
            {"worstMetre", Int(s.worstMetre)},
            {"comments", s.status == EVerdictStatus::NotAssessed ? ojson(JsonText(s.comments)) : ojson(nullptr)}};
}

ojson LandmarkJson(const SCoatingDefect& d)
{
    const SDefectLandmark& lm = d.landmark;
    if (!lm.found) return nullptr;
    return {{"row", lm.row},
            {"metre", lm.metre},
            {"comment", JsonText(lm.comment)},
            {"distance", int64_t{lm.metre} - d.metre},
            {"text", JsonText(lm.text)}};
}

ojson CategoryOrNull(int category) { return category > 0 ? ojson(category) : ojson(nullptr); }

ojson DefectJson(const SCoatingDefect& d)
{
    return {{"row", d.row},
            {"metre", d.metre},
            {"gradDiff", d.gradDiff},
            {"background", Number(d.background)},
            {"irPercent", Percent(d.irPercentTenths)},
            {"category", CategoryOrNull(d.category)},
            {"categoryName", d.category > 0 ? ojson(DefectCategoryName(d.category)) : ojson(nullptr)},
            {"side", d.side == EDefectSide::None ? ojson(nullptr) : ojson(DefectSideId(d.side))},
            {"potOn", Int(d.potOn)},
            {"potOff", Int(d.potOff)},
            {"potIRFree", Int(d.potIRFree)},
            {"status", VerdictStatusId(d.status)},
            {"landmark", LandmarkJson(d)}};
}

ojson DigItemJson(const SVerdict& v, const SDigItem& item)
{
    const SCoatingDefect& d = v.defects[static_cast<size_t>(item.defect)];
    return {{"priority", item.priority},
            {"row", d.row},
            {"metre", d.metre},
            {"category", CategoryOrNull(d.category)},
            {"irPercent", Percent(d.irPercentTenths)},
            {"status", VerdictStatusId(d.status)},
            {"action", DigActionName(item.action)},
            {"landmark", d.landmark.found ? ojson(JsonText(d.landmark.text)) : ojson(nullptr)}};
}

ojson WarningJson(const SPlausibilityWarning& w)
{
    return {{"kind", PlausibilityId(w.kind)},
            {"name", PlausibilityName(w.kind)},
            {"firstRow", w.firstRow},
            {"lastRow", w.lastRow},
            {"fromMetre", Int(w.fromMetre)},
            {"toMetre", Int(w.toMetre)},
            {"rows", w.rows}};
}

ojson RowJson(const SVerdictRow& r)
{
    const bool assessed = r.status != EVerdictStatus::NotAssessed;
    return {{"row", r.row},
            {"metre", r.metre},
            {"status", VerdictStatusId(r.status)},
            {"basis", assessed ? ojson(VerdictBasisId(r.basis)) : ojson(nullptr)},
            {"value", assessed ? Int(r.value) : ojson(nullptr)},
            {"weight", Length(r.weight)},
            {"gradDiff", IsPresent(r.gradDiff) ? ojson(r.gradDiff) : ojson(nullptr)},
            {"irfreeUsable", r.irfreeUsable}};
}

ojson VerdictJson(const SVerdict& v, const SAssessOptions& o)
{
    ojson j;
    j["version"] = 2;
    j["criterion"] = CriterionJson(v.criterion);
    j["settings"] = SettingsJson(v, o);
    j["coverage"] = CoverageJson(v.coverage);
    j["statuses"] = StatusesJson(v);
    ojson& stretches = j["stretches"] = ojson::array();
    for (const SVerdictStretch& s : v.stretches) stretches.push_back(StretchJson(s));
    ojson& defects = j["defects"] = ojson::array();
    for (const SCoatingDefect& d : v.defects) defects.push_back(DefectJson(d));
    ojson& dig = j["digList"] = ojson::array();
    for (const SDigItem& item : v.digList) dig.push_back(DigItemJson(v, item));
    ojson& warnings = j["warnings"] = ojson::array();
    for (const SPlausibilityWarning& w : v.warnings) warnings.push_back(WarningJson(w));
    j["surveyLength"] = Length(v.surveyLength);
    if (o.rows) {
        ojson& rows = j["rows"] = ojson::array();
        for (const SVerdictRow& r : v.rows) rows.push_back(RowJson(r));
    }
    return j;
}

// ---- CSV ----------------------------------------------------------------------

using csvtext::Decimal;
using csvtext::TextCell;

std::string Count(int64_t v) { return std::to_string(v); }

// A length in m with its decimal comma, without trailing zeros ("20,5").
std::string LengthCell(double metres)
{
    std::string s = Decimal(static_cast<int32_t>(std::llround(metres * 100)), 2);
    while (s.back() == '0') s.pop_back();
    if (s.back() == ',') s.pop_back();
    return s;
}

std::string VerdictCsv(const SVerdict& v)
{
    std::string out = csvtext::kBom;
    out += "Status;Erste Zeile;Letzte Zeile;Von [m];Bis [m];Punkte;Länge [m];Schlechtester Wert [mV];"
           "bei Meter [m];Kommentare\r\n";
    for (const SVerdictStretch& s : v.stretches) {
        if (s.status == EVerdictStatus::Protected) continue;
        csvtext::AppendLine(out, {TextCell(VerdictStatusName(s.status)), Count(s.firstRow), Count(s.lastRow),
                                  Decimal(s.fromMetre, 0), Decimal(s.toMetre, 0), Count(s.rows), LengthCell(s.length),
                                  Decimal(s.worst, 0), Decimal(s.worstMetre, 0), TextCell(s.comments)});
    }
    out += "\r\n";
    out += "Priorität;Zeile;Meter [m];Lage;Seite;Gradientendifferenz [mV];Hintergrund [mV];IR-Anteil [%];Kategorie;"
           "Potential Ein [mV];Potential Aus [mV];Potential IR-frei [mV];Status;Maßnahme\r\n";
    for (const SDigItem& item : v.digList) {
        const SCoatingDefect& d = v.defects[static_cast<size_t>(item.defect)];
        csvtext::AppendLine(out, {Count(item.priority), Count(d.row), Decimal(d.metre, 0), TextCell(d.landmark.text),
                                  TextCell(DefectSideId(d.side)), Decimal(static_cast<int32_t>(d.gradDiff), 1),
                                  Decimal(static_cast<int32_t>(std::llround(d.background * 10)), 2),
                                  Decimal(d.irPercentTenths, 1), TextCell(DefectCategoryName(d.category)),
                                  Decimal(d.potOn, 0), Decimal(d.potOff, 0), Decimal(d.potIRFree, 0),
                                  TextCell(VerdictStatusName(d.status)), TextCell(DigActionName(item.action))});
    }
    return out;
}

} // namespace

int RunAssess(const Args& args)
{
    SAssessOptions o;
    if (const int exit = ParseAssessOptions(args, EAssessCommand::Assess, o); exit >= 0) return exit;
    CToolHost host, nativeHost;
    CTreDoc doc, native;
    if (!OpenForTool(doc, host, o.path)) return kExitFile;
    if (!o.native.empty() && !OpenForTool(native, nativeHost, o.native)) return kExitFile;
    if (!o.pipeline.empty())
        ToolError("Hinweis: --pipeline wird von assess noch nicht ausgewertet; Längen und Abstände gelten in "
                  "Messmetern.");

    const SVerdict v = AssessProtection(doc, o.settings, o.native.empty() ? nullptr : &native);
    if (!v.criterion.warning.empty()) ToolError(v.criterion.warning);
    const std::string text = o.csv ? VerdictCsv(v) : VerdictJson(v, o).dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) {
        ToolError("Die Ausgabe konnte nicht geschrieben werden.");
        return kExitFile;
    }
    return kExitOk;
}
