// SPDX-License-Identifier: GPL-3.0-or-later
#include "jsontext.h"
#include "mapwriters.h"

namespace tresexport {

namespace {

ojson Position(const trespipeline::SLonLat& p) { return ojson::array({p.lon, p.lat}); }

ojson Geometry(const SMapFeature& f)
{
    if (f.geometry.empty()) return nullptr;
    if (!DrawnAsLine(f)) return {{"type", "Point"}, {"coordinates", Position(f.geometry.front())}};
    ojson line = ojson::array();
    for (const trespipeline::SLonLat& p : f.geometry) line.push_back(Position(p));
    return {{"type", "LineString"}, {"coordinates", std::move(line)}};
}

ojson Value(const SField& f)
{
    if (!f.present) return nullptr;
    switch (f.type) {
    case SField::EType::Int: return f.whole;
    case SField::EType::Real: return f.real;
    case SField::EType::Text: break;
    }
    return jsontext::JsonText(f.text);
}

} // namespace

std::string GeoJsonText(const SMapFeatures& m, std::vector<std::string>& notes)
{
    ojson features = ojson::array();
    for (const SMapFeature& f : m.features) {
        ojson properties = ojson::object();
        for (const SField& field : f.fields) properties[field.name] = Value(field);
        features.push_back({{"type", "Feature"}, {"properties", std::move(properties)}, {"geometry", Geometry(f)}});
    }
    NotePositionless(m, false, notes);
    // A foreign member (RFC 7946, 6.1): what was surveyed and how it was judged.
    const SProtectionCriterion& c = m.criterion;
    ojson criterion = {{"protection", c.protection},
                       {"limitPotential", c.limitPotential},
                       {"source", CriterionSourceId(c.source)},
                       {"headerText", jsontext::JsonText(c.headerText)},
                       {"warning", c.warning.empty() ? ojson(nullptr) : ojson(jsontext::JsonText(c.warning))}};
    ojson survey = {{"file", jsontext::JsonText(m.surveyFile)},
                    {"date", jsontext::JsonText(m.surveyDate)},
                    {"criterion", std::move(criterion)},
                    {"programVersion", m.programVersion},
                    {"description", jsontext::JsonText(m.description)}};
    ojson doc = {{"type", "FeatureCollection"},
                 {"name", jsontext::JsonText(m.title)},
                 {"survey", std::move(survey)},
                 {"features", std::move(features)}};
    return doc.dump(1) + "\n";
}

} // namespace tresexport
