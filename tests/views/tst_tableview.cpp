// SPDX-License-Identifier: GPL-3.0-or-later
// The table pane: column layout, table options, frozen metre column, the
// comment column filling the pane, and the row commands.
#include "celleditor.h"
#include "tablemodel.h"
#include "tableview.h"
#include "viewsfixture.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

using M = CTrePlotModel;

class TestTrePlotView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void initialWidths();
    void optionsSwitchColumnsOnUpdate();
    void commentColumnFillsThePane();
    void metreColumnStaysInView();
    void navigationNeverHidesACellUnderTheMetreColumn();
    void deleteSelectedRows();
    void deleteKeyClearsCellsOrTakesWholeRows();
    void deleteNeedsExactlyOneRange();
    void insertAfterTheCurrentRow();
    void clipboardKeysAreNotHandled();
    void untouchedEditorStoresNothing();
    void enterGoesDownAndARefusalIsTold();
    void documentUpdatesReachTheTable();
    void spanningHeaderWordStaysReadable();

private:
    // Types `text` into the current cell as a user does: the first key opens
    // the editor, the rest go into it. Returns the editor.
    QLineEdit* TypeIntoCell(const QString& text)
    {
        QTest::keyClick(m_view.get(), text[0].toLatin1());
        auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (edit) QTest::keyClicks(edit, text.mid(1));
        return edit;
    }
    void SelectCells(int r0, int c0, int r1, int c1,
                     QItemSelectionModel::SelectionFlags f = QItemSelectionModel::ClearAndSelect)
    {
        const QItemSelection sel(m_view->model()->index(r0 - 1, M::ModelColumn(c0)),
                                 m_view->model()->index(r1 - 1, M::ModelColumn(c1)));
        m_view->selectionModel()->select(sel, f);
    }

    std::unique_ptr<CTreDoc> m_doc;
    std::unique_ptr<CCountingHost> m_host;
    std::unique_ptr<CTrePlotView> m_view;
};

void TestTrePlotView::init()
{
    m_doc = std::make_unique<CTreDoc>();
    m_host = std::make_unique<CCountingHost>();
    m_doc->SetHost(m_host.get());
    FillDoc(*m_doc, EvenSurvey(90, 10)); // metres 0, 10, ..., 90
    m_view = std::make_unique<CTrePlotView>(*m_doc);
    m_host->AddView(m_view.get());
    m_view->resize(700, 300);
}

void TestTrePlotView::cleanup()
{
    m_host->RemoveView(m_view.get());
    m_view.reset();
    m_doc->SetHost(nullptr);
}

void TestTrePlotView::initialWidths()
{
    const int expected[11] = {35, 52, 35, 35, 35, 35, 0, 35, 0, 35, 0};
    for (int c = 1; c < 11; ++c) QCOMPARE(m_view->GridColumnWidth(c), expected[c]);
    QVERIFY(m_view->GridColumnWidth(0) >= 35);
    // Fifteen base characters: 15000 / (1000 / w), with w one and a half
    // average characters of the 8-point cell font.
    const QFont f = m_view->font();
    QCOMPARE(f.pointSize(), 8);
    const int avg = QFontMetrics(f).averageCharWidth();
    const int w = QFontInfo(f).fixedPitch() ? avg : 3 * avg / 2;
    QCOMPARE(m_view->CommentSetWidth(), 15000 / (1000 / w));
}

void TestTrePlotView::optionsSwitchColumnsOnUpdate()
{
    m_doc->m_bTableLR = true;
    m_doc->m_bTableIRFree = false;
    // Nothing changes until the views are updated.
    QCOMPARE(m_view->GridColumnWidth(6), 0);
    m_doc->UpdateAllViews();
    for (int c : {6, 8, 10}) QCOMPARE(m_view->GridColumnWidth(c), 35);
    QCOMPARE(m_view->GridColumnWidth(4), 0);
    QCOMPARE(m_view->model()->index(0, M::ModelColumn(5)).data().toString(),
             QString::fromStdString(m_doc->FormatGradOnL(1)));
    m_doc->m_bTableLR = false;
    m_doc->m_bTableIRFree = true;
    m_doc->UpdateAllViews();
    for (int c : {6, 8, 10}) QCOMPARE(m_view->GridColumnWidth(c), 0);
    QCOMPARE(m_view->GridColumnWidth(4), 35);
    // A fresh document brings back the initial layout whatever the options.
    m_doc->m_bTableIRFree = false;
    m_view->OnInitialUpdate();
    QCOMPARE(m_view->GridColumnWidth(4), 35);
}

