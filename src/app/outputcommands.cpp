// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window writes beside the survey: the assessment report and
// the exports, under names given by one rule.
#include "mainframe.h"

#include "appsettings.h"
#include "doc/tredoc.h"
#include "export/surveyexport.h"
#include "framehelpers.h"
#include "print/assessreport.h"
#include "print/printrunner.h"
#include "reportsettingsdlg.h"
#include "ui/openfilebutton.h"
#include "ui/reportdlg.h"
#include "ui/uiseam.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStatusBar>

using framehelp::CWaitCursor;
using framehelp::Lines;
using tresexport::EExportFormat;

namespace {

// The save dialog's filter of an export format.
QString ExportFilter(EExportFormat f)
{
    switch (f) {
    case EExportFormat::GeoJson: return QStringLiteral("GeoJSON-Dateien (*.geojson)");
    case EExportFormat::Kml: return QStringLiteral("KML-Dateien (*.kml)");
    case EExportFormat::Gpx: return QStringLiteral("GPX-Dateien (*.gpx)");
    case EExportFormat::GeoPackage: return QStringLiteral("GeoPackage-Dateien (*.gpkg)");
    case EExportFormat::Csv: break;
    }
    return QStringLiteral("CSV-Dateien (*.csv)");
}

} // namespace

SReportOptions CMainFrame::ReportOptions(const SReportRequest& request) const
{
    SReportOptions o;
    // The report judges the survey exactly as the window shows it.
    o.settings = m_pSession->Settings();
    const CCompareSurvey& compare = Comparison();
    // Only an aligned comparison: the pairs of the page, the curve and the tool.
    o.comparison.earlier = compare.Alignment() ? compare.Doc() : nullptr;
    o.comparison.settings = m_pSession->CompareSettings();
    // The 100 mV criterion reads a native survey as the window does: paired
    // by the comparison's alignment, or not applied when it is refused.
    if (compare.IsLoaded() && o.comparison.settings.mode == ECompareMode::Native) {
        o.native = compare.Doc();
        o.nativePairing = compare.NativePairing().get();
    }
    o.issuer = ReadReportSettings();
    o.reportNumber = request.number;
    o.revision = request.revision;
    o.sectionLength = request.sectionLength;
    o.merge = request.merge;
    o.final = request.final;
    // Held by the pipeline source until the survey changes: past the report's writing.
    o.pipeline = m_pSession->Binding().get();
    // The verdict the window shows, held by the session past the report's writing.
    o.verdict = m_pSession->Verdict().get();
    return o;
}

void CMainFrame::OnReportSettings()
{
    CReportSettingsDlg dlg(this, ReadReportSettings());
    if (dlg.exec() != QDialog::Accepted) return;
    WriteReportSettings(dlg.Settings());
    UpdateCursorElectrode();
    UpdateOverlay(); // its axis names the electrode too
}

