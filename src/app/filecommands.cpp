// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file commands: new, open, append, save, a survey
// dropped from a file manager, and the comparison survey beside it.
#include "mainframe.h"

#include "comparesurvey.h"
#include "doc/metrealign.h"
#include "doc/rowextras.h"
#include "doc/tredoc.h"
#include "export/surveyexport.h"
#include "framehelpers.h"
#include "import/csvreader.h"
#include "import/readerregistry.h"
#include "import/surveyopen.h"
#include "importui/importchoice.h"
#include "surveydrop.h"
#include "ui/uiseam.h"
#include "views/curvepane.h"
#include "views/verdictlegend.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

#include <algorithm>

using framehelp::CWaitCursor;
namespace {

// Whether saving to `path` writes the format the file already has.
bool IsOwnFormatPath(const QString& path)
{
    return path.endsWith(QLatin1Char('.') + CUiSeam::SurveySuffix(), Qt::CaseInsensitive);
}

} // namespace

bool CMainFrame::SaveModified()
{
    if (!m_doc.IsModified()) return true;
    const auto answer = CUiSeam::Current().Question(
        this, QString::fromUtf8("Sollen die Änderungen in %1 gespeichert werden?").arg(DocumentTitle()),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::No) return true;
    return OnFileSave();
}

void CMainFrame::OnFileNew()
{
    if (!SaveModified()) return;
    m_doc.OnNewDocument();
    InitialUpdateAll();
    DocToHeaderBar(m_doc);
    UpdateTitle();
    UpdateAllViews();
}

void CMainFrame::OnFileOpen()
{
    QString initial = m_setup.folders ? m_setup.folders->m_strLastFilePath : QString();
    const QFileInfo last(initial);
    if (last.isFile()) initial = last.absolutePath();
    const QString path = CUiSeam::Current().OpenFileName(this, QString::fromUtf8("Öffnen"), initial,
                                                         CUiSeam::FileFilter(), CUiSeam::SurveySuffix());
    if (path.isEmpty()) return;
    update();
    if (m_setup.folders) m_setup.folders->m_strLastFilePath = path;
    // An export whose header line no map knows yet is one to import, not
    // a file of unknown format.
    if (IsImportName(path) && !tresimport::IdentifyFile(path.toStdString())) {
        ImportDocumentFile(path);
        return;
    }
    OpenDocumentFile(path);
}

bool CMainFrame::OpenDocumentFile(const QString& name, const tresimport::CReaderRegistry* readers)
{
    const QString path = QFileInfo(name).absoluteFilePath();
    if (!SaveModified()) return false;
    if (!tresimport::OpenSurvey(m_doc, path.toStdString(),
                                readers ? *readers : tresimport::CReaderRegistry::Program())) {
        UpdateCommandUI();
        return false;
    }
    LoadRememberedPipeline();
    InitialUpdateAll();
    UpdateTitle();
    UpdateAllViews();
    return true;
}

void CMainFrame::OnFileAppend()
{
    if (m_doc.m_bEmpty) return;
    const QString path = CUiSeam::Current().OpenFileName(this, QString::fromUtf8("Anhängen"), QString(),
                                                         CUiSeam::FileFilter(), CUiSeam::SurveySuffix());
    if (path.isEmpty()) return;
    update();
    tresimport::AppendSurvey(m_doc, path.toStdString());
    UpdateAllViews();
}

bool CMainFrame::OnFileSave()
{
    if (m_doc.m_bEmpty) return false;
    // A survey that was never saved has no path yet: ask for one. One read
    // from another logger's export is asked for too: saving writes our own
    // format, which must never replace the export it came from.
    if (m_doc.GetPathName().empty() || !IsOwnFormatPath(QString::fromStdString(m_doc.GetPathName())))
        return OnFileSaveAs();
    update();
    return m_doc.OnSaveDocument(m_doc.GetPathName());
}

bool CMainFrame::OnFileSaveAs()
{
    if (m_doc.m_bEmpty) return false;
    QString initial = QString::fromStdString(m_doc.GetPathName());
    if (!initial.isEmpty() && !IsOwnFormatPath(initial)) {
        const QFileInfo export_(initial);
        initial = export_.path() + QLatin1Char('/') + export_.completeBaseName() + QLatin1Char('.')
                  + CUiSeam::SurveySuffix();
    }
    if (initial.isEmpty() && m_setup.folders)
        initial = m_setup.folders->m_strLastFilePath + QStringLiteral("/Unbenannt.") + CUiSeam::SurveySuffix();
    const QString path = CUiSeam::Current().SaveFileName(this, QStringLiteral("Speichern unter"), initial,
                                                         CUiSeam::FileFilter(), CUiSeam::SurveySuffix());
    if (path.isEmpty()) return false;
    if (!AcceptExtrasLoss()) return false;
    update();
    if (!m_doc.OnSaveDocument(path.toStdString())) return false;
    if (m_setup.folders) m_setup.folders->m_strLastFilePath = path;
    return true;
}

