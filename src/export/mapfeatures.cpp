// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapfeatures.h"

#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "featuretext.h"
#include "pipeline/numbers.h"
#include "pipeline/surveybinding.h"

#include "tresversion.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace tresexport {

namespace {

using trespipeline::SLonLat;
using trespipeline::SPlace;
using trespipeline::SSurveyBinding;
using EType = SField::EType;

class CFields {
public:
    explicit CFields(std::vector<SField>& out)
        : m_out(out)
    { }
    void Int(const char* name, long long v, bool present = true)
    {
        Add(name, EType::Int).whole = v;
        m_out.back().present = present;
    }
    // A stored value; NO_VALUE is missing.
    void Stored(const char* name, int32_t v) { Int(name, v, IsPresent(v)); }
    void Real(const char* name, double v, int decimals, bool present = true)
    {
        SField& f = Add(name, EType::Real);
        f.present = present;
        f.decimals = decimals;
        f.real = present ? trespipeline::RoundHalfAway(v, decimals) : 0;
    }
    // Tenths of a unit (mV, per cent) in the unit; NO_VALUE is missing.
    void Tenths(const char* name, int64_t v) { Real(name, static_cast<double>(v) / 10, 1, v != NO_VALUE); }
    void Text(const char* name, std::string v, bool present = true)
    {
        Add(name, EType::Text).text = std::move(v);
        m_out.back().present = present;
    }
    void LatLon(const char* lat, const char* lon, const std::optional<SPlace>& p)
    {
        Real(lat, p ? p->lat : 0, trespipeline::kLatLonDecimals, p.has_value());
        Real(lon, p ? p->lon : 0, trespipeline::kLatLonDecimals, p.has_value());
    }

private:
    SField& Add(const char* name, EType type)
    {
        SField& f = m_out.emplace_back();
        f.name = name;
        f.type = type;
        f.present = true;
        return f;
    }
    std::vector<SField>& m_out;
};

SLonLat LonLat(const SPlace& p) { return {p.lon, p.lat}; }

const std::optional<SPlace>& PlaceOf(const SSurveyBinding& b, int row)
{
    return b.places[static_cast<size_t>(row - 1)];
}
double ChainageOf(const SSurveyBinding& b, int row) { return b.chainage[static_cast<size_t>(row - 1)]; }

// Where the length a run of points stands for ends beyond point k, towards
// its neighbour: the end of the zone the verdict weighs it by.
double ZoneEnd(const SVerdictRow& row, const SVerdictRow* neighbour)
{
    const double p = static_cast<double>(row.position) / 100;
    if (!neighbour) return p;
    return neighbour->position < row.position ? p - row.zoneLow : p + row.zoneHigh;
}

void AddPoint(std::vector<SLonLat>& line, const std::optional<SPlace>& p)
{
    if (!p) return;
    const SLonLat q = LonLat(*p);
    if (line.empty() || !(line.back() == q)) line.push_back(q);
}

// The fields of each kind, from plain values, so that a kind's columns are
// known also when a survey has no feature of it (FeatureFields).
void TrackFields(CFields& out, const trespipeline::SRoute& route, int rows, int first, int last, double from, double to)
{
    out.Text("kind", FeatureKindId(EFeatureKind::Track));
    out.Text("name", route.name);
    out.Text("number", route.number);
    out.Int("rows", rows);
    out.Int("firstRow", first, rows > 0);
    out.Int("lastRow", last, rows > 0);
    out.Real("fromChainage", from, 2, rows > 0);
    out.Real("toChainage", to, 2, rows > 0);
    out.Text("description", TrackDescription(rows, first, last, from, to));
}

void StretchFields(CFields& out, const SVerdictStretch& s, double from, double to, const std::optional<SPlace>& start,
                   const std::optional<SPlace>& end)
{
    out.Text("kind", FeatureKindId(EFeatureKind::Stretch));
    out.Text("status", VerdictStatusId(s.status));
    out.Text("name", VerdictStatusName(s.status));
    out.Int("firstRow", s.firstRow);
    out.Int("lastRow", s.lastRow);
    out.Int("rows", s.rows);
    out.Int("fromMetre", s.fromMetre);
    out.Int("toMetre", s.toMetre);
    out.Real("fromChainage", from, 2);
    out.Real("toChainage", to, 2);
    out.Real("length", s.length, 2);
    out.Stored("worst", s.worst);
    out.Stored("worstMetre", s.worstMetre);
    out.Text("comments", s.comments, !s.comments.empty());
    out.LatLon("fromLat", "fromLon", start);
    out.LatLon("toLat", "toLon", end);
    out.Text("description", StretchDescription(s, from, to));
}

void DefectFields(CFields& out, const SCoatingDefect& d, const SDigItem& item, const std::string& label,
                  double chainage, const std::optional<SPlace>& place)
{
    out.Text("kind", FeatureKindId(EFeatureKind::Defect));
    out.Text("name", label);
    out.Int("priority", item.priority);
    out.Int("category", d.category, d.category > 0);
    out.Text("categoryName", d.category > 0 ? DefectCategoryName(d.category) : "", d.category > 0);
    out.Tenths("irPercent", d.irPercentTenths);
    out.Tenths("gradDiff", d.gradDiff);
    out.Real("background", d.background / 10, 2);
    out.Text("side", DefectSideId(d.side), d.side != EDefectSide::None);
    out.Stored("potOn", d.potOn);
    out.Stored("potOff", d.potOff);
    out.Stored("potIRFree", d.potIRFree);
    out.Text("status", VerdictStatusId(d.status));
    out.Text("statusName", VerdictStatusName(d.status));
    out.Text("action", DigActionName(item.action));
    out.Text("landmark", d.landmark.text, d.landmark.found);
    out.Int("row", d.row);
    out.Int("metre", d.metre);
    out.Real("chainage", chainage, 2);
    out.LatLon("lat", "lon", place);
    out.Text("description", DefectDescription(d, item, chainage));
}

void FixpointFields(CFields& out, const trespipeline::SFixpoint& fp, const trespipeline::SFoundFixpoint& found)
{
    out.Text("kind", FeatureKindId(EFeatureKind::Fixpoint));
    out.Text("name", fp.name);
    out.Text("type", fp.type, !fp.type.empty());
    out.Int("row", found.row);
    out.Int("metre", found.metre);
    out.Real("chainage", found.chainage, 2);
    out.LatLon("lat", "lon", found.place);
    out.Text("description", FixpointDescription(fp.type, found.chainage, found.row, found.metre));
}

SMapFeature Track(const SSurveyBinding& b, const std::string& title)
{
    SMapFeature f;
    f.kind = EFeatureKind::Track;
    f.line = true;
    f.label = title;
    f.style = FeatureKindId(f.kind);
    int first = 0, last = 0, rows = 0;
    for (size_t i = 0; i < b.places.size(); ++i) {
        if (!b.places[i]) continue;
        f.geometry.push_back(LonLat(*b.places[i]));
        if (!first) first = static_cast<int>(i) + 1;
        last = static_cast<int>(i) + 1;
        ++rows;
    }
    CFields out(f.fields);
    TrackFields(out, b.pipeline.route, rows, first, last, first ? ChainageOf(b, first) : 0,
                last ? ChainageOf(b, last) : 0);
    return f;
}

SMapFeature Stretch(const SVerdict& v, const SSurveyBinding& b, const SVerdictStretch& s, size_t k0, size_t k1)
{
    SMapFeature f;
    f.kind = EFeatureKind::Stretch;
    f.line = true;
    f.style = VerdictStatusId(s.status);
    const double from = ChainageOf(b, s.firstRow), to = ChainageOf(b, s.lastRow);
    f.label = StretchLabel(s, from, to);
    const SVerdictRow* before = k0 > 0 ? &v.rows[k0 - 1] : nullptr;
    const SVerdictRow* after = k1 + 1 < v.rows.size() ? &v.rows[k1 + 1] : nullptr;
    AddPoint(f.geometry, b.locator->At(ZoneEnd(v.rows[k0], before)));
    for (size_t k = k0; k <= k1; ++k) AddPoint(f.geometry, PlaceOf(b, v.rows[k].row));
    AddPoint(f.geometry, b.locator->At(ZoneEnd(v.rows[k1], after)));
    CFields out(f.fields);
    StretchFields(out, s, from, to, PlaceOf(b, s.firstRow), PlaceOf(b, s.lastRow));
    return f;
}

SMapFeature Defect(const SSurveyBinding& b, const trespipeline::SPlacedDefect& placed)
{
    const SCoatingDefect& d = *placed.defect;
    const SDigItem& item = *placed.item;
    SMapFeature f;
    f.kind = EFeatureKind::Defect;
    f.style = FeatureKindId(f.kind);
    const double chainage = ChainageOf(b, d.row);
    f.label = DefectLabel(item.priority, d.category, chainage);
    const std::optional<SPlace>& place = placed.place;
    if (place) f.geometry.push_back(LonLat(*place));
    CFields out(f.fields);
    DefectFields(out, d, item, f.label, chainage, place);
    return f;
}

SMapFeature Fixpoint(const SSurveyBinding& b, const trespipeline::SFoundFixpoint& found)
{
    const trespipeline::SFixpoint& fp = b.pipeline.fixpoints[found.fixpoint];
    SMapFeature f;
    f.kind = EFeatureKind::Fixpoint;
    f.style = FeatureKindId(f.kind);
    f.label = fp.name;
    if (found.place) f.geometry.push_back(LonLat(*found.place));
    CFields out(f.fields);
    FixpointFields(out, fp, found);
    return f;
}

} // namespace

