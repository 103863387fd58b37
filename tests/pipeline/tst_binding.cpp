// SPDX-License-Identifier: GPL-3.0-or-later
// A survey tied to its pipeline data: chainages, places, section criteria
// and the runs beyond the route in one step, its refusals (also without
// PROJ), and the assessment measuring in chainage through it.
#include "crs.h"
#include "fixpointplace.h"
#include "pipelinereader.h"
#include "projlib.h"
#include "route.h"
#include "surveybinding.h"
#include "surveyrows.h"
#include "tiedassessment.h"
#include "verdict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace trespipeline;

constexpr int32_t X = NO_VALUE;

CSurveyRow Row(int32_t metre, std::string comment = {})
{
    return CSurveyRow(metre, -1100, -950, 30, X, 20, X, comment);
}

SFixpoint Fixpoint(const std::string& name, double chainage)
{
    SFixpoint fp;
    fp.name = fp.match = name;
    fp.chainage = chainage;
    return fp;
}

// The worked example's ties (metre 100 at 105 m, 300 at 310 m) on a route
// of about 1794 m from chainage 0, with rows before and beyond it.
SPipelineData Data()
{
    SPipelineData d;
    d.route.vertices = {{9.0, 48.0}, {9.01, 48.005}, {9.015, 47.998}};
    d.fixpoints = {Fixpoint("A", 105), Fixpoint("B", 310), Fixpoint("C", 900)};
    SSection anaerobic;
    anaerobic.from = 100;
    anaerobic.to = 250;
    anaerobic.protectionPotential = -950;
    anaerobic.allow100mV = false;
    SSection all;
    all.from = 0;
    all.to = 2000;
    all.allow100mV = true;
    d.sections = {anaerobic, all};
    return d;
}

void Survey(CTreDoc& doc)
{
    FillSurvey(doc,
               {Row(-10), Row(0), Row(100, "a"), Row(200), Row(300, " B "), Row(1700), Row(1800), Row(X), Row(1900)});
}

TEST(Binding, ChainagesPlacesSectionsAndRunsBeyondTheRoute)
{
    CTreDoc doc;
    Survey(doc);
    const SSurveyBinding b = BindSurvey(doc, Data());
    ASSERT_TRUE(b.ok) << b.errors.front();
    EXPECT_EQ(b.gridEpsg, 25832);
    const double none = std::nan("");
    const std::vector<double> chainage = {-5, 5, 105, 207.5, 310, 1710, 1810, none, 1910};
    ASSERT_EQ(b.chainage.size(), chainage.size());
    for (size_t i = 0; i < chainage.size(); ++i) {
        if (std::isnan(chainage[i])) EXPECT_TRUE(std::isnan(b.chainage[i])) << i;
        else EXPECT_EQ(b.chainage[i], chainage[i]) << i;
        EXPECT_EQ(b.places[i].has_value(), i >= 1 && i <= 5) << i;
    }
    // The assessment takes the chainages as positions and the sections' criteria.
    ASSERT_EQ(b.overrides.position.size(), 9u);
    EXPECT_EQ(b.overrides.position[3], 207.5);
    EXPECT_EQ(b.overrides.protectionPotential, (std::vector<int32_t>{X, X, -950, -950, X, X, X, X, X}));
    EXPECT_EQ(b.overrides.allow100mV, (std::vector<int8_t>{-1, 1, 0, 0, 1, 1, 1, -1, 1}));

    // Runs over the rows with a chainage: row 8 has none and does not end the second.
    ASSERT_EQ(b.outsideRoute.size(), 2u);
    EXPECT_EQ(b.outsideRoute[0].kind, EPlausibility::OutsideRoute);
    EXPECT_EQ(std::make_pair(b.outsideRoute[0].firstRow, b.outsideRoute[0].lastRow), std::make_pair(1, 1));
    EXPECT_EQ(std::make_pair(b.outsideRoute[1].firstRow, b.outsideRoute[1].lastRow), std::make_pair(7, 9));
    EXPECT_EQ(b.outsideRoute[1].rows, 2);
    EXPECT_EQ(b.outsideRoute[1].fromMetre, 1800);
    EXPECT_EQ(b.outsideRoute[1].toMetre, 1900);
    EXPECT_STREQ(PlausibilityId(EPlausibility::OutsideRoute), "outsideRoute");
    EXPECT_STREQ(PlausibilityName(EPlausibility::OutsideRoute), "außerhalb der Trasse");

    ASSERT_EQ(b.fixpoints.size(), 2u);
    EXPECT_EQ(b.fixpoints[1].fixpoint, 1u);
    EXPECT_EQ(b.fixpoints[1].row, 5);
    EXPECT_EQ(b.fixpoints[1].metre, 300);
    ASSERT_TRUE(b.fixpoints[1].place);
    EXPECT_EQ(b.fixpoints[1].place->northing, b.places[4]->northing);
    EXPECT_EQ(b.unmatched, std::vector<size_t>{2});
    EXPECT_EQ(b.warnings,
              std::vector<std::string>{"Festpunkt „C“ (Merkmal 0) kommt in den Kommentaren der Messung nicht vor"});

    // Every length of the verdict is one of chainage: 1915 m from the first row to the last.
    SVerdict v = AssessProtection(doc, SVerdictSettings(), nullptr, &b.overrides);
    EXPECT_EQ(v.surveyLength, 1915);
    const size_t before = v.warnings.size();
    v.warnings.insert(v.warnings.end(), b.outsideRoute.begin(), b.outsideRoute.end());
    EXPECT_EQ(v.warnings.size(), before + 2);
}

