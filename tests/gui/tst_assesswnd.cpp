// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment window in the main window on the offscreen platform: its
// lists for a small hand-made survey, recomputing after a cell edit and a
// limit change, the limits kept in the settings, a double click that shows
// the stretch in table and curves, the menu entries, the curve overlay's
// pixels and the report entry.
#include "assesswnd.h"
#include "curvepainter.h"
#include "curvepane.h"
#include "framefixture.h"
#include "mainframe.h"
#include "tablemodel.h"
#include "tableview.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

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
};

// Six rows under the criterion -850 mV (potentials in V, gradients in mV):
//   row 2-3  potential off -800, -820        above the criterion
//   row 3    gradient 12 on, 2 off: 10 mV   a suspected defect, landmarks
//            "Schieber" (0 m) and "Kreuzung" (40 m) both 20 m away
//   row 5    potential off -1250              overprotected, and a spike
//   row 6    70 m after 40 m                  a gap
const char kSmallSurvey[] = "0;-1.20;-0.90;3;1;;;Schieber\r\n"
                            "10;-1.10;-0.80;3;1;;;\r\n"
                            "20;-1.10;-0.82;12;2;;;\r\n"
                            "30;-1.30;-1.00;3;1;;;\r\n"
                            "40;-1.30;-1.25;3;1;;;Kreuzung\r\n"
                            "70;-1.30;-1.00;3;1;;;\r\n";

void WriteSurvey(const QString& path, const std::string& rows)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n" << rows;
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

// The list rows of one criterion or warning kind (first column).
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
    void listsOfASmallSurvey();
    void cellEditAssessesAgainAtOnce();
    void limitsAndCheckBoxesAssessAgainAtOnce();
    void wrongLimitIsRefusedWithMessage();
    void limitsKeptInSettingsNotInSurvey();
    void doubleClickSelectsRowsAndCentresPanes();
    void overlayOffByDefaultAndPixelExact();
    void overlayDrawsBandsAndTriangles();
    void reportWritesPdfUnderTheNameGiven();

private:
    // Opens a survey of `rows` and shows the window.
    CAssessWnd& OpenAndShow(const std::string& rows, const QString& name = QStringLiteral("klein.tsd"))
    {
        const QString path = m_files.filePath(name);
        WriteSurvey(path, rows);
        CMainFrame& f = Frame();
        if (!f.OpenDocumentFile(path)) qWarning("survey not opened");
        f.Action(CMainFrame::ID_ASSESS)->trigger();
        return *f.AssessWindow();
    }
};

void TestAssessWnd::init() { InitFrame(); }

void TestAssessWnd::cleanup() { CleanupFrame(); }

void TestAssessWnd::menuEntriesAndF7ShowTheWindow()
{
    CMainFrame& f = Frame();
    const int curves = f.OuterSplitter()->sizes().value(0);
    QAction* assess = MenuEntry(f, QStringLiteral("Fehlerliste"), QStringLiteral("Bewertung..."));
    QVERIFY(assess);
    QCOMPARE(assess->shortcut(), QKeySequence(Qt::Key_F7));
    QAction* overlay = MenuEntry(f, QStringLiteral("Ansicht"), QStringLiteral("Bewertung in Kurven"));
    QVERIFY(overlay);
    QVERIFY(overlay->isCheckable());
    QVERIFY(!overlay->isChecked());
    QVERIFY(MenuEntry(f, QStringLiteral("Datei"), QStringLiteral("Bewertungsbericht...")));

    // Docked on the right of the table, hidden until asked for.
    QVERIFY(!f.AssessWindow()->isVisible());
    QCOMPARE(f.dockWidgetArea(f.AssessWindow()), Qt::RightDockWidgetArea);
    QTest::keyClick(&f, Qt::Key_F7);
    QVERIFY(f.AssessWindow()->isVisible());
    // Room is made for the dock: the curve column is not squeezed away
    // (on this small screen it keeps at least half of what is left).
    QVERIFY(f.AssessWindow()->width() >= 300);
    QVERIFY2(f.OuterSplitter()->sizes().value(0) >= std::min(curves, f.OuterSplitter()->width() / 2 - 10),
             qPrintable(QString::number(f.OuterSplitter()->sizes().value(0))));
    QCOMPARE(f.AssessWindow()->windowTitle(), QStringLiteral("Bewertung"));
    // Every field and list says what it is for.
    for (QWidget* field : f.AssessWindow()->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(field) || qobject_cast<QCheckBox*>(field) || qobject_cast<QTableView*>(field))
            QVERIFY2(!field->toolTip().isEmpty(), qPrintable(field->metaObject()->className()));
}

