// SPDX-License-Identifier: GPL-3.0-or-later
// The map's arithmetic without Qt: ground to widget and back, zooming about
// the pointer, fitting, the scale bar's round lengths, the hit test, true
// north in the grid, and the scene built from a survey tied to its route.
#include "mapgeometry.h"
#include "mapscene.h"
#include "surveybinding.h"
#include "surveyrows.h"
#include "verdict.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace tresmap;

TEST(MapTransform, NorthUpEastRightAndBack)
{
    CMapTransform t;
    t.SetViewport(400, 300);
    t.SetView({500000, 5650000}, 2);
    const SScreenPoint c = t.ToScreen({500000, 5650000});
    EXPECT_DOUBLE_EQ(c.x, 200);
    EXPECT_DOUBLE_EQ(c.y, 150);
    const SScreenPoint ne = t.ToScreen({500100, 5650040});
    EXPECT_DOUBLE_EQ(ne.x, 250); // 100 m east: 50 px right
    EXPECT_DOUBLE_EQ(ne.y, 130); // 40 m north: 20 px up
    const SGroundPoint back = t.ToGround(ne);
    EXPECT_DOUBLE_EQ(back.e, 500100);
    EXPECT_DOUBLE_EQ(back.n, 5650040);
}

TEST(MapTransform, ZoomKeepsThePointUnderThePointerAlsoAtTheLimit)
{
    CMapTransform t;
    t.SetViewport(640, 480);
    t.SetView({400000, 5500000}, 3);
    const SScreenPoint at{97, 411};
    const SGroundPoint under = t.ToGround(at);
    for (double factor : {1.41, 1.41, 0.5, 1e9, 1e-9}) {
        t.ZoomAbout(at, factor);
        const SGroundPoint now = t.ToGround(at);
        EXPECT_NEAR(now.e, under.e, 1e-6) << factor;
        EXPECT_NEAR(now.n, under.n, 1e-6) << factor;
    }
    // The last two steps ran into the limits.
    EXPECT_DOUBLE_EQ(t.MetresPerPixel(), CMapTransform::kMaxMetresPerPixel);
    t.ZoomAbout(at, 1e12);
    EXPECT_DOUBLE_EQ(t.MetresPerPixel(), CMapTransform::kMinMetresPerPixel);
}

TEST(MapTransform, FitPanAndABoxWithoutExtent)
{
    CMapTransform t;
    t.SetViewport(500, 300);
    SGroundBox box;
    box.Add({1000, 2000});
    box.Add({1800, 2100});
    t.Fit(box, 20);
    // 800 m across 460 px decide; the box is centred.
    EXPECT_DOUBLE_EQ(t.MetresPerPixel(), 800.0 / 460);
    EXPECT_DOUBLE_EQ(t.ToScreen({1000, 2050}).x, 20);
    EXPECT_DOUBLE_EQ(t.ToScreen({1800, 2050}).x, 480);
    EXPECT_DOUBLE_EQ(t.ToScreen({1400, 2050}).y, 150);
    t.Pan(10, -5); // the picture follows the pointer right and up
    EXPECT_DOUBLE_EQ(t.ToScreen({1400, 2050}).x, 260);
    EXPECT_DOUBLE_EQ(t.ToScreen({1400, 2050}).y, 145);

    SGroundBox point;
    point.Add({5, 5});
    point.Add({5, 5});
    t.Fit(point, 20);
    EXPECT_DOUBLE_EQ(t.MetresPerPixel(), CMapTransform::kMinFitExtent / 260);
}

TEST(MapScaleBar, RoundLengthsThatFitAndTheirLabels)
{
    struct {
        double mpp, pixels, metres;
        const char* label;
    } cases[] = {
        {1, 120, 100, "100 m"},     {1, 250, 200, "200 m"},      {2.5, 160, 200, "200 m"},   {1, 1000, 1000, "1 km"},
        {0.5, 100, 50, "50 m"},     {10, 160, 1000, "1 km"},     {130, 160, 20000, "20 km"}, {0.3, 160, 20, "20 m"},
        {0.004, 160, 0.5, "0,5 m"}, {1e-6, 160, 0.01, "0,01 m"},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ScaleBarLength(c.mpp, c.pixels), c.metres) << c.mpp << " " << c.pixels;
        EXPECT_EQ(ScaleBarLabel(c.metres), c.label);
    }
}

TEST(MapHitTest, NearestWithinTheRadiusFirstOnATie)
{
    const std::vector<SScreenPoint> marks = {{100, 100}, {108, 100}, {92, 100}, {300, 300}};
    EXPECT_EQ(HitTest(marks, {106, 101}, 10), 1);
    EXPECT_EQ(HitTest(marks, {100, 100}, 10), 0);
    EXPECT_EQ(HitTest(marks, {104, 100}, 10), 0); // 0 and 1 equally near
    EXPECT_EQ(HitTest(marks, {300, 311}, 10), -1);
    EXPECT_EQ(HitTest({}, {0, 0}, 10), -1);
}

