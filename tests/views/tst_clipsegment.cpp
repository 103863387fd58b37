// SPDX-License-Identifier: GPL-3.0-or-later
// Clipping of curve segments against the plot rectangle.
#include "clipsegment.h"

#include <QTest>

#include <climits>

class TestClipSegment : public QObject {
    Q_OBJECT
private slots:
    void insideIsUntouched();
    void currentAboveOrBelowMovesToTheEdge();
    void previousOutsideVerticallyMovesToTheEdge();
    void leftAndRightEdgesUseUnclippedHeights();
    void horizontalSegmentOutsideKeepsItsX();
    void verticalSegmentsBesideThePlotDoNotDivideByZero();
    void quotientsTruncateTowardZero();
    void hugeCoordinatesSaturate();
    void eitherWayNothingDrawnLeavesTheRectangle();
};

static const CClipRect kRect{35, 10, 765, 367};

void TestClipSegment::insideIsUntouched()
{
    const CClipResult r = ClipSegment({100, 100}, {200, 300}, kRect);
    QVERIFY(!r.bPrevClipped);
    QVERIFY(!r.bThisClipped);
    QCOMPARE(r.prev, (CClipPoint{100, 100}));
    QCOMPARE(r.cur, (CClipPoint{200, 300}));
    // The edges themselves belong to the rectangle.
    const CClipResult e = ClipSegment({35, 10}, {765, 367}, kRect);
    QVERIFY(!e.bPrevClipped && !e.bThisClipped);
}

void TestClipSegment::currentAboveOrBelowMovesToTheEdge()
{
    // (100,110) -> (200,-90): crosses y 10 half way.
    CClipResult r = ClipSegment({100, 110}, {200, -90}, kRect);
    QVERIFY(r.bThisClipped);
    QVERIFY(!r.bPrevClipped);
    QCOMPARE(r.cur, (CClipPoint{150, 10}));
    r = ClipSegment({100, 300}, {200, 434}, kRect);
    QVERIFY(r.bThisClipped);
    QCOMPARE(r.cur.y, 367);
    QCOMPARE(r.cur.x, 100 + (367 - 300) * 100 / 134);
}

void TestClipSegment::previousOutsideVerticallyMovesToTheEdge()
{
    const CClipResult r = ClipSegment({100, -90}, {200, 110}, kRect);
    QVERIFY(r.bPrevClipped);
    QVERIFY(!r.bThisClipped);
    QCOMPARE(r.prev, (CClipPoint{150, 10}));
    // Both outside on the same side: both flags, the curve piece is hidden.
    const CClipResult both = ClipSegment({100, -50}, {200, -20}, kRect);
    QVERIFY(both.bPrevClipped && both.bThisClipped);
}

void TestClipSegment::leftAndRightEdgesUseUnclippedHeights()
{
    // Previous point left of the plot: y at x = left from the unclipped line.
    CClipResult r = ClipSegment({0, 0}, {135, 100}, kRect);
    QVERIFY(r.bPrevClipped);
    QCOMPARE(r.prev.x, 35);
    QCOMPARE(r.prev.y, 100 - 100 * 100 / 135);
    // Current point right of the plot.
    r = ClipSegment({665, 100}, {865, 300}, kRect);
    QVERIFY(r.bThisClipped);
    QCOMPARE(r.cur, (CClipPoint{765, 200}));
    // Above and right at once: the right-edge step overrides x from the
    // unclipped heights, so y leaves the top edge again.
    r = ClipSegment({665, 100}, {865, -100}, kRect);
    QVERIFY(r.bThisClipped);
    QCOMPARE(r.cur.x, 765);
    QCOMPARE(r.cur.y, -100 - (-200) * 100 / 200);
}

