// SPDX-License-Identifier: GPL-3.0-or-later
// Reading pipeline data: what a good file gives, every error and warning
// text, and coordinates in a foreign CRS (which needs proj-data's German
// grid to land where cs2cs puts them).
#include "pipelinereader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace trespipeline;

const std::string kRoute = R"({"type": "Feature", "properties": {"kind": "route"},
  "geometry": {"type": "LineString", "coordinates": [[9, 48], [9.01, 48.005]]}})";

std::string Feature(const std::string& properties, const std::string& geometry = "null")
{
    return R"({"type": "Feature", "properties": {)" + properties + R"(}, "geometry": )" + geometry + "}";
}

std::string Collection(const std::vector<std::string>& features, const std::string& crs = "")
{
    std::string s = R"({"type": "FeatureCollection", )";
    if (!crs.empty()) s += R"("crs": {"type": "name", "properties": {"name": ")" + crs + R"("}}, )";
    s += R"("features": [)";
    for (size_t i = 0; i < features.size(); ++i) s += (i ? ",\n" : "") + features[i];
    return s + "]}";
}

SPipelineRead Parse(const std::string& text) { return ParsePipelineText(text, "t.geojson"); }

TEST(PipelineReader, ReadsRouteFixpointsAndSections)
{
    const SPipelineRead r = Parse(Collection({
        Feature(
            R"("kind": "route", "name": "Gasleitung Nord", "number": 4711, "startChainage": 1000, "color": "red")",
            R"({"type": "MultiLineString", "coordinates": [[[9, 48], [9.01, 48.005]], [[9.01, 48.005], [9.015, 47.998, 310]]]})"),
        Feature(R"("kind": "fixpoint", "name": "Prüfstelle 3", "type": "Prüfstelle", "chainage": 1200.5)",
                R"({"type": "Point", "coordinates": [9.002, 48.001]})"),
        Feature(R"("kind": "fixpoint", "name": "Schieber", "match": "S 12", "chainage": 1500, "type": null)"),
        Feature(R"("kind": "section", "from": 1100, "to": 1300, "protectionPotential": -949.5, "allow100mV": false)"),
        Feature(R"("kind": "section", "from": 1300, "to": 1400, "limitPotential": -1100)"),
    }));
    ASSERT_TRUE(r.ok) << r.errors.front();
    EXPECT_TRUE(r.warnings.empty());
    const SRoute& route = r.data.route;
    EXPECT_EQ(route.feature, 1);
    EXPECT_EQ(route.name, "Gasleitung Nord");
    EXPECT_EQ(route.number, "4711");
    EXPECT_EQ(route.startChainage, 1000);
    EXPECT_EQ(route.vertices, (std::vector<SLonLat>{{9, 48}, {9.01, 48.005}, {9.015, 47.998}}));

    ASSERT_EQ(r.data.fixpoints.size(), 2u);
    const SFixpoint &a = r.data.fixpoints[0], &b = r.data.fixpoints[1];
    EXPECT_EQ(a.feature, 2);
    EXPECT_EQ(a.match, "Prüfstelle 3");
    EXPECT_EQ(a.type, "Prüfstelle");
    EXPECT_EQ(a.chainage, 1200.5);
    EXPECT_EQ(a.point, (SLonLat{9.002, 48.001}));
    EXPECT_EQ(b.match, "S 12");
    EXPECT_EQ(b.type, "");
    EXPECT_FALSE(b.point);

    ASSERT_EQ(r.data.sections.size(), 2u);
    const SSection &s = r.data.sections[0], &t = r.data.sections[1];
    EXPECT_EQ(s.feature, 4);
    EXPECT_EQ(s.protectionPotential, -950);
    EXPECT_EQ(s.limitPotential, NO_VALUE);
    EXPECT_EQ(s.allow100mV, false);
    EXPECT_EQ(t.limitPotential, -1100);
    EXPECT_EQ(t.allow100mV, std::nullopt);
    EXPECT_EQ(r.data.sourceEpsg, 4326);
}

