// SPDX-License-Identifier: GPL-3.0-or-later
// Coordinate reference systems through PROJ, named by EPSG code. Coordinates
// go in and come out in the order a map shows them, whatever the CRS's
// official axis order: longitude or easting first, then latitude or
// northing (GeoJSON's order, and what GIS programs export).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace trespipeline {

inline constexpr int kWgs84Epsg = 4326;

// The EPSG code a CRS name gives: "EPSG:25832", "urn:ogc:def:crs:EPSG::25832"
// (with or without a version between the colons), and GeoJSON's own
// "urn:ogc:def:crs:OGC:1.3:CRS84" ("OGC:CRS84", "CRS84") as 4326. Case does not
// matter; nullopt for anything else.
std::optional<int> EpsgFromCrsName(std::string_view name);

// The ETRS89 / UTM CRS of the zone holding a longitude: 25832 for 6-12 deg E,
// 25833 for 12-18 deg E, and so on for zones 28-38 (where ETRS89 is
// defined); elsewhere WGS 84 / UTM (326zz north of the equator, 327zz south).
int UtmEpsgFor(double lon, double lat);

// A transformation between two CRSs. PROJ picks the most accurate operation
// whose grids are installed: DHDN to ETRS89 goes through the German BeTA2007
// grid of proj-data (about 1 m better than without it).
class CCrsTransform {
public:
    // nullptr with a German `error` when PROJ cannot be loaded (projlib.h),
    // knows either code not or finds no way between them.
    static std::unique_ptr<CCrsTransform> Create(int fromEpsg, int toEpsg, std::string& error);
    ~CCrsTransform();
    CCrsTransform(const CCrsTransform&) = delete;
    CCrsTransform& operator=(const CCrsTransform&) = delete;

    // x, y in place; false (and both unchanged) when the point cannot be
    // transformed (outside the CRS's range, say).
    bool Transform(double& x, double& y);

private:
    struct SImpl;
    explicit CCrsTransform(std::unique_ptr<SImpl> impl);
    std::unique_ptr<SImpl> m_impl;
};

} // namespace trespipeline
