// SPDX-License-Identifier: GPL-3.0-or-later
#include "archivefactory.h"
#include "schema.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace tresarchive;

namespace {

class SchemaTest : public testing::TestWithParam<EBackEnd> {
protected:
    void SetUp() override
    {
        std::string why;
        m_location = FreshArchiveLocation(GetParam(), why);
        if (m_location.empty()) GTEST_SKIP() << why;
    }
    std::unique_ptr<CConnection> Open() { return OpenTestArchive(GetParam(), m_location); }
    std::string m_location;
};

long long Count(CConnection& db, const std::string& sql) { return db.Execute(sql).rows.at(0).at(0).whole; }

} // namespace

TEST_P(SchemaTest, InitOnceThenRecognised)
{
    auto db = Open();
    const SSchemaState created = InitSchema(*db);
    EXPECT_TRUE(created.created);
    EXPECT_EQ(created.version, kSchemaVersion);
    const SSchemaState again = InitSchema(*db);
    EXPECT_FALSE(again.created);
    EXPECT_NE(again.note.find("ist bereits ein Tresmon-Archiv"), std::string::npos) << again.note;
    EXPECT_EQ(Count(*db, "SELECT count(*) FROM schema_version"), 1);
    EXPECT_FALSE(OpenSchema(*db).readOnly);

    db->Execute("UPDATE schema_version SET version = $1", {SValue::Int(kSchemaVersion + 1)});
    const SSchemaState newer = OpenSchema(*db);
    EXPECT_TRUE(newer.readOnly);
    EXPECT_EQ(newer.note, "Das Archiv wurde mit einer neueren Version von Tresmon angelegt (Schema "
                              + std::to_string(kSchemaVersion + 1) + ").");
}

TEST_P(SchemaTest, AnotherProgramsDatabaseRefusedUntouched)
{
    auto db = Open();
    db->Execute("CREATE TABLE kunden (name TEXT)");
    for (auto* step : {&InitSchema, &OpenSchema}) {
        try {
            (*step)(*db);
            ADD_FAILURE() << "foreign database accepted";
        } catch (const CArchiveError& e) {
            EXPECT_EQ(e.Fault(), EArchiveFault::NotArchive);
            EXPECT_NE(std::string(e.what()).find("anderen Programms"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(Count(*db, db->Dialect() == EDialect::SQLite
                             ? "SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                             : "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema() "
                               "AND table_name <> 'spatial_ref_sys'"),
              1);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, SchemaTest, testing::Values(EBackEnd::Sqlite, EBackEnd::Postgres),
                         [](const auto& info) { return BackEndName(info.param); });

// GDAL reads the file archive as a GeoPackage with the four feature layers.
TEST(GeoPackageArchive, GdalListsTheFourLayers)
{
    std::string why;
    const std::string path = FreshArchiveLocation(EBackEnd::Sqlite, why);
    InitSchema(*OpenTestArchive(EBackEnd::Sqlite, path));
    const std::string command = "ogrinfo -ro -q " + path + " 2>&1";
    FILE* p = ::popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    std::array<char, 512> buffer;
    while (size_t n = std::fread(buffer.data(), 1, buffer.size(), p)) out.append(buffer.data(), n);
    const int rc = ::pclose(p);
    if (WEXITSTATUS(rc) == 127) GTEST_SKIP() << "ogrinfo (gdal-bin) fehlt";
    EXPECT_EQ(rc, 0) << out;
    for (const char* layer : {"tres_defects (Point)", "tres_stretches (Line String)", "tres_routes (Line String)",
                              "tres_fixpoints (Point)"})
        EXPECT_NE(out.find(layer), std::string::npos) << out;
    EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
    EXPECT_EQ(out.find("Warning"), std::string::npos) << out;
}
