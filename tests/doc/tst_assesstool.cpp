// SPDX-License-Identifier: GPL-3.0-or-later
// `tresmon-tool assess` from the outside: the JSON and the spreadsheet
// export of the protection verdict for the worked surveys, the options
// reaching the verdict, and the exit codes.
#include "docfixture.h"
#include "verdictsurveys.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

using namespace verdictsurveys;
using nlohmann::json;

class AssessTool : public ::testing::Test {
protected:
    // The survey as a file in the test's folder; its quoted path.
    std::string Survey(const std::vector<std::string>& lines, const std::string& criterion = "-850 mV")
    {
        const auto path = m_dir / ("s" + std::to_string(++m_count) + ".tsd");
        WriteFile(path, assesssurveys::Text(criterion, lines));
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

// What the tool writes on standard error.
std::string ErrorText(const std::string& args)
{
    FILE* p = popen((std::string(TRESMON_TOOL) + " " + args + " 2>&1 >/dev/null").c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    if (p) pclose(p);
    return out;
}

// The survey with "Anfang" at its first row and "Ende" at its last: the
// two landmarks a native survey is aligned by.
std::vector<std::string> Marked(std::vector<std::string> lines)
{
    lines.front() += "Anfang";
    lines.back() += "Ende";
    return lines;
}

std::vector<std::string> Column(const json& list, const std::string& key)
{
    std::vector<std::string> out;
    for (const json& e : list) out.push_back(e[key].is_string() ? e[key].get<std::string>() : e[key].dump());
    return out;
}

// Peaks at 20 and 35 m over D 2.0 mV (D 19.0 and 14.0 mV, |on - off| 200 mV:
// %IR 8.7 and 6.5), a landmark at 30 m.
std::vector<std::string> PeakSurvey()
{
    std::vector<std::string> lines = PeakLines({{20, 20, 20}, {35, 15, 15}});
    lines[30] += "Schieber";
    return lines;
}

} // namespace

TEST_F(AssessTool, CriterionWithItsSourceAndWarning)
{
    json j = Assess(Survey(kValidity, "-0,85 V"));
    EXPECT_EQ(j["version"], 2);
    EXPECT_EQ(j["criterion"], json::parse(R"({"protection":-850,"source":"header","headerText":"-0,85 V",
                                              "warning":null,"limitPotential":-1200})"));

    // A criterion without its sign must not turn the check off: the default
    // stands in, with a warning in the JSON and on standard error.
    const std::string unsigned850 = Survey(kValidity, "850 mV");
    j = Assess(unsigned850);
    EXPECT_EQ(j["criterion"]["protection"], -850);
    EXPECT_EQ(j["criterion"]["source"], "default");
    const std::string warning = "Schutzkriterium „850 mV“ aus den Kopfdaten nicht verwendbar; −850 mV angenommen.";
    EXPECT_EQ(j["criterion"]["warning"], warning);
    EXPECT_EQ(ErrorText("assess " + unsigned850), "tresmon-tool: " + warning + "\n");
    EXPECT_EQ(Assess(Survey(kValidity, ""))["criterion"]["warning"],
              "Kein Schutzkriterium in den Kopfdaten; −850 mV angenommen.");

    const std::string without = Survey(kValidity, "ohne");
    j = Assess(without + " --protection-limit=-900,9 --limit-potential -1300");
    EXPECT_EQ(j["criterion"], json::parse(R"({"protection":-900,"source":"option","headerText":"ohne",
                                              "warning":null,"limitPotential":-1300})"));
    EXPECT_EQ(ErrorText("assess " + without + " --protection-limit=-900"), "");
    EXPECT_EQ(j["settings"]["protectionPotential"], -900);
    EXPECT_EQ(j["rows"], nullptr); // only with --rows
}

TEST_F(AssessTool, StatusesStretchesCoverageAndWarnings)
{
    // 1 unprotected, 2-6 not assessed (2 "Schieber", 4 "Mast"), 7 protected,
    // 8 over, 9-10 protected; 1 m apart.
    const json j = Assess(Survey(kValidity) + " --rows");
    EXPECT_EQ(j["coverage"], json::parse(R"({"totalLength":9,"assessedLength":4,"notAssessedLength":5,
                                             "gapLength":0,"surveyedLength":9,"assessedShareOfSurveyed":44.4})"));
    EXPECT_EQ(j["statuses"]["unprotected"], json::parse(R"({"name":"nicht geschützt","length":0.5,"stretches":1,
                                                            "share":12.5})"));
    EXPECT_EQ(j["statuses"]["over"]["share"], 25);
    EXPECT_EQ(j["statuses"]["protected"]["stretches"], 2);
    EXPECT_EQ(j["statuses"]["protected100"]["length"], 0);
    EXPECT_EQ(j["statuses"]["notAssessed"]["share"], 55.6); // of the total: 5 / 9
    EXPECT_EQ(Column(j["stretches"], "status"),
              (std::vector<std::string>{"unprotected", "notAssessed", "protected", "over", "protected"}));
    EXPECT_EQ(j["stretches"][0], json::parse(R"({"status":"unprotected","name":"nicht geschützt","firstRow":1,
        "lastRow":1,"fromMetre":0,"toMetre":0,"rows":1,"length":0.5,"worst":-800,"worstMetre":0,"comments":null})"));
    EXPECT_EQ(j["stretches"][1]["comments"], "Schieber; Mast");
    EXPECT_EQ(j["stretches"][3]["worst"], -1250);
    EXPECT_EQ(j["surveyLength"], 9);

    EXPECT_EQ(j["rows"].size(), 10u);
    EXPECT_EQ(j["rows"][0], json::parse(R"({"row":1,"metre":0,"status":"unprotected","basis":"off","value":-800,
                                            "weight":0.5,"gradDiff":null,"irfreeUsable":false})"));
    EXPECT_EQ(j["rows"][4]["basis"], nullptr); // not assessed: neither basis nor value
    EXPECT_EQ(j["rows"][4]["value"], nullptr);

    EXPECT_EQ(Column(j["warnings"], "kind"),
              (std::vector<std::string>{"offMissing", "positive", "onEqualsOff", "offBelowOn", "spike", "spike"}));
    EXPECT_EQ(j["warnings"][1], json::parse(R"J({"kind":"positive","name":"Potential positiv (Anschluss prüfen)",
        "firstRow":3,"lastRow":4,"fromMetre":2,"toMetre":3,"rows":2,
        "text":"Potential positiv (Anschluss prüfen) (Zeilen 3 bis 4, 2 bis 3 m)"})J"));

    // A row without a metre (9999999 in the file) is named, without a metre.
    std::vector<std::string> lines = kValidity;
    lines[6].replace(0, 1, "9999999");
    const json missing = Assess(Survey(lines));
    EXPECT_EQ(missing["warnings"][0], json::parse(R"J({"kind":"metreMissing","name":"Meter fehlt","firstRow":7,
        "lastRow":7,"fromMetre":null,"toMetre":null,"rows":1,"text":"Meter fehlt (Zeile 7)"})J"));
}

TEST_F(AssessTool, ZonesOfInfluenceGapsAndNullShares)
{
    const std::string lengths = Survey(kLengths);
    json j = Assess(lengths);
    EXPECT_EQ(j["coverage"], json::parse(R"({"totalLength":21,"assessedLength":20.5,"notAssessedLength":0.5,
                                             "gapLength":20,"surveyedLength":41,"assessedShareOfSurveyed":50})"));
    EXPECT_EQ(j["statuses"]["unprotected"]["length"], 1); // a single failing point counts 1 m
    EXPECT_EQ(j["statuses"]["unprotected"]["share"], 4.9);
    EXPECT_EQ(j["statuses"]["protected"]["share"], 95.1);
    EXPECT_EQ(j["surveyLength"], 41);
    EXPECT_EQ(Column(j["warnings"], "kind"), (std::vector<std::string>{"offMissing", "gap"}));

    j = Assess(lengths + " --gap 30");
    EXPECT_EQ(j["coverage"]["totalLength"], 41);
    EXPECT_EQ(j["settings"]["gap"], 30);
    j = Assess(lengths + " --gap 2,5 --rows");
    EXPECT_EQ(j["rows"][1]["weight"], 1);
    EXPECT_EQ(j["rows"][10]["weight"], 1.75); // half of 1 m and half of the 2.5 m counted of the gap

    // Nothing assessed: the assessed statuses' shares have no base.
    j = Assess(Survey({"0;-1.10;;;;;;", "1;-1.10;;;;;;"}));
    EXPECT_EQ(j["statuses"]["protected"]["share"], nullptr);
    EXPECT_EQ(j["statuses"]["notAssessed"]["share"], 100);
}

TEST_F(AssessTool, IRFreePotentialAndTheNativeSurvey)
{
    const std::string irfree = Survey(kIRFree);
    json j = Assess(irfree + " --rows");
    EXPECT_EQ(Column(j["rows"], "basis"),
              (std::vector<std::string>{"irfree", "off", "off", "irfree", "irfree", "off", "off", "null"}));
    EXPECT_EQ(j["rows"][0]["value"], -800);
    EXPECT_EQ(j["rows"][0]["gradDiff"], 90);
    j = Assess(irfree + " --rows --irfree-min-diff 2 --irfree-max-ratio 0,9");
    EXPECT_EQ(Column(j["rows"], "irfreeUsable"),
              (std::vector<std::string>{"true", "true", "true", "true", "true", "false", "false", "false"}));
    EXPECT_EQ(j["settings"]["irfreeMinDiff"], 20);
    EXPECT_EQ(j["settings"]["irfreeMaxRatio"], 0.9);

    const std::string polarised = Survey(Marked(kPolarised));
    const auto nativePath = m_dir / "nativ.tsd";
    WriteFile(nativePath, assesssurveys::Text("-850 mV", Marked(kPolarisedNative)));
    const std::string native = " --native " + ShellQuoted(nativePath);
    j = Assess(polarised + native + " --rows");
    EXPECT_EQ(Column(j["stretches"], "status"),
              (std::vector<std::string>{"protected100", "unprotected", "protected", "over"}));
    EXPECT_EQ(j["settings"]["native"], nativePath.string());
    EXPECT_EQ(j["statuses"]["protected100"]["length"], 1.5);
    // The smallest polarisation of the stretch and of each point asked for
    // it (not the protected and the over-protected point), mV.
    EXPECT_EQ(j["stretches"][0]["minPolarisation"], 100);
    EXPECT_EQ(Column(j["rows"], "polarisation"),
              (std::vector<std::string>{"100", "100", "90", "null", "0", "null", "null"}));
    j = Assess(polarised + native + " --no-100mv");
    EXPECT_EQ(j["stretches"][0]["status"], "unprotected");
    EXPECT_EQ(j["settings"]["use100mV"], false);

    // An unreadable native survey is a file error, and nothing is written.
    const SToolRun r = RunTool("assess " + polarised + " --native " + ShellQuoted(m_dir / "fehlt.tsd"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(ErrorText("assess " + polarised + " --native " + ShellQuoted(m_dir / "fehlt.tsd")).find("fehlt.tsd"),
              std::string::npos);
}

// The native survey's rows are paired by the landmarks both surveys share,
// as `compare --native` pairs them: a counter started elsewhere moves
// nothing; without two shared landmarks the criterion is not applied, and a
// survey walked from the other end needs --reverse.
TEST_F(AssessTool, NativeSurveyIsAlignedAsTheComparisonAlignsIt)
{
    const std::string polarised = Survey(Marked(kPolarised));
    const auto native = [&](const std::string& name, const std::vector<std::string>& lines) {
        WriteFile(m_dir / name, assesssurveys::Text("-850 mV", lines));
        return " --native " + ShellQuoted(m_dir / name);
    };
    // Every metre 30 m on, or counted down from 6 m in the same row order.
    std::vector<std::string> shifted, reversed;
    for (const std::string& line : Marked(kPolarisedNative)) {
        const int32_t m = std::stoi(line);
        const std::string rest = line.substr(line.find(';'));
        shifted.push_back(std::to_string(m + 30) + rest);
        reversed.push_back(std::to_string(6 - m) + rest);
    }
    const std::vector<std::string> statuses = {"protected100", "unprotected", "protected", "over"};
    json j = Assess(polarised + native("verschoben.tsd", shifted));
    EXPECT_EQ(Column(j["stretches"], "status"), statuses);
    const json& n = j["native"];
    EXPECT_EQ(n["applied"], true);
    EXPECT_EQ(n["alignment"]["method"], "landmarks");
    EXPECT_EQ(n["alignment"]["text"], "Orientierungspunkte (2)");
    EXPECT_EQ(n["alignment"]["ties"][1]["earlier"]["metre"], 36);
    EXPECT_EQ(n["alignment"]["maxResidual"], 0);
    EXPECT_TRUE(n["warning"].is_null());

    const std::string turned = native("umgekehrt.tsd", reversed);
    SToolRun r = RunTool("assess " + polarised + turned);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(ErrorText("assess " + polarised + turned).find("in umgekehrter Richtung gemessen"), std::string::npos);
    j = Assess(polarised + turned + " --reverse");
    EXPECT_EQ(Column(j["stretches"], "status"), statuses);
    EXPECT_EQ(j["native"]["alignment"]["reversed"], true);

    // No landmark in common: no pairing by the recorded metres, no 100 mV.
    const std::string unmarked = native("ohne.tsd", kPolarisedNative);
    j = Assess(polarised + unmarked);
    EXPECT_EQ(j["stretches"][0]["status"], "unprotected");
    EXPECT_EQ(j["statuses"]["protected100"]["length"], 0);
    EXPECT_EQ(j["native"]["applied"], false);
    EXPECT_EQ(j["native"]["warning"], "100-mV-Kriterium nicht angewandt: Nativmessung nicht zuzuordnen");
    EXPECT_NE(ErrorText("assess " + polarised + unmarked)
                  .find("Warnung: 100-mV-Kriterium nicht angewandt: Nativmessung nicht zuzuordnen"),
              std::string::npos);
    EXPECT_EQ(RunTool("assess " + polarised + " --reverse").status, 1);
}

TEST_F(AssessTool, DefectsAndDigList)
{
    const std::string peaks = Survey(PeakSurvey());
    json j = Assess(peaks);
    ASSERT_EQ(j["defects"].size(), 2u);
    const json first = j["defects"][0];
    EXPECT_EQ(first["row"], 21);
    EXPECT_EQ(first["gradDiff"], 190);
    EXPECT_EQ(first["background"], 20);
    EXPECT_EQ(first["irPercent"], 8.7);
    EXPECT_EQ(first["category"], 1);
    EXPECT_EQ(first["categoryName"], "I gering");
    EXPECT_EQ(first["side"], "LR");
    EXPECT_EQ(first["potOn"], -1100);
    EXPECT_EQ(first["status"], "protected");
    EXPECT_TRUE(first["potIRFree"].is_number());
    EXPECT_EQ(first["landmark"], json::parse(R"({"row":31,"metre":30,"comment":"Schieber","distance":10,
                                                 "text":"10 m vor „Schieber“"})"));
    EXPECT_EQ(j["defects"][1]["landmark"]["text"], "5 m nach „Schieber“");
    EXPECT_EQ(j["digList"][0], json::parse(R"({"priority":1,"row":21,"metre":20,"category":1,"irPercent":8.7,
        "status":"protected","marginal":false,"action":"keine Maßnahme","actionId":"noAction",
        "landmark":"10 m vor „Schieber“"})"));
    EXPECT_EQ(first["marginal"], false);
    EXPECT_EQ(j["settings"]["margin"], 10);

    // Both defects' E* is the IR-free -880 mV: within 30 mV of the criterion
    // they are only just protected, and acted on as where it does not reach.
    j = Assess(peaks + " --margin 30");
    EXPECT_EQ(j["defects"][0]["marginal"], true);
    EXPECT_EQ(Column(j["digList"], "actionId"), (std::vector<std::string>{"adjustProtection", "adjustProtection"}));
    EXPECT_EQ(j["digList"][0]["action"], "Schutz nachstellen und nachmessen");
    j = Assess(peaks + " --margin 29,9"); // cut to 29 mV
    EXPECT_EQ(Column(j["digList"], "actionId"), (std::vector<std::string>{"noAction", "noAction"}));
    EXPECT_EQ(j["settings"]["margin"], 29);

    // The grading bounds reach the categories: 8.7 % is III, 6.5 % II.
    j = Assess(peaks + " --categories 5,8,60");
    EXPECT_EQ(Column(j["digList"], "action"),
              (std::vector<std::string>{"Aufgrabung planen", "bei nächster Messung beobachten"}));
    EXPECT_EQ(j["settings"]["categories"], json::parse("[5,8,60]"));
    // Each of the peak rules can drop the smaller peak (D 14.0 mV).
    for (const std::string option : {"--defect-min 14,1", "--defect-factor 7.5", "--defect-window 16"}) {
        j = Assess(peaks + " " + option);
        EXPECT_EQ(Column(j["defects"], "row"), std::vector<std::string>{"21"}) << option;
    }
    EXPECT_EQ(Assess(peaks + " --background 40,5")["settings"]["background"], 40.5);
}

TEST_F(AssessTool, CounterResetNamedOnStandardError)
{
    std::vector<std::string> lines;
    for (int m = 0; m <= 30; ++m) lines.push_back(std::to_string(m) + ";-1.10;-0.90;;;;;");
    for (int m = 0; m <= 20; ++m) lines.push_back(std::to_string(m) + ";-1.10;-0.90;;;;;");
    const std::string reset = Survey(lines);
    const json j = Assess(reset);
    // The reset and nothing else: neither out of order nor a gap.
    EXPECT_EQ(j["warnings"], json::parse(R"J([{"kind":"counterReset","name":"Zählerstand zurückgesetzt",
        "firstRow":32,"lastRow":32,"fromMetre":0,"toMetre":0,"rows":1,
        "text":"Zählerstand zurückgesetzt (Zeile 32)"}])J"));
    EXPECT_EQ(j["coverage"]["gapLength"], 0);
    EXPECT_EQ(j["coverage"]["surveyedLength"], 50);
    EXPECT_EQ(ErrorText("assess " + reset), "tresmon-tool: Zählerstand zurückgesetzt (Zeile 32)\n");
}

TEST_F(AssessTool, SpreadsheetExport)
{
    std::vector<std::string> lines = PeakSurvey();
    lines[50] = "50;-1.10;;3;1;3;1;=HYPERLINK(\"http://x\")"; // not assessed, a formula for a comment
    lines[60] = "60;-1.10;-0.80;3;1;3;1;";                    // not protected
    const SToolRun r = RunTool("assess " + Survey(lines) + " --csv");
    ASSERT_EQ(r.status, 0);
    // The columns of where each lies are there without pipeline data too,
    // empty, so a sheet built on them takes either file.
    const std::string expected
        = "\xEF\xBB\xBF"
          "Status;Erste Zeile;Letzte Zeile;Von [m];Bis [m];Punkte;Länge [m];Schlechtester Wert [mV];bei Meter [m];"
          "Kommentare;Von Stationierung [m];Bis Stationierung [m];bei Stationierung [m];Von Breite [°];Von Länge [°];"
          "Bis Breite [°];Bis Länge [°];Von Ostwert [m];Von Nordwert [m];Bis Ostwert [m];Bis Nordwert [m]\r\n"
          "nicht bewertbar;51;51;50;50;1;1;;;\"'=HYPERLINK(\"\"http://x\"\")\";;;;;;;;;;;\r\n"
          "nicht geschützt;61;61;60;60;1;1;-800;60;;;;;;;;;;;;\r\n"
          "\r\n"
          "Priorität;Zeile;Meter [m];Stationierung [m];Kategorie;%IR [%];Gradientendifferenz [mV];Hintergrund [mV];"
          "Seite;Potential Ein [mV];Potential Aus [mV];Potential IR-frei [mV];Status;Maßnahme;Orientierungspunkt;"
          "Breite [°];Länge [°];Ostwert [m];Nordwert [m]\r\n"
          "1;21;20;;I gering;8,7;19,0;2,00;LR;-1100;-900;";
    EXPECT_TRUE(r.out.starts_with(expected)) << r.out;
    EXPECT_NE(r.out.find(";geschützt;keine Maßnahme;10 m vor „Schieber“;;;;\r\n2;36;35;;I gering;6,5;14,0;2,00;LR;"),
              std::string::npos)
        << r.out;
    // The JSON is the default, also after --csv was overruled.
    EXPECT_EQ(RunTool("assess " + Survey(lines) + " --csv --json").out.front(), '{');
}

TEST_F(AssessTool, ExitCodes)
{
    const std::string s = Survey(kValidity);
    EXPECT_EQ(RunTool("assess").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " " + s).status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --gap").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --off-limit -900").status, 1);
    EXPECT_EQ(RunTool("assess " + s + " --margin -5").status, 1);
    EXPECT_EQ(ErrorText("assess " + s + " --graddiff-limit 5")
                  .rfind("tresmon-tool: --graddiff-limit gibt es nicht "
                         "mehr; ",
                         0),
              0u);
    EXPECT_EQ(RunTool("assess " + ShellQuoted(m_dir / "none.tsd")).status, 2);
    WriteFile(m_dir / "x.tsd", "[Kopfdaten]\r\nkeine Messdaten\r\n");
    EXPECT_EQ(RunTool("assess " + ShellQuoted(m_dir / "x.tsd")).status, 2);
    EXPECT_EQ(RunTool("assess " + s + " --native " + ShellQuoted(m_dir / "x.tsd")).status, 2);
    // A usage error is found before the file is read.
    EXPECT_EQ(RunTool("assess " + ShellQuoted(m_dir / "none.tsd") + " --gap x").status, 1);
    EXPECT_EQ(RunTool("assess " + s).status, 0);
}
