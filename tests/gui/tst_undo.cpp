// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo in the main window: the menu and toolbar follow the history,
// the title's modified mark follows a save, and every kind of edit the user
// can make through the window is taken back to the same file and done again.
#include "addconstdlg.h"
#include "errorlistdlg.h"
#include "framefixture.h"
#include "headerbar.h"
#include "mainframe.h"
#include "tablemodel.h"
#include "tableview.h"
#include "tredoc.h"
#include "tresapp.h"
#include "tsdfile.h"
#include "uiseam.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <fstream>
#include <functional>

namespace {

class CAnsweringSeam : public CUiSeam {
public:
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QMessageBox::StandardButton Question(QWidget*, const QString&, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        return QMessageBox::No;
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }

    QStringList openAnswers, messages;
};

// Metres out of order, so sort and reverse move rows.
void WriteSurvey(const QString& path, const std::vector<int>& metres)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (size_t i = 0; i < metres.size(); ++i)
        out << metres[i] << ";-1.2" << i << ";-0.9" << i << ";10;2;;;Punkt " << i << "\r\n";
}

template <typename Fn> void OnNextModal(Fn fn)
{
    QTimer::singleShot(0, [fn] {
        if (QWidget* w = QApplication::activeModalWidget()) fn(w);
    });
}

QString Plain(const QAction* a) { return QString(a->text()).remove(QLatin1Char('&')); }

} // namespace

class TestUndo : public QObject, protected CFrameFixture<CAnsweringSeam> {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuAndToolbarFollowTheHistory();
    void modifiedMarkThroughSaveEditUndo();

    void cellEditThroughTheTable();
    void insertAndDeleteRowsThroughTheTable();
    void sortAndReverse();
    void addConstantThroughItsDialog();
    void appendAFile();
    void errorListThroughItsDialog();
    void headerFieldsAndCriterion();
    void tableOptions();

private:
    // The survey as the next save would write it, date and QM filler fixed.
    std::string Saved() { return CTsdWriter(*m_doc).BuildText("01.02.26", "<QM>"); }
    void OpenSurvey(const std::vector<int>& metres = {20, 0, 10, 30})
    {
        const QString path = m_files.filePath("s.tsd");
        WriteSurvey(path, metres);
        QVERIFY(Frame().OpenDocumentFile(path));
    }
    // `edit` changes the survey through the window; undo must bring back the
    // file it had before, redo the file after.
    void RoundTrip(const QString& name, const std::function<void()>& edit)
    {
        CMainFrame& f = Frame();
        const std::string before = Saved();
        edit();
        const std::string after = Saved();
        QVERIFY2(after != before, qPrintable(name));
        QCOMPARE(Plain(f.Action(CMainFrame::ID_EDIT_UNDO)), QString::fromUtf8("Rückgängig: ") + name);
        f.Action(CMainFrame::ID_EDIT_UNDO)->trigger();
        QVERIFY(Saved() == before);
        QCOMPARE(Plain(f.Action(CMainFrame::ID_EDIT_REDO)), QString::fromUtf8("Wiederherstellen: ") + name);
        f.Action(CMainFrame::ID_EDIT_REDO)->trigger();
        QVERIFY(Saved() == after);
        // the table shows the rows the document has
        QCOMPARE(f.TableView()->PlotModel()->rowCount(), m_doc->GetRowCount());
    }
};

void TestUndo::init() { InitFrame(); }

void TestUndo::cleanup() { CleanupFrame(); }

