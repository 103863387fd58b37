// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the offscreen platform: placement and its memory,
// header bar, command enabling, the file commands through answered dialogs,
// and the two edit dialogs.
#include "aboutdlg.h"
#include "addconstdlg.h"
#include "curvepane.h"
#include "errorlistdlg.h"
#include "framefixture.h"
#include "headerbar.h"
#include "mainframe.h"
#include "panejob.h"
#include "printrunner.h"
#include "splashwnd.h"
#include "surveyopen.h"
#include "tredoc.h"
#include "tresapp.h"
#include "tresversion.h"
#include "uiseam.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>

#include <fstream>

namespace {

// Answers the program's dialogs from a script.
class CScriptedSeam : public CUiSeam {
public:
    QString OpenFileName(QWidget*, const QString& title, const QString& initial, const QString&,
                         const QString&) override
    {
        openTitles << title;
        openInitial << initial;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString SaveFileName(QWidget*, const QString&, const QString& initial, const QString&, const QString&) override
    {
        saveInitial << initial;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        questions << text;
        return questionAnswers.isEmpty() ? QMessageBox::Cancel : questionAnswers.takeFirst();
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }

    QStringList openAnswers, saveAnswers, openTitles, openInitial, saveInitial, questions, messages;
    QList<QMessageBox::StandardButton> questionAnswers;
};

void WriteSurvey(const QString& path, const std::string& header2, int rows)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n"
        << header2 << "\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int i = 0; i < rows; ++i) out << i * 10 << ";-1.20;-0.90;10;2;;;\r\n";
}

// Runs `fn` on the next modal dialog once it is shown.
template <typename Fn> void OnNextModal(Fn fn)
{
    QTimer::singleShot(0, [fn] {
        QWidget* w = QApplication::activeModalWidget();
        if (w) fn(w);
    });
}

} // namespace

class TestMainFrame : public QObject, protected CFrameFixture<CScriptedSeam> {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstStartPlacementAndStoredValues();
    void closingWritesLayoutOnlyWhenFullyOnScreen();
    void storedLayoutIsUsedNextTime();
    void widenAndShrinkMoveOnlyTheCurveColumn();

    void headerBarBothWays();
    void unknownCriterionIsKeptAsExtraEntry();
    void emptyCriterionIsKeptEmpty();
    void choosingCriterionChangesHeaderAtOnce();
    void typingInHeaderMarksModified();

    void commandsDisabledUntilNew();
    void rowCommandsFollowTheActivePane();
    void tableOptionsToggle();

    void openAskesAboutModifiedDocument();
    void appendKeepsTitleAndDoesNotAsk();
    void saveOfNeverSavedSurveyAsksForAName();
    void failedOpenShowsMessageAndKeepsSurvey();
    void recentFilesRemembered();

    void addConstantDialogRules();
    void addConstantThroughTheApplication();
    void errorListDialogLayouts();
    void errorListOkMarksModifiedOnlyOnChange();

    void splashClosesOnAnyKeyAndOnlyOnce();
    void aboutBoxTexts();
    void qtOwnTextsAreGerman();
    void desktopKeysPrintAndManual();
};

void TestMainFrame::init() { InitFrame(); }

void TestMainFrame::cleanup() { CleanupFrame(); }

void TestMainFrame::firstStartPlacementAndStoredValues()
{
    CMainFrame& f = Frame();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(f.width(), 760);
    QCOMPARE(f.height(), 570);
    QCOMPARE(f.x(), (screen.width() - 760) / 2);
    QCOMPARE(f.y(), (screen.height() - 570) / 2 - 15);
    QCOMPARE(f.OuterSplitter()->sizes().value(0), 320);
    QCOMPARE(f.InnerSplitter()->sizes().value(0), 200);
    auto s = CTresApp::Settings();
    QCOMPARE(s->value("Settings/XWidth").toInt(), 760);
    QCOMPARE(s->value("Settings/YWidth").toInt(), 570);
    QVERIFY(s->contains("Settings/XPos"));
    QVERIFY(s->contains("Settings/YPos"));
    QVERIFY(!s->contains("Settings/SplitX1"));
}

