// SPDX-License-Identifier: GPL-3.0-or-later
// The "Bewertung" window in the main window on the offscreen platform: its
// criterion, bar, summary and lists for a small hand-made survey, assessing
// again after a cell edit and a field's edit, wrong input refused, the
// settings kept for the survey and as the defaults when saved, a native comparison survey serving the 100 mV criterion, a
// double click that shows the place in table and curves, the menu entries,
// the curve marks with their legend, and the report entry.
#include "assesswnd.h"
#include "curvepainter.h"
#include "curvepane.h"
#include "framefixture.h"
#include "headerbar.h"
#include "mainframe.h"
#include "surveysession.h"
#include "tablemodel.h"
#include "tableview.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"
#include "verdictbar.h"
#include "verdictlegend.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <fstream>

namespace {

using EList = CAssessListModel::EList;

class CScriptedSeam : public CUiSeam {
public:
    QString SaveFileName(QWidget*, const QString&, const QString& initial, const QString&, const QString&) override
    {
        saveInitial << initial;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        questions << text;
        return QMessageBox::No;
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }
    bool ReportRequest(QWidget*, SReportRequest&) override { return true; }

    QStringList saveAnswers, saveInitial, questions, messages;

    // "Vergleichsmessung laden…": the file and whether it is a native survey.
    QString OpenFileNameWithOption(QWidget*, const QString&, const QString&, const QString&, bool& checked) override
    {
        checked = openNative;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QStringList openAnswers;
    bool openNative = false;
};

// 41 rows 1 m apart from 0 to 40 m, then one at 70 m (a gap), criterion
// -850 mV: on -1.10, off -0.90 V, gradients 3 on, 1 off on both sides (D
// 2.0 mV), but for
//   10-12 m  off -0.80 V                      not protected, 3 m
//   11 m     on -0.85 V, gradients 20 on      a defect: D 19.0 mV, IR-free
//                                             -790 mV usable, %IR 27.5 (II)
//   30 m     on = off = -0.95 V, "Schieber"   not assessed, a spike
//   35 m     on -1.30, off -1.25 V             below the limiting potential, a spike
std::string SmallSurvey(const char* offAt10to12 = "-0.80")
{
    std::string rows;
    const auto row = [&](int m, const std::string& on, const std::string& off, const char* grad, const char* comment) {
        rows += std::to_string(m) + ";" + on + ";" + off + ";" + grad + ";1;" + grad + ";1;" + comment + "\r\n";
    };
    for (int m = 0; m <= 40; ++m) {
        std::string on = "-1.10", off = "-0.90";
        if (m >= 10 && m <= 12) off = offAt10to12;
        if (m == 11) on = "-0.85";
        if (m == 30) on = off = "-0.95";
        if (m == 35) on = "-1.30", off = "-1.25";
        row(m, on, off, m == 11 ? "20" : "3", m == 0 ? "Anfang" : m == 30 ? "Schieber" : "");
    }
    row(70, "-1.10", "-0.90", "3", "");
    return rows;
}
const std::string kSmallSurvey = SmallSurvey();

void WriteSurvey(const QString& path, const std::string& rows, const std::string& criterion = "-850 mV")
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n"
        << criterion << "\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n"
        << rows;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The texts of one list row.
QStringList RowTexts(const CAssessListModel* m, int row)
{
    QStringList texts;
    for (int c = 0; c < m->columnCount(); ++c) texts << m->index(row, c).data().toString();
    return texts;
}

// The list rows of one status or warning kind (first column).
QList<QStringList> RowsNamed(const CAssessListModel* m, const QString& name)
{
    QList<QStringList> rows;
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, 0).data().toString() == name) rows << RowTexts(m, r);
    return rows;
}

QAction* MenuEntry(QMainWindow& w, const QString& menu, const QString& text)
{
    for (QAction* top : w.menuBar()->actions()) {
        if (top->text().remove(QLatin1Char('&')) != menu || !top->menu()) continue;
        for (QAction* a : top->menu()->actions())
            if (a->text() == text) return a;
    }
    return nullptr;
}

} // namespace

