// SPDX-License-Identifier: GPL-3.0-or-later
#include "sqliteconnection.h"

#include "export/geopackage.h"

#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace tresarchive {

namespace {

constexpr int kBusyMs = 30000;
constexpr int32_t kWgs84 = 4326;

// SQLite's own header; a file without it is something else, and one
// shorter than the header says was cut short.
enum class EFileState { Missing, Empty, Sqlite, Foreign, Truncated };

EFileState InspectFile(const std::string& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0) return EFileState::Missing;
    if (st.st_size == 0) return EFileState::Empty;
    std::ifstream in(path, std::ios::binary);
    unsigned char h[100] = {};
    in.read(reinterpret_cast<char*>(h), sizeof h);
    if (in.gcount() < 100 || std::string(reinterpret_cast<char*>(h), 16) != std::string("SQLite format 3\0", 16))
        return EFileState::Foreign;
    auto be32 = [&](int at) {
        return (uint32_t(h[at]) << 24) | (uint32_t(h[at + 1]) << 16) | (uint32_t(h[at + 2]) << 8) | h[at + 3];
    };
    const uint32_t pageSize = h[16] == 0 && h[17] == 1 ? 65536u : (uint32_t(h[16]) << 8 | h[17]);
    // The page count is only trustworthy while it was written together
    // with the change counter, and only without a write-ahead log: a writer
    // killed while it copied the log back may leave page 1 ahead of the
    // file's end, which SQLite repairs from the log on the next open.
    struct stat wal { };
    const bool logged = ::stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
    if (!logged && be32(24) == be32(92) && uint64_t(be32(28)) * pageSize > uint64_t(st.st_size))
        return EFileState::Truncated;
    return EFileState::Sqlite;
}

EArchiveFault FaultOf(int code)
{
    switch (code & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_PERM: return EArchiveFault::ReadOnly;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return EArchiveFault::Busy;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return EArchiveFault::NotArchive;
    case SQLITE_CONSTRAINT:
        return code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY ? EArchiveFault::Duplicate
                                                                                        : EArchiveFault::Other;
    default: return EArchiveFault::Other;
    }
}

std::string GeometryBlob(const SValue& v)
{
    std::vector<trespipeline::SLonLat> points;
    points.reserve(v.lonLat.size());
    for (const auto& [lon, lat] : v.lonLat) points.push_back({lon, lat});
    const auto type
        = v.kind == SValue::EKind::Point ? tresexport::EGpkgGeometry::Point : tresexport::EGpkgGeometry::LineString;
    return tresexport::GpkgGeometryBlob(type, points, kWgs84);
}

class CSqliteConnection final : public CConnection {
public:
    CSqliteConnection(sqlite3* db, std::string path)
        : m_db(db)
        , m_path(std::move(path))
    { }
    ~CSqliteConnection() override
    {
        for (auto& [sql, s] : m_statements) sqlite3_finalize(s);
        if (m_inTransaction) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }

    EDialect Dialect() const override { return EDialect::SQLite; }
    bool HasGeometry() const override { return true; }
    std::string MaskedLocation() const override { return m_path; }

    SResult Execute(const std::string& sql, const std::vector<SValue>& params) override
    {
        sqlite3_stmt* s = Prepared(sql);
        Bind(s, params);
        SResult result;
        const int n = sqlite3_column_count(s);
        for (int i = 0; i < n; ++i) result.columns.emplace_back(sqlite3_column_name(s, i));
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) result.rows.push_back(RowOf(s, n));
        Finish(s, rc);
        return result;
    }

    void InsertMany(const std::string& table, const std::vector<std::string>& columns,
                    const std::vector<SRow>& rows) override
    {
        std::string sql = "INSERT INTO " + table + " (", values;
        for (size_t i = 0; i < columns.size(); ++i) {
            sql += (i ? ", " : "") + columns[i];
            values += (i ? ", $" : "$") + std::to_string(i + 1);
        }
        sql += ") VALUES (" + values + ")";
        sqlite3_stmt* s = Prepared(sql);
        for (const SRow& row : rows) {
            Bind(s, row);
            Finish(s, sqlite3_step(s));
        }
    }

    void Begin() override
    {
        // A new archive switches to the write-ahead log at its first write,
        // so that a database that is then refused is never touched.
        if (!m_walChecked) {
            m_walChecked = true;
            if (!sqlite3_db_readonly(m_db, "main")) Exec("PRAGMA journal_mode = WAL");
        }
        // IMMEDIATE takes the write lock now, under the busy time-out,
        // instead of failing when a read turns into a write.
        Exec("BEGIN IMMEDIATE");
        m_inTransaction = true;
    }
    void Commit() override
    {
        Exec("COMMIT");
        m_inTransaction = false;
    }
    void Rollback() override
    {
        if (m_inTransaction) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_inTransaction = false;
    }

    std::string User() override
    {
        if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
        const char* user = std::getenv("USER");
        return user ? user : "?";
    }

