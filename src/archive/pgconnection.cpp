// SPDX-License-Identifier: GPL-3.0-or-later
#include "pgconnection.h"

#include "location.h"
#include "pgvalues.h"
#include "pqlib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <regex>

namespace tresarchive {

namespace {

// Type OIDs of pg_type, fixed since the first releases.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kNumeric = 1700;
const char* const kDefaultConnectTimeout = "10";
// COPY data goes to the server in pieces of about this size.
constexpr std::size_t kCopyChunk = 1 << 20;

std::string Trimmed(const char* text)
{
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

EArchiveFault FaultOf(const std::string& sqlstate, bool connectionLost)
{
    if (connectionLost || sqlstate.rfind("08", 0) == 0 || sqlstate == "57P01" || sqlstate == "57P02"
        || sqlstate == "57P03")
        return EArchiveFault::Connect;
    if (sqlstate == "42501") return EArchiveFault::ReadOnly;
    if (sqlstate == "23505") return EArchiveFault::Duplicate;
    if (sqlstate == "40P01" || sqlstate == "55P03" || sqlstate == "40001") return EArchiveFault::Busy;
    if (sqlstate == "57014") return EArchiveFault::Cancelled;
    return EArchiveFault::Other;
}

std::string FramedMessage(EArchiveFault fault, const std::string& where, const std::string& detail)
{
    switch (fault) {
    case EArchiveFault::Connect: return "Keine Verbindung zum Archiv " + where + ": " + detail;
    case EArchiveFault::ReadOnly: return "Keine Schreibrechte im Archiv: " + where + " (" + detail + ")";
    case EArchiveFault::Duplicate: return "Der Eintrag ist bereits im Archiv " + where + ": " + detail;
    case EArchiveFault::Busy: return "Das Archiv " + where + " ist von einem anderen Schreibvorgang belegt: " + detail;
    case EArchiveFault::Cancelled: return "Abgebrochen im Archiv " + where + ": " + detail;
    default: return "Fehler im Archiv " + where + ": " + detail;
    }
}

// libpq as OpenPgConnection loaded it; nothing here runs before that.
const SPqApi& Pq()
{
    std::string unused;
    return *LoadPq(unused);
}

struct PGresultFree {
    void operator()(PGresult* r) const { Pq().PQclear(r); }
};
using Result = std::unique_ptr<PGresult, PGresultFree>;

// Table and column names come from the store's own code, never from a
// survey; one that is not a plain (optionally schema-qualified) name is a
// programming error and refused before it reaches the server.
void CheckName(const std::string& name)
{
    static const std::regex plain(R"(^[A-Za-z_][A-Za-z0-9_]*(\.[A-Za-z_][A-Za-z0-9_]*)?$)");
    if (!std::regex_match(name, plain))
        throw CArchiveError(EArchiveFault::Other, "Ungültiger Tabellen- oder Spaltenname: " + name);
}

SValue CellOf(const PGresult* res, int row, int col)
{
    if (Pq().PQgetisnull(res, row, col)) return SValue::Null();
    const char* text = Pq().PQgetvalue(res, row, col);
    switch (Pq().PQftype(res, col)) {
    case kInt8:
    case kInt4:
    case kInt2: return SValue::Int(std::strtoll(text, nullptr, 10));
    case kBool: return SValue::Int(text[0] == 't' ? 1 : 0);
    case kFloat8:
    case kFloat4:
    case kNumeric: return SValue::Real(std::strtod(text, nullptr));
    case kBytea: {
        std::size_t len = 0;
        unsigned char* raw = Pq().PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &len);
        if (!raw) throw CArchiveError(EArchiveFault::Other, "Kein Speicher für einen Binärwert.");
        SValue v = SValue::Blob(std::string(reinterpret_cast<const char*>(raw), len));
        Pq().PQfreemem(raw);
        return v;
    }
    default: return SValue::Text(std::string(text, Pq().PQgetlength(res, row, col)));
    }
}

class CPgConnection final : public CConnection {
public:
    CPgConnection(PGconn* conn, std::string masked)
        : m_conn(conn)
        , m_masked(std::move(masked))
    {
        // Notices (a ROLLBACK without a transaction, an extension already
        // there) are the server's chatter, not the user's business.
        Pq().PQsetNoticeProcessor(
            m_conn, [](void*, const char*) {}, nullptr);
        if (Pq().PQsetClientEncoding(m_conn, "UTF8") != 0) Fail(nullptr);
    }
    ~CPgConnection() override { Pq().PQfinish(m_conn); }