void TestMainFrame::closingWritesLayoutOnlyWhenFullyOnScreen()
{
    CMainFrame& f = Frame();
    f.move(0, 40); // left edge at 0
    QTRY_COMPARE_WITH_TIMEOUT(f.frameGeometry().topLeft(), QPoint(0, 40), 10000);
    f.close();
    QVERIFY(!CTresApp::Settings()->contains("Settings/SplitX1"));
    m_frame.reset();

    CMainFrame& g = Frame();
    g.showMaximized();
    QTRY_VERIFY_WITH_TIMEOUT(g.isMaximized() && g.frameGeometry() == g.screen()->availableGeometry(), 10000);
    g.close();
    QVERIFY(!CTresApp::Settings()->contains("Settings/SplitX1"));
    m_frame.reset();

    CMainFrame& h = Frame();
    h.move(30, 40);
    h.OuterSplitter()->setSizes({250, h.OuterSplitter()->width() - h.OuterSplitter()->handleWidth() - 250});
    QTRY_COMPARE_WITH_TIMEOUT(h.frameGeometry().topLeft(), QPoint(30, 40), 10000);
    h.close();
    auto s = CTresApp::Settings();
    QCOMPARE(s->value("Settings/XPos").toInt(), 30);
    QCOMPARE(s->value("Settings/YPos").toInt(), 40);
    QCOMPARE(s->value("Settings/SplitX1").toInt(), 250);
    QVERIFY(s->contains("Settings/SplitX2"));
    QVERIFY(s->contains("Settings/SplitY1"));
}

void TestMainFrame::storedLayoutIsUsedNextTime()
{
    auto s = CTresApp::Settings();
    s->setValue("Settings/XPos", 12);
    s->setValue("Settings/YPos", 34);
    s->setValue("Settings/XWidth", 700);
    s->setValue("Settings/YWidth", 500);
    s->setValue("Settings/SplitX1", 280);
    s->setValue("Settings/SplitY1", 150);
    s.reset();
    CMainFrame& f = Frame();
    QCOMPARE(f.pos(), QPoint(12, 34));
    QCOMPARE(f.size(), QSize(700, 500));
    QCOMPARE(f.OuterSplitter()->sizes().value(0), 280);
    QCOMPARE(f.InnerSplitter()->sizes().value(0), 150);
}

void TestMainFrame::widenAndShrinkMoveOnlyTheCurveColumn()
{
    CMainFrame& f = Frame();
    const int table = f.OuterSplitter()->sizes().value(1);
    f.resize(f.width() + 100, f.height());
    QTRY_COMPARE_WITH_TIMEOUT(f.OuterSplitter()->sizes().value(0), 420, 10000);
    QCOMPARE(f.OuterSplitter()->sizes().value(1), table);
    f.resize(f.width() - 500, f.height());
    QTRY_COMPARE_WITH_TIMEOUT(f.OuterSplitter()->sizes().value(0), 10, 10000);
}

void TestMainFrame::headerBarBothWays()
{
    CMainFrame& f = Frame();
    const QString path = m_files.filePath("h.tsd");
    WriteSurvey(path, "-950 mV", 3);
    QVERIFY(f.OpenDocumentFile(path));
    CHeaderBar* bar = f.HeaderBar();
    QCOMPARE(bar->NameEdit()->text(), QString("Nord"));
    QCOMPARE(bar->NumberEdit()->text(), QString("42"));
    QCOMPARE(bar->DateEdit()->text(), QString("01.02.26"));
    QCOMPARE(bar->TextEdit()->text(), QString("Bem"));
    QCOMPARE(bar->CriterionList()->currentText(), QString("-950 mV"));
    QVERIFY(f.HeaderToolBar()->isVisible());

    bar->NameEdit()->setText("Süd");
    bar->TextEdit()->setText("neu");
    QCOMPARE(m_doc->m_header[3], std::string("Nord")); // only at the next save or print
    const QString saved = m_files.filePath("h2.tsd");
    m_seam.saveAnswers << saved;
    QVERIFY(f.OnFileSaveAs());
    QCOMPARE(m_doc->m_header[3], std::string("Süd"));
    QCOMPARE(m_doc->m_header[7], std::string("neu"));
    QCOMPARE(m_doc->m_header[2], std::string("-950 mV"));

    // a prefix of a list entry selects that entry
    m_doc->m_header[2] = "-80";
    f.DocToHeaderBar(*m_doc);
    QCOMPARE(bar->CriterionList()->currentText(), QString("-800 mV"));
    QCOMPARE(bar->CriterionList()->count(), 6);
}

