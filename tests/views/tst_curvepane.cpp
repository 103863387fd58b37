// SPDX-License-Identifier: GPL-3.0-or-later
// The curve panes: kind, metre window, zoom and scroll rules, and the
// picture they compose, read pixel by pixel at positions computed from the
// layout rules.
#include "curvepane.h"
#include "viewsfixture.h"
#include "zoombutton.h"
#include "zoomtables.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace {

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kBlack(0, 0, 0), kGrey(128, 128, 128), kWhite(255, 255, 255);

// Two panes on one document, created and updated in the main window's order.
struct CPanes {
    CTreDoc doc;
    CCountingHost host;
    std::unique_ptr<CTrePrintView> grad;
    std::unique_ptr<CTrePrintView> pot;

    explicit CPanes(const std::vector<CRowData>& rows, int w = 800, int h = 400)
    {
        doc.SetHost(&host);
        FillDoc(doc, rows);
        grad = std::make_unique<CTrePrintView>(doc);
        pot = std::make_unique<CTrePrintView>(doc);
        grad->resize(w, h);
        pot->resize(w, h);
        host.AddView(grad.get());
        host.AddView(pot.get());
        host.InitialUpdateAll();
        host.m_nInvalidations = 0;
    }
    ~CPanes() { doc.SetHost(nullptr); }
    const QImage& Compose(CTrePrintView& v)
    {
        v.ComposeBacking(QRect(0, 0, v.width(), v.height()));
        return v.BackingImage();
    }
};

// The mapping of the layout rules, for a pane whose window starts at S.
struct CMap {
    int left, top, right, bottom;
    int64_t S, span, B, vspan;
    int X(int64_t m) const { return static_cast<int>((m - S) * (static_cast<double>(right - left) / span) + left); }
    int Y(int64_t v) const { return static_cast<int>(bottom - (v - B) * (static_cast<double>(bottom - top) / vspan)); }
};

CMap MapOf(const CTrePrintView& v, const CTreDoc& doc, int64_t S)
{
    const int64_t T = v.TopAtZero() - v.VScrollPos();
    return {35,
            10,
            v.width() - 35,
            static_cast<int>(v.height() - 1.5 * 13 - 13),
            S,
            doc.m_nMeterSpan,
            T - v.ValueStep().nSpan,
            v.ValueStep().nSpan};
}

std::vector<CRowData> Survey(int lastMetre)
{
    return {{0, -1000, -900}, {lastMetre / 2, -1100, -950}, {lastMetre, -1000, -900}};
}

} // namespace

class TestTrePrintView : public QObject {
    Q_OBJECT
private slots:
    void zoomTablesSnapToTheNextRow();
    void kindsFollowTheViewCounter();
    void shortSurveyFitsWhole();
    void longSurveyZoomSequence();
    void zoomStopsAtTheTableEnds();
    void longerThanTheTableStillFits();
    void horizontalScrollMovesBothPanes();
    void wheelScrollsAlongTheMetreAndZooms();
    void verticalStateAndScrolling();
    void valueZoomRealignsAndSetsThePage();
    void refitOnTheNextUpdateKeepsTheValueAxis();
    void withoutRowsOnlyBackground();
    void controlsLayout();
    void curveLeavingAtTheTopHasNoMark();
    void absentValueBreaksTheCurve();
    void criterionDashes();
    void yLabelsRightAlignedAtTheirTicks();
    void xLabelsSkipWhenTheyWouldOverlap();
    void closeCommentsKeepOnlyTheirLines();
    void paintCopiesTheBackingImageShifted();
    void backingImageFollowsLargeWindows();
    void narrowPaneDoesNotHang();
};