class TestAssessWnd : public QObject, protected CFrameFixture<CScriptedSeam> {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuEntriesAndF7ShowTheWindow();
    void criterionBarSummaryAndListsOfASmallSurvey();
    void criterionWarningInRed();
    void cellAndFieldEditsAssessAgainAtOnce();
    void headerEditAssessesNothingCellEditOnce();
    void wrongInputIsRefusedWithMessage();
    void settingsKeptInSettingsNotInSurvey();
    void typedSettingsBelongToTheSurvey();
    void nativeComparisonServesThe100mVCriterion();
    void doubleClickSelectsRowsAndCentresPanes();
    void curveMarksWithTheirLegend();
    void reportWritesPdfUnderTheNameGiven();

private:
    // Opens a survey of `rows` and shows the window.
    CAssessWnd& OpenAndShow(const std::string& rows, const QString& name = QStringLiteral("klein.tsd"),
                            const std::string& criterion = "-850 mV")
    {
        const QString path = m_files.filePath(name);
        WriteSurvey(path, rows, criterion);
        CMainFrame& f = Frame();
        if (!f.OpenDocumentFile(path)) qWarning("survey not opened");
        f.Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
        return *f.AssessWindow();
    }
    // Types `text` into a field as the user does, after clearing it.
    static void Type(QLineEdit* field, const QString& text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
};

void TestAssessWnd::init() { InitFrame(); }

void TestAssessWnd::cleanup() { CleanupFrame(); }

void TestAssessWnd::menuEntriesAndF7ShowTheWindow()
{
    CMainFrame& f = Frame();
    const int curves = f.OuterSplitter()->sizes().value(0);
    // The dock is named once in the menus: its toggle in "Ansicht", on F7.
    QAction* assess = MenuEntry(f, QStringLiteral("Ansicht"), QStringLiteral("&Bewertung"));
    QVERIFY(assess);
    QCOMPARE(assess->shortcut(), QKeySequence(Qt::Key_F7));
    int named = 0;
    for (QAction* top : f.menuBar()->actions())
        if (top->menu())
            for (QAction* a : top->menu()->actions())
                named += a->text().remove(QLatin1Char('&')).startsWith(QStringLiteral("Bewertung"))
                         && !a->text().contains(QStringLiteral("Kurven"))
                         && !a->text().contains(QStringLiteral("bericht"));
    QCOMPARE(named, 1);
    QAction* overlay = MenuEntry(f, QStringLiteral("Ansicht"), QStringLiteral("Bewertung in Kurven"));
    QVERIFY(overlay);
    QVERIFY(overlay->isCheckable());
    QVERIFY(!overlay->isChecked());
    QVERIFY(MenuEntry(f, QStringLiteral("Datei"), QStringLiteral("Bewertungsbericht…")));

    // Docked on the right of the table, hidden until asked for.
    QVERIFY(!f.AssessWindow()->isVisible());
    QCOMPARE(f.dockWidgetArea(f.AssessWindow()), Qt::RightDockWidgetArea);
    QTest::keyClick(&f, Qt::Key_F7);
    QVERIFY(f.AssessWindow()->isVisible());
    QVERIFY(assess->isChecked());
    // Room is made for the dock: the curve column is not squeezed away
    // (on this small screen it keeps at least half of what is left).
    QVERIFY(f.AssessWindow()->width() >= 300);
    QVERIFY2(f.OuterSplitter()->sizes().value(0) >= std::min(curves, f.OuterSplitter()->width() / 2 - 10),
             qPrintable(QString::number(f.OuterSplitter()->sizes().value(0))));
    QCOMPARE(f.AssessWindow()->windowTitle(), QStringLiteral("Bewertung"));
    // Every field and list says what it is for.
    for (QWidget* field : f.AssessWindow()->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(field) || qobject_cast<QCheckBox*>(field) || qobject_cast<QTableView*>(field))
            QVERIFY2(!field->toolTip().isEmpty(), qPrintable(field->objectName()));
}

void TestAssessWnd::criterionBarSummaryAndListsOfASmallSurvey()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    QCOMPARE(w.CriterionLabel()->text(),
             QString::fromUtf8("Schutzkriterium <b>-850&nbsp;mV</b> (aus Kopfdaten), Grenzpotential -1200&nbsp;mV"
                               "<br>100-mV-Kriterium: keine Nativmessung geladen"));
    QVERIFY(!w.WarningLabel()->isVisible());

    // The stretches that are not protected; the worst of the first is its
    // usable IR-free potential.
    const CAssessListModel* stretches = w.ListModel(EList::Stretches);
    QCOMPARE(stretches->headerData(7, Qt::Horizontal).toString(), QStringLiteral("schlechtester Wert"));
    QCOMPARE(stretches->rowCount(), 3);
    QCOMPARE(RowTexts(stretches, 0),
             (QStringList{QString::fromUtf8("nicht geschützt"), "11", "13", "10", "12", "3", "3", "-790", "11", ""}));
    QCOMPARE(RowTexts(stretches, 1),
             (QStringList{"nicht bewertbar", "31", "31", "30", "30", "1", "1", "", "", "Schieber"}));
    QCOMPARE(RowTexts(stretches, 2).mid(0, 9),
             (QStringList{"Grenzpotential unterschritten", "36", "36", "35", "35", "1", "1", "-1250", "35"}));

