// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu "Archiv": what it hands the archive session (the
// survey as saved, its pipeline data, the "Bewertung" window's settings)
// and what it makes of a stored survey (a new unnamed survey, the
// comparison, a report). The archive's own work is archiveui's.
#include "mainframe.h"

#include "appsettings.h"
#include "archive/store.h"
#include "archiveui/archiveoptionsdlg.h"
#include "archiveui/archivesession.h"
#include "archiveui/archivewnd.h"
#include "archiveui/storedreport.h"
#include "archiveui/surveydatedlg.h"
#include "doc/fileerror.h"
#include "doc/replacefile.h"
#include "doc/tredoc.h"
#include "framehelpers.h"
#include "import/surveyopen.h"
#include "pipeline/pipelineidentity.h"
#include "ui/uiseam.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>

namespace {

const QString kLocationKey = QStringLiteral("Archiv/Ort");

// The file whole, as the archive keeps it; false with the message.
bool ReadFileBytes(const std::string& path, std::string& bytes, QString& error)
{
    if (const int err = tresdoc::ReadFileWhole(path, bytes)) {
        error = QString::fromStdString(tresdoc::OpenErrorText(path, err));
        return false;
    }
    return true;
}

// What the user reads after a job that did not end in a result.
void TellFailure(QWidget* parent, const SArchiveJobResult& r)
{
    CUiSeam::Current().Message(
        parent, r.cancelled ? QString::fromUtf8("Abgebrochen: nichts wurde ins Archiv geschrieben.") : r.error,
        r.cancelled ? QMessageBox::Information : QMessageBox::Warning);
}

} // namespace

std::string CMainFrame::StoredArchiveLocation() { return AppSettings()->value(kLocationKey).toString().toStdString(); }

void CMainFrame::OnArchiveAdd()
{
    if (m_doc.m_bEmpty) return;
    HeaderBarToDoc(m_doc);
    // The archive keeps the file's bytes: what the window shows must be
    // what the file holds.
    if (m_doc.IsModified() || m_doc.GetPathName().empty()) {
        const QString text
            = m_doc.GetPathName().empty()
                  ? QString::fromUtf8("Das Archiv übernimmt die Messung als Datei. Soll sie jetzt gespeichert werden?")
                  : QString::fromUtf8("Das Archiv übernimmt die Messung, wie sie gespeichert ist. Sollen die "
                                      "Änderungen in %1 jetzt gespeichert werden?")
                        .arg(DocumentTitle());
        if (CUiSeam::Current().Question(this, text, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes)
                != QMessageBox::Yes
            || !OnFileSave() || m_doc.IsModified())
            return;
    }
    SArchiveSubmission sub;
    const std::string path = m_doc.GetPathName();
    if (QString error; !ReadFileBytes(path, sub.bytes, error)) {
        CUiSeam::Current().Message(this, error, QMessageBox::Warning);
        return;
    }
    if (!tresarchive::SurveyDateFromHeader(m_doc.m_header[1])
        && !AskSurveyDate(this, QString::fromStdString(m_doc.m_header[1]), sub.date))
        return;
    sub.fileName = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
    sub.reading = m_doc.Extras().reading;
    sub.verdict = m_pSession->Verdict();
    tresexport::SAssessRequest& r = sub.request;
    r.settings = m_pSession->Settings();
    if (const auto binding = m_pSession->Binding()) {
        sub.pipelineText = Pipeline().Text();
        r.pipeline = Pipeline().Path().toStdString();
        // Data of another pipeline were taken for this survey when asked.
        r.forcePipeline = trespipeline::PipelineMismatch(binding->pipeline.route, m_doc).has_value();
    }
    if (Comparison().IsLoaded() && Comparison().IsNative()) {
        r.native = Comparison().Path().toStdString();
        r.reverse = Comparison().IsReversed();
    }
    QString summary;
    const SArchiveJobResult result = m_pArchive->Add(this, sub, summary);
    if (!result.ok) return TellFailure(this, result);
    CUiSeam::Current().Message(this, summary + QString::fromUtf8(" ins Archiv übernommen."), QMessageBox::Information);
    RefreshArchiveWindow();
}

void CMainFrame::OnArchiveOpen()
{
    if (!m_pArchiveWnd) {
        m_pArchiveWnd = new CArchiveWnd(this);
        connect(m_pArchiveWnd, &CArchiveWnd::OpenRequested, this, &CMainFrame::OnArchiveSurveyOpen);
        connect(m_pArchiveWnd, &CArchiveWnd::CompareRequested, this, &CMainFrame::OnArchiveSurveyCompare);
        connect(m_pArchiveWnd, &CArchiveWnd::ReportRequested, this, &CMainFrame::OnArchiveSurveyReport);
        connect(m_pArchiveWnd, &CArchiveWnd::RefreshRequested, this, &CMainFrame::RefreshArchiveWindow);
    }
    std::vector<tresarchive::SPipelineEntry> pipelines;
    const SArchiveJobResult r = m_pArchive->List(this, pipelines);
    if (!r.ok) return TellFailure(this, r);
    m_pArchiveWnd->Show(m_pArchive->ShownLocation(), pipelines);
    if (!m_pArchiveWnd->isVisible()) {
        // As wide as its columns, within the screen the window is on.
        const QRect screen = this->screen()->availableGeometry();
        const QSize want = m_pArchiveWnd->sizeHint().expandedTo(QSize(0, 360));
        m_pArchiveWnd->resize(std::min(want.width(), screen.width() * 9 / 10),
                              std::min(std::max(want.height(), screen.height() / 2), screen.height() * 9 / 10));
    }
    m_pArchiveWnd->show();
    m_pArchiveWnd->raise();
    m_pArchiveWnd->activateWindow();
}