void TestTrePrintView::zoomTablesSnapToTheNextRow()
{
    const CZoomStep none{};
    QCOMPARE(SnapMeterSpan(730, none), (CZoomStep{1000, 20, 50, 100}));
    QCOMPARE(SnapMeterSpan(-5, none), (CZoomStep{50, 1, 5, 5}));
    QCOMPARE(SnapMeterSpan(50000, none), (CZoomStep{50000, 500, 2500, 5000}));
    // Above the table the steps stay and the span is the request.
    QCOMPARE(SnapMeterSpan(50001, CZoomStep{50000, 500, 2500, 5000}), (CZoomStep{50001, 500, 2500, 5000}));
    QCOMPARE(SnapValueSpan(20001, none), (CZoomStep{20000, 200, 1000, 2000}));
    QCOMPARE(SnapValueSpan(20002, CZoomStep{2000, 200, 1000, 200}), (CZoomStep{2000, 200, 1000, 200}));
    QCOMPARE(SnapValueSpan(101, none), (CZoomStep{200, 20, 100, 20}));
    // One click moves one row in either direction.
    QCOMPARE(ZoomInRequest(1000), 399);
    QCOMPARE(SnapMeterSpan(ZoomInRequest(1000), none).nSpan, 500);
    QCOMPARE(SnapMeterSpan(ZoomOutRequest(1000), none).nSpan, 2000);
    QCOMPARE(SnapValueSpan(ZoomInRequest(20000), none).nSpan, 10000);
}

void TestTrePrintView::kindsFollowTheViewCounter()
{
    CPanes p(Survey(700));
    QCOMPARE(p.grad->Kind(), int(CTrePrintView::KindGradient));
    QCOMPARE(p.pot->Kind(), int(CTrePrintView::KindPotential));
    // New resets the counter, so the same order gives the same kinds again.
    p.doc.OnNewDocument();
    p.host.InitialUpdateAll();
    QVERIFY(p.grad->IsGradientPane());
    QVERIFY(!p.pot->IsGradientPane());
}

void TestTrePrintView::shortSurveyFitsWhole()
{
    CPanes p({{100, -900}, {830, -900}});
    QCOMPARE(p.doc.m_nMeterSpan, 1000);
    QCOMPARE(p.pot->HScrollMax(), 100);
    QCOMPARE(p.doc.m_nMeterPageSize, 101);
    QCOMPARE(p.pot->FittedStart(), 100);
    // The whole survey is in view: the bar cannot move.
    p.pot->OnHScroll(CTrePrintView::EScroll::PageDown);
    p.pot->OnHScroll(CTrePrintView::EScroll::ThumbTrack, 80);
    QCOMPARE(p.pot->HScrollPos(), 0);
    QCOMPARE(p.doc.m_nMeterScrollPos, 0);
    QCOMPARE(p.pot->HScrollBar()->maximum(), 0);
}

void TestTrePrintView::longSurveyZoomSequence()
{
    CPanes p(Survey(3000));
    QCOMPARE(p.doc.m_nMeterSpan, 1000);
    QCOMPARE(p.doc.m_nMeterLineStep, 20);
    QCOMPARE(p.doc.m_nMeterPageStep, 50);
    QCOMPARE(p.doc.m_nMeterLabelStep, 100);
    QCOMPARE(p.grad->HScrollMax(), 300); // up to the last metre
    p.pot->OnMeterZoomIn();
    QCOMPARE(p.doc.m_nMeterSpan, 500);
    QCOMPARE(p.doc.m_nMeterPageSize, 51);
    QCOMPARE(p.host.m_nInvalidations, 1);
    p.pot->OnMeterZoomOut();
    QCOMPARE(p.doc.m_nMeterSpan, 1000);
    p.grad->OnMeterZoomOut();
    QCOMPARE(p.doc.m_nMeterSpan, 2000);
    QCOMPARE(p.doc.m_nMeterPageSize, 201);
    QCOMPARE(p.doc.m_nMeterLabelStep, 200);

    // Zoom in puts the position on the new line step; zoom out leaves it.
    p.pot->CenterOnMetres(1370, 1370); // the other pane leaves the window at 370 m
    QCOMPARE(p.grad->HScrollPos(), 37);
    p.grad->OnMeterZoomIn(); // 1000 m, line step 20
    QCOMPARE(p.doc.m_nMeterScrollPos, 20);
    p.grad->OnMeterZoomOut();
    QCOMPARE(p.doc.m_nMeterScrollPos, 20);
}