void TestAssessWnd::listsOfASmallSurvey()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    const CAssessListModel* ind = w.ListModel(EList::Indications);
    QCOMPARE(ind->headerData(7, Qt::Horizontal).toString(), QStringLiteral("schlechtester Wert"));
    QCOMPARE(RowsNamed(ind, QStringLiteral("Aus-Potential zu positiv")),
             (QList<QStringList>{{"Aus-Potential zu positiv", "2", "3", "10", "20", "2", "10", "-800", "10"}}));
    QCOMPARE(RowsNamed(ind, QString::fromUtf8("Überschutz")),
             (QList<QStringList>{{QString::fromUtf8("Überschutz"), "5", "5", "40", "40", "1", "0", "-1250", "40"}}));
    QCOMPARE(RowsNamed(ind, QStringLiteral("Fehlstellenverdacht")),
             (QList<QStringList>{{"Fehlstellenverdacht", "3", "3", "20", "20", "1", "0", "10,0", "20"}}));

    // The landmarks tie at 20 m: the lower row wins. Gradients in mV with
    // their tenth, potentials in whole mV.
    const CAssessListModel* def = w.ListModel(EList::Defects);
    QCOMPARE(def->rowCount(), 1);
    const QStringList d = RowTexts(def, 0);
    QCOMPARE(d.mid(0, 7), (QStringList{"3", "20", "10,0", "12,0", "2,0", "-1100", "-820"}));
    QVERIFY(!d[7].isEmpty()); // the IR-free potential is there
    QCOMPARE(d.mid(8), (QStringList{"Schieber", "-20"}));

    const CAssessListModel* warn = w.ListModel(EList::Warnings);
    QCOMPARE(RowsNamed(warn, QString::fromUtf8("Ausreißer")),
             (QList<QStringList>{{QString::fromUtf8("Ausreißer"), "5", "5", "40", "40"}}));
    QCOMPARE(RowsNamed(warn, QString::fromUtf8("Messlücke")),
             (QList<QStringList>{{QString::fromUtf8("Messlücke"), "6", "6", "70", "70"}}));

    // 10 of 70 m is 14.3 per cent.
    const QString summary = w.SummaryLabel()->text();
    QVERIFY2(summary.contains(QString::fromUtf8("Messlänge: 70 m")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("<td>Aus-Potential zu positiv</td><td align=right>1</td>"
                                             "<td align=right>10</td><td align=right>14,3</td>")),
             qPrintable(summary));
}

void TestAssessWnd::cellEditAssessesAgainAtOnce()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    CTrePlotModel* table = m_frame->TableView()->PlotModel();
    // Row 4 goes above the criterion too: the run now reaches from 2 to 4.
    QCOMPARE(table->StoreCell(4, CTrePlotModel::ColPotOff, "-0.80"), CTrePlotModel::EStore::Accepted);
    QCOMPARE(RowsNamed(w.ListModel(EList::Indications), QStringLiteral("Aus-Potential zu positiv")),
             (QList<QStringList>{{"Aus-Potential zu positiv", "2", "4", "10", "30", "3", "20", "-800", "10"}}));
    // A row removed from the table is gone from the lists as well.
    m_frame->TableView()->SelectRows(5, 5);
    m_frame->SetActivePane(1);
    m_frame->Action(CMainFrame::ID_ROW_DELETE)->trigger();
    QCOMPARE(RowsNamed(w.ListModel(EList::Indications), QString::fromUtf8("Überschutz")).size(), 0);
}

