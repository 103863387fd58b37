// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison survey in the main window: loading it through the open
// dialog's "Nativmessung" option, the curve it adds to the potential pane,
// hiding and closing it, that it never becomes the document, the
// "Vergleich" page of the assessment window that follows it, and the
// alignment the page and the curve share.
#include "assesswnd.h"
#include "comparesurvey.h"
#include "curvepane.h"
#include "framefixture.h"
#include "mainframe.h"
#include "tablemodel.h"
#include "tableview.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"
#include "verdictpaint.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>

namespace {

const QColor kGrey = PaletteColour(ComparisonCurveColour()); // the comparison curve

class CCompareSeam : public CUiSeam {
public:
    QString OpenFileNameWithOption(QWidget*, const QString& title, const QString&, const QString& option,
                                   bool& checked) override
    {
        titles << title;
        options << option;
        offered << checked;
        if (answers.isEmpty()) return {};
        checked = nativeAnswer;
        return answers.takeFirst();
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    bool ReportRequest(QWidget*, SReportRequest&) override { return true; }
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        questions << text;
        return questionAnswers.isEmpty() ? QMessageBox::No : questionAnswers.takeFirst();
    }

    QStringList answers, titles, options, messages, saveAnswers, questions;
    QList<QMessageBox::StandardButton> questionAnswers;
    QList<bool> offered;
    bool nativeAnswer = false;
};

// Metres 0..400 every 2 m with the potential off `offVolts`, and
// `stretchVolts` from 100 to 120 m when given.
void WriteSurvey(const QString& path, const char* offVolts, const char* name, const char* stretchVolts = nullptr)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\n" << name << "\r\n7\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int m = 0; m <= 400; m += 2)
        out << m << ";-1.20;" << (stretchVolts && m >= 100 && m <= 120 ? stretchVolts : offVolts) << ";;;;;\r\n";
}

// Metres 0..400 every metre, the potential off -0.80 V where the pipe lies
// 100..120 m from the start of the current survey, else -0.90 V (20 mV more
// negative in the earlier survey); "Schieber" at 40 m and "Prüfstelle 3" at
// 360 m. The earlier survey is written as begun 3 m further on, or walked
// from the other end (403 m back).
enum class EWalk { Current, Shifted, Reversed };
void WriteLandmarkSurvey(const QString& path, EWalk walk)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nLeitung\r\n7\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int m = 0; m <= 400; ++m) {
        const int at = walk == EWalk::Current ? m : walk == EWalk::Shifted ? m + 3 : 403 - m;
        const char* comment = at == 40 ? "Schieber" : at == 360 ? "Prüfstelle 3" : "";
        const bool earlier = walk != EWalk::Current;
        const char* off = at >= 100 && at <= 120 ? (earlier ? "-0.82" : "-0.80") : (earlier ? "-0.92" : "-0.90");
        out << m << ";-1.20;" << off << ";;;;;" << comment << "\r\n";
    }
}

QStringList RowTexts(const QAbstractItemModel* m, int row)
{
    QStringList texts;
    for (int c = 0; c < m->columnCount(); ++c) texts << m->index(row, c).data().toString();
    return texts;
}

QString PageTitle(CAssessWnd& w)
{
    auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("lists"));
    return tabs->tabText(tabs->count() - 1);
}

std::string Bytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Pages of a PDF as Qt writes it: one "/Type /Page" object each.
int PdfPages(const QString& path)
{
    const QByteArray bytes = QByteArray::fromStdString(Bytes(path));
    int pages = 0;
    for (qsizetype at = 0; (at = bytes.indexOf("/Type /Page", at)) >= 0; at += 11)
        if (bytes.mid(at + 11, 1) != "s") ++pages;
    return pages;
}

QStringList MenuTexts(CMainFrame& frame, const QString& menu)
{
    QStringList out;
    for (QAction* m : frame.menuBar()->actions())
        if (m->text() == menu)
            for (QAction* a : m->menu()->actions())
                if (!a->isSeparator()) out << a->text().remove('&');
    return out;
}

// Pixels of the comparison curve inside the potential pane's plot, and the longest run of them
// on one row.
struct SGrey {
    int count = 0, longestRun = 0;
};
SGrey GreyInPlot(CTrePrintView& pane)
{
    const QImage img = pane.grab().toImage();
    const QRect plot = pane.PlotRect();
    SGrey g;
    for (int y = plot.top() + 1; y < plot.bottom(); ++y) {
        int run = 0;
        for (int x = plot.left() + 1; x < plot.right(); ++x) {
            const bool grey = (img.pixel(x, y) & 0xffffff) == (kGrey.rgb() & 0xffffff);
            run = grey ? run + 1 : 0;
            g.count += grey;
            g.longestRun = std::max(g.longestRun, run);
        }
    }
    return g;
}

} // namespace