void TestMainFrame::unknownCriterionIsKeptAsExtraEntry()
{
    CMainFrame& f = Frame();
    const QString path = m_files.filePath("c.tsd");
    WriteSurvey(path, "-1000 mV (Sonder)", 2);
    QVERIFY(f.OpenDocumentFile(path));
    QComboBox* list = f.HeaderBar()->CriterionList();
    QCOMPARE(list->count(), 7);
    QCOMPARE(list->currentText(), QString("-1000 mV (Sonder)"));
    const QString out = m_files.filePath("c2.tsd");
    QVERIFY(m_doc->OnSaveDocument(out.toStdString()));
    CTreDoc back;
    QVERIFY(tresimport::OpenSurvey(back, out.toStdString()));
    QCOMPARE(back.m_header[2], std::string("-1000 mV (Sonder)"));
    // the next survey does not inherit the extra entry
    WriteSurvey(path, "-850 mV", 2);
    QVERIFY(f.OpenDocumentFile(path));
    QCOMPARE(list->count(), 6);
}

void TestMainFrame::emptyCriterionIsKeptEmpty()
{
    // Every entry of the list begins with nothing: the first one, -650 mV,
    // once stood in for a survey without a criterion and was saved with it.
    CMainFrame& f = Frame();
    const QString path = m_files.filePath("e.tsd");
    WriteSurvey(path, "", 2);
    QVERIFY(f.OpenDocumentFile(path));
    QComboBox* list = f.HeaderBar()->CriterionList();
    QCOMPARE(list->currentText(), QString());
    const QString out = m_files.filePath("e2.tsd");
    QVERIFY(m_doc->OnSaveDocument(out.toStdString()));
    CTreDoc back;
    QVERIFY(tresimport::OpenSurvey(back, out.toStdString()));
    QCOMPARE(back.m_header[2], std::string());
    // The empty entry goes with its survey.
    WriteSurvey(path, "-850 mV", 2);
    QVERIFY(f.OpenDocumentFile(path));
    QCOMPARE(list->count(), 6);
    QCOMPARE(list->currentText(), QString("-850 mV"));
}

void TestMainFrame::choosingCriterionChangesHeaderAtOnce()
{
    CMainFrame& f = Frame();
    f.OnFileNew();
    QComboBox* list = f.HeaderBar()->CriterionList();
    const int i = list->findText("-850 mV");
    list->setCurrentIndex(i);
    emit list->activated(i);
    QCOMPARE(m_doc->m_header[2], std::string("-850 mV"));
    QVERIFY(m_doc->IsModified());
}

void TestMainFrame::typingInHeaderMarksModified()
{
    CMainFrame& f = Frame();
    f.OnFileNew();
    QVERIFY(!m_doc->IsModified());
    QTest::keyClicks(f.HeaderBar()->NameEdit(), "Leitung");
    QVERIFY(m_doc->IsModified());
    // and closing asks
    m_seam.questionAnswers << QMessageBox::Cancel;
    QVERIFY(!f.close());
    QCOMPARE(m_seam.questions.size(), 1);
}

