// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's view across the years: the trend of the current
// survey's pipeline from the archive ("Verlauf…"), the earlier surveys
// behind the potential curves, and the dig findings recorded at the current
// survey's defects. The archive's work is archiveui's, the trend's rules
// the trend layer's; this only hands them the survey and shows the result.
#include "mainframe.h"

#include "archive/store.h"
#include "archiveui/archivesession.h"
#include "archiveui/digfindingdlg.h"
#include "doc/replacefile.h"
#include "doc/tredoc.h"
#include "doc/verdict.h"
#include "print/trendtext.h"
#include "trendui/trendwnd.h"
#include "ui/uiseam.h"
#include "views/curvepane.h"

#include <QDate>
#include <QStatusBar>

namespace {

// The earlier surveys drawn at most: more curves than this are not read.
constexpr size_t kEarlierMost = 5;

} // namespace

bool CMainFrame::LoadCurrentTrend(trestrend::SArchiveTrend& loaded, std::optional<size_t>& current)
{
    current.reset();
    if (m_doc.m_bEmpty) return false;
    // The pipeline by the rule the survey is archived under.
    tresarchive::SNewSurvey named;
    std::string error;
    const auto binding = m_pSession->Binding();
    if (!tresarchive::NameSurvey(m_doc, binding.get(), "2000-01-01", named, error)) {
        CUiSeam::Current().Message(this, QString::fromStdString(error), QMessageBox::Information);
        return false;
    }
    trestrend::STrendRequest request;
    request.pipeline = named.pipelineName;
    request.number = named.pipelineNumber;
    const SArchiveJobResult r = m_pArchive->Trend(this, request, loaded);
    if (!r.ok) {
        CUiSeam::Current().Message(this, r.cancelled ? QStringLiteral("Abgebrochen.") : r.error,
                                   QMessageBox::Information);
        return false;
    }
    // The survey shown is one of them when its file, unchanged, is archived.
    const std::string path = m_doc.GetPathName();
    if (!path.empty() && !m_doc.IsModified()) {
        std::string bytes;
        bool found = false;
        tresarchive::SSurveyEntry entry;
        if (tresdoc::ReadFileWhole(path, bytes) == 0 && m_pArchive->Identify(this, bytes, found, entry).ok && found)
            for (size_t i = 0; i < loaded.surveys.size(); ++i)
                if (loaded.surveys[i].id == entry.id) current = i;
    }
    return true;
}

void CMainFrame::OnArchiveTrend()
{
    trestrend::SArchiveTrend loaded;
    std::optional<size_t> current;
    if (!LoadCurrentTrend(loaded, current)) return;
    trestrend::STrendOptions options;
    options.interval = loaded.surveyInterval;
    options.today = QDate::currentDate().toString(Qt::ISODate).toStdString();
    if (!m_pTrendWnd) {
        m_pTrendWnd = new CTrendWnd(this);
        m_pTrendWnd->setWindowFlag(Qt::Window);
        m_pTrendWnd->resize(900, 560);
        connect(m_pTrendWnd, &CTrendWnd::defectChosen, this, [this](int row) {
            ShowStretch(row, row, m_doc.GetMeter(row), m_doc.GetMeter(row));
            activateWindow();
        });
    }
    STrendReportInput in = TrendReportInputFrom(std::move(loaded), options);
    m_pTrendWnd->setWindowTitle(QString::fromUtf8("Verlauf – %1 %2").arg(in.pipelineName, in.pipelineNumber).trimmed());
    m_pTrendWnd->SetTrend(std::move(in), current);
    m_pTrendWnd->show();
    m_pTrendWnd->raise();
}

void CMainFrame::OnViewEarlier(bool on)
{
    if (!on) {
        m_pLower->SetEarlier({});
        return;
    }
    trestrend::SArchiveTrend loaded;
    std::optional<size_t> current;
    if (!LoadCurrentTrend(loaded, current)) {
        Action(ID_VIEW_EARLIER)->setChecked(false);
        return;
    }
    // The panes draw in chainage with pipeline data, else in recorded metres:
    // only surveys stored the same way stand at the right place.
    const bool chainage = m_pSession->Binding() != nullptr;
    std::vector<SEarlierCurve> curves;
    size_t other = 0;
    for (size_t i = loaded.surveys.size(); i-- > 0 && curves.size() < kEarlierMost;) {
        const trestrend::STrendSurvey& s = loaded.surveys[i];
        if (current && *current == i) continue;
        if (s.chainage != chainage) {
            ++other;
            continue;
        }
        SEarlierCurve c{TrendDate(s.date).toStdString(), 0, {}};
        for (const trestrend::STrendRow& row : s.rows)
            c.points.emplace_back(row.position, row.value ? *row.value : NO_VALUE);
        std::sort(c.points.begin(), c.points.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        curves.push_back(std::move(c));
    }
    std::reverse(curves.begin(), curves.end()); // the key in date order
    for (size_t k = 0; k < curves.size(); ++k) curves[k].colour = k;
    QString text = curves.empty()       ? QString::fromUtf8("Keine frühere Messung der Leitung im Archiv.")
                   : curves.size() == 1 ? QString::fromUtf8("1 frühere Messung eingeblendet")
                                        : QString::fromUtf8("%1 frühere Messungen eingeblendet").arg(curves.size());
    if (other > 0)
        text += QString::fromUtf8(" (%1 %2 nicht: %3)")
                    .arg(other)
                    .arg(other == 1 ? "Messung" : "Messungen")
                    .arg(chainage ? QString::fromUtf8("ohne Stationierung archiviert")
                                  : QString::fromUtf8("in Stationierung archiviert, Leitungsdaten laden"));
    statusBar()->showMessage(text);
    m_pLower->SetEarlier(std::move(curves));
}

void CMainFrame::OnDigFinding(int row)
{
    const std::string path = m_doc.GetPathName();
    bool found = false;
    tresarchive::SSurveyEntry entry;
    if (!path.empty() && !m_doc.IsModified()) {
        std::string bytes;
        if (tresdoc::ReadFileWhole(path, bytes) == 0 && !m_pArchive->Identify(this, bytes, found, entry).ok) return;
    }
    if (!found) {
        CUiSeam::Current().Message(
            this,
            QString::fromUtf8("Ein Befund wird zu einer archivierten Messung erfasst: diese Messung ist (so wie sie "
                              "gespeichert ist) nicht im Archiv. Zuerst „Archiv“ > „In Archiv übernehmen“."),
            QMessageBox::Information);
        return;
    }
    tresarchive::SDigRecord record;
    record.survey = entry.id;
    record.row = row;
    const QString where = QString::fromUtf8("Fehlstelle in Zeile %1 (%2 m) der Messung Nr. %3 vom %4")
                              .arg(row)
                              .arg(m_doc.GetMeter(row))
                              .arg(entry.id)
                              .arg(TrendDate(entry.date));
    if (!AskDigFinding(this, where, record)) return;
    const SArchiveJobResult r = m_pArchive->RecordDig(this, record);
    if (!r.ok) {
        CUiSeam::Current().Message(this, r.cancelled ? QStringLiteral("Abgebrochen.") : r.error, QMessageBox::Warning);
        return;
    }
    statusBar()->showMessage(QString::fromUtf8("Befund zu Zeile %1 im Archiv erfasst.").arg(row));
}
