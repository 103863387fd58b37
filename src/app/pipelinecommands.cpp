// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's pipeline data: loading, closing and finding them again
// for a survey, the map that shows the survey on its route, and the
// re-stationing of the metres to the data's fixed points.
#include "mainframe.h"

#include "appsettings.h"
#include "doc/tredoc.h"
#include "framehelpers.h"
#include "map/mapdock.h"
#include "map/mapscene.h"
#include "map/mapview.h"
#include "pipeline/numbers.h"
#include "pipeline/pipelineidentity.h"
#include "pipeline/pipelinereader.h"
#include "pipeline/restation.h"
#include "pipeline/restationwarnings.h"
#include "ui/listquestion.h"
#include "ui/uiseam.h"
#include "views/tableview.h"

#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QStatusBar>

#include <algorithm>

using framehelp::CWaitCursor;
using framehelp::Lines;

void CMainFrame::OnPipelineOpen()
{
    auto settings = AppSettings();
    QString initial = settings->value(QStringLiteral("Leitungsdaten/Ordner")).toString();
    if (initial.isEmpty() && !m_doc.GetPathName().empty())
        initial = QFileInfo(QString::fromStdString(m_doc.GetPathName())).absolutePath();
    const QString path = CUiSeam::Current().OpenFileName(this, QStringLiteral("Leitungsdaten laden"), initial,
                                                         CUiSeam::PipelineFilter(), QStringLiteral("geojson"));
    if (path.isEmpty()) return;
    settings->setValue(QStringLiteral("Leitungsdaten/Ordner"), QFileInfo(path).absolutePath());
    LoadPipeline(path);
}

bool CMainFrame::LoadPipeline(const QString& name, bool confirmed)
{
    const QString path = QFileInfo(name).absoluteFilePath();
    // Fixed points of the same names stand on many pipelines: data whose
    // route names another pipeline are taken, and remembered, only when the
    // user says so.
    if (!confirmed && !m_doc.m_bEmpty) {
        HeaderBarToDoc(m_doc);
        const trespipeline::SPipelineRead read = trespipeline::ReadPipelineFile(path.toStdString());
        if (const auto mismatch = read.ok ? trespipeline::PipelineMismatch(read.data.route, m_doc) : std::nullopt)
            if (CUiSeam::Current().Question(this, QString::fromStdString(mismatch->Text() + " Trotzdem verwenden?"),
                                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                != QMessageBox::Yes)
                return false;
    }
    QStringList errors;
    bool ok = false;
    {
        CWaitCursor wait;
        HeaderBarToDoc(m_doc);
        ok = m_pSession->LoadPipeline(path, errors);
    }
    if (!ok) {
        CUiSeam::Current().Message(
            this,
            QString::fromUtf8("Die Leitungsdaten %1 lassen sich nicht verwenden:\n").arg(QDir::toNativeSeparators(path))
                + Lines(errors),
            QMessageBox::Warning);
        return false;
    }
    if (!m_doc.m_bEmpty) CPipelineSource::Remember(m_doc.m_header[3], m_doc.m_header[4], path);
    QString text = QStringLiteral("Leitungsdaten geladen: ") + QDir::toNativeSeparators(path);
    if (const auto b = Pipeline().Binding())
        text += QString::fromUtf8(" – %1 von %2 Festpunkten gefunden")
                    .arg(b->fixpoints.size())
                    .arg(Pipeline().Data().fixpoints.size());
    if (const auto n = Pipeline().Warnings().size(); n > 0)
        text += QString::fromUtf8(", %1 Warnungen (im Fenster „Bewertung“)").arg(n);
    statusBar()->showMessage(text);
    return true;
}

void CMainFrame::OnPipelineClose()
{
    if (!Pipeline().IsLoaded()) return;
    if (!m_doc.m_bEmpty) CPipelineSource::Forget(m_doc.m_header[3], m_doc.m_header[4]);
    m_pSession->ClosePipeline();
}

void CMainFrame::LoadRememberedPipeline()
{
    const std::string& name = m_doc.m_header[3];
    const std::string& number = m_doc.m_header[4];
    const QString path = CPipelineSource::Remembered(name, number);
    // Data loaded before the survey, and it fits them: they are its pipeline's.
    if (path.isEmpty() && Pipeline().IsLoaded() && Pipeline().Binding()
        && !trespipeline::PipelineMismatch(Pipeline().Data().route, m_doc))
        CPipelineSource::Remember(name, number, Pipeline().Path());
    if (path.isEmpty() || path == Pipeline().Path()) return;
    if (!QFileInfo::exists(path)) {
        // Told once: the entry goes with the file.
        CPipelineSource::Forget(name, number);
        CUiSeam::Current().Message(
            this,
            QString::fromUtf8("Die Leitungsdaten %1 der Leitung „%2“ %3 gibt es nicht mehr; sie werden nicht mehr "
                              "geladen.")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(name), QString::fromStdString(number)),
            QMessageBox::Information);
        return;
    }
    LoadPipeline(path, true);
}

