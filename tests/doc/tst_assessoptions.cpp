// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment's options as `assess` and `report` read them: every value
// in its stored unit, the refusals with their German messages, and the
// options that are gone naming what replaced them.
#include "assessoptions.h"
#include "assesswords.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct SParsed {
    int exit = 0;
    SAssessOptions o;
    std::string err;
};

SParsed Parse(const std::vector<std::string>& args, EAssessCommand command = EAssessCommand::Assess)
{
    SParsed p;
    testing::internal::CaptureStderr();
    p.exit = ParseAssessOptions(args, command, p.o);
    p.err = testing::internal::GetCapturedStderr();
    return p;
}

} // namespace

TEST(AssessOptions, EveryValueInItsStoredUnit)
{
    SParsed p = Parse({"a.tsd"});
    ASSERT_EQ(p.exit, -1);
    EXPECT_EQ(p.o.path, "a.tsd");
    EXPECT_EQ(p.o.settings.protectionPotential, NO_VALUE); // the header decides
    EXPECT_EQ(p.o.stretchTolerance, 0.05);

    p = Parse({"a.tsd",
               "--protection-limit",
               "-900,7",
               "--limit-potential=-1150",
               "--irfree-min-diff",
               "4.99",
               "--irfree-max-ratio",
               "0,7",
               "--gap",
               "12,345",
               "--background=40.5",
               "--defect-window",
               "7",
               "--defect-factor",
               "3.1",
               "--defect-min",
               "2,56",
               "--categories",
               "10,30.5,55",
               "--spike",
               "80",
               "--no-100mv",
               "--native",
               "n.tsd",
               "--rows",
               "--csv",
               "--pipeline",
               "l.geojson",
               "--stretch-tolerance",
               "0,1",
               "--crs",
               "epsg:25833"});
    ASSERT_EQ(p.exit, -1) << p.err;
    const SVerdictSettings& s = p.o.settings;
    EXPECT_EQ(s.protectionPotential, -900); // truncated toward zero on the digits
    EXPECT_EQ(s.limitPotential, -1150);
    EXPECT_EQ(s.irfreeMinDiff, 49); // tenths of a mV
    EXPECT_EQ(s.irfreeMaxRatio, 0.7);
    EXPECT_EQ(s.gap, 12.34); // hundredths of a metre
    EXPECT_EQ(s.background, 40.5);
    EXPECT_EQ(s.defectWindow, 7);
    EXPECT_EQ(s.defectFactor, 3.1); // the very double the decimal text names
    EXPECT_EQ(s.defectMin, 25);
    EXPECT_EQ(s.categories, (std::array<double, 3>{10, 30.5, 55}));
    EXPECT_EQ(s.spike, 80);
    EXPECT_FALSE(s.use100mV);
    EXPECT_EQ(p.o.native, "n.tsd");
    EXPECT_TRUE(p.o.rows);
    EXPECT_TRUE(p.o.csv);
    EXPECT_EQ(p.o.pipeline, "l.geojson");
    EXPECT_EQ(p.o.stretchTolerance, 0.1);
    EXPECT_EQ(p.o.crs, 25833);
    // With a decimal comma the bounds are separated by semicolons.
    EXPECT_EQ(Parse({"a.tsd", "--categories", "12,5;35;60"}).o.settings.categories,
              (std::array<double, 3>{12.5, 35, 60}));
}

TEST(AssessOptions, RetiredOptionsNameWhatReplacedThem)
{
    SParsed p = Parse({"a.tsd", "--off-limit", "-900"});
    EXPECT_EQ(p.exit, 1);
    EXPECT_TRUE(p.err.starts_with("tresmon-tool: --off-limit gibt es nicht mehr; das Schutzkriterium setzt "
                                  "--protection-limit.\nAufruf: tresmon-tool assess DATEI"))
        << p.err;
    EXPECT_NE(Parse({"a.tsd", "--over-limit=-1100"}).err.find("--limit-potential"), std::string::npos);
    EXPECT_NE(Parse({"a.tsd", "--irfree-limit", "-900"}).err.find("--irfree-min-diff"), std::string::npos);
    EXPECT_NE(Parse({"a.tsd", "--graddiff-limit", "5"}).err.find("--defect-min"), std::string::npos);
    p = Parse({"r.tsd", "-o", "r.pdf", "--without", "graddiff"}, EAssessCommand::Report);
    EXPECT_EQ(p.exit, 1);
    EXPECT_NE(p.err.find("--without gibt es nicht mehr; "), std::string::npos);
    EXPECT_NE(p.err.find("--no-100mv"), std::string::npos);
    EXPECT_NE(p.err.find("Aufruf: tresmon-tool report"), std::string::npos);
}