void TestUndo::menuAndToolbarFollowTheHistory()
{
    CMainFrame& f = Frame();
    QAction* undo = f.Action(CMainFrame::ID_EDIT_UNDO);
    QAction* redo = f.Action(CMainFrame::ID_EDIT_REDO);
    QVERIFY(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    // first in "Bearbeiten", and on the toolbar
    QMenu* edit = nullptr;
    for (QAction* m : f.menuBar()->actions())
        if (m->text() == "&Bearbeiten") edit = m->menu();
    QVERIFY(edit);
    QCOMPARE(edit->actions().value(0), undo);
    QCOMPARE(edit->actions().value(1), redo);
    auto* toolbar = f.findChild<QToolBar*>("toolbar");
    QVERIFY(toolbar->actions().contains(undo));
    QWidget* undoButton = toolbar->widgetForAction(undo);
    QVERIFY(undoButton);

    OpenSurvey();
    QCOMPARE(undo->text(), QString::fromUtf8("&Rückgängig"));
    QCOMPARE(redo->text(), QString("&Wiederherstellen"));
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    QVERIFY(!undoButton->isEnabled());

    f.Action(CMainFrame::ID_SORT)->trigger();
    QCOMPARE(undo->text(), QString::fromUtf8("&Rückgängig: Sortieren"));
    QCOMPARE(undo->toolTip(), QString::fromUtf8("Rückgängig: Sortieren"));
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
    QVERIFY(undoButton->isEnabled());

    QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_doc->GetMeter(1), 20);
    QCOMPARE(undo->text(), QString::fromUtf8("&Rückgängig"));
    QVERIFY(!undo->isEnabled() && !undoButton->isEnabled());
    QCOMPARE(redo->text(), QString("&Wiederherstellen: Sortieren"));
    QCOMPARE(redo->toolTip(), QString("Wiederherstellen: Sortieren"));

    QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_doc->GetMeter(1), 0);
    QVERIFY(!redo->isEnabled());
    QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&f, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_doc->GetMeter(1), 0);

    // New starts over
    f.OnFileNew();
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
}

void TestUndo::modifiedMarkThroughSaveEditUndo()
{
    CMainFrame& f = Frame();
    OpenSurvey();
    QVERIFY(!f.isWindowModified());
    QVERIFY(f.windowTitle().contains("[*]"));
    CTrePlotModel* model = f.TableView()->PlotModel();
    QVERIFY(model->setData(model->index(0, 1), "-1.5"));
    QVERIFY(f.isWindowModified());
    QVERIFY(f.OnFileSave());
    QVERIFY(!f.isWindowModified());
    const std::string saved = Saved();

    QVERIFY(model->setData(model->index(1, 1), "-1.6"));
    QVERIFY(f.isWindowModified());
    f.Action(CMainFrame::ID_EDIT_UNDO)->trigger();
    QVERIFY(!f.isWindowModified());
    QVERIFY(Saved() == saved);
    f.Action(CMainFrame::ID_EDIT_UNDO)->trigger(); // behind the save
    QVERIFY(f.isWindowModified());
    f.Action(CMainFrame::ID_EDIT_REDO)->trigger();
    QVERIFY(!f.isWindowModified());
    f.Action(CMainFrame::ID_EDIT_REDO)->trigger(); // past it
    QVERIFY(f.isWindowModified());
}

void TestUndo::cellEditThroughTheTable()
{
    OpenSurvey();
    CTrePlotModel* model = Frame().TableView()->PlotModel();
    RoundTrip("Zelle bearbeiten", [&] { QVERIFY(model->setData(model->index(2, 1), "-1.75")); });
    QCOMPARE(model->data(model->index(2, 1)).toString().trimmed(), QString("-1.75"));
    RoundTrip("Zelle bearbeiten", [&] { QVERIFY(model->setData(model->index(0, 10), "Muffe")); });
}