void TestAssessWnd::limitsAndCheckBoxesAssessAgainAtOnce()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    // Empty fields stand for the defaults, which they show.
    QCOMPARE(w.LimitEdit(ECriterion::Off)->text(), QString());
    QCOMPARE(w.LimitEdit(ECriterion::Off)->placeholderText(), QStringLiteral("-850"));
    QCOMPARE(w.LimitEdit(ECriterion::GradDiff)->placeholderText(), QStringLiteral("5,0"));

    QTest::keyClicks(w.LimitEdit(ECriterion::Off), QStringLiteral("-810"));
    QCOMPARE(RowsNamed(w.ListModel(EList::Indications), QStringLiteral("Aus-Potential zu positiv")),
             (QList<QStringList>{{"Aus-Potential zu positiv", "2", "2", "10", "10", "1", "0", "-800", "10"}}));

    // 10,5 mV is 105 tenths: the 10 mV difference no longer counts.
    QTest::keyClicks(w.LimitEdit(ECriterion::GradDiff), QStringLiteral("10,5"));
    QCOMPARE(w.Settings()[ECriterion::GradDiff].limit, 105);
    QCOMPARE(w.ListModel(EList::Defects)->rowCount(), 0);
    w.LimitEdit(ECriterion::GradDiff)->clear();
    QTest::keyClicks(w.LimitEdit(ECriterion::GradDiff), QStringLiteral("9.99"));
    QCOMPARE(w.Settings()[ECriterion::GradDiff].limit, 99);
    QCOMPARE(w.ListModel(EList::Defects)->rowCount(), 1);

    w.CriterionCheck(ECriterion::Over)->click();
    QCOMPARE(RowsNamed(w.ListModel(EList::Indications), QString::fromUtf8("Überschutz")).size(), 0);
    QVERIFY(w.SummaryLabel()->text().contains(QString::fromUtf8("<td>Überschutz</td><td align=right>aus</td>")));

    // A spike threshold of 250 mV no longer sees row 5 (250 from both sides).
    w.SpikeEdit()->clear();
    QTest::keyClicks(w.SpikeEdit(), QStringLiteral("250"));
    QCOMPARE(RowsNamed(w.ListModel(EList::Warnings), QString::fromUtf8("Ausreißer")).size(), 0);
    w.GapEdit()->clear();
    QTest::keyClicks(w.GapEdit(), QStringLiteral("30"));
    QCOMPARE(RowsNamed(w.ListModel(EList::Warnings), QString::fromUtf8("Messlücke")).size(), 0);
}

void TestAssessWnd::wrongLimitIsRefusedWithMessage()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    QTest::keyClicks(w.LimitEdit(ECriterion::Off), QStringLiteral("-810"));
    QTest::keyClicks(w.LimitEdit(ECriterion::Off), QStringLiteral("x"));
    QVERIFY(w.MessageLabel()->isVisible());
    QVERIFY(w.MessageLabel()->text().startsWith(QString::fromUtf8("Ungültige Zahl")));
    // The last good value stays in use.
    QCOMPARE(w.Settings()[ECriterion::Off].limit, -810);
    QCOMPARE(RowsNamed(w.ListModel(EList::Indications), QStringLiteral("Aus-Potential zu positiv")).size(), 1);
    w.GapEdit()->clear();
    QTest::keyClicks(w.GapEdit(), QStringLiteral("-5"));
    QVERIFY(w.MessageLabel()->text().contains(QStringLiteral("nicht negativ")));
    QCOMPARE(w.Settings().gap, 10);
    QTest::keyClick(w.GapEdit(), Qt::Key_Backspace);
    QTest::keyClick(w.GapEdit(), Qt::Key_Backspace);
    QTest::keyClicks(w.GapEdit(), QStringLiteral("20"));
    QVERIFY(!w.MessageLabel()->isVisible());
    QCOMPARE(w.Settings().gap, 20);

    int32_t v = 0;
    QVERIFY(CAssessWnd::ParseLimit(QStringLiteral("-850,9"), false, v));
    QCOMPARE(v, -850);
    QVERIFY(CAssessWnd::ParseLimit(QStringLiteral(" -0,55 "), true, v));
    QCOMPARE(v, -5);
    QVERIFY(CAssessWnd::ParseLimit(QString(), true, v));
    QCOMPARE(v, NO_VALUE);
    for (const char* bad : {"-", ",", "5,0,0", "1e3", "99999999999", "9999999"})
        QVERIFY2(!CAssessWnd::ParseLimit(QString::fromLatin1(bad), false, v), bad);
}