TEST(PipelineReader, FeatureErrors)
{
    const std::string fp = R"("kind": "fixpoint", "chainage": 10, )";
    const std::string sec = R"("kind": "section", "from": 10, "to": 20, )";
    const std::string line = R"({"type": "LineString", "coordinates": [[9, 48], [9.01, 48]]})";
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{kRoute, "42"}, {"Merkmal 2: kein GeoJSON-Feature"}},
        {{kRoute, R"({"type": "Point", "coordinates": [9, 48]})"}, {"Merkmal 2: kein GeoJSON-Feature"}},
        {{kRoute, Feature(R"("kind": 5)")}, {"Merkmal 2: kind ist kein Text"}},
        {{kRoute, Feature(R"("kind": "fixpoint", "name": "A")")}, {"Merkmal 2: chainage fehlt"}},
        {{kRoute, Feature(R"("kind": "fixpoint", "name": "A", "chainage": "10")")},
         {"Merkmal 2: chainage ist keine Zahl"}},
        {{kRoute, Feature(R"("kind": "fixpoint")")}, {"Merkmal 2: name fehlt", "Merkmal 2: chainage fehlt"}},
        {{kRoute, Feature(fp + R"("name": " ")")}, {"Merkmal 2: name ist leer"}},
        {{kRoute, Feature(fp + R"("name": 7)")}, {"Merkmal 2: name ist kein Text"}},
        {{kRoute, Feature(fp + R"("name": "A", "match": "")")}, {"Merkmal 2: match ist leer"}},
        {{kRoute, Feature(fp + R"("name": "A")", line)}, {"Merkmal 2: Geometrie muss Point oder null sein"}},
        {{kRoute, Feature(fp + R"("name": "A")", R"({"type": "Point", "coordinates": [9]})")},
         {"Merkmal 2: Position 1 ist keine Position [Länge, Breite]"}},
        {{kRoute, Feature(fp + R"("name": "A")", R"({"type": "Point", "coordinates": [200, 48]})")},
         {"Merkmal 2: Position 1 liegt außerhalb von Länge -180 bis 180 und Breite -90 bis 90 Grad"}},
        {{kRoute, Feature(fp + R"("name": "Straße")"), Feature(fp + R"("name": "X", "match": "STRASSE ")")},
         {"Merkmal 3: match „STRASSE “ gleicht dem von Merkmal 2"}},
        {{kRoute, kRoute}, {"Merkmal 2: zweite Trasse (die erste ist Merkmal 1)"}},
        {{Feature(R"("kind": "route")", R"({"type": "Point", "coordinates": [9, 48]})")},
         {"Merkmal 1: Geometrie muss LineString oder MultiLineString sein"}},
        {{Feature(R"("kind": "route")", R"({"type": "LineString", "coordinates": [[9, 48], [9, 48]]})")},
         {"Merkmal 1: die Trasse braucht mindestens zwei verschiedene Positionen"}},
        {{Feature(R"("kind": "route")", R"({"type": "LineString", "coordinates": [[9, 48], [9, 91], "x"]})")},
         {"Merkmal 1: Position 2 liegt außerhalb von Länge -180 bis 180 und Breite -90 bis 90 Grad",
          "Merkmal 1: Position 3 ist keine Position [Länge, Breite]"}},
        {{Feature(R"("kind": "route", "startChainage": "0")", line)}, {"Merkmal 1: startChainage ist keine Zahl"}},
        {{kRoute, Feature(R"("kind": "section", "from": 500, "to": 400.5, "allow100mV": true)")},
         {"Merkmal 2: from (500) größer als to (400,5)"}},
        {{kRoute, Feature(R"("kind": "section", "from": 500)")}, {"Merkmal 2: to fehlt"}},
        {{kRoute, Feature(sec + R"("protectionPotential": -0.85)")},
         {"Merkmal 2: protectionPotential -0,85 mV liegt außerhalb von -1200 bis -500 mV"}},
        {{kRoute, Feature(sec + R"("limitPotential": -2500)")},
         {"Merkmal 2: limitPotential -2500 mV liegt außerhalb von -2000 bis -500 mV"}},
        {{kRoute, Feature(sec + R"("protectionPotential": -950, "limitPotential": -900)")},
         {"Merkmal 2: limitPotential (-900 mV) muss negativer sein als protectionPotential (-950 mV)"}},
        {{kRoute, Feature(sec + R"("allow100mV": "ja")")},
         {"Merkmal 2: allow100mV ist kein Wahrheitswert (true oder false)"}},
    };
    for (const auto& [features, errors] : cases) {
        const SPipelineRead r = Parse(Collection(features));
        EXPECT_FALSE(r.ok) << features.back();
        EXPECT_EQ(r.errors, errors) << features.back();
        EXPECT_TRUE(r.data.route.vertices.empty()); // nothing half read
    }
}