private:
    [[noreturn]] void Throw(int code)
    {
        const EArchiveFault fault = FaultOf(code);
        const std::string what = sqlite3_errmsg(m_db);
        if (fault == EArchiveFault::ReadOnly) throw CArchiveError(fault, "Keine Schreibrechte im Archiv: " + m_path);
        if (fault == EArchiveFault::NotArchive)
            throw CArchiveError(fault, "„" + m_path + "“ ist keine SQLite-Datenbank (" + what + ").");
        throw CArchiveError(fault, "Archiv „" + m_path + "“: " + what);
    }

    void Exec(const char* sql)
    {
        const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) Throw(sqlite3_extended_errcode(m_db));
    }

    sqlite3_stmt* Prepared(const std::string& sql)
    {
        auto it = m_statements.find(sql);
        if (it != m_statements.end()) {
            sqlite3_reset(it->second);
            sqlite3_clear_bindings(it->second);
            return it->second;
        }
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr) != SQLITE_OK)
            Throw(sqlite3_extended_errcode(m_db));
        m_statements.emplace(sql, s);
        return s;
    }

    void Bind(sqlite3_stmt* s, const std::vector<SValue>& params)
    {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        for (size_t i = 0; i < params.size(); ++i) {
            const std::string name = "$" + std::to_string(i + 1);
            const int at = sqlite3_bind_parameter_index(s, name.c_str());
            if (at == 0) continue; // a value the statement does not use
            const SValue& v = params[i];
            int rc = SQLITE_OK;
            switch (v.kind) {
            case SValue::EKind::Null: rc = sqlite3_bind_null(s, at); break;
            case SValue::EKind::Integer: rc = sqlite3_bind_int64(s, at, v.whole); break;
            case SValue::EKind::Real: rc = sqlite3_bind_double(s, at, v.real); break;
            case SValue::EKind::Text:
                rc = sqlite3_bind_text64(s, at, v.bytes.data(), v.bytes.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            case SValue::EKind::Blob:
                rc = sqlite3_bind_blob64(s, at, v.bytes.data(), v.bytes.size(), SQLITE_TRANSIENT);
                break;
            case SValue::EKind::Point:
            case SValue::EKind::Line: {
                const size_t need = v.kind == SValue::EKind::Point ? 1 : 2;
                if (v.lonLat.size() < need) {
                    rc = sqlite3_bind_null(s, at);
                    break;
                }
                const std::string blob = GeometryBlob(v);
                rc = sqlite3_bind_blob64(s, at, blob.data(), blob.size(), SQLITE_TRANSIENT);
                break;
            }
            }
            if (rc != SQLITE_OK) Throw(rc);
        }
    }

    static SRow RowOf(sqlite3_stmt* s, int n)
    {
        SRow row(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            SValue& v = row[static_cast<size_t>(i)];
            switch (sqlite3_column_type(s, i)) {
            case SQLITE_INTEGER: v = SValue::Int(sqlite3_column_int64(s, i)); break;
            case SQLITE_FLOAT: v = SValue::Real(sqlite3_column_double(s, i)); break;
            case SQLITE_TEXT:
                v = SValue::Text(std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, i)),
                                             static_cast<size_t>(sqlite3_column_bytes(s, i))));
                break;
            case SQLITE_BLOB: {
                const void* p = sqlite3_column_blob(s, i);
                v = SValue::Blob(
                    p ? std::string(static_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(s, i)))
                      : std::string());
                break;
            }
            default: break;
            }
        }
        return row;
    }

    void Finish(sqlite3_stmt* s, int rc)
    {
        if (rc == SQLITE_DONE) {
            sqlite3_reset(s);
            return;
        }
        const int code = sqlite3_extended_errcode(m_db);
        sqlite3_reset(s);
        Throw(code);
    }

    sqlite3* m_db;
    std::string m_path;
    std::unordered_map<std::string, sqlite3_stmt*> m_statements;
    bool m_inTransaction = false;
    bool m_walChecked = false;
};

} // namespace

std::unique_ptr<CConnection> OpenSqliteConnection(const std::string& path, bool create)
{
    const EFileState state = InspectFile(path);
    if (state == EFileState::Foreign)
        throw CArchiveError(EArchiveFault::NotArchive, "„" + path + "“ ist keine SQLite-Datenbank.");
    if (state == EFileState::Truncated)
        throw CArchiveError(EArchiveFault::NotArchive,
                            "„" + path + "“ ist keine SQLite-Datenbank mehr: die Datei ist abgeschnitten.");
    if (state == EFileState::Missing && !create)
        throw CArchiveError(EArchiveFault::Connect, "Das Archiv „" + path + "“ gibt es nicht.");
    const bool writable = state == EFileState::Missing || ::access(path.c_str(), W_OK) == 0;
    const int flags = writable ? SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) : SQLITE_OPEN_READONLY;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const std::string what = db ? sqlite3_errmsg(db) : "kein Speicher";
        sqlite3_close(db);
        throw CArchiveError(EArchiveFault::Connect, "Das Archiv „" + path + "“ lässt sich nicht öffnen: " + what);
    }
    auto connection = std::make_unique<CSqliteConnection>(db, path);
    sqlite3_busy_timeout(db, kBusyMs);
    sqlite3_extended_result_codes(db, 1);
    // Reading the schema proves it is a database at all; the pragmas
    // write nothing.
    connection->Execute("PRAGMA foreign_keys = ON", {});
    connection->Execute("SELECT count(*) FROM sqlite_master", {});
    return connection;
}

} // namespace tresarchive
