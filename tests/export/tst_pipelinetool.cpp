// SPDX-License-Identifier: GPL-3.0-or-later
// `tresmon-tool assess --pipeline` and `edit --restation` from the outside:
// a hand-made survey on a made-up route of about 746 m, fixed points "A"
// (metre 100, chainage 105) and "B" (metre 300, chainage 310) and an
// anaerobic section up to chainage 150 m at -950 mV.
#include "numbers.h"
#include "surveybinding.h"
#include "surveyopen.h"
#include "surveyrows.h"
#include "toolrun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int32_t X = NO_VALUE;

const char kPipeline[] = R"({"type": "FeatureCollection", "features": [
  {"type": "Feature", "properties": {"kind": "route", "name": "Testleitung", "number": "T 1"},
   "geometry": {"type": "LineString", "coordinates": [[9.0, 48.0], [9.01, 48.0]]}},
  {"type": "Feature", "properties": {"kind": "fixpoint", "name": "A", "chainage": 105},
   "geometry": {"type": "Point", "coordinates": [9.0014, 48.0]}},
  {"type": "Feature", "properties": {"kind": "fixpoint", "name": "B", "chainage": 310}, "geometry": null},
  {"type": "Feature", "properties": {"kind": "section", "from": 0, "to": 150, "protectionPotential": -950},
   "geometry": null}]})";

class PipelineTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("pipelinetool-" + std::to_string(getpid()));
        fs::create_directories(m_dir);
        Write("leitung.geojson", kPipeline);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Write(const std::string& name, const std::string& text) { std::ofstream(m_dir / name) << text; }
    std::string Path(const std::string& name) const { return Quoted(m_dir / name); }
    SRun Tool(const std::string& args, bool withErrors = true) const
    {
        return Shell(std::string(TRESMON_TOOL) + " " + args, withErrors);
    }

    fs::path m_dir;
};

// Every 10 m from 0 to 800 m, off -900 mV (protected by the survey's
// -850 mV, not by the section's -950 mV), a defect at 500 m; beyond the
// route from 740 m on.
void LongSurvey(CTreDoc& doc)
{
    std::vector<CSurveyRow> rows;
    for (int32_t m = 0; m <= 800; m += 10) {
        const std::string comment = m == 100 ? "A" : m == 300 ? "B" : "";
        if (m == 500) rows.emplace_back(m, -850, -700, 400, X, 100, X, comment);
        else rows.emplace_back(m, -1050, -900, 30, X, 20, X, comment);
    }
    FillSurvey(doc, rows);
}

