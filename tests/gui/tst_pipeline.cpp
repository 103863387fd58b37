// SPDX-License-Identifier: GPL-3.0-or-later
// Pipeline data in the program: loading through the menu with its own
// filter, refusals, the file remembered per pipeline; the "Bewertung"
// window with chainages, positions and the rows beyond the route, tied
// again after an edit; the exports menu writing every format; and the map:
// its message without data, a click on a defect, the table's selection,
// zooming about the pointer; re-stationing the metres as one step.
#include "assesswnd.h"
#include "curvepane.h"
#include "framefixture.h"
#include "listquestion.h"
#include "mainframe.h"
#include "mapdock.h"
#include "mapview.h"
#include "missingtool.h"
#include "openfilebutton.h"
#include "pipelinesource.h"
#include "surveyexport.h"
#include "tableview.h"
#include "tredoc.h"
#include "uiseam.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

#include <fstream>

namespace {

using EList = CAssessListModel::EList;

class CScriptedSeam : public CUiSeam {
public:
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString& filter, const QString&) override
    {
        openFilters << filter;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString& filter,
                         const QString& suffix) override
    {
        saveFilters << filter + QLatin1Char('|') + suffix;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        questions << text;
        return questionAnswers.isEmpty() ? QMessageBox::No : questionAnswers.takeFirst();
    }
    // The list question as the user reads it, in one text; and how many
    // items the dialog's own list shows.
    QMessageBox::StandardButton ListQuestion(QWidget* parent, const SListQuestion& q,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) override
    {
        const CListQuestionDlg dlg(parent, q, buttons, defaultButton);
        listed << dlg.List()->count();
        return Question(parent,
                        q.text + QLatin1Char('\n') + q.items.join(QLatin1Char('\n')) + QLatin1Char('\n') + q.after,
                        buttons, defaultButton);
    }
    QList<int> listed;
    QList<QMessageBox::StandardButton> questionAnswers;
    bool ReportRequest(QWidget*, SReportRequest&) override { return true; }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }
    bool OpenFile(const QString& file) override
    {
        opened << file;
        return true;
    }
    QString OpenFileNameWithOption(QWidget*, const QString&, const QString&, const QString&, bool&) override
    {
        return compareAnswers.isEmpty() ? QString() : compareAnswers.takeFirst();
    }

    QStringList compareAnswers, openAnswers, openFilters, saveAnswers, saveFilters, questions, messages, opened;
};

// 301 rows every 10 m from 0 to 3000 m, pipeline "Nord" number 42; fixed
// point "FP A" named at 0 m, "FP B" at 3000 m; a defect at 1000 m (row 101).
void WriteSurvey(const QString& path)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    for (int m = 0; m <= 3000; m += 10) {
        const char* comment = m == 0 ? "FP A" : m == 3000 ? "FP B" : "";
        if (m == 1000) out << m << ";-0.85;-0.80;20;1;20;1;" << comment << "\r\n";
        else out << m << ";-1.10;-0.90;3;1;3;1;" << comment << "\r\n";
    }
}

// Fixed points at 1000 and 4075 m (the survey's metres stretched by 1.025),
// a route due north of about 2001 m from chainage 990: rows from 1950 m on
// lie beyond it.
const char kPipeline[] = R"({"type": "FeatureCollection", "features": [
 {"type": "Feature", "properties": {"kind": "route", "name": "Nord", "number": "42", "startChainage": 990},
  "geometry": {"type": "LineString", "coordinates": [[9.0, 48.0], [9.0, 48.018]]}},
 {"type": "Feature", "properties": {"kind": "fixpoint", "name": "FP A", "chainage": 1000}, "geometry": null},
 {"type": "Feature", "properties": {"kind": "fixpoint", "name": "FP B", "chainage": 4075}, "geometry": null}]})";

void WriteText(const QString& path, const char* text) { std::ofstream(path.toStdString(), std::ios::binary) << text; }

QStringList RowTexts(const QAbstractItemModel* m, int row)
{
    QStringList texts;
    for (int c = 0; c < m->columnCount(); ++c) texts << m->index(row, c).data().toString();
    return texts;
}
QStringList Titles(const QAbstractItemModel* m)
{
    QStringList texts;
    for (int c = 0; c < m->columnCount(); ++c) texts << m->headerData(c, Qt::Horizontal).toString();
    return texts;
}

