// SPDX-License-Identifier: GPL-3.0-or-later
// The archive as its users meet it, through the tool, on both back ends:
// surveys added and given back byte for byte, a duplicate refused, a
// removal that needs a reason, a re-assessment beside the old one, texts
// that look like SQL, a writer killed in the middle, two writers at once
// and a role that may only read.
#include "../export/toolrun.h"
#include "archivefactory.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace tresarchive;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = TRES_SAMPLES_DIR;
const std::string kDemo = kSamples + "/demo.tsd", kEarlier = kSamples + "/earlier-year.tsd";
const std::string kRoute = kSamples + "/demo-leitung.geojson";

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A word for the shell whatever it holds (connection strings have quotes).
std::string Word(const std::string& word)
{
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
std::string Word(const fs::path& p) { return Word(p.string()); }

long long Count(CConnection& db, const std::string& sql) { return db.Execute(sql).rows.at(0).at(0).whole; }

class ArchiveStoreTest : public testing::TestWithParam<EBackEnd> {
protected:
    void SetUp() override
    {
        std::string why;
        m_location = FreshArchiveLocation(GetParam(), why);
        if (m_location.empty()) GTEST_SKIP() << why;
        m_dir = fs::temp_directory_path()
                / ("store-" + std::to_string(::getpid()) + "-"
                   + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    // `archive SUB --archive LOCATION REST`, standard error with it.
    SRun Archive(const std::string& sub, const std::string& rest, bool withErrors = true)
    {
        return Shell(Command(sub, rest), withErrors);
    }
    std::string Command(const std::string& sub, const std::string& rest) const
    {
        return std::string(TRESMON_TOOL) + " archive " + sub + " --archive " + Word(m_location) + " " + rest;
    }
    std::unique_ptr<CConnection> Open() { return OpenTestArchive(GetParam(), m_location); }
    nlohmann::json List() { return nlohmann::json::parse(Archive("list", "--json", false).out); }

    std::string m_location;
    fs::path m_dir;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(BackEnds, ArchiveStoreTest, testing::Values(EBackEnd::Sqlite, EBackEnd::Postgres),
                         [](const auto& info) { return BackEndName(info.param); });

// Two years of one pipeline: listed by date, the assessment kept byte for
// byte as `assess` printed it, the files given back, the same file refused,
// a removal with its reason in the trail, and a re-assessment made current.
TEST_P(ArchiveStoreTest, SurveysOfTwoYearsKeptAndGivenBack)
{
    const std::string route = " --pipeline " + Word(kRoute);
    SRun r = Archive("add", Word(kDemo) + " " + Word(kEarlier) + route);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Messung 1: " + kDemo
                         + " (Leitung Gasleitung Mühlbach - Oberried DN 300 L 4712/03, Datum "
                           "12.05.2025, 2401 Zeilen, 6 Fehlstellen)"),
              std::string::npos)
        << r.out;

    const nlohmann::json list = List();
    ASSERT_EQ(list["pipelines"].size(), 1u) << list;
    const auto& p = list["pipelines"][0];
    EXPECT_EQ(p["name"], "Gasleitung Mühlbach - Oberried DN 300");
    EXPECT_EQ(p["number"], "L 4712/03");
    EXPECT_EQ(p["revisions"], 1);
    ASSERT_EQ(p["surveys"].size(), 2u);
    EXPECT_EQ(p["surveys"][0]["id"], 2); // 2024 before 2025
    EXPECT_EQ(p["surveys"][0]["date"], "2024-05-14");
    EXPECT_EQ(p["surveys"][1]["rows"], 2401);
    EXPECT_EQ(p["surveys"][1]["urgent"], 3);

    const SRun assess = Shell(std::string(TRESMON_TOOL) + " assess " + Word(kDemo) + " --json --rows" + route, false);
    EXPECT_EQ(Archive("show", "1", false).out, assess.out);
    const fs::path back = m_dir / "back.tsd";
    EXPECT_EQ(Archive("get", "2 -o " + Word(back)).status, 0);
    EXPECT_EQ(Bytes(back), Bytes(kEarlier));

    r = Archive("add", Word(kDemo));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("Die Messung ist bereits im Archiv (Nr. 1, hinzugefügt am "), std::string::npos) << r.out;

    EXPECT_EQ(Archive("remove", "2").status, 1);
    EXPECT_EQ(Archive("remove", "2 --reason 'Falsche Leitung'").status, 0);
    EXPECT_EQ(List()["pipelines"][0]["surveys"].size(), 1u);
    const nlohmann::json log = nlohmann::json::parse(Archive("log", "--json", false).out);
    ASSERT_EQ(log["entries"].size(), 3u) << log;
    EXPECT_EQ(log["entries"][2]["action"], "remove");
    EXPECT_EQ(log["entries"][2]["detail"], "Falsche Leitung");
    EXPECT_EQ(log["entries"][2]["sha256"], log["entries"][1]["sha256"]);

    // Without --pipeline the survey stays tied to the data it was stored with.
    ASSERT_EQ(Archive("reassess", "1 --margin 20").status, 0);
    const SRun again = Shell(
        std::string(TRESMON_TOOL) + " assess " + Word(kDemo) + " --json --rows" + route + " --margin 20", false);
    EXPECT_EQ(Archive("show", "1", false).out, again.out);
    const nlohmann::json history = nlohmann::json::parse(Archive("show", "1 --history --json", false).out);
    ASSERT_EQ(history["assessments"].size(), 2u);
    EXPECT_FALSE(history["assessments"][0]["current"]);
    EXPECT_EQ(history["assessments"][1]["options"], nlohmann::json({"--pipeline", kRoute, "--margin", "20"}));
}

// Another logger's export added through a map is read again with that map
// (kept with it, every automatic choice decided): no --map is needed later,
// and the re-assessment is what `assess --map` gives.
TEST_P(ArchiveStoreTest, ExportReadAgainWithTheMapItWasAddedWith)
{
    const fs::path csv = m_dir / "kx9.csv", map = m_dir / "kx9.json";
    std::ofstream(csv) << "Logger KX-9\nPos;U1;U2\n0+000;-0,95;-1,10\n0+001;-0,80;-1,00\n0+002;-0,70;-0,95\n";
    std::ofstream(map) << R"({"skip":1,"columns":{"station":"Pos","off":"U1","on":"U2"},)"
                          R"("pipeline":"Kanal Süd","number":"7","date":"02.03.2026"})";
    ASSERT_EQ(Archive("add", Word(csv) + " --map " + Word(map)).status, 0);
    const SRun r = Archive("reassess", "1 --margin 20");
    ASSERT_EQ(r.status, 0) << r.out;
    const SRun assess = Shell(std::string(TRESMON_TOOL) + " assess " + Word(csv) + " --map " + Word(map)
                                  + " --json --rows --margin 20",
                              false);
    EXPECT_EQ(Archive("show", "1", false).out, assess.out);
    EXPECT_EQ(List()["pipelines"][0]["name"], "Kanal Süd");
}

// Names and comments written like SQL, with quotes, semicolons and umlauts,
// are kept as data and come back as written.
TEST_P(ArchiveStoreTest, TextsThatLookLikeSqlComeBackAsWritten)
{
    const std::string hostile = "'); DROP TABLE survey; --";
    const std::string name = "O'Brien \"Nord\"; Ölleitung";
    const fs::path csv = m_dir / "fremd.csv", map = m_dir / "map.json";
    std::ofstream(csv) << "Station;Ein;Aus;Kommentar\n0;-1,20;-0,95;\"" << hostile << "\"\n1;-1,21;-0,96;\n"
                       << "2;-1,22;-0,97;Prüfstelle „7“\n";
    std::ofstream(map) << nlohmann::json(
                              {{"columns",
                                {{"station", "Station"}, {"on", "Ein"}, {"off", "Aus"}, {"comment", "Kommentar"}}},
                               {"pipeline", name},
                               {"number", "L 1; --"},
                               {"date", "01.02.2023"}})
                              .dump();
    const SRun r = Archive("add", Word(csv) + " --map " + Word(map));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(List()["pipelines"][0]["name"], name);
    const auto db = Open();
    EXPECT_GE(Count(*db, "SELECT count(*) FROM survey"), 1);
    const SResult comments = db->Execute("SELECT comment FROM survey_row ORDER BY row_no");
    ASSERT_EQ(comments.rows.size(), 3u);
    EXPECT_EQ(comments.rows[0][0].bytes, hostile);
    EXPECT_EQ(comments.rows[2][0].bytes, "Prüfstelle „7“");
}

// A writer killed at any moment leaves either nothing of its survey or all
// of it: never a survey without its rows, or rows without their survey.
TEST_P(ArchiveStoreTest, KilledWhileAddingLeavesNothingHalfWritten)
{
    const fs::path big = m_dir / "lang.tsd", route = m_dir / "lang.geojson";
    ASSERT_EQ(Shell(std::string(TRES_GENSURVEY) + " --length 30000 -o " + Word(big)).status, 0);
    ASSERT_EQ(Shell(std::string(TRES_GENSURVEY) + " --length 30000 --pipeline -o " + Word(route)).status, 0);
    ASSERT_EQ(Archive("init", "").status, 0);
    int killedMidway = 0;
    for (int delayMs : {80, 160, 240, 320, 400, 480}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string command
                = "exec " + Command("add", Word(big) + " --pipeline " + Word(route)) + " >/dev/null 2>&1";
            ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const auto db = Open();
        const long long surveys = Count(*db, "SELECT count(*) FROM survey");
        const long long rows = Count(*db, "SELECT count(*) FROM survey_row");
        const long long audit = Count(*db, "SELECT count(*) FROM audit");
        EXPECT_EQ(rows, surveys * 30001) << "after " << delayMs << " ms";
        EXPECT_EQ(audit, surveys);
        EXPECT_EQ(Count(*db, "SELECT count(*) FROM row_verdict"), surveys * 30001);
        if (WIFSIGNALED(status) && surveys == 0) ++killedMidway;
        if (surveys > 0) break; // it finished before the kill: later kills cannot come earlier
    }
    EXPECT_GT(killedMidway, 0) << "no kill came while the survey was being added";
    // What a kill left is no obstacle to the next writer.
    EXPECT_EQ(Archive("add", Word(kDemo)).status, 0);
}

// Two users adding different surveys at the same moment: both land.
TEST_P(ArchiveStoreTest, TwoWritersAtOnceBothLand)
{
    const fs::path a = m_dir / "a.tsd", b = m_dir / "b.tsd";
    ASSERT_EQ(Shell(std::string(TRES_GENSURVEY) + " --length 20000 --seed 3 -o " + Word(a)).status, 0);
    ASSERT_EQ(Shell(std::string(TRES_GENSURVEY) + " --length 20000 --seed 4 -o " + Word(b)).status, 0);
    ASSERT_EQ(Archive("init", "").status, 0);
    const SRun both
        = Shell("( " + Command("add", Word(a)) + " & " + Command("add", Word(b)) + " & wait %1 && wait %2 )");
    EXPECT_EQ(both.status, 0) << both.out;
    EXPECT_EQ(both.out.find("locked"), std::string::npos) << both.out;
    EXPECT_EQ(List()["pipelines"][0]["surveys"].size(), 2u);
}

// A role that may only read can list, show and get; every change is refused
// with the archive's message and nothing changes.
TEST(ArchiveStoreOnServer, ReadingRoleReadsButCannotWrite)
{
    std::string why;
    const std::string writer = FreshArchiveLocation(EBackEnd::Postgres, why);
    const char* reading = std::getenv("TRES_TEST_PG_READONLY");
    if (writer.empty() || !reading) GTEST_SKIP() << why;
    const std::string tool = std::string(TRESMON_TOOL) + " archive ";
    ASSERT_EQ(Shell(tool + "add --archive " + Word(writer) + " " + Word(kDemo)).status, 0);
    // The schema's name is in the writer's search path.
    const size_t at = writer.find("search_path=") + 12;
    const std::string schema = writer.substr(at, writer.find(',', at) - at);
    const auto db = OpenTestArchive(EBackEnd::Postgres, writer);
    db->Execute("GRANT USAGE ON SCHEMA " + schema + " TO tres_reader");
    db->Execute("GRANT SELECT ON ALL TABLES IN SCHEMA " + schema + " TO tres_reader");
    const std::string reader = std::string(reading) + " options='-c search_path=" + schema + ",public'";

    EXPECT_EQ(Shell(tool + "list --archive " + Word(reader)).status, 0);
    EXPECT_EQ(Shell(tool + "show --archive " + Word(reader) + " 1").status, 0);
    EXPECT_EQ(Shell(tool + "get --archive " + Word(reader) + " 1 -o -", false).out, Bytes(kDemo));
    for (const std::string& change :
         {"add --archive " + Word(reader) + " " + Word(kEarlier), "remove --archive " + Word(reader) + " 1 --reason x",
          "reassess --archive " + Word(reader) + " 1"}) {
        const SRun r = Shell(tool + change);
        EXPECT_EQ(r.status, 2) << change << "\n" << r.out;
        EXPECT_NE(r.out.find("Keine Schreibrechte im Archiv: "), std::string::npos) << change << "\n" << r.out;
    }
    EXPECT_EQ(Count(*db, "SELECT count(*) FROM survey"), 1);
    EXPECT_EQ(Count(*db, "SELECT count(*) FROM audit"), 1);
}

// Without PostGIS the server archive says so at init and keeps the map
// layers' points as lat/lon columns.
TEST(ArchiveStoreOnServer, WithoutPostgisPointsAreLatLon)
{
    const char* nogis = std::getenv("TRES_TEST_PG_NOGIS");
    if (!nogis || !*nogis) GTEST_SKIP() << "TRES_TEST_PG_NOGIS ist nicht gesetzt";
    const std::string schema = "n" + std::to_string(::getpid());
    OpenTestArchive(EBackEnd::Postgres, nogis)->Execute("CREATE SCHEMA " + schema);
    const std::string location = std::string(nogis) + " options='-c search_path=" + schema + "'";
    const std::string tool = std::string(TRESMON_TOOL) + " archive ";
    SRun r = Shell(tool + "init " + Word(location));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("gibt es PostGIS nicht"), std::string::npos) << r.out;
    r = Shell(tool + "add --archive " + Word(location) + " " + Word(kDemo) + " --pipeline " + Word(kRoute));
    ASSERT_EQ(r.status, 0) << r.out;
    const auto db = OpenTestArchive(EBackEnd::Postgres, location);
    EXPECT_EQ(Count(*db, "SELECT count(lat) FROM tres_defects"), 6);
    EXPECT_GT(Count(*db, "SELECT count(*) FROM tres_stretches"), 0);
}