void TestMainFrame::commandsDisabledUntilNew()
{
    CMainFrame& f = Frame();
    for (int id : {CMainFrame::ID_FILE_APPEND, CMainFrame::ID_FILE_SAVE, CMainFrame::ID_FILE_SAVE_AS,
                   CMainFrame::ID_SORT, CMainFrame::ID_REVERSE, CMainFrame::ID_ADD_CONSTANT,
                   CMainFrame::ID_ERRORLIST_EDIT, CMainFrame::ID_TABLE_IRFREE, CMainFrame::ID_TABLE_LR})
        QVERIFY2(!f.Action(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(f.Action(CMainFrame::ID_FILE_NEW)->isEnabled());
    QVERIFY(f.Action(CMainFrame::ID_FILE_OPEN)->isEnabled());
    f.OnFileNew();
    for (int id : {CMainFrame::ID_FILE_APPEND, CMainFrame::ID_FILE_SAVE, CMainFrame::ID_SORT,
                   CMainFrame::ID_ERRORLIST_EDIT, CMainFrame::ID_TABLE_LR})
        QVERIFY(f.Action(id)->isEnabled());
    for (int id :
         {CMainFrame::ID_EDIT_CUT, CMainFrame::ID_EDIT_COPY, CMainFrame::ID_EDIT_PASTE, CMainFrame::ID_GRAPHIC_IRFREE})
        QVERIFY(!f.Action(id)->isEnabled());
    QCOMPARE(m_doc->GetRowCount(), 1);
    QCOMPARE(f.windowTitle(), QString("Unbenannt[*] - Tresmon"));
}

void TestMainFrame::rowCommandsFollowTheActivePane()
{
    CMainFrame& f = Frame();
    f.OnFileNew();
    f.SetActivePane(0);
    QVERIFY(!f.Action(CMainFrame::ID_ROW_INSERT)->isEnabled());
    f.OnNextPane(); // lower curves
    QCOMPARE(f.ActivePane(), 2);
    f.OnNextPane(); // table
    QCOMPARE(f.ActivePane(), 1);
    QVERIFY(f.Action(CMainFrame::ID_ROW_INSERT)->isEnabled());
    QVERIFY(f.Action(CMainFrame::ID_ROW_DELETE)->isEnabled());
    f.Action(CMainFrame::ID_ROW_INSERT)->trigger();
    QCOMPARE(m_doc->GetRowCount(), 2);
    f.OnNextPane(true);
    QCOMPARE(f.ActivePane(), 2);
}

void TestMainFrame::tableOptionsToggle()
{
    CMainFrame& f = Frame();
    f.OnFileNew();
    QVERIFY(f.Action(CMainFrame::ID_TABLE_IRFREE)->isChecked());
    f.Action(CMainFrame::ID_TABLE_IRFREE)->trigger();
    QVERIFY(!m_doc->m_bTableIRFree);
    QVERIFY(!f.Action(CMainFrame::ID_TABLE_IRFREE)->isChecked());
    f.Action(CMainFrame::ID_TABLE_LR)->trigger();
    QVERIFY(m_doc->m_bTableLR);
    QVERIFY(f.Action(CMainFrame::ID_TABLE_LR)->isChecked());
    f.Action(CMainFrame::ID_VIEW_HEADER)->trigger();
    QVERIFY(f.HeaderToolBar()->isHidden());
    QVERIFY(!f.Action(CMainFrame::ID_VIEW_HEADER)->isChecked());
}

void TestMainFrame::openAskesAboutModifiedDocument()
{
    CMainFrame& f = Frame();
    f.OnFileNew();
    m_doc->SetModifiedFlag();
    const QString path = m_files.filePath("o.tsd");
    WriteSurvey(path, "-850 mV", 5);
    m_seam.openAnswers << path;
    m_seam.questionAnswers << QMessageBox::Cancel;
    f.OnFileOpen();
    QCOMPARE(m_seam.questions.size(), 1);
    QCOMPARE(m_doc->GetRowCount(), 1); // cancelled: nothing opened
    m_seam.openAnswers << path;
    m_seam.questionAnswers << QMessageBox::No;
    f.OnFileOpen();
    QCOMPARE(m_doc->GetRowCount(), 5);
    QCOMPARE(f.windowTitle(), QString("o.tsd[*] - Tresmon"));
    QCOMPARE(CTresApp::Get()->m_strLastFilePath, path);
    QCOMPARE(m_seam.openTitles.last(), QString("Öffnen"));
}

void TestMainFrame::appendKeepsTitleAndDoesNotAsk()
{
    CMainFrame& f = Frame();
    const QString a = m_files.filePath("a.tsd"), b = m_files.filePath("b.tsd");
    WriteSurvey(a, "-850 mV", 2);
    WriteSurvey(b, "-950 mV", 3);
    QVERIFY(f.OpenDocumentFile(a));
    m_doc->SetModifiedFlag();
    m_seam.openAnswers << b;
    f.OnFileAppend();
    QCOMPARE(m_seam.questions.size(), 0);
    QCOMPARE(m_seam.openTitles.last(), QString("Anhängen"));
    QCOMPARE(m_seam.openInitial.last(), QString());
    QCOMPARE(m_doc->GetRowCount(), 5);
    QCOMPARE(f.windowTitle(), QString("a.tsd[*] - Tresmon"));
    QCOMPARE(m_doc->m_header[2], std::string("-850 mV"));
    QVERIFY(m_doc->IsModified());
}

void TestMainFrame::saveOfNeverSavedSurveyAsksForAName()
{
    CMainFrame& f = Frame();
    f.OnFileNew();
    m_seam.saveAnswers << QString(); // cancelled
    QVERIFY(!f.OnFileSave());
    QCOMPARE(m_seam.saveInitial.size(), 1);
    const QString path = m_files.filePath("neu.tsd");
    m_seam.saveAnswers << path;
    QVERIFY(f.OnFileSave());
    QVERIFY(QFile::exists(path));
    QCOMPARE(QString::fromStdString(m_doc->GetPathName()), path);
    QVERIFY(m_seam.messages.isEmpty());
    // now it has a name: no dialog
    QVERIFY(f.OnFileSave());
    QCOMPARE(m_seam.saveInitial.size(), 2);
    // Another logger's export keeps its bytes: saving asks for a survey name.
    const QString csv = m_files.filePath("export.csv");
    const std::string bytes = "Station;Ein;Aus\r\n0;-1,20;-0,95\r\n1;-1,21;-0,96\r\n";
    std::ofstream(csv.toStdString(), std::ios::binary) << bytes;
    QVERIFY(f.OpenDocumentFile(csv));
    f.OnFileSave(); // cancelled
    QCOMPARE(m_seam.saveInitial.size(), 3);
    QCOMPARE(m_seam.saveInitial.last(), m_files.filePath("export.tsd"));
    QFile back(csv);
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll().toStdString(), bytes);

    // What the handheld's format cannot hold is said before it is lost.
    const QString gps = m_files.filePath("gps.csv"), kept = m_files.filePath("gps.tsd");
    std::ofstream(gps.toStdString(), std::ios::binary)
        << "Station;Ein;Aus;Lat;Lon\r\n0;-1,20;-0,95;48,0;9,0\r\n1;-1,21;-0,96;48,0;9,0000134\r\n";
    QVERIFY(f.OpenDocumentFile(gps));
    m_seam.saveAnswers << kept;
    m_seam.questionAnswers << QMessageBox::Cancel;
    QVERIFY(!f.OnFileSave());
    QCOMPARE(m_seam.questions.last(), QString("GPS-Positionen nicht gespeichert: als GeoJSON exportieren?"));
    QVERIFY(!QFile::exists(kept));
    m_seam.saveAnswers << kept;
    m_seam.questionAnswers << QMessageBox::No;
    QVERIFY(f.OnFileSave());
    QVERIFY(QFile::exists(kept));
}

void TestMainFrame::failedOpenShowsMessageAndKeepsSurvey()
{
    CMainFrame& f = Frame();
    const QString a = m_files.filePath("gut.tsd");
    WriteSurvey(a, "-850 mV", 4);
    QVERIFY(f.OpenDocumentFile(a));
    QVERIFY(!f.OpenDocumentFile(m_files.filePath("fehlt.tsd")));
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].contains("nicht gefunden"));
    QCOMPARE(m_doc->GetRowCount(), 4);
    QCOMPARE(f.windowTitle(), QString("gut.tsd[*] - Tresmon"));
}

