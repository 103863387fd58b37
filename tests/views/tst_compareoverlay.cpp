// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison survey in the potential pane: a dotted curve in its own
// colour and width (dashed for a native survey) at the right place for a known metre, behind the
// document's curves, cut at gaps and at the plot's edges, and nothing at all
// without a comparison or in the gradient pane.
#include "curvepainter.h"
#include "verdictpaint.h"
#include "viewsfixture.h"

#include <QPainter>
#include <QtTest>

namespace {

const QColor kGrey = PaletteColour(ComparisonCurveColour());

// 1 px per metre from metre `start`, 3 mV per pixel from -1200 mV at the top:
// -1000 mV lies on row 76, -900 mV on row 110.
CCurveFrame Frame(const CTreDoc* compare, bool native = false, int64_t start = 0, bool gradient = false)
{
    CCurveFrame f;
    f.bGradient = gradient;
    f.left = 40;
    f.top = 10;
    f.right = 240;
    f.bottom = 210;
    f.nStart = start;
    f.nSpan = 200;
    f.nMeterLabelStep = 50;
    f.nValueTop = gradient ? 600 : 1200;
    f.nValueSpan = 600;
    f.nValueLabelStep = 100;
    f.pCompare = compare;
    f.bCompareNative = native;
    return f;
}

QImage Paint(const CTreDoc& doc, const CCurveFrame& f)
{
    QImage image(280, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintCurves(p, doc, f);
    return image;
}

// Rows 0..200 m with the potential off `off(m)` (NO_VALUE for none).
template <typename Off> void Survey(CTreDoc& doc, Off off, int from = 0, int to = 200)
{
    std::vector<CRowData> rows;
    for (int m = from; m <= to; ++m) rows.push_back({m, NO_VALUE, off(m)});
    FillDoc(doc, rows);
}

// The axis labels left of and below the plot are text, whose smoothed edges
// may hold any grey; right of the labels and above them only the curves draw.
int Grey(const QImage& img) { return CountColor(img, 38, 0, 279, 212, kGrey); }
// A line at row y, in the comparison's width.
int GreyOutside(const QImage& img, int y)
{
    return Grey(img) - CountColor(img, 38, y - kComparisonCurveWidth + 1, 279, y + kComparisonCurveWidth - 1, kGrey);
}

int LongestRun(const QImage& img, int y, int x0, int x1)
{
    int best = 0, run = 0;
    for (int x = x0; x <= x1; ++x) {
        run = SameRgb(img.pixel(x, y), kGrey) ? run + 1 : 0;
        best = std::max(best, run);
    }
    return best;
}

} // namespace

class TestCompareOverlay : public QObject {
    Q_OBJECT
private slots:
    void dottedAtTheComparisonsPotentialOff();
    void dashedForANativeSurvey();
    void nothingWithoutAComparisonOrInTheGradientPane();
    void documentCurvesLieOnTop();
    void followsScrollingAndStopsAtGapsAndEdges();
    void nothingOutsideThePlotWhicheverWayTheRowsRun();
};

void TestCompareOverlay::dottedAtTheComparisonsPotentialOff()
{
    CTreDoc doc, earlier;
    Survey(earlier, [](int) { return -900; });
    Survey(doc, [](int) { return -1000; });
    const QImage img = Paint(doc, Frame(&earlier));
    // Metre 100 lies on column 140: one pixel in three around it.
    const int dots = CountColor(img, 125, 110, 155, 110, kGrey);
    QVERIFY2(dots >= 9 && dots <= 12, qPrintable(QString::number(dots)));
    QCOMPARE(LongestRun(img, 110, 41, 239), kComparisonCurveWidth); // a dot is as long as the line is wide
    QCOMPARE(GreyOutside(img, 110), 0);
}

void TestCompareOverlay::dashedForANativeSurvey()
{
    CTreDoc doc, native;
    Survey(native, [](int) { return -900; });
    Survey(doc, [](int) { return -1000; });
    const QImage img = Paint(doc, Frame(&native, true));
    const int dashes = CountColor(img, 125, 110, 155, 110, kGrey);
    QVERIFY2(dashes >= 18, qPrintable(QString::number(dashes)));
    QVERIFY(LongestRun(img, 110, 41, 239) >= 3);
    QCOMPARE(GreyOutside(img, 110), 0);
}

void TestCompareOverlay::nothingWithoutAComparisonOrInTheGradientPane()
{
    CTreDoc doc, earlier;
    Survey(earlier, [](int) { return -900; });
    Survey(doc, [](int) { return -1000; });
    const QImage plain = Paint(doc, Frame(nullptr));
    QCOMPARE(Grey(plain), 0);
    // Apart from the grey pixels the picture is the one without a comparison.
    QImage with = Paint(doc, Frame(&earlier));
    QVERIFY(Grey(with) > 0);
    for (int y = 109; y <= 111; ++y)
        for (int x = 0; x < with.width(); ++x)
            if (SameRgb(with.pixel(x, y), kGrey)) with.setPixel(x, y, qRgb(255, 255, 255));
    QCOMPARE(with, plain);
    QCOMPARE(Paint(doc, Frame(&earlier, false, 0, true)), Paint(doc, Frame(nullptr, false, 0, true)));
}

void TestCompareOverlay::documentCurvesLieOnTop()
{
    CTreDoc doc, earlier;
    Survey(earlier, [](int) { return -1000; });
    Survey(doc, [](int) { return -1000; });
    const QImage img = Paint(doc, Frame(&earlier, true));
    QCOMPARE(CountColor(img, 41, 76, 239, 76, kGrey), 0);
    QVERIFY(CountColor(img, 41, 76, 239, 76, QColor(255, 0, 0)) > 190);
}

void TestCompareOverlay::followsScrollingAndStopsAtGapsAndEdges()
{
    CTreDoc doc, earlier;
    Survey(
        doc, [](int) { return -1000; }, 0, 400);
    // Absent from 250 to 270 m; far below the plot from 350 m on.
    Survey(
        earlier, [](int m) { return m >= 250 && m <= 270 ? NO_VALUE
                                    : m >= 350           ? -200
                                                         : -900; }, 0, 400);
    const QImage img = Paint(doc, Frame(&earlier, true, 200));
    // Scrolled to 200 m: metre 220 is column 60, the gap 250..270 columns 90..110.
    QVERIFY(CountColor(img, 55, 110, 65, 110, kGrey) > 0);
    QCOMPARE(CountColor(img, 90, 0, 110, 239, kGrey), 0);
    QVERIFY(CountColor(img, 111, 110, 130, 110, kGrey) > 0);
    // The fall at 349..350 m (column 189..190) runs down to the plot's bottom
    // edge and no further.
    QVERIFY(CountColor(img, 189, 111, 190, 210, kGrey) > 0);
    QCOMPARE(CountColor(img, 38, 211, 279, 212, kGrey), 0);
    QCOMPARE(CountColor(img, 191, 0, 279, 212, kGrey), 0);
}

// A comparison aligned back to front and reaching far beyond the window on
// both sides, and a survey drawn at chainages falling along its rows, once
// drew a fan of lines into the margins: from each point beyond an edge to
// the edge. With the labels off nothing but the plot may show.
void TestCompareOverlay::nothingOutsideThePlotWhicheverWayTheRowsRun()
{
    CTreDoc doc, earlier;
    const auto wild = [](int m) { return m % 7 == 0 ? -200 : m % 5 == 0 ? -1500 : -900 - m % 3 * 40; };
    Survey(doc, wild, 0, 600);
    Survey(earlier, wild, 0, 600);
    std::vector<int32_t> aligned;
    for (int r = 1; r <= earlier.GetRowCount(); ++r) aligned.push_back(700 - 2 * earlier.GetMeter(r));
    std::vector<double> chainage;
    for (int r = 1; r <= doc.GetRowCount(); ++r) chainage.push_back(650.0 - doc.GetMeter(r));
    for (const bool native : {false, true}) {
        CCurveFrame f = Frame(&earlier, native, 200);
        f.nMeterLabelStep = 0;
        f.nValueLabelStep = 0;
        f.pCompareMetres = &aligned;
        for (const std::vector<double>* positions :
             {static_cast<const std::vector<double>*>(nullptr), static_cast<const std::vector<double>*>(&chainage)}) {
            f.pPositions = positions;
            const QImage img = Paint(doc, f);
            QVERIFY(Grey(img) > 0);
            // Under the plot the chainage axis says what it is.
            const auto title = [&](int x, int y) { return positions && y > f.bottom && x >= f.left && x <= f.right; };
            int outside = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if ((x < f.left || x > f.right || y < f.top || y > f.bottom) && !title(x, y)
                        && !SameRgb(img.pixel(x, y), Qt::white))
                        ++outside;
            QCOMPARE(outside, 0);
        }
    }
}

QTEST_MAIN(TestCompareOverlay)
#include "tst_compareoverlay.moc"
