// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivefactory.h"
#include "export/geopackage.h"
#include "sqliteconnection.h"
#include "userrights.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace tresarchive;

namespace {

std::string FreshPath()
{
    std::string why;
    return FreshArchiveLocation(EBackEnd::Sqlite, why);
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

EArchiveFault FaultOpening(const std::string& path, std::string& message)
{
    try {
        OpenSqliteConnection(path, false);
    } catch (const CArchiveError& e) {
        message = e.what();
        return e.Fault();
    }
    return EArchiveFault::Other;
}

} // namespace

// Values reach the database only as bound parameters: texts that look like
// SQL, umlauts, bytes with NULs and repeated placeholders come back exactly.
TEST(SqliteConnection, ParametersRoundTripAndInsertMany)
{
    auto db = OpenSqliteConnection(FreshPath(), true);
    db->Execute("CREATE TABLE t (a TEXT, b BLOB, c INTEGER, d DOUBLE, e TEXT, g BLOB)");
    const std::string evil = "'); DROP TABLE t; -- „Ölgraben“; \"x\"";
    const std::string blob("a\0b\xff", 4);
    db->Begin();
    db->Execute("INSERT INTO t (a, b, c, d, e) VALUES ($1, $2, $3, $4, $1)",
                {SValue::Text(evil), SValue::Blob(blob), SValue::Int(-7), SValue::Real(0.25)});
    SRow point{SValue::Text("p"), {}};
    point[1].kind = SValue::EKind::Point;
    point[1].lonLat = {{9.5, 52.25}};
    SRow unplaced{SValue::Text("q"), {}};
    unplaced[1].kind = SValue::EKind::Point; // no position: NULL, never 0/0
    db->InsertMany("t", {"a", "g"}, {point, unplaced});
    db->Commit();

    const SResult r = db->Execute("SELECT a, b, c, d, e, g FROM t ORDER BY rowid");
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0][0].bytes, evil);
    EXPECT_EQ(r.rows[0][1].bytes, blob);
    EXPECT_EQ(r.rows[0][2].whole, -7);
    EXPECT_EQ(r.rows[0][3].real, 0.25);
    EXPECT_EQ(r.rows[0][4].bytes, evil);
    EXPECT_EQ(r.rows[1][5].bytes, tresexport::GpkgGeometryBlob(tresexport::EGpkgGeometry::Point, {{9.5, 52.25}}, 4326));
    EXPECT_TRUE(r.rows[2][5].IsNull());
}

TEST(SqliteConnection, RollbackAndFaults)
{
    const std::string path = FreshPath();
    auto db = OpenSqliteConnection(path, true);
    db->Execute("CREATE TABLE t (k TEXT UNIQUE)");
    db->Begin();
    db->Execute("INSERT INTO t VALUES ($1)", {SValue::Text("x")});
    db->Rollback();
    EXPECT_EQ(db->Execute("SELECT count(*) FROM t").rows[0][0].whole, 0);
    db->Execute("INSERT INTO t VALUES ($1)", {SValue::Text("x")});
    try {
        db->Execute("INSERT INTO t VALUES ($1)", {SValue::Text("x")});
        ADD_FAILURE() << "duplicate accepted";
    } catch (const CArchiveError& e) {
        EXPECT_EQ(e.Fault(), EArchiveFault::Duplicate);
    }
    // A second connection writes while the first holds no lock.
    auto other = OpenSqliteConnection(path, false);
    other->Begin();
    other->Execute("INSERT INTO t VALUES ($1)", {SValue::Text("y")});
    other->Commit();
    EXPECT_EQ(db->Execute("SELECT count(*) FROM t").rows[0][0].whole, 2);
    EXPECT_EQ(db->Execute("PRAGMA journal_mode").rows[0][0].bytes, "wal");
}

// Something that is not an archive file is refused by name and left as it
// was; a file that may only be read is read, and a write says why it fails.
TEST(SqliteConnection, ForeignTruncatedMissingAndReadOnlyFiles)
{
    std::string message;
    const std::string text = FreshPath();
    std::ofstream(text) << "Messung;1;2\n";
    EXPECT_EQ(FaultOpening(text, message), EArchiveFault::NotArchive);
    EXPECT_NE(message.find(text), std::string::npos) << message;
    EXPECT_NE(message.find("ist keine SQLite-Datenbank"), std::string::npos) << message;
    EXPECT_EQ(Bytes(text), "Messung;1;2\n");

    const std::string whole = FreshPath();
    {
        auto db = OpenSqliteConnection(whole, true);
        db->Execute("CREATE TABLE t (a TEXT)");
        for (int i = 0; i < 200; ++i) db->Execute("INSERT INTO t VALUES ($1)", {SValue::Text(std::string(100, 'x'))});
    }
    const std::string cut = FreshPath();
    const std::string bytes = Bytes(whole);
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    EXPECT_EQ(FaultOpening(cut, message), EArchiveFault::NotArchive);
    EXPECT_NE(message.find(cut), std::string::npos) << message;

    EXPECT_EQ(FaultOpening(FreshPath(), message), EArchiveFault::Connect);

    std::filesystem::permissions(whole, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    CUserRights user;
    ASSERT_TRUE(user.Error().empty()) << user.Error();
    auto db = OpenSqliteConnection(whole, false);
    EXPECT_EQ(db->Execute("SELECT count(*) FROM t").rows[0][0].whole, 200);
    try {
        db->Begin();
        db->Execute("INSERT INTO t VALUES ($1)", {SValue::Text("y")});
        ADD_FAILURE() << "write to a read-only file accepted";
    } catch (const CArchiveError& e) {
        EXPECT_EQ(e.Fault(), EArchiveFault::ReadOnly);
        EXPECT_NE(std::string(e.what()).find("Keine Schreibrechte im Archiv: "), std::string::npos) << e.what();
    }
}
