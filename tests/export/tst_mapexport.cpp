// SPDX-License-Identifier: GPL-3.0-or-later
// The exports of a hand-made survey tied to a made-up route: which features
// each format carries, a stretch drawn over the length it stands for, what
// lies beyond the route, and the dig list with and without coordinates.
#include "diglistcsv.h"
#include "mapfeatures.h"
#include "mapwriters.h"
#include "numbers.h"
#include "surveybinding.h"
#include "surveyexport.h"
#include "surveyrows.h"
#include "tresversion.h"
#include "verdict.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace tresexport;
using namespace trespipeline;

constexpr int32_t X = NO_VALUE;

// Rows 0..40 m protected (off -950 mV, D 1 mV) but at 20 m, where the
// potential off is -700 mV over a 30 mV lateral signal (a defect of %IR
// 16.7, category II), and the same once more at 5000 m, beyond the route.
void Survey(CTreDoc& doc)
{
    std::vector<CSurveyRow> rows;
    for (int32_t m = 0; m <= 40; ++m) {
        const std::string comment = m == 10 ? "A" : m == 30 ? "B" : "";
        if (m == 20) rows.emplace_back(m, -850, -700, 400, X, 100, X, comment);
        else rows.emplace_back(m, -1100, -950, 30, X, 20, X, comment);
    }
    rows.emplace_back(5000, -850, -700, 400, X, 100, X);
    FillSurvey(doc, rows);
}

SPipelineData Data()
{
    SPipelineData d;
    d.route.name = "Testleitung";
    d.route.number = "T 1";
    d.route.vertices = {{9.0, 48.0}, {9.01, 48.005}, {9.015, 47.998}};
    for (const auto& [name, chainage] : {std::pair{"A", 100.0}, std::pair{"B", 120.0}}) {
        SFixpoint fp;
        fp.name = fp.match = name;
        fp.type = "Prüfstelle";
        fp.chainage = chainage;
        d.fixpoints.push_back(fp);
    }
    return d;
}

