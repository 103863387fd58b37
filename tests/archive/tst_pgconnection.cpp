// SPDX-License-Identifier: GPL-3.0-or-later
// The PostgreSQL back end against the suite's own server: values come back
// as written, faults reach the caller as the right kind, transactions are
// all or nothing.
#include "pgconnection.h"
#include "pgserver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

using namespace tresarchive;

namespace {

std::unique_ptr<CConnection> Fresh(const std::string& location, const std::string& table, const std::string& columns)
{
    auto db = OpenPgConnection(location);
    db->Execute("DROP TABLE IF EXISTS " + table, {});
    db->Execute("CREATE TABLE " + table + " (" + columns + ")", {});
    return db;
}

long long Count(CConnection& db, const std::string& table)
{
    return db.Execute("SELECT count(*) FROM " + table, {}).rows.at(0).at(0).whole;
}

EArchiveFault FaultOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CArchiveError& e) {
        return e.Fault();
    }
    ADD_FAILURE() << "no CArchiveError";
    return EArchiveFault::Other;
}

} // namespace

// Hostile texts, random bytes and exact numbers, through both bound
// parameters and the bulk path, read back unchanged.
TEST(PgConnection, ValuesComeBackExactly)
{
    TRES_PG_LOCATION(location, "TRES_TEST_PG");
    auto db = Fresh(location, "tst_values", "n int, t text, b bytea, i bigint, r double precision");
    std::mt19937 gen(7);
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(gen());
    const std::vector<std::string> texts = {"'); DROP TABLE survey; --", "O'Brien \"zitiert\"; a;b",
                                            "Größe Übergang ß €", "tab\tnew\nline\r\\back\\slash \\N", ""};
    const std::vector<double> reals = {0.1 + 0.2, -1e-300, 1.0 / 3.0};
    std::vector<SRow> rows;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        SRow row = {SValue::Int(static_cast<long long>(k)), SValue::Text(texts[k]), SValue::Blob(bytes.substr(k * 100)),
                    SValue::Int(-9223372036854775807LL + static_cast<long long>(k)), SValue::Real(reals[k % 3])};
        db->Execute("INSERT INTO tst_values VALUES ($1, $2, $3, $4, $5)", row);
        row[0] = SValue::Int(static_cast<long long>(k + 100));
        rows.push_back(row);
    }
    rows.push_back({SValue::Int(200), SValue::Null(), SValue::Null(), SValue::Null(), SValue::Null()});
    db->InsertMany("tst_values", {"n", "t", "b", "i", "r"}, rows);

    const auto back = db->Execute("SELECT n, t, b, i, r FROM tst_values ORDER BY n", {});
    ASSERT_EQ(back.rows.size(), 2 * texts.size() + 1);
    for (const auto& row : back.rows) {
        const auto k = static_cast<std::size_t>(row[0].whole % 100);
        if (row[0].whole == 200) {
            for (std::size_t c = 1; c < row.size(); ++c) EXPECT_TRUE(row[c].IsNull());
            continue;
        }
        EXPECT_EQ(row[1].kind, SValue::EKind::Text);
        EXPECT_EQ(row[1].bytes, texts[k]);
        EXPECT_EQ(row[2].kind, SValue::EKind::Blob);
        EXPECT_EQ(row[2].bytes, bytes.substr(k * 100));
        EXPECT_EQ(row[3].whole, -9223372036854775807LL + static_cast<long long>(k));
        EXPECT_EQ(row[4].kind, SValue::EKind::Real);
        EXPECT_EQ(row[4].real, reals[k % 3]);
    }
    EXPECT_EQ(Count(*db, "tst_values"), static_cast<long long>(rows.size() + texts.size())) << "table still there";

    // A NUL inside a text cannot be stored; refused, not cut short.
    const SValue nul = SValue::Text(std::string("a\0b", 3));
    EXPECT_EQ(FaultOf([&] { db->Execute("INSERT INTO tst_values (t) VALUES ($1)", {nul}); }), EArchiveFault::Other);
    EXPECT_EQ(FaultOf([&] { db->InsertMany("tst_values", {"t"}, {{nul}}); }), EArchiveFault::Other);
    EXPECT_EQ(Count(*db, "tst_values"), static_cast<long long>(rows.size() + texts.size()));
    EXPECT_EQ(db->User(), "tres_writer");
}

TEST(PgConnection, GeometryWithPostgisOnly)
{
    TRES_PG_LOCATION(location, "TRES_TEST_PG");
    TRES_PG_LOCATION(nogis, "TRES_TEST_PG_NOGIS");
    EXPECT_FALSE(OpenPgConnection(nogis)->HasGeometry());
    auto db = Fresh(location, "tst_geom", "n int, p geometry(Point, 4326), l geometry(LineString, 4326)");
    ASSERT_TRUE(db->HasGeometry());
    SValue point, line;
    point.kind = SValue::EKind::Point;
    point.lonLat = {{9.5, 52.25}};
    line.kind = SValue::EKind::Line;
    line.lonLat = {{9.5, 52.25}, {9.625, 52.125}, {-0.5, -33.75}};
    db->Execute("INSERT INTO tst_geom VALUES (1, $1, $2)", {point, line});
    db->InsertMany("tst_geom", {"n", "p", "l"},
                   {{SValue::Int(2), point, line}, {SValue::Int(3), SValue::Null(), SValue::Null()}});
    const auto back = db->Execute("SELECT ST_AsText(p), ST_AsText(l), ST_SRID(p) FROM tst_geom ORDER BY n", {});
    ASSERT_EQ(back.rows.size(), 3u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(back.rows[k][0].bytes, "POINT(9.5 52.25)");
        EXPECT_EQ(back.rows[k][1].bytes, "LINESTRING(9.5 52.25,9.625 52.125,-0.5 -33.75)");
        EXPECT_EQ(back.rows[k][2].whole, 4326);
    }
    EXPECT_TRUE(back.rows[2][0].IsNull());
    line.lonLat.resize(1);
    EXPECT_EQ(FaultOf([&] { db->Execute("INSERT INTO tst_geom (l) VALUES ($1)", {line}); }), EArchiveFault::Other);
}