    // The dig list with the place as the dig crew reads it and the action.
    const CAssessListModel* dig = w.ListModel(EList::DigList);
    QCOMPARE(dig->rowCount(), 1);
    QCOMPARE(RowTexts(dig, 0),
             (QStringList{"1", "12", "11", QString::fromUtf8("11 m nach „Anfang“"), "LR", "19,0", "27,5", "II mittel",
                          "-850", "-800", "-790", QString::fromUtf8("nicht geschützt"), "umgehend aufgraben"}));

    const CAssessListModel* warn = w.ListModel(EList::Warnings);
    QCOMPARE(RowsNamed(warn, QString::fromUtf8("Ausreißer")).size(), 3);
    // The gap from the last point before it to the first after it.
    QCOMPARE(RowsNamed(warn, QString::fromUtf8("Messlücke")),
             (QList<QStringList>{{QString::fromUtf8("Messlücke"), "41", "42", "40", "70", "2"}}));

    // Lengths and shares: of the assessed 49 m for the assessed statuses, of
    // the measured 50 m for "nicht bewertbar"; 20 m of the gap unmeasured.
    const QString summary = w.SummaryLabel()->text();
    QVERIFY2(summary.contains(QString::fromUtf8("Messlänge 70 m: bewertet 49 m, nicht bewertet 1 m, Messlücken 20 m")),
             qPrintable(summary));
    for (const char* row : {"geschützt</td><td align=right>45</td><td align=right>91,8</td><td align=right>4</td>",
                            "nicht geschützt</td><td align=right>3</td><td align=right>6,1</td><td align=right>1</td>",
                            "Grenzpotential unterschritten</td><td align=right>1</td><td align=right>2,0</td>",
                            "nicht bewertbar</td><td align=right>1</td><td align=right>2,0</td>"})
        QVERIFY2(summary.contains(QString::fromUtf8(row)), row);
    QVERIFY(summary.contains(QStringLiteral("Fehlstellenverdacht: 1 (I: 0, II: 1, III: 0, IV: 0")));