void CMainFrame::OnRestation()
{
    const std::shared_ptr<const trespipeline::SSurveyBinding> b = Pipeline().Binding();
    // A GPS track's stations are the file's already: nothing to re-station to.
    if (m_doc.m_bEmpty || !b || b->gps) return;
    const auto number
        = [](double v, int decimals) { return QString::fromStdString(trespipeline::GermanNumber(v, decimals)); };
    const trespipeline::SRestationPreview preview = trespipeline::PreviewRestation(m_doc, b->chainage);
    const trespipeline::SWholeMetres& whole = preview.whole;
    if (whole.badRow != 0) {
        CUiSeam::Current().Message(this,
                                   QString::fromUtf8("Zeile %1: die Stationierung %2 m passt nicht in die "
                                                     "Meterspalte; die Stationierung wird nicht angepasst.")
                                       .arg(whole.badRow)
                                       .arg(number(b->chainage[whole.badRow - 1], 2)),
                                   QMessageBox::Warning);
        return;
    }
    // Every fixed point in the list, each with the factor to the next one.
    QStringList ties;
    for (size_t k = 0; k < b->ties.size(); ++k) {
        const trespipeline::STie& t = b->ties[k];
        QString item = QString::fromUtf8("Zeile %1: %2 m → %3 m „%4“")
                           .arg(t.row)
                           .arg(t.metre)
                           .arg(number(t.chainage, 2), QString::fromStdString(b->pipeline.fixpoints[t.fixpoint].name));
        if (k < b->factors.size())
            item += QString::fromUtf8(", bis zum nächsten Faktor %1").arg(number(b->factors[k], 4));
        ties << item;
    }
    SListQuestion question;
    question.text = QString::fromUtf8("Die Messmeter werden durch die Stationierung an den Festpunkten der "
                                      "Leitungsdaten ersetzt, auf ganze Meter gerundet.\n\n%1 Festpunkte gefunden:")
                        .arg(b->ties.size());
    question.items = ties;
    QStringList after;
    QStringList warnings;
    for (const std::string& w : b->warnings) warnings << QString::fromStdString(w);
    if (!warnings.isEmpty()) after << QStringLiteral("Warnungen:\n") + Lines(warnings, 8);
    if (preview.changed == 0) {
        after << QString::fromUtf8("Kein Meter ändert sich.");
        question.after = after.join(QStringLiteral("\n\n"));
        CUiSeam::Current().ListQuestion(this, question, QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    {
        CWaitCursor wait;
        // The session's verdict is the survey's as it is, when judged with this binding.
        const std::shared_ptr<const SVerdict> current = m_pSession->Verdict();
        const trespipeline::SRestationWarnings added = trespipeline::RestationWarnings(
            m_doc, *b, m_pSession->Settings(), whole.metres, m_pSession->Binding() == b ? current.get() : nullptr);
        QStringList lines;
        for (const trespipeline::SNewWarnings& w : added.added)
            lines << QString::fromStdString(trespipeline::NewWarningsText(w));
        if (!lines.isEmpty())
            after << QString::fromUtf8("Mit den neuen Metern kommen hinzu:\n") + lines.join(QLatin1Char('\n'));
        QStringList errors;
        for (const std::string& e : added.bindErrors) errors << QString::fromStdString(e);
        if (!errors.isEmpty())
            after << QString::fromUtf8("Mit den neuen Metern passt die Messung nicht mehr zu den Leitungsdaten; ihre "
                                       "Warnungen sind nicht verglichen:\n")
                         + Lines(errors, 4);
    }
    after << QString::fromUtf8("%1 von %2 Metern ändern sich, am meisten in Zeile %3 (um %4 m).\n"
                               "Der Schritt lässt sich mit „Rückgängig“ zurücknehmen.")
                 .arg(preview.changed)
                 .arg(m_doc.GetRowCount())
                 .arg(preview.largestRow)
                 .arg(preview.largest);
    question.after = after.join(QStringLiteral("\n\n"));
    if (CUiSeam::Current().ListQuestion(this, question, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        != QMessageBox::Ok)
        return;
    CWaitCursor wait;
    m_doc.SetMetres(whole.metres);
}

void CMainFrame::UpdateMap()
{
    if (!m_pMap || m_pMap->isHidden()) return;
    QString message;
    std::shared_ptr<const tresmap::SMapScene> scene;
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = m_pSession->Binding();
    if (!Pipeline().IsLoaded()) {
        message = QString::fromUtf8("Keine Leitungsdaten geladen. Datei > Leitungsdaten laden…");
    } else if (m_doc.m_bEmpty) {
        message = QString::fromUtf8("Keine Messung geöffnet.");
    } else if (!binding) {
        QStringList errors;
        for (const std::string& e : Pipeline().BindErrors()) errors << QString::fromStdString(e);
        message = QString::fromUtf8("Die Messung passt nicht zu den Leitungsdaten:\n") + Lines(errors, 6);
    } else {
        scene = std::make_shared<const tresmap::SMapScene>(
            tresmap::BuildMapScene(m_doc, m_pSession->Verdict().get(), *binding));
    }
    m_pMap->Show(scene, message);
    OnTableSelectionChanged();
}

void CMainFrame::OnTableSelectionChanged()
{
    if (!m_pMap || m_pMap->isHidden()) return;
    std::vector<std::pair<int, int>> rows;
    for (const QItemSelectionRange& range : m_pTable->selectionModel()->selection())
        rows.emplace_back(range.top() + 1, range.bottom() + 1);
    std::sort(rows.begin(), rows.end());
    m_pMap->View()->SetHighlight(std::move(rows));
}
