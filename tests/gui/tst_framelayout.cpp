// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's layout on a screen of a given size: what a restart
// brings back after the "Bewertung" window was open.
#include "assesswnd.h"
#include "curvepane.h"
#include "framefixture.h"
#include "framelimits.h"
#include "mainframe.h"
#include "map/mapdock.h"
#include "tableview.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QFile>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <fstream>

namespace {

void WriteSurvey(const QString& path, int rows)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int i = 0; i < rows; ++i) out << i * 10 << ";-1.20;-0.90;10;2;;;\r\n";
}

} // namespace

class TestFrameLayout : public QObject, protected CFrameFixture<CUiSeam> {
    Q_OBJECT
private slots:
    void init() { InitFrame(); }
    void cleanup() { CleanupFrame(); }

    void restartWithTheDockOpenKeepsTheTable();
    void smallScreenHoldsTheWholeWindow();
    void dockOpensWithItsListsWholeAndKeepsTheUsersWidth();
};

void TestFrameLayout::restartWithTheDockOpenKeepsTheTable()
{
    const QString path = m_files.filePath("m.tsd");
    WriteSurvey(path, 40);
    {
        CMainFrame& f = Frame();
        f.showMaximized();
        QTRY_VERIFY_WITH_TIMEOUT(f.isMaximized() && f.frameGeometry() == f.screen()->availableGeometry(), 10000);
        QVERIFY(f.OpenDocumentFile(path));
        f.Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(f.AssessWindow()->isVisible(), 10000);
        CloseFrame();
    }
    CMainFrame& g = Frame();
    QTRY_VERIFY_WITH_TIMEOUT(g.isMaximized() && g.AssessWindow()->isVisible(), 10000);
    // The table keeps a quarter of the window, the curves what they need.
    const int window = g.width();
    QTRY_VERIFY2_WITH_TIMEOUT(g.TableView()->width() * 4 >= window, qPrintable(QString::number(g.TableView()->width())),
                              10000);
    QVERIFY(g.OuterSplitter()->sizes().value(0) >= framelimit::kCurvesMinWidth);
    QVERIFY(g.TableView()->width() >= framelimit::kTableMinWidth);
    QVERIFY(g.UpperPane()->width() >= framelimit::kCurvesMinWidth);
    QVERIFY(g.AssessWindow()->width() >= g.AssessWindow()->minimumSizeHint().width());
}

void TestFrameLayout::smallScreenHoldsTheWholeWindow()
{
    // The demo with its pipeline data: the longest summary the dock shows.
    CMainFrame& f = Frame();
    f.showMaximized();
    QVERIFY(f.OpenDocumentFile(QStringLiteral(SAMPLES "/demo.tsd")));
    QVERIFY(f.LoadPipeline(QStringLiteral(SAMPLES "/demo-leitung.geojson")));
    f.Action(CMainFrame::ID_ASSESS_OVERLAY)->setChecked(true);
    f.Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
    f.Action(CMainFrame::ID_VIEW_MAP)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(f.AssessWindow()->isVisible() && f.MapDock()->isVisible(), 10000);
    // A 1024x600 screen less a panel: what a netbook's desktop leaves.
    const QSize least = f.minimumSizeHint().expandedTo(f.minimumSize());
    QVERIFY2(least.width() <= 1024 && least.height() <= 560,
             qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
    const QRect screen = f.screen()->availableGeometry();
    QTRY_VERIFY_WITH_TIMEOUT(f.isMaximized() && f.frameGeometry() == screen, 10000);
    QVERIFY(screen.contains(f.statusBar()->mapTo(&f, QPoint(0, f.statusBar()->height() - 1)) + f.geometry().topLeft()));
    // The legend wraps into at most a quarter of the pane's box, however
    // narrow the curves are; the rest of it scrolls.
    const QWidget* box = f.LowerPane()->parentWidget();
    QTRY_VERIFY2_WITH_TIMEOUT(f.LowerPane()->height() * 4 >= box->height() * 3 - 8,
                              qPrintable(QStringLiteral("%1 of %2").arg(f.LowerPane()->height()).arg(box->height())),
                              10000);
    // The summary scrolls before the lists lose their rows, at every height
    // (at 1280x800 the summary took all but a sliver).
    QTableView* list = f.AssessWindow()->ListView(CAssessListModel::EList::DigList);
    f.AssessWindow()->findChild<QTabWidget*>(QStringLiteral("lists"))->setCurrentWidget(list);
    for (const QSize size : {QSize(1024, 600), QSize(1280, 800)}) {
        f.showNormal();
        f.resize(size);
        // What the dock shows of the list, not what scrolled out of it.
        const auto shown = [list] { return list->viewport()->visibleRegion().boundingRect().height(); };
        QTRY_VERIFY2_WITH_TIMEOUT(shown() >= 5 * list->verticalHeader()->defaultSectionSize(),
                                  qPrintable(QString::number(shown())), 10000);
    }
}

void TestFrameLayout::dockOpensWithItsListsWholeAndKeepsTheUsersWidth()
{
    const QString path = m_files.filePath("m.tsd");
    WriteSurvey(path, 40);
    CMainFrame& f = Frame();
    f.showMaximized();
    QTRY_VERIFY_WITH_TIMEOUT(f.isMaximized() && f.frameGeometry() == f.screen()->availableGeometry(), 10000);
    QVERIFY(f.OpenDocumentFile(path));
    QAction* toggle = f.Action(CMainFrame::ID_VIEW_ASSESS);
    toggle->trigger();
    CAssessWnd* w = f.AssessWindow();
    QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 10000);
    // The widest list whole, within half the window.
    QTRY_VERIFY2_WITH_TIMEOUT(w->width() >= std::min(w->ListsWidth(), f.width() / 2 - 10),
                              qPrintable(QStringLiteral("%1 < %2").arg(w->width()).arg(w->ListsWidth())), 10000);
    QVERIFY(w->width() <= f.width() / 2 + 10);
    // Every page's tab in sight, none behind a scroll arrow.
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("lists"));
    for (int i = 0; i < tabs->count(); ++i)
        QVERIFY2(tabs->tabBar()->rect().contains(tabs->tabBar()->tabRect(i)), qPrintable(tabs->tabText(i)));

    // Widened by hand, closed and opened again: the user's width.
    const int wider = w->width() + 120;
    f.resizeDocks({w}, {wider}, Qt::Horizontal);
    QTRY_COMPARE_WITH_TIMEOUT(w->width(), wider, 10000);
    toggle->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
    toggle->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(w->width(), wider, 10000);
}

// The screen comes from TRES_TEST_SCREEN ("1920x1080", the default), with
// QT_SCALE_FACTOR as the test's environment sets it.
int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QByteArray given = qgetenv("TRES_TEST_SCREEN");
    const QByteArray screen = given.isEmpty() ? QByteArray("1920x1080") : given;
    const QList<QByteArray> wh = screen.split('x');
    const QString json = config.filePath(QStringLiteral("screens.json"));
    QFile file(json);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write("{\"screens\":[{\"name\":\"test\",\"x\":0,\"y\":0,\"width\":" + wh.value(0)
               + ",\"height\":" + wh.value(1) + ",\"logicalDpi\":96,\"logicalBaseDpi\":96,\"dpr\":1}]}");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + json.toLocal8Bit());
    CTresApp app(argc, argv);
    TestFrameLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_framelayout.moc"