// The dig crew finds posts and valves, not the nearest comment: a finding
// is placed from the nearest fixed point on each side in chainage
// direction, named or not by a row.
TEST(Binding, FindingsArePlacedBetweenTheFixedPoints)
{
    const std::vector<SFixpoint> fixpoints = {Fixpoint("Bachdüker", 445.16), Fixpoint("Schieber", 153.71),
                                              Fixpoint("Zweiter Schieber", 153.71), Fixpoint("Prüfstelle 10", 0)};
    const auto text = [&](double s) { return PlaceByFixpoints(fixpoints, s).text; };
    EXPECT_EQ(text(244.06), "zwischen „Schieber“ (+90,35 m) und „Bachdüker“ (−201,10 m)");
    EXPECT_EQ(text(153.71), "bei „Schieber“");
    EXPECT_EQ(text(153.714), "bei „Schieber“");
    EXPECT_EQ(text(500), "54,84 m nach „Bachdüker“");
    EXPECT_EQ(text(-12.5), "12,50 m vor „Prüfstelle 10“");
    EXPECT_EQ(text(std::nan("")), "");
    EXPECT_EQ(PlaceByFixpoints({}, 10).text, "");
    const SFixpointPlace p = PlaceByFixpoints(fixpoints, 244.06);
    ASSERT_TRUE(p.before && p.after);
    EXPECT_EQ(p.before->fixpoint, 1u);
    EXPECT_EQ(p.before->distance, 90.35);
    EXPECT_EQ(p.after->distance, 201.1);
}

// Of the 205 m between the outermost ties A (105 m) and B (310 m) the points
// at 105, 207.5 and 310 m stand for 5 + 10 + 5 m at a gap of 10 m.
TEST(Binding, AssessedShareOfTheRouteBetweenTheOuterTies)
{
    CTreDoc doc;
    Survey(doc);
    const SSurveyBinding b = BindSurvey(doc, Data());
    ASSERT_TRUE(b.ok);
    SRouteCoverage c = RouteCoverage(AssessTied(doc, {}, nullptr, &b), b);
    EXPECT_EQ(c.routeLength, 205);
    EXPECT_EQ(c.assessedLength, 20);
    EXPECT_EQ(c.shareTenths, 98); // 9.76 %
    doc.SetPotOff(4, X);
    c = RouteCoverage(AssessTied(doc, {}, nullptr, &b), b);
    EXPECT_EQ(c.assessedLength, 10);
    EXPECT_EQ(c.shareTenths, 49);
}