int CountPixels(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace

class TestPipeline : public QObject, protected CFrameFixture<CScriptedSeam> {
    Q_OBJECT
private slots:
    void init() { InitFrame(); }
    void cleanup() { CleanupFrame(); }

    void loadRefuseAndRemember();
    void anotherPipelinesDataAreAskedForAndRememberedOnlyWhenTaken();
    void windowShowsChainagesAndTiesAgainAfterEdits();
    void restationIsOneUndoableStep();
    void restationPreviewListsEveryFixedPoint();
    void comparisonByTheFixedPoints();
    void exportMenuWritesEveryFormat();
    void mapClickSelectionAndZoom();

private:
    QString Path(const char* name) const { return m_files.filePath(QString::fromUtf8(name)); }
    // The survey opened in a fresh window and the pipeline data written.
    CMainFrame& OpenSurvey()
    {
        WriteSurvey(Path("nord.tsd"));
        WriteText(Path("nord.geojson"), kPipeline);
        CMainFrame& f = Frame();
        if (!f.OpenDocumentFile(Path("nord.tsd"))) qWarning("survey not opened");
        return f;
    }
    void LoadPipeline(CMainFrame& f)
    {
        m_seam.openAnswers << Path("nord.geojson");
        f.Action(CMainFrame::ID_PIPELINE_OPEN)->trigger();
    }
};

void TestPipeline::loadRefuseAndRemember()
{
    CMainFrame& f = OpenSurvey();
    QVERIFY(!f.Action(CMainFrame::ID_PIPELINE_CLOSE)->isEnabled());
    QVERIFY(!f.Action(CMainFrame::ID_EXPORT_GEOJSON)->isEnabled());
    QVERIFY(f.Action(CMainFrame::ID_EXPORT_CSV)->isEnabled());

    // A faulty file and data the survey does not fit are refused with the
    // reason; nothing is loaded.
    WriteText(Path("kaputt.geojson"), R"({"type": "FeatureCollection", "features": [
     {"type": "Feature", "properties": {"kind": "fixpoint", "name": "X"}, "geometry": null}]})");
    QByteArray twice = kPipeline;
    twice.replace(R"("name": "FP B", "chainage": 4075)", R"("name": "FP B", "chainage": 4075, "match": "FP A")");
    WriteText(Path("doppelt.geojson"), twice.constData());
    m_seam.openAnswers << Path("kaputt.geojson") << Path("doppelt.geojson");
    f.Action(CMainFrame::ID_PIPELINE_OPEN)->trigger();
    f.Action(CMainFrame::ID_PIPELINE_OPEN)->trigger();
    QCOMPARE(m_seam.openFilters, QStringList(2, QStringLiteral("Leitungsdaten (*.geojson *.json)")));
    QCOMPARE(m_seam.messages.size(), 2);
    QVERIFY2(m_seam.messages[0].contains(QStringLiteral("Merkmal 1: chainage fehlt")), qPrintable(m_seam.messages[0]));
    QVERIFY2(m_seam.messages[1].contains(QStringLiteral("lassen sich nicht verwenden")),
             qPrintable(m_seam.messages[1]));
    QVERIFY(!f.Pipeline().IsLoaded());

    LoadPipeline(f);
    QCOMPARE(m_seam.messages.size(), 2);
    QVERIFY(f.Pipeline().IsLoaded());
    QVERIFY(f.Pipeline().Binding());
    QVERIFY(f.Action(CMainFrame::ID_PIPELINE_CLOSE)->isEnabled());
    QVERIFY(f.Action(CMainFrame::ID_EXPORT_GEOJSON)->isEnabled());
    // The survey file knows nothing of it.
    m_doc->SetModifiedFlag(false);

    // Opening a survey of pipeline "Nord" 42 loads the data again.
    CloseFrame();
    m_doc = std::make_unique<CTreDoc>();
    CMainFrame& again = Frame();
    QVERIFY(again.OpenDocumentFile(Path("nord.tsd")));
    QVERIFY(again.Pipeline().IsLoaded());
    QCOMPARE(again.Pipeline().Path(), QFileInfo(Path("nord.geojson")).absoluteFilePath());
    QVERIFY(again.Pipeline().Binding());

    // Gone from disk: said once, then forgotten.
    QVERIFY(QFile::remove(Path("nord.geojson")));
    for (int i = 0; i < 2; ++i) {
        CloseFrame();
        m_doc = std::make_unique<CTreDoc>();
        QVERIFY(Frame().OpenDocumentFile(Path("nord.tsd")));
        QVERIFY(!Frame().Pipeline().IsLoaded());
    }
    QCOMPARE(m_seam.messages.size(), 3);
    QVERIFY2(m_seam.messages[2].contains(QString::fromUtf8("gibt es nicht mehr")), qPrintable(m_seam.messages[2]));

    // Closed by the user, the data are no longer remembered either.
    WriteText(Path("nord.geojson"), kPipeline);
    LoadPipeline(Frame());
    Frame().Action(CMainFrame::ID_PIPELINE_CLOSE)->trigger();
    QVERIFY(!Frame().Pipeline().IsLoaded());
    QVERIFY(CPipelineSource::Remembered("Nord", "42").isEmpty());

    // Loaded before any survey, they are remembered for the first that fits.
    CloseFrame();
    m_doc = std::make_unique<CTreDoc>();
    LoadPipeline(Frame());
    QVERIFY(Frame().Pipeline().IsLoaded());
    QVERIFY(!Frame().Pipeline().Binding());
    QVERIFY(Frame().OpenDocumentFile(Path("nord.tsd")));
    QVERIFY(Frame().Pipeline().Binding());
    QCOMPARE(CPipelineSource::Remembered("Nord", "42"), Frame().Pipeline().Path());
}