void TestMainFrame::recentFilesRemembered()
{
    CMainFrame& f = Frame();
    for (int i = 0; i < 10; ++i) {
        const QString p = m_files.filePath(QString("r%1.tsd").arg(i));
        WriteSurvey(p, "-850 mV", 1);
        QVERIFY(f.OpenDocumentFile(p));
    }
    const QStringList recent = CTresApp::Get()->RecentFiles();
    QCOMPARE(recent.size(), 8);
    QCOMPARE(recent.first(), m_files.filePath("r9.tsd"));
}

void TestMainFrame::addConstantDialogRules()
{
    CAddConstDlg dlg;
    QCOMPARE(dlg.ConstantLabel()->text(), QString("Konstante [m] :"));
    dlg.QuantityList()->setCurrentIndex(2);
    QCOMPARE(dlg.ConstantLabel()->text(), QString("Konstante [mV] :"));
    QCOMPARE(dlg.Quantity(), EAddQuantity::PotOff);
    dlg.QuantityList()->setCurrentIndex(0);
    QCOMPARE(dlg.ConstantLabel()->text(), QString("Konstante [m] :"));

    dlg.StartEdit()->setText("1000000");
    dlg.accept();
    QCOMPARE(dlg.result(), int(QDialog::Rejected)); // still open
    QCOMPARE(m_seam.messages.last(), QString("Geben Sie bitte eine ganze Zahl zwischen 0 und 999999 ein."));
    dlg.StartEdit()->setText("5");
    dlg.EndEdit()->setText("-1");
    dlg.accept();
    QCOMPARE(m_seam.messages.last(), QString("Geben Sie bitte eine ganze Zahl zwischen 0 und 999999 ein."));
    dlg.StartEdit()->setText("5");
    dlg.EndEdit()->setText("50");
    dlg.ConstantEdit()->setText("zwölf");
    dlg.accept();
    QCOMPARE(m_seam.messages.last(), QString("Geben Sie bitte eine ganze Zahl ein."));
    dlg.ConstantEdit()->setText("-12");
    dlg.accept();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.Start(), 5);
    QCOMPARE(dlg.End(), 50);
    QCOMPARE(dlg.Constant(), -12);
}