void CMainFrame::OnAssessReport()
{
    if (m_doc.m_bEmpty) return;
    SReportRequest request;
    const QString sectionKey = QStringLiteral("Bericht/Abschnitt"), mergeKey = QStringLiteral("Bericht/Zusammenfassen");
    request.sectionLength = AppSettings()->value(sectionKey, request.sectionLength).toInt();
    request.merge = AppSettings()->value(mergeKey, request.merge).toInt();
    if (!CUiSeam::Current().ReportRequest(this, request)) return;
    AppSettings()->setValue(sectionKey, request.sectionLength);
    AppSettings()->setValue(mergeKey, request.merge);
    HeaderBarToDoc(m_doc);
    // A final report that would be a draft is refused before a name is asked.
    if (request.final) {
        const QStringList draft = AssessmentReportDraftReasons(m_doc, ReportOptions(request));
        if (!draft.isEmpty()) {
            CUiSeam::Current().Message(this,
                                       QString::fromUtf8("Der Bericht wäre ein Entwurf und wird nicht als Endfassung "
                                                         "geschrieben:\n– ")
                                           + draft.join(QString::fromUtf8("\n– ")),
                                       QMessageBox::Warning);
            return;
        }
    }

    const QString path
        = AskSaveName(QStringLiteral("Bewertungsbericht"),
                      OutputName(QStringLiteral("-Bewertung.pdf"), QStringLiteral("Tresmon-Bewertung.pdf")),
                      CUiSeam::PdfFilter(), QStringLiteral("pdf"));
    if (path.isEmpty()) return;
    if (Comparison().IsLoaded() && !Comparison().Alignment())
        CUiSeam::Current().Message(this,
                                   Comparison().AlignErrors().join(QLatin1Char('\n'))
                                       + QString::fromUtf8("\nDer Bericht wird ohne den Vergleich geschrieben."),
                                   QMessageBox::Information);
    const SReportOptions options = ReportOptions(request);
    QString error;
    {
        CWaitCursor wait;
        if (!WriteAssessmentReportPdf(m_doc, options, path, &error)) {
            CUiSeam::Current().Message(this, error, QMessageBox::Warning);
            return;
        }
    }
    ShowWritten(QStringLiteral("Bewertungsbericht geschrieben: ") + QDir::toNativeSeparators(path), path);
    // Without a printer the PDF is all there is; with one, offer it.
    CPrintRunner& runner = CPrintRunner::Current();
    if (!runner.HasPrinter()) return;
    if (CUiSeam::Current().Question(this, QStringLiteral("Soll der Bewertungsbericht auch gedruckt werden?"),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    QPrinter& printer = PrintPrinter();
    if (!runner.ChoosePrinter(this, printer)) return;
    if (!PrintAssessmentReport(m_doc, options, printer, &error))
        CUiSeam::Current().Message(this, error, QMessageBox::Warning);
}

void CMainFrame::ShowWritten(const QString& message, const QString& file)
{
    statusBar()->showMessage(message);
    if (!m_pOpenWritten) {
        m_pOpenWritten = new COpenFileButton(statusBar());
        statusBar()->insertPermanentWidget(0, m_pOpenWritten);
    }
    m_pOpenWritten->SetFile(file);
}

QString CMainFrame::OutputName(const QString& tail, const QString& untitled) const
{
    if (m_doc.GetPathName().empty()) {
        const QString folder = m_setup.folders ? m_setup.folders->m_strDataFolder : QDir::currentPath();
        return QDir(folder).absoluteFilePath(untitled);
    }
    const QFileInfo survey(QString::fromStdString(m_doc.GetPathName()));
    return survey.absolutePath() + QLatin1Char('/') + survey.completeBaseName() + tail;
}

QString CMainFrame::AskSaveName(const QString& title, const QString& initial, const QString& filter,
                                const QString& suffix)
{
    QString path = CUiSeam::Current().SaveFileName(this, title, initial, filter, suffix);
    if (path.isEmpty()) return {};
    // A name typed with another ending ("messung.tsd") still gets a file of
    // its own: an output must never take a survey's place.
    const QString ending = QLatin1Char('.') + suffix;
    if (!path.endsWith(ending, Qt::CaseInsensitive)) {
        path += ending;
        if (QFileInfo::exists(path)
            && CUiSeam::Current().Question(this,
                                           QString::fromUtf8("%1 ist schon vorhanden.\nSoll die Datei ersetzt werden?")
                                               .arg(QDir::toNativeSeparators(path)),
                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes)
            return {};
    }
    return path;
}

void CMainFrame::OnExport(EExportFormat format)
{
    if (m_doc.m_bEmpty) return;
    const QString name = QString::fromUtf8(tresexport::ExportFormatName(format));
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = Pipeline().Binding();
    if (tresexport::ExportNeedsPipeline(format) && !binding) {
        QString text = QString::fromUtf8("Für den Export als %1 werden Leitungsdaten gebraucht, zu denen die Messung "
                                         "passt (Datei > Leitungsdaten laden...).")
                           .arg(name);
        QStringList errors;
        for (const std::string& e : Pipeline().BindErrors()) errors << QString::fromStdString(e);
        if (!errors.isEmpty()) text += QStringLiteral("\n") + Lines(errors);
        CUiSeam::Current().Message(this, text, QMessageBox::Warning);
        return;
    }
    const QString suffix = QString::fromUtf8(tresexport::ExportFormatSuffix(format));
    const QString tail
        = format == EExportFormat::Csv ? QStringLiteral("-Aufgrabungsliste.csv") : QLatin1Char('.') + suffix;
    const QString path = AskSaveName(QStringLiteral("Exportieren als ") + name,
                                     OutputName(tail, QStringLiteral("Tresmon") + tail), ExportFilter(format), suffix);
    if (path.isEmpty()) return;
    HeaderBarToDoc(m_doc);
    std::vector<std::string> notes;
    std::string error;
    {
        CWaitCursor wait;
        // The verdict the window shows.
        const std::shared_ptr<const SVerdict> verdict = m_pSession->Verdict();
        if (!tresexport::WriteSurveyExport(path.toStdString(), format, m_doc, *verdict, binding.get(), notes, error)) {
            CUiSeam::Current().Message(this, QString::fromStdString(error), QMessageBox::Warning);
            return;
        }
    }
    ShowWritten(QString::fromUtf8("Exportiert als %1: %2").arg(name, QDir::toNativeSeparators(path)), path);
    // What the file could not hold is said, never dropped in silence.
    if (!notes.empty()) {
        QStringList lines;
        for (const std::string& n : notes) lines << QString::fromStdString(n);
        CUiSeam::Current().Message(
            this, QString::fromUtf8("Exportiert als %1: %2\n").arg(name, QDir::toNativeSeparators(path)) + Lines(lines),
            QMessageBox::Information);
    }
}
