// SPDX-License-Identifier: GPL-3.0-or-later
// The print layouts' numbers: page count and division, tick choices, the
// metre axis rules, the rows a page draws, the table's line layout with the
// error list's gaps, column centres and the limit window texts.
#include "graphiclayout.h"
#include "printfixture.h"
#include "tablelayout.h"

#include <QTest>

using namespace graphiclayout;

namespace {

// A landscape A4 frame of the graphic print at `dpi` on a device without
// unprintable margins: 18 mm from the left and right edges, 23 mm top.
CDeviceFrame LandscapeFrame(int dpi)
{
    CDeviceFrame f;
    f.dpx = f.dpy = dpi;
    f.left = static_cast<int>(18 * dpi / 25.4);
    f.right = static_cast<int>(297 * dpi / 25.4) - static_cast<int>(18 * dpi / 25.4);
    f.top = static_cast<int>(23 * dpi / 25.4);
    f.bottom = static_cast<int>(210 * dpi / 25.4) - static_cast<int>(12 * dpi / 25.4);
    return f;
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void pageSpanFollowsPaperAndScale();
    void pageCountReckonsWith220mm();
    void rangeSetsCountAndFirstSpanOnly();
    void shortRangeStillHasAPage();
    void gradientTicks();
    void gradientTicksForUncoveredRanges();
    void potentialTicksEvery200mVFromBottom();
    void metreTicksAndLabels();
    void curveRowsIncludeNeighbours();
    void rowsWithoutAMetreGiveNoRange();
    void irFreeOutsideWindowIsAbsent();
    void criterionLineReadsTheCriterionAsTheVerdictDoes();
    void lineLayoutWithoutErrorList();
    void lineLayoutGapsWithErrorList();
    void gapNeverFirstLineOfPage();
    void tablePageCount();
    void columnCentres();
    void windowTexts();
};

void TestLayout::pageSpanFollowsPaperAndScale()
{
    // 228 mm of data width at any resolution.
    for (int dpi : {300, 600, 1200}) {
        const CGraphicGeometry g1000 = ComputeGeometry(LandscapeFrame(dpi), 1000, 0, 100000);
        QCOMPARE(g1000.metreStep, 10);
        QCOMPARE(g1000.span, 220);
        const CGraphicGeometry g2000 = ComputeGeometry(LandscapeFrame(dpi), 2000, 0, 100000);
        QCOMPARE(g2000.span, 450);
        // data right = data left + 220 mm of paper
        QCOMPARE(g1000.dataRight, static_cast<int>(dpi * 220.0 / 25.4 + g1000.dataLeft));
    }
    const CGraphicGeometry g100 = ComputeGeometry(LandscapeFrame(600), 100, 3, 100000);
    QCOMPARE(g100.metreStep, 1);
    QCOMPARE(g100.firstMetre, 3);
    QCOMPARE(g100.span, 22);
    const CGraphicGeometry g500 = ComputeGeometry(LandscapeFrame(600), 500, 0, 100000);
    QCOMPARE(g500.metreStep, 5);
    QCOMPARE(g500.span, 110);
    const CGraphicGeometry g5000 = ComputeGeometry(LandscapeFrame(600), 5000, 0, 100000);
    QCOMPARE(g5000.metreStep, 50);
    QCOMPARE(g5000.span, 1100);
    // The chart stack: 14 mm below the frame top, 55 + 19 + 50 mm.
    const CGraphicGeometry g = ComputeGeometry(LandscapeFrame(254), 1000, 0, 1000);
    QCOMPARE(g.gradTop - LandscapeFrame(254).top, 140);
    QCOMPARE(g.gradBottom - g.gradTop, 550);
    QCOMPARE(g.potTop - g.gradBottom, 190);
    QCOMPARE(g.potBottom - g.potTop, 500);
}

void TestLayout::pageCountReckonsWith220mm()
{
    QCOMPARE(PageCount(0, 2400, 1000), 11);
    QCOMPARE(PageCount(0, 2400, 2000), 6); // 440 m per page though a page spans 450 m
    QCOMPARE(PageCount(0, 2200, 1000), 10);
    QCOMPARE(PageCount(0, 2201, 1000), 11);
    QCOMPARE(PageCount(0, 22, 100), 1);
    QCOMPARE(PageCount(0, 23, 100), 2);
    QCOMPARE(PageCount(500, 20, 1000), 1); // end before start: still one page
    QCOMPARE(PageCount(0, 1000, 750), 7);  // other scales: 220 mm of paper, 165 m
    QCOMPARE(PageCount(0, 1000, 0), 5);    // a broken scale prints at 1:1000
}

void TestLayout::rangeSetsCountAndFirstSpanOnly()
{
    const CGraphicGeometry g = ComputeGeometry(LandscapeFrame(600), 1000, 1000, 1500);
    QCOMPARE(PageCount(1000, 1500, 1000), 3);
    QCOMPARE(g.PageStart(1), 1000);
    QCOMPARE(g.PageEnd(1), 1220);
    QCOMPARE(g.PageStart(2), 1220);
    QCOMPARE(g.PageEnd(3), 1660);
    // An end inside the first page shortens the span.
    const CGraphicGeometry s = ComputeGeometry(LandscapeFrame(600), 1000, 1000, 1137);
    QCOMPARE(s.lastMetre, 1130);
    QCOMPARE(s.span, 130);
}

void TestLayout::shortRangeStillHasAPage()
{
    // An end before the start (or within one metre step) would give a page
    // without width; it gets one metre step.
    const CGraphicGeometry g = ComputeGeometry(LandscapeFrame(600), 1000, 500, 20);
    QCOMPARE(g.firstMetre, 500);
    QCOMPARE(g.span, 10);
    QVERIFY(g.dataRight > g.dataLeft);
    QVERIFY(std::isfinite(g.xs));
}

void TestLayout::gradientTicks()
{
    using V = std::vector<int64_t>;
    QCOMPARE(GradientTickStep(2500), 500);
    QCOMPARE(GradientTicks(2000, -500), (V{2000, 1500, 1000, 500, 0, -500}));
    QCOMPARE(GradientTickStep(470), 100);
    QCOMPARE(GradientTicks(350, -120), (V{350, 300, 200, 100, 0, -100, -120}));
    // A later decade overrides an earlier match.
    QCOMPARE(GradientTickStep(1500), 200); // 99*10 < 1500 < 200*10 -> 20*10
    QCOMPARE(GradientTickStep(750), 200);
    QCOMPARE(GradientTickStep(900), 250);
    QCOMPARE(GradientTicks(4000, 0), (V{4000, 3000, 2000, 1000, 0}));
    // Negative top values: the largest multiple strictly below.
    QCOMPARE(GradientTicks(-350, -800), (V{-350, -400, -500, -600, -700, -800}));
}

void TestLayout::gradientTicksForUncoveredRanges()
{
    using V = std::vector<int64_t>;
    // Below 10 mV: every millivolt.
    QCOMPARE(GradientTickStep(50), 10);
    QCOMPARE(GradientTicks(30, -20), (V{30, 20, 10, 0, -10, -20}));
    // Max not above Min: no ticks (and no curves).
    QVERIFY(GradientTicks(0, 0).empty());
    QVERIFY(GradientTicks(-100, 200).empty());
    // Beyond the table: its rule continued.
    QCOMPARE(GradientTickStep(20000000), 5000000);
    QVERIFY(GradientTicks(20000000, 0).size() <= 11);
}

void TestLayout::potentialTicksEvery200mVFromBottom()
{
    using V = std::vector<int64_t>;
    QCOMPARE(PotentialTicks(-2000, -400), (V{400, 600, 800, 1000, 1200, 1400, 1600, 1800, 2000}));
    // Not at round volts: from the bottom value on.
    QCOMPARE(PotentialTicks(-1500, -450), (V{450, 650, 850, 1050, 1250, 1450}));
    // 1.02 t lets a tick just above the top through.
    QCOMPARE(PotentialTicks(-1000, -210).back(), 1010);
    QVERIFY(PotentialTicks(-400, -2000).empty()); // turned round: nothing
    QVERIFY(PotentialTicks(-2000000000, 0).size() <= 10000);
}

void TestLayout::metreTicksAndLabels()
{
    const int b = 10;
    QCOMPARE(MetreTickHalf(1000, b), 33); // 10*1.6=16, *1.5=24, *1.4=33
    QCOMPARE(MetreTickHalf(100, b), 21);
    QCOMPARE(MetreTickHalf(50, b), 14);
    QCOMPARE(MetreTickHalf(10, b), 10);
    QCOMPARE(MetreTickHalf(-2000, b), 33);
    // Labels at 1:1000 (step 10) every 50 m.
    QVERIFY(MetreLabelled(10, 1050));
    QVERIFY(!MetreLabelled(10, 1060));
    QVERIFY(MetreLabelled(1, 5) && !MetreLabelled(1, 6));
    QVERIFY(MetreLabelled(5, 20) && !MetreLabelled(5, 25));
    QVERIFY(MetreLabelled(50, 300) && !MetreLabelled(50, 350));
}

void TestLayout::curveRowsIncludeNeighbours()
{
    CTreDoc doc;
    FillDoc(doc, Survey(1000, 100)); // rows 1..11 at 0, 100, ... 1000
    const CRowRange r = CurveRows(doc, 250, 470);
    QCOMPARE(r.first, 3); // 200, before the page
    QCOMPARE(r.last, 6);  // 500, the first at or beyond its end
    QCOMPARE(CurveRows(doc, 0, 220).first, 1);
    const CRowRange past = CurveRows(doc, 5000, 5220);
    QCOMPARE(past.first, 11);
    QCOMPARE(past.last, 11);
}

void TestLayout::rowsWithoutAMetreGiveNoRange()
{
    CTreDoc doc;
    FillDoc(doc, {{NO_VALUE}, {0}, {NO_VALUE}, {100}, {200}, {NO_VALUE}});
    QCOMPARE(PrintRange(doc).start, 0);
    QCOMPARE(PrintRange(doc).end, 200);
    // The neighbours of a page are the nearest rows with a metre.
    QCOMPARE(CurveRows(doc, 150, 370).first, 4);
    QCOMPARE(CurveRows(doc, 0, 50).first, 2);
    QCOMPARE(CurveRows(doc, 0, 50).last, 4);
    ApplyRangeDefaults(doc);
    QCOMPARE(doc.m_nPlotStart, 0);
    QCOMPARE(doc.m_nPlotEnd, 200);
    // None has one: the shortest range from 0.
    FillDoc(doc, {{NO_VALUE}, {NO_VALUE}});
    QCOMPARE(PrintRange(doc).start, 0);
    QCOMPARE(PrintRange(doc).end, 20);
}

void TestLayout::irFreeOutsideWindowIsAbsent()
{
    CTreDoc doc;
    FillDoc(doc, {{0, -1200, -900, 80, 60, 10, 8}, {10, -1200, -1300, 80, 60, 10, 8}});
    const int32_t ir1 = doc.GetPotIRFree(1);
    QVERIFY(IsPresent(ir1));
    QCOMPARE(PrintedIRFree(doc, 1), ir1);
    doc.m_limits[POTIR] = ir1 + 1; // lower bound above the value
    doc.m_limits[POTIR + 12] = ir1 + 500;
    QCOMPARE(PrintedIRFree(doc, 1), NO_VALUE);
    doc.m_limits[POTIR] = ir1 - 500;
    doc.m_limits[POTIR + 12] = ir1 - 1; // upper bound below it
    QCOMPARE(PrintedIRFree(doc, 1), NO_VALUE);
    doc.m_limits[POTIR + 12] = NO_VALUE; // one bound unset: no window
    QCOMPARE(PrintedIRFree(doc, 1), ir1);
}

void TestLayout::criterionLineReadsTheCriterionAsTheVerdictDoes()
{
    // Volts and a missing sign once drew the line at 0 V or +850 mV.
    CTreDoc doc;
    doc.m_header[2] = "-850 mV";
    QCOMPARE(CriterionValue(doc), int64_t{850});
    doc.m_header[2] = "-0,95 V";
    QCOMPARE(CriterionValue(doc), int64_t{950});
    doc.m_header[2] = "850 mV"; // no criterion: the -850 mV the verdict assumes
    QCOMPARE(CriterionValue(doc), int64_t{850});
    doc.m_header[2] = "ohne";
    QCOMPARE(CriterionValue(doc), int64_t{850});
}

void TestLayout::lineLayoutWithoutErrorList()
{
    CTreDoc doc;
    FillDoc(doc, Survey(46 * 10)); // 47 rows
    const std::vector<int> lines = tablelayout::LineLayout(doc, false, 46);
    QCOMPARE(lines.size(), size_t{47});
    QCOMPARE(lines[46], 47); // line 1 of page 2
    QCOMPARE(tablelayout::PageCount(47, false), 2);
}

void TestLayout::lineLayoutGapsWithErrorList()
{
    CTreDoc doc;
    std::vector<CPrintRow> rows = Survey(110); // 12 rows, potential on -1150
    for (int r : {1, 4, 5, 9}) rows[static_cast<size_t>(r - 1)].potOn = -500;
    FillDoc(doc, rows);
    doc.m_limits[POTE] = -1500;
    doc.m_limits[POTE + 12] = -1000;
    for (int r = 1; r <= 12; ++r) QCOMPARE(doc.IsInErrorWindow(r), !(r == 1 || r == 4 || r == 5 || r == 9));
    const std::vector<int> lines = tablelayout::LineLayout(doc, true, 43);
    QCOMPARE(lines, (std::vector<int>{2, 3, 0, 6, 7, 8, 0, 10, 11, 12}));
    // Without the error list every row is on its own line.
    QCOMPARE(tablelayout::LineLayout(doc, false, 43).size(), size_t{12});
}

void TestLayout::gapNeverFirstLineOfPage()
{
    // Pages of 3 lines: in, in, in | (gap) in ... the gap would be line 4.
    CTreDoc doc;
    std::vector<CPrintRow> rows = Survey(90); // 10 rows
    for (int r : {4, 5, 8}) rows[static_cast<size_t>(r - 1)].potOn = -500;
    FillDoc(doc, rows);
    doc.m_limits[POTE] = -1500;
    doc.m_limits[POTE + 12] = -1000;
    const std::vector<int> lines = tablelayout::LineLayout(doc, true, 3);
    QCOMPARE(lines, (std::vector<int>{1, 2, 3, 6, 7, 0, 9, 10}));
    for (size_t i = 0; i < lines.size(); i += 3) QVERIFY(lines[i] != 0);
    // Every printed row exactly once.
    std::vector<int> printed;
    for (int r : lines)
        if (r) printed.push_back(r);
    QCOMPARE(printed, (std::vector<int>{1, 2, 3, 6, 7, 9, 10}));
}

void TestLayout::tablePageCount()
{
    QCOMPARE(tablelayout::PageCount(46, false), 1);
    QCOMPARE(tablelayout::PageCount(47, false), 2);
    QCOMPARE(tablelayout::PageCount(86, true), 2);
    QCOMPARE(tablelayout::PageCount(87, true), 3);
    QCOMPARE(tablelayout::PageCount(0, false), 1);
}

void TestLayout::columnCentres()
{
    // W = 1000 from 100: x14 = 240, x41 = 510, x74 = 840; D = 270, A = 110.
    const tablelayout::CColumns plain = tablelayout::ComputeColumns(100, 1100, false, false);
    QCOMPARE(plain.x14, 240);
    QCOMPARE(plain.x41, 510);
    QCOMPARE(plain.x74, 840);
    QCOMPARE(plain.xm, 170);
    QCOMPARE(plain.potOn, 240 + 89);   // 0.33 * 270 = 89.1
    QCOMPARE(plain.potOff, 240 + 178); // 0.66 * 270 = 178.2
    QCOMPARE(plain.a, 110);
    QCOMPARE(plain.ge, 510 + 61); // 0.5555... * 110 = 61.1
    QCOMPARE(plain.ga, 510 + 165);
    QCOMPARE(plain.gd, 510 + 264); // 2.4 * 110
    const tablelayout::CColumns ir = tablelayout::ComputeColumns(100, 1100, true, true);
    QCOMPARE(ir.potOn, 240 + 45); // 0.17 * 270 = 45.9
    QCOMPARE(ir.potOff, 240 + 135);
    QCOMPARE(ir.potIR, 240 + 224); // 0.83 * 270 = 224.1
    QCOMPARE(ir.ge, 510 + 55);     // A / 2
    QCOMPARE(ir.ga, 510 + 165);
    QCOMPARE(ir.gd, 510 + 275); // 2.5 * 110
}

void TestLayout::windowTexts()
{
    CTreDoc doc;
    FillDoc(doc, Survey(10));
    for (int k = 0; k < 6; ++k) {
        QCOMPARE(tablelayout::LimitWindowText(doc, k, true), std::string("[ ____ / ____ ]"));
        QCOMPARE(tablelayout::LimitWindowText(doc, k, false), std::string("[...../.....]"));
    }
    doc.m_limits[POTE] = -1500; // one bound only: still unset
    QCOMPARE(tablelayout::LimitWindowText(doc, POTE, true), std::string("[ ____ / ____ ]"));
    doc.m_limits[POTE + 12] = -850;
    QCOMPARE(tablelayout::LimitWindowText(doc, POTE, true), std::string("[ -0.85 / -1.50 ]"));
    QCOMPARE(tablelayout::LimitWindowText(doc, POTE, false), std::string("[-0.85/-1.50]"));
    doc.m_limits[UEIN] = 2000; // gradients: entry k is the larger
    doc.m_limits[UEIN + 12] = -500;
    QCOMPARE(tablelayout::LimitWindowText(doc, UEIN, true), std::string("[    200 /     -50 ]"));
    QCOMPARE(tablelayout::LimitWindowText(doc, UEIN, false), std::string("[  200/  -50]"));
}

QTEST_APPLESS_MAIN(TestLayout)
#include "tst_layout.moc"
