// SPDX-License-Identifier: GPL-3.0-or-later
// `tresmon-tool export` from the outside: the demo survey with its pipeline
// data in every format, read back by GDAL's ogrinfo (feature counts and
// fields, as a GIS program sees them), and the refusals.
#include "missingtool.h"
#include "toolrun.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kSamples = TRES_SAMPLES_DIR;

class ExportTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("export-" + std::to_string(getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    SRun Export(const std::string& format, const std::string& file, bool pipeline = true)
    {
        return Shell(std::string(TRESMON_TOOL) + " export " + kSamples + "/demo.tsd --format " + format + " -o "
                     + Quoted(m_dir / file) + (pipeline ? " --pipeline " + kSamples + "/demo-leitung.geojson" : ""));
    }

    fs::path m_dir;
};

// Per layer of `ogrinfo -ro -so -al`: its feature count and its fields' lines
// ("priority: Integer (0.0)").
struct SLayer {
    long features = -1;
    std::vector<std::string> fields;
    bool Has(const std::string& field) const
    {
        for (const std::string& f : fields)
            if (f.rfind(field + ":", 0) == 0) return true;
        return false;
    }
};

std::map<std::string, SLayer> Ogrinfo(const std::string& args)
{
    std::map<std::string, SLayer> layers;
    const SRun r = Shell("ogrinfo -ro -so -al " + args);
    SLayer* layer = nullptr;
    size_t at = 0;
    while (at < r.out.size()) {
        const size_t end = r.out.find('\n', at);
        const std::string line = r.out.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? r.out.size() : end + 1;
        if (line.rfind("Layer name: ", 0) == 0) layer = &layers[line.substr(12)];
        else if (layer && line.rfind("Feature Count: ", 0) == 0) layer->features = std::stol(line.substr(15));
        else if (layer && line.find(": ") != std::string::npos && line.find(" (") != std::string::npos)
            layer->fields.push_back(line);
    }
    return layers;
}

bool HaveOgrinfo() { return Shell("ogrinfo --version").status == 0; }

TEST_F(ExportTool, DemoReadBackByOgrinfo)
{
    if (!HaveOgrinfo()) TRES_GTEST_SKIP_MISSING("ogrinfo (gdal-bin) is not installed: the exports are not read back");
    // What the exports must hold for the demo with its pipeline data: 29
    // stretches not protected (26 below the criterion, 15 of them in the
    // anaerobic section at -950 mV, and 3 without an off potential), the 6
    // planted defects and the 12 fixed points.
    const long stretches = 29, defects = 6, fixpoints = 12;

    for (const char* format : {"geojson", "kml", "gpx", "csv"}) {
        const SRun r = Export(format, std::string("demo.") + format);
        EXPECT_EQ(r.status, 0) << format << ": " << r.out;
    }

    const auto geojson = Ogrinfo(Quoted(m_dir / "demo.geojson"));
    ASSERT_EQ(geojson.size(), 1u);
    const SLayer& all = geojson.begin()->second;
    EXPECT_EQ(all.features, 1 + stretches + defects + fixpoints);
    for (const char* field :
         {"kind", "status", "name", "fromMetre", "toChainage", "length", "worst", "priority", "category", "irPercent",
          "gradDiff", "potOn", "potOff", "potIRFree", "action", "landmark", "metre", "chainage", "type"})
        EXPECT_TRUE(all.Has(field)) << field;
    EXPECT_TRUE(all.Has("priority")
                && all.fields.end() != std::find(all.fields.begin(), all.fields.end(), "priority: Integer (0.0)"));

    const auto kml = Ogrinfo(Quoted(m_dir / "demo.kml"));
    ASSERT_EQ(kml.size(), 4u);
    EXPECT_EQ(kml.at("Trasse").features, 1);
    EXPECT_EQ(kml.at("Abschnitte").features, stretches);
    EXPECT_EQ(kml.at("Fehlstellen").features, defects);
    EXPECT_EQ(kml.at("Festpunkte").features, fixpoints);
    // The typed ExtendedData comes through as typed fields.
    EXPECT_NE(
        std::find(kml.at("Fehlstellen").fields.begin(), kml.at("Fehlstellen").fields.end(), "irPercent: Real (0.0)"),
        kml.at("Fehlstellen").fields.end());
    EXPECT_TRUE(kml.at("Abschnitte").Has("worstMetre"));
    EXPECT_TRUE(kml.at("Festpunkte").Has("chainage"));

    const auto gpx = Ogrinfo(Quoted(m_dir / "demo.gpx"));
    EXPECT_EQ(gpx.at("waypoints").features, defects + fixpoints);
    EXPECT_EQ(gpx.at("tracks").features, 1);
    EXPECT_EQ(gpx.at("track_points").features, 2401);
    EXPECT_TRUE(gpx.at("waypoints").Has("desc"));
    // GPS software reads it too: a line per waypoint.
    const bool babelThere = Shell("gpsbabel -V").status == 0;
    if (babelThere) {
        const SRun babel = Shell("gpsbabel -i gpx -f " + Quoted(m_dir / "demo.gpx") + " -o unicsv -F -", false);
        EXPECT_EQ(babel.status, 0);
        EXPECT_EQ(std::count(babel.out.begin(), babel.out.end(), '\n'), 1 + defects + fixpoints) << babel.out;
        EXPECT_NE(babel.out.find("P1 II 1192,6 m"), std::string::npos) << babel.out;
    }

    // The spreadsheet's CSV as GDAL reads it: semicolons, a BOM, German titles.
    const auto csv = Ogrinfo(Quoted(m_dir / "demo.csv"));
    ASSERT_EQ(csv.size(), 1u);
    EXPECT_EQ(csv.begin()->second.features, defects);
    EXPECT_TRUE(csv.begin()->second.Has("Breite [°]"));
    EXPECT_TRUE(csv.begin()->second.Has("Nordwert EPSG:25832 [m]"));
    if (!babelThere) TRES_GTEST_SKIP_MISSING("gpsbabel is not installed: the GPX was not read by GPS software");
}

// The GeoPackage as QGIS opens it: one layer per kind, each of one geometry
// type, typed columns, and a copy to another format that keeps them.
TEST_F(ExportTool, GeoPackageReadBackByOgrinfoAndOgr2ogr)
{
    if (!HaveOgrinfo()) TRES_GTEST_SKIP_MISSING("ogrinfo (gdal-bin) is not installed: the GeoPackage is not read back");
    const SRun r = Export("gpkg", "demo.gpkg");
    ASSERT_EQ(r.status, 0) << r.out;
    const SRun info = Shell("ogrinfo -ro -so -al " + Quoted(m_dir / "demo.gpkg"));
    EXPECT_NE(info.out.find("using driver `GPKG' successful"), std::string::npos) << info.out;
    const auto layers = Ogrinfo(Quoted(m_dir / "demo.gpkg"));
    ASSERT_EQ(layers.size(), 4u);
    // The demo's figures: 29 stretches not protected, 6 defects, 12 fixed points.
    EXPECT_EQ(layers.at("track").features, 1);
    EXPECT_EQ(layers.at("stretches").features, 29);
    EXPECT_EQ(layers.at("defects").features, 6);
    EXPECT_EQ(layers.at("fixpoints").features, 12);
    const auto has = [&](const char* layer, const char* line) {
        const std::vector<std::string>& f = layers.at(layer).fields;
        return std::find(f.begin(), f.end(), line) != f.end();
    };
    EXPECT_TRUE(has("defects", "irPercent: Real (0.0)"));
    EXPECT_TRUE(has("defects", "priority: Integer64 (0.0)"));
    EXPECT_TRUE(has("defects", "description: String (0.0)"));
    EXPECT_TRUE(has("stretches", "worstMetre: Integer64 (0.0)"));
    for (const auto& [name, geometry] : {std::pair{"track", "Line String"}, std::pair{"stretches", "Line String"},
                                         std::pair{"defects", "Point"}, std::pair{"fixpoints", "Point"}}) {
        const size_t at = info.out.find("Layer name: " + std::string(name));
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_EQ(info.out.compare(info.out.find("Geometry: ", at) + 10, std::string(geometry).size(), geometry), 0)
            << name;
    }
    const SRun first = Shell("ogrinfo -ro -al -q " + Quoted(m_dir / "demo.gpkg") + " defects -where priority=1");
    EXPECT_NE(first.out.find("name (String) = P1 II 1192,6 m"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("chainage (Real) = 1192.59"), std::string::npos);
    EXPECT_NE(first.out.find("POINT (7.910646 47.9352901)"), std::string::npos);

    // Into GeoJSON and back: the same features.
    const SRun copy = Shell("ogr2ogr -f GeoJSON " + Quoted(m_dir / "defects.geojson") + " "
                            + Quoted(m_dir / "demo.gpkg") + " defects");
    ASSERT_EQ(copy.status, 0) << copy.out;
    EXPECT_EQ(Ogrinfo(Quoted(m_dir / "defects.geojson")).begin()->second.features, 6);
}

// No command may write over a file it reads: refused before anything is
// read or written, the file as it was.
TEST_F(ExportTool, AnOutputThatIsAnInputIsRefused)
{
    const fs::path survey = m_dir / "demo.tsd", pipeline = m_dir / "leitung.geojson";
    fs::copy_file(kSamples + "/demo.tsd", survey);
    fs::copy_file(kSamples + "/demo-leitung.geojson", pipeline);
    fs::create_symlink(survey, m_dir / "verweis.tsd");
    const std::string tool = std::string(TRESMON_TOOL) + " ";
    const std::string s = Quoted(survey), p = Quoted(pipeline);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"export " + s + " --format gpkg --pipeline " + p + " -o " + p, "leitung.geojson"},
        {"export " + s + " --format csv -o " + Quoted(m_dir / "verweis.tsd"), "demo.tsd"},
        {"export " + s + " --format kml --pipeline " + p + " -o " + Quoted(m_dir / "." / "demo.tsd"), "demo.tsd"},
        {"report " + s + " -o " + s, "demo.tsd"},
        {"convert " + s + " " + s, "demo.tsd"},
        {"edit " + s + " -o " + s + " --sort", "demo.tsd"},
        {"edit " + Quoted(m_dir / "verweis.tsd") + " -o " + p + " --restation " + p, "leitung.geojson"},
        {"csv " + s + " " + s, "demo.tsd"},
        {"print --graphic " + s + " -o " + s, "demo.tsd"},
        {"render " + s + " -o " + s, "demo.tsd"},
    };
    const auto before = fs::last_write_time(survey);
    for (const auto& [command, named] : cases) {
        const SRun r = Shell(tool + command);
        EXPECT_EQ(r.status, 1) << command << ": " << r.out;
        EXPECT_NE(r.out.find("ist eine der Eingaben"), std::string::npos) << command << ": " << r.out;
        EXPECT_NE(r.out.find(named + ") und würde sie überschreiben"), std::string::npos) << command << ": " << r.out;
    }
    EXPECT_EQ(fs::last_write_time(survey), before);
    EXPECT_EQ(fs::file_size(survey), fs::file_size(kSamples + "/demo.tsd"));
    // Standard output is no file, and another name is fine.
    EXPECT_EQ(Shell(tool + "convert - - < " + s + " > /dev/null").status, 0);
    EXPECT_EQ(
        Shell(tool + "export " + s + " --format gpkg --pipeline " + p + " -o - > " + Quoted(m_dir / "aus.gpkg")).status,
        0);
    if (!HaveOgrinfo()) TRES_GTEST_SKIP_MISSING("ogrinfo (gdal-bin) is not installed: the GeoPackage is not read back");
    EXPECT_EQ(Ogrinfo(Quoted(m_dir / "aus.gpkg")).size(), 4u);
}