// The same fixed-point names on the data of pipeline "Süd": asked, and
// neither loaded nor remembered unless the user takes them; taken once, the
// remembered file is loaded again without asking.
void TestPipeline::anotherPipelinesDataAreAskedForAndRememberedOnlyWhenTaken()
{
    CMainFrame& f = OpenSurvey();
    QByteArray south = kPipeline;
    south.replace(R"("name": "Nord", "number": "42")", R"("name": "Süd", "number": "7")");
    WriteText(Path("sued.geojson"), south.constData());
    m_seam.openAnswers << Path("sued.geojson");
    m_seam.questionAnswers << QMessageBox::No;
    f.Action(CMainFrame::ID_PIPELINE_OPEN)->trigger();
    QCOMPARE(m_seam.questions,
             QStringList(QString::fromUtf8(
                 "Die Leitungsdaten gehören zu „Süd 7“, die Messung zu „Nord 42“. Trotzdem verwenden?")));
    QVERIFY(!f.Pipeline().IsLoaded());
    QVERIFY(CPipelineSource::Remembered("Nord", "42").isEmpty());

    m_seam.openAnswers << Path("sued.geojson");
    m_seam.questionAnswers << QMessageBox::Yes;
    f.Action(CMainFrame::ID_PIPELINE_OPEN)->trigger();
    QVERIFY(f.Pipeline().Binding());
    QCOMPARE(CPipelineSource::Remembered("Nord", "42"), QFileInfo(Path("sued.geojson")).absoluteFilePath());
    m_doc->SetModifiedFlag(false);

    CloseFrame();
    m_doc = std::make_unique<CTreDoc>();
    QVERIFY(Frame().OpenDocumentFile(Path("nord.tsd")));
    QVERIFY(Frame().Pipeline().Binding());
    QCOMPARE(m_seam.questions.size(), 2);
}