void TestAssessWnd::limitsKeptInSettingsNotInSurvey()
{
    const QString path = m_files.filePath(QStringLiteral("klein.tsd"));
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    const QByteArray before = FileBytes(path);
    QTest::keyClicks(w.LimitEdit(ECriterion::IRFree), QStringLiteral("-900"));
    w.CriterionCheck(ECriterion::Over)->click();
    w.SpikeEdit()->clear();
    QTest::keyClicks(w.SpikeEdit(), QStringLiteral("150"));
    QVERIFY(!m_doc->IsModified());
    CloseFrame();
    QCOMPARE(FileBytes(path), before);
    {
        auto s = CTresApp::Settings();
        QCOMPARE(s->value("Bewertung/irfreeLimit").toInt(), -900);
        QCOMPARE(s->value("Bewertung/overEnabled").toBool(), false);
        QCOMPARE(s->value("Bewertung/spike").toInt(), 150);
        QVERIFY(!s->contains("Bewertung/offLimit")); // still the survey's criterion
    }

    m_doc = std::make_unique<CTreDoc>();
    CAssessWnd& again = OpenAndShow(kSmallSurvey);
    QCOMPARE(again.LimitEdit(ECriterion::IRFree)->text(), QStringLiteral("-900"));
    QVERIFY(!again.CriterionCheck(ECriterion::Over)->isChecked());
    QCOMPARE(again.SpikeEdit()->text(), QStringLiteral("150"));
    QCOMPARE(again.Result()->criteria[static_cast<size_t>(ECriterion::IRFree)].limit, -900);
    QVERIFY(!again.Result()->criteria[static_cast<size_t>(ECriterion::Over)].enabled);
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

    QTableView* list = w.ListView(EList::Indications);
    int row = 0;
    while (row < list->model()->rowCount() && list->model()->index(row, 0).data() != "Aus-Potential zu positiv") ++row;
    QVERIFY(row < list->model()->rowCount());
    QCOMPARE(RowTexts(w.ListModel(EList::Indications), row).mid(1, 2), (QStringList{"201", "206"}));
    list->scrollTo(list->model()->index(row, 1));
    const QRect cell = list->visualRect(list->model()->index(row, 1));
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
}

void TestAssessWnd::overlayOffByDefaultAndPixelExact()
{
    OpenAndShow(kSmallSurvey);
    CMainFrame& f = *m_frame;
    QVERIFY(!f.Action(CMainFrame::ID_ASSESS_OVERLAY)->isChecked());
    QVERIFY(!f.LowerPane()->Overlay());
    QVERIFY(!f.UpperPane()->Overlay());
    const QRect box(0, 0, f.LowerPane()->width(), f.LowerPane()->height());
    f.LowerPane()->ComposeBacking(box);
    const QImage before = f.LowerPane()->BackingImage().copy(box);
    f.Action(CMainFrame::ID_ASSESS_OVERLAY)->trigger();
    f.LowerPane()->ComposeBacking(box);
    QVERIFY(f.LowerPane()->BackingImage().copy(box) != before);
    f.Action(CMainFrame::ID_ASSESS_OVERLAY)->trigger();
    QVERIFY(!f.LowerPane()->Overlay());
    f.LowerPane()->ComposeBacking(box);
    QCOMPARE(f.LowerPane()->BackingImage().copy(box), before);
}

