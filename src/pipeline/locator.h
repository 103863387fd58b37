// SPDX-License-Identifier: GPL-3.0-or-later
// Where a chainage lies on the ground: latitude and longitude on the route
// (route.h), and easting/northing in a grid CRS, rounded as every output
// shows them (numbers.h): degrees to 7 decimals, metres to 2.
//
// The grid is ETRS89 / UTM of the zone holding the route's mid-point (half
// its length along it), so a route that crosses a zone border is drawn in
// the zone most of it lies in; a caller may name another CRS by EPSG code.
#pragma once

#include "pipelinedata.h"
#include "route.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trespipeline {

class CCrsTransform;

struct SPlace {
    double lat = 0, lon = 0;          // degrees, WGS 84
    double easting = 0, northing = 0; // m in the grid CRS; NaN where it cannot show the point
};

class CRouteLocator {
public:
    // gridEpsg 0: the route's UTM zone. nullptr with a German `error` when
    // PROJ cannot be loaded (projlib.h) or does not know the grid CRS.
    static std::unique_ptr<CRouteLocator> Create(const SRoute& route, int gridEpsg, std::string& error);
    // The same over a path already made (a stationed GPS track).
    static std::unique_ptr<CRouteLocator> Create(CRoutePath path, int gridEpsg, std::string& error);
    ~CRouteLocator();

    int GridEpsg() const { return m_gridEpsg; }
    const CRoutePath& Path() const { return m_path; }

    // nullopt outside the route. Not const: PROJ's transformation keeps state.
    std::optional<SPlace> At(double chainage);
    // Per chainage (NaN gives nullopt); linear in their number.
    std::vector<std::optional<SPlace>> ForRows(const std::vector<double>& chainage);

private:
    CRouteLocator(CRoutePath path, int gridEpsg, std::unique_ptr<CCrsTransform> grid);
    CRoutePath m_path;
    int m_gridEpsg = 0;
    std::unique_ptr<CCrsTransform> m_grid;
};

} // namespace trespipeline
