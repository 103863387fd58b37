// SPDX-License-Identifier: GPL-3.0-or-later
#include "gpsbinding.h"

#include "doc/tredoc.h"
#include "pipelineidentity.h"
#include "route.h"

#include <cmath>

namespace trespipeline {

namespace {

// The station of row r (1..N) as the file gave it, else its metre; NaN
// without either.
double Station(const CTreDoc& doc, int r)
{
    const int32_t m = doc.GetMeter(r);
    if (const CRowExtra* e = doc.RowExtra(r); e && StationIsTheRows(*e, m)) return e->chainage;
    return IsPresent(m) ? static_cast<double>(m) : NAN;
}

const CRowExtra* Fix(const CTreDoc& doc, int r)
{
    const CRowExtra* e = doc.RowExtra(r);
    return e && e->HasPosition() ? e : nullptr;
}

} // namespace

bool HasGpsTrack(const CTreDoc& doc)
{
    int fixes = 0;
    for (int r = 1; r <= doc.GetRowCount() && fixes < 2; ++r) fixes += Fix(doc, r) && std::isfinite(Station(doc, r));
    return fixes >= 2;
}

SSurveyBinding BindSurveyToGps(const CTreDoc& doc, int gridEpsg)
{
    SSurveyBinding b;
    SRoute& track = b.pipeline.route;
    track.name = doc.m_header[3];
    track.number = doc.m_header[4];
    std::vector<double> stations;
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        const double s = Station(doc, r);
        b.chainage.push_back(s);
        const CRowExtra* fix = Fix(doc, r);
        // A fix a row before it had already, or one back along the counter
        // (a reset), makes no vertex: the track must run on with the station.
        if (!fix || !std::isfinite(s) || (!stations.empty() && s <= stations.back())) continue;
        const SLonLat p{fix->lon, fix->lat};
        if (!track.vertices.empty() && track.vertices.back() == p) continue;
        track.vertices.push_back(p);
        stations.push_back(s);
    }
    if (track.vertices.size() < 2) {
        b.chainage.clear();
        b.errors.push_back("Die Datei hat weniger als zwei GPS-Positionen mit Station.");
        return b;
    }
    track.startChainage = stations.front();
    std::string error;
    b.locator = CRouteLocator::Create(CRoutePath(track.vertices, stations), gridEpsg, error);
    if (!b.locator) {
        b.chainage.clear();
        b.errors.push_back(error);
        return b;
    }
    b.ok = true;
    b.gps = true;
    b.gridEpsg = b.locator->GridEpsg();
    b.places = b.locator->ForRows(b.chainage);
    b.overrides = AssessmentOverrides(b.chainage, {});
    return b;
}

std::vector<SPlausibilityWarning> GpsOffRouteRuns(const CTreDoc& doc, const SSurveyBinding& b)
{
    std::vector<SPlausibilityWarning> out;
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        const CRowExtra* fix = Fix(doc, r);
        const size_t i = static_cast<size_t>(r - 1);
        if (!fix || i >= b.places.size() || !b.places[i]) continue;
        const double d = GeodesicDistance({fix->lon, fix->lat}, {b.places[i]->lon, b.places[i]->lat});
        if (!(d > kMaxGpsOffset)) continue;
        const int32_t metre = doc.GetMeter(r), offset = static_cast<int32_t>(std::lround(d));
        if (!out.empty() && out.back().lastRow == r - 1) {
            SPlausibilityWarning& w = out.back();
            w.lastRow = r;
            w.toMetre = metre;
            w.rows += IsPresent(metre);
            w.offset = std::max(w.offset, offset);
        } else {
            out.push_back({EPlausibility::GpsOffRoute, r, r, metre, metre, IsPresent(metre) ? 1 : 0, offset});
        }
    }
    return out;
}

} // namespace trespipeline
