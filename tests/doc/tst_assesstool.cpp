// SPDX-License-Identifier: GPL-3.0-or-later
// `tresmon-tool assess` from the outside: the JSON of the worked surveys,
// limits and switches from the command line, the spreadsheet export and the
// exit codes.
#include "assesssurveys.h"
#include "docfixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using namespace assesssurveys;
using nlohmann::json;

class AssessTool : public ::testing::Test {
protected:
    // The survey as a file in the test's folder; its quoted path.
    std::string Survey(const std::vector<std::string>& lines, const std::string& criterion = "-850 mV")
    {
        const auto path = m_dir / ("s" + std::to_string(++m_count) + ".tsd");
        WriteFile(path, Text(criterion, lines));
        return ShellQuoted(path);
    }

    json Assess(const std::string& args)
    {
        const SToolRun r = RunTool("assess " + args);
        EXPECT_EQ(r.status, 0) << args;
        return r.status == 0 ? json::parse(r.out) : json();
    }

    CTempDir m_dir;
    int m_count = 0;
};

json Of(const json& list, const std::string& key, const std::string& value)
{
    json out = json::array();
    for (const json& e : list)
        if (e[key] == value) out.push_back(e);
    return out;
}

} // namespace

TEST_F(AssessTool, CriteriaWithTheirLimitsInStoredUnits)
{
    json j = Assess(Survey(kCriteria, "-900 mV"));
    ASSERT_EQ(j["criteria"].size(), 4u);
    EXPECT_EQ(j["criteria"][0], json::parse(R"({"id":"off","name":"Aus-Potential zu positiv","enabled":true,
                                                "limit":-900})"));
    EXPECT_EQ(j["criteria"][1]["name"], "IR-freies Potential zu positiv");
    EXPECT_EQ(j["criteria"][1]["limit"], -900);
    EXPECT_EQ(j["criteria"][2]["name"], "Überschutz");
    EXPECT_EQ(j["criteria"][2]["limit"], -1200);
    EXPECT_EQ(j["criteria"][3]["id"], "graddiff");
    EXPECT_EQ(j["criteria"][3]["limit"], 50);

    j = Assess(Survey(kCriteria, "Schutzkriterium fehlt"));
    EXPECT_EQ(j["criteria"][0]["limit"], -850);
}

TEST_F(AssessTool, IndicationsAsTheEngineFindsThem)
{
    const json j = Assess(Survey(kCriteria));
    ASSERT_EQ(j["indications"].size(), 4u);
    EXPECT_EQ(j["indications"][2], json::parse(R"({"criterion":"off","firstRow":6,"lastRow":7,"fromMetre":10,
        "toMetre":13,"rows":2,"length":3,"worst":-790,"worstMetre":10})"));
    EXPECT_EQ(j["indications"][3]["criterion"], "over"); // criteria in their order
    EXPECT_TRUE(j["defects"].empty());
    EXPECT_TRUE(j["warnings"].empty());
}

TEST_F(AssessTool, DefectsWithLandmarksAndNulls)
{
    const json j = Assess(Survey(kDefects));
    ASSERT_EQ(j["defects"].size(), 3u);
    EXPECT_EQ(j["defects"][0], json::parse(R"({"row":3,"metre":20,"gradDiff":70,"gradOn":90,"gradOff":20,
        "potOn":-1200,"potOff":-950,"potIRFree":-870,
        "landmark":{"row":1,"metre":0,"comment":"Schieber","distance":-20}})"));
    EXPECT_TRUE(j["defects"][1]["potOn"].is_null());
    EXPECT_TRUE(j["defects"][1]["potIRFree"].is_null());

    std::vector<std::string> plain = kDefects;
    for (std::string& line : plain) line.erase(line.rfind(';') + 1);
    EXPECT_TRUE(Assess(Survey(plain))["defects"][0]["landmark"].is_null());
}

TEST_F(AssessTool, WarningsAndSummary)
{
    json j = Assess(Survey(kOnOff));
    ASSERT_EQ(j["warnings"].size(), 4u);
    EXPECT_EQ(j["warnings"][0], json::parse(R"({"kind":"offBelowOn","name":"Aus negativer als Ein","firstRow":1,
                                                "lastRow":2,"fromMetre":0,"toMetre":1})"));
    EXPECT_EQ(j["warnings"][2]["name"], "Ein gleich Aus");
    EXPECT_EQ(Assess(Survey(kSpikes))["warnings"][0]["name"], "Ausreißer");

    j = Assess(Survey(kReversed));
    EXPECT_EQ(j["warnings"][0]["name"], "Meter nicht fortlaufend");
    EXPECT_EQ(j["warnings"].back()["name"], "Messlücke");
    EXPECT_EQ(j["summary"], json::parse(R"({"surveyLength":75,
        "criteria":{"off":{"indications":0,"length":0},"irfree":{"indications":0,"length":0},
                    "over":{"indications":0,"length":0},"graddiff":{"indications":1,"length":0}},
        "defects":1,
        "warnings":{"offBelowOn":0,"onEqualsOff":0,"spike":0,"metreOrder":2,"gap":3}})"));
}

TEST_F(AssessTool, SpikeAndGap)
{
    json j = Assess(Survey(kSpikes) + " --spike 150");
    EXPECT_EQ(Of(j["warnings"], "kind", "spike").size(), 3u);
    j = Assess(Survey(kReversed) + " --gap 25");
    EXPECT_EQ(Of(j["warnings"], "kind", "gap").size(), 1u);
}

TEST_F(AssessTool, SpreadsheetExport)
{
    const SToolRun r = RunTool("assess " + Survey(kDefects) + " --csv");
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("\xEF\xBB\xBF"
                                  "Kriterium;Erste Zeile;Letzte Zeile;Von [m];Bis [m];Zeilen;Länge [m];"
                                  "Schlechtester Wert [mV];bei Meter [m]\r\n"))
        << r.out;
    EXPECT_NE(r.out.find("\r\nFehlstellenverdacht;2;3;10;20;2;10;7,0;20\r\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\r\n\r\nZeile;Meter [m];Gradient Differenz [mV];Gradient Ein [mV];Gradient Aus [mV];"
                         "Potential Ein [mV];Potential Aus [mV];Potential IR-frei [mV];Orientierungspunkt;"
                         "Abstand [m]\r\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("\r\n3;20;7,0;9,0;2,0;-1200;-950;-870;Schieber;-20\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("\r\n5;40;5,0;9,0;4,0;;-950;;Kreuzung;10\r\n"), std::string::npos);
    // The JSON is the default, also after --csv was overruled.
    EXPECT_EQ(RunTool("assess " + Survey(kDefects) + " --csv --json").out.front(), '{');
}

TEST_F(AssessTool, ExitCodes)
{
    const std::string s = Survey(kCriteria);
    EXPECT_EQ(RunTool("assess").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " " + s).status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --gap").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --gap -5").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --spike 1x").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --off-limit ''").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --off-limit 99999999999").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --without off,grad").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --limit 5").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --json=yes").status, 1);
    EXPECT_EQ(RunTool("assess " + ShellQuoted(m_dir / "none.tsd")).status, 2);
    WriteFile(m_dir / "x.tsd", "[Kopfdaten]\r\nkeine Messdaten\r\n");
    EXPECT_EQ(RunTool("assess " + ShellQuoted(m_dir / "x.tsd")).status, 2);
    // A usage error is found before the file is read.
    EXPECT_EQ(RunTool("assess " + ShellQuoted(m_dir / "none.tsd") + " --gap x").status, 1);
    EXPECT_EQ(RunTool("assess " + s).status, 0);
}
