// SPDX-License-Identifier: GPL-3.0-or-later
// A small GeoPackage writer (OGC GeoPackage 1.3) over SQLite's C API, for
// whatever the programs put on a map in a form QGIS and shapefile-minded
// users take: one table per kind of feature, each with one geometry type.
//
// Open (or create) a database, declare feature tables - name, geometry type,
// typed columns - and insert features; the GeoPackage's own tables
// (gpkg_spatial_ref_sys with EPSG:4326 and the two undefined systems the
// standard requires, gpkg_contents, gpkg_geometry_columns), its
// application_id 'GPKG' and user_version 10300 are ensured on opening. All
// of it happens in one transaction, committed by Commit(); without it the
// database stays as it was. Values only ever reach SQLite through prepared
// statements; table and column names come from the program and must be
// plain identifiers. Positions are WGS 84 longitude and latitude (srs_id
// 4326); a feature without a position has a NULL geometry, never 0/0.
#pragma once

#include "pipeline/locator.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tresexport {

enum class EGpkgGeometry { Point, LineString };
enum class EGpkgType { Integer, Real, Text };

struct SGpkgColumn {
    std::string name; // [A-Za-z_][A-Za-z0-9_]*
    EGpkgType type = EGpkgType::Text;
};

struct SGpkgTable {
    std::string name; // [A-Za-z_][A-Za-z0-9_]*
    std::string identifier, description;
    EGpkgGeometry geometry = EGpkgGeometry::Point;
    std::vector<SGpkgColumn> columns; // after fid and geom
};

// One attribute value; `null` for none.
struct SGpkgValue {
    bool null = true;
    long long whole = 0;
    double real = 0;
    std::string text;
    static SGpkgValue Null() { return {}; }
    static SGpkgValue Int(long long v) { return {false, v, 0, {}}; }
    static SGpkgValue Real(double v) { return {false, 0, v, {}}; }
    static SGpkgValue Text(std::string v) { return {false, 0, 0, std::move(v)}; }
};

// The standard GeoPackage binary of a geometry: "GP", version 0, flags
// (little-endian, an XY envelope), srs_id, the envelope min x, max x, min y,
// max y, then the geometry as little-endian WKB. A point needs one position,
// a line two or more.
std::string GpkgGeometryBlob(EGpkgGeometry type, const std::vector<trespipeline::SLonLat>& points, int32_t srsId);

// What makes a SQLite database a GeoPackage, for a database that keeps more
// than features (the archive): the header's application_id ('GPKG') and
// user_version (10300), the core tables with the two undefined reference
// systems (idempotent), and EPSG:4326's row (name, definition, description).
constexpr int kGpkgApplicationId = 0x47504B47;
constexpr int kGpkgUserVersion = 10300;
const char* GpkgCoreTablesSql();
struct SGpkgWgs84 {
    const char* name;
    const char* definition;
    const char* description;
};
SGpkgWgs84 GpkgWgs84();

class CGeoPackage {
public:
    ~CGeoPackage();
    CGeoPackage(const CGeoPackage&) = delete;
    CGeoPackage& operator=(const CGeoPackage&) = delete;

    // Opens or creates `path` and begins the transaction everything else
    // goes into; null with a German `error` when SQLite cannot.
    static std::unique_ptr<CGeoPackage> Open(const std::string& path, std::string& error);

    // Creates the table and registers it; false (see Error()) when it exists.
    bool DeclareFeatureTable(const SGpkgTable& table);
    // One feature of a declared table: its positions (empty: no geometry)
    // and a value per column in the declared order.
    bool Insert(const std::string& table, const std::vector<trespipeline::SLonLat>& points,
                const std::vector<SGpkgValue>& values);
    // Writes each table's extent into gpkg_contents and commits.
    bool Commit();

    const std::string& Error() const { return m_error; }

private:
    CGeoPackage() = default;
    bool Exec(const char* sql);
    bool Fail(const std::string& what);
    bool EnsureCoreTables();

    struct STableState {
        SGpkgTable table;
        sqlite3_stmt* insert = nullptr;
        bool any = false;
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
    };
    sqlite3* m_db = nullptr;
    bool m_open = false; // a transaction is open
    std::map<std::string, STableState> m_tables;
    std::string m_error;
};

} // namespace tresexport