void TestPipeline::windowShowsChainagesAndTiesAgainAfterEdits()
{
    CMainFrame& f = OpenSurvey();
    f.OnAssess();
    CAssessWnd& w = *f.AssessWindow();
    const CAssessListModel* dig = w.ListModel(EList::DigList);
    QCOMPARE(dig->columnCount(), 13);
    LoadPipeline(f);

    // Lengths by chainage: 300 gaps of 10 m stretched by 1.025.
    QVERIFY2(w.SummaryLabel()->text().contains(QString::fromUtf8("Messlänge 3075 m")),
             qPrintable(w.SummaryLabel()->text()));
    QVERIFY2(w.PipelineLabel()->text().contains(QString::fromUtf8("2 von 2 Festpunkten gefunden")),
             qPrintable(w.PipelineLabel()->text()));
    QCOMPARE(Titles(dig).mid(0, 6),
             (QStringList{QStringLiteral("Prio."), QStringLiteral("Zeile"), QStringLiteral("m"),
                          QStringLiteral("Station m"), QString::fromUtf8("Breite °"), QString::fromUtf8("Länge °")}));
    QCOMPARE(dig->rowCount(), 1);
    const QStringList defect = RowTexts(dig, 0);
    QCOMPARE(defect.mid(0, 4), (QStringList{"1", "101", "1000", "2025"}));
    // 1035 m north of 48° N on 9° E.
    QCOMPARE(defect[5], QStringLiteral("9,0000000"));
    QVERIFY2(defect[4].startsWith(QStringLiteral("48,0093")), qPrintable(defect[4]));

    // The rows from 1950 m lie beyond the route's end at about 2991 m.
    const CAssessListModel* warn = w.ListModel(EList::Warnings);
    QStringList outside;
    for (int r = 0; r < warn->rowCount(); ++r)
        if (RowTexts(warn, r)[0] == QString::fromUtf8("außerhalb der Trasse")) outside = RowTexts(warn, r);
    QCOMPARE(outside, (QStringList{QString::fromUtf8("außerhalb der Trasse"), "196", "301", "1950", "3000", "2998,75",
                                   "4075", "106"}));

    // A comment that names "FP A" a second time: the survey no longer fits,
    // the window says so and measures in metres; undone, it fits again.
    m_doc->EditComment(50, "FP A");
    m_doc->UpdateAllViews(); // as the table does after an edit
    QVERIFY(!f.Pipeline().Binding());
    QVERIFY2(w.PipelineLabel()->text().contains(QStringLiteral("passt nicht")), qPrintable(w.PipelineLabel()->text()));
    QVERIFY(w.SummaryLabel()->text().contains(QString::fromUtf8("Messlänge 3000 m")));
    QCOMPARE(dig->columnCount(), 13);
    QVERIFY(!f.Action(CMainFrame::ID_EXPORT_KML)->isEnabled());
    f.OnEditUndo();
    QVERIFY(f.Pipeline().Binding());
    QCOMPARE(dig->columnCount(), 16);
    QVERIFY(w.SummaryLabel()->text().contains(QString::fromUtf8("Messlänge 3075 m")));
}

void TestPipeline::restationIsOneUndoableStep()
{
    CMainFrame& f = OpenSurvey();
    QAction* restation = f.Action(CMainFrame::ID_RESTATION);
    QVERIFY(!restation->isEnabled());
    LoadPipeline(f);
    QVERIFY(restation->isEnabled());

    // What will change is shown first; "Abbrechen" changes nothing.
    m_seam.questionAnswers << QMessageBox::Cancel;
    restation->trigger();
    QCOMPARE(m_seam.questions.size(), 1);
    const QString shown = m_seam.questions[0];
    for (const char* part :
         {"2 Festpunkte gefunden", "Zeile 1: 0 m → 1000 m „FP A“", "Faktor 1,025", "Zeile 301: 3000 m → 4075 m „FP B“",
          "301 von 301 Metern ändern sich, am meisten in "
          "Zeile 299 (um 1075 m)"})
        QVERIFY2(shown.contains(QString::fromUtf8(part)), qPrintable(shown));
    QCOMPARE(m_doc->GetMeter(3), 20);
    QVERIFY(!m_doc->IsModified());

    // Whole metres, half away from zero: 1000 + 20 m · 1.025 = 1020,5 → 1021.
    m_seam.questionAnswers << QMessageBox::Ok;
    restation->trigger();
    const auto metres = [&] {
        return std::vector<int32_t>{m_doc->GetMeter(1), m_doc->GetMeter(3), m_doc->GetMeter(101), m_doc->GetMeter(301)};
    };
    QCOMPARE(metres(), (std::vector<int32_t>{1000, 1021, 2025, 4075}));
    QVERIFY(m_doc->IsModified());
    QCOMPARE(f.Action(CMainFrame::ID_EDIT_UNDO)->text(), QString::fromUtf8("&Rückgängig: Stationierung anpassen"));
    // Tied again: the metres now are the chainages.
    QCOMPARE(f.Pipeline().Binding()->chainage[100], 2025.0);

    // One step back and forth.
    f.OnEditUndo();
    QCOMPARE(metres(), (std::vector<int32_t>{0, 20, 1000, 3000}));
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(f.Pipeline().Binding()->chainage[100], 2025.0);
    f.OnEditRedo();
    QCOMPARE(metres(), (std::vector<int32_t>{1000, 1021, 2025, 4075}));
}