void TestTrePlotView::commentColumnFillsThePane()
{
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    auto before = [&]() {
        int sum = 0;
        for (int c = 1; c < 11; ++c) sum += m_view->GridColumnWidth(c);
        return sum;
    };
    QCOMPARE(m_view->GridColumnWidth(11), m_view->viewport()->width() - before() - 1);
    m_view->resize(900, 300);
    QTRY_COMPARE(m_view->GridColumnWidth(11), m_view->viewport()->width() - before() - 1);
    // Narrower than its own width the column keeps that width.
    m_view->resize(200, 300);
    QTRY_COMPARE(m_view->GridColumnWidth(11), m_view->CommentSetWidth());
}

void TestTrePlotView::metreColumnStaysInView()
{
    for (int i = 0; i < 40; ++i) m_doc->InsertRowAfter(10);
    m_doc->UpdateAllViews();
    m_view->resize(250, 300);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    QTableView* frozen = m_view->FrozenColumn();
    QVERIFY(frozen->isVisible());
    QVERIFY(!frozen->isColumnHidden(0));
    for (int c = 1; c < M::ColumnCount; ++c) QVERIFY(frozen->isColumnHidden(c));
    QCOMPARE(frozen->columnWidth(0), 52);
    const QRect before = frozen->geometry();
    QCOMPARE(before.left(), m_view->verticalHeader()->width() + m_view->frameWidth());
    m_view->horizontalScrollBar()->setValue(m_view->horizontalScrollBar()->maximum());
    QVERIFY(m_view->horizontalScrollBar()->value() > 0);
    QCOMPARE(frozen->geometry(), before);
    // Both views scroll down together.
    QVERIFY(m_view->verticalScrollBar()->maximum() > 40);
    m_view->verticalScrollBar()->setValue(40);
    QCOMPARE(frozen->verticalScrollBar()->value(), 40);
}

// Every column right of the metre column is shown whole or not at all: none
// starts under the metre column and sticks out beside it.
static QString HalfCoveredColumns(const CTrePlotView& view)
{
    const int frozenRight = view.FrozenColumn()->geometry().right() + 1 - view.viewport()->geometry().left();
    QStringList half;
    for (int c = 1; c < M::ColumnCount; ++c) {
        if (view.isColumnHidden(c)) continue;
        const int x = view.columnViewportPosition(c);
        if (x < frozenRight && x + view.columnWidth(c) > frozenRight)
            half << QStringLiteral("column %1 at %2").arg(c).arg(x);
    }
    return half.join(QStringLiteral(", "));
}

