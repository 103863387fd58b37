// SPDX-License-Identifier: GPL-3.0-or-later
// The protection verdict laid over the curves, read pixel by pixel at
// metres computed from the layout rules: the shades by status from the
// verdict's zones of influence (a single failing point, a gap left blank,
// "nicht bewertbar" hatched), the labelled defect triangle, the E_p and
// E_l lines; and the criterion line without the verdict, read as the
// assessment reads header entry 2. Also the pane's metre window, which
// rows without a metre must not widen.
#include "curveoverlay.h"
#include "curvepane.h"
#include "verdict.h"
#include "verdictpaint.h"
#include "verdictspans.h"
#include "viewsfixture.h"

#include <QTest>

#include <cmath>
#include <memory>

namespace {

const QColor kWhite(255, 255, 255), kBlack(0, 0, 0);

struct CPanes {
    CTreDoc doc;
    CCountingHost host;
    std::unique_ptr<CTrePrintView> grad, pot;

    explicit CPanes(const std::vector<CRowData>& rows)
    {
        doc.SetHost(&host);
        FillDoc(doc, rows);
        grad = std::make_unique<CTrePrintView>(doc);
        pot = std::make_unique<CTrePrintView>(doc);
        grad->resize(800, 400);
        pot->resize(800, 400);
        host.AddView(grad.get());
        host.AddView(pot.get());
        host.InitialUpdateAll();
    }
    ~CPanes() { doc.SetHost(nullptr); }
    const QImage& Compose(CTrePrintView& v)
    {
        v.ComposeBacking(QRect(0, 0, v.width(), v.height()));
        return v.BackingImage();
    }
};

// The pixel of metre m and of value v (the potential pane's values negated).
struct CMap {
    CCurveFrame f;
    int X(double m) const { return static_cast<int>((m - f.nStart) * (double(f.right - f.left) / f.nSpan) + f.left); }
    int Y(int64_t v) const
    {
        const int64_t B = f.nValueTop - f.nValueSpan;
        return static_cast<int>(f.bottom - (v - B) * (double(f.bottom - f.top) / f.nValueSpan));
    }
};

// A shade as it lies on white: the palette's colour at the shading alpha.
bool Shaded(QRgb pixel, EVerdictStatus s)
{
    const QColor c = PaletteColour(VerdictStatusColour(s));
    const auto blend = [](int over) { return (over * kVerdictShadeAlpha + 255 * (255 - kVerdictShadeAlpha)) / 255; };
    return std::abs(qRed(pixel) - blend(c.red())) <= 1 && std::abs(qGreen(pixel) - blend(c.green())) <= 1
           && std::abs(qBlue(pixel) - blend(c.blue())) <= 1;
}

// 1 m apart from 0 to 100, protected (off -900) but for metre 50 (off -800,
// a single failing point) and metre 70 (on = off: not assessed); then a
// 30 m gap to metre 130. D 2.0 mV, but 19.0 mV at metre 30 (%IR 8.7: a
// defect of category I).
std::vector<CRowData> Survey()
{
    std::vector<CRowData> rows;
    for (int m = 0; m <= 100; ++m) {
        const int32_t off = m == 50 ? -800 : m == 70 ? -1100 : -900;
        const int32_t grad = m == 30 ? 200 : 30;
        rows.push_back({m, -1100, off, grad, grad, 10, 10});
    }
    rows.push_back({130, -1100, -900, 30, 30, 10, 10});
    return rows;
}

} // namespace

class TestVerdictMarks : public QObject {
    Q_OBJECT
private slots:
    void shadesDefectsAndLinesWhereTheVerdictPutsThem();
    void criterionLineReadsTheHeaderAsTheAssessmentDoes();
    void rowsWithoutMetreDoNotWidenTheWindow();
    void withPipelineDataEverythingStandsAtTheRowsChainage();
    void fittedAxesSteppedCriterionAndAxisTitles();
};