TEST(AssessOptions, ValuesOutOfReachAreRefused)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--protection-limit", "850"}, "--protection-limit muss negativ sein"}, // the sign forgotten
        {{"--limit-potential", "0"}, "--limit-potential muss negativ sein"},
        {{"--protection-limit", "-1250"}, "Das Grenzpotential (-1200 mV, --limit-potential) muss negativer sein"},
        {{"--protection-limit=-900", "--limit-potential=-900"}, "muss negativer sein"},
        {{"--gap", "0"}, "--gap muss größer als 0 sein: 0"},
        {{"--gap", "-5"}, "--gap muss größer als 0 sein"},
        {{"--defect-window", "-1"}, "--defect-window darf nicht negativ sein: -1"},
        {{"--defect-factor", "-2.5"}, "--defect-factor darf nicht negativ sein"},
        {{"--defect-factor", "2.5x"}, "Ungültige Zahl bei --defect-factor: \"2.5x\""},
        {{"--irfree-max-ratio", "1e-1"}, "Ungültige Zahl bei --irfree-max-ratio"},
        {{"--irfree-max-ratio", ""}, "Ungültige Zahl"},
        {{"--spike", "1.2.3"}, "Ungültige Zahl bei --spike"},
        {{"--defect-min", "99999999999"}, "Ungültige Zahl bei --defect-min"},
        {{"--categories", "35,15,60"}, "--categories braucht drei aufsteigende Prozentwerte"},
        {{"--categories", "15,35"}, "--categories braucht drei"},
        {{"--categories", "15,35,60,80"}, "--categories braucht drei"},
        {{"--categories", "15,35,101"}, "--categories braucht drei"},
        {{"--categories", "15,15,60"}, "--categories braucht drei"},
        {{"--crs", "25832"}, "--crs erwartet einen EPSG-Code wie EPSG:25832"},
        {{"--crs", "EPSG:"}, "--crs erwartet"},
        {{"--native"}, "--native braucht einen Wert."},
        {{"--native="}, "--native braucht einen Dateinamen."},
        {{"--no-100mv=ja"}, "--no-100mv nimmt keinen Wert."},
        {{"--rows=1"}, "--rows nimmt keinen Wert."},
        {{"--compare", "b.tsd"}, "Unbekannte Option: --compare"},
        {{"b.tsd"}, "Zu viele Dateien: b.tsd"},
    };
    for (const auto& [extra, message] : refused) {
        std::vector<std::string> args = {"a.tsd"};
        args.insert(args.end(), extra.begin(), extra.end());
        const SParsed p = Parse(args);
        EXPECT_EQ(p.exit, 1) << extra.front();
        EXPECT_NE(p.err.find(message), std::string::npos) << p.err;
    }
    EXPECT_TRUE(Parse({"--gap", "5"}).err.starts_with("tresmon-tool: Keine Messdatei angegeben.\n"));
}