TEST(PipelineReader, FileErrors)
{
    const std::pair<std::string, std::string> cases[] = {
        {"{\n \"type\": \n}", "Die Datei t.geojson ist kein gültiges JSON (Zeile 3, Spalte 1)."},
        {"{\"name\": \"Pr\xfc"
         "fstelle\"}",
         "Die Datei t.geojson ist kein gültiges JSON (Zeile 1, Spalte 13)."},
        {"[]", "Die Datei t.geojson ist keine GeoJSON-FeatureCollection."},
        {R"({"type": "Feature"})", "Die Datei t.geojson ist keine GeoJSON-FeatureCollection."},
        {R"({"type": "FeatureCollection", "features": {}})", "Die Datei t.geojson enthält keine Liste „features“."},
        {Collection({}), "Die Datei t.geojson enthält keine Trasse (kind „route“)."},
        {Collection({kRoute}, "WGS 84"),
         "Die Datei t.geojson nennt das Bezugssystem „WGS 84“; erwartet wird ein EPSG-Code wie "
         "„urn:ogc:def:crs:EPSG::25832“."},
        {Collection({kRoute}, "EPSG:999999"), "Das Bezugssystem EPSG:999999 ist PROJ nicht bekannt."},
    };
    for (const auto& [text, error] : cases) EXPECT_EQ(Parse(text).errors, std::vector<std::string>{error}) << text;

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("pipeline-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_EQ(
        ReadPipelineFile((dir / "fehlt.geojson").string()).errors,
        std::vector<std::string>{"Die Datei " + (dir / "fehlt.geojson").string()
                                 + " konnte nicht geöffnet werden: Die Datei oder der Ordner wurde nicht gefunden."});
    EXPECT_EQ(ReadPipelineFile(dir.string()).errors,
              std::vector<std::string>{"Die Datei " + dir.string()
                                       + " konnte nicht geöffnet werden: Der Name bezeichnet einen Ordner."});
    std::ofstream(dir / "gut.geojson") << Collection({kRoute});
    EXPECT_TRUE(ReadPipelineFile((dir / "gut.geojson").string()).ok);
    std::filesystem::remove_all(dir);
}