TEST_F(ExportTool, Refusals)
{
    SRun r = Export("kml", "x.kml", false);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Das Format kml braucht Leitungsdaten für die Koordinaten (--pipeline LEITUNG.geojson)"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(fs::exists(m_dir / "x.kml"));
    EXPECT_EQ(Export("shp", "x.shp").status, 1);
    EXPECT_EQ(Shell(std::string(TRESMON_TOOL) + " export " + kSamples + "/demo.tsd --format csv").status, 1); // no -o

    r = Shell(std::string(TRESMON_TOOL) + " export " + kSamples + "/demo.tsd --format gpx -o " + Quoted(m_dir / "x.gpx")
              + " --pipeline " + Quoted(m_dir / "fehlt.geojson"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("lassen sich nicht verwenden"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(m_dir / "x.gpx"));

    // The dig list needs no pipeline data: its coordinates stay empty.
    r = Export("csv", "ohne.csv", false);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(fs::exists(m_dir / "ohne.csv"));
}

} // namespace

// Another logger's file with its own GPS: without pipeline data the dig list
// and the GeoJSON carry the logger's positions, the unrounded station is the
// chainage, and a doubtful fix is said.
TEST_F(ExportTool, PositionsFromTheFilesOwnGps)
{
    const fs::path csv = m_dir / "gps.csv";
    {
        std::ofstream out(csv);
        out << "Station;Ein;Aus;Grad Ein L;Grad Aus L;Kommentar;Lat;Lon;PDOP\n";
        for (int m = 0; m <= 80; ++m) {
            char line[160];
            const bool defect = m == 40;
            std::snprintf(line, sizeof line, "%d,2;-1,20;-0,95;%s;%s;%s;48,0000000;%.7f;%s\n", m,
                          defect ? "90,0" : "8,0", defect ? "2,0" : "1,0", m == 0 ? "Prüfstelle 1" : "",
                          9.0 + m * 1.342e-5, m == 10 ? "6,5" : "1,2");
            std::string text = line;
            std::replace(text.begin(), text.end(), '.', ',');
            out << text;
        }
    }
    const SRun r = Shell(std::string(TRESMON_TOOL) + " assess " + Quoted(csv) + " --json --rows", false);
    ASSERT_EQ(r.status, 0) << r.out;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["pipeline"]["positions"], "gps");
    EXPECT_TRUE(j["pipeline"]["file"].is_null());
    ASSERT_FALSE(j["digList"].empty());
    const auto& dig = j["digList"][0];
    EXPECT_EQ(dig["row"], 41);
    EXPECT_DOUBLE_EQ(dig["chainage"].get<double>(), 40.2);
    EXPECT_DOUBLE_EQ(dig["lat"].get<double>(), 48.0);
    EXPECT_NEAR(dig["lon"].get<double>(), 9.0 + 40 * 1.342e-5, 1e-7);
    // The dig list for the crew: easting and northing in the zone of the track.
    const SRun list = Shell(std::string(TRESMON_TOOL) + " export " + Quoted(csv) + " --format csv -o -", false);
    EXPECT_NE(list.out.find("Ostwert EPSG:25832"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find(";48,0000000;9,0005368;"), std::string::npos) << list.out;
    bool inaccurate = false;
    for (const auto& w : j["warnings"]) inaccurate = inaccurate || (w["name"] == "GPS ungenau" && w["firstRow"] == 11);
    EXPECT_TRUE(inaccurate) << j["warnings"];

    const fs::path geo = m_dir / "gps.geojson";
    ASSERT_EQ(
        Shell(std::string(TRESMON_TOOL) + " export " + Quoted(csv) + " --format geojson -o " + Quoted(geo)).status, 0);
    std::ifstream in(geo);
    const auto g = nlohmann::json::parse(in);
    bool placed = false;
    for (const auto& f : g["features"])
        if (f["properties"].value("kind", "") == "defect") {
            EXPECT_NEAR(f["geometry"]["coordinates"][0].get<double>(), 9.0 + 40 * 1.342e-5, 1e-7);
            EXPECT_NEAR(f["geometry"]["coordinates"][1].get<double>(), 48.0, 1e-7);
            placed = true;
        }
    EXPECT_TRUE(placed) << g.dump().substr(0, 2000);
}

// Lines of another logger's file skipped on request are named with the
// verdict, never dropped without a word; a .tsd's JSON has no such key.
TEST_F(ExportTool, SkippedLinesAreNamedWithTheWarnings)
{
    const fs::path csv = m_dir / "luecke.csv";
    std::ofstream(csv) << "Station;Ein;Aus\n0;-1,20;-0,95\n1;-1,21;-0,9x\n2;-1,22;-0,96\n";
    const SRun refused = Shell(std::string(TRESMON_TOOL) + " assess " + Quoted(csv) + " --json");
    EXPECT_EQ(refused.status, 2) << refused.out;
    const SRun r = Shell(std::string(TRESMON_TOOL) + " assess " + Quoted(csv) + " --json --skip-bad", false);
    ASSERT_EQ(r.status, 0) << r.out;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["fileNotes"].size(), 1u) << j["fileNotes"];
    EXPECT_EQ(j["fileNotes"][0].get<std::string>().rfind("Zeile 3 übersprungen", 0), 0u) << j["fileNotes"];
    const auto own = nlohmann::json::parse(
        Shell(std::string(TRESMON_TOOL) + " assess " + kSamples + "/demo.tsd --json", false).out);
    EXPECT_FALSE(own.contains("fileNotes"));

    // The report lists the skipped line with the warnings and names the
    // electrode the column map gives.
    if (Shell("command -v pdftotext").status != 0) TRES_GTEST_SKIP_MISSING("pdftotext (poppler-utils) fehlt");
    const fs::path map = m_dir / "map.json", pdf = m_dir / "luecke.pdf";
    std::ofstream(map) << R"({"columns":{"station":"Station","on":"Ein","off":"Aus"},"electrode":"Ag/AgCl 3M"})";
    const SRun report = Shell(std::string(TRESMON_TOOL) + " report " + Quoted(csv) + " --map " + Quoted(map)
                              + " --skip-bad -o " + Quoted(pdf));
    ASSERT_EQ(report.status, 0) << report.out;
    const std::string text = Shell("pdftotext -layout " + Quoted(pdf) + " -", false).out;
    EXPECT_NE(text.find("Zeile 3 übersprungen"), std::string::npos) << text.substr(0, 3000);
    EXPECT_NE(text.find("Ag/AgCl 3M"), std::string::npos) << text.substr(0, 3000);
}
