// SPDX-License-Identifier: GPL-3.0-or-later
#include "geopackage.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tresexport {

namespace {

using trespipeline::SLonLat;

constexpr int32_t kWgs84 = 4326;
constexpr int kApplicationId = kGpkgApplicationId;
constexpr int kUserVersion = kGpkgUserVersion;
const char kWgs84Description[] = "longitude/latitude coordinates in decimal degrees on the WGS 84 spheroid";

const char kWgs84Definition[]
    = "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563,AUTHORITY[\"EPSG\",\"7030\"]],"
      "AUTHORITY[\"EPSG\",\"6326\"]],PRIMEM[\"Greenwich\",0,AUTHORITY[\"EPSG\",\"8901\"]],UNIT[\"degree\","
      "0.0174532925199433,AUTHORITY[\"EPSG\",\"9122\"]],AUTHORITY[\"EPSG\",\"4326\"]]";

// The tables every GeoPackage has (OGC 12-128r18, Annex C), and the three
// reference systems it must list.
const char kCoreTables[] = R"(
CREATE TABLE IF NOT EXISTS gpkg_spatial_ref_sys (
  srs_name TEXT NOT NULL, srs_id INTEGER PRIMARY KEY, organization TEXT NOT NULL,
  organization_coordsys_id INTEGER NOT NULL, definition TEXT NOT NULL, description TEXT);
CREATE TABLE IF NOT EXISTS gpkg_contents (
  table_name TEXT NOT NULL PRIMARY KEY, data_type TEXT NOT NULL, identifier TEXT UNIQUE,
  description TEXT DEFAULT '', last_change DATETIME NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%fZ','now')),
  min_x DOUBLE, min_y DOUBLE, max_x DOUBLE, max_y DOUBLE, srs_id INTEGER,
  CONSTRAINT fk_gc_r_srs_id FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys(srs_id));
CREATE TABLE IF NOT EXISTS gpkg_geometry_columns (
  table_name TEXT NOT NULL, column_name TEXT NOT NULL, geometry_type_name TEXT NOT NULL,
  srs_id INTEGER NOT NULL, z TINYINT NOT NULL, m TINYINT NOT NULL,
  CONSTRAINT pk_geom_cols PRIMARY KEY (table_name, column_name),
  CONSTRAINT uk_gc_table_name UNIQUE (table_name),
  CONSTRAINT fk_gc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents(table_name),
  CONSTRAINT fk_gc_srs FOREIGN KEY (srs_id) REFERENCES gpkg_spatial_ref_sys (srs_id));
INSERT OR IGNORE INTO gpkg_spatial_ref_sys VALUES
  ('Undefined cartesian SRS', -1, 'NONE', -1, 'undefined', 'undefined cartesian coordinate reference system'),
  ('Undefined geographic SRS', 0, 'NONE', 0, 'undefined', 'undefined geographic coordinate reference system');
)";