class TestCompareMenu : public QObject, CFrameFixture<CCompareSeam> {
    Q_OBJECT
private slots:
    void init() { InitFrame(); }
    void cleanup() { CleanupFrame(); }
    void loadShowHideAndClose();
    void comparisonPageFollowsSurveysAndLimit();
    void alignedByLandmarksAndReversedOnRequest();
};

void TestCompareMenu::loadShowHideAndClose()
{
    QTemporaryDir dir;
    const QString current = dir.filePath("aktuell.tsd"), earlier = dir.filePath("vorjahr.tsd");
    WriteSurvey(current, "-0.90", "Leitung aktuell");
    WriteSurvey(earlier, "-0.95", "Leitung Vorjahr");
    const std::string earlierBytes = Bytes(earlier);

    QVERIFY(Frame().OpenDocumentFile(current));
    CTrePrintView* potential = Frame().UpperPane()->IsGradientPane() ? Frame().LowerPane() : Frame().UpperPane();

    QVERIFY(MenuTexts(Frame(), "&Datei").contains(QString::fromUtf8("Vergleichsmessung laden…")));
    QVERIFY(MenuTexts(Frame(), "&Datei").contains(QString::fromUtf8("Vergleichsmessung schließen")));
    QVERIFY(MenuTexts(Frame(), "&Ansicht").contains("Vergleich in Kurven"));
    QVERIFY(!Frame().Action(CMainFrame::ID_COMPARE_CLOSE)->isEnabled());
    QVERIFY(!Frame().Action(CMainFrame::ID_VIEW_COMPARE)->isEnabled());
    QCOMPARE(GreyInPlot(*potential).count, 0);

    // Loaded as an earlier survey: on at once, dotted, beside the document.
    m_seam.answers << earlier;
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(m_seam.options, QStringList{"Nativmessung"});
    QCOMPARE(m_seam.offered, QList<bool>{false});
    QVERIFY(Frame().Comparison().IsLoaded());
    QCOMPARE(QString::fromStdString(m_doc->m_header[3]), QString("Leitung aktuell"));
    QVERIFY(!m_doc->IsModified());
    QVERIFY(Frame().Action(CMainFrame::ID_VIEW_COMPARE)->isChecked());
    SGrey g = GreyInPlot(*potential);
    QVERIFY(g.count > 20);
    QCOMPARE(g.longestRun, kComparisonCurveWidth); // dotted: each dot as long as the line is wide

    Frame().Action(CMainFrame::ID_VIEW_COMPARE)->trigger();
    QVERIFY(!Frame().Action(CMainFrame::ID_VIEW_COMPARE)->isChecked());
    QCOMPARE(GreyInPlot(*potential).count, 0);
    Frame().Action(CMainFrame::ID_VIEW_COMPARE)->trigger();
    QVERIFY(GreyInPlot(*potential).count > 20);

    // A file that cannot be read keeps the survey loaded so far.
    m_seam.answers << dir.filePath("fehlt.tsd");
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(m_seam.messages.size(), 1);
    QCOMPARE(Frame().Comparison().Path(), QFileInfo(earlier).absoluteFilePath());

    // Again as a native survey: dashed.
    m_seam.answers << earlier;
    m_seam.nativeAnswer = true;
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QVERIFY(Frame().Comparison().IsNative());
    g = GreyInPlot(*potential);
    QVERIFY(g.longestRun >= 3);

    // Saving the document leaves the comparison file alone.
    QVERIFY(m_doc->OnSaveDocument(current.toStdString()));
    Frame().Action(CMainFrame::ID_COMPARE_CLOSE)->trigger();
    QVERIFY(!Frame().Comparison().IsLoaded());
    QVERIFY(!Frame().Action(CMainFrame::ID_VIEW_COMPARE)->isEnabled());
    QCOMPARE(GreyInPlot(*potential).count, 0);
    QCOMPARE(Bytes(earlier), earlierBytes);
}