void TestTrePlotView::navigationNeverHidesACellUnderTheMetreColumn()
{
    // Narrower than its columns, the table has to scroll sideways.
    m_view->resize(260, 300);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    QVERIFY(m_view->horizontalScrollBar()->maximum() > 0);
    const QRect frozen(m_view->viewport()->mapFrom(m_view.get(), m_view->FrozenColumn()->geometry().topLeft()),
                       m_view->FrozenColumn()->size());
    // The current cell is wholly in view and clear of the metre column;
    // the metre cell is shown by the metre column itself.
    auto check = [&](const char* step) {
        const QModelIndex cur = m_view->currentIndex();
        QVERIFY2(cur.isValid(), step);
        QVERIFY2(HalfCoveredColumns(*m_view).isEmpty(), qPrintable(step + (": " + HalfCoveredColumns(*m_view))));
        if (cur.column() == 0) {
            QVERIFY2(m_view->FrozenColumn()->viewport()->rect().contains(m_view->FrozenColumn()->visualRect(cur)),
                     step);
            return;
        }
        const QRect cell = m_view->visualRect(cur);
        QVERIFY2(!cell.intersects(frozen), qPrintable(QStringLiteral("%1: column %2 at %3, metre column ends at %4")
                                                          .arg(step)
                                                          .arg(cur.column())
                                                          .arg(cell.left())
                                                          .arg(frozen.right())));
        QVERIFY2(m_view->viewport()->rect().contains(cell), step);
    };
    auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods, const char* step) {
        QTest::keyClick(m_view.get(), key, mods);
        check(step);
    };
    m_view->setCurrentIndex(m_view->model()->index(2, M::ModelColumn(M::ColPotOn)));
    check("start");
    press(Qt::Key_End, Qt::NoModifier, "End");
    QCOMPARE(m_view->currentIndex().column(), M::ModelColumn(M::ColComment));
    QVERIFY(m_view->horizontalScrollBar()->value() > 0);
    press(Qt::Key_Home, Qt::NoModifier, "Home");
    QCOMPARE(m_view->currentIndex().column(), 0);
    QCOMPARE(m_view->horizontalScrollBar()->value(), 0);
    press(Qt::Key_End, Qt::ControlModifier, "Ctrl+End");
    QCOMPARE(m_view->currentIndex(), m_view->model()->index(9, M::ModelColumn(M::ColComment)));
    press(Qt::Key_Home, Qt::ControlModifier, "Ctrl+Home");
    QCOMPARE(m_view->currentIndex(), m_view->model()->index(0, 0));
    QCOMPARE(m_view->horizontalScrollBar()->value(), 0);
    QList<int> visited;
    // Metre, three potentials, three gradients, comment.
    for (int i = 0; i < 7; ++i) {
        press(Qt::Key_Tab, Qt::NoModifier, "Tab");
        visited << m_view->currentIndex().column();
    }
    QCOMPARE(visited.last(), M::ModelColumn(M::ColComment));
    for (int i = 0; i < 7; ++i) press(Qt::Key_Backtab, Qt::NoModifier, "Shift+Tab");
    QCOMPARE(m_view->currentIndex().column(), 0);
    // Scrolling one step sideways moves the first column out whole.
    m_view->setCurrentIndex(m_view->model()->index(0, M::ModelColumn(M::ColPotOn)));
    QCOMPARE(m_view->horizontalScrollBar()->value(), 0);
    m_view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(m_view->horizontalScrollBar()->value() > 0);
    QVERIFY2(HalfCoveredColumns(*m_view).isEmpty(), qPrintable(HalfCoveredColumns(*m_view)));
    m_view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(m_view->horizontalScrollBar()->value(), 0);
    // Whatever offset is asked for, no column is left half covered.
    for (int v = 0; v <= m_view->horizontalScrollBar()->maximum(); v += 3) {
        m_view->horizontalScrollBar()->setValue(v);
        QVERIFY2(HalfCoveredColumns(*m_view).isEmpty(), qPrintable(HalfCoveredColumns(*m_view)));
    }
    if (!qEnvironmentVariableIsEmpty("TRES_SHOTS")) {
        m_view->setCurrentIndex(m_view->model()->index(2, M::ModelColumn(M::ColPotOn)));
        QTest::keyClick(m_view.get(), Qt::Key_End);
        m_view->grab().save(qEnvironmentVariable("TRES_SHOTS") + "/table-end.png");
    }
}

void TestTrePlotView::deleteSelectedRows()
{
    SelectCells(3, 2, 5, 3);
    QCOMPARE(m_view->SelectedRowRange(), (std::pair<int, int>{3, 5}));
    m_view->OnDeleteRows();
    QCOMPARE(m_doc->GetRowCount(), 7);
    QCOMPARE(m_doc->GetMeter(3), 50);
    QVERIFY(m_doc->IsModified());
    QCOMPARE(m_view->model()->rowCount(), 7);
    // A range over hidden columns is still one range for the table.
    SelectCells(2, 5, 2, 11);
    QCOMPARE(m_view->SelectedRowRange(), (std::pair<int, int>{2, 2}));
    // Whole columns mean every row.
    m_view->selectColumn(M::ModelColumn(2));
    QCOMPARE(m_view->SelectedRowRange(), (std::pair<int, int>{1, 7}));
    m_view->OnDeleteRows();
    QCOMPARE(m_doc->GetRowCount(), 0);
}