    // The bar: each stretch where it lies, the gap left out.
    const std::vector<SVerdictSpan>& spans = w.Bar()->Spans();
    QCOMPARE(spans.size(), size_t{8});
    QCOMPARE(std::tie(spans[1].from, spans[1].to, spans[1].status),
             std::make_tuple(9.5, 12.5, EVerdictStatus::Unprotected));
    QCOMPARE(std::tie(spans[6].to, spans[7].from), std::make_tuple(45.0, 65.0));
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("lists"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Aufgrabungsliste (1)"));
}

void TestAssessWnd::criterionWarningInRed()
{
    // A criterion without its sign must not switch the check off.
    CAssessWnd& w = OpenAndShow(kSmallSurvey, QStringLiteral("ohne.tsd"), "850 mV");
    QVERIFY(w.CriterionLabel()->text().contains(QStringLiteral("-850&nbsp;mV</b> (angenommen)")));
    QVERIFY(w.WarningLabel()->isVisible());
    QCOMPARE(w.WarningLabel()->text(),
             QString::fromUtf8("Schutzkriterium „850 mV“ aus den Kopfdaten nicht verwendbar; −850 mV angenommen."));
    QVERIFY(w.WarningLabel()->styleSheet().contains(QStringLiteral("color: #c00000")));
    QCOMPARE(w.ListModel(EList::Stretches)->rowCount(), 3);
    // A criterion typed into the window stands for the header's.
    QTest::keyClicks(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-900"));
    QVERIFY(!w.WarningLabel()->isVisible());
    QVERIFY(w.CriterionLabel()->text().contains(QStringLiteral("-900&nbsp;mV</b> (vorgegeben)")));
}

void TestAssessWnd::cellAndFieldEditsAssessAgainAtOnce()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    CTrePlotModel* table = m_frame->TableView()->PlotModel();
    // Row 14 (13 m) goes above the criterion too: the stretch reaches to it.
    QCOMPARE(table->StoreCell(14, CTrePlotModel::ColPotOff, "-0.80"), CTrePlotModel::EStore::Accepted);
    QCOMPARE(RowsNamed(w.ListModel(EList::Stretches), QString::fromUtf8("nicht geschützt")).value(0).mid(1, 6),
             (QStringList{"11", "14", "10", "13", "4", "4"}));
    QCOMPARE(table->StoreCell(14, CTrePlotModel::ColPotOff, "-0.90"), CTrePlotModel::EStore::Accepted);

    // Empty fields stand for the defaults, which they show.
    QCOMPARE(w.Field(CAssessWnd::FieldProtection)->text(), QString());
    QCOMPARE(w.Field(CAssessWnd::FieldProtection)->placeholderText(), QStringLiteral("-850"));
    QCOMPARE(w.Field(CAssessWnd::FieldIRFreeMinDiff)->placeholderText(), QStringLiteral("5,0"));
    QCOMPARE(w.Field(CAssessWnd::FieldDefectFactor)->placeholderText(), QStringLiteral("2,5"));

    // -790 mV: -800 and the IR-free -790 are protected now, the defect's
    // point only just, so its action stays that of a point not protected.
    QTest::keyClicks(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-790"));
    QCOMPARE(w.Settings().protectionPotential, -790);
    QCOMPARE(RowsNamed(w.ListModel(EList::Stretches), QString::fromUtf8("nicht geschützt")).size(), 0);
    QCOMPARE(RowTexts(w.ListModel(EList::DigList), 0).mid(11),
             (QStringList{QString::fromUtf8("geschützt, grenzwertig"), "umgehend aufgraben"}));
    Type(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-770")); // 20 mV below: beyond the margin
    QCOMPARE(RowTexts(w.ListModel(EList::DigList), 0).value(12), QStringLiteral("bei nächster Messung beobachten"));
    Type(w.Field(CAssessWnd::FieldProtection), QString());
    QCOMPARE(w.Settings().protectionPotential, NO_VALUE);

    // A %IR of 27.5 is category I below a bound of 30 %.
    Type(w.Field(CAssessWnd::FieldCategory1), QStringLiteral("30"));
    QCOMPARE(RowTexts(w.ListModel(EList::DigList), 0).mid(7),
             (QStringList{"I gering", "-850", "-800", "-790", QString::fromUtf8("nicht geschützt"),
                          QString::fromUtf8("Schutz nachstellen und nachmessen")}));
    // 19,1 mV at least: no defect left.
    Type(w.Field(CAssessWnd::FieldDefectMin), QStringLiteral("19,1"));
    QCOMPARE(w.Settings().defectMin, 191);
    QCOMPARE(w.ListModel(EList::DigList)->rowCount(), 0);
    // Gap and spike thresholds reach the warnings.
    Type(w.Field(CAssessWnd::FieldGap), QStringLiteral("30"));
    QCOMPARE(RowsNamed(w.ListModel(EList::Warnings), QString::fromUtf8("Messlücke")).size(), 0);
    Type(w.Field(CAssessWnd::FieldSpike), QStringLiteral("400"));
    QCOMPARE(RowsNamed(w.ListModel(EList::Warnings), QString::fromUtf8("Ausreißer")).size(), 0);
}

void TestAssessWnd::headerEditAssessesNothingCellEditOnce()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    // The map and the curve marks ask for the verdict too: one assessment
    // serves them all.
    m_frame->Action(CMainFrame::ID_ASSESS_OVERLAY)->setChecked(true);
    m_frame->Action(CMainFrame::ID_VIEW_MAP)->trigger();
    CSurveySession& session = m_frame->Session();
    QSignalSpy changes(&session, &CSurveySession::Changed);
    const int before = session.Assessments();

    // A typed name is a step of the survey, but no part of the verdict.
    m_frame->HeaderBar()->NameEdit()->end(false);
    QTest::keyClicks(m_frame->HeaderBar()->NameEdit(), QStringLiteral("Ost"));
    QCOMPARE(m_doc->m_header[3], std::string("NordOst"));
    QCOMPARE(changes.size(), 3);
    for (const QList<QVariant>& c : changes)
        QCOMPARE(c.at(0).value<CSurveySession::EChange>(), CSurveySession::EChange::Header);
    QCOMPARE(session.Assessments(), before);

    changes.clear();
    CTrePlotModel* table = m_frame->TableView()->PlotModel();
    QCOMPARE(table->StoreCell(14, CTrePlotModel::ColPotOff, "-0.80"), CTrePlotModel::EStore::Accepted);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes[0].at(0).value<CSurveySession::EChange>(), CSurveySession::EChange::Rows);
    QCOMPARE(session.Assessments(), before + 1);
    QCOMPARE(RowsNamed(w.ListModel(EList::Stretches), QString::fromUtf8("nicht geschützt")).value(0).mid(1, 2),
             (QStringList{"11", "14"}));
}

void TestAssessWnd::wrongInputIsRefusedWithMessage()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    QLineEdit* protection = w.Field(CAssessWnd::FieldProtection);
    QTest::keyClicks(protection, QStringLiteral("-810"));
    QTest::keyClicks(protection, QStringLiteral("x"));
    QVERIFY(w.MessageLabel()->isVisible());
    QVERIFY(w.MessageLabel()->text().startsWith(QString::fromUtf8("Ungültige Zahl")));
    QVERIFY(protection->styleSheet().contains(QStringLiteral("#ffd0d0")));
    // The last good value stays in use.
    QCOMPARE(w.Settings().protectionPotential, -810);
    QCOMPARE(w.Result()->criterion.protection, -810);