TEST(Binding, RefusalsAndTheFile)
{
    CTreDoc doc;
    Survey(doc);
    doc.SetComment(6, "A");
    const SSurveyBinding twice = BindSurvey(doc, Data());
    EXPECT_FALSE(twice.ok);
    EXPECT_EQ(twice.errors, std::vector<std::string>{"Festpunkt „A“ (Merkmal 0) passt zu mehreren Zeilen: 3, 6"});
    EXPECT_TRUE(twice.chainage.empty() && twice.places.empty() && twice.overrides.position.empty());

    Survey(doc);
    EXPECT_EQ(BindSurvey(doc, Data(), 0.05, 999999).errors,
              std::vector<std::string>{"Das Bezugssystem EPSG:999999 ist PROJ nicht bekannt."});

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("binding-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string missing = (dir / "fehlt.geojson").string();
    EXPECT_EQ(
        BindSurveyToFile(doc, missing).errors,
        std::vector<std::string>{"Die Datei " + missing
                                 + " konnte nicht geöffnet werden: Die Datei oder der Ordner wurde nicht gefunden."});
    const std::string faulty = (dir / "ohne-trasse.geojson").string();
    std::ofstream(faulty) << R"({"type": "FeatureCollection", "features": []})";
    EXPECT_EQ(BindSurveyToFile(doc, faulty).errors,
              std::vector<std::string>{"Die Datei " + faulty + " enthält keine Trasse (kind „route“)."});

    // The file's warnings come first, then the re-stationing's.
    const std::string good = (dir / "gut.geojson").string();
    std::ofstream(good) << R"({"type": "FeatureCollection", "features": [
        {"type": "Feature", "properties": {"kind": "route"},
         "geometry": {"type": "LineString", "coordinates": [[9.0, 48.0], [9.01, 48.005]]}},
        {"type": "Feature", "properties": {"kind": "fixpoint", "name": "A", "chainage": 105}, "geometry": null},
        {"type": "Feature", "properties": {"kind": "fixpoint", "name": "C", "chainage": 900}, "geometry": null},
        {"type": "Feature", "properties": {"kind": "gas"}, "geometry": null}]})";
    const SSurveyBinding b = BindSurveyToFile(doc, good);
    ASSERT_TRUE(b.ok) << b.errors.front();
    EXPECT_EQ(b.warnings,
              (std::vector<std::string>{"Merkmal 4: unbekannte Art „gas“; das Merkmal wird übergangen",
                                        "Festpunkt „C“ (Merkmal 3) kommt in den Kommentaren der Messung nicht vor"}));
    EXPECT_EQ(b.chainage[4], 305); // one tie: the survey shifted
    std::filesystem::remove_all(dir);
}

// PROJ is opened when first needed; where that fails every way in says so in
// German, and what has no error path gives nothing rather than crashing.
TEST(Binding, WithoutProjEveryWayInRefusesInGerman)
{
    struct SRestore {
        ~SRestore() { LoadProjFromForTests(""); }
    } restore;
    const auto refusal = [](const std::string& soname, const std::string& reason) {
        return "Die Bibliothek PROJ (" + soname + ", Paket " + TRES_PROJ_PACKAGE
               + ") konnte nicht geladen werden: " + reason + ".";
    };
    CTreDoc doc;
    Survey(doc);
    const std::string text = R"({"type": "FeatureCollection", "features": [
        {"type": "Feature", "properties": {"kind": "route"},
         "geometry": {"type": "LineString", "coordinates": [[9.0, 48.0], [9.01, 48.005]]}}]})";
    ASSERT_TRUE(ParsePipelineText(text, "leitung.geojson").ok); // loaded before: the hook unloads it

    LoadProjFromForTests("libtresmon-ohne-proj.so.0");
    const std::string absent
        = refusal("libtresmon-ohne-proj.so.0",
                  "libtresmon-ohne-proj.so.0: cannot open shared object file: No such file or directory");
    const SPipelineRead read = ParsePipelineText(text, "leitung.geojson");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.errors, std::vector<std::string>{absent});
    const SSurveyBinding b = BindSurvey(doc, Data());
    EXPECT_FALSE(b.ok);
    EXPECT_EQ(b.errors, std::vector<std::string>{absent});
    std::string error;
    EXPECT_FALSE(CCrsTransform::Create(31467, kWgs84Epsg, error));
    EXPECT_EQ(error, absent);
    const CRoutePath path(Data().route);
    EXPECT_EQ(path.Length(), 0);
    EXPECT_FALSE(path.PointAt(0));
    EXPECT_TRUE(std::isnan(GeodesicDistance({9.0, 48.0}, {9.01, 48.005})));
    EXPECT_TRUE(std::isnan(GeodesicDestination({9.0, 48.0}, 90, 100).lat));

    // A library by that name without PROJ's functions.
    LoadProjFromForTests("libc.so.6");
    EXPECT_EQ(BindSurvey(doc, Data()).errors,
              std::vector<std::string>{refusal("libc.so.6", "ihr fehlt die Funktion proj_context_create")});

    LoadProjFromForTests("");
    EXPECT_TRUE(BindSurvey(doc, Data()).ok);
}

} // namespace
