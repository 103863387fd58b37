// SPDX-License-Identifier: GPL-3.0-or-later
#include "storerows.h"

#include "doc/codepage.h"
#include "doc/defects.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "pipeline/pipelinedata.h"
#include "pipeline/surveybinding.h"

#include <cmath>
#include <optional>

namespace tresarchive {

namespace {

SValue Whole(int32_t v) { return v == NO_VALUE ? SValue::Null() : SValue::Int(v); }
SValue Number(double v) { return std::isfinite(v) ? SValue::Real(v) : SValue::Null(); }
SValue TextOrNull(const std::string& s) { return s.empty() ? SValue::Null() : SValue::Text(s); }

SValue PointValue(double lon, double lat)
{
    SValue v;
    v.kind = SValue::EKind::Point;
    v.lonLat = {{lon, lat}};
    return v;
}

// The row's position: the route's where the survey is tied, else the file's.
std::optional<std::pair<double, double>> RowLonLat(const CTreDoc& doc, const trespipeline::SSurveyBinding* b, int r)
{
    if (b) {
        const size_t i = static_cast<size_t>(r - 1);
        if (i < b->places.size() && b->places[i]) return std::make_pair(b->places[i]->lon, b->places[i]->lat);
        return std::nullopt;
    }
    if (const CRowExtra* e = doc.RowExtra(r); e && e->HasPosition()) return std::make_pair(e->lon, e->lat);
    return std::nullopt;
}

double RowChainage(const CTreDoc& doc, const trespipeline::SSurveyBinding* b, int r)
{
    const size_t i = static_cast<size_t>(r - 1);
    if (b) return i < b->chainage.size() ? b->chainage[i] : NAN;
    const CRowExtra* e = doc.RowExtra(r);
    return e && StationIsTheRows(*e, doc.GetMeter(r)) ? e->chainage : NAN;
}

} // namespace

SValue StoredText(const std::string& text)
{
    return SValue::Text(tresdoc::IsValidUtf8(text) ? text : tresdoc::Cp850ToUtf8(text));
}

std::vector<SRow> SurveyRows(long long surveyId, const CTreDoc& doc, const trespipeline::SSurveyBinding* binding)
{
    std::vector<SRow> out;
    out.reserve(static_cast<size_t>(doc.GetRowCount()));
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        const auto place = RowLonLat(doc, binding, r);
        // The file's comment in full where the handheld's format had to cut it.
        const CRowExtra* e = doc.RowExtra(r);
        const std::string comment = e && !e->comment.empty() ? e->comment : doc.GetComment(r);
        out.push_back({SValue::Int(surveyId), SValue::Int(r), Whole(doc.GetMeter(r)),
                       Number(RowChainage(doc, binding, r)), place ? SValue::Real(place->second) : SValue::Null(),
                       place ? SValue::Real(place->first) : SValue::Null(), Whole(doc.GetPotOn(r)),
                       Whole(doc.GetPotOff(r)), Whole(doc.GetGradOnL(r)), Whole(doc.GetGradOnR(r)),
                       Whole(doc.GetGradOffL(r)), Whole(doc.GetGradOffR(r)), StoredText(comment)});
    }
    return out;
}

std::vector<SRow> VerdictRows(long long assessmentId, const SVerdict& verdict)
{
    std::vector<SRow> out;
    out.reserve(verdict.rows.size());
    for (const SVerdictRow& v : verdict.rows)
        out.push_back({SValue::Int(assessmentId), SValue::Int(v.row), SValue::Text(VerdictStatusId(v.status)),
                       TextOrNull(VerdictBasisId(v.basis)), Whole(v.value), SValue::Real(v.weight)});
    return out;
}

std::vector<SRow> DefectFeatures(const SFeatureContext& c)
{
    std::vector<SRow> out;
    for (const SDigItem& item : c.verdict->digList) {
        const SCoatingDefect& d = c.verdict->defects.at(static_cast<size_t>(item.defect));
        const auto place = RowLonLat(*c.doc, c.binding, d.row);
        out.push_back({place ? PointValue(place->first, place->second) : SValue::Null(), SValue::Int(c.surveyId),
                       SValue::Text(c.date), SValue::Text(c.pipeline), SValue::Int(item.priority),
                       TextOrNull(DefectCategoryName(d.category)),
                       d.irPercentTenths == NO_VALUE ? SValue::Null() : SValue::Real(d.irPercentTenths / 10.0),
                       SValue::Real(static_cast<double>(d.gradDiff) / 10.0), SValue::Text(VerdictStatusId(d.status)),
                       SValue::Text(DigActionName(item.action)), SValue::Int(d.metre),
                       Number(RowChainage(*c.doc, c.binding, d.row)),
                       d.landmark.text.empty() ? SValue::Null() : StoredText(d.landmark.text)});
    }
    return out;
}

std::vector<SRow> StretchFeatures(const SFeatureContext& c)
{
    std::vector<SRow> out;
    for (const SVerdictStretch& s : c.verdict->stretches) {
        SValue line;
        line.kind = SValue::EKind::Line;
        for (int r = s.firstRow; r <= s.lastRow; ++r)
            if (const auto p = RowLonLat(*c.doc, c.binding, r)) line.lonLat.push_back(*p);
        // A line needs two places; a stretch of one row shows none.
        if (line.lonLat.size() < 2) line = SValue::Null();
        out.push_back({line, SValue::Int(c.surveyId), SValue::Text(c.date), SValue::Text(VerdictStatusId(s.status)),
                       SValue::Int(s.fromMetre), SValue::Int(s.toMetre),
                       Number(RowChainage(*c.doc, c.binding, s.firstRow)),
                       Number(RowChainage(*c.doc, c.binding, s.lastRow)), SValue::Real(s.length), Whole(s.worst)});
    }
    return out;
}

SRow RouteFeature(long long revisionId, const std::string& title, const trespipeline::SPipelineData& data)
{
    SValue line;
    line.kind = SValue::EKind::Line;
    for (const trespipeline::SLonLat& v : data.route.vertices) line.lonLat.emplace_back(v.lon, v.lat);
    if (line.lonLat.size() < 2) line = SValue::Null();
    return {line, SValue::Int(revisionId), SValue::Text(title)};
}

std::vector<SRow> FixpointFeatures(long long revisionId, const std::string& title,
                                   const trespipeline::SPipelineData& data)
{
    std::vector<SRow> out;
    for (const trespipeline::SFixpoint& f : data.fixpoints)
        out.push_back({f.point ? PointValue(f.point->lon, f.point->lat) : SValue::Null(), SValue::Int(revisionId),
                       SValue::Text(title), SValue::Text(f.name), SValue::Real(f.chainage)});
    return out;
}

void WithoutGeometry(bool pointTable, std::vector<std::string>& columns, std::vector<SRow>& rows)
{
    if (columns.empty() || columns[0] != "geom") return;
    columns.erase(columns.begin());
    if (pointTable) columns.insert(columns.begin(), {"lat", "lon"});
    for (SRow& row : rows) {
        const SValue g = row[0];
        row.erase(row.begin());
        if (!pointTable) continue;
        const bool has = g.kind == SValue::EKind::Point;
        row.insert(row.begin(), {has ? SValue::Real(g.lonLat[0].second) : SValue::Null(),
                                 has ? SValue::Real(g.lonLat[0].first) : SValue::Null()});
    }
}

} // namespace tresarchive