// Twelve fixed points, every 250 m of the survey: the preview names each one
// in its list, none left behind a "… und 7 weitere".
void TestPipeline::restationPreviewListsEveryFixedPoint()
{
    std::ofstream survey(Path("zwoelf.tsd").toStdString(), std::ios::binary);
    survey << "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\nNord\r\n42\r\n\r\n\r\nBem\r\n\r\n\r\n\r\n\r\n[Messdaten]\r\n";
    std::string features;
    for (int m = 0; m <= 3000; m += 10) {
        const std::string name = m % 250 == 0 && m < 3000 ? "FP " + std::to_string(m / 250 + 1) : "";
        survey << m << ";-1.10;-0.90;3;1;3;1;" << name << "\r\n";
        if (!name.empty())
            features += R"(, {"type": "Feature", "properties": {"kind": "fixpoint", "name": ")" + name
                        + R"(", "chainage": )" + std::to_string(1000 + m * 1.025) + "}, \"geometry\": null}";
    }
    survey.close();
    const std::string pipeline = R"({"type": "FeatureCollection", "features": [
 {"type": "Feature", "properties": {"kind": "route", "name": "Nord", "number": "42", "startChainage": 990},
  "geometry": {"type": "LineString", "coordinates": [[9.0, 48.0], [9.0, 48.018]]}})"
                                 + features + "]}";
    WriteText(Path("zwoelf.geojson"), pipeline.c_str());
    CMainFrame& f = Frame();
    QVERIFY(f.OpenDocumentFile(Path("zwoelf.tsd")));
    m_seam.openAnswers << Path("zwoelf.geojson");
    f.Action(CMainFrame::ID_PIPELINE_OPEN)->trigger();
    QVERIFY(f.Pipeline().Binding());

    m_seam.questionAnswers << QMessageBox::Cancel;
    f.Action(CMainFrame::ID_RESTATION)->trigger();
    QCOMPARE(m_seam.listed, QList<int>{12});
    const QString shown = m_seam.questions.value(0);
    for (const char* part :
         {"12 Festpunkte gefunden", "Zeile 1: 0 m → 1000 m „FP 1“", "Zeile 276: 2750 m → 3818,75 m „FP 12“"})
        QVERIFY2(shown.contains(QString::fromUtf8(part)), qPrintable(shown));
    QVERIFY2(!shown.contains(QString::fromUtf8("weitere")), qPrintable(shown));
}

void TestPipeline::comparisonByTheFixedPoints()
{
    CMainFrame& f = OpenSurvey();
    f.OnAssess();
    CAssessWnd& w = *f.AssessWindow();
    m_seam.compareAnswers << Path("nord.tsd");
    f.Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
    QVERIFY(w.CompareAlignLabel()->text().startsWith(QStringLiteral("Zuordnung: Orientierungspunkte (2)")));
    // With pipeline data both surveys are re-stationed by their own ties.
    LoadPipeline(f);
    QCOMPARE(w.CompareAlignLabel()->text(), QStringLiteral("Zuordnung: Festpunkte der Leitungsdaten, größte "
                                                           "Abweichung an einem gemeinsamen Punkt 0 m"));
    QCOMPARE(w.CompareSettings().alignment->method, EAlignMethod::Pipeline);
    QVERIFY(w.Comparison());
    QCOMPARE(w.Comparison()->summary.matched, 301);
    // The curves are drawn in chainage, the comparison's too: its first row
    // (0 m, "FP A") at 1000 m, its last (3000 m, "FP B") at 4075 m.
    const CCurveFrame lower = f.LowerPane()->Frame();
    QVERIFY(lower.pPositions);
    QCOMPARE(lower.pPositions->at(100), 2025.0);
    QVERIFY(lower.pCompareMetres);
    QCOMPARE(lower.pCompareMetres->front(), 1000);
    QCOMPARE(lower.pCompareMetres->back(), 4075);
    // The report names the data and pairs its comparison the same way.
    const bool pdfText = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    if (pdfText) {
        m_seam.saveAnswers << Path("bericht.pdf");
        f.Action(CMainFrame::ID_ASSESS_REPORT)->trigger();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), Path("bericht.pdf"), QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(pdf.contains(QStringLiteral("nord.geojson")), qPrintable(pdf.left(2000)));
        QVERIFY(pdf.contains(QRegularExpression(QStringLiteral("Zuordnung:\\s+Festpunkte der Leitungsdaten"))));
    }
    f.OnPipelineClose();
    QCOMPARE(w.CompareSettings().alignment->method, EAlignMethod::Landmarks);
    // Without pipeline data the recorded metres again, the comparison on its own.
    QVERIFY(!f.LowerPane()->Frame().pPositions);
    QCOMPARE(f.LowerPane()->Frame().nStart, 0);
    if (!pdfText) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed: the report was not read back");
}