void TestCompareMenu::comparisonPageFollowsSurveysAndLimit()
{
    // This year 100..120 m lie 120 mV above last year, elsewhere 20 mV.
    QTemporaryDir dir;
    const QString current = dir.filePath("aktuell.tsd"), earlier = dir.filePath("vorjahr.tsd");
    WriteSurvey(current, "-0.90", "Leitung aktuell", "-0.80");
    WriteSurvey(earlier, "-0.92", "Leitung Vorjahr");

    QVERIFY(Frame().OpenDocumentFile(current));
    Frame().Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
    CAssessWnd& w = *Frame().AssessWindow();
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich"));
    QVERIFY(w.CompareSourceLabel()->text().startsWith(QStringLiteral("Keine Vergleichsmessung geladen")));
    QVERIFY(!w.CompareLimitEdit()->isEnabled());

    const QString alone = dir.filePath("allein.pdf"), compared = dir.filePath("verglichen.pdf");
    m_seam.saveAnswers << alone;
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();

    m_seam.answers << earlier;
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich (1)"));
    // The report from the menu now has the comparison section as well.
    m_seam.saveAnswers << compared;
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QVERIFY(PdfPages(alone) >= 2);
    QVERIFY2(PdfPages(compared) > PdfPages(alone),
             qPrintable(QStringLiteral("%1 %2").arg(PdfPages(alone)).arg(PdfPages(compared))));
    QCOMPARE(w.CompareSourceLabel()->text(), QString::fromUtf8("Frühere Messung: vorjahr.tsd"));
    QCOMPARE(w.CompareLimitLabel()->text(), QStringLiteral("Schutz verschlechtert ab"));
    QCOMPARE(w.CompareLimitEdit()->placeholderText(), QStringLiteral("50"));
    const CCompareListModel* list = w.CompareModel();
    QCOMPARE(RowTexts(list, 0),
             (QStringList{"Schutz verschlechtert", "51", "61", "100", "120", "11", "20", "120", "100"}));
    const QString summary = w.CompareSummaryLabel()->text();
    QVERIFY2(summary.contains(QStringLiteral("Paare: 201")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("<td align=right>201</td><td align=right>20</td>"
                                             "<td align=right>120</td><td align=right>25</td>")),
             qPrintable(summary));

    // A cell edit compares again at once: 130 m now fails on its own.
    CTrePlotModel* table = Frame().TableView()->PlotModel();
    QCOMPARE(table->StoreCell(66, CTrePlotModel::ColPotOff, "-0.85"), CTrePlotModel::EStore::Accepted);
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich (2)"));
    QCOMPARE(RowTexts(list, 1).mid(1, 5), (QStringList{"66", "66", "130", "130", "1"}));

    // The limit: a wrong one is refused and the last good one stays; a good
    // one is used at once and kept in the settings; empty is the default.
    w.CompareLimitEdit()->setText("abc");
    emit w.CompareLimitEdit()->textEdited("abc");
    QVERIFY(w.MessageLabel()->isVisibleTo(&w));
    QCOMPARE(w.Comparison()->criteria[0].limit, 50);
    w.CompareLimitEdit()->setText("100");
    emit w.CompareLimitEdit()->textEdited("100");
    QVERIFY(!w.MessageLabel()->isVisibleTo(&w));
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich (1)"));
    QCOMPARE(CTresApp::Settings()->value("Bewertung/worseLimit").toInt(), 100);
    w.CompareLimitEdit()->setText("");
    emit w.CompareLimitEdit()->textEdited("");
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich (2)"));
    QVERIFY(!CTresApp::Settings()->contains("Bewertung/worseLimit"));

    // A double click shows the stretch in the table.
    QTableView* view = w.CompareView();
    const QRect cell = view->visualRect(view->model()->index(0, 1));
    QSignalSpy chosen(&w, &CAssessWnd::StretchChosen);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(Frame().TableView()->SelectedRowRange(), (std::pair<int, int>(51, 61)));

    // As a native survey the polarisation is judged: -920 - (-900) = -20 mV
    // everywhere, short of 100 mV, so every pair fails in one run.
    m_seam.answers << earlier;
    m_seam.nativeAnswer = true;
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(w.CompareSourceLabel()->text(), QString::fromUtf8("Nativmessung: vorjahr.tsd"));
    QCOMPARE(w.CompareLimitLabel()->text(), QStringLiteral("Polarisation mindestens"));
    QCOMPARE(RowTexts(list, 0).at(0), QStringLiteral("Polarisation unter Grenzwert"));
    QCOMPARE(list->rowCount(), 1);
    QCOMPARE(RowTexts(list, 0).at(5), QStringLiteral("201"));
    QVERIFY(w.CompareSummaryLabel()->text().contains(QStringLiteral("<td>Polarisation</td>")));

    // Closing takes the focus from the page's fields, which go grey, to the table.
    Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Frame()));
    w.CompareLimitEdit()->setFocus();
    QCOMPARE(QApplication::focusWidget(), w.CompareLimitEdit());
    Frame().Action(CMainFrame::ID_COMPARE_CLOSE)->trigger();
    QCOMPARE(QApplication::focusWidget(), Frame().TableView());
    QCOMPARE(Frame().ActivePane(), 1);
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich"));
    QCOMPARE(list->rowCount(), 0);
    QVERIFY(!w.Comparison());

    m_doc->SetModifiedFlag(false);
}