void TestClipSegment::horizontalSegmentOutsideKeepsItsX()
{
    const CClipResult r = ClipSegment({100, 400}, {200, 400}, kRect);
    QVERIFY(r.bPrevClipped && r.bThisClipped);
    QCOMPARE(r.prev, (CClipPoint{100, 367}));
    QCOMPARE(r.cur, (CClipPoint{200, 367}));
}

void TestClipSegment::verticalSegmentsBesideThePlotDoNotDivideByZero()
{
    // Unsorted metres can put two consecutive points in one column outside
    // the plot; the old arithmetic divided by their zero x distance.
    CClipResult r = ClipSegment({20, 100}, {20, 200}, kRect);
    QVERIFY(r.bPrevClipped);
    QCOMPARE(r.prev, (CClipPoint{35, 100}));
    r = ClipSegment({800, 100}, {800, 200}, kRect);
    QVERIFY(r.bThisClipped);
    QCOMPARE(r.cur, (CClipPoint{765, 200}));
}

void TestClipSegment::quotientsTruncateTowardZero()
{
    // 150 + (10 - 110) * 7 / (-90 - 110) = 150 + 700 / 200 = 153 (3.5 cut)
    CClipResult r = ClipSegment({150, 110}, {157, -90}, kRect);
    QCOMPARE(r.cur.x, 153);
    // Going left: 150 + (-100 * -7) / -200 = 150 - 3 (not -4)
    r = ClipSegment({150, 110}, {143, -90}, kRect);
    QCOMPARE(r.cur.x, 147);
}

void TestClipSegment::hugeCoordinatesSaturate()
{
    const CClipResult r = ClipSegment({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, kRect);
    QVERIFY(r.bPrevClipped && r.bThisClipped);
    QCOMPARE(r.prev.x, 35);
    QCOMPARE(r.cur.x, 765);
    // The results lie in the int range whatever the slope.
    const CClipResult s = ClipSegment({0, INT_MIN}, {1, INT_MAX}, kRect);
    QVERIFY(s.bPrevClipped && s.bThisClipped);
}

// Segments of a comparison survey drawn at its own chainages, which need
// not rise with its rows, and of curves leaving the plot through a corner.
void TestClipSegment::eitherWayNothingDrawnLeavesTheRectangle()
{
    // Left to right inside: ClipSegment's pixels.
    CClipResult r = ClipSegmentInside({0, 0}, {135, 100}, kRect);
    QCOMPARE(r.prev, ClipSegment({0, 0}, {135, 100}, kRect).prev);
    QVERIFY(r.bPrevClipped && !r.bThisClipped);
    // Right to left across the right edge: (865, 300) -> (665, 100) enters at
    // x 765, y 200, where the mirrored segment leaves.
    r = ClipSegmentInside({865, 300}, {665, 100}, kRect);
    QVERIFY(r.bPrevClipped && !r.bThisClipped);
    QCOMPARE(r.prev, (CClipPoint{765, 200}));
    QCOMPARE(r.cur, (CClipPoint{665, 100}));
    // Both beyond the right edge, running back: once a line from the far
    // point to the edge, now nothing; likewise both left of the plot.
    r = ClipSegmentInside({900, 100}, {800, 120}, kRect);
    QVERIFY(r.bPrevClipped && r.bThisClipped);
    r = ClipSegmentInside({10, 100}, {20, 120}, kRect);
    QVERIFY(r.bPrevClipped && r.bThisClipped);
    // Out through the bottom before the right edge: (700, 300) -> (800, 600)
    // crosses y 367 at x 722; at x 765 it is at y 495, below the plot.
    r = ClipSegmentInside({700, 300}, {800, 600}, kRect);
    QVERIFY(!r.bPrevClipped && r.bThisClipped);
    QCOMPARE(r.cur, (CClipPoint{722, 367}));
    QCOMPARE(ClipSegment({700, 300}, {800, 600}, kRect).cur, (CClipPoint{765, 495}));
}

QTEST_APPLESS_MAIN(TestClipSegment)
#include "tst_clipsegment.moc"