bool PlainIdentifier(const std::string& s)
{
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::string Quoted(const std::string& identifier) { return "\"" + identifier + "\""; }

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutDouble(std::string& out, double d)
{
    uint64_t v;
    std::memcpy(&v, &d, sizeof v);
    for (int i = 0; i < 8; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

const char* TypeName(EGpkgType t)
{
    switch (t) {
    case EGpkgType::Integer: return "INTEGER";
    case EGpkgType::Real: return "DOUBLE";
    case EGpkgType::Text: break;
    }
    return "TEXT";
}

const char* GeometryName(EGpkgGeometry g) { return g == EGpkgGeometry::Point ? "POINT" : "LINESTRING"; }

} // namespace

const char* GpkgCoreTablesSql() { return kCoreTables; }

SGpkgWgs84 GpkgWgs84() { return {"WGS 84 geodetic", kWgs84Definition, kWgs84Description}; }

std::string GpkgGeometryBlob(EGpkgGeometry type, const std::vector<SLonLat>& points, int32_t srsId)
{
    std::string b = "GP";
    b += '\0';   // version 0: GeoPackage 1.x
    b += '\x03'; // little-endian, envelope [min x, max x, min y, max y], not empty, standard binary
    Put32(b, static_cast<uint32_t>(srsId));
    double minX = points.front().lon, maxX = minX, minY = points.front().lat, maxY = minY;
    for (const SLonLat& p : points) {
        minX = std::min(minX, p.lon);
        maxX = std::max(maxX, p.lon);
        minY = std::min(minY, p.lat);
        maxY = std::max(maxY, p.lat);
    }
    for (double d : {minX, maxX, minY, maxY}) PutDouble(b, d);
    b += '\x01'; // WKB little-endian
    Put32(b, type == EGpkgGeometry::Point ? 1 : 2);
    if (type == EGpkgGeometry::LineString) Put32(b, static_cast<uint32_t>(points.size()));
    const size_t n = type == EGpkgGeometry::Point ? 1 : points.size();
    for (size_t i = 0; i < n; ++i) {
        PutDouble(b, points[i].lon);
        PutDouble(b, points[i].lat);
    }
    return b;
}

CGeoPackage::~CGeoPackage()
{
    for (auto& [name, t] : m_tables) sqlite3_finalize(t.insert);
    if (m_open) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}

std::unique_ptr<CGeoPackage> CGeoPackage::Open(const std::string& path, std::string& error)
{
    std::unique_ptr<CGeoPackage> g(new CGeoPackage);
    if (sqlite3_open_v2(path.c_str(), &g->m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK
        || !g->EnsureCoreTables()) {
        error = g->m_error.empty() ? "Die GeoPackage-Datei „" + path + "“ lässt sich nicht öffnen: "
                                         + (g->m_db ? sqlite3_errmsg(g->m_db) : "kein Speicher")
                                   : g->m_error;
        return nullptr;
    }
    return g;
}

bool CGeoPackage::Fail(const std::string& what)
{
    m_error = what + ": " + sqlite3_errmsg(m_db);
    return false;
}

bool CGeoPackage::Exec(const char* sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || Fail("SQLite");
}

bool CGeoPackage::EnsureCoreTables()
{
    // A database of another kind is not made into a GeoPackage.
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA application_id", -1, &q, nullptr) != SQLITE_OK) return Fail("SQLite");
    const int id = sqlite3_step(q) == SQLITE_ROW ? sqlite3_column_int(q, 0) : 0;
    sqlite3_finalize(q);
    if (id != 0 && id != kApplicationId) {
        m_error = "Die Datei ist eine SQLite-Datenbank, aber keine GeoPackage-Datei.";
        return false;
    }
    const std::string pragmas = "PRAGMA application_id = " + std::to_string(kApplicationId)
                                + "; PRAGMA user_version = " + std::to_string(kUserVersion) + ";";
    if (!Exec(pragmas.c_str()) || !Exec("BEGIN")) return false;
    m_open = true;
    if (!Exec(kCoreTables)) return false;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(m_db, "INSERT OR IGNORE INTO gpkg_spatial_ref_sys VALUES (?, ?, ?, ?, ?, ?)", -1, &s,
                           nullptr)
        != SQLITE_OK)
        return Fail("SQLite");
    sqlite3_bind_text(s, 1, "WGS 84 geodetic", -1, SQLITE_STATIC);
    sqlite3_bind_int(s, 2, kWgs84);
    sqlite3_bind_text(s, 3, "EPSG", -1, SQLITE_STATIC);
    sqlite3_bind_int(s, 4, kWgs84);
    sqlite3_bind_text(s, 5, kWgs84Definition, -1, SQLITE_STATIC);
    sqlite3_bind_text(s, 6, kWgs84Description, -1, SQLITE_STATIC);
    const bool done = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_finalize(s);
    return done || Fail("SQLite");
}

bool CGeoPackage::DeclareFeatureTable(const SGpkgTable& table)
{
    if (!PlainIdentifier(table.name)) {
        m_error = "Kein zulässiger Tabellenname: " + table.name;
        return false;
    }
    std::string create = "CREATE TABLE " + Quoted(table.name) + " (fid INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, "
                         + "geom " + GeometryName(table.geometry);
    std::string insert = "INSERT INTO " + Quoted(table.name) + " (geom", params = "?";
    for (const SGpkgColumn& c : table.columns) {
        if (!PlainIdentifier(c.name) || c.name == "fid" || c.name == "geom") {
            m_error = "Kein zulässiger Spaltenname: " + c.name;
            return false;
        }
        create += ", " + Quoted(c.name) + " " + TypeName(c.type);
        insert += ", " + Quoted(c.name);
        params += ", ?";
    }
    create += ")";
    insert += ") VALUES (" + params + ")";
    if (!Exec(create.c_str())) return false;

    sqlite3_stmt* s = nullptr;
    const char* contents = "INSERT INTO gpkg_contents (table_name, data_type, identifier, description, srs_id) "
                           "VALUES (?, 'features', ?, ?, ?)";
    if (sqlite3_prepare_v2(m_db, contents, -1, &s, nullptr) != SQLITE_OK) return Fail("SQLite");
    sqlite3_bind_text(s, 1, table.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, (table.identifier.empty() ? table.name : table.identifier).c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 3, table.description.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 4, kWgs84);
    bool done = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_finalize(s);
    if (!done) return Fail("SQLite");
    const char* columns = "INSERT INTO gpkg_geometry_columns VALUES (?, 'geom', ?, ?, 0, 0)";
    if (sqlite3_prepare_v2(m_db, columns, -1, &s, nullptr) != SQLITE_OK) return Fail("SQLite");
    sqlite3_bind_text(s, 1, table.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, GeometryName(table.geometry), -1, SQLITE_STATIC);
    sqlite3_bind_int(s, 3, kWgs84);
    done = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_finalize(s);
    if (!done) return Fail("SQLite");

    STableState& state = m_tables[table.name];
    state.table = table;
    return sqlite3_prepare_v2(m_db, insert.c_str(), -1, &state.insert, nullptr) == SQLITE_OK || Fail("SQLite");
}

bool CGeoPackage::Insert(const std::string& table, const std::vector<SLonLat>& points,
                         const std::vector<SGpkgValue>& values)
{
    const auto it = m_tables.find(table);
    if (it == m_tables.end() || values.size() != it->second.table.columns.size()) {
        m_error = "Tabelle „" + table + "“ nicht angelegt oder Spaltenzahl falsch";
        return false;
    }
    STableState& t = it->second;
    const size_t need = t.table.geometry == EGpkgGeometry::Point ? 1 : 2;
    if (!points.empty() && points.size() < need) {
        m_error = "Eine Linie braucht mindestens zwei Positionen";
        return false;
    }
    sqlite3_stmt* s = t.insert;
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (!points.empty()) {
        const std::string blob = GpkgGeometryBlob(t.table.geometry, points, kWgs84);
        sqlite3_bind_blob(s, 1, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
        for (const SLonLat& p : points) {
            if (!t.any) {
                t.minX = t.maxX = p.lon;
                t.minY = t.maxY = p.lat;
                t.any = true;
            }
            t.minX = std::min(t.minX, p.lon);
            t.maxX = std::max(t.maxX, p.lon);
            t.minY = std::min(t.minY, p.lat);
            t.maxY = std::max(t.maxY, p.lat);
        }
    }
    for (size_t i = 0; i < values.size(); ++i) {
        const SGpkgValue& v = values[i];
        const int at = static_cast<int>(i) + 2;
        if (v.null) continue; // cleared bindings are NULL
        switch (t.table.columns[i].type) {
        case EGpkgType::Integer: sqlite3_bind_int64(s, at, v.whole); break;
        case EGpkgType::Real: sqlite3_bind_double(s, at, v.real); break;
        case EGpkgType::Text: sqlite3_bind_text(s, at, v.text.c_str(), -1, SQLITE_TRANSIENT); break;
        }
    }
    return sqlite3_step(s) == SQLITE_DONE || Fail("SQLite");
}

bool CGeoPackage::Commit()
{
    sqlite3_stmt* s = nullptr;
    const char* extent = "UPDATE gpkg_contents SET min_x = ?, min_y = ?, max_x = ?, max_y = ? WHERE table_name = ?";
    if (sqlite3_prepare_v2(m_db, extent, -1, &s, nullptr) != SQLITE_OK) return Fail("SQLite");
    for (const auto& [name, t] : m_tables) {
        if (!t.any) continue;
        sqlite3_reset(s);
        sqlite3_bind_double(s, 1, t.minX);
        sqlite3_bind_double(s, 2, t.minY);
        sqlite3_bind_double(s, 3, t.maxX);
        sqlite3_bind_double(s, 4, t.maxY);
        sqlite3_bind_text(s, 5, name.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(s) != SQLITE_DONE) {
            sqlite3_finalize(s);
            return Fail("SQLite");
        }
    }
    sqlite3_finalize(s);
    if (!Exec("COMMIT")) return false;
    m_open = false;
    return true;
}

} // namespace tresexport
