// SPDX-License-Identifier: GPL-3.0-or-later
// Earlier surveys behind the document's curves in the potential pane: each
// at its E* in its own colour, broken where it has no value or a gap, with
// its date in the key, and nothing of them in the gradient pane.
#include "curvepainter.h"
#include "doc/verdictpalette.h"
#include "verdictpaint.h"
#include "viewsfixture.h"

#include <QPainter>
#include <QtTest>

namespace {

// 1 px per metre from metre 0, 3 mV per pixel from -1200 mV at the top:
// -1000 mV lies on row 76, -900 mV on row 110.
CCurveFrame Frame(const std::vector<SEarlierCurve>* earlier, bool gradient = false)
{
    CCurveFrame f;
    f.bGradient = gradient;
    f.left = 40;
    f.top = 10;
    f.right = 240;
    f.bottom = 210;
    f.nSpan = 200;
    f.nMeterLabelStep = 50;
    f.nValueTop = gradient ? 600 : 1200;
    f.nValueSpan = 600;
    f.nValueLabelStep = 100;
    f.pEarlier = earlier;
    return f;
}

QImage Paint(const CCurveFrame& f)
{
    CTreDoc doc;
    FillDoc(doc, {{0, NO_VALUE, NO_VALUE}, {200, NO_VALUE, NO_VALUE}});
    QImage image(280, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintCurves(p, doc, f);
    return image;
}

} // namespace

class TestEarlierCurves : public QObject {
    Q_OBJECT
private slots:
    void eachAtItsPotentialInItsColourBrokenAtGaps();
};

void TestEarlierCurves::eachAtItsPotentialInItsColourBrokenAtGaps()
{
    SEarlierCurve a{"14.05.2024", 1, {}}, b{"12.05.2019", 2, {}};
    for (int m = 0; m <= 200; ++m) {
        // a: -1000 mV with no value at 60..69 m; b: -900 mV, none beyond 100 m but one point at 150 m
        a.points.emplace_back(m, m >= 60 && m < 70 ? NO_VALUE : -1000);
        if (m <= 100 || m == 150) b.points.emplace_back(m, -900);
    }
    const std::vector<SEarlierCurve> curves{a, b};
    const QImage img = Paint(Frame(&curves));
    if (qEnvironmentVariableIsSet("TRES_LOOK_DIR")) img.save(qEnvironmentVariable("TRES_LOOK_DIR") + "/earlier.png");
    const QColor ca = PaletteColour(EarlierSurveyColour(1)), cb = PaletteColour(EarlierSurveyColour(2));
    QVERIFY(SameRgb(img.pixel(40 + 30, 76), ca));
    QVERIFY(!SameRgb(img.pixel(40 + 65, 76), ca)); // no value there
    QVERIFY(SameRgb(img.pixel(40 + 80, 76), ca));
    QVERIFY(SameRgb(img.pixel(40 + 50, 110), cb));
    QVERIFY(!SameRgb(img.pixel(40 + 125, 110), cb)); // a 50 m step is a gap, not pipe
    // The key names both dates: a stroke of each colour in the top right corner.
    QVERIFY(CountColor(img, 140, 10, 240, 60, ca) > 0);
    QVERIFY(CountColor(img, 140, 10, 240, 60, cb) > 0);

    const QImage gradient = Paint(Frame(&curves, true));
    QCOMPARE(CountColor(gradient, 0, 0, 279, 239, ca), 0);
    QCOMPARE(CountColor(Paint(Frame(nullptr)), 0, 0, 279, 239, ca), 0);
}

QTEST_MAIN(TestEarlierCurves)
#include "tst_earliercurves.moc"