void TestVerdictMarks::shadesDefectsAndLinesWhereTheVerdictPutsThem()
{
    CPanes p(Survey());
    const SVerdict v = AssessProtection(p.doc);
    QCOMPARE(v.defects.size(), size_t{1});
    CCurveOverlay overlay;
    overlay.spans = VerdictSpans(v);
    for (const SCoatingDefect& d : v.defects) overlay.marks.push_back({static_cast<double>(d.metre), d.category});
    overlay.protection = v.criterion.protection;
    overlay.limit = v.criterion.limitPotential;

    const QImage plain = p.Compose(*p.pot).copy();
    p.pot->SetOverlay(&overlay);
    p.grad->SetOverlay(&overlay);
    const QImage& pot = p.Compose(*p.pot);
    const CMap m{p.pot->Frame()};
    QCOMPARE(m.f.nStart, 0);
    const int y = m.Y(300); // -0.30 V: far from every curve and line, only the shade
    QVERIFY(SameRgb(plain.pixel(m.X(40), y), kWhite));
    QVERIFY(Shaded(pot.pixel(m.X(40), y), EVerdictStatus::Protected));
    // The failing point stands for its metre: 49.5 ... 50.5.
    QVERIFY(Shaded(pot.pixel(m.X(50), y), EVerdictStatus::Unprotected));
    QVERIFY(Shaded(pot.pixel(m.X(49.3), y), EVerdictStatus::Protected));
    QVERIFY(Shaded(pot.pixel(m.X(50.7), y), EVerdictStatus::Protected));
    // The gap beyond the zones of influence (105 ... 125 m) stays blank.
    QVERIFY(SameRgb(pot.pixel(m.X(115), y), kWhite));
    QVERIFY(Shaded(pot.pixel(m.X(103), y), EVerdictStatus::Protected));
    // Not assessed: grey hatching over the white, no wash.
    int grey = 0, white = 0;
    for (int x = m.X(69.6); x <= m.X(70.4); ++x)
        for (int yy = y - 8; yy <= y + 8; ++yy) {
            const QRgb px = pot.pixel(x, yy);
            grey += QColor(px) == PaletteColour(VerdictStatusColour(EVerdictStatus::NotAssessed));
            white += SameRgb(px, kWhite);
        }
    QVERIFY2(grey > 0 && white > grey, qPrintable(QStringLiteral("%1 grey, %2 white").arg(grey).arg(white)));
    // E_p and E_l dashed in their colours where the survey's black line was.
    const int xDash = m.f.left + 8; // in the first dash, clear of the ticks
    QVERIFY(SameRgb(pot.pixel(xDash, m.Y(850)), PaletteColour(ProtectionLineColour())));
    QVERIFY(SameRgb(pot.pixel(xDash, m.Y(1200)), PaletteColour(LimitLineColour())));
    QVERIFY(SameRgb(plain.pixel(xDash, m.Y(850)), kBlack));

    // The defect at 30 m: the triangle on the gradient pane's axis, "I" above it.
    const QImage& grad = p.Compose(*p.grad);
    const CMap g{p.grad->Frame()};
    const QColor mark = PaletteColour(DefectMarkColour());
    const int x30 = g.X(30);
    QVERIFY(SameRgb(grad.pixel(x30 - kDefectMarkHalfWidth, g.f.bottom - 1), mark));
    QVERIFY(SameRgb(grad.pixel(x30 + kDefectMarkHalfWidth, g.f.bottom - 1), mark));
    QVERIFY(!SameRgb(grad.pixel(x30 + kDefectMarkHalfWidth + 1, g.f.bottom - 1), mark));
    QVERIFY(SameRgb(grad.pixel(x30, g.f.bottom - kDefectMarkHeight), mark));
    QVERIFY(!SameRgb(grad.pixel(x30, g.f.bottom - kDefectMarkHeight - 1), mark));
    // At least 10 px tall, so it shows beside the curves.
    QVERIFY(SameRgb(grad.pixel(x30, g.f.bottom - 10), mark));
    // Its category in black on white, in a box framed in the mark's colour.
    QFont bold = p.grad->AxisFont();
    bold.setBold(true);
    const int labelTop = g.f.bottom - 2 - kDefectMarkHeight - QFontMetrics(bold).height();
    QVERIFY(CountColor(grad, x30 - 4, labelTop, x30 + 4, g.f.bottom - kDefectMarkHeight - 3, kBlack) > 0);
    QVERIFY(CountColor(grad, x30 - 8, labelTop - 1, x30 + 8, labelTop - 1, mark) > 0);
    // No shade in the gradient pane, no triangle in the potential pane.
    QVERIFY(SameRgb(grad.pixel(g.X(40), g.Y(1500)), kWhite));
    QCOMPARE(CountColor(pot, m.X(30) - 4, m.f.bottom - 8, m.X(30) + 4, m.f.bottom - 1, mark), 0);

    // Taken off, not a pixel differs from the plain picture.
    p.pot->SetOverlay(nullptr);
    QCOMPARE(p.Compose(*p.pot), plain);
}

