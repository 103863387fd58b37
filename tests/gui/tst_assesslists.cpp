// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window's lists in the main window: sorted by a click on a
// column header, numbers by value, texts in German order, absent values
// last both ways, and a sorted row still naming its own survey rows.
#include "assesswnd.h"
#include "framefixture.h"
#include "mainframe.h"
#include "tableview.h"

#include "sortedlist.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <fstream>

namespace {

using EList = CAssessListModel::EList;

// Rows 1 m apart from 0 to 120 m, off -0.90 V, but not protected at 5 m,
// 20-29 m and 100 m; on = off at 60 m, not assessed, without a worst value
// or its metre.
void WriteSurvey(const QString& path)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int m = 0; m <= 120; ++m) {
        const bool bad = m == 5 || (m >= 20 && m <= 29) || m == 100;
        out << m << ";" << (m == 60 ? "-0.95" : "-1.10") << ";"
            << (m == 60 ? "-0.95"
                : bad   ? "-0.80"
                        : "-0.90")
            << ";3;1;3;1;\r\n";
    }
}

// The texts of column `c` in the order the view shows them.
QStringList Column(const QTableView* view, int c)
{
    QStringList texts;
    for (int r = 0; r < view->model()->rowCount(); ++r) texts << view->model()->index(r, c).data().toString();
    return texts;
}

void ClickHeader(QTableView* view, int c)
{
    QHeaderView* h = view->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(c) + h->sectionSize(c) / 2, h->height() / 2));
}

} // namespace

class TestAssessLists : public QObject, protected CFrameFixture<CUiSeam> {
    Q_OBJECT
private slots:
    void init() { InitFrame(); }
    void cleanup() { CleanupFrame(); }

    void headerClickSortsAndRowsStillNameTheirStretch();
    void textsInGermanOrderAbsentLast();
};

void TestAssessLists::headerClickSortsAndRowsStillNameTheirStretch()
{
    const QString path = m_files.filePath(QStringLiteral("m.tsd"));
    WriteSurvey(path);
    CMainFrame& f = Frame();
    QVERIFY(f.OpenDocumentFile(path));
    f.Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
    CAssessWnd& w = *f.AssessWindow();
    QTableView* list = w.ListView(EList::Stretches);
    const CAssessListModel* model = w.ListModel(EList::Stretches);
    QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("von m"));
    QCOMPARE(model->headerData(8, Qt::Horizontal).toString(), QStringLiteral("bei m"));
    // Unsorted, the verdict's order.
    QCOMPARE(Column(list, 3), (QStringList{"5", "20", "60", "100"}));

    // Numbers by value, not by their digits; the stretch without a worst
    // metre last whichever way.
    ClickHeader(list, 8);
    QCOMPARE(Column(list, 8), (QStringList{"5", "20", "100", ""}));
    ClickHeader(list, 8);
    QCOMPARE(Column(list, 8), (QStringList{"100", "20", "5", ""}));
    QCOMPARE(Column(list, 3), (QStringList{"100", "20", "5", "60"}));

    // The first row sorted is the stretch at 100 m (row 101).
    const QRect cell = list->visualRect(list->model()->index(0, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(f.TableView()->SelectedRowRange(), (std::pair<int, int>(101, 101)));
}

void TestAssessLists::textsInGermanOrderAbsentLast()
{
    QStandardItemModel source;
    for (const char* text : {"Zaun", "", "\xC3\x84rger", "Bach"}) {
        auto* item = new QStandardItem(QString::fromUtf8(text));
        if (*text) item->setData(QString::fromUtf8(text), CSortedList::SortRole);
        source.appendRow(item);
    }
    CSortedList sorted(&source);
    const auto order = [&] {
        QStringList texts;
        for (int r = 0; r < sorted.rowCount(); ++r) texts << sorted.index(r, 0).data().toString();
        return texts;
    };
    // "Ä" with "A", not after "Z"; the absent value last both ways.
    sorted.sort(0, Qt::AscendingOrder);
    QCOMPARE(order(), (QStringList{QString::fromUtf8("Ärger"), "Bach", "Zaun", ""}));
    sorted.sort(0, Qt::DescendingOrder);
    QCOMPARE(order(), (QStringList{"Zaun", "Bach", QString::fromUtf8("Ärger"), ""}));
    QCOMPARE(sorted.SourceRow(3), 1);
}

TRES_GUI_TEST_MAIN(TestAssessLists)

#include "tst_assesslists.moc"