    const struct {
        CAssessWnd::EField field;
        const char* text;
        const char* message;
    } refused[] = {
        // Read as the header's criterion is: without a unit, below 10 are volts.
        {CAssessWnd::FieldProtection, "850", "Das Schutzkriterium muss negativ sein: „850“ gelesen als +850 mV."},
        {CAssessWnd::FieldProtection, "0,9", "Das Schutzkriterium muss negativ sein: „0,9“ gelesen als +900 mV."},
        {CAssessWnd::FieldProtection, "-850 mV Ag/AgCl",
         "Ungültige Zahl: „-850 mV Ag/AgCl“. Erlaubt sind Potentiale wie -850, -850 mV oder -0,85 V."},
        {CAssessWnd::FieldLimit, "-800", "Das Grenzpotential muss negativer sein als das Schutzkriterium."},
        {CAssessWnd::FieldGap, "0", "Der Wert muss größer als 0 sein: 0"},
        {CAssessWnd::FieldDefectFactor, "-1", "Der Wert darf nicht negativ sein: -1"},
        {CAssessWnd::FieldCategory2, "10", "Die Grenzen der Kategorien müssen aufsteigen (I < II < III)."},
        {CAssessWnd::FieldCategory3, "101", "Die Grenze muss zwischen 0 und 100 % liegen: 101"},
    };
    const SVerdictSettings before = w.Settings();
    for (const auto& r : refused) {
        Type(w.Field(r.field), QString::fromUtf8(r.text));
        QCOMPARE(w.MessageLabel()->text(), QString::fromUtf8(r.message));
        Type(w.Field(r.field), QString());
    }
    QCOMPARE(w.Settings().limitPotential, before.limitPotential);
    QCOMPARE(w.Settings().categories, before.categories);
    Type(protection, QStringLiteral("-900"));
    QVERIFY(!w.MessageLabel()->isVisible());
    QVERIFY(protection->styleSheet().isEmpty());
    QCOMPARE(w.Settings().protectionPotential, -900);

    int64_t v = 0;
    QVERIFY(CAssessWnd::ParseNumber(QStringLiteral("-850,9"), 0, v));
    QCOMPARE(v, -850);
    QVERIFY(CAssessWnd::ParseNumber(QStringLiteral(" -0,55 "), 1, v));
    QCOMPARE(v, -5);
    QVERIFY(CAssessWnd::ParseNumber(QStringLiteral("12.345"), 2, v));
    QCOMPARE(v, 1234);
    QVERIFY(CAssessWnd::ParseNumber(QStringLiteral("0,8"), 6, v));
    QCOMPARE(v, 800000);
    QVERIFY(CAssessWnd::ParseNumber(QString(), 1, v));
    QCOMPARE(v, int64_t{NO_VALUE});
    for (const char* bad : {"-", ",", "5,0,0", "1e3", "99999999999", "9999999"})
        QVERIFY2(!CAssessWnd::ParseNumber(QString::fromLatin1(bad), 0, v), bad);
}