void CMainFrame::RefreshArchiveWindow()
{
    if (!m_pArchiveWnd || !m_pArchiveWnd->isVisible()) return;
    std::vector<tresarchive::SPipelineEntry> pipelines;
    const SArchiveJobResult r = m_pArchive->List(m_pArchiveWnd, pipelines);
    if (!r.ok) return TellFailure(m_pArchiveWnd, r);
    m_pArchiveWnd->Show(m_pArchive->ShownLocation(), pipelines);
}

void CMainFrame::OnArchiveOptions()
{
    CArchiveOptionsDlg dlg(this, m_pArchive->Location());
    if (dlg.exec() != QDialog::Accepted) return;
    const std::string location = dlg.Location();
    auto settings = AppSettings();
    if (location.empty()) settings->remove(kLocationKey);
    else settings->setValue(kLocationKey, QString::fromStdString(location));
    m_pArchive->SetLocation(location);
    RefreshArchiveWindow();
}

bool CMainFrame::FetchStored(long long id, tresarchive::SStoredSurvey& out)
{
    if (id == 0) return false;
    QWidget* parent = m_pArchiveWnd ? static_cast<QWidget*>(m_pArchiveWnd) : this;
    const SArchiveJobResult r = m_pArchive->Survey(parent, id, out);
    if (!r.ok) TellFailure(parent, r);
    return r.ok;
}

void CMainFrame::LoadStoredPipeline(const tresarchive::SStoredSurvey& stored)
{
    const QString name = QString::fromUtf8("Leitungsdaten der Messung Nr. %1 im Archiv").arg(stored.id);
    QStringList errors;
    if (!m_pSession->LoadPipelineText(stored.pipelineGeojson, name, errors)) {
        CUiSeam::Current().Message(this,
                                   name + QString::fromUtf8(" lassen sich nicht verwenden:\n") + errors.join('\n'),
                                   QMessageBox::Warning);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Leitungsdaten geladen: ") + name);
}

void CMainFrame::OnArchiveSurveyOpen(long long id)
{
    tresarchive::SStoredSurvey stored;
    if (!SaveModified() || !FetchStored(id, stored)) return;
    m_bOpeningStored = true;
    const bool read = tresimport::OpenSurveyBytes(m_doc, stored.bytes, stored.fileName, stored.reading);
    m_bOpeningStored = false;
    if (!read) {
        UpdateCommandUI();
        return;
    }
    // A new survey from the archive's copy: saving asks for a name, and no
    // file on the disk is taken for it.
    m_doc.SetPathName({});
    // Tied to the data it was archived with, so the window shows what the
    // archive holds; only a survey archived without any gets the pipeline's
    // remembered file.
    if (stored.pipelineGeojson.empty()) LoadRememberedPipeline();
    else LoadStoredPipeline(stored);
    InitialUpdateAll();
    UpdateTitle();
    UpdateAllViews();
    activateWindow();
}

void CMainFrame::OnArchiveSurveyCompare(long long id)
{
    tresarchive::SStoredSurvey stored;
    if (m_doc.m_bEmpty) {
        CUiSeam::Current().Message(m_pArchiveWnd ? static_cast<QWidget*>(m_pArchiveWnd) : this,
                                   QString::fromUtf8("Zuerst eine Messung öffnen: mit ihr wird die Messung aus dem "
                                                     "Archiv verglichen."),
                                   QMessageBox::Information);
        return;
    }
    if (!FetchStored(id, stored)) return;
    {
        framehelp::CWaitCursor wait;
        if (!m_pSession->LoadComparisonBytes(stored.bytes, QString::fromStdString(stored.fileName), this,
                                             stored.reading))
            return;
    }
    AfterComparisonLoaded();
}

void CMainFrame::OnArchiveSurveyReport(long long id)
{
    tresarchive::SStoredSurvey stored;
    if (!FetchStored(id, stored)) return;
    const QString base = QFileInfo(QString::fromStdString(stored.fileName)).completeBaseName();
    const QString folder = m_setup.folders ? m_setup.folders->m_strDataFolder : QDir::currentPath();
    const QString path = AskSaveName(QStringLiteral("Bewertungsbericht"),
                                     QDir(folder).absoluteFilePath(base + QStringLiteral("-Bewertung.pdf")),
                                     CUiSeam::PdfFilter(), QStringLiteral("pdf"));
    if (path.isEmpty()) return;
    QString error, note;
    bool written = false;
    {
        framehelp::CWaitCursor wait;
        written = WriteStoredReport(stored, path, error, note);
    }
    if (!written) return CUiSeam::Current().Message(this, error, QMessageBox::Warning);
    if (!note.isEmpty()) CUiSeam::Current().Message(this, note, QMessageBox::Information);
    ShowWritten(QStringLiteral("Bewertungsbericht geschrieben: ") + QDir::toNativeSeparators(path), path);
}