void TestCompareMenu::alignedByLandmarksAndReversedOnRequest()
{
    QTemporaryDir dir;
    const QString current = dir.filePath("aktuell.tsd"), shifted = dir.filePath("vorjahr.tsd"),
                  reversed = dir.filePath("gegenrichtung.tsd");
    WriteLandmarkSurvey(current, EWalk::Current);
    WriteLandmarkSurvey(shifted, EWalk::Shifted);
    WriteLandmarkSurvey(reversed, EWalk::Reversed);
    QVERIFY(Frame().OpenDocumentFile(current));
    Frame().Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
    CAssessWnd& w = *Frame().AssessWindow();
    CTrePrintView* potential = Frame().UpperPane()->IsGradientPane() ? Frame().LowerPane() : Frame().UpperPane();

    // Begun 3 m further on: paired by the two landmarks, nothing worse; by
    // the recorded metres 118..120 m would read as "Schutz verschlechtert".
    m_seam.answers << shifted;
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QVERIFY(m_seam.questions.isEmpty());
    QCOMPARE(w.CompareAlignLabel()->text(), QStringLiteral("Zuordnung: Orientierungspunkte (2), größte Abweichung "
                                                           "an einem gemeinsamen Punkt 0 m"));
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich (0)"));
    QVERIFY(w.CompareSummaryLabel()->text().contains(QStringLiteral("Paare: 398")));
    // The curve lies where the page pairs it: row 1 of the earlier survey at 3 m.
    const CCurveFrame f = potential->Frame();
    QVERIFY(f.pCompareMetres);
    QCOMPARE(f.pCompareMetres->front(), 3);
    QCOMPARE(f.pCompareMetres->back(), 403);

    // Walked from the other end: asked; refused on the page until asked for.
    m_seam.answers << reversed;
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(m_seam.questions.size(), 1);
    QVERIFY(m_seam.questions[0].startsWith(QString::fromUtf8("Die Vergleichsmessung ist in umgekehrter Richtung "
                                                             "gemessen.\nSoll sie")));
    QVERIFY(w.CompareAlignLabel()->text().contains(
        QString::fromUtf8("Die Vergleichsmessung ist in umgekehrter Richtung gemessen.")));
    QVERIFY(!w.Comparison());
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich"));
    QVERIFY(!w.CompareReverseButton()->isHidden());
    QVERIFY(!potential->Frame().pCompareMetres);
    // The report says it goes without the comparison.
    m_seam.saveAnswers << dir.filePath("bericht.pdf");
    Frame().Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].endsWith(QString::fromUtf8("Der Bericht wird ohne den Vergleich geschrieben.")));

    w.CompareReverseButton()->click();
    QCOMPARE(w.CompareAlignLabel()->text().section(QLatin1Char(','), 0, 1),
             QStringLiteral("Zuordnung: Orientierungspunkte (2), in umgekehrter Richtung gemessen"));
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich (0)"));
    QVERIFY(w.CompareReverseButton()->isHidden());
    QCOMPARE(potential->Frame().pCompareMetres->front(), 403);
    // Drawn along the current survey although its own metres run the other way.
    QVERIFY(GreyInPlot(*potential).count > 20);

    // Answered "Ja" at once, it is compared reversed straight away.
    m_seam.questionAnswers << QMessageBox::Yes;
    m_seam.answers << reversed;
    Frame().Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QCOMPARE(m_seam.questions.size(), 2);
    QCOMPARE(PageTitle(w), QStringLiteral("Vergleich (0)"));

    m_doc->SetModifiedFlag(false);
}

TRES_GUI_TEST_MAIN(TestCompareMenu)

#include "tst_comparemenu.moc"
