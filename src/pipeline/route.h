// SPDX-License-Identifier: GPL-3.0-or-later
// The route as a path on the WGS 84 ellipsoid: each segment between two
// vertices is the geodesic joining them (PROJ's geodesic functions), and
// chainage s lies s - startChainage metres along the path from the first
// vertex. Before the first vertex and beyond the last there is no position.
//
// These have no error path: PROJ has been loaded by the caller that read the
// route (the reader, CRouteLocator::Create). Without it a path has no length
// and no positions, and a distance or destination is NaN.
#pragma once

#include "pipelinedata.h"

#include <memory>
#include <optional>
#include <vector>

namespace trespipeline {

class CRoutePath {
public:
    // `vertices` as SRoute keeps them (at least two, no two in a row equal).
    CRoutePath(const std::vector<SLonLat>& vertices, double startChainage);
    explicit CRoutePath(const SRoute& route)
        : CRoutePath(route.vertices, route.startChainage)
    { }
    // A path whose vertex i stands at chainage `chainages[i]` (rising), not
    // at its geodesic distance: a logger's GPS track, where the wire counter
    // and not the fixes measure the pipe. Between two vertices the chainage
    // runs evenly along the geodesic.
    CRoutePath(const std::vector<SLonLat>& vertices, const std::vector<double>& chainages);
    ~CRoutePath();
    CRoutePath(CRoutePath&&) noexcept;
    CRoutePath& operator=(CRoutePath&&) noexcept;

    double Length() const; // m of chainage (along the geodesics unless stationed)
    double StartChainage() const { return m_start; }
    double EndChainage() const { return m_start + Length(); }
    bool Covers(double chainage) const { return chainage >= m_start && chainage <= EndChainage(); }

    // The point at a chainage, unrounded; nullopt outside the route. A
    // binary search over the segments' cumulative lengths, so n rows cost
    // n log(vertices).
    std::optional<SLonLat> PointAt(double chainage) const;

    // The chainage of the route's point nearest to `p`, and how far `p` lies
    // from it (m). Each segment is taken as straight in a local equidistant
    // plane around `p`: exact enough for segments up to a few km.
    struct SNearest {
        double chainage = 0;
        double offset = 0;
    };
    SNearest Nearest(const SLonLat& p) const;

private:
    struct SImpl;
    std::unique_ptr<SImpl> m_impl;
    double m_start = 0;
};

// The geodesic distance between two points on WGS 84 (m).
double GeodesicDistance(const SLonLat& a, const SLonLat& b);
// The point `distance` m from `from` along the geodesic that leaves it at
// `azimuth` degrees clockwise from north.
SLonLat GeodesicDestination(const SLonLat& from, double azimuth, double distance);

} // namespace trespipeline