TEST(AssessOptions, ReportTakesTheNativeComparisonAsItsNativeSurvey)
{
    SParsed p = Parse({"r.tsd", "-o", "r.pdf", "--compare", "n.tsd", "--native", "--defect-min", "4"},
                      EAssessCommand::Report);
    ASSERT_EQ(p.exit, -1) << p.err;
    EXPECT_EQ(p.o.native, "n.tsd");
    EXPECT_EQ(p.o.compareSettings.mode, ECompareMode::Native);
    EXPECT_EQ(p.o.settings.defectMin, 40);
    EXPECT_EQ(Parse({"r.tsd", "-o", "r.pdf", "--compare", "e.tsd"}, EAssessCommand::Report).o.native, "");
    // Report has no table output; a native survey of its own is named as
    // for assess, and not beside a comparison compared as native.
    EXPECT_EQ(Parse({"r.tsd", "-o", "r.pdf", "--rows"}, EAssessCommand::Report).exit, 1);
    p = Parse({"r.tsd", "-o", "r.pdf", "--native", "n.tsd", "--reverse"}, EAssessCommand::Report);
    ASSERT_EQ(p.exit, -1) << p.err;
    EXPECT_EQ(p.o.native, "n.tsd");
    EXPECT_TRUE(p.o.reverse);
    EXPECT_EQ(p.o.compareSettings.mode, ECompareMode::Earlier);
    EXPECT_EQ(Parse({"r.tsd", "-o", "r.pdf", "--native=n.tsd", "--compare", "e.tsd"}, EAssessCommand::Report).o.native,
              "n.tsd");
    p = Parse({"r.tsd", "-o", "r.pdf", "--compare", "e.tsd", "--native", "--native", "n.tsd"}, EAssessCommand::Report);
    EXPECT_EQ(p.exit, 1);
    EXPECT_NE(p.err.find("nicht beides"), std::string::npos) << p.err;
    p = Parse({"r.tsd", "-o", "r.pdf", "--reverse"}, EAssessCommand::Report);
    EXPECT_EQ(p.exit, 1);
    EXPECT_NE(p.err.find("--reverse gilt nur zusammen mit --compare FRÜHER oder --native NATIV."), std::string::npos);
}

// The program stores the words its settings stand for: the tool's parser
// and the program's reader of stored words must both take them back to
// exactly these settings, or a re-assessment would judge otherwise.
TEST(AssessOptions, ProgramWordsGiveTheToolTheSameSettings)
{
    tresexport::SAssessRequest r;
    SVerdictSettings& s = r.settings;
    s.protectionPotential = -950;
    s.irfreeMinDiff = 35; // 3.5 mV
    s.irfreeMaxRatio = 0.65;
    s.gap = 12.5;
    s.defectMin = 40;
    s.categories = {10, 30.5, 55};
    s.use100mV = false;
    r.pipeline = "leitung.geojson";
    r.forcePipeline = true;
    r.native = "nativ.tsd";
    r.reverse = true;
    const std::vector<std::string> words = tresexport::AssessOptionWords(r);
    EXPECT_TRUE(tresexport::AssessOptionWords({}).empty());

    std::vector<std::string> args{"a.tsd"};
    args.insert(args.end(), words.begin(), words.end());
    const SParsed p = Parse(args);
    ASSERT_EQ(p.exit, -1) << p.err;
    tresexport::SAssessRequest back;
    std::string error;
    ASSERT_TRUE(tresexport::ReadAssessOptionWords(words, back, error)) << error;
    for (const SVerdictSettings* got : std::vector<const SVerdictSettings*>{&p.o.settings, &back.settings}) {
        EXPECT_EQ(got->protectionPotential, -950);
        EXPECT_EQ(got->irfreeMinDiff, 35);
        EXPECT_EQ(got->irfreeMaxRatio, 0.65);
        EXPECT_EQ(got->gap, 12.5);
        EXPECT_EQ(got->defectMin, 40);
        EXPECT_EQ(got->categories, s.categories);
        EXPECT_FALSE(got->use100mV);
        EXPECT_EQ(got->limitPotential, SVerdictSettings().limitPotential);
    }
    EXPECT_EQ(p.o.pipeline, "leitung.geojson");
    EXPECT_TRUE(p.o.forcePipeline && back.forcePipeline);
    EXPECT_EQ(back.native, "nativ.tsd");
    EXPECT_TRUE(p.o.reverse && back.reverse);

    // The tool's own stored form ("--gap=5") reads too; an unknown word is refused.
    ASSERT_TRUE(tresexport::ReadAssessOptionWords({"--gap=5", "--crs", "EPSG:25832"}, back, error));
    EXPECT_EQ(back.settings.gap, 5);
    EXPECT_EQ(back.crs, 25832);
    EXPECT_FALSE(tresexport::ReadAssessOptionWords({"--json"}, back, error));
    EXPECT_EQ(error, "Unbekannte Bewertungsoption: --json");
}