void TestAssessWnd::settingsKeptInSettingsNotInSurvey()
{
    CTresApp::Settings()->setValue("Bewertung/offLimit", -900); // of the assessment before the verdict
    const QString path = m_files.filePath(QStringLiteral("klein.tsd"));
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    const QByteArray before = FileBytes(path);
    QTest::keyClicks(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-900"));
    QTest::keyClicks(w.Field(CAssessWnd::FieldDefectFactor), QStringLiteral("3,5"));
    QTest::keyClicks(w.Field(CAssessWnd::FieldGap), QStringLiteral("12,5"));
    w.Use100mVCheck()->click();
    QVERIFY(w.SaveDefaultsButton()->isEnabled());
    w.SaveDefaultsButton()->click();
    QVERIFY(!w.SaveDefaultsButton()->isEnabled());
    QVERIFY(!m_doc->IsModified());
    CloseFrame();
    QCOMPARE(FileBytes(path), before);
    {
        auto s = CTresApp::Settings();
        QCOMPARE(s->value("Bewertung/protectionPotential").toInt(), -900);
        QCOMPARE(s->value("Bewertung/defectFactor").toDouble(), 3.5);
        QCOMPARE(s->value("Bewertung/gap").toDouble(), 12.5);
        QCOMPARE(s->value("Bewertung/use100mV").toBool(), false);
        QVERIFY(!s->contains("Bewertung/spike")); // defaults are not stored
        QVERIFY(!s->contains("Bewertung/offLimit"));
    }

    m_doc = std::make_unique<CTreDoc>();
    CAssessWnd& again = OpenAndShow(kSmallSurvey);
    QCOMPARE(again.Field(CAssessWnd::FieldProtection)->text(), QStringLiteral("-900"));
    QCOMPARE(again.Field(CAssessWnd::FieldDefectFactor)->text(), QStringLiteral("3,5"));
    QCOMPARE(again.Field(CAssessWnd::FieldGap)->text(), QStringLiteral("12,5"));
    QVERIFY(!again.Use100mVCheck()->isChecked());
    QCOMPARE(again.Result()->settings.defectFactor, 3.5);
    QCOMPARE(again.Result()->criterion.protection, -900);
}

void TestAssessWnd::typedSettingsBelongToTheSurvey()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey, QStringLiteral("erste.tsd"));
    QVERIFY(!w.SaveDefaultsButton()->isEnabled());
    // "-0,9" as in the header: volts.
    QTest::keyClicks(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-0,9"));
    QTest::keyClicks(w.Field(CAssessWnd::FieldGap), QStringLiteral("12,5"));
    w.Use100mVCheck()->click();
    QCOMPARE(w.Settings().protectionPotential, -900);
    QCOMPARE(w.Result()->criterion.protection, -900);
    // Overriding the header's -850 mV, in the warning colour.
    QVERIFY2(w.CriterionLabel()->text().startsWith(
                 QString::fromUtf8("<span style=\"color:#c00000\">Schutzkriterium <b>-900&nbsp;mV</b> (vorgegeben), "
                                   "Kopfdaten „-850 mV“</span>, Grenzpotential -1200&nbsp;mV")),
             qPrintable(w.CriterionLabel()->text()));
    QVERIFY(w.SaveDefaultsButton()->isEnabled());
    // A wrong entry left behind is no part of the next survey either.
    QTest::keyClicks(w.Field(CAssessWnd::FieldSpike), QStringLiteral("x"));
    QVERIFY(w.MessageLabel()->isVisible());

    // The next survey starts from the defaults, and nothing was stored.
    OpenAndShow(kSmallSurvey, QStringLiteral("zweite.tsd"));
    QCOMPARE(w.Field(CAssessWnd::FieldProtection)->text(), QString());
    QCOMPARE(w.Field(CAssessWnd::FieldGap)->text(), QString());
    QCOMPARE(w.Field(CAssessWnd::FieldSpike)->text(), QString());
    QVERIFY(w.Field(CAssessWnd::FieldSpike)->styleSheet().isEmpty());
    QVERIFY(!w.MessageLabel()->isVisible());
    QVERIFY(w.Use100mVCheck()->isChecked());
    QCOMPARE(w.Result()->criterion.protection, -850);
    QCOMPARE(w.Result()->criterion.source, ECriterionSource::Header);
    QCOMPARE(w.Result()->settings.gap, 10.0);
    QVERIFY(!w.CriterionLabel()->text().contains(QStringLiteral("vorgegeben")));
    QVERIFY(!w.SaveDefaultsButton()->isEnabled());
    QVERIFY(!CTresApp::Settings()->contains("Bewertung/protectionPotential"));

    // Nor does a new survey, or the window made again, keep what was typed.
    QTest::keyClicks(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-900"));
    m_frame->OnFileNew();
    QCOMPARE(w.Settings().protectionPotential, NO_VALUE);
    QCOMPARE(w.Field(CAssessWnd::FieldProtection)->text(), QString());
    QTest::keyClicks(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-900"));
    CloseFrame();
    CAssessWnd& again = OpenAndShow(kSmallSurvey, QStringLiteral("dritte.tsd"));
    QCOMPARE(again.Field(CAssessWnd::FieldProtection)->text(), QString());
    QCOMPARE(again.Result()->criterion.protection, -850);

    // Saved as the default, it judges the next survey.
    QTest::keyClicks(again.Field(CAssessWnd::FieldProtection), QStringLiteral("-0,9"));
    again.SaveDefaultsButton()->click();
    OpenAndShow(kSmallSurvey, QStringLiteral("vierte.tsd"));
    QCOMPARE(again.Field(CAssessWnd::FieldProtection)->text(), QStringLiteral("-900"));
    QCOMPARE(again.Result()->criterion.protection, -900);
    QCOMPARE(again.Result()->criterion.source, ECriterionSource::Option);
}

void TestAssessWnd::nativeComparisonServesThe100mVCriterion()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    // The native survey: off -0.70 V everywhere, 100 mV above the -0.80 V of 10-12 m.
    const QString native = m_files.filePath(QStringLiteral("nativ.tsd"));
    WriteSurvey(native, SmallSurvey("-0.70"));
    std::string text;
    {
        std::ifstream in(native.toStdString(), std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    for (size_t at; (at = text.find(";-0.90;")) != std::string::npos;) text.replace(at, 7, ";-0.70;");
    std::ofstream(native.toStdString(), std::ios::binary) << text;

    m_seam.openAnswers << native;
    m_seam.openNative = true;
    m_frame->Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QVERIFY(w.Result()->nativeGiven);
    QVERIFY(w.CriterionLabel()->text().contains(QStringLiteral("gegen die Nativmessung nativ.tsd")));
    // Paired by the two landmarks both surveys share, as the comparison page pairs them.
    QVERIFY2(w.CriterionLabel()->text().contains(QString::fromUtf8(
                 "Zuordnung der Nativmessung: Orientierungspunkte (2), größte Abweichung an einem gemeinsamen Punkt "
                 "0 m")),
             qPrintable(w.CriterionLabel()->text()));
    QCOMPARE(RowTexts(w.ListModel(EList::Stretches), 0).mid(0, 3),
             (QStringList{QString::fromUtf8("geschützt (100-mV-Kriterium)"), "11", "13"}));
    // Switched off, the stretch is not protected again.
    w.Use100mVCheck()->click();
    QCOMPARE(RowTexts(w.ListModel(EList::Stretches), 0).value(0), QString::fromUtf8("nicht geschützt"));
    w.Use100mVCheck()->click();

    // Without its landmarks the native survey cannot be placed: no 100 mV
    // criterion by the recorded metres, and the window says so in red.
    const QString bare = m_files.filePath(QStringLiteral("nativ-ohne.tsd"));
    for (const char* landmark : {"Anfang", "Schieber"}) text.replace(text.find(landmark), std::strlen(landmark), "");
    std::ofstream(bare.toStdString(), std::ios::binary) << text;
    m_seam.openAnswers << bare;
    m_frame->Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QVERIFY(w.Result()->nativeGiven);
    QVERIFY2(w.CriterionLabel()->text().contains(
                 QString::fromUtf8("color:#c00000\">100-mV-Kriterium nicht angewandt: Nativmessung nicht zuzuordnen")),
             qPrintable(w.CriterionLabel()->text()));
    QCOMPARE(RowTexts(w.ListModel(EList::Stretches), 0).value(0), QString::fromUtf8("nicht geschützt"));
    // An earlier survey is no native one.
    m_frame->Action(CMainFrame::ID_COMPARE_CLOSE)->trigger();
    QVERIFY(!w.Result()->nativeGiven);
    m_seam.openAnswers << native;
    m_seam.openNative = false;
    m_frame->Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QVERIFY(!w.Result()->nativeGiven);
    QCOMPARE(RowTexts(w.ListModel(EList::Stretches), 0).value(0), QString::fromUtf8("nicht geschützt"));
}

void TestAssessWnd::doubleClickSelectsRowsAndCentresPanes()
{
    // 3000 m, rows every 10 m; rows 201..206 (2000..2050 m) above the criterion.
    std::string rows;
    for (int i = 0; i < 301; ++i)
        rows += std::to_string(i * 10) + (i >= 200 && i <= 205 ? ";-1.10;-0.80;3;1;;;\r\n" : ";-1.10;-0.95;3;1;;;\r\n");
    CAssessWnd& w = OpenAndShow(rows, QStringLiteral("lang.tsd"));
    CMainFrame& f = *m_frame;
    QCOMPARE(f.LowerPane()->Frame().nStart, 0);

    QTableView* list = w.ListView(EList::Stretches);
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(RowTexts(w.ListModel(EList::Stretches), 0).mid(0, 3),
             (QStringList{QString::fromUtf8("nicht geschützt"), "201", "206"}));
    const QRect cell = list->visualRect(list->model()->index(0, 1));
    QSignalSpy chosen(&w, &CAssessWnd::StretchChosen);
    // A double click is a press, a release and the double click on one cell.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(chosen.size(), 1);

    QCOMPARE(f.TableView()->SelectedRowRange(), (std::pair<int, int>(201, 206)));
    QCOMPARE(f.TableView()->currentIndex().row(), 200);
    const CCurveFrame lower = f.LowerPane()->Frame();
    const CCurveFrame upper = f.UpperPane()->Frame();
    QCOMPARE(upper.nStart, lower.nStart);
    // The window starts on a whole ten of line steps, so the middle lands
    // within that much of the stretch's middle.
    const int64_t middle = lower.nStart + lower.nSpan / 2;
    QVERIFY2(std::abs(middle - 2025) <= 10 * m_doc->m_nMeterLineStep,
             qPrintable(QStringLiteral("middle %1, span %2").arg(middle).arg(lower.nSpan)));
    QVERIFY(lower.nStart <= 2000 && 2050 <= lower.nStart + lower.nSpan);
    QCOMPARE(f.LowerPane()->HScrollBar()->value(), f.LowerPane()->HScrollPos());

    // A row without a metre is selected, and the curves stay where they are.
    m_frame->ShowStretch(5, 5, NO_VALUE, NO_VALUE);
    QCOMPARE(f.TableView()->SelectedRowRange(), (std::pair<int, int>(5, 5)));
    QCOMPARE(f.LowerPane()->Frame().nStart, lower.nStart);
}

void TestAssessWnd::curveMarksWithTheirLegend()
{
    // The pixels are the panes' own test; here the wiring.
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    CMainFrame& f = *m_frame;
    QVERIFY(!f.Action(CMainFrame::ID_ASSESS_OVERLAY)->isChecked());
    QVERIFY(!f.LowerPane()->Overlay());
    QVERIFY(!f.Legend()->isVisible());

    f.Action(CMainFrame::ID_ASSESS_OVERLAY)->trigger();
    QVERIFY(CTresApp::Settings()->value("Bewertung/inCurves").toBool());
    QVERIFY(f.Legend()->isVisible());
    QTRY_VERIFY(f.Legend()->mapTo(&f, QPoint()).y()
                >= f.LowerPane()->mapTo(&f, QPoint(0, f.LowerPane()->height())).y());
    QCOMPARE(CVerdictLegend::Entries().mid(0, 5),
             (QStringList{QString::fromUtf8("geschützt"), QString::fromUtf8("geschützt (100-mV-Kriterium)"),
                          QString::fromUtf8("nicht geschützt"), "Grenzpotential unterschritten", "nicht bewertbar"}));
    // The marks are the window's verdict: its stretches, its one defect
    // with category II, its criterion; and they follow a field's edit.
    const CCurveOverlay* o = f.LowerPane()->Overlay();
    QVERIFY(o && o == f.UpperPane()->Overlay());
    QCOMPARE(o->spans.size(), w.Bar()->Spans().size());
    QCOMPARE(o->marks.size(), size_t{1});
    QCOMPARE(std::tie(o->marks[0].at, o->marks[0].category), std::make_tuple(11.0, 2));
    QCOMPARE(std::tie(o->protection, o->limit), std::make_tuple(-850, -1200));
    // The panes take the axes fitted to the survey; the potential axis names
    // the report's electrode, which the survey's QM data do not name.
    QVERIFY(o->potentialAxis && o->gradientAxis);
    QCOMPARE(f.LowerPane()->Frame().nValueTop, -o->potentialAxis->low);
    QCOMPARE(f.UpperPane()->Frame().nValueTop, o->gradientAxis->high);
    QCOMPARE(o->electrode, std::string("Cu/CuSO4"));
    QTest::keyClicks(w.Field(CAssessWnd::FieldProtection), QStringLiteral("-790"));
    QCOMPARE(f.LowerPane()->Overlay()->protection, -790);

    f.Action(CMainFrame::ID_ASSESS_OVERLAY)->trigger();
    QVERIFY(!f.LowerPane()->Overlay());
    QVERIFY(!f.UpperPane()->Overlay());
    QVERIFY(!f.Legend()->isVisible());
}

void TestAssessWnd::reportWritesPdfUnderTheNameGiven()
{
    OpenAndShow(kSmallSurvey);
    m_frame->Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(m_seam.saveInitial, QStringList{m_files.filePath(QStringLiteral("klein-Bewertung.pdf"))});
    // Cancelled: nothing written, nothing said.
    QVERIFY(!QFile::exists(m_files.filePath(QStringLiteral("klein-Bewertung.pdf"))));
    QVERIFY(m_seam.messages.isEmpty());

    // Answered: the PDF is there, the survey untouched.
    const QString pdf = m_files.filePath(QStringLiteral("Bericht.pdf"));
    m_seam.saveAnswers << pdf;
    m_frame->Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QVERIFY2(m_seam.messages.isEmpty(), qPrintable(m_seam.messages.join('\n')));
    QVERIFY(FileBytes(pdf).startsWith("%PDF"));
    QVERIFY(!m_doc->IsModified());

    // A folder that is not there: a German message, no file.
    m_seam.saveAnswers << m_files.filePath(QStringLiteral("fehlt/Bericht.pdf"));
    m_frame->Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(!m_seam.messages[0].isEmpty());
    QVERIFY(!QFile::exists(m_files.filePath(QStringLiteral("fehlt/Bericht.pdf"))));
}

TRES_GUI_TEST_MAIN(TestAssessWnd)

#include "tst_assesswnd.moc"