    EDialect Dialect() const override { return EDialect::PostgreSQL; }

    bool HasGeometry() const override
    {
        if (m_geometryKnown < 0) {
            auto* self = const_cast<CPgConnection*>(this);
            const auto r = self->Execute("SELECT 1 FROM pg_extension WHERE extname = 'postgis'", {});
            self->m_geometryKnown = r.rows.empty() ? 0 : 1;
        }
        return m_geometryKnown == 1;
    }

    SResult Execute(const std::string& sql, const std::vector<SValue>& params) override;
    void InsertMany(const std::string& table, const std::vector<std::string>& columns,
                    const std::vector<SRow>& rows) override;

    void Begin() override { Execute("BEGIN", {}); }
    void Commit() override { Execute("COMMIT", {}); }
    void Rollback() override
    {
        // Safe at any time, also after the connection was lost: the
        // server then has rolled back already.
        if (Pq().PQstatus(m_conn) != CONNECTION_OK || Pq().PQtransactionStatus(m_conn) == PQTRANS_IDLE) return;
        Result r(Pq().PQexec(m_conn, "ROLLBACK"));
    }

    std::string User() override
    {
        const auto r = Execute("SELECT current_user", {});
        return r.rows.at(0).at(0).bytes;
    }
    std::string MaskedLocation() const override { return m_masked; }

private:
    [[noreturn]] void Fail(const PGresult* res) const
    {
        const char* state = res ? Pq().PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
        const char* primary = res ? Pq().PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        const std::string detail = Trimmed(primary ? primary : Pq().PQerrorMessage(m_conn));
        const auto fault = FaultOf(state ? state : "", Pq().PQstatus(m_conn) != CONNECTION_OK);
        throw CArchiveError(fault, FramedMessage(fault, m_masked, detail));
    }
    // A COPY's start is expected only where InsertMany() sends its data.
    void Check(const Result& res, bool copy = false) const
    {
        const auto status = res ? Pq().PQresultStatus(res.get()) : PGRES_FATAL_ERROR;
        if (copy ? status != PGRES_COPY_IN : status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) Fail(res.get());
    }
    void NoteSchemaChange(const std::string& sql)
    {
        // CREATE or DROP EXTENSION postgis changes what HasGeometry() says.
        static const std::regex ext(R"(\bextension\b)", std::regex::icase);
        if (std::regex_search(sql, ext)) m_geometryKnown = -1;
    }

    PGconn* m_conn;
    std::string m_masked;
    int m_geometryKnown = -1;
};

SResult CPgConnection::Execute(const std::string& sql, const std::vector<SValue>& params)
{
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size(), nullptr);
    std::vector<int> lengths(params.size(), 0), formats(params.size(), 0);
    std::vector<Oid> types(params.size(), 0);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const SValue& p = params[i];
        if (p.IsNull()) continue;
        if (p.kind == SValue::EKind::Blob) {
            values[i] = p.bytes.data();
            lengths[i] = static_cast<int>(p.bytes.size());
            formats[i] = 1;
            types[i] = kBytea;
            continue;
        }
        texts[i] = PgParamText(p);
        values[i] = texts[i].c_str();
    }
    Result res(Pq().PQexecParams(m_conn, sql.c_str(), static_cast<int>(params.size()), types.data(), values.data(),
                                 lengths.data(), formats.data(), 0));
    Check(res);
    NoteSchemaChange(sql);
    SResult out;
    const int ncols = Pq().PQnfields(res.get()), nrows = Pq().PQntuples(res.get());
    for (int c = 0; c < ncols; ++c) out.columns.emplace_back(Pq().PQfname(res.get(), c));
    out.rows.reserve(nrows);
    for (int r = 0; r < nrows; ++r) {
        SRow row;
        row.reserve(ncols);
        for (int c = 0; c < ncols; ++c) row.push_back(CellOf(res.get(), r, c));
        out.rows.push_back(std::move(row));
    }
    return out;
}

