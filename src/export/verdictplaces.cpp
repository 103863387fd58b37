// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdictplaces.h"

#include "pipeline/fixpointplace.h"
#include "pipeline/numbers.h"
#include "pipeline/sections.h"
#include "pipeline/tiedassessment.h"

#include <cmath>

namespace tresexport::verdictplaces {

namespace {

using trespipeline::RowChainage;
using trespipeline::RowPlace;
using trespipeline::SSurveyBinding;

// Rounded as every output rounds it; null when there is none.
ojson Real(double v, int decimals)
{
    if (!std::isfinite(v)) return nullptr;
    const double r = trespipeline::RoundHalfAway(v, decimals);
    if (r == std::trunc(r) && std::abs(r) < 1e15) return static_cast<int64_t>(r);
    return r;
}
ojson Chainage(double s) { return Real(s, trespipeline::kChainageDecimals); }
ojson Degrees(double v) { return Real(v, trespipeline::kLatLonDecimals); }
ojson Grid(double v) { return Real(v, trespipeline::kGridDecimals); }

void AddLatLon(ojson& j, const std::string& prefix, const trespipeline::SPlace* p)
{
    j[prefix.empty() ? "lat" : prefix + "Lat"] = p ? Degrees(p->lat) : ojson(nullptr);
    j[prefix.empty() ? "lon" : prefix + "Lon"] = p ? Degrees(p->lon) : ojson(nullptr);
}

std::string GridCrs(int epsg) { return "EPSG:" + std::to_string(epsg); }

} // namespace

void AddRow(ojson& j, const SSurveyBinding* b, int row)
{
    if (!b) return;
    j["chainage"] = Chainage(RowChainage(b, row));
    AddLatLon(j, "", RowPlace(b, row));
}

void AddStretch(ojson& j, const SSurveyBinding* b, const SVerdictStretch& s)
{
    if (!b) return;
    j["fromChainage"] = Chainage(RowChainage(b, s.firstRow));
    j["toChainage"] = Chainage(RowChainage(b, s.lastRow));
    j["worstChainage"] = s.worstRow ? Chainage(RowChainage(b, s.worstRow)) : ojson(nullptr);
    AddLatLon(j, "from", RowPlace(b, s.firstRow));
    AddLatLon(j, "to", RowPlace(b, s.lastRow));
}

void AddDefect(ojson& j, const SSurveyBinding* b, const SCoatingDefect& d)
{
    if (!b) return;
    const double s = RowChainage(b, d.row);
    j["chainage"] = Chainage(s);
    AddLatLon(j, "", RowPlace(b, d.row));
    ojson& lm = j["landmark"];
    if (lm.is_object()) {
        // The text places it between the fixed points; row, metre, comment
        // and "distance" stay the nearest comment's.
        const double at = RowChainage(b, d.landmark.row);
        lm["chainage"] = Chainage(at);
        lm["distanceChainage"] = Chainage(at - s);
        const trespipeline::SFixpointPlace place = trespipeline::PlaceByFixpoints(b->pipeline.fixpoints, s);
        const auto side = [&](const std::optional<trespipeline::SFixpointSide>& f) {
            if (!f) return ojson(nullptr);
            return ojson{{"name", jsontext::JsonText(b->pipeline.fixpoints[f->fixpoint].name)},
                         {"chainage", Chainage(f->chainage)},
                         {"distance", Chainage(f->distance)}};
        };
        lm["before"] = side(place.before);
        lm["after"] = side(place.after);
    }
}

void AddWarning(ojson& j, const SSurveyBinding* b, const SPlausibilityWarning& w)
{
    if (!b) return;
    const bool placed = w.kind != EPlausibility::MetreMissing;
    j["fromChainage"] = placed ? Chainage(RowChainage(b, w.firstRow)) : ojson(nullptr);
    j["toChainage"] = placed ? Chainage(RowChainage(b, w.lastRow)) : ojson(nullptr);
}

ojson PipelineJson(const SSurveyBinding& b, const std::string& file)
{
    const trespipeline::SPipelineData& data = b.pipeline;
    ojson j;
    // Tied to the file's own GPS track: no pipeline data named, and the
    // reader told where the positions come from.
    j["file"] = b.gps ? ojson(nullptr) : ojson(jsontext::JsonText(file));
    if (b.gps) j["positions"] = "gps";
    j["route"] = {{"name", jsontext::JsonText(data.route.name)},
                  {"number", jsontext::JsonText(data.route.number)},
                  {"startChainage", Chainage(data.route.startChainage)}};
    j["gridCrs"] = GridCrs(b.gridEpsg);
    ojson& ties = j["ties"] = ojson::array();
    for (size_t k = 0; k < b.ties.size(); ++k) {
        const trespipeline::STie& t = b.ties[k];
        ties.push_back({{"row", t.row},
                        {"metre", t.metre},
                        {"chainage", Chainage(t.chainage)},
                        {"fixpoint", jsontext::JsonText(data.fixpoints[t.fixpoint].name)},
                        // f_k to the next tie; null for the last
                        {"factor", k < b.factors.size() ? Real(b.factors[k], 6) : ojson(nullptr)}});
    }
    ojson& found = j["fixpoints"] = ojson::array();
    for (const trespipeline::SFoundFixpoint& f : b.fixpoints) {
        const trespipeline::SFixpoint& fp = data.fixpoints[f.fixpoint];
        const trespipeline::SPlace* p = f.place ? &*f.place : nullptr;
        ojson fj = {{"name", jsontext::JsonText(fp.name)},
                    {"type", jsontext::JsonText(fp.type)},
                    {"feature", fp.feature},
                    {"row", f.row},
                    {"metre", f.metre},
                    {"chainage", Chainage(f.chainage)}};
        AddLatLon(fj, "", p);
        fj["easting"] = p ? Grid(p->easting) : ojson(nullptr);
        fj["northing"] = p ? Grid(p->northing) : ojson(nullptr);
        found.push_back(std::move(fj));
    }
    ojson& unmatched = j["unmatched"] = ojson::array();
    for (size_t i : b.unmatched) {
        const trespipeline::SFixpoint& fp = data.fixpoints[i];
        unmatched.push_back({{"name", jsontext::JsonText(fp.name)},
                             {"type", jsontext::JsonText(fp.type)},
                             {"feature", fp.feature},
                             {"chainage", Chainage(fp.chainage)}});
    }
    // The criteria the sections set: a stretch judged against -950 mV must
    // say so beside the survey-wide criterion.
    ojson& sections = j["sections"] = ojson::array();
    for (const trespipeline::SSection& s : data.sections) {
        const auto mv = [](int32_t v) { return IsPresent(v) ? ojson(v) : ojson(nullptr); };
        const trespipeline::SSectionAdmission admission = trespipeline::SectionAdmission(s);
        sections.push_back({{"feature", s.feature},
                            {"name", jsontext::JsonText(s.name)},
                            {"from", Chainage(s.from)},
                            {"to", Chainage(s.to)},
                            {"protectionPotential", mv(s.protectionPotential)},
                            {"limitPotential", mv(s.limitPotential)},
                            {"allow100mV", admission.allow ? ojson(*admission.allow) : ojson(nullptr)},
                            {"allow100mVReason", admission.reason == trespipeline::EAdmission100::None
                                                     ? ojson(nullptr)
                                                     : ojson(trespipeline::Admission100Id(admission.reason))},
                            {"rows", trespipeline::SectionRows(s, b.chainage)},
                            {"text", jsontext::JsonText(trespipeline::SectionText(s))}});
    }
    const trespipeline::SRouteLengthCheck& rc = b.routeCheck;
    j["routeCheck"] = {{"checked", rc.checked},
                       {"routeLength", rc.checked ? Chainage(rc.routeLength) : ojson(nullptr)},
                       {"tieSpan", rc.checked ? Chainage(rc.tieSpan) : ojson(nullptr)},
                       {"warning", rc.warning.empty() ? ojson(nullptr) : ojson(rc.warning)}};
    ojson& warnings = j["warnings"] = ojson::array();
    for (const std::string& w : b.warnings) warnings.push_back(w);
    return j;
}

} // namespace tresexport::verdictplaces