TEST_F(PipelineTool, AssessMeasuresInChainageAndPlacesEveryFinding)
{
    CTreDoc doc;
    LongSurvey(doc);
    ASSERT_TRUE(doc.OnSaveDocument((m_dir / "s.tsd").string()));
    const trespipeline::SSurveyBinding b = trespipeline::BindSurveyToFile(doc, (m_dir / "leitung.geojson").string());
    ASSERT_TRUE(b.ok);

    const SRun run = Tool("assess " + Path("s.tsd") + " --rows --pipeline " + Path("leitung.geojson"), false);
    ASSERT_EQ(run.status, 0) << run.out;
    const json j = json::parse(run.out);

    // The section's -950 mV makes the rows up to chainage 150 m unprotected.
    const json& first = j["stretches"][0];
    EXPECT_EQ(first["status"], "unprotected");
    EXPECT_EQ(first["toMetre"], 140);
    EXPECT_EQ(first["fromChainage"], 5);
    EXPECT_EQ(first["toChainage"], 146);
    EXPECT_EQ(first["worstChainage"], 5);
    EXPECT_EQ(first["protectionMin"], -950);
    EXPECT_EQ(first["protectionMax"], -950);
    EXPECT_EQ(j["rows"][0]["protection"], -950);
    EXPECT_EQ(j["rows"][20]["protection"], -850);
    // Every point between the outermost ties is assessed, but 10.25 m apart
    // each stands for at most the 10 m of the gap: 200 of 205 m.
    EXPECT_EQ(j["coverage"]["routeLength"], 205);
    EXPECT_EQ(j["coverage"]["assessedShareOfRoute"], 97.6);
    EXPECT_EQ(first["fromLat"], b.places[0]->lat);
    EXPECT_EQ(j["statuses"]["unprotected"]["stretches"], 2);

    ASSERT_EQ(j["defects"].size(), 1u);
    const json& d = j["defects"][0];
    EXPECT_EQ(d["metre"], 500);
    EXPECT_EQ(d["chainage"], 510);
    const trespipeline::SPlace& p = *b.places[50];
    EXPECT_EQ(d["lat"], p.lat);
    EXPECT_EQ(d["lon"], p.lon);
    // Placed from the fixed points in chainage direction, B being the last.
    EXPECT_EQ(d["landmark"]["text"], "200,00 m nach „B“");
    EXPECT_EQ(d["landmark"]["before"], json({{"name", "B"}, {"chainage", 310}, {"distance", 200}}));
    EXPECT_TRUE(d["landmark"]["after"].is_null());
    EXPECT_EQ(d["landmark"]["comment"], "B");
    EXPECT_EQ(j["digList"][0]["landmark"], "200,00 m nach „B“");
    EXPECT_EQ(j["digList"][0]["chainage"], 510);
    EXPECT_EQ(j["digList"][0]["lon"], p.lon);

    // The rows beyond the route join the warnings, last by their kind.
    const json& w = j["warnings"].back();
    EXPECT_EQ(w["kind"], "outsideRoute");
    EXPECT_EQ(w["name"], "außerhalb der Trasse");
    EXPECT_EQ(w["fromMetre"], 740);
    EXPECT_EQ(w["toChainage"], 810);
    EXPECT_EQ(j["rows"][80]["chainage"], 810);
    EXPECT_TRUE(j["rows"][80]["lat"].is_null());
    EXPECT_EQ(j["rows"][1]["lon"], b.places[1]->lon);

    const json& pl = j["pipeline"];
    EXPECT_EQ(pl["route"]["number"], "T 1");
    EXPECT_EQ(pl["gridCrs"], "EPSG:25832");
    EXPECT_EQ(pl["ties"][0]["factor"], 1.025);
    EXPECT_TRUE(pl["ties"][1]["factor"].is_null());
    EXPECT_EQ(pl["fixpoints"][0]["easting"], trespipeline::RoundHalfAway(b.places[10]->easting, 2));
    EXPECT_TRUE(pl["unmatched"].empty());
    // The section's criterion stands beside the survey's -850 mV, so the
    // unprotected stretch above can be explained from the JSON alone.
    ASSERT_EQ(pl["sections"].size(), 1u);
    EXPECT_EQ(pl["sections"][0]["protectionPotential"], -950);
    EXPECT_TRUE(pl["sections"][0]["limitPotential"].is_null());
    EXPECT_EQ(pl["sections"][0]["rows"], 15);
    EXPECT_EQ(pl["sections"][0]["text"],
              "Merkmal 4, 0 bis 150 m: Schutzpotential -950 mV; 100-mV-Kriterium nicht zulässig (anaerob)");
    EXPECT_EQ(pl["sections"][0]["allow100mV"], false);
    EXPECT_EQ(pl["sections"][0]["allow100mVReason"], "anaerob");

    // The spreadsheet: the stretches' and the dig list's places, the CRS named.
    const SRun csv = Tool("assess " + Path("s.tsd") + " --csv --pipeline " + Path("leitung.geojson"));
    ASSERT_EQ(csv.status, 0) << csv.out;
    EXPECT_NE(csv.out.find(";Bis Nordwert EPSG:25832 [m]\r\nnicht geschützt;1;15;0;140;15;"), std::string::npos);
    EXPECT_NE(csv.out.find("\r\n1;51;500;510,00;"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(";" + trespipeline::GermanFixed(p.lat, 7) + ";" + trespipeline::GermanFixed(p.lon, 7) + ";"
                           + trespipeline::GermanFixed(p.easting, 2) + ";" + trespipeline::GermanFixed(p.northing, 2)
                           + "\r\n"),
              std::string::npos);

    // Without pipeline data the JSON is as it always was: recorded metres,
    // no new keys.
    const json plain = json::parse(Tool("assess " + Path("s.tsd"), false).out);
    EXPECT_EQ(plain["statuses"]["unprotected"]["stretches"], 1);
    EXPECT_FALSE(plain.contains("pipeline"));
    EXPECT_FALSE(plain["defects"][0].contains("chainage"));
    EXPECT_FALSE(plain["stretches"][0].contains("protectionMin"));
    EXPECT_FALSE(plain["coverage"].contains("routeLength"));
    EXPECT_EQ(plain["defects"][0]["landmark"]["text"], "200 m nach „B“");
}

TEST_F(PipelineTool, EditRestationWritesWholeChainagesOrRefuses)
{
    CTreDoc doc;
    FillSurvey(doc,
               {CSurveyRow(0, -1000, -900), CSurveyRow(100, -1000, -900, X, X, X, X, "A"), CSurveyRow(200, -1000, -900),
                CSurveyRow(300, -1000, -900, X, X, X, X, " b "), CSurveyRow(X, -1000, -900)});
    ASSERT_TRUE(doc.OnSaveDocument((m_dir / "w.tsd").string()));
    SRun r = Tool("edit " + Path("w.tsd") + " -o " + Path("out.tsd") + " --restation " + Path("leitung.geojson")
                  + " --stretch-tolerance 0,01");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Warnung: Zwischen „A“ (Zeile 2) und „B“ (Zeile 4) ist der Maßstab 1,025"), std::string::npos)
        << r.out;
    CTreDoc out;
    ASSERT_TRUE(tresimport::OpenSurvey(out, (m_dir / "out.tsd").string()));
    std::vector<int32_t> metres;
    for (int row = 1; row <= out.GetRowCount(); ++row) metres.push_back(out.GetMeter(row));
    EXPECT_EQ(metres, (std::vector<int32_t>{5, 105, 208, 310, X})); // 207.5 half away from zero

    // In the order given: sorted after the re-stationing the row without a
    // metre stays last; re-stationed after a shift, the ties are found anew.
    r = Tool("edit " + Path("w.tsd") + " -o " + Path("out.tsd") + " --add Messmeter 0 300 1000 --restation "
             + Path("leitung.geojson"));
    ASSERT_EQ(r.status, 0) << r.out;
    ASSERT_TRUE(tresimport::OpenSurvey(out, (m_dir / "out.tsd").string()));
    EXPECT_EQ(out.GetMeter(3), 208);

    // Refusals: exit 2 for the data, 1 for the command line; nothing written.
    fs::remove(m_dir / "out.tsd");
    Write("twice.tsd", "");
    FillSurvey(doc, {CSurveyRow(0, -1000, -900, X, X, X, X, "A"), CSurveyRow(100, -1000, -900, X, X, X, X, "a"),
                     CSurveyRow(300, -1000, -900, X, X, X, X, "B")});
    ASSERT_TRUE(doc.OnSaveDocument((m_dir / "twice.tsd").string()));
    r = Tool("edit " + Path("twice.tsd") + " -o " + Path("out.tsd") + " --restation " + Path("leitung.geojson"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("passt zu mehreren Zeilen: 1, 2"), std::string::npos) << r.out;
    r = Tool("edit " + Path("w.tsd") + " -o " + Path("out.tsd") + " --restation " + Path("fehlt.geojson"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("Die Leitungsdaten"), std::string::npos) << r.out;
    EXPECT_EQ(Tool("edit " + Path("w.tsd") + " -o " + Path("out.tsd") + " --restation").status, 1);
    r = Tool("edit " + Path("w.tsd") + " -o " + Path("out.tsd") + " --restation " + Path("leitung.geojson")
             + " --stretch-tolerance -1");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(m_dir / "out.tsd"));

    // Two days appended, the counter set back to 0: 205 m of chainage
    // against -608 m of counter. Every command that re-stations refuses.
    FillSurvey(doc,
               {CSurveyRow(0, -1000, -900), CSurveyRow(100, -1000, -900), CSurveyRow(700, -1000, -900, X, X, X, X, "A"),
                CSurveyRow(0, -1000, -900), CSurveyRow(92, -1000, -900, X, X, X, X, "B")});
    ASSERT_TRUE(doc.OnSaveDocument((m_dir / "reset.tsd").string()));
    const std::string refusal = "Zwischen „A“ (Zeile 3) und „B“ (Zeile 5) ist der Stationierungsfaktor \u22120,337: "
                                "Zählerstand zurückgesetzt oder falscher Festpunkt?";
    for (const std::string& command :
         {"edit " + Path("reset.tsd") + " -o " + Path("out.tsd") + " --restation " + Path("leitung.geojson"),
          "assess " + Path("reset.tsd") + " --pipeline " + Path("leitung.geojson"),
          "compare " + Path("reset.tsd") + " " + Path("w.tsd") + " --pipeline " + Path("leitung.geojson")}) {
        r = Tool(command);
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_NE(r.out.find(refusal), std::string::npos) << r.out;
    }
    EXPECT_FALSE(fs::exists(m_dir / "out.tsd"));
}

// Fixed points named as on every pipeline ("Prüfstelle 10") do not make
// another pipeline's data this survey's: the demo's data renamed to another
// pipeline are refused, naming both; the same names written otherwise
// ("gasleitung  mühlbach - OBERRIED dn 300") are the same pipeline.
TEST_F(PipelineTool, DataOfAnotherPipelineAreRefusedUnlessForced)
{
    std::ifstream in(std::string(TRES_SAMPLES_DIR) + "/demo-leitung.geojson");
    const std::string demo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto renamed = [&demo](const std::string& name, const std::string& number) {
        std::string text = demo;
        for (const auto& [from, to] :
             {std::pair<std::string, std::string>{"Gasleitung Mühlbach - Oberried DN 300", name},
              {"L 4712/03", number}})
            text.replace(text.find(from), from.size(), to);
        return text;
    };
    Write("other.geojson", renamed("Wasserleitung Talstraße", "W 0815/01"));
    Write("spelled.geojson", renamed("gasleitung  mühlbach - OBERRIED dn 300", "l 4712/03"));
    const std::string survey = Quoted(fs::path(TRES_SAMPLES_DIR) / "demo.tsd");

    const SRun refused = Tool("assess " + survey + " --pipeline " + Path("other.geojson"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.out.find("Die Leitungsdaten gehören zu „Wasserleitung Talstraße W 0815/01“, die Messung zu "
                               "„Gasleitung Mühlbach - Oberried DN 300 L 4712/03“. Mit --force-pipeline werden sie "
                               "trotzdem verwendet."),
              std::string::npos)
        << refused.out;
    EXPECT_EQ(Tool("report " + survey + " -o " + Path("r.pdf") + " --pipeline " + Path("other.geojson")).status, 2);
    EXPECT_FALSE(fs::exists(m_dir / "r.pdf"));

    const std::string earlier = Quoted(fs::path(TRES_SAMPLES_DIR) / "earlier-year.tsd");
    EXPECT_EQ(Tool("compare " + survey + " " + earlier + " --pipeline " + Path("other.geojson")).status, 2);
    EXPECT_EQ(Tool("edit " + survey + " -o " + Path("e.tsd") + " --restation " + Path("other.geojson")).status, 2);
    EXPECT_FALSE(fs::exists(m_dir / "e.tsd"));

    EXPECT_EQ(Tool("assess " + survey + " --pipeline " + Path("other.geojson") + " --force-pipeline").status, 0);
    EXPECT_EQ(
        Tool("edit " + survey + " -o " + Path("e.tsd") + " --restation " + Path("other.geojson") + " --force-pipeline")
            .status,
        0);
    EXPECT_EQ(Tool("assess " + survey + " --pipeline " + Path("spelled.geojson")).status, 0);
}

} // namespace