void TestVerdictMarks::criterionLineReadsTheHeaderAsTheAssessmentDoes()
{
    CPanes p(Survey());
    const CMap m{p.pot->Frame()};
    const int xDash = m.f.left + 8; // in the first dash, clear of the ticks
    // "-0,95 V" is -950 mV; "ohne" is no criterion, so -850 mV is assumed
    // (the line once sat at 0 V for it).
    for (const auto& [text, mv] : {std::pair{"-0,95 V", 950}, std::pair{"ohne", 850}, std::pair{"", 850}}) {
        p.doc.m_header[2] = text;
        const QImage& img = p.Compose(*p.pot);
        QVERIFY2(SameRgb(img.pixel(xDash, m.Y(mv)), kBlack), text);
        QVERIFY2(!SameRgb(img.pixel(xDash, m.Y(0) - 1), kBlack), text);
    }
}

void TestVerdictMarks::rowsWithoutMetreDoNotWidenTheWindow()
{
    // A last row without a metre once put the window's end at 9,999,999 m.
    std::vector<CRowData> rows = Survey();
    rows.push_back({NO_VALUE, -1100, -900});
    CPanes p(rows);
    QCOMPARE(p.doc.m_nMeterSpan, 200);
    QCOMPARE(p.pot->FittedStart(), 0);
    rows.insert(rows.begin(), CRowData{NO_VALUE, -1100, -900});
    CPanes q(rows);
    QCOMPARE(q.doc.m_nMeterSpan, 200);
    QCOMPARE(q.pot->FittedStart(), 0);
}

// With pipeline data the panes draw each row at its chainage: here 1000 m +
// 2 × the recorded metre, the last row (130 m) without one. The failing
// point (recorded 50 m, chainage 1100 m, off -800 mV: the dip of the off
// curve) has its curve point and its one-point shade on the same pixel
// column, the defect (30 m) its triangle at 1060 m; the window spans the
// chainages, and taken off, the recorded metres come back.
void TestVerdictMarks::withPipelineDataEverythingStandsAtTheRowsChainage()
{
    CPanes p(Survey());
    auto chainage = std::make_shared<std::vector<double>>();
    for (int r = 1; r <= p.doc.GetRowCount(); ++r)
        chainage->push_back(r == p.doc.GetRowCount() ? std::nan("") : 1000.0 + 2 * p.doc.GetMeter(r));
    for (CTrePrintView* v : {p.grad.get(), p.pot.get()}) v->SetAxisPositions(chainage);
    const SVerdict v = AssessProtection(p.doc);
    const CCurveOverlay overlay = VerdictOverlay(v, chainage.get());
    QCOMPARE(overlay.marks.size(), size_t{1});
    QCOMPARE(overlay.marks[0].at, 1060.0);
    p.pot->SetOverlay(&overlay);
    p.grad->SetOverlay(&overlay);

    const QImage& pot = p.Compose(*p.pot);
    const CMap m{p.pot->Frame()};
    QVERIFY(m.f.pPositions);
    QCOMPARE(m.f.nStart, 1000);
    QVERIFY(m.f.nSpan >= 200);
    const QColor red(255, 0, 0);
    // The dip: red at its value on the column of 1100 m, and the shade of
    // the one failing point (1099 ... 1101 m) on that column.
    const int x = m.X(1100);
    QVERIFY(SameRgb(pot.pixel(x, m.Y(800)), red));
    QVERIFY(Shaded(pot.pixel(x, m.Y(300)), EVerdictStatus::Unprotected));
    QVERIFY(Shaded(pot.pixel(m.X(1096), m.Y(300)), EVerdictStatus::Protected));
    // Nothing of it at its recorded metre's place on this axis (1050 m).
    QVERIFY(!SameRgb(pot.pixel(m.X(1050), m.Y(800)), red));

    const QImage& grad = p.Compose(*p.grad);
    const CMap g{p.grad->Frame()};
    const QColor mark = PaletteColour(DefectMarkColour());
    QVERIFY(SameRgb(grad.pixel(g.X(1060), g.f.bottom - kDefectMarkHeight), mark));
    QCOMPARE(CountColor(grad, g.X(1030) - 5, g.f.bottom - 8, g.X(1030) + 5, g.f.bottom - 1, mark), 0);

    for (CTrePrintView* w : {p.grad.get(), p.pot.get()}) {
        w->SetOverlay(nullptr);
        w->SetAxisPositions(nullptr);
    }
    QVERIFY(!p.pot->Frame().pPositions);
    QCOMPARE(p.pot->Frame().nStart, 0);
}

