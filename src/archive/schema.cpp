// SPDX-License-Identifier: GPL-3.0-or-later
#include "schema.h"

#include "export/geopackage.h"

#include <filesystem>

namespace tresarchive {

namespace {

constexpr const char* kApplication = "Tresmon";

// One text for both databases; the braces are what differs. Lengths and
// chainages are metres, potentials mV and gradients 0.1 mV as the survey
// file stores them; times are UTC in ISO 8601, dates YYYY-MM-DD.
const char* const kTables[] = {
    "CREATE TABLE schema_version (version INTEGER NOT NULL, application TEXT NOT NULL)",
    "CREATE TABLE pipeline (id {ID}, name TEXT NOT NULL, number TEXT NOT NULL, name_key TEXT NOT NULL, "
    "number_key TEXT NOT NULL, UNIQUE (name_key, number_key))",
    "CREATE TABLE pipeline_revision (id {ID}, pipeline_id {REF} NOT NULL REFERENCES pipeline (id), "
    "sha256 TEXT NOT NULL, geojson TEXT NOT NULL, added_by TEXT NOT NULL, added_at TEXT NOT NULL, "
    "UNIQUE (pipeline_id, sha256))",
    "CREATE TABLE survey (id {ID}, pipeline_id {REF} NOT NULL REFERENCES pipeline (id), "
    "revision_id {REF} REFERENCES pipeline_revision (id), file_name TEXT NOT NULL, sha256 TEXT NOT NULL, "
    "original {BLOB} NOT NULL, survey_date TEXT NOT NULL, row_count INTEGER NOT NULL, total_length {REAL}, "
    "assessed_length {REAL}, defects INTEGER NOT NULL, urgent INTEGER NOT NULL, added_by TEXT NOT NULL, "
    "added_at TEXT NOT NULL, removed_by TEXT, removed_at TEXT, removed_reason TEXT)",
    // A removed survey may come back; one in the archive only once.
    "CREATE UNIQUE INDEX survey_sha256 ON survey (sha256) WHERE removed_at IS NULL",
    "CREATE TABLE survey_entry (survey_id {REF} NOT NULL REFERENCES survey (id), kind TEXT NOT NULL, "
    "number INTEGER NOT NULL, text TEXT NOT NULL, PRIMARY KEY (survey_id, kind, number))",
    "CREATE TABLE survey_row (survey_id {REF} NOT NULL REFERENCES survey (id), row_no INTEGER NOT NULL, "
    "metre INTEGER, chainage {REAL}, lat {REAL}, lon {REAL}, pot_on INTEGER, pot_off INTEGER, "
    "grad_on_l INTEGER, grad_on_r INTEGER, grad_off_l INTEGER, grad_off_r INTEGER, comment TEXT NOT NULL, "
    "PRIMARY KEY (survey_id, row_no))",
    "CREATE TABLE assessment (id {ID}, survey_id {REF} NOT NULL REFERENCES survey (id), "
    "revision_id {REF} REFERENCES pipeline_revision (id), result_json TEXT NOT NULL, options TEXT NOT NULL, "
    "program_version TEXT NOT NULL, assessed_by TEXT NOT NULL, assessed_at TEXT NOT NULL, "
    "is_current INTEGER NOT NULL)",
    "CREATE TABLE row_verdict (assessment_id {REF} NOT NULL REFERENCES assessment (id), row_no INTEGER NOT NULL, "
    "status TEXT NOT NULL, basis TEXT, value INTEGER, weight {REAL}, PRIMARY KEY (assessment_id, row_no))",
    // No foreign key: the trail outlives whatever it speaks of.
    "CREATE TABLE audit (id {ID}, at TEXT NOT NULL, by_user TEXT NOT NULL, action TEXT NOT NULL, "
    "survey_id {REF}, sha256 TEXT, detail TEXT)",
    "CREATE TABLE tres_defects (fid {ID}, {POINT}survey_id {REF} NOT NULL REFERENCES survey (id), "
    "survey_date TEXT NOT NULL, pipeline TEXT NOT NULL, priority INTEGER, category TEXT, ir_percent {REAL}, "
    "grad_diff_mv {REAL}, status TEXT, action TEXT, metre INTEGER, chainage {REAL}, landmark TEXT)",
    "CREATE TABLE tres_stretches (fid {ID}, {LINE}survey_id {REF} NOT NULL REFERENCES survey (id), "
    "survey_date TEXT NOT NULL, status TEXT NOT NULL, from_metre INTEGER, to_metre INTEGER, "
    "from_chainage {REAL}, to_chainage {REAL}, length_m {REAL}, worst INTEGER)",
    "CREATE TABLE tres_routes (fid {ID}, {LINE}revision_id {REF} NOT NULL REFERENCES pipeline_revision (id), "
    "pipeline TEXT NOT NULL)",
    "CREATE TABLE tres_fixpoints (fid {ID}, {POINT}revision_id {REF} NOT NULL REFERENCES pipeline_revision (id), "
    "pipeline TEXT NOT NULL, name TEXT, chainage {REAL})",
};

void ReplaceAll(std::string& s, const std::string& from, const std::string& to)
{
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

bool IsPointTable(const std::string& table) { return table == "tres_defects" || table == "tres_fixpoints"; }

bool HasTable(CConnection& db, const std::string& name)
{
    const char* sql = db.Dialect() == EDialect::SQLite
                          ? "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = $1"
                          : "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema() "
                            "AND table_name = $1";
    return db.Execute(sql, {SValue::Text(name)}).rows.at(0).at(0).whole > 0;
}

bool IsEmpty(CConnection& db)
{
    // PostGIS puts its reference systems into the schema it is created in.
    const char* sql = db.Dialect() == EDialect::SQLite
                          ? "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'"
                          : "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema() "
                            "AND table_name <> 'spatial_ref_sys'";
    return db.Execute(sql).rows.at(0).at(0).whole == 0;
}

[[noreturn]] void Foreign(CConnection& db)
{
    throw CArchiveError(EArchiveFault::NotArchive, "„" + db.MaskedLocation()
                                                       + "“ ist eine Datenbank eines anderen Programms, kein "
                                                         "Tresmon-Archiv.");
}

int StoredVersion(CConnection& db)
{
    if (!HasTable(db, "schema_version")) Foreign(db);
    SResult r;
    try {
        r = db.Execute("SELECT version, application FROM schema_version");
    } catch (const CArchiveError& e) {
        if (e.Fault() != EArchiveFault::Other) throw;
        Foreign(db);
    }
    if (r.rows.size() != 1 || r.rows[0][1].bytes != kApplication || r.rows[0][0].kind != SValue::EKind::Integer)
        Foreign(db);
    return static_cast<int>(r.rows[0][0].whole);
}

// Makes a SQLite archive a GeoPackage: its header marks, the core tables,
// EPSG:4326 and the feature tables' registration.
void RegisterGeoPackage(CConnection& db)
{
    db.Execute("PRAGMA application_id = " + std::to_string(tresexport::kGpkgApplicationId));
    db.Execute("PRAGMA user_version = " + std::to_string(tresexport::kGpkgUserVersion));
    const std::string core = tresexport::GpkgCoreTablesSql();
    size_t from = 0;
    for (size_t at = core.find(';'); at != std::string::npos; from = at + 1, at = core.find(';', from)) {
        const std::string statement = core.substr(from, at - from);
        if (statement.find_first_not_of(" \n") != std::string::npos) db.Execute(statement);
    }
    const tresexport::SGpkgWgs84 wgs84 = tresexport::GpkgWgs84();
    db.Execute("INSERT OR IGNORE INTO gpkg_spatial_ref_sys VALUES ($1, 4326, 'EPSG', 4326, $2, $3)",
               {SValue::Text(wgs84.name), SValue::Text(wgs84.definition), SValue::Text(wgs84.description)});
    for (const char* table : kFeatureTables) {
        db.Execute("INSERT INTO gpkg_contents (table_name, data_type, identifier, srs_id) "
                   "VALUES ($1, 'features', $1, 4326)",
                   {SValue::Text(table)});
        db.Execute("INSERT INTO gpkg_geometry_columns VALUES ($1, 'geom', $2, 4326, 0, 0)",
                   {SValue::Text(table), SValue::Text(IsPointTable(table) ? "POINT" : "LINESTRING")});
    }
}

// Each entry turns version n into n + 1; none yet.
const std::vector<std::vector<std::string>> kMigrations = {};

void Migrate(CConnection& db, int from)
{
    if (db.Dialect() == EDialect::SQLite) {
        const std::string backup = db.MaskedLocation() + ".bak-" + std::to_string(from);
        std::error_code ec;
        std::filesystem::remove(backup, ec);
        db.Execute("VACUUM INTO $1", {SValue::Text(backup)});
    }
    db.Begin();
    try {
        for (int v = from; v < kSchemaVersion; ++v)
            for (const std::string& statement : kMigrations.at(static_cast<size_t>(v - 1))) db.Execute(statement);
        db.Execute("UPDATE schema_version SET version = $1", {SValue::Int(kSchemaVersion)});
        db.Commit();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

} // namespace

std::vector<std::string> SchemaStatements(EDialect dialect, bool geometry)
{
    const bool lite = dialect == EDialect::SQLite;
    std::vector<std::string> out;
    for (const char* text : kTables) {
        std::string s = text;
        ReplaceAll(s, "{ID}", lite ? "INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL" : "BIGSERIAL PRIMARY KEY");
        ReplaceAll(s, "{REF}", lite ? "INTEGER" : "BIGINT");
        ReplaceAll(s, "{BLOB}", lite ? "BLOB" : "BYTEA");
        ReplaceAll(s, "{REAL}", lite ? "DOUBLE" : "DOUBLE PRECISION");
        ReplaceAll(s, "{POINT}",
                   lite       ? "geom POINT, "
                   : geometry ? "geom geometry(Point, 4326), "
                              : "lat DOUBLE PRECISION, lon DOUBLE PRECISION, ");
        ReplaceAll(s, "{LINE}", lite ? "geom LINESTRING, " : geometry ? "geom geometry(LineString, 4326), " : "");
        out.push_back(std::move(s));
    }
    return out;
}

SSchemaState InitSchema(CConnection& db)
{
    if (!IsEmpty(db)) {
        SSchemaState state = OpenSchema(db);
        if (state.note.empty())
            state.note = "„" + db.MaskedLocation() + "“ ist bereits ein Tresmon-Archiv (Schema "
                         + std::to_string(state.version) + ").";
        return state;
    }
    SSchemaState state;
    if (db.Dialect() == EDialect::PostgreSQL && !db.HasGeometry()) {
        // Where the role may, the map layers get real geometry columns.
        try {
            db.Execute("CREATE EXTENSION IF NOT EXISTS postgis");
        } catch (const CArchiveError&) { }
        if (!db.HasGeometry())
            state.warning = "Warnung: In „" + db.MaskedLocation()
                            + "“ gibt es PostGIS nicht (und diese Rolle darf es nicht anlegen): Punkte der "
                              "Kartenebenen werden als lat/lon-Spalten gespeichert, Linien ohne Geometrie.";
    }
    db.Begin();
    try {
        if (db.Dialect() == EDialect::SQLite) RegisterGeoPackage(db);
        for (const std::string& s : SchemaStatements(db.Dialect(), db.HasGeometry())) db.Execute(s);
        // The assessments' texts (some 20 MB for a 70 km survey) are
        // compressed several times faster with lz4, where the server has it.
        if (db.Dialect() == EDialect::PostgreSQL
            && !db.Execute("SELECT 1 FROM pg_settings WHERE name = 'default_toast_compression' AND 'lz4' = "
                           "ANY(enumvals)")
                    .rows.empty()) {
            db.Execute("ALTER TABLE assessment ALTER COLUMN result_json SET COMPRESSION lz4");
            db.Execute("ALTER TABLE survey ALTER COLUMN original SET COMPRESSION lz4");
        }
        db.Execute("INSERT INTO schema_version (version, application) VALUES ($1, $2)",
                   {SValue::Int(kSchemaVersion), SValue::Text(kApplication)});
        db.Commit();
    } catch (...) {
        db.Rollback();
        throw;
    }
    state.created = true;
    state.version = kSchemaVersion;
    return state;
}

SSchemaState OpenSchema(CConnection& db)
{
    if (IsEmpty(db))
        throw CArchiveError(EArchiveFault::NotArchive,
                            "„" + db.MaskedLocation() + "“ ist leer, kein Tresmon-Archiv (archive init legt es an).");
    SSchemaState state;
    state.version = StoredVersion(db);
    if (state.version > kSchemaVersion) {
        state.readOnly = true;
        state.note = "Das Archiv wurde mit einer neueren Version von Tresmon angelegt (Schema "
                     + std::to_string(state.version) + ").";
    } else if (state.version < kSchemaVersion) {
        Migrate(db, state.version);
        state.version = kSchemaVersion;
    }
    return state;
}

} // namespace tresarchive