TEST(PipelineReader, Warnings)
{
    const SPipelineRead r = Parse(Collection({
        Feature(
            R"("kind": "route")",
            R"({"type": "MultiLineString", "coordinates": [[[9, 48], [9.01, 48.005]], [[9.02, 48.005], [9.03, 48]]]})"),
        Feature(R"("name": "Beschriftung")"),
        Feature(R"("kind": "marker")"),
        Feature(R"("kind": "section", "from": 0, "to": 10, "allow100mV": true)",
                R"({"type": "Point", "coordinates": [9, 48]})"),
        Feature(R"("kind": "section", "from": 0, "to": 10)"),
        Feature(R"("kind": "fixpoint", "name": "Weit weg", "chainage": 5000)"),
        Feature(R"("kind": "section", "from": 100, "to": 200, "protectionPotential": -950, "allow100mV": false)"),
        Feature(R"("kind": "section", "from": 150.5, "to": 300, "protectionPotential": -850, "limitPotential": -1100)"),
        Feature(R"("kind": "section", "from": 200, "to": 300, "allow100mV": true)"),
    }));
    ASSERT_TRUE(r.ok) << r.errors.front();
    EXPECT_EQ(r.warnings, (std::vector<std::string>{
                              "Merkmal 1: Linie 2 beginnt 746,18 m vom Ende der Linie 1; die Lücke zählt zur Trasse",
                              "Merkmal 2: kind fehlt; das Merkmal wird übergangen",
                              "Merkmal 3: unbekannte Art „marker“; das Merkmal wird übergangen",
                              "Merkmal 4: die Geometrie eines Abschnitts wird nicht verwendet",
                              "Merkmal 5: Abschnitt ohne protectionPotential, limitPotential und allow100mV",
                              "Merkmal 8: Abschnitt überschneidet Merkmal 7 bei protectionPotential (150,5 bis 200 m); "
                              "dort gilt Merkmal 7",
                              "Merkmal 6: Festpunkt „Weit weg“ bei 5000 m liegt außerhalb der Trasse (0 bis 2607,28 m)",
                          }));
    EXPECT_EQ(r.data.route.vertices.size(), 4u);
    EXPECT_EQ(r.data.sections.size(), 5u);
    EXPECT_EQ(r.data.fixpoints.size(), 1u);
}

// What a GIS program exports in a projected CRS comes out in WGS 84 as
//   echo "5316300.2243 500000" | cs2cs -d 10 EPSG:25832 EPSG:4326
//   echo "5300000 3500000" | cs2cs -d 9 EPSG:31467 EPSG:4326
// give. DHDN (EPSG:31467) needs proj-data's BeTA2007 grid: without it PROJ
// falls back to a 3 m transformation and the fixed point lands at
// 8.998977754, 47.838227078, 1.2 m away.
TEST(PipelineReader, ForeignCrs)
{
    SPipelineRead r = Parse(Collection(
        {Feature(R"("kind": "route")",
                 R"({"type": "LineString", "coordinates": [[500000, 5316300.2243], [500240.4652, 5316479.4016]]})")},
        "urn:ogc:def:crs:EPSG::25832"));
    ASSERT_TRUE(r.ok) << r.errors.front();
    EXPECT_EQ(r.data.sourceEpsg, 25832);
    ASSERT_EQ(r.data.route.vertices.size(), 2u);
    EXPECT_NEAR(r.data.route.vertices[0].lon, 9.0, 1e-9);
    EXPECT_NEAR(r.data.route.vertices[0].lat, 48.0, 1e-9);
    EXPECT_NEAR(r.data.route.vertices[1].lon, 9.0032236893, 1e-9);
    EXPECT_NEAR(r.data.route.vertices[1].lat, 48.0016120458, 1e-9);

    r = Parse(Collection({Feature(R"("kind": "route")",
                                  R"({"type": "LineString", "coordinates": [[3499000, 5299000], [3501000, 5301000]]})"),
                          Feature(R"("kind": "fixpoint", "name": "GK", "chainage": 100)",
                                  R"({"type": "Point", "coordinates": [3500000, 5300000]})")},
                         "EPSG:31467"));
    ASSERT_TRUE(r.ok) << r.errors.front();
    ASSERT_TRUE(r.data.fixpoints.at(0).point);
    EXPECT_NEAR(r.data.fixpoints[0].point->lon, 8.998993305, 2e-9);
    EXPECT_NEAR(r.data.fixpoints[0].point->lat, 47.838220607, 2e-9);

    EXPECT_FALSE(Parse(Collection({kRoute}, "urn:ogc:def:crs:EPSG::4326")).data.route.vertices.empty());
    EXPECT_EQ(Parse(Collection({kRoute}, "urn:ogc:def:crs:OGC:1.3:CRS84")).data.route.vertices[1],
              (SLonLat{9.01, 48.005}));
}

} // namespace