void TestTrePlotView::deleteKeyClearsCellsOrTakesWholeRows()
{
    // Cells, not whole rows: they are emptied as one step, the rows stay.
    SelectCells(3, 2, 4, 2);
    SelectCells(4, 11, 4, 11, QItemSelectionModel::Select);
    m_doc->SetComment(4, "Schieber");
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(m_doc->GetRowCount(), 10);
    const auto* model = static_cast<const M*>(m_view->model());
    // An absent potential shows blanks only.
    QCOMPARE((QStringList{model->CellText(3, M::ColPotOn).trimmed(), model->CellText(4, M::ColPotOn).trimmed(),
                          model->CellText(4, M::ColComment)}),
             (QStringList{QString(), QString(), QString()}));
    QCOMPARE(m_doc->GetPotOff(3), -959);
    QCOMPARE(QString::fromStdString(m_doc->UndoName()), QString::fromUtf8("Zellen löschen"));
    QVERIFY(m_doc->IsModified());
    QVERIFY(m_doc->Undo());
    QCOMPARE((std::vector<int32_t>{m_doc->GetPotOn(3), m_doc->GetPotOn(4)}), (std::vector<int32_t>{-1170, -1180}));
    QCOMPARE(m_doc->GetComment(4), std::string("Schieber"));
    // The metre places the row: it stays, as when its cell is typed empty.
    SelectCells(5, 1, 5, 1);
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(m_doc->GetMeter(5), 40);
    // Rows chosen at their numbers go, as one step of the history.
    m_view->selectionModel()->select(QItemSelection(m_view->model()->index(2, 0), m_view->model()->index(3, 10)),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QVERIFY(m_view->WholeRowsSelected());
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(m_doc->GetRowCount(), 8);
    QCOMPARE(m_doc->GetMeter(3), 40);
    QCOMPARE(QString::fromStdString(m_doc->UndoName()), QString::fromUtf8("Zeilen löschen"));
    QVERIFY(m_doc->Undo());
    QCOMPARE(m_doc->GetRowCount(), 10);
}

void TestTrePlotView::deleteNeedsExactlyOneRange()
{
    SelectCells(2, 2, 2, 2);
    SelectCells(6, 2, 7, 2, QItemSelectionModel::Select);
    QCOMPARE(m_view->SelectedRowRange(), (std::pair<int, int>{0, 0}));
    m_view->OnDeleteRows();
    QCOMPARE(m_doc->GetRowCount(), 10);
    m_view->clearSelection();
    m_view->OnDeleteRows();
    QCOMPARE(m_doc->GetRowCount(), 10);
    QVERIFY(!m_doc->IsModified());
}

void TestTrePlotView::insertAfterTheCurrentRow()
{
    m_view->selectionModel()->clearCurrentIndex();
    m_view->OnInsertRow();
    QCOMPARE(m_doc->GetRowCount(), 10);
    m_view->setCurrentIndex(m_view->model()->index(9, 3));
    m_view->OnInsertRow();
    QCOMPARE(m_doc->GetRowCount(), 11);
    QCOMPARE(m_doc->GetMeter(11), 0);
    QCOMPARE(m_doc->GetPotOn(11), NO_VALUE);
    QVERIFY(m_doc->IsModified());
    QCOMPARE(m_view->model()->rowCount(), 11);
    QCOMPARE(m_view->currentIndex().row(), 9);
    QVERIFY(!m_view->CanCutCopyPaste());
    QVERIFY(!m_view->OnPreparePrinting());
}

void TestTrePlotView::clipboardKeysAreNotHandled()
{
    m_view->setCurrentIndex(m_view->model()->index(0, 1));
    for (const QKeySequence::StandardKey k : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste}) {
        const QKeyCombination combo = QKeySequence(k)[0];
        QKeyEvent ev(QEvent::KeyPress, combo.key(), combo.keyboardModifiers());
        QCoreApplication::sendEvent(m_view.get(), &ev);
        QVERIFY(!ev.isAccepted());
    }
}

void TestTrePlotView::untouchedEditorStoresNothing()
{
    // Row 1 has a potential of -1150 mV, shown as -1.15; with an absent
    // value the cell shows blanks. Leaving either editor unchanged must
    // not store the shown text.
    m_doc->SetPotOff(1, NO_VALUE);
    m_doc->SetPotOn(1, -1155);
    CCellEditDelegate delegate;
    QWidget parent;
    for (int c : {M::ColPotOn, M::ColPotOff}) {
        const QModelIndex idx = m_view->model()->index(0, M::ModelColumn(c));
        std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), idx));
        delegate.setEditorData(editor.get(), idx);
        delegate.setModelData(editor.get(), m_view->model(), idx);
    }
    QCOMPARE(m_doc->GetPotOn(1), -1155);
    QCOMPARE(m_doc->GetPotOff(1), NO_VALUE);
    QVERIFY(!m_doc->IsModified());
    // Typed text goes in.
    const QModelIndex idx = m_view->model()->index(0, M::ModelColumn(M::ColPotOff));
    std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), idx));
    delegate.setEditorData(editor.get(), idx);
    auto* edit = qobject_cast<QLineEdit*>(editor.get());
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, "-0.9");
    delegate.setModelData(editor.get(), m_view->model(), idx);
    QCOMPARE(m_doc->GetPotOff(1), -900);
    QVERIFY(m_doc->IsModified());
}