void TestMainFrame::addConstantThroughTheApplication()
{
    CMainFrame& f = Frame();
    const QString path = m_files.filePath("k.tsd");
    WriteSurvey(path, "-850 mV", 4); // metres 0, 10, 20, 30
    QVERIFY(f.OpenDocumentFile(path));
    OnNextModal([](QWidget* w) {
        auto* dlg = qobject_cast<CAddConstDlg*>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->StartEdit()->text(), QString("0"));
        QCOMPARE(dlg->EndEdit()->text(), QString("30"));
        dlg->QuantityList()->setCurrentIndex(1); // Potential Ein
        dlg->StartEdit()->setText("10");
        dlg->EndEdit()->setText("20");
        dlg->ConstantEdit()->setText("-20");
        dlg->accept();
    });
    f.Action(CMainFrame::ID_ADD_CONSTANT)->trigger();
    QCOMPARE(m_doc->GetPotOn(1), -1200);
    QCOMPARE(m_doc->GetPotOn(2), -1220);
    QCOMPARE(m_doc->GetPotOn(3), -1220);
    QVERIFY(m_doc->IsModified());
}

void TestMainFrame::errorListDialogLayouts()
{
    CErrorListDlg mean(false);
    QVERIFY(!mean.Group(0)->isHidden());
    QVERIFY(!mean.Group(1)->isHidden());
    QVERIFY(mean.Group(2)->isHidden());
    QVERIFY(mean.Group(3)->isHidden());
    CErrorListDlg lr(true);
    QVERIFY(lr.Group(1)->isHidden());
    QVERIFY(!lr.Group(2)->isHidden());
    QVERIFY(lr.height() > mean.height());
    // the buttons sit below the remaining groups
    mean.show();
    QVERIFY(mean.ClearButton()->geometry().top() > mean.Group(0)->geometry().bottom());

    LimitBoxTexts t;
    t[UEINL] = "5";
    t[POTA] = "-1.20";
    mean.SetTexts(t);
    QCOMPARE(mean.Box(UEINL, true)->text(), QString("5")); // hidden boxes keep their values
    mean.OnClear();
    QCOMPARE(mean.Box(UEINL, true)->text(), QString());
    QCOMPARE(mean.Box(POTA, true)->text(), QString());
}

