// SPDX-License-Identifier: GPL-3.0-or-later
#include "locator.h"

#include "crs.h"
#include "numbers.h"
#include "projlib.h"

#include <cmath>
#include <limits>

namespace trespipeline {

CRouteLocator::CRouteLocator(CRoutePath path, int gridEpsg, std::unique_ptr<CCrsTransform> grid)
    : m_path(std::move(path))
    , m_gridEpsg(gridEpsg)
    , m_grid(std::move(grid))
{ }

CRouteLocator::~CRouteLocator() = default;

std::unique_ptr<CRouteLocator> CRouteLocator::Create(const SRoute& route, int gridEpsg, std::string& error)
{
    if (!LoadProj(error)) return nullptr; // the path needs it before the grid does
    CRoutePath path(route);
    if (gridEpsg == 0) {
        const SLonLat mid = path.PointAt(path.StartChainage() + path.Length() / 2).value_or(route.vertices.front());
        gridEpsg = UtmEpsgFor(mid.lon, mid.lat);
    }
    return Create(std::move(path), gridEpsg, error);
}

std::unique_ptr<CRouteLocator> CRouteLocator::Create(CRoutePath path, int gridEpsg, std::string& error)
{
    if (!LoadProj(error)) return nullptr;
    if (gridEpsg == 0) {
        const auto mid = path.PointAt(path.StartChainage() + path.Length() / 2);
        if (!mid) {
            error = "Die Trasse hat keine Länge; ihre Zone ist unbekannt.";
            return nullptr;
        }
        gridEpsg = UtmEpsgFor(mid->lon, mid->lat);
    }
    auto grid = CCrsTransform::Create(kWgs84Epsg, gridEpsg, error);
    if (!grid) return nullptr;
    return std::unique_ptr<CRouteLocator>(new CRouteLocator(std::move(path), gridEpsg, std::move(grid)));
}

std::optional<SPlace> CRouteLocator::At(double chainage)
{
    const std::optional<SLonLat> p = m_path.PointAt(chainage);
    if (!p) return std::nullopt;
    SPlace place;
    place.lat = RoundHalfAway(p->lat, kLatLonDecimals);
    place.lon = RoundHalfAway(p->lon, kLatLonDecimals);
    // From the unrounded point: rounding twice would move the grid value.
    double x = p->lon, y = p->lat;
    if (m_grid->Transform(x, y)) {
        place.easting = RoundHalfAway(x, kGridDecimals);
        place.northing = RoundHalfAway(y, kGridDecimals);
    } else {
        place.easting = place.northing = std::numeric_limits<double>::quiet_NaN();
    }
    return place;
}

std::vector<std::optional<SPlace>> CRouteLocator::ForRows(const std::vector<double>& chainage)
{
    std::vector<std::optional<SPlace>> out;
    out.reserve(chainage.size());
    for (double s : chainage) out.push_back(std::isnan(s) ? std::nullopt : At(s));
    return out;
}

} // namespace trespipeline