TEST(PgConnection, ReadOnlyRoleRefusedWithNothingWritten)
{
    TRES_PG_LOCATION(location, "TRES_TEST_PG");
    TRES_PG_LOCATION(readonly, "TRES_TEST_PG_READONLY");
    auto db = Fresh(location, "tst_readonly", "n int");
    db->Execute("INSERT INTO tst_readonly VALUES (1)", {});
    auto reader = OpenPgConnection(readonly);
    EXPECT_EQ(Count(*reader, "tst_readonly"), 1);
    try {
        reader->Execute("INSERT INTO tst_readonly VALUES ($1)", {SValue::Int(2)});
        FAIL() << "the reader wrote";
    } catch (const CArchiveError& e) {
        EXPECT_EQ(e.Fault(), EArchiveFault::ReadOnly);
        EXPECT_EQ(std::string(e.what()).rfind("Keine Schreibrechte im Archiv: " + readonly, 0), 0u) << e.what();
    }
    EXPECT_EQ(FaultOf([&] { reader->InsertMany("tst_readonly", {"n"}, {{SValue::Int(3)}}); }), EArchiveFault::ReadOnly);
    EXPECT_EQ(Count(*db, "tst_readonly"), 1);
}

// A rollback, a duplicate key and a connection lost before COMMIT leave
// nothing; the connection stays usable after a failed statement.
TEST(PgConnection, TransactionsAllOrNothing)
{
    TRES_PG_LOCATION(location, "TRES_TEST_PG");
    auto db = Fresh(location, "tst_tx", "n int PRIMARY KEY");
    db->Rollback();
    db->Begin();
    db->InsertMany("tst_tx", {"n"}, {{SValue::Int(1)}, {SValue::Int(2)}});
    db->Rollback();
    EXPECT_EQ(Count(*db, "tst_tx"), 0);

    db->Execute("INSERT INTO tst_tx VALUES (1)", {});
    db->Begin();
    db->Execute("INSERT INTO tst_tx VALUES (2)", {});
    EXPECT_EQ(FaultOf([&] {
                  db->InsertMany("tst_tx", {"n"}, {{SValue::Int(3)}, {SValue::Int(1)}});
              }),
              EArchiveFault::Duplicate);
    db->Rollback();
    EXPECT_EQ(Count(*db, "tst_tx"), 1);

    auto lost = OpenPgConnection(location);
    const auto pid = lost->Execute("SELECT pg_backend_pid()", {}).rows.at(0).at(0).whole;
    lost->Begin();
    lost->Execute("INSERT INTO tst_tx VALUES (5)", {});
    db->Execute("SELECT pg_terminate_backend($1::int, 5000)", {SValue::Int(pid)});
    EXPECT_EQ(FaultOf([&] { lost->Commit(); }), EArchiveFault::Connect);
    lost->Rollback();
    EXPECT_EQ(Count(*db, "tst_tx"), 1);
}

TEST(PgConnection, TwoWritersAtOnceBothLand)
{
    TRES_PG_LOCATION(location, "TRES_TEST_PG");
    Fresh(location, "tst_two", "w int, n int");
    auto write = [&](int who) {
        auto db = OpenPgConnection(location);
        std::vector<SRow> rows;
        for (int n = 0; n < 5000; ++n) rows.push_back({SValue::Int(who), SValue::Int(n)});
        db->Begin();
        db->InsertMany("tst_two", {"w", "n"}, rows);
        db->Execute("INSERT INTO tst_two VALUES ($1, -1)", {SValue::Int(who)});
        db->Commit();
    };
    std::thread a(write, 1), b(write, 2);
    a.join();
    b.join();
    auto db = OpenPgConnection(location);
    const auto per = db->Execute("SELECT w, count(*) FROM tst_two GROUP BY w ORDER BY w", {});
    ASSERT_EQ(per.rows.size(), 2u);
    EXPECT_EQ(per.rows[0][1].whole, 5001);
    EXPECT_EQ(per.rows[1][1].whole, 5001);
}

// No server behind the socket folder, or an address that never answers:
// Connect within the time-out, the password masked in the message.
TEST(PgConnection, ServerThatDoesNotAnswer)
{
    TRES_PG_LOCATION(location, "TRES_TEST_PG");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"host=/nonexistent/tres dbname=x user=anna password='a b'", "password=***"},
        {"postgresql://anna:geheim@/x?host=/nonexistent/tres", "anna:***@"},
        {"host=10.255.255.1 connect_timeout=2 dbname=x password=geheim", "password=***"},
    };
    for (const auto& [conninfo, masked] : cases) {
        const auto start = std::chrono::steady_clock::now();
        try {
            OpenPgConnection(conninfo);
            ADD_FAILURE() << conninfo << " connected";
        } catch (const CArchiveError& e) {
            const std::string what = e.what();
            EXPECT_EQ(e.Fault(), EArchiveFault::Connect) << what;
            EXPECT_NE(what.find(masked), std::string::npos) << what;
            EXPECT_EQ(what.find("geheim"), std::string::npos) << what;
            EXPECT_EQ(what.find("a b"), std::string::npos) << what;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << conninfo;
    }
}