void TestMainFrame::errorListOkMarksModifiedOnlyOnChange()
{
    CMainFrame& f = Frame();
    f.OnFileNew();
    auto enter = [](const QString& max, const QString& min) {
        OnNextModal([max, min](QWidget* w) {
            auto* dlg = qobject_cast<CErrorListDlg*>(w);
            QVERIFY(dlg);
            dlg->Box(POTE, true)->setText(max);
            dlg->Box(POTE, false)->setText(min);
            dlg->accept();
        });
    };
    enter("-0,85", "-1,20");
    f.Action(CMainFrame::ID_ERRORLIST_EDIT)->trigger();
    QCOMPARE(m_doc->m_limits[POTE], -1200);
    QCOMPARE(m_doc->m_limits[POTE + 12], -850);
    QVERIFY(m_doc->IsModified());
    m_doc->SetModifiedFlag(false);
    OnNextModal([](QWidget* w) {
        auto* dlg = qobject_cast<CErrorListDlg*>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->Box(POTE, true)->text(), QString("-1.20"));
        dlg->accept();
    });
    f.Action(CMainFrame::ID_ERRORLIST_EDIT)->trigger();
    QVERIFY(!m_doc->IsModified());
}

void TestMainFrame::splashClosesOnAnyKeyAndOnlyOnce()
{
    CMainFrame& f = Frame();
    QVERIFY(!CSplashWnd::Current()); // tests start without it
    CSplashWnd::ShowSplashScreen(&f, true);
    QPointer<CSplashWnd> splash = CSplashWnd::Current();
    QVERIFY(splash);
    QCOMPARE(splash->size(), QSize(480, 270));
    QTest::keyClick(f.HeaderBar()->NameEdit(), Qt::Key_A);
    QTRY_VERIFY(!splash);
    QCOMPARE(f.HeaderBar()->NameEdit()->text(), QString()); // the key only closed the splash
    CSplashWnd::ShowSplashScreen(&f, true);
    QVERIFY(!CSplashWnd::Current());
}

void TestMainFrame::aboutBoxTexts()
{
    CAboutDlg dlg;
    QCOMPARE(dlg.windowTitle(), QString("Info über Tresmon 3.0"));
    auto* version = dlg.findChild<QLabel*>("version");
    QVERIFY(version);
    // The project's one version, as --version and the packages give it.
    QCOMPARE(version->text(), QStringLiteral("Version " TRES_VERSION));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(TRES_VERSION));
}

void TestMainFrame::qtOwnTextsAreGerman()
{
    // Buttons, context menus and dialogs that Qt makes itself.
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes | QDialogButtonBox::No);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString("Abbrechen"));
    QCOMPARE(box.button(QDialogButtonBox::Yes)->text().remove('&'), QString("Ja"));
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text().section('\t', 0, 0).remove('&');
    QVERIFY2(texts.contains("Rückgängig") && texts.contains("Einfügen") && !texts.contains("Paste"),
             qPrintable(texts.join(", ")));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QString("Suchen in:"));
    QCOMPARE(QCoreApplication::translate("QPrintPreviewDialog", "Print"), QString("Drucken"));
}

