// SPDX-License-Identifier: GPL-3.0-or-later
// The "Verlauf" window over the trend of three surveys: a line per track
// with a column per survey, a click on the current survey's cell choosing
// that defect's row (and on an earlier survey's choosing nothing), the
// changes per pair, and the fixed points' chart.
#include "trendfixture.h"
#include "trendui/trendtabs.h"
#include "trendui/trendwnd.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

class TestTrendWnd : public QObject {
    Q_OBJECT
private slots:
    void showsTracksChangesAndChart();
};

void TestTrendWnd::showsTracksChangesAndChart()
{
    CTrendWnd wnd;
    const STrendReportInput in = Input();
    wnd.SetTrend(in, 2);
    wnd.resize(900, 500);
    wnd.show();
    QCOMPARE(wnd.Tabs()->count(), 3);
    auto* tracks = qobject_cast<QTableWidget*>(wnd.Tabs()->widget(0));
    QVERIFY(tracks);
    QCOMPARE(tracks->rowCount(), static_cast<int>(in.trend.tracks.size()));
    QCOMPARE(tracks->columnCount(), 5); // track, three surveys, findings
    QVERIFY(tracks->horizontalHeaderItem(3)->text().contains("12.05.2025"));

    // The track that persists and grows: its defect in the current survey
    // lies at 301 m, row 151.
    int persisting = -1;
    for (int r = 0; r < tracks->rowCount(); ++r)
        if (tracks->item(r, 1) && tracks->item(r, 3) && tracks->item(r, 3)->data(kTrackRowRole).toInt() == 151)
            persisting = r;
    QVERIFY(persisting >= 0);
    QVERIFY(tracks->item(persisting, 3)->text().startsWith("verschärft"));
    QSignalSpy chosen(&wnd, &CTrendWnd::defectChosen);
    emit tracks->cellClicked(persisting, 1);
    QCOMPARE(chosen.count(), 0);
    emit tracks->cellClicked(persisting, 3);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toInt(), 151);

    auto* changes = qobject_cast<QTableWidget*>(wnd.Tabs()->widget(1));
    QVERIFY(changes);
    QCOMPARE(changes->rowCount(), 2);
    QVERIFY(changes->item(1, 2)->text().startsWith("100 m (1000–1100 m)"));

    wnd.Tabs()->setCurrentIndex(2);
    auto* choose = wnd.Tabs()->widget(2)->findChild<QComboBox*>();
    QCOMPARE(choose->count(), 2);
    choose->setCurrentIndex(1);
    const QImage shot = wnd.grab().toImage();
    if (qEnvironmentVariableIsSet("TRES_LOOK_DIR")) shot.save(qEnvironmentVariable("TRES_LOOK_DIR") + "/verlauf.png");
    wnd.Tabs()->setCurrentIndex(0);
    if (qEnvironmentVariableIsSet("TRES_LOOK_DIR"))
        wnd.grab().save(qEnvironmentVariable("TRES_LOOK_DIR") + "/verlauf-spuren.png");
}

QTEST_MAIN(TestTrendWnd)
#include "tst_trendwnd.moc"
