// SPDX-License-Identifier: GPL-3.0-or-later
// The trend from the command line, on an archive of the two demo surveys a
// year apart tied to the demo pipeline data, in both back ends: the tracks
// and changes as JSON, a dig finding recorded and shown at its track, the
// refusals, and the trend report naming both surveys.
#include "../export/toolrun.h"
#include "archivefactory.h"
#include "missingtool.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// One word for the shell, whatever it holds (a connection string has quotes).
std::string Word(const std::string& s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

const nlohmann::json* TrackAtRow(const nlohmann::json& trend, int row)
{
    for (const nlohmann::json& t : trend["tracks"])
        if (t["states"][0]["row"] == row) return &t;
    return nullptr;
}

class TrendTool : public testing::TestWithParam<EBackEnd> {
protected:
    void SetUp() override
    {
        std::string why;
        m_archive = FreshArchiveLocation(GetParam(), why);
        if (m_archive.empty()) GTEST_SKIP() << why;
        ASSERT_EQ(Tool("archive init " + Word(m_archive)).status, 0);
        const std::string samples = TRES_SAMPLES_DIR;
        const SRun add = Tool("archive add " + Word(m_archive) + " " + samples + "/demo.tsd " + samples
                              + "/earlier-year.tsd --pipeline " + samples + "/demo-leitung.geojson");
        ASSERT_EQ(add.status, 0) << add.out;
    }
    SRun Tool(const std::string& words, bool withErrors = true) const
    {
        return Shell(std::string(TRESMON_TOOL) + " " + words, withErrors);
    }
    nlohmann::json Trend(const std::string& more = {}) const
    {
        const SRun r = Tool("trend " + Word(m_archive) + " --pipeline 'Gasleitung Mühlbach' --json " + more, false);
        EXPECT_EQ(r.status, 0) << r.out;
        return nlohmann::json::parse(r.out, nullptr, false);
    }
    std::string m_archive;
};

// Surveys in date order whatever order they were added in; a defect that
// grew; a repaired defect that shows again with its finding; the same
// trend after a new assessment; the refusals.
TEST_P(TrendTool, TracksFindingsAndRefusals)
{
    nlohmann::json t = Trend();
    ASSERT_TRUE(t.is_object());
    for (const char* key :
         {"version", "pipeline", "surveys", "tracks", "changes", "fixpoints", "warnings", "nextSurveyDue", "openDigs"})
        EXPECT_TRUE(t.contains(key)) << key;
    ASSERT_EQ(t["surveys"].size(), 2u);
    EXPECT_EQ(t["surveys"][0]["date"], "2024-05-14");
    EXPECT_EQ(t["surveys"][1]["positions"], "chainage");
    const long long earlier = t["surveys"][0]["id"], later = t["surveys"][1]["id"];
    const nlohmann::json* grown = TrackAtRow(t, 2307);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ((*grown)["states"][1]["state"], "verschärft");
    EXPECT_EQ((*grown)["states"][1]["category"], 2);
    ASSERT_EQ(t["changes"].size(), 1u);
    EXPECT_GT(t["changes"][0]["compared"].get<long long>(), 2000);
    EXPECT_EQ(t["fixpoints"].size(), 12u);

    const std::string at = " " + Word(m_archive) + " " + std::to_string(earlier) + " ";
    SRun r = Tool("archive dig" + at + "231 --date 2024-09-01 --finding 'nichts gefunden'");
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("Zeile 231 der Messung Nr. " + std::to_string(earlier) + " ist keine Fehlstelle"),
              std::string::npos)
        << r.out;
    r = Tool("archive dig" + at + "230 --date 2024-09-01 --finding 'Umhüllungsschaden 3 cm²' --repaired --offset 0,6");
    ASSERT_EQ(r.status, 0) << r.out;
    t = Trend();
    const nlohmann::json* repaired = TrackAtRow(t, 230);
    ASSERT_NE(repaired, nullptr);
    EXPECT_EQ((*repaired)["states"][1]["state"], "nach Instandsetzung wieder angezeigt");
    ASSERT_EQ((*repaired)["findings"].size(), 1u);
    const nlohmann::json& f = (*repaired)["findings"][0];
    EXPECT_EQ(f["finding"], "Umhüllungsschaden 3 cm²");
    EXPECT_EQ(f["repaired"], true);
    EXPECT_DOUBLE_EQ(f["offset"].get<double>(), 0.6);
    EXPECT_EQ(f["survey"], earlier);

    // A survey assessed again with the same data compares as before: the
    // rows of a first assessment and those of a later one are read from
    // different places.
    const SRun again = Tool("archive reassess " + Word(m_archive) + " " + std::to_string(earlier) + " "
                            + std::to_string(later) + " --pipeline " + TRES_SAMPLES_DIR + "/demo-leitung.geojson");
    ASSERT_EQ(again.status, 0) << again.out;
    EXPECT_EQ(Trend(), t);

    // One survey left in the period: its history, no changes, no error.
    t = Trend("--from 2025-01-01");
    EXPECT_EQ(t["surveys"].size(), 1u);
    EXPECT_TRUE(t["changes"].empty());
    EXPECT_EQ(Tool("trend " + Word(m_archive) + " --pipeline Nirgendwo").status, 2);
    EXPECT_EQ(Tool("trend " + Word(m_archive) + " --pipeline Mühlbach --json --csv").status, 1);
    EXPECT_EQ(Tool("trend " + Word(m_archive) + " --pipeline Mühlbach --match x").status, 1);

    ASSERT_EQ(Tool("archive remove " + Word(m_archive) + " " + std::to_string(later) + " --reason doppelt").status, 0);
    r = Tool("archive dig " + Word(m_archive) + " " + std::to_string(later) + " 230 --date 2025-06-01 --finding x");
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_EQ(Trend()["surveys"].size(), 1u);
}

TEST_P(TrendTool, ReportNamesTheSurveys)
{
    if (Shell("command -v pdftotext").status != 0) TRES_GTEST_SKIP_MISSING("pdftotext (poppler-utils) fehlt");
    const std::string pdf = (std::filesystem::temp_directory_path() / "trend.pdf").string();
    // A finding the report lists: its track points to it, so the report's
    // input must hold it as long as the trend.
    const SRun dig = Tool("archive dig " + Word(m_archive)
                          + " 2 230 --date 2025-06-01 --finding 'Umhüllung 3 cm² "
                            "abgelöst' --repaired");
    ASSERT_EQ(dig.status, 0) << dig.out;
    const SRun r = Tool("report --trend " + Word(m_archive) + " --pipeline Mühlbach -o " + Word(pdf));
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string text = Shell("pdftotext -layout " + Word(pdf) + " -").out;
    EXPECT_NE(text.find("Trendbericht"), std::string::npos);
    EXPECT_NE(text.find("14.05.2024"), std::string::npos);
    EXPECT_NE(text.find("12.05.2025"), std::string::npos);
    EXPECT_NE(text.find("Prüfstelle 14"), std::string::npos);
    EXPECT_NE(text.find("Umhüllung 3 cm² abgelöst"), std::string::npos) << text.substr(0, 3000);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, TrendTool, testing::Values(EBackEnd::Sqlite, EBackEnd::Postgres),
                         [](const auto& info) { return BackEndName(info.param); });

} // namespace