void TestPipeline::exportMenuWritesEveryFormat()
{
    CMainFrame& f = OpenSurvey();
    // Without pipeline data the map formats are refused, the dig list is written.
    f.OnExport(tresexport::EExportFormat::Gpx);
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].contains(QStringLiteral("Leitungsdaten")));
    QVERIFY(m_seam.saveFilters.isEmpty());
    m_seam.saveAnswers << Path("ohne");
    f.Action(CMainFrame::ID_EXPORT_CSV)->trigger();
    QVERIFY(QFile::exists(Path("ohne.csv")));
    // The status bar says where it went and offers the file to the desktop's program.
    QCOMPARE(f.statusBar()->currentMessage(),
             QString::fromUtf8("Exportiert als CSV: ") + QDir::toNativeSeparators(Path("ohne.csv")));
    COpenFileButton* open = f.OpenWrittenButton();
    QVERIFY(open && open->isVisible());
    QCOMPARE(open->text(), QString::fromUtf8("Öffnen: ohne.csv"));
    open->click();
    QCOMPARE(m_seam.opened, QStringList{Path("ohne.csv")});
    // A file gone since is said, not handed on.
    QVERIFY(QFile::remove(Path("ohne.csv")));
    open->click();
    QCOMPARE(m_seam.opened.size(), 1);
    QCOMPARE(
        m_seam.messages.last(),
        QString::fromUtf8("Die Datei „%1“ ist nicht mehr vorhanden.").arg(QDir::toNativeSeparators(Path("ohne.csv"))));

    LoadPipeline(f);
    const struct {
        int id;
        const char* suffix;
        const char* start;
    } formats[] = {{CMainFrame::ID_EXPORT_GEOJSON, "geojson", "{"},
                   {CMainFrame::ID_EXPORT_KML, "kml", "<?xml"},
                   {CMainFrame::ID_EXPORT_GPX, "gpx", "<?xml"},
                   {CMainFrame::ID_EXPORT_GPKG, "gpkg", "SQLite format 3"},
                   {CMainFrame::ID_EXPORT_CSV, "csv", "\xEF\xBB\xBFPriorit"}};
    const bool ogr = QProcess::execute(QStringLiteral("ogrinfo"), {QStringLiteral("--version")}) == 0;
    for (const auto& format : formats) {
        // A name typed over the survey's gets the format's ending; the survey stays.
        m_seam.saveAnswers << Path("nord.tsd");
        f.Action(format.id)->trigger();
        const QString written = Path("nord.tsd.") + QLatin1String(format.suffix);
        QFile file(written);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(written));
        QVERIFY2(file.readAll().startsWith(format.start), format.suffix);
        QVERIFY(m_seam.saveFilters.last().endsWith(QLatin1Char('|') + QLatin1String(format.suffix)));
        if (!ogr) continue;
        QProcess info;
        info.start(QStringLiteral("ogrinfo"),
                   {QStringLiteral("-ro"), QStringLiteral("-so"), QStringLiteral("-al"), written});
        QVERIFY(info.waitForFinished(30000));
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(info.exitCode() == 0 && out.contains(QStringLiteral("Feature Count: ")), qPrintable(out));
    }
    QCOMPARE(
        m_seam.saveFilters.mid(1),
        (QStringList{QStringLiteral("GeoJSON-Dateien (*.geojson)|geojson"), QStringLiteral("KML-Dateien (*.kml)|kml"),
                     QStringLiteral("GPX-Dateien (*.gpx)|gpx"), QStringLiteral("GeoPackage-Dateien (*.gpkg)|gpkg"),
                     QStringLiteral("CSV-Dateien (*.csv)|csv")}));
    QFile survey(Path("nord.tsd"));
    QVERIFY(survey.open(QIODevice::ReadOnly));
    QVERIFY(survey.readAll().startsWith("[Kopfdaten]"));
    // The GPX waypoint of the defect as the dig crew reads it.
    QFile gpx(Path("nord.tsd.gpx"));
    QVERIFY(gpx.open(QIODevice::ReadOnly));
    // Named by its chainage: 1000 m + 1000 m · 1.025.
    QVERIFY(gpx.readAll().contains("<name>P1 II 2025,0 m</name>"));
}