void TestUndo::insertAndDeleteRowsThroughTheTable()
{
    CMainFrame& f = Frame();
    OpenSurvey();
    CTrePlotView* table = f.TableView();
    f.SetActivePane(1);
    table->setCurrentIndex(table->PlotModel()->index(1, 0));
    RoundTrip(QString::fromUtf8("Zeilen einfügen"), [&] { f.Action(CMainFrame::ID_ROW_INSERT)->trigger(); });
    QCOMPARE(m_doc->GetRowCount(), 5);
    RoundTrip(QString::fromUtf8("Zeilen löschen"), [&] {
        table->selectionModel()->select(
            QItemSelection(table->PlotModel()->index(1, 0), table->PlotModel()->index(3, 0)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        f.Action(CMainFrame::ID_ROW_DELETE)->trigger();
    });
    QCOMPARE(m_doc->GetRowCount(), 2);
}

void TestUndo::sortAndReverse()
{
    CMainFrame& f = Frame();
    OpenSurvey({20, 0, 10, 10, 30});
    RoundTrip("Sortieren", [&] { f.Action(CMainFrame::ID_SORT)->trigger(); });
    RoundTrip("Umkehren", [&] { f.Action(CMainFrame::ID_REVERSE)->trigger(); });
}

void TestUndo::addConstantThroughItsDialog()
{
    CMainFrame& f = Frame();
    OpenSurvey();
    RoundTrip("Konstante addieren", [&] {
        OnNextModal([](QWidget* w) {
            auto* dlg = qobject_cast<CAddConstDlg*>(w);
            QVERIFY(dlg);
            dlg->QuantityList()->setCurrentIndex(2); // Potential Aus
            dlg->ConstantEdit()->setText("-35");
            dlg->accept();
        });
        f.Action(CMainFrame::ID_ADD_CONSTANT)->trigger();
    });
}

void TestUndo::appendAFile()
{
    CMainFrame& f = Frame();
    OpenSurvey();
    const QString more = m_files.filePath("more.tsd");
    WriteSurvey(more, {40, 50});
    RoundTrip(QString::fromUtf8("Anhängen"), [&] {
        m_seam.openAnswers << more;
        f.Action(CMainFrame::ID_FILE_APPEND)->trigger();
        QCOMPARE(m_doc->GetRowCount(), 6);
    });
    f.Action(CMainFrame::ID_EDIT_UNDO)->trigger();
    QCOMPARE(m_doc->GetRowCount(), 4);
    QVERIFY(!f.isWindowModified());
}

void TestUndo::errorListThroughItsDialog()
{
    CMainFrame& f = Frame();
    OpenSurvey();
    RoundTrip("Fehlerlisten-Parameter", [&] {
        OnNextModal([](QWidget* w) {
            auto* dlg = qobject_cast<CErrorListDlg*>(w);
            QVERIFY(dlg);
            dlg->Box(POTA, true)->setText("-0,85");
            dlg->Box(POTA, false)->setText("-1,20");
            dlg->accept();
        });
        f.Action(CMainFrame::ID_ERRORLIST_EDIT)->trigger();
    });
}

void TestUndo::headerFieldsAndCriterion()
{
    CMainFrame& f = Frame();
    OpenSurvey();
    QLineEdit* name = f.HeaderBar()->NameEdit();
    RoundTrip("Kopfdaten", [&] {
        name->setFocus();
        name->end(false);
        QTest::keyClicks(name, " Ost");
    });
    QCOMPARE(name->text(), QString("Nord Ost"));
    f.Action(CMainFrame::ID_EDIT_UNDO)->trigger();
    QCOMPARE(name->text(), QString("Nord")); // one step for the whole typing, shown in the bar

    // The history keys typed in the field reach the document's history, and
    // the field's own undo never records a step that drops the redo.
    QTest::keyClick(name, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(name->text(), QString("Nord Ost"));
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(name->text(), QString("Nord"));
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier); // nothing left to undo
    QCOMPARE(name->text(), QString("Nord"));
    QVERIFY(f.Action(CMainFrame::ID_EDIT_REDO)->isEnabled());
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(name->text(), QString("Nord Ost"));
    QTest::keyClicks(name, "see");
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(name->text(), QString("Nord Ost"));
    QCOMPARE(QString::fromStdString(m_doc->m_header[3]), QString("Nord Ost"));
    QVERIFY(f.Action(CMainFrame::ID_EDIT_REDO)->isEnabled());
    // The field's context menu offers the same two entries.
    std::unique_ptr<QMenu> menu(f.HeaderBar()->CreateFieldMenu(name));
    QCOMPARE(menu->actions().mid(0, 2),
             (QList<QAction*>{f.Action(CMainFrame::ID_EDIT_UNDO), f.Action(CMainFrame::ID_EDIT_REDO)}));
    QVERIFY(menu->actions().value(2)->isSeparator());

    QComboBox* list = f.HeaderBar()->CriterionList();
    RoundTrip("Schutzkriterium", [&] {
        const int i = list->findText("-950 mV");
        list->setCurrentIndex(i);
        emit list->activated(i);
    });
    f.Action(CMainFrame::ID_EDIT_UNDO)->trigger();
    QCOMPARE(list->currentText(), QString("-850 mV"));
}

void TestUndo::tableOptions()
{
    CMainFrame& f = Frame();
    OpenSurvey();
    QAction* lr = f.Action(CMainFrame::ID_TABLE_LR);
    lr->trigger();
    QCOMPARE(Plain(f.Action(CMainFrame::ID_EDIT_UNDO)), QString::fromUtf8("Rückgängig: Tabellenanzeige"));
    QVERIFY(m_doc->m_bTableLR);
    QVERIFY(!f.isWindowModified()); // a display option, as before: nothing to save
    f.Action(CMainFrame::ID_EDIT_UNDO)->trigger();
    QVERIFY(!m_doc->m_bTableLR);
    f.UpdateCommandUI();
    QVERIFY(!lr->isChecked());
}

TRES_GUI_TEST_MAIN(TestUndo)

#include "tst_undo.moc"
