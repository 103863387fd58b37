// SPDX-License-Identifier: GPL-3.0-or-later
// Pointing at the curves in the main window, on the demo survey: the
// wheel and "Einpassen" keep the survey in view, the row under the pointer
// is named in the status bar and marked in both panes, a click chooses it
// in the table, and the table's row is marked in both panes.
#include "curvepane.h"
#include "framefixture.h"
#include "mainframe.h"
#include "tableview.h"
#include "tredoc.h"
#include "verdictpalette.h"

#include <QAction>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

class CQuietSeam : public CUiSeam {
public:
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }
    QStringList messages;
};

void Wheel(QWidget& w, int dy, Qt::KeyboardModifiers mods)
{
    const QPointF at(w.width() / 2.0, w.height() / 2.0);
    QWheelEvent e(at, w.mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
}

void MoveTo(QWidget& w, QPoint at)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

// The pane x whose metre is `metre` or just above it.
int PaneXOf(CTrePrintView& pane, int metre)
{
    const CCurveFrame f = pane.Frame();
    const double px = (metre - f.nStart) * static_cast<double>(f.right - f.left) / f.nSpan;
    return CTrePrintView::kBar + f.left + static_cast<int>(std::ceil(px));
}

} // namespace

class TestCurvePoint : public QObject, public CFrameFixture<CQuietSeam> {
    Q_OBJECT
private slots:
    void init() { InitFrame(); }
    void cleanup() { CleanupFrame(); }
    void wheelAndFitKeepTheSurveyInView();
    void pointerNamesTheRowAndClickChoosesIt();
};

void TestCurvePoint::wheelAndFitKeepTheSurveyInView()
{
    CMainFrame& f = Frame();
    QVERIFY(f.OpenDocumentFile(QStringLiteral(SAMPLES "/demo.tsd")));
    CTrePrintView& upper = *f.UpperPane();
    CTrePrintView& lower = *f.LowerPane();
    // Far on: the window closes with the survey's last metre, 2400 m.
    Wheel(lower, -120 * 100, Qt::NoModifier);
    QCOMPARE(upper.Frame().nStart + upper.Frame().nSpan, 2400);
    QCOMPARE(lower.Frame().nStart, 1400);
    // Zoomed in, then "Einpassen" (Ctrl+0 in "Ansicht"): 0 .. 2400 m in both.
    Wheel(lower, 120 * 3, Qt::ControlModifier);
    QCOMPARE(lower.Frame().nSpan, 100);
    QAction* fit = f.Action(CMainFrame::ID_VIEW_FIT);
    QCOMPARE(fit->shortcut(), QKeySequence(QStringLiteral("Ctrl+0")));
    bool inView = false;
    for (QAction* menu : f.menuBar()->actions())
        if (menu->text() == QStringLiteral("&Ansicht")) inView = menu->menu()->actions().contains(fit);
    QVERIFY(inView);
    fit->trigger();
    for (CTrePrintView* pane : {&upper, &lower}) {
        QCOMPARE(pane->Frame().nStart, 0);
        QCOMPARE(pane->Frame().nSpan, 2400);
    }
    // Zooming out goes no further.
    Wheel(upper, -120 * 4, Qt::ControlModifier);
    QCOMPARE(lower.Frame().nStart, 0);
    QCOMPARE(lower.Frame().nSpan, 2400);
}

void TestCurvePoint::pointerNamesTheRowAndClickChoosesIt()
{
    CMainFrame& f = Frame();
    QVERIFY(f.OpenDocumentFile(QStringLiteral(SAMPLES "/demo.tsd")));
    CTrePrintView& upper = *f.UpperPane();
    CTrePrintView& lower = *f.LowerPane();
    // 50 m across the panes, from 474 m: a metre is several pixels wide.
    Wheel(lower, 120 * 4, Qt::ControlModifier);
    QCOMPARE(lower.Frame().nSpan, 50);
    lower.CenterOnMetres(499, 499);
    QCOMPARE(upper.Frame().nStart, 474);

    // Row 500 at 499 m: potentials of the file, IR-free from its gradients.
    const int x = PaneXOf(lower, 499);
    MoveTo(lower, QPoint(x, 40));
    QCOMPARE(f.statusBar()->currentMessage(),
             QString::fromUtf8(
                 "Meter 499 m · Potential gegen Cu/CuSO4 E-27: Ein -1,250 V · Aus -0,960 V · IR-frei -0,880 V"));
    QCOMPARE(upper.CursorRow(), 500);
    QCOMPARE(lower.CursorRow(), 500);
    // Over the gradients: the means of left and right, and their difference.
    MoveTo(upper, QPoint(x, 40));
    QCOMPARE(f.statusBar()->currentMessage(),
             QString::fromUtf8("Meter 499 m · Gradient: Ein 5,5 mV · Aus 1,0 mV · Differenz 4,0 mV"));
    // The road crossing at 598 m measured nothing.
    lower.CenterOnMetres(598, 598);
    MoveTo(lower, QPoint(PaneXOf(lower, 598), 40));
    QCOMPARE(f.statusBar()->currentMessage(),
             QString::fromUtf8("Meter 598 m · Potential gegen Cu/CuSO4 E-27: Ein – · Aus – · IR-frei –"));
    QCOMPARE(lower.CursorRow(), 599);

    // A click on the curves chooses the row in the table.
    QTest::mouseClick(&lower, Qt::LeftButton, {}, QPoint(PaneXOf(lower, 598), 40));
    QCOMPARE(f.TableView()->SelectedRowRange(), (std::pair<int, int>(599, 599)));
    QCOMPARE(f.TableView()->currentIndex().row(), 598);
    // Off the panes the table's row stays marked, and the status bar is free.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&lower, &leave);
    QVERIFY(f.statusBar()->currentMessage().isEmpty());
    f.TableView()->SelectRows(590, 590);
    QCOMPARE(upper.CursorRow(), 590);
    QCOMPARE(lower.CursorRow(), 590);
    // The cursor is drawn: an upright line of its own colour across the plot.
    lower.ComposeBacking(QRect(0, 0, lower.width(), lower.height()));
    const QImage& img = lower.BackingImage();
    const QRgb cursor = qRgb(150, 0, 170);
    const int cx = PaneXOf(lower, 589) - CTrePrintView::kBar;
    int inColumn = 0;
    for (int y = 0; y < lower.height(); ++y)
        for (int dx = -1; dx <= 1; ++dx)
            if ((img.pixel(cx + dx, y) & 0xffffff) == (cursor & 0xffffff)) ++inColumn;
    QVERIFY2(inColumn >= lower.PlotBottom() - lower.PlotTop() - 2, qPrintable(QString::number(inColumn)));
}

TRES_GUI_TEST_MAIN(TestCurvePoint)
#include "tst_curvepoint.moc"
