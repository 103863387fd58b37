// SPDX-License-Identifier: GPL-3.0-or-later
// A logger's GPS track as the route: stationed by the wire counter, not by
// the fixes' distances, and fixes far from a route said with their distance.
#include "gpsbinding.h"
#include "locator.h"
#include "projlib.h"
#include "route.h"

#include "doc/tredoc.h"
#include "import/surveyopen.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace trespipeline;

// Two fixes 930.55 m apart (the geodesic from 48.0 9.0 to 48.005 9.01) that
// the counter calls 900 m: the chainage runs evenly along the geodesic.
TEST(GpsBinding, TrackStationedByTheCounter)
{
    std::string error;
    ASSERT_TRUE(LoadProj(error)) << error;
    const CRoutePath path({{9.0, 48.0}, {9.01, 48.005}}, std::vector<double>{100, 1000});
    EXPECT_DOUBLE_EQ(path.StartChainage(), 100);
    EXPECT_NEAR(path.Length(), 900, 1e-9);
    const auto mid = path.PointAt(550);
    ASSERT_TRUE(mid);
    EXPECT_NEAR(GeodesicDistance({9.0, 48.0}, *mid), 930.549833 / 2, 1e-3);
    EXPECT_NEAR(path.Nearest(*mid).chainage, 550, 1e-3);
    EXPECT_FALSE(path.PointAt(1000.5));
}

// Rows between fixes lie on the track by their station; a fix 20 m beside
// the route it is tied to is a warning with that distance.
TEST(GpsBinding, PlacesAndFixesBesideTheRoute)
{
    CTreDoc doc;
    ASSERT_TRUE(tresimport::ReadText(doc, "Station;Ein;Aus;Lat;Lon\n"
                                          "0;-1200;-950;48,0;9,0\n"
                                          "1;-1200;-950;;\n"
                                          "2;-1200;-950;48,0;9,0000268\n"
                                          "3;-1200;-950;48,0;9,0000402\n"
                                          "4;-1200;-950;48,0;9,0000536\n"));
    ASSERT_TRUE(HasGpsTrack(doc));
    SSurveyBinding b = BindSurveyToGps(doc);
    ASSERT_TRUE(b.ok) << (b.errors.empty() ? "" : b.errors[0]);
    EXPECT_EQ(b.gridEpsg, 25832);
    ASSERT_EQ(b.places.size(), 5u);
    ASSERT_TRUE(b.places[1]);
    EXPECT_NEAR(b.places[1]->lon, 9.0000134, 1e-7); // half-way by its station
    EXPECT_DOUBLE_EQ(b.places[3]->lon, 9.0000402);
    EXPECT_DOUBLE_EQ(b.chainage[4], 4);

    // The same rows tied to a route that runs 20 m south of fixes 3 and 4.
    for (size_t i : {3u, 4u}) b.places[i]->lat -= 20 / 111200.0;
    const auto runs = GpsOffRouteRuns(doc, b);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(PlausibilityText(runs[0]), "GPS-Position 20 m neben der Trasse (Zeilen 4 bis 5, 3 bis 4 m)");
}
