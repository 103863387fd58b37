// SPDX-License-Identifier: GPL-3.0-or-later
// `tresmon-tool compare` from the outside: the JSON of the worked surveys in
// both modes, the pairs only on request, limits from the command line, the
// spreadsheet export, the alignment of the demo's earlier year shifted or
// reversed, and the exit codes.
#include "assesssurveys.h"
#include "comparesurveys.h"
#include "docfixture.h"
#include "surveyopen.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace {

using namespace comparesurveys;
using nlohmann::json;

class CompareTool : public ::testing::Test {
protected:
    std::string Survey(const std::vector<std::string>& lines)
    {
        const auto path = m_dir / ("s" + std::to_string(++m_count) + ".tsd");
        WriteFile(path, assesssurveys::Text("-850 mV", lines));
        return ShellQuoted(path);
    }

    json Compare(const std::string& args)
    {
        const SToolRun r = RunTool("compare " + args);
        EXPECT_EQ(r.status, 0) << args;
        return r.status == 0 ? json::parse(r.out) : json();
    }

    CTempDir m_dir;
    int m_count = 0;
};

} // namespace

TEST_F(CompareTool, EarlierSurveyAsJson)
{
    const json j = Compare(Survey(kCurrent) + " " + Survey(kEarlier));
    EXPECT_EQ(j, json::parse(R"({
        "mode": "earlier",
        "alignment": {"method": "offset", "reversed": false, "offset": 0, "offsetPairs": 0, "ties": [],
                      "maxResidual": null},
        "criteria": [
            {"id": "worse", "name": "Schutz verschlechtert", "enabled": true, "limit": 50},
            {"id": "shift", "name": "Polarisation unter Grenzwert", "enabled": false, "limit": 100}],
        "indications": [
            {"criterion": "worse", "fromMetre": 10, "toMetre": 20, "rows": 2, "length": 10, "worst": 70,
             "worstMetre": 20},
            {"criterion": "worse", "fromMetre": 40, "toMetre": 50, "rows": 2, "length": 10, "worst": 50,
             "worstMetre": 40}],
        "summary": {"matched": 7, "currentUnmatched": 2, "earlierUnmatched": 3,
                    "deltaOff": {"count": 6, "min": -60, "max": 70, "mean": 31}}})"));
}

TEST_F(CompareTool, NativeSurveyAsJsonWithPairsOnRequest)
{
    const std::string files = Survey(kCurrent) + " " + Survey(kNative);
    json j = Compare(files + " --native");
    EXPECT_EQ(j["mode"], "native");
    EXPECT_FALSE(j.contains("pairs"));
    EXPECT_EQ(j["summary"]["polarisation"], json::parse(R"({"count": 5, "min": 60, "max": 280, "mean": 122})"));
    EXPECT_EQ(j["summary"]["deltaOff"]["mean"], -143);
    ASSERT_EQ(j["indications"].size(), 2u);
    EXPECT_EQ(j["indications"][1], json::parse(R"({"criterion": "shift", "fromMetre": 40, "toMetre": 50,
        "rows": 2, "length": 10, "worst": 60, "worstMetre": 40})"));

    j = Compare(files + " --native --pairs");
    ASSERT_EQ(j["pairs"].size(), 7u);
    EXPECT_EQ(j["pairs"][1], json::parse(R"({"metre": 10,
        "current": {"row": 2, "metre": 10, "potOn": -1200, "potOff": -800, "potIRFree": null},
        "earlier": {"row": 2, "metre": 10, "potOn": -700, "potOff": null, "potIRFree": null},
        "deltaOff": null, "deltaIRFree": null, "polarisation": 100})"));
    EXPECT_TRUE(j["pairs"][6]["polarisation"].is_null());

    // Pairs of an earlier survey have no polarisation at all.
    j = Compare(Survey(kCurrent) + " " + Survey(kEarlier) + " --pairs");
    EXPECT_FALSE(j["pairs"][0].contains("polarisation"));
    EXPECT_FALSE(j["summary"].contains("polarisation"));
    EXPECT_EQ(j["pairs"][2]["deltaOff"], 70);
}

TEST_F(CompareTool, LimitsAndNoMatches)
{
    const std::string current = Survey(kCurrent);
    json j = Compare(current + " " + Survey(kEarlier) + " --worse-limit=51");
    EXPECT_EQ(j["criteria"][0]["limit"], 51);
    EXPECT_EQ(j["indications"].size(), 1u);
    j = Compare(current + " " + Survey(kNative) + " --native --shift-limit 80 --worse-limit -1000");
    ASSERT_EQ(j["indications"].size(), 1u);
    EXPECT_EQ(j["indications"][0]["fromMetre"], 40);

    j = Compare(current + " " + Survey(kElsewhere) + " --native --pairs");
    EXPECT_TRUE(j["pairs"].empty());
    EXPECT_TRUE(j["indications"].empty());
    EXPECT_EQ(j["summary"]["matched"], 0);
    EXPECT_EQ(j["summary"]["deltaOff"], json::parse(R"({"count": 0, "min": null, "max": null, "mean": null})"));
    EXPECT_TRUE(j["summary"]["polarisation"]["mean"].is_null());
}