bool CMainFrame::AcceptExtrasLoss()
{
    // Another logger's export knows more than the handheld's format holds:
    // said before it is lost, with the way to keep the positions.
    const std::string loss = ExtrasLossText(m_doc.Extras());
    if (loss.empty()) return true;
    const bool positions = std::any_of(m_doc.Extras().rows.begin(), m_doc.Extras().rows.end(),
                                       [](const CRowExtra& e) { return e.HasPosition(); });
    if (!positions) {
        return CUiSeam::Current().Question(this,
                                           QString::fromStdString(loss) + QString::fromUtf8(": trotzdem speichern?"),
                                           QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes)
               == QMessageBox::Yes;
    }
    const auto answer = CUiSeam::Current().Question(
        this, QString::fromStdString(loss) + QString::fromUtf8(": als GeoJSON exportieren?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) OnExport(tresexport::EExportFormat::GeoJson);
    return true;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedSurvey(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = DroppedSurvey(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // Opened after the drop has finished: the save question must not keep
    // the file manager waiting in the middle of its drag.
    QTimer::singleShot(0, this, [this, path] {
        if (m_setup.folders) m_setup.folders->m_strLastFilePath = path;
        OpenDocumentFile(path);
    });
}

void CMainFrame::OnCompareOpen()
{
    QString initial = m_setup.folders ? m_setup.folders->m_strLastFilePath : QString();
    const QFileInfo last(initial);
    if (last.isFile()) initial = last.absolutePath();
    bool native = Comparison().IsNative();
    const QString path = CUiSeam::Current().OpenFileNameWithOption(this, QString::fromUtf8("Vergleichsmessung laden"),
                                                                   initial, QStringLiteral("Nativmessung"), native);
    if (path.isEmpty()) return;
    {
        CWaitCursor wait;
        if (!m_pSession->LoadComparison(QFileInfo(path).absoluteFilePath(), native, this)) return;
    }
    AfterComparisonLoaded();
}

void CMainFrame::AfterComparisonLoaded()
{
    // Walked from the other end: compared reversed if the user says so,
    // else refused on the page, which offers it again.
    if (Comparison().RefusedAsReversed()
        && CUiSeam::Current().Question(this,
                                       QString::fromUtf8(kReversedSurveyMessage)
                                           + QStringLiteral("\nSoll sie in umgekehrter Richtung verglichen werden?"),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
               == QMessageBox::Yes)
        m_pSession->CompareReversed();
    UpdateCommandUI();
}

void CMainFrame::OnCompareClose()
{
    m_pSession->CloseComparison();
    // The comparison page's fields go grey; the work goes on in the table.
    SetActivePane(1);
}

void CMainFrame::OnViewCompare()
{
    m_pSession->SetComparisonShown(Comparison().IsLoaded() && !Comparison().IsShown());
    UpdateCommandUI();
}

void CMainFrame::ApplyComparison()
{
    const CCompareSurvey& compare = Comparison();
    const CTreDoc* shown = compare.IsShown() ? compare.Doc() : nullptr;
    // On panes drawn in chainage the comparison stands at its own chainages.
    const bool chainage = Pipeline().Chainages() != nullptr;
    for (CTrePrintView* pane : {m_pUpper, m_pLower})
        if (pane)
            pane->SetComparison(shown, compare.IsNative(), chainage ? compare.CurveChainages() : compare.CurveMetres());
    using E = CVerdictLegend::EComparison;
    if (m_pLegend) m_pLegend->SetComparison(!shown ? E::None : compare.IsNative() ? E::Native : E::Earlier);
}

void CMainFrame::ApplyAxis()
{
    // One axis for everything a pane draws: with a binding the chainage.
    const std::shared_ptr<const std::vector<double>> chainages = Pipeline().Chainages();
    for (CTrePrintView* pane : {m_pUpper, m_pLower})
        if (pane) pane->SetAxisPositions(chainages);
}

void CMainFrame::OnFileImport()
{
    QString initial = m_setup.folders ? m_setup.folders->m_strLastFilePath : QString();
    const QFileInfo last(initial);
    if (last.isFile()) initial = last.absolutePath();
    const QString path = CUiSeam::Current().OpenFileName(
        this, QStringLiteral("Importieren"), initial,
        QString::fromUtf8("CSV- und Textexporte (*.csv *.txt);;Alle Dateien (*)"), QStringLiteral("csv"));
    if (path.isEmpty()) return;
    update();
    ImportDocumentFile(path);
}

bool CMainFrame::ImportDocumentFile(const QString& path)
{
    tresimport::CCsvOptions chosen;
    if (!ChooseImportMap(this, QFileInfo(path).absoluteFilePath(), chosen)) return false;
    if (m_setup.folders) m_setup.folders->m_strLastFilePath = path;
    // This file with all the dialog said, its header values too; the next
    // one of its layout through the map remembered for it.
    tresimport::CReaderRegistry readers;
    readers.Add(std::make_unique<tresimport::CCsvReader>(std::move(chosen)));
    return OpenDocumentFile(path, &readers);
}
