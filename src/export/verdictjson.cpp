// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictjson.h"

#include "alignmentjson.h"
#include "doc/verdict.h"
#include "pipeline/numbers.h"
#include "pipeline/tiedassessment.h"
#include "verdictplaces.h"

#include <cmath>
#include <cstdint>

namespace tresexport {

namespace {

using jsontext::Int;
using jsontext::JsonText;
using trespipeline::SSurveyBinding;

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
ojson SettingsJson(const SVerdict& v, const SVerdictJsonInputs& o)
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
            {"margin", s.margin},
            {"use100mV", s.use100mV},
            {"native", TextOrNull(o.native)}};
}

ojson CoverageJson(const SVerdict& v, const SSurveyBinding* b)
{
    const SVerdictCoverage& c = v.coverage;
    ojson j = {{"totalLength", Length(c.totalLength)},
               {"assessedLength", Length(c.assessedLength)},
               {"notAssessedLength", Length(c.notAssessedLength)},
               {"gapLength", Length(c.gapLength)},
               {"surveyedLength", Length(c.surveyedLength)},
               {"assessedShareOfSurveyed", Percent(c.assessedShareOfSurveyedTenths)}};
    if (b) {
        // The share of the route between the outermost tied fixed points.
        const trespipeline::SRouteCoverage route = trespipeline::RouteCoverage(v, *b);
        const bool spanned = IsPresent(route.shareTenths);
        j["routeLength"] = spanned ? Length(route.routeLength) : ojson(nullptr);
        j["assessedShareOfRoute"] = Percent(route.shareTenths);
    }
    return j;
}

// How the native survey of the 100 mV criterion was paired, laid out as
// `compare`'s alignment; null without one.
ojson NativeJson(const SVerdict& v, const SVerdictJsonInputs& o, const SSurveyBinding* b)
{
    if (o.native.empty()) return nullptr;
    const bool applied = v.nativeWarning.empty();
    ojson a = v.nativeAlignment ? AlignmentJson(*v.nativeAlignment) : ojson(nullptr);
    if (a.is_object()) a["text"] = AlignmentText(*v.nativeAlignment);
    return {{"file", JsonText(o.native)},
            {"applied", applied},
            {"alignment", std::move(a)},
            {"warning", TextOrNull(v.nativeWarning)},
            {"admission", JsonText(trespipeline::Admission100mVText(v, b))}};
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

ojson StretchJson(const SVerdictStretch& s, const SSurveyBinding* b, bool native)
{
    ojson j = {{"status", VerdictStatusId(s.status)},
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
    // Sections may set their own E_p; a native survey gives a polarisation.
    if (b) {
        j["protectionMin"] = Int(s.protectionMin);
        j["protectionMax"] = Int(s.protectionMax);
    }
    if (native) j["minPolarisation"] = Int(s.minPolarisation);
    verdictplaces::AddStretch(j, b, s);
    return j;
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

ojson DefectJson(const SCoatingDefect& d, const SSurveyBinding* b)
{
    ojson j = {{"row", d.row},
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
               {"marginal", d.marginal},
               {"landmark", LandmarkJson(d)}};
    verdictplaces::AddDefect(j, b, d);
    return j;
}

ojson DigItemJson(const SVerdict& v, const SDigItem& item, const SSurveyBinding* b)
{
    const SCoatingDefect& d = v.defects[static_cast<size_t>(item.defect)];
    ojson j = {{"priority", item.priority},
               {"row", d.row},
               {"metre", d.metre},
               {"category", CategoryOrNull(d.category)},
               {"irPercent", Percent(d.irPercentTenths)},
               {"status", VerdictStatusId(d.status)},
               {"marginal", d.marginal},
               {"action", DigActionName(item.action)},
               {"actionId", DigActionId(item.action)},
               {"landmark", d.landmark.found ? ojson(JsonText(d.landmark.text)) : ojson(nullptr)}};
    verdictplaces::AddRow(j, b, d.row);
    return j;
}

ojson WarningJson(const SPlausibilityWarning& w, const SSurveyBinding* b)
{
    ojson j = {{"kind", PlausibilityId(w.kind)},
               {"name", PlausibilityLabel(w)},
               {"firstRow", w.firstRow},
               {"lastRow", w.lastRow},
               {"fromMetre", Int(w.fromMetre)},
               {"toMetre", Int(w.toMetre)},
               {"rows", w.rows},
               {"text", JsonText(PlausibilityText(w))}};
    verdictplaces::AddWarning(j, b, w);
    return j;
}

ojson RowJson(const SVerdictRow& r, const SSurveyBinding* b, bool native)
{
    const bool assessed = r.status != EVerdictStatus::NotAssessed;
    ojson j = {{"row", r.row},
               {"metre", r.metre},
               {"status", VerdictStatusId(r.status)},
               {"basis", assessed ? ojson(VerdictBasisId(r.basis)) : ojson(nullptr)},
               {"value", assessed ? Int(r.value) : ojson(nullptr)},
               {"weight", Length(r.weight)},
               {"gradDiff", IsPresent(r.gradDiff) ? ojson(r.gradDiff) : ojson(nullptr)},
               {"irfreeUsable", r.irfreeUsable}};
    if (b) j["protection"] = Int(r.protection);
    if (native) j["polarisation"] = Int(r.polarisation);
    verdictplaces::AddRow(j, b, r.row);
    return j;
}

} // namespace

ojson VerdictJson(const SVerdict& v, const SVerdictJsonInputs& o, const SSurveyBinding* b)
{
    ojson j;
    j["version"] = 2;
    j["criterion"] = CriterionJson(v.criterion);
    j["settings"] = SettingsJson(v, o);
    j["coverage"] = CoverageJson(v, b);
    j["statuses"] = StatusesJson(v);
    ojson& stretches = j["stretches"] = ojson::array();
    for (const SVerdictStretch& s : v.stretches) stretches.push_back(StretchJson(s, b, !o.native.empty()));
    ojson& defects = j["defects"] = ojson::array();
    for (const SCoatingDefect& d : v.defects) defects.push_back(DefectJson(d, b));
    ojson& dig = j["digList"] = ojson::array();
    for (const SDigItem& item : v.digList) dig.push_back(DigItemJson(v, item, b));
    ojson& warnings = j["warnings"] = ojson::array();
    for (const SPlausibilityWarning& w : v.warnings) warnings.push_back(WarningJson(w, b));
    // Only where the reader said something: the JSON of a .tsd stays as it was.
    if (!v.fileNotes.empty()) {
        ojson& notes = j["fileNotes"] = ojson::array();
        for (const std::string& n : v.fileNotes) notes.push_back(JsonText(n));
    }
    j["surveyLength"] = Length(v.surveyLength);
    if (!o.native.empty()) j["native"] = NativeJson(v, o, b);
    if (b) j["pipeline"] = verdictplaces::PipelineJson(*b, o.pipeline);
    if (o.rows) {
        ojson& rows = j["rows"] = ojson::array();
        for (const SVerdictRow& r : v.rows) rows.push_back(RowJson(r, b, !o.native.empty()));
    }
    return j;
}

} // namespace tresexport
