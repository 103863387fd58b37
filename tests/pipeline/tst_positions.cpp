// SPDX-License-Identifier: GPL-3.0-or-later
// Positions along a made-up two-segment route against PROJ's command-line
// tools, the grid CRS, and the check of the drawn route against the fixed
// points' stationing.
#include "crs.h"
#include "locator.h"
#include "numbers.h"
#include "routecheck.h"
#include "surveyrows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace trespipeline;

// A -> B -> C, walked from chainage 1000 at A. The segments, from
//   echo "48.0 9.0 48.005 9.01" | geod +ellps=WGS84 -I -f "%.10f" -F "%.6f" +units=m
//   echo "48.005 9.01 47.998 9.015" | geod +ellps=WGS84 -I -f "%.10f" -F "%.6f" +units=m
// are 930.549833 m (azimuth 53.3091942395) and 863.143635 m (154.3860783516).
SRoute TwoSegments()
{
    SRoute r;
    r.startChainage = 1000;
    r.vertices = {{9.0, 48.0}, {9.01, 48.005}, {9.015, 47.998}};
    return r;
}

struct Expected {
    double chainage;
    double lat, lon, easting, northing;
};

TEST(Positions, AlongTheRouteAsGeodAndCs2csHaveThem)
{
    // lat/lon from  echo "LAT1 LON1 AZI DIST" | geod +ellps=WGS84 -f "%.10f" +units=m  at the segment's start,
    // easting/northing from  echo "LAT LON" | cs2cs -d 4 EPSG:4326 EPSG:25832
    const Expected points[] = {
        {1000, 48.0, 9.0, 500000.00, 5316300.22},
        {1300, 48.0016120458, 9.0032236893, 500240.47, 5316479.40},        // 300 m along A-B
        {2400, 48.0011928388, 9.0127195887, 500948.80, 5316432.88},        // 469.450167 m along B-C
        {2793.683468, 47.9980000811, 9.0149999421, 501118.97, 5316078.05}, // 863.133635 m along B-C
    };
    std::string error;
    auto locator = CRouteLocator::Create(TwoSegments(), 0, error);
    ASSERT_TRUE(locator) << error;
    EXPECT_EQ(locator->GridEpsg(), 25832);
    EXPECT_NEAR(locator->Path().Length(), 930.549833 + 863.143635, 1e-5);
    for (const Expected& e : points) {
        const std::optional<SPlace> p = locator->At(e.chainage);
        ASSERT_TRUE(p) << e.chainage;
        EXPECT_EQ(p->lat, RoundHalfAway(e.lat, 7)) << e.chainage;
        EXPECT_EQ(p->lon, RoundHalfAway(e.lon, 7)) << e.chainage;
        EXPECT_EQ(p->easting, e.easting) << e.chainage;
        EXPECT_EQ(p->northing, e.northing) << e.chainage;
    }
    const double end = 1000 + locator->Path().Length();
    EXPECT_EQ(locator->At(end)->lon, 9.015);
    EXPECT_FALSE(locator->At(end + 0.01));
    EXPECT_FALSE(locator->At(999.99));

    const double none = std::numeric_limits<double>::quiet_NaN();
    const auto rows = locator->ForRows({1300, none, 500, 2400});
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_TRUE(rows[0] && rows[3]);
    EXPECT_FALSE(rows[1] || rows[2]);
    EXPECT_EQ(rows[3]->northing, 5316432.88);
}

TEST(Positions, GridCrs)
{
    // The caller's CRS in the order a map shows it, though EPSG:31467 names
    // northing first:  echo "48.0011928388 9.0127195887" | cs2cs -d 4 EPSG:4326 EPSG:31467
    std::string error;
    auto gk = CRouteLocator::Create(TwoSegments(), 31467, error);
    ASSERT_TRUE(gk) << error;
    EXPECT_EQ(gk->At(2400)->easting, 3501024.58);
    EXPECT_EQ(gk->At(2400)->northing, 5318120.74);
    EXPECT_FALSE(CRouteLocator::Create(TwoSegments(), 999999, error));
    EXPECT_EQ(error, "Das Bezugssystem EPSG:999999 ist PROJ nicht bekannt.");

    // A route crossing 12 deg E takes the zone of its middle.
    SRoute across;
    across.vertices = {{11.99, 48.0}, {12.03, 48.0}};
    EXPECT_EQ(CRouteLocator::Create(across, 0, error)->GridEpsg(), 25833);
    EXPECT_EQ(UtmEpsgFor(7.9, 47.9), 25832);
    EXPECT_EQ(UtmEpsgFor(-8.5, 40.0), 25829);
    EXPECT_EQ(UtmEpsgFor(-70.0, 40.0), 32619);
    EXPECT_EQ(UtmEpsgFor(151.2, -33.9), 32756);
    EXPECT_EQ(EpsgFromCrsName("urn:ogc:def:crs:EPSG:9.8.15:31467"), 31467);
    EXPECT_EQ(EpsgFromCrsName("epsg:25833"), 25833);
    EXPECT_EQ(EpsgFromCrsName("EPSG:25833x"), std::nullopt);
}

// Fixed points on the route at their chainages, with the stationing of the
// last one off by `factor`.
TEST(Positions, RouteLengthAgainstTieSpan)
{
    const SRoute route = TwoSegments();
    const CRoutePath path(route);
    CTreDoc doc;
    FillSurvey(doc, {CSurveyRow(0, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, "A"),
                     CSurveyRow(700, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, "B"),
                     CSurveyRow(1500, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, NO_VALUE, "C")});
    auto check = [&](double drawnAt, bool withPoints) {
        std::vector<SFixpoint> fps(3);
        const double chainages[] = {1100, 1800, 2600};
        const char* names[] = {"A", "B", "C"};
        for (size_t i = 0; i < 3; ++i) {
            fps[i].name = fps[i].match = names[i];
            fps[i].chainage = chainages[i];
            if (withPoints) fps[i].point = path.PointAt(i == 2 ? drawnAt : chainages[i]);
        }
        return CheckRouteLength(path, fps, Restation(doc, fps));
    };
    SRouteLengthCheck c = check(2600, true);
    EXPECT_TRUE(c.checked);
    EXPECT_NEAR(c.routeLength, 1500, 0.01);
    EXPECT_EQ(c.tieSpan, 1500);
    EXPECT_EQ(c.warning, "");
    EXPECT_EQ(check(1100 + 1500 * 0.951, true).warning, ""); // 4.9 % short
    c = check(1100 + 1500 * 0.94, true);
    EXPECT_EQ(c.warning, "Die Trasse ist zwischen „A“ und „C“ 1410,00 m lang, ihre Stationen liegen 1500,00 m "
                         "auseinander (6,0 % Abweichung, mehr als 5 %)");
    EXPECT_FALSE(check(2600, false).checked);
}

} // namespace