TEST_F(CompareTool, SpreadsheetExport)
{
    const SToolRun r = RunTool("compare " + Survey(kCurrent) + " " + Survey(kNative) + " --native --csv --pairs");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("\xEF\xBB\xBFKriterium;Von [m];Bis [m];Paare;", 0), 0u);
    EXPECT_NE(r.out.find("\r\nPolarisation unter Grenzwert;40;50;2;10;60;40\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("\r\n7;2;0\r\n"), std::string::npos); // matched, unmatched on each side
    EXPECT_NE(r.out.find("\r\nPolarisation;5;60;280;122\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("\r\nDifferenz Aus;3;-280;-60;-143\r\n"), std::string::npos);
    // A native survey without two landmarks: no offset, the recorded metres.
    EXPECT_NE(r.out.find("\r\nnone;;0;\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("\r\n10;-1200;-800;;-700;;;;;100;10;10\r\n"), std::string::npos);
}

TEST_F(CompareTool, AlignedByLandmarksOrPipelineDataNotByTheRecordedMetres)
{
    const std::string demo = ShellQuoted(TRES_SAMPLES_DIR "/demo.tsd");
    const std::string earlier = ShellQuoted(TRES_SAMPLES_DIR "/earlier-year.tsd");
    const std::string leitung = ShellQuoted(TRES_SAMPLES_DIR "/demo-leitung.geojson");
    const std::string shifted = ShellQuoted(m_dir / "shifted.tsd"), reversed = ShellQuoted(m_dir / "reversed.tsd");
    {
        CTreDoc doc;
        ASSERT_TRUE(tresimport::OpenSurvey(doc, TRES_SAMPLES_DIR "/earlier-year.tsd"));
        for (int r = 1; r <= doc.GetRowCount(); ++r) doc.SetMeter(r, doc.GetMeter(r) + 3);
        ASSERT_TRUE(doc.OnSaveDocument((m_dir / "shifted.tsd").string()));
        doc.ReverseMeasurement();
        ASSERT_TRUE(doc.OnSaveDocument((m_dir / "reversed.tsd").string()));
    }
    const json base = Compare(demo + " " + earlier);
    ASSERT_EQ(base["indications"].size(), 4u);

    json j = Compare(demo + " " + shifted);
    EXPECT_EQ(j["alignment"]["method"], "landmarks");
    EXPECT_EQ(j["alignment"]["ties"][1], json::parse(R"({"comment": "Schieber", "current": {"row": 137, "metre": 136},
        "earlier": {"row": 137, "metre": 139}, "residual": 0})"));
    EXPECT_EQ(j["indications"], base["indications"]);
    j = Compare(demo + " " + shifted + " --no-align");
    EXPECT_EQ(j["alignment"]["method"], "none");
    EXPECT_EQ(j["indications"].size(), 5u); // the one at 728 m made up by the shift
    EXPECT_EQ(j["summary"]["matched"], 2398);
    // Paired as recorded, the landmarks still say how far that misses them.
    EXPECT_EQ(j["alignment"]["ties"][1]["residual"], 3);
    EXPECT_EQ(j["alignment"]["maxResidual"], 3);

    EXPECT_EQ(RunTool("compare " + demo + " " + reversed).status, 2);
    j = Compare(demo + " " + reversed + " --reverse");
    EXPECT_TRUE(j["alignment"]["reversed"]);
    EXPECT_EQ(j["indications"], base["indications"]);

    // Both surveys re-stationed: paired by chainage, whatever their metres.
    const json pipeline = Compare(demo + " " + earlier + " --pipeline " + leitung);
    j = Compare(demo + " " + shifted + " --pairs --pipeline=" + leitung);
    EXPECT_EQ(j["alignment"]["method"], "pipeline");
    EXPECT_EQ(j["alignment"]["ties"].size(), 12u);
    EXPECT_EQ(j["alignment"]["maxResidual"], 0);
    EXPECT_EQ(j["indications"], pipeline["indications"]);
    EXPECT_EQ(j["summary"], pipeline["summary"]);
    // The pair of the row at a fixed point lies at its chainage.
    const json fixpoint = json::parse(ReadFile(TRES_SAMPLES_DIR "/demo-leitung.geojson"))["features"][4];
    json atFixpoint;
    for (const json& tie : j["alignment"]["ties"])
        if (tie["comment"] == fixpoint["properties"]["name"])
            for (const json& p : j["pairs"])
                if (p["current"]["row"] == tie["current"]["row"]) atFixpoint = p;
    EXPECT_EQ(atFixpoint["metre"], std::lround(fixpoint["properties"]["chainage"].get<double>()));
}

TEST_F(CompareTool, ExitCodes)
{
    const std::string s = Survey(kCurrent);
    const std::string missing = ShellQuoted(m_dir / "none.tsd");
    EXPECT_EQ(RunTool("compare").status, 1);
    EXPECT_EQ(RunTool("compare " + s).status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " " + s).status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --worse-limit").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --shift-limit 1x").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --native=yes").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --limit 5").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --pipeline").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --pipeline x.geojson --no-align").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --reverse=1").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s + " --pipeline " + missing).status, 2);
    EXPECT_EQ(RunTool("compare " + missing + " " + s).status, 2);
    EXPECT_EQ(RunTool("compare " + s + " " + missing).status, 2);
    EXPECT_EQ(RunTool("compare " + missing + " " + s + " --shift-limit x").status, 1);
    EXPECT_EQ(RunTool("compare " + s + " " + s).status, 0);
}