TEST(MapExport, FeaturesFormatsAndWhatLiesBeyondTheRoute)
{
    CTreDoc doc;
    Survey(doc);
    doc.m_header[1] = "03.04.26";
    doc.m_header[2] = "-0,85 V CSE";
    const SSurveyBinding b = BindSurvey(doc, Data());
    ASSERT_TRUE(b.ok) << b.errors.front();
    const SVerdict v = AssessProtection(doc, SVerdictSettings(), nullptr, &b.overrides);
    const SMapFeatures m = CollectMapFeatures(doc, v, b);
    EXPECT_EQ(m.title, "Testleitung, T 1");

    std::vector<std::string> kinds;
    for (const SMapFeature& f : m.features) kinds.push_back(FeatureKindId(f.kind));
    ASSERT_EQ(kinds,
              (std::vector<std::string>{"track", "stretch", "stretch", "defect", "defect", "fixpoint", "fixpoint"}));
    EXPECT_EQ(m.features[0].geometry.size(), 41u);

    // The single point at 20 m (chainage 110) stands for 1 m: its line runs
    // along the route from 109.5 to 110.5.
    const SMapFeature& stretch = m.features[1];
    EXPECT_EQ(stretch.style, "unprotected");
    EXPECT_EQ(stretch.Field("fromChainage")->real, 110);
    EXPECT_EQ(stretch.Field("length")->real, 1);
    ASSERT_EQ(stretch.geometry.size(), 3u);
    EXPECT_NEAR(GeodesicDistance(stretch.geometry.front(), stretch.geometry.back()), 1.0, 0.03);
    EXPECT_EQ(stretch.geometry[1].lat, b.places[20]->lat);

    // Named by their chainage (ties at 10 m = 100 and 30 m = 120), one decimal.
    EXPECT_EQ(m.features[3].label, "P1 II 110,0 m");
    EXPECT_EQ(m.features[3].Field("chainage")->real, 110);
    EXPECT_EQ(m.features[4].label, "P2 II 5090,0 m");
    EXPECT_TRUE(m.features[4].geometry.empty());
    EXPECT_TRUE(m.features[2].geometry.empty());
    EXPECT_EQ(m.features[5].Field("type")->text, "Prüfstelle");
    EXPECT_EQ(m.features[6].Field("chainage")->real, 120);

    std::vector<std::string> notes;
    const auto j = nlohmann::json::parse(GeoJsonText(m, notes));
    EXPECT_EQ(j["features"].size(), 7u);
    EXPECT_EQ(j["features"][3]["properties"]["irPercent"], 16.7);
    EXPECT_EQ(j["features"][3]["properties"]["gradDiff"], 30.0);
    EXPECT_EQ(j["features"][3]["geometry"]["type"], "Point");
    EXPECT_TRUE(j["features"][4]["geometry"].is_null());
    EXPECT_TRUE(j["features"][4]["properties"]["lat"].is_null());
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "1 Abschnitt liegt außerhalb der Trasse und steht ohne Geometrie in der Datei.",
                         "1 Fehlstelle liegt außerhalb der Trasse und steht ohne Geometrie in der Datei."}));

    notes.clear();
    const std::string gpx = GpxText(m, notes);
    auto count = [&gpx](const std::string& s) {
        size_t n = 0;
        for (size_t at = gpx.find(s); at != std::string::npos; at = gpx.find(s, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("<wpt "), 3u);
    EXPECT_EQ(count("<trkpt "), 41u);
    EXPECT_EQ(count("<cmt>umgehend aufgraben</cmt>"), 1u);
    EXPECT_EQ(notes, std::vector<std::string>{"1 Fehlstelle liegt außerhalb der Trasse und fehlt in der GPX-Datei: "
                                              "ein Wegpunkt braucht eine Position."});
}

// What a phone shows under a mark, and what every file says it is: the
// survey, its date, the criterion and the program.
TEST(MapExport, EveryMarkIsDescribedAndEveryFileSaysWhatItIs)
{
    CTreDoc doc;
    Survey(doc);
    doc.SetPathName("/tmp/strecke.tsd");
    doc.m_header[1] = "03.04.26";
    doc.m_header[2] = "-0,85 V CSE";
    const SSurveyBinding b = BindSurvey(doc, Data());
    ASSERT_TRUE(b.ok);
    const SVerdict v = AssessProtection(doc, SVerdictSettings(), nullptr, &b.overrides);
    const SMapFeatures m = CollectMapFeatures(doc, v, b);
    const std::string survey = "Messung strecke.tsd vom 03.04.26; Schutzkriterium -850 mV aus Kopfdaten, "
                               "Grenzpotential -1200 mV; Tresmon " TRES_VERSION;
    EXPECT_EQ(m.description, survey);
    const std::string defect = "Kategorie: II mittel; %IR: 16,7 %; Status: nicht geschützt; Maßnahme: umgehend "
                               "aufgraben; Stationierung: 110,00 m (Messmeter 20 m); Lage: 10 m nach „A“";
    const std::string fixpoint = "Festpunkt: Prüfstelle; Stationierung: 100,00 m; Zeile 11, Messmeter 10 m";
    EXPECT_EQ(m.features[0].Field("description")->text,
              "Messspur: 41 Messpunkte, Zeilen 1 bis 41; Stationierung: 90,00 bis 130,00 m");
    EXPECT_EQ(m.features[1].Field("description")->text,
              "Status: nicht geschützt; Stationierung: 110,00 bis 110,00 m (Messmeter 20 bis 20 m); Länge: 1,00 m; "
              "schlechtester Wert: -650 mV bei Messmeter 20 m");
    EXPECT_EQ(m.features[3].Field("description")->text, defect);
    EXPECT_EQ(m.features[5].Field("description")->text, fixpoint);

    std::vector<std::string> notes;
    const std::string gpx = GpxText(m, notes);
    // GPX 1.1's order: metadata name, desc; a waypoint's name, cmt, desc, type.
    EXPECT_NE(gpx.find("<metadata>\n  <name>Testleitung, T 1</name>\n  <desc>" + survey + "</desc>\n </metadata>"),
              std::string::npos)
        << gpx;
    EXPECT_NE(gpx.find("<name>P1 II 110,0 m</name>\n  <cmt>umgehend aufgraben</cmt>\n  <desc>" + defect
                       + "</desc>\n  <type>Fehlstelle</type>"),
              std::string::npos);
    EXPECT_NE(gpx.find("<desc>" + fixpoint + "</desc>"), std::string::npos);

    const std::string kml = KmlText(m, notes);
    EXPECT_NE(kml.find("<name>Testleitung, T 1</name>\n  <description>" + survey + "</description>"),
              std::string::npos);
    EXPECT_NE(kml.find("<name>P1 II 110,0 m</name>\n    <description>" + defect + "</description>\n    <styleUrl>"),
              std::string::npos)
        << kml;
    size_t placemarks = 0, described = 0;
    for (size_t at = kml.find("<Placemark>"); at != std::string::npos; at = kml.find("<Placemark>", at + 1)) {
        ++placemarks;
        described += kml.compare(kml.find('\n', kml.find("<name>", at)) + 1, 17, "    <description>") == 0;
    }
    EXPECT_EQ(placemarks, 7u);
    EXPECT_EQ(described, 7u);

    const auto j = nlohmann::json::parse(GeoJsonText(m, notes));
    EXPECT_EQ(j["survey"]["file"], "strecke.tsd");
    EXPECT_EQ(j["survey"]["date"], "03.04.26");
    EXPECT_EQ(j["survey"]["criterion"]["protection"], -850);
    EXPECT_EQ(j["survey"]["criterion"]["source"], "header");
    EXPECT_EQ(j["survey"]["criterion"]["headerText"], "-0,85 V CSE");
    EXPECT_EQ(j["survey"]["programVersion"], TRES_VERSION);
    EXPECT_EQ(j["features"][3]["properties"]["description"], defect);
}

TEST(MapExport, ATrackOfOnePositionIsThatPoint)
{
    // One row on the route: no second, made-up point in any format.
    SMapFeatures m;
    m.title = "T";
    SMapFeature track;
    track.line = true;
    track.label = "T";
    track.geometry = {{9.0, 48.0}};
    m.features.push_back(track);
    std::vector<std::string> notes;
    EXPECT_EQ(nlohmann::json::parse(GeoJsonText(m, notes))["features"][0]["geometry"]["type"], "Point");
    const std::string kml = KmlText(m, notes), gpx = GpxText(m, notes);
    EXPECT_NE(kml.find("<Point>"), std::string::npos);
    EXPECT_EQ(kml.find("<LineString>"), std::string::npos);
    EXPECT_EQ(gpx.find("<trkpt "), gpx.rfind("<trkpt "));
}

TEST(MapExport, DigListWithAndWithoutCoordinatesAndTheRefusal)
{
    CTreDoc doc;
    Survey(doc);
    const SSurveyBinding b = BindSurvey(doc, Data());
    ASSERT_TRUE(b.ok);
    const SVerdict tied = AssessProtection(doc, SVerdictSettings(), nullptr, &b.overrides);
    auto lines = [](const std::string& csv) {
        std::vector<std::string> out;
        for (size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2)
            out.push_back(csv.substr(at, end - at));
        return out;
    };
    const std::vector<std::string> with = lines(DigListCsv(tied, &b));
    ASSERT_EQ(with.size(), 3u);
    EXPECT_NE(with[0].find("Ostwert EPSG:25832 [m];Nordwert EPSG:25832 [m]"), std::string::npos);
    const SPlace& p = *b.places[20];
    EXPECT_EQ(with[1].substr(0, 18), "1;21;20;110,00;II ");
    const std::string where = ";" + GermanFixed(p.lat, 7) + ";" + GermanFixed(p.lon, 7) + ";"
                              + GermanFixed(p.easting, 2) + ";" + GermanFixed(p.northing, 2);
    EXPECT_TRUE(with[1].ends_with(where)) << with[1];
    EXPECT_TRUE(with[2].ends_with(";;;;")) << with[2]; // beyond the route

    const SVerdict plain = AssessProtection(doc);
    const std::vector<std::string> without = lines(DigListCsv(plain, nullptr));
    ASSERT_EQ(without.size(), 3u);
    EXPECT_NE(without[0].find(";Ostwert [m];Nordwert [m]"), std::string::npos);
    EXPECT_EQ(without[1].substr(0, 12), "1;21;20;;II ");

    const SExport refused = ExportSurvey(EExportFormat::Gpx, doc, plain, nullptr);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error,
              "Für die Ausgabe als GPX werden Leitungsdaten gebraucht: ohne Trasse hat kein Messpunkt Koordinaten.");
    EXPECT_TRUE(ExportSurvey(EExportFormat::Csv, doc, plain, nullptr).ok);

    // The program's entry: the file whole, or a German message.
    const std::filesystem::path dir
        = std::filesystem::temp_directory_path() / ("mapexport-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<std::string> notes;
    std::string error;
    ASSERT_TRUE(WriteSurveyExport((dir / "a.gpx").string(), EExportFormat::Gpx, doc, tied, &b, notes, error)) << error;
    std::ifstream in(dir / "a.gpx", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, ExportSurvey(EExportFormat::Gpx, doc, tied, &b).text);
    EXPECT_EQ(notes.size(), 1u);
    const std::string nowhere = (dir / "fehlt" / "a.kml").string();
    EXPECT_FALSE(WriteSurveyExport(nowhere, EExportFormat::Kml, doc, tied, &b, notes, error));
    EXPECT_EQ(error.rfind("Die Datei " + nowhere, 0), 0u) << error;
    EXPECT_FALSE(WriteSurveyExport((dir / "b.kml").string(), EExportFormat::Kml, doc, plain, nullptr, notes, error));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.kml"));
    std::filesystem::remove_all(dir);
}

} // namespace
