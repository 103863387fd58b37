// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapfeatures.h"

#include "numbers.h"
#include "surveybinding.h"
#include "tredoc.h"
#include "verdict.h"

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

// Where the length a run of points stands for ends beyond point k: half-way
// to its neighbour, at most half the gap (as rowverdict.h weighs a point).
double ZoneEnd(const SVerdictRow& row, const SVerdictRow* neighbour, int64_t gap)
{
    const int64_t p = row.position;
    if (!neighbour) return static_cast<double>(p) / 100;
    const int64_t d = neighbour->position - p;
    const double half = static_cast<double>(std::min<int64_t>(std::abs(d), gap)) / 2;
    return (static_cast<double>(p) + (d < 0 ? -half : half)) / 100;
}

void AddPoint(std::vector<SLonLat>& line, const std::optional<SPlace>& p)
{
    if (!p) return;
    const SLonLat q = LonLat(*p);
    if (line.empty() || !(line.back() == q)) line.push_back(q);
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
    out.Text("kind", FeatureKindId(f.kind));
    out.Text("name", b.pipeline.route.name);
    out.Text("number", b.pipeline.route.number);
    out.Int("rows", rows);
    out.Int("firstRow", first, rows > 0);
    out.Int("lastRow", last, rows > 0);
    out.Real("fromChainage", first ? ChainageOf(b, first) : 0, 2, rows > 0);
    out.Real("toChainage", last ? ChainageOf(b, last) : 0, 2, rows > 0);
    return f;
}

SMapFeature Stretch(const SVerdict& v, const SSurveyBinding& b, const SVerdictStretch& s, size_t k0, size_t k1)
{
    SMapFeature f;
    f.kind = EFeatureKind::Stretch;
    f.line = true;
    f.style = VerdictStatusId(s.status);
    f.label = std::string(VerdictStatusName(s.status)) + " " + std::to_string(s.fromMetre) + "–"
              + std::to_string(s.toMetre) + " m";
    const int64_t gap = LengthSetting(v.settings.gap);
    const SVerdictRow* before = k0 > 0 ? &v.rows[k0 - 1] : nullptr;
    const SVerdictRow* after = k1 + 1 < v.rows.size() ? &v.rows[k1 + 1] : nullptr;
    AddPoint(f.geometry, b.locator->At(ZoneEnd(v.rows[k0], before, gap)));
    for (size_t k = k0; k <= k1; ++k) AddPoint(f.geometry, PlaceOf(b, v.rows[k].row));
    AddPoint(f.geometry, b.locator->At(ZoneEnd(v.rows[k1], after, gap)));

    CFields out(f.fields);
    out.Text("kind", FeatureKindId(f.kind));
    out.Text("status", VerdictStatusId(s.status));
    out.Text("name", VerdictStatusName(s.status));
    out.Int("firstRow", s.firstRow);
    out.Int("lastRow", s.lastRow);
    out.Int("rows", s.rows);
    out.Int("fromMetre", s.fromMetre);
    out.Int("toMetre", s.toMetre);
    out.Real("fromChainage", ChainageOf(b, s.firstRow), 2);
    out.Real("toChainage", ChainageOf(b, s.lastRow), 2);
    out.Real("length", s.length, 2);
    out.Stored("worst", s.worst);
    out.Stored("worstMetre", s.worstMetre);
    out.Text("comments", s.comments, !s.comments.empty());
    out.LatLon("fromLat", "fromLon", PlaceOf(b, s.firstRow));
    out.LatLon("toLat", "toLon", PlaceOf(b, s.lastRow));
    return f;
}

SMapFeature Defect(const SVerdict& v, const SSurveyBinding& b, const SDigItem& item)
{
    const SCoatingDefect& d = v.defects[static_cast<size_t>(item.defect)];
    SMapFeature f;
    f.kind = EFeatureKind::Defect;
    f.style = FeatureKindId(f.kind);
    f.label = DefectLabel(item.priority, d.category, d.metre);
    const std::optional<SPlace>& place = PlaceOf(b, d.row);
    if (place) f.geometry.push_back(LonLat(*place));

    CFields out(f.fields);
    out.Text("kind", FeatureKindId(f.kind));
    out.Text("name", f.label);
    out.Int("priority", item.priority);
    out.Int("category", d.category, d.category > 0);
    out.Text("categoryName", DefectCategoryName(d.category), d.category > 0);
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
    out.Real("chainage", ChainageOf(b, d.row), 2);
    out.LatLon("lat", "lon", place);
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
    out.Text("kind", FeatureKindId(f.kind));
    out.Text("name", fp.name);
    out.Text("type", fp.type, !fp.type.empty());
    out.Int("row", found.row);
    out.Int("metre", found.metre);
    out.Real("chainage", found.chainage, 2);
    out.LatLon("lat", "lon", found.place);
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

const SField* SMapFeature::Field(const std::string& name) const
{
    for (const SField& f : fields)
        if (f.name == name) return &f;
    return nullptr;
}

std::string DefectLabel(int priority, int category, int32_t metre)
{
    static const char* const kRoman[] = {"", "I", "II", "III", "IV"};
    std::string s = "P" + std::to_string(priority) + " ";
    if (category >= 1 && category <= 4) s += std::string(kRoman[category]) + " ";
    return s + std::to_string(metre) + " m";
}

SMapFeatures CollectMapFeatures(const CTreDoc& doc, const SVerdict& verdict, const SSurveyBinding& binding)
{
    SMapFeatures out;
    out.surveyFile = std::filesystem::path(doc.GetPathName()).filename().string();
    const trespipeline::SRoute& route = binding.pipeline.route;
    out.title = route.name.empty() ? out.surveyFile : route.name;
    if (!route.number.empty()) out.title += ", " + route.number;
    out.gridEpsg = binding.gridEpsg;

    out.features.push_back(Track(binding, out.title));
    size_t k = 0; // the stretches cover the verdict's rows in order
    for (const SVerdictStretch& s : verdict.stretches) {
        const size_t k0 = k;
        k += static_cast<size_t>(s.rows);
        if (s.status != EVerdictStatus::Protected) out.features.push_back(Stretch(verdict, binding, s, k0, k - 1));
    }
    for (const SDigItem& item : verdict.digList) out.features.push_back(Defect(verdict, binding, item));
    for (const trespipeline::SFoundFixpoint& fp : binding.fixpoints) out.features.push_back(Fixpoint(binding, fp));
    return out;
}

} // namespace tresexport