void TestTrePrintView::zoomStopsAtTheTableEnds()
{
    CPanes p(Survey(40));
    QCOMPARE(p.doc.m_nMeterSpan, 50);
    // The smallest row, no wider than the survey's 40 m.
    p.pot->OnMeterZoomIn();
    QCOMPARE(p.doc.m_nMeterSpan, 40);
    QCOMPARE(p.doc.m_nMeterLineStep, 1);
    for (int i = 0; i < 4; ++i) p.pot->OnValueZoomOut();
    QCOMPARE(p.pot->ValueStep(), (CZoomStep{20000, 200, 1000, 2000}));
    p.pot->OnValueZoomOut();
    QCOMPARE(p.pot->ValueStep().nSpan, 20000);
    for (int i = 0; i < 10; ++i) p.pot->OnValueZoomIn();
    QCOMPARE(p.pot->ValueStep(), (CZoomStep{100, 10, 50, 10}));
}

void TestTrePrintView::longerThanTheTableStillFits()
{
    // 60 km: the first fit finds no zoom row and no label step yet; the
    // start stays the first metre instead of a division by zero.
    CPanes p({{1234, -900}, {61234, -900}});
    QCOMPARE(p.grad->FittedStart(), 1234);
    QCOMPARE(p.doc.m_nMeterSpan, 1000);
    QCOMPARE(p.grad->HScrollMax(), 6000);
    // The second pane's fit finds the steps the first one left.
    QCOMPARE(p.pot->FittedStart(), 1200);
    QVERIFY(!p.Compose(*p.pot).isNull());
}

void TestTrePrintView::horizontalScrollMovesBothPanes()
{
    CPanes p(Survey(3000));
    using E = CTrePrintView::EScroll;
    p.pot->OnHScroll(E::LineDown);
    QCOMPARE(p.doc.m_nMeterScrollPos, 20);
    p.pot->OnHScroll(E::PageDown);
    QCOMPARE(p.doc.m_nMeterScrollPos, 70);
    p.Compose(*p.grad);
    QCOMPARE(p.grad->HScrollPos(), 70);
    QCOMPARE(p.grad->HScrollBar()->value(), 70);
    p.grad->OnHScroll(E::ThumbTrack, 97);
    QCOMPARE(p.doc.m_nMeterScrollPos, 80);
    p.grad->OnHScroll(E::Bottom);
    p.grad->OnHScroll(E::EndScroll);
    QCOMPARE(p.doc.m_nMeterScrollPos, 80);
    // The end: the window closes with the last metre, 2000 .. 3000 m.
    for (int i = 0; i < 20; ++i) p.grad->OnHScroll(E::PageDown);
    QCOMPARE(p.doc.m_nMeterScrollPos, 200);
    QCOMPARE(p.grad->Frame().nStart, 2000);
    p.grad->OnHScroll(E::PageUp);
    QCOMPARE(p.doc.m_nMeterScrollPos, 150);
    for (int i = 0; i < 20; ++i) p.grad->OnHScroll(E::LineUp);
    QCOMPARE(p.doc.m_nMeterScrollPos, 0);
    // Each horizontal scroll repaints both panes.
    QVERIFY(p.host.m_nInvalidations >= 3);
}