void TestTrePlotView::enterGoesDownAndARefusalIsTold()
{
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    const int col = M::ModelColumn(M::ColPotOn);
    m_view->setCurrentIndex(m_view->model()->index(1, col));
    // Typing opens the editor; Enter stores and goes on to the row below.
    auto* edit = TypeIntoCell("-1,25");
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("-1,25"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(m_view->currentIndex(), m_view->model()->index(2, col));
    QCOMPARE(m_doc->GetPotOn(2), -1250);
    QVERIFY(m_view->selectionModel()->isSelected(m_view->currentIndex()));
    // A text that is no number stays out, the cell stays current, and the
    // message comes once the editor has gone.
    edit = TypeIntoCell("-1,2x");
    QVERIFY(edit);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(m_host->m_messages.size(), size_t(1));
    QVERIFY(m_host->m_messages[0].find("\"-1,2x\"") != std::string::npos);
    QCOMPARE(m_view->currentIndex(), m_view->model()->index(2, col));
    QCOMPARE(m_doc->GetPotOn(3), -1150 - 20 % 37);
    // The last row has no row below: Enter stays on it.
    m_view->setCurrentIndex(m_view->model()->index(9, col));
    QTest::keyClick(TypeIntoCell("-1"), Qt::Key_Return);
    QTRY_COMPARE(m_doc->GetPotOn(10), -1000);
    QCOMPARE(m_view->currentIndex().row(), 9);
}

void TestTrePlotView::documentUpdatesReachTheTable()
{
    // Rows that the document gains or loses elsewhere (sort, append,
    // add constant) arrive with the next update of all views.
    m_doc->InsertRowAfter(10);
    m_doc->UpdateAllViews();
    QCOMPARE(m_view->model()->rowCount(), 11);
    m_doc->DeleteRows(1, 4);
    m_doc->UpdateAllViews();
    QCOMPARE(m_view->model()->rowCount(), 7);
    QCOMPARE(m_view->model()->index(0, 0).data().toString(), QStringLiteral("    40  "));
}

// Dark pixels (the header's text) in the header strip between view x0 and x1.
static int HeaderInk(CTrePlotView& view, int x0, int x1)
{
    const QImage img = view.grab().toImage();
    const int top = view.frameWidth();
    int ink = 0;
    for (int y = top; y < top + view.horizontalHeader()->height(); ++y)
        for (int x = std::max(0, x0); x < std::min(img.width(), x1); ++x) ink += qGray(img.pixel(x, y)) < 96;
    return ink;
}

void TestTrePlotView::spanningHeaderWordStaysReadable()
{
    for (int i = 0; i < 20; ++i) m_doc->InsertRowAfter(10);
    m_doc->m_bTableIRFree = true;
    m_doc->UpdateAllViews();
    m_view->resize(300, 200);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    // The "Potential" cell over its three columns, in view coordinates.
    const int left = m_view->viewport()->x();
    const auto groupRight = [&] {
        const int last = M::ModelColumn(M::ColPotIRFree);
        return left + m_view->columnViewportPosition(last) + m_view->columnWidth(last);
    };
    const int whole
        = HeaderInk(*m_view, left + m_view->columnViewportPosition(M::ModelColumn(M::ColPotOn)), groupRight());
    QVERIFY(whole > 20);
    // One column on, the first column lies under the metre column; the word
    // moves into the two columns that show, whole.
    m_view->horizontalScrollBar()->setValue(m_view->columnWidth(M::ModelColumn(M::ColPotOn)));
    QCOMPARE(m_view->columnViewportPosition(M::ModelColumn(M::ColPotOff)), m_view->columnWidth(0));
    const int shown = HeaderInk(*m_view, left + m_view->columnWidth(0), groupRight());
    QVERIFY2(shown * 10 >= whole * 9, qPrintable(QStringLiteral("%1 of %2").arg(shown).arg(whole)));

    // Another survey opens at its first row and column.
    m_view->verticalScrollBar()->setValue(5);
    m_view->OnInitialUpdate();
    QCOMPARE(m_view->horizontalScrollBar()->value(), 0);
    QCOMPARE(m_view->verticalScrollBar()->value(), 0);
}

QTEST_MAIN(TestTrePlotView)
#include "tst_tableview.moc"