// COPY in text format: one statement for all rows, several times faster
// than multi-row INSERTs for a 70 km survey.
void CPgConnection::InsertMany(const std::string& table, const std::vector<std::string>& columns,
                               const std::vector<SRow>& rows)
{
    if (rows.empty()) return;
    CheckName(table);
    std::string sql = "COPY " + table + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        CheckName(columns[i]);
        sql += (i ? ", " : "") + columns[i];
    }
    sql += ") FROM STDIN";
    // Every row is checked and encoded before the COPY starts, so that a
    // bad value never leaves the server inside an unfinished COPY.
    std::vector<std::string> chunks(1);
    for (const SRow& row : rows) {
        if (row.size() != columns.size())
            throw CArchiveError(EArchiveFault::Other, "Eine Zeile für " + table + " hat " + std::to_string(row.size())
                                                          + " statt " + std::to_string(columns.size()) + " Werte.");
        std::string& out = chunks.back();
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i) out += '\t';
            AppendCopyField(out, row[i]);
        }
        out += '\n';
        if (out.size() >= kCopyChunk) chunks.emplace_back();
    }
    Check(Result(Pq().PQexec(m_conn, sql.c_str())), true);
    for (const std::string& chunk : chunks)
        if (!chunk.empty() && Pq().PQputCopyData(m_conn, chunk.data(), static_cast<int>(chunk.size())) != 1) break;
    Pq().PQputCopyEnd(m_conn, nullptr);
    // The COPY's own result, then the end of the results; a failure is
    // reported after all of them are read, so the connection stays usable.
    Result failed;
    while (Result r{Pq().PQgetResult(m_conn)}) {
        if (Pq().PQresultStatus(r.get()) != PGRES_COMMAND_OK && !failed) failed = std::move(r);
    }
    if (failed || Pq().PQstatus(m_conn) != CONNECTION_OK) Fail(failed.get());
}

bool SetsConnectTimeout(const std::string& conninfo, std::string& error)
{
    char* err = nullptr;
    PQconninfoOption* opts = Pq().PQconninfoParse(conninfo.c_str(), &err);
    if (!opts) {
        error = Trimmed(err ? err : "ungültige Verbindungsangabe");
        Pq().PQfreemem(err);
        return false;
    }
    bool set = false;
    for (auto* o = opts; o->keyword; ++o)
        if (std::strcmp(o->keyword, "connect_timeout") == 0 && o->val && *o->val) set = true;
    Pq().PQconninfoFree(opts);
    return set;
}

} // namespace

std::unique_ptr<CConnection> OpenPgConnection(const std::string& conninfo)
{
    const std::string masked = MaskedLocation(conninfo);
    std::string error;
    if (!LoadPq(error))
        throw CArchiveError(EArchiveFault::Connect, FramedMessage(EArchiveFault::Connect, masked, error));
    const bool ownTimeout = SetsConnectTimeout(conninfo, error);
    if (!error.empty())
        throw CArchiveError(EArchiveFault::Connect, FramedMessage(EArchiveFault::Connect, masked, error));
    // The user's text goes to libpq unchanged as an expanded dbname; the
    // time-out is a keyword of its own, overridden by one in the text.
    const char* keys[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {kDefaultConnectTimeout, conninfo.c_str(), nullptr};
    PGconn* conn
        = ownTimeout ? Pq().PQconnectdbParams(keys + 1, values + 1, 1) : Pq().PQconnectdbParams(keys, values, 1);
    if (!conn)
        throw CArchiveError(EArchiveFault::Connect, FramedMessage(EArchiveFault::Connect, masked, "kein Speicher"));
    if (Pq().PQstatus(conn) != CONNECTION_OK) {
        const std::string detail = Trimmed(Pq().PQerrorMessage(conn));
        Pq().PQfinish(conn);
        throw CArchiveError(EArchiveFault::Connect, FramedMessage(EArchiveFault::Connect, masked, detail));
    }
    return std::make_unique<CPgConnection>(conn, masked);
}

} // namespace tresarchive
