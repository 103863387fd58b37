// SPDX-License-Identifier: GPL-3.0-or-later
#include "route.h"

#include "projlib.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace trespipeline {

namespace {

constexpr double kA = 6378137.0;
constexpr double kF = 1 / 298.257223563;

const geod_geodesic& Wgs84(const SProjApi& proj)
{
    static const geod_geodesic g = [&] {
        geod_geodesic e;
        proj.geod_init(&e, kA, kF);
        return e;
    }();
    return g;
}

} // namespace

struct CRoutePath::SImpl {
    const SProjApi* proj = nullptr;
    std::vector<SLonLat> vertices;
    std::vector<geod_geodesicline> lines; // segment i: vertex i to i + 1
    std::vector<double> cumulative;       // m from the first vertex to vertex i
    // Geodesic metres per metre of chainage on segment i; empty: 1 everywhere.
    std::vector<double> scale;
    double Scale(size_t seg) const { return scale.empty() ? 1.0 : scale[seg]; }
};

CRoutePath::CRoutePath(const std::vector<SLonLat>& vertices, double startChainage)
    : m_impl(std::make_unique<SImpl>())
    , m_start(startChainage)
{
    SImpl& d = *m_impl;
    d.proj = Proj();
    d.vertices = vertices;
    d.cumulative.push_back(0);
    if (!d.proj) return; // no segments: no length and no positions
    const SProjApi& proj = *d.proj;
    for (size_t i = 1; i < vertices.size(); ++i) {
        const SLonLat& a = vertices[i - 1];
        const SLonLat& b = vertices[i];
        geod_geodesicline line;
        proj.geod_inverseline(&line, &Wgs84(proj), a.lat, a.lon, b.lat, b.lon,
                              GEOD_LATITUDE | GEOD_LONGITUDE | GEOD_AZIMUTH | GEOD_DISTANCE_IN);
        d.lines.push_back(line);
        d.cumulative.push_back(d.cumulative.back() + line.s13);
    }
}

CRoutePath::CRoutePath(const std::vector<SLonLat>& vertices, const std::vector<double>& chainages)
    : CRoutePath(vertices, chainages.empty() ? 0.0 : chainages.front())
{
    SImpl& d = *m_impl;
    if (d.lines.empty() || chainages.size() != vertices.size()) return;
    for (size_t i = 0; i < d.lines.size(); ++i) {
        const double step = chainages[i + 1] - chainages[i];
        d.scale.push_back(step > 0 ? d.lines[i].s13 / step : 1.0);
        d.cumulative[i + 1] = d.cumulative[i] + (step > 0 ? step : d.lines[i].s13);
    }
}

CRoutePath::~CRoutePath() = default;
CRoutePath::CRoutePath(CRoutePath&&) noexcept = default;
CRoutePath& CRoutePath::operator=(CRoutePath&&) noexcept = default;

double CRoutePath::Length() const { return m_impl->cumulative.back(); }

std::optional<SLonLat> CRoutePath::PointAt(double chainage) const
{
    const SImpl& d = *m_impl;
    if (!Covers(chainage) || d.lines.empty()) return std::nullopt;
    const double along = chainage - m_start;
    // the last segment whose start lies at or before `along`
    const auto it = std::upper_bound(d.cumulative.begin(), d.cumulative.end() - 1, along);
    const size_t seg = std::min(static_cast<size_t>(it - d.cumulative.begin()) - 1, d.lines.size() - 1);
    if (along >= d.cumulative.back()) return d.vertices.back();
    SLonLat p;
    d.proj->geod_position(&d.lines[seg], (along - d.cumulative[seg]) * d.Scale(seg), &p.lat, &p.lon, nullptr);
    return p;
}

CRoutePath::SNearest CRoutePath::Nearest(const SLonLat& p) const
{
    const SImpl& d = *m_impl;
    // Local plane: metres east and north of p.
    const double rad = std::numbers::pi / 180;
    const double mPerDegLat = kA * rad * (1 - kF);
    const double mPerDegLon = kA * rad * std::cos(p.lat * rad);
    auto local = [&](const SLonLat& q) {
        double dl = q.lon - p.lon;
        if (dl > 180) dl -= 360;
        if (dl < -180) dl += 360;
        return std::pair{dl * mPerDegLon, (q.lat - p.lat) * mPerDegLat};
    };
    SNearest best{m_start, std::numeric_limits<double>::infinity()};
    size_t bestSegment = 0;
    double bestT = 0;
    for (size_t i = 0; i + 1 < d.vertices.size(); ++i) {
        const auto [ax, ay] = local(d.vertices[i]);
        const auto [bx, by] = local(d.vertices[i + 1]);
        const double vx = bx - ax, vy = by - ay;
        const double len2 = vx * vx + vy * vy;
        const double t = len2 > 0 ? std::clamp(-(ax * vx + ay * vy) / len2, 0.0, 1.0) : 0.0;
        const double ox = ax + t * vx, oy = ay + t * vy;
        const double dist = std::hypot(ox, oy);
        if (dist < best.offset) {
            bestSegment = i;
            bestT = t;
            best.offset = dist;
        }
    }
    if (d.lines.empty()) return best;
    const SProjApi& proj = *d.proj;
    // The plane's foot is a few cm off on a km-long geodesic; move it along
    // the geodesic by the along-track part of the remaining distance until
    // it stands square to p (converges in two or three steps).
    const geod_geodesicline& line = d.lines[bestSegment];
    double along = bestT * line.s13;
    for (int step = 0; step < 4; ++step) {
        double lat = 0, lon = 0, azi = 0, dist = 0, toP = 0;
        proj.geod_position(&line, along, &lat, &lon, &azi);
        proj.geod_inverse(&Wgs84(proj), lat, lon, p.lat, p.lon, &dist, &toP, nullptr);
        along = std::clamp(along + dist * std::cos((toP - azi) * rad), 0.0, line.s13);
    }
    double lat = 0, lon = 0;
    proj.geod_position(&line, along, &lat, &lon, nullptr);
    best.offset = GeodesicDistance({lon, lat}, p);
    best.chainage = m_start + d.cumulative[bestSegment] + along / d.Scale(bestSegment);
    return best;
}

double GeodesicDistance(const SLonLat& a, const SLonLat& b)
{
    const SProjApi* proj = Proj();
    if (!proj) return std::numeric_limits<double>::quiet_NaN();
    double s = 0;
    proj->geod_inverse(&Wgs84(*proj), a.lat, a.lon, b.lat, b.lon, &s, nullptr, nullptr);
    return s;
}

SLonLat GeodesicDestination(const SLonLat& from, double azimuth, double distance)
{
    const SProjApi* proj = Proj();
    if (!proj) return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    SLonLat p;
    proj->geod_direct(&Wgs84(*proj), from.lat, from.lon, azimuth, distance, &p.lat, &p.lon, nullptr);
    return p;
}

} // namespace trespipeline
