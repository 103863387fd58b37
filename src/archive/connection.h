// SPDX-License-Identifier: GPL-3.0-or-later
// The one thing the archive asks of a database: run a statement with its
// values bound as parameters, inside a transaction it controls. The store
// (schema, surveys, audit trail) is written once over this; a back end per
// database (SQLite's C API for a file, libpq for PostgreSQL) implements it.
//
// Statements are written with PostgreSQL's placeholders $1, $2, ... in
// order; the SQLite back end binds them by those names. No statement text
// is ever built from a survey's content: values reach the database only as
// bound parameters.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tresarchive {

// What went wrong, so that callers can tell the user the right thing and
// choose the exit status without parsing a database's message.
enum class EArchiveFault {
    Connect,    // server not reachable, file not openable
    NotArchive, // a database or file of something else
    Newer,      // made by a newer Tresmon: read only
    ReadOnly,   // the role or file may not be written
    Busy,       // another writer held the lock too long
    Duplicate,  // a unique key (the same file again)
    Cancelled,  // the caller asked to stop; nothing was written
    Other,
};

// Messages are German and never contain a password: a connection string is
// shown through MaskedLocation().
class CArchiveError : public std::runtime_error {
public:
    CArchiveError(EArchiveFault fault, const std::string& message)
        : std::runtime_error(message)
        , m_fault(fault)
    { }
    EArchiveFault Fault() const { return m_fault; }

private:
    EArchiveFault m_fault;
};

// One bound value or one result cell. A geometry is WGS 84 longitude and
// latitude pairs (one for a point, two or more for a line string); each
// back end writes it as its database stores one (GeoPackage binary with
// srs_id 4326, PostGIS EWKB with SRID 4326, or nothing where the database
// has no geometry columns).
struct SValue {
    enum class EKind { Null, Integer, Real, Text, Blob, Point, Line };
    EKind kind = EKind::Null;
    long long whole = 0;
    double real = 0;
    std::string bytes; // Text (UTF-8) or Blob
    std::vector<std::pair<double, double>> lonLat;

    static SValue Null() { return {}; }
    static SValue Int(long long v)
    {
        SValue s;
        s.kind = EKind::Integer;
        s.whole = v;
        return s;
    }
    static SValue Real(double v)
    {
        SValue s;
        s.kind = EKind::Real;
        s.real = v;
        return s;
    }
    static SValue Text(std::string v)
    {
        SValue s;
        s.kind = EKind::Text;
        s.bytes = std::move(v);
        return s;
    }
    static SValue Blob(std::string v)
    {
        SValue s;
        s.kind = EKind::Blob;
        s.bytes = std::move(v);
        return s;
    }
    bool IsNull() const { return kind == EKind::Null; }
};

using SRow = std::vector<SValue>;

struct SResult {
    std::vector<std::string> columns;
    std::vector<SRow> rows;
};

enum class EDialect { SQLite, PostgreSQL };

class CConnection {
public:
    virtual ~CConnection() = default;
    virtual EDialect Dialect() const = 0;
    // Whether geometry columns can be written (always for a GeoPackage; for
    // PostgreSQL only with the postgis extension in the database).
    virtual bool HasGeometry() const = 0;
    // Runs one statement; rows of a SELECT or of RETURNING come back.
    // Result cells: Integer, Real, Text, Blob or Null.
    virtual SResult Execute(const std::string& sql, const std::vector<SValue>& params = {}) = 0;
    // The same INSERT for many rows at once; columns as in `sql`'s $1..$n.
    // Back ends make it fast (one prepared statement, or multi-row inserts).
    virtual void InsertMany(const std::string& table, const std::vector<std::string>& columns,
                            const std::vector<SRow>& rows)
        = 0;
    // One transaction at a time; Rollback() is safe without one.
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    // Who writes: the operating-system user for a file, current_user for a
    // server.
    virtual std::string User() = 0;
    // The place for messages: the path, or the connection string with any
    // password masked.
    virtual std::string MaskedLocation() const = 0;
};

} // namespace tresarchive