namespace {

// Records which printout a print was asked for, and prints nothing.
class CKindRunner : public CPrintRunner {
public:
    int Print(QWidget*, QPrinter&, IPrintHooks& hooks, const QString&, const OverwriteCheck&) override
    {
        kinds << static_cast<CPanePrintJob&>(hooks).Kind();
        return 1;
    }
    QList<EPrintKind> kinds;
};

// The entries of one menu, without their mnemonics.
QStringList MenuTexts(QMainWindow& w, const QString& menu)
{
    QStringList out;
    for (QAction* m : w.menuBar()->actions())
        if (m->text() == menu)
            for (QAction* a : m->menu()->actions())
                if (!a->isSeparator()) out << a->text().remove(QLatin1Char('&'));
    return out;
}

} // namespace

void TestMainFrame::desktopKeysPrintAndManual()
{
    CMainFrame& f = Frame();
    const struct {
        int id;
        QKeySequence key;
    } keys[] = {{CMainFrame::ID_FILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)},
                {CMainFrame::ID_FILE_SAVE_AS, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
                {CMainFrame::ID_FILE_PRINT, QKeySequence(Qt::CTRL | Qt::Key_P)},
                {CMainFrame::ID_APP_EXIT, QKeySequence(Qt::CTRL | Qt::Key_Q)},
                {CMainFrame::ID_HELP_MANUAL, QKeySequence(Qt::Key_F1)}};
    for (const auto& k : keys) QCOMPARE(f.Action(k.id)->shortcut(), k.key);
    // No key is taken twice: Qt would then do neither.
    QList<QKeySequence> taken;
    for (const QAction* a : f.findChildren<QAction*>())
        for (const QKeySequence& k : a->shortcuts()) {
            QVERIFY2(!taken.contains(k), qPrintable(k.toString()));
            taken << k;
        }
    // Ctrl+P prints at once: from the table, the table's printout.
    const QString survey = m_files.filePath(QStringLiteral("d.tsd"));
    WriteSurvey(survey, "-850 mV", 5);
    QVERIFY(f.OpenDocumentFile(survey));
    CKindRunner runner;
    CPrintRunner::Install(&runner);
    f.SetActivePane(1);
    QTest::keyClick(&f, Qt::Key_P, Qt::ControlModifier);
    f.SetActivePane(2);
    f.Action(CMainFrame::ID_FILE_PRINT)->trigger();
    CPrintRunner::Install(nullptr);
    QCOMPARE(runner.kinds, (QList<EPrintKind>{EPrintKind::Table, EPrintKind::Graphic}));
    QVERIFY(MenuTexts(f, "&Datei").contains("Drucken"));

    // "?" > "Handbuch" (F1): a message when the manual is not where it
    // belongs, else the page made from the manual page, in a window of ours.
    QVERIFY(MenuTexts(f, "&?").contains("Handbuch"));
    const QString folder = CTresApp::Get()->m_strProgramFolder;
    CTresApp::Get()->m_strProgramFolder = m_files.path();
    QTest::keyClick(&f, Qt::Key_F1);
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].startsWith(QString::fromUtf8("Das Handbuch wurde nicht gefunden")));
    CTresApp::Get()->m_strProgramFolder = QStringLiteral(TRESMON_DIR);
    QTest::keyClick(&f, Qt::Key_F1);
    CTresApp::Get()->m_strProgramFolder = folder;
    auto* manual = f.findChild<QTextBrowser*>();
    QVERIFY(manual);
    QTRY_VERIFY(manual->isVisible());
    QVERIFY(manual->window() != &f);
    const QString text = manual->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("BESCHREIBUNG")) && text.contains(QStringLiteral("Bewertung")),
             qPrintable(text.left(300)));
    QCOMPARE(m_seam.messages.size(), 1);
}

TRES_GUI_TEST_MAIN(TestMainFrame)

#include "tst_mainframe.moc"