// A route due north along 10.5° E (east of zone 32's central meridian, 9°
// E), then north-east; fixed points A and B named by rows, C by none.
trespipeline::SPipelineData Route()
{
    trespipeline::SPipelineData d;
    d.route.vertices = {{10.5, 51.0}, {10.5, 51.01}, {10.51, 51.015}};
    for (const auto& [name, s] : {std::pair<const char*, double>{"A", 0}, {"B", 30}, {"C", 500}}) {
        trespipeline::SFixpoint fp;
        fp.name = fp.match = name;
        fp.chainage = s;
        d.fixpoints.push_back(fp);
    }
    return d;
}

TEST(MapScene, RunsSplitHalfWayBreakBeyondTheRouteDefectsAndFixedPoints)
{
    constexpr int32_t X = NO_VALUE;
    CTreDoc doc;
    FillSurvey(doc, {{0, -1100, -950, 30, X, 20, X, "A"},
                     {10, -1100, -950, 30, X, 20, X},
                     {20, -1100, -950, 30, X, 20, X},
                     {30, -1100, -950, 30, X, 20, X, "B"},
                     {5000, -1100, -950, 30, X, 20, X},
                     {40, -1100, -950, 30, X, 20, X}});
    const trespipeline::SSurveyBinding b = trespipeline::BindSurvey(doc, Route());
    ASSERT_TRUE(b.ok) << b.errors.front();

    SVerdict v;
    const EVerdictStatus P = EVerdictStatus::Protected, U = EVerdictStatus::Unprotected;
    const EVerdictStatus statuses[] = {P, P, U, U, U, P};
    for (int r = 1; r <= 6; ++r) {
        SVerdictRow row;
        row.row = r;
        row.status = statuses[r - 1];
        v.rows.push_back(row);
    }
    SCoatingDefect d3, d5;
    d3.row = 3;
    d3.category = 2;
    d5.row = 5;
    d5.category = 4;
    v.defects = {d3, d5};
    v.digList = {{1, 1, EDigAction::DigNow}, {2, 0, EDigAction::PlanDig}};

    const SMapScene s = BuildMapScene(doc, &v, b);
    ASSERT_EQ(s.rows.size(), 6u);
    EXPECT_FALSE(s.rows[4].has_value());
    const SGroundPoint p2 = *s.rows[1], p3 = *s.rows[2];
    const SGroundPoint half{(p2.e + p3.e) / 2, (p2.n + p3.n) / 2};
    ASSERT_EQ(s.track.size(), 3u);
    EXPECT_EQ(s.track[0].status, P);
    ASSERT_EQ(s.track[0].points.size(), 3u);
    EXPECT_DOUBLE_EQ(s.track[0].points[2].n, half.n);
    EXPECT_EQ(s.track[1].status, U);
    ASSERT_EQ(s.track[1].points.size(), 3u);
    EXPECT_DOUBLE_EQ(s.track[1].points[0].n, half.n);
    EXPECT_DOUBLE_EQ(s.track[1].points[2].n, s.rows[3]->n);
    // Row 5 lies beyond the route: row 6 starts a line of its own.
    EXPECT_EQ(s.track[2].status, P);
    ASSERT_EQ(s.track[2].points.size(), 1u);
    EXPECT_DOUBLE_EQ(s.track[2].points[0].n, s.rows[5]->n);

    ASSERT_EQ(s.defects.size(), 1u);
    EXPECT_EQ(s.defects[0].priority, 2);
    EXPECT_EQ(s.defects[0].row, 3);
    EXPECT_EQ(s.defectsOffRoute, 1);

    ASSERT_EQ(s.fixpoints.size(), 3u);
    EXPECT_TRUE(s.fixpoints[0].found);
    EXPECT_TRUE(s.fixpoints[1].found);
    EXPECT_FALSE(s.fixpoints[2].found);
    EXPECT_EQ(s.fixpoints[2].name, "C");
    // The route in the grid: 3 vertices, the first where row 1 lies.
    ASSERT_EQ(s.route.size(), 3u);
    EXPECT_NEAR(s.route[0].e, s.rows[0]->e, 0.01);
    EXPECT_NEAR(s.route[0].n, s.rows[0]->n, 0.01);
    // East of the central meridian grid north leans east of true north by
    // atan(tan(1.5°)·sin 51°) = 1.166°: true north lies that far west.
    EXPECT_NEAR(s.northBearing, -1.166, 0.01);
}

} // namespace