void TestPipeline::mapClickSelectionAndZoom()
{
    CMainFrame& f = OpenSurvey();
    f.Action(CMainFrame::ID_VIEW_MAP)->trigger();
    tresmap::CMapDock* dock = f.MapDock();
    QVERIFY(dock->isVisible());
    tresmap::CMapView* view = dock->View();
    QCOMPARE(view->Message(), QString::fromUtf8("Keine Leitungsdaten geladen. Datei > Leitungsdaten laden…"));
    QVERIFY(!view->Scene());

    LoadPipeline(f);
    dock->setFloating(true);
    dock->resize(600, 500);
    // The clicks below aim at the map as fitted to the floating dock's size.
    QVERIFY(QTest::qWaitForWindowExposed(dock));
    QTRY_VERIFY_WITH_TIMEOUT(view->width() > 500 && view->Transform().Width() == view->width()
                                 && view->Transform().Height() == view->height(),
                             10000);
    const tresmap::SMapScene* scene = view->Scene();
    QVERIFY(scene);
    QCOMPARE(scene->defects.size(), size_t{1});

    // A click on the defect's triangle selects its row and brings the
    // curves to it: to its chainage, 2025 m, on curves drawn in chainage
    // from the survey's first, 1000 m.
    QCOMPARE(f.LowerPane()->Frame().nStart, 1000);
    const QPointF mark = view->ToWidget(scene->defects[0].at);
    QTest::mouseClick(view, Qt::LeftButton, {}, (mark + QPointF(1, -3)).toPoint());
    QCOMPARE(f.TableView()->SelectedRowRange(), (std::pair<int, int>(101, 101)));
    const CCurveFrame lower = f.LowerPane()->Frame();
    QVERIFY(lower.nStart > 1000 && lower.nStart <= 2025 && 2025 <= lower.nStart + lower.nSpan);
    QCOMPARE(f.UpperPane()->Frame().nStart, lower.nStart);
    // Missing it by a few pixels more selects nothing new.
    f.TableView()->SelectRows(3, 3);
    QTest::mouseClick(view, Qt::LeftButton, {}, (mark + QPointF(14, 0)).toPoint());
    QCOMPARE(f.TableView()->SelectedRowRange(), (std::pair<int, int>(3, 3)));

    // Rows selected in the table are highlighted on the map.
    f.TableView()->SelectRows(20, 60);
    QCOMPARE(view->Highlight(), (std::vector<std::pair<int, int>>{{20, 60}}));
    QVERIFY(CountPixels(view->grab().toImage(), tresmap::CMapView::HighlightColour()) > 100);
    f.TableView()->clearSelection();
    QVERIFY(view->Highlight().empty());
    QCOMPARE(CountPixels(view->grab().toImage(), tresmap::CMapView::HighlightColour()), 0);

    // The wheel zooms about the pointer: the ground under it stays.
    const QPointF at(150, 120);
    const tresmap::SGroundPoint before = view->Transform().ToGround({at.x(), at.y()});
    const double scale = view->Transform().MetresPerPixel();
    QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QCOMPARE(view->Transform().MetresPerPixel(), scale / 2);
    const tresmap::SGroundPoint after = view->Transform().ToGround({at.x(), at.y()});
    QVERIFY(std::abs(after.e - before.e) < 1e-6 && std::abs(after.n - before.n) < 1e-6);
    // "Einpassen" brings the whole survey back.
    dock->FitAction()->trigger();
    QCOMPARE(view->Transform().MetresPerPixel(), scale);

    // The next window opens with the map as this one left it, the data
    // loaded again for the survey.
    dock->setFloating(false);
    CloseFrame();
    m_doc = std::make_unique<CTreDoc>();
    QVERIFY(!Frame().MapDock()->isHidden());
    QVERIFY(Frame().Action(CMainFrame::ID_VIEW_MAP)->isChecked());
    QVERIFY(Frame().MapDock()->View()->Message().startsWith(QStringLiteral("Keine Leitungsdaten")));
    QVERIFY(Frame().OpenDocumentFile(Path("nord.tsd")));
    QVERIFY(Frame().MapDock()->View()->Scene());
}

TRES_GUI_TEST_MAIN(TestPipeline)

#include "tst_pipeline.moc"