// The survey above spans -1,10 ... -0,80 V with E_p -0,85 V and E_l
// -1,20 V: the potential axis -1,2 ... -0,8 V. The gradients reach 20,0 mV
// (on 20,0, off 1,0, D 19,0 mV at 30 m): 0 ... 20 mV in 5 mV ticks. A section
// from 1040 to 1080 m of chainage (recorded 20 ... 40 m) with -0,95 V steps
// the E_p line down over its range only.
void TestVerdictMarks::fittedAxesSteppedCriterionAndAxisTitles()
{
    CPanes p(Survey());
    auto chainage = std::make_shared<std::vector<double>>();
    for (int r = 1; r <= p.doc.GetRowCount(); ++r) chainage->push_back(1000.0 + 2 * p.doc.GetMeter(r));
    for (CTrePrintView* v : {p.grad.get(), p.pot.get()}) v->SetAxisPositions(chainage);
    const CCurveFrame design = p.pot->Frame();
    trespipeline::SSection bog;
    bog.from = 1040;
    bog.to = 1080;
    bog.protectionPotential = -950;
    const std::vector<trespipeline::SSection> sections{bog};
    CCurveOverlay overlay = VerdictOverlay(AssessProtection(p.doc), chainage.get(), &sections);
    FitOverlayAxes(overlay, p.doc, chainage.get());
    p.pot->SetOverlay(&overlay);
    p.grad->SetOverlay(&overlay);

    const CMap m{p.pot->Frame()};
    QCOMPARE((QList<int64_t>{m.f.nValueTop, m.f.nValueSpan, m.f.nValueLabelStep}), (QList<int64_t>{1200, 400, 100}));
    const CMap g{p.grad->Frame()};
    QCOMPARE((QList<int64_t>{g.f.nValueTop, g.f.nValueSpan, g.f.nValueLabelStep}), (QList<int64_t>{200, 200, 50}));

    const QImage& pot = p.Compose(*p.pot);
    const QColor ep = PaletteColour(ProtectionLineColour());
    const auto dashes
        = [&](double from, double to, int mv) { return CountColor(pot, m.X(from), m.Y(mv), m.X(to), m.Y(mv), ep); };
    QVERIFY(dashes(1042, 1078, 950) > 0);
    QCOMPARE(dashes(1042, 1078, 850), 0);
    QVERIFY(dashes(1090, 1190, 850) > 0);
    QCOMPARE(dashes(1090, 1190, 950), 0);
    QCOMPARE(dashes(1000, 1038, 950), 0);
    // The axis titles in the plot's top left corner, black on white.
    for (const auto* pane : {&m, &g}) {
        const QImage& img = pane == &m ? pot : p.Compose(*p.grad);
        const int x0 = pane->f.left + 4, y0 = pane->f.top + 1;
        QVERIFY(CountColor(img, x0, y0, x0 + 60, y0 + 12, kBlack) > 30);
    }

    // Taken off, the pane's own axis again.
    p.pot->SetOverlay(nullptr);
    QCOMPARE(p.pot->Frame().nValueTop, design.nValueTop);
    QCOMPARE(p.pot->Frame().nValueSpan, design.nValueSpan);
}

QTEST_MAIN(TestVerdictMarks)
#include "tst_verdictmarks.moc"