static void Wheel(QWidget& w, int dy, Qt::KeyboardModifiers mods = Qt::NoModifier, int x = -1)
{
    const QPointF at(x < 0 ? w.width() / 2.0 : x, w.height() / 2.0);
    QWheelEvent e(at, w.mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
}

void TestTrePrintView::wheelScrollsAlongTheMetreAndZooms()
{
    CPanes p(Survey(3000));
    const int lines = QApplication::wheelScrollLines();
    const int line = p.doc.m_nMeterLineStep;
    const int start = p.doc.m_nMeterScrollPos;
    // A notch towards the user goes on along the metre in both panes.
    Wheel(*p.pot, -120);
    QCOMPARE(p.doc.m_nMeterScrollPos, start + lines * line);
    p.Compose(*p.grad);
    QCOMPARE(p.grad->HScrollPos(), start + lines * line);
    // Half notches add up; away from the user goes back.
    Wheel(*p.grad, 60);
    QCOMPARE(p.doc.m_nMeterScrollPos, start + lines * line);
    Wheel(*p.grad, 60);
    QCOMPARE(p.doc.m_nMeterScrollPos, start);
    // With Ctrl the metre axis zooms, in away from the user.
    const int span = p.doc.m_nMeterSpan;
    Wheel(*p.pot, 120, Qt::ControlModifier);
    QVERIFY(p.doc.m_nMeterSpan < span);
    Wheel(*p.pot, -120, Qt::ControlModifier);
    QCOMPARE(p.doc.m_nMeterSpan, span);

    // Far on along the metre the window closes with the last metre.
    Wheel(*p.pot, -120 * 50);
    QCOMPARE(p.pot->Frame().nStart, 2000);
    QCOMPARE(p.pot->Frame().nSpan, 1000);
    // Ctrl+wheel keeps the metre under the pointer: 146 of the plot's 730
    // pixels in, 2200 m, the window halved to 2100 .. 2600 m.
    const int x = CTrePrintView::kBar + 35 + 146;
    Wheel(*p.pot, 120, Qt::ControlModifier, x);
    QCOMPARE(p.grad->Frame().nStart, 2100);
    QCOMPARE(p.grad->Frame().nSpan, 500);
    // Out as far as it goes: the survey, 0 .. 3000 m, and no more.
    for (int i = 0; i < 6; ++i) Wheel(*p.pot, -120, Qt::ControlModifier, x);
    QCOMPARE(p.pot->Frame().nStart, 0);
    QCOMPARE(p.pot->Frame().nSpan, 3000);
    QCOMPARE(p.pot->HScrollBar()->maximum(), 0);
}

void TestTrePrintView::verticalStateAndScrolling()
{
    CPanes p(Survey(700));
    using E = CTrePrintView::EScroll;
    QCOMPARE(p.grad->TopAtZero(), 15000);
    QCOMPARE(p.grad->VScrollMax(), 25000);
    QCOMPARE(p.grad->VScrollPos(), 13000);
    QCOMPARE(p.grad->VScrollPage(), 2001);
    QCOMPARE(p.grad->ValueStep(), (CZoomStep{2000, 200, 1000, 200}));
    QCOMPARE(p.pot->TopAtZero(), 10000);
    QCOMPARE(p.pot->VScrollMax(), 20000);
    QCOMPARE(p.pot->VScrollPos(), 8000);
    // Reachable: -10000 .. 15000 in the gradient pane.
    for (int i = 0; i < 30; ++i) p.grad->OnVScroll(E::PageDown);
    QCOMPARE(p.grad->VScrollPos(), 23000);
    QCOMPARE(p.grad->TopAtZero() - p.grad->VScrollPos() - p.grad->ValueStep().nSpan, -10000);
    p.grad->OnVScroll(E::ThumbTrack, 555);
    QCOMPARE(p.grad->VScrollPos(), 400);
    p.grad->OnVScroll(E::LineUp);
    QCOMPARE(p.grad->VScrollPos(), 200);
    // Vertical scrolling is the pane's own.
    QCOMPARE(p.pot->VScrollPos(), 8000);
    QCOMPARE(p.host.m_nInvalidations, 0);
}

void TestTrePrintView::valueZoomRealignsAndSetsThePage()
{
    CPanes p(Survey(700));
    p.grad->OnVScroll(CTrePrintView::EScroll::ThumbTrack, 13000);
    p.grad->OnValueZoomIn(); // 2000 -> 1000
    QCOMPARE(p.grad->ValueStep(), (CZoomStep{1000, 100, 500, 100}));
    QCOMPARE(p.grad->VScrollPage(), 1001);
    p.grad->OnVScroll(CTrePrintView::EScroll::LineDown);
    QCOMPARE(p.grad->VScrollPos(), 13100);
    p.grad->OnValueZoomOut(); // back to 2000, line 200: 13100 -> 13000
    QCOMPARE(p.grad->VScrollPos(), 13000);
    QCOMPARE(p.grad->VScrollPage(), 2001);
}

void TestTrePrintView::refitOnTheNextUpdateKeepsTheValueAxis()
{
    CPanes p(Survey(3000));
    p.pot->OnHScroll(CTrePrintView::EScroll::PageDown);
    p.pot->OnVScroll(CTrePrintView::EScroll::PageDown);
    p.grad->OnMeterZoomIn();
    // Sets both refit flags, and the update that follows refits both panes
    // before either paints; 1250 .. 4250 m fits with the 5000 m row's label
    // step of 500 m.
    p.doc.m_bRefitPot = p.doc.m_bRefitGrad = false;
    p.doc.AddConstant(EAddQuantity::Meter, 0, 3000, 1250);
    QVERIFY(!p.doc.m_bRefitPot);
    QVERIFY(!p.doc.m_bRefitGrad);
    QCOMPARE(p.pot->FittedStart(), 1000);
    QCOMPARE(p.grad->FittedStart(), 1000);
    QCOMPARE(p.doc.m_nMeterScrollPos, 0);
    QCOMPARE(p.doc.m_nMeterSpan, 1000);
    QCOMPARE(p.pot->VScrollPos(), 9000);
}

void TestTrePrintView::withoutRowsOnlyBackground()
{
    CPanes p(Survey(700));
    p.doc.DeleteRows(1, p.doc.GetRowCount());
    p.doc.UpdateAllViews(); // as the table does after deleting
    QCOMPARE(p.doc.GetRowCount(), 0);
    const QImage& img = p.Compose(*p.pot);
    QCOMPARE(CountColor(img, 0, 0, 799, 399, kWhite), 800 * 400);
    QVERIFY(p.pot->HScrollBar()->isHidden());
    QVERIFY(p.pot->VScrollBar()->isHidden());
    QVERIFY(p.pot->Button(CTrePrintView::IdMeterZoomIn)->isHidden());
    // A pane that never had rows has no kind-dependent state to draw from.
    CTreDoc empty;
    CTrePrintView pane(empty);
    pane.resize(300, 200);
    pane.OnInitialUpdate();
    pane.ComposeBacking(QRect(0, 0, 300, 200));
    QCOMPARE(CountColor(pane.BackingImage(), 0, 0, 299, 199, kWhite), 300 * 200);
}

void TestTrePrintView::controlsLayout()
{
    CPanes p(Survey(700), 640, 300);
    p.Compose(*p.grad);
    QCOMPARE(p.grad->HScrollBar()->geometry(), QRect(13, 287, 601, 13));
    QCOMPARE(p.grad->VScrollBar()->geometry(), QRect(0, 26, 13, 261));
    QCOMPARE(p.grad->Button(CTrePrintView::IdMeterZoomOut)->geometry(), QRect(614, 287, 13, 13));
    QCOMPARE(p.grad->Button(CTrePrintView::IdMeterZoomIn)->geometry(), QRect(627, 287, 13, 13));
    QCOMPARE(p.grad->Button(CTrePrintView::IdValueZoomIn)->geometry(), QRect(0, 0, 13, 13));
    QCOMPARE(p.grad->Button(CTrePrintView::IdValueZoomOut)->geometry(), QRect(0, 13, 13, 13));
    QVERIFY(!p.grad->HScrollBar()->isHidden());
    QCOMPARE(p.grad->PlotBottom(), 267);
    QCOMPARE(p.grad->PlotRight(), 605);
    // Each says what it does.
    for (int id = CTrePrintView::IdMeterZoomIn; id <= CTrePrintView::IdValueZoomOut; ++id)
        QVERIFY(!p.grad->Button(static_cast<CTrePrintView::EControlId>(id))->toolTip().isEmpty());
    // The buttons work through their clicks.
    p.grad->Button(CTrePrintView::IdValueZoomIn)->click();
    QCOMPARE(p.grad->ValueStep().nSpan, 1000);
    p.grad->Button(CTrePrintView::IdMeterZoomOut)->click();
    QCOMPARE(p.doc.m_nMeterSpan, 700); // no wider than the survey
    // Our own pictures: a plus has an upright bar, a minus has none.
    const QImage plus = CZoomButton::Picture(CZoomButton::EGlyph::Plus, false);
    const QImage minus = CZoomButton::Picture(CZoomButton::EGlyph::Minus, false);
    QCOMPARE(plus.size(), QSize(13, 13));
    QVERIFY(SameRgb(plus.pixel(5, 3), kBlack));
    QVERIFY(!SameRgb(minus.pixel(5, 3), kBlack));
    QVERIFY(SameRgb(minus.pixel(5, 5), kBlack));
}

// A potential survey whose curve Ein climbs out of the top, breaks at an
// absent value and runs on; the criterion is -850 mV.
static std::vector<CRowData> TopAndGapSurvey()
{
    return {{0}, {100, -1000}, {200, -3000}, {300}, {400, -1000}, {1000, -1000}};
}

void TestTrePrintView::curveLeavingAtTheTopHasNoMark()
{
    CPanes p(TopAndGapSurvey());
    const QImage& img = p.Compose(*p.pot);
    const CMap m = MapOf(*p.pot, p.doc, 0);
    const int x2 = m.X(100), y2 = m.Y(1000);
    // Nothing blue at or above the top edge: the line stops one pixel short
    // of the edge and no mark sits there.
    QCOMPARE(CountColor(img, 0, 0, 799, m.top, kBlue), 0);
    QVERIFY(CountColor(img, x2, m.top + 1, m.X(200), m.top + 1, kBlue) >= 1);
    // The point mark at row 2 reaches one pixel below the point.
    QVERIFY(SameRgb(img.pixel(x2, y2 + 1), kBlue));
    QVERIFY(SameRgb(img.pixel(x2, y2), kBlue));
    QVERIFY(!SameRgb(img.pixel(x2, y2 + 2), kBlue));
}

void TestTrePrintView::absentValueBreaksTheCurve()
{
    CPanes p(TopAndGapSurvey());
    const QImage& img = p.Compose(*p.pot);
    const CMap m = MapOf(*p.pot, p.doc, 0);
    const int x5 = m.X(400), y5 = m.Y(1000);
    QCOMPARE(CountColor(img, m.X(200), 0, x5 - 1, 399, kBlue), 0);
    // The next present value starts a new piece with its mark.
    QVERIFY(SameRgb(img.pixel(x5, y5 + 1), kBlue));
    QVERIFY(SameRgb(img.pixel(x5, y5 - 1), kBlue));
    QCOMPARE(CountColor(img, x5, y5, m.X(1000) - 1, y5, kBlue), m.X(1000) - x5);
    // No potential off at all: no red anywhere.
    QCOMPARE(CountColor(img, 0, 0, 799, 399, kRed), 0);
}

void TestTrePrintView::criterionDashes()
{
    CPanes p(TopAndGapSurvey());
    p.doc.m_header[2] = "-850 mV";
    const QImage& img = p.Compose(*p.pot);
    const CMap m = MapOf(*p.pot, p.doc, 0);
    const int y = m.Y(850);
    QCOMPARE(y, 215);
    // Between the labels of -0.80 V and -1.00 V.
    QVERIFY(m.Y(1000) < y && y < m.Y(800));
    const int dash = (m.right - m.left) / 40, period = (m.right - m.left) / 20;
    int dashes = 0;
    for (int x = m.left; x < m.right - dash; x += period) {
        QCOMPARE(CountColor(img, x, y, x + dash - 1, y, kBlack), dash);
        QCOMPARE(CountColor(img, x + dash, y, std::min(x + period - 1, m.right - 1), y, kBlack), 0);
        ++dashes;
    }
    QCOMPARE(dashes, 20);
    // A criterion elsewhere draws nothing at that height.
    p.doc.m_header[2] = "-0,95 V";
    const QImage& other = p.Compose(*p.pot);
    QCOMPARE(CountColor(other, m.left + 1, y, m.right, y, kBlack), 0);
}

void TestTrePrintView::yLabelsRightAlignedAtTheirTicks()
{
    CPanes p(TopAndGapSurvey());
    for (CTrePrintView* v : {p.pot.get(), p.grad.get()}) {
        const QImage& img = p.Compose(*v);
        const CMap m = MapOf(*v, p.doc, 0);
        const QFontMetrics fm(v->AxisFont());
        const int step = v->ValueStep().nLabelStep;
        int labels = 0;
        for (int64_t val = m.B; val <= m.B + m.vspan; val += step) {
            const int y = m.Y(val);
            const int ty = static_cast<int>(y - 13 * 0.4);
            const QString text = v->IsGradientPane() ? QString::asprintf("% 6lld", static_cast<long long>(val / 10))
                                                     : QString::asprintf("%.2f", -val * 0.001);
            const int w = fm.horizontalAdvance(text);
            // The tick runs from left-3 to left+2.
            QCOMPARE(CountColor(img, m.left - 3, y, m.left + 2, y, kBlack), 6);
            QVERIFY2(CountColor(img, m.left - 4 - w, ty, m.left - 5, ty + fm.height() - 1, kBlack) > 0,
                     qPrintable(text));
            QCOMPARE(CountColor(img, m.left - 4, ty, m.left - 4, ty + fm.height() - 1, kBlack), 0);
            QCOMPARE(CountColor(img, 0, ty, m.left - 6 - w, ty + fm.height() - 1, kBlack), 0);
            ++labels;
        }
        QCOMPARE(labels, 11);
    }
    // In a low pane (11 rows of 0.2 V on about 100 pixels) only every other
    // label finds room; every tick is still drawn.
    CPanes low(TopAndGapSurvey(), 400, 140);
    const QImage& img = low.Compose(*low.pot);
    const CMap m = MapOf(*low.pot, low.doc, 0);
    const QFontMetrics fm(low.pot->AxisFont());
    int lastY = 0, drawn = 0;
    for (int64_t val = m.B; val <= m.B + m.vspan; val += 200) {
        const int y = m.Y(val);
        const bool draw = val == m.B || y < lastY - fm.height();
        const int ty = static_cast<int>(y - 13 * 0.4);
        QCOMPARE(CountColor(img, m.left - 3, y, m.left + 2, y, kBlack), 6);
        if (draw) {
            QVERIFY(CountColor(img, 0, ty, m.left - 5, ty + fm.height() - 1, kBlack) > 0);
            lastY = y;
            ++drawn;
        } else {
            QCOMPARE(CountColor(img, m.left - 12, y, m.left - 5, y, kBlack), 0);
        }
    }
    QVERIFY(drawn > 1 && drawn < 11);
}

void TestTrePrintView::xLabelsSkipWhenTheyWouldOverlap()
{
    for (int width : {800, 300}) {
        CPanes p(TopAndGapSurvey(), width, 400);
        const QImage& img = p.Compose(*p.pot);
        const CMap m = MapOf(*p.pot, p.doc, 0);
        const QFontMetrics fm(p.pot->AxisFont());
        int lastX = 0, drawn = 0, skipped = 0;
        for (int64_t metre = 0; metre <= 1000; metre += 100) {
            const int x = m.X(metre);
            const QString text = QString::asprintf("% lld", static_cast<long long>(metre));
            const int w = fm.horizontalAdvance(text);
            const bool draw = metre == 0 || x + 2 >= lastX + w;
            // Below the tick (rows bottom+4 .. bottom+3+height) only the text.
            const int ink
                = CountColor(img, x - w / 2, m.bottom + 4, x - w / 2 + w - 1, m.bottom + 2 + fm.height(), kBlack);
            if (draw) {
                QVERIFY2(ink > 0, qPrintable(text));
                lastX = x;
                ++drawn;
            } else {
                // Only the neighbours' text may reach into this box.
                QCOMPARE(CountColor(img, x - 1, m.bottom + 4, x + 1, m.bottom + 2 + fm.height(), kBlack), 0);
                ++skipped;
            }
            QVERIFY(SameRgb(img.pixel(x, m.bottom + 3), kBlack)); // the tick
        }
        if (width == 800) QCOMPARE(skipped, 0);
        else QVERIFY(skipped > 0 && drawn > 1);
    }
}

void TestTrePrintView::closeCommentsKeepOnlyTheirLines()
{
    std::vector<CRowData> rows{{0}, {500}, {507}, {1000}};
    rows[1].comment = "Schieber";
    rows[2].comment = "Abzweig";
    CPanes p(rows);
    const QImage& img = p.Compose(*p.grad);
    const CMap m = MapOf(*p.grad, p.doc, 0);
    const int x1 = m.X(500), x2 = m.X(507);
    const QFontMetrics cfm(p.grad->CommentFont());
    const int len = cfm.horizontalAdvance(QStringLiteral("Schieber"));
    QVERIFY(cfm.height() + (x1 - 5) + 1 >= x2); // too close for a second text
    // First comment: text from 4 pixels above the plot downwards, its dotted
    // line stopping below the text.
    QVERIFY(CountColor(img, x1 - 5, m.top - 4, x1 + 5, m.top + len - 4, kBlack) > 0);
    QCOMPARE(CountColor(img, x1 - 6, 0, x1 + 6, m.top - 6, kBlack), 0);
    QCOMPARE(CountColor(img, x1, m.top, x1, m.top + len - 1, kGrey), 0);
    QVERIFY(CountColor(img, x1, m.top + len, x1, m.top + len + 3, kGrey) >= 1);
    QVERIFY(CountColor(img, x1, m.bottom - 5, x1, m.bottom - 1, kGrey) >= 1);
    // Second comment: no text, the line up to the top of the plot.
    QCOMPARE(CountColor(img, x1 + 7, 0, x2 + 6, m.top - 1, kBlack), 0);
    QVERIFY(CountColor(img, x2, m.top + 1, x2, m.top + 3, kGrey) >= 1);
    QCOMPARE(CountColor(img, x2, 0, x2, m.top, kGrey), 0);
}

void TestTrePrintView::paintCopiesTheBackingImageShifted()
{
    // The window's paint composes straight into the window where it can and
    // through the backing image where it cannot: both give the same picture,
    // shifted right by the scroll bar column, pixel for pixel.
    CPanes p(TopAndGapSurvey());
    p.pot->show();
    const QImage grabbed = p.pot->grab().toImage();
    QImage rendered(p.pot->size(), QImage::Format_RGB32);
    rendered.fill(Qt::magenta);
    p.pot->render(&rendered);
    const QImage& backing = p.Compose(*p.pot);
    int differ = 0;
    for (int y = 0; y < p.pot->height() - 13; ++y)
        for (int x = 0; x + 13 < p.pot->width(); ++x) {
            const QRgb want = backing.pixel(x, y) & 0xffffff;
            if ((grabbed.pixel(x + 13, y) & 0xffffff) != want) ++differ;
            if ((rendered.pixel(x + 13, y) & 0xffffff) != want) ++differ;
        }
    QCOMPARE(differ, 0);
    p.pot->hide();
}

void TestTrePrintView::backingImageFollowsLargeWindows()
{
    CPanes p(Survey(700));
    // At least 1024 x 768 (a few unseen pixels more per line, for the cache).
    QVERIFY(p.pot->BackingImage().width() >= 1024 && p.pot->BackingImage().width() < 1024 + 32);
    QCOMPARE(p.pot->BackingImage().height(), 768);
    p.pot->resize(1600, 1000);
    const QImage& img = p.Compose(*p.pot);
    QVERIFY(img.width() >= 1600 && img.height() >= 1000);
    // The x axis reaches the right end of the large plot.
    const int bottom = static_cast<int>(1000 - 1.5 * 13 - 13);
    QVERIFY(SameRgb(img.pixel(1600 - 36, bottom), kBlack));
}

void TestTrePrintView::narrowPaneDoesNotHang()
{
    // Too narrow for a dash period, too low for a plot: still a picture,
    // painted at once (a generous bound for a loaded machine; an endless
    // dash loop would never return).
    CPanes p(TopAndGapSurvey(), 60, 20);
    p.doc.m_header[2] = "-850 mV";
    QElapsedTimer clock;
    clock.start();
    const QImage pictures[2] = {p.Compose(*p.pot).copy(0, 0, 60, 20), p.Compose(*p.grad).copy(0, 0, 60, 20)};
    p.pot->resize(0, 0);
    p.Compose(*p.pot);
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    // What room there is shows the value axis at x = 35 down to its last
    // tick at y = 10, on white; no curve, no dash, nothing below.
    for (const QImage& img : pictures) {
        QCOMPARE(CountColor(img, 0, 0, 59, 19, kWhite) + CountColor(img, 0, 0, 59, 19, kBlack), 60 * 20);
        QCOMPARE(CountColor(img, 35, 0, 35, 10, kBlack), 11);
        QCOMPARE(CountColor(img, 0, 11, 59, 19, kBlack), 0);
        QCOMPARE(CountColor(img, 0, 0, 31, 10, kBlack) + CountColor(img, 38, 0, 59, 10, kBlack), 0);
    }
}

QTEST_MAIN(TestTrePrintView)
#include "tst_curvepane.moc"