const char* FeatureKindId(EFeatureKind k)
{
    switch (k) {
    case EFeatureKind::Track: return "track";
    case EFeatureKind::Stretch: return "stretch";
    case EFeatureKind::Defect: return "defect";
    case EFeatureKind::Fixpoint: break;
    }
    return "fixpoint";
}

std::vector<SField> FeatureFields(EFeatureKind kind)
{
    std::vector<SField> fields;
    CFields out(fields);
    switch (kind) {
    case EFeatureKind::Track: TrackFields(out, {}, 0, 0, 0, 0, 0); break;
    case EFeatureKind::Stretch: StretchFields(out, {}, 0, 0, std::nullopt, std::nullopt); break;
    case EFeatureKind::Defect: DefectFields(out, {}, {}, std::string(), 0, std::nullopt); break;
    case EFeatureKind::Fixpoint: FixpointFields(out, {}, {}); break;
    }
    return fields;
}

const SField* SMapFeature::Field(const std::string& name) const
{
    for (const SField& f : fields)
        if (f.name == name) return &f;
    return nullptr;
}

SMapFeatures CollectMapFeatures(const CTreDoc& doc, const SVerdict& verdict, const SSurveyBinding& binding)
{
    SMapFeatures out;
    out.surveyFile = std::filesystem::path(doc.GetPathName()).filename().string();
    const trespipeline::SRoute& route = binding.pipeline.route;
    out.title = route.name.empty() ? out.surveyFile : route.name;
    if (!route.number.empty()) out.title += ", " + route.number;
    out.gridEpsg = binding.gridEpsg;
    out.surveyDate = doc.m_header[1];
    out.criterion = verdict.criterion;
    out.programVersion = TRES_VERSION;
    out.description = SurveyDescription(out.surveyFile, out.surveyDate, out.criterion, out.programVersion);

    out.features.push_back(Track(binding, out.title));
    size_t k = 0; // the stretches cover the verdict's rows in order
    for (const SVerdictStretch& s : verdict.stretches) {
        const size_t k0 = k;
        k += static_cast<size_t>(s.rows);
        if (s.status != EVerdictStatus::Protected) out.features.push_back(Stretch(verdict, binding, s, k0, k - 1));
    }
    for (const trespipeline::SPlacedDefect& p : trespipeline::PlacedDefects(verdict, binding))
        out.features.push_back(Defect(binding, p));
    for (const trespipeline::SFoundFixpoint& fp : binding.fixpoints) out.features.push_back(Fixpoint(binding, fp));
    return out;
}

} // namespace tresexport