void TestAssessWnd::overlayDrawsBandsAndTriangles()
{
    CAssessWnd& w = OpenAndShow(kSmallSurvey);
    CMainFrame& f = *m_frame;
    f.Action(CMainFrame::ID_ASSESS_OVERLAY)->trigger();
    QVERIFY(CTresApp::Settings()->value("Bewertung/inCurves").toBool());
    QVERIFY(f.LowerPane()->Overlay());
    QVERIFY(f.LowerPane()->width() > 100);

    CTrePrintView* pot = f.LowerPane();
    QVERIFY(!pot->IsGradientPane());
    pot->ComposeBacking(QRect(0, 0, pot->width(), pot->height()));
    const CCurveFrame pf = pot->Frame();
    const auto x = [](const CCurveFrame& fr, int64_t m) {
        return static_cast<int>(static_cast<double>(m - fr.nStart) * (fr.right - fr.left) / fr.nSpan + fr.left);
    };
    const QImage& pimg = pot->BackingImage();
    // Off at 10..20 m in the lane on the axis, 3 pixels tall; Over at 40 m
    // in the third lane; nothing of them at 30 m.
    const int xOff = (x(pf, 10) + x(pf, 20)) / 2;
    QCOMPARE(QColor(pimg.pixel(xOff, pf.bottom - 1)), OverlayBandColor(0));
    QCOMPARE(QColor(pimg.pixel(xOff, pf.bottom - 3)), OverlayBandColor(0));
    QVERIFY(QColor(pimg.pixel(xOff, pf.bottom - 4)) != OverlayBandColor(0));
    // The one-row Over indication is three pixels wide about its metre
    // (its middle pixel is the comment's dotted line there).
    for (int dx : {-1, 1}) {
        QCOMPARE(QColor(pimg.pixel(x(pf, 40) + dx, pf.bottom - 7)), OverlayBandColor(2));
        QCOMPARE(QColor(pimg.pixel(x(pf, 40) + dx, pf.bottom - 9)), OverlayBandColor(2));
        QVERIFY(QColor(pimg.pixel(x(pf, 40) + dx, pf.bottom - 10)) != OverlayBandColor(2));
    }
    QVERIFY(QColor(pimg.pixel(x(pf, 40) + 2, pf.bottom - 8)) != OverlayBandColor(2));
    const int x30 = x(pf, 30);
    for (int y = pf.bottom - 9; y < pf.bottom; ++y)
        QVERIFY(QColor(pimg.pixel(x30, y)) != OverlayBandColor(0) && QColor(pimg.pixel(x30, y)) != OverlayBandColor(2));
    // The axis line itself stays black.
    QCOMPARE(QColor(pimg.pixel(xOff, pf.bottom)), QColor(Qt::black));

    // The defect at 20 m: a triangle standing on the gradient pane's axis.
    CTrePrintView* grad = f.UpperPane();
    grad->ComposeBacking(QRect(0, 0, grad->width(), grad->height()));
    const CCurveFrame gf = grad->Frame();
    const QImage& gimg = grad->BackingImage();
    const int xd = x(gf, 20);
    QCOMPARE(QColor(gimg.pixel(xd - 4, gf.bottom - 1)), OverlayMarkColor());
    QCOMPARE(QColor(gimg.pixel(xd + 4, gf.bottom - 1)), OverlayMarkColor());
    QCOMPARE(QColor(gimg.pixel(xd, gf.bottom - CCurveOverlay::kMarkHeight)), OverlayMarkColor());
    QVERIFY(QColor(gimg.pixel(xd, gf.bottom - CCurveOverlay::kMarkHeight - 1)) != OverlayMarkColor());
    QVERIFY(QColor(gimg.pixel(xd + 5, gf.bottom - 1)) != OverlayMarkColor());
    // No bands in the gradient pane, no triangles in the potential pane.
    QVERIFY(QColor(gimg.pixel(xOff, gf.bottom - 1)) != OverlayBandColor(0));
    QVERIFY(QColor(pimg.pixel(x(pf, 20) + 4, pf.bottom - 5)) != OverlayMarkColor());

    // A limit change moves the bands at once: with -810 only 10 m is left.
    QTest::keyClicks(w.LimitEdit(ECriterion::Off), QStringLiteral("-810"));
    pot->ComposeBacking(QRect(0, 0, pot->width(), pot->height()));
    QVERIFY(QColor(pot->BackingImage().pixel(x(pf, 20), pf.bottom - 2)) != OverlayBandColor(0));
    QCOMPARE(QColor(pot->BackingImage().pixel(x(pf, 10), pf.bottom - 2)), OverlayBandColor(0));
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

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CTresApp app(argc, argv);
    TestAssessWnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_assesswnd.moc"
