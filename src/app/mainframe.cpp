// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainframe.h"

#include "aboutdlg.h"
#include "appsettings.h"
#include "archiveui/archivesession.h"
#include "assesswnd.h"
#include "curvesoverlay.h"
#include "doc/tredoc.h"
#include "docdlg/addconstdlg.h"
#include "docdlg/errorlistdlg.h"
#include "framehelpers.h"
#include "headerbar.h"
#include "importui/importmaps.h"
#include "manualwnd.h"
#include "map/mapdock.h"
#include "recentfiles.h"
#include "splashwnd.h"
#include "transfer/transferdlg.h"
#include "ui/artwork.h"
#include "ui/panemarker.h"
#include "ui/uiseam.h"
#include "views/curveoverlay.h"
#include "views/curvepane.h"
#include "views/tableview.h"
#include "views/verdictlegend.h"

#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include <cmath>

using framehelp::CWaitCursor;

CMainFrame::CMainFrame(CTreDoc& doc, const SFrameSetup& setup, QWidget* parent)
    : QMainWindow(parent)
    , m_doc(doc)
    , m_setup(setup)
    , m_pSession(std::make_unique<CSurveySession>(doc))
{
    m_pArchive = std::make_unique<CArchiveSession>(StoredArchiveLocation());
    // Every opener of this process reads other loggers' exports with the
    // maps the user chose for their header lines.
    UseRememberedImportMaps();
    connect(m_pSession.get(), &CSurveySession::Changed, this, &CMainFrame::OnSessionChanged);
    setWindowIcon(artwork::ProgramIcon());
    setAcceptDrops(true);
    m_doc.SetHost(this);
    ReadPlacement();
    createActions();
    createPrintTimers();
    createMenus();
    createToolBars();
    createStatusBar();
    CSplashWnd::ShowSplashScreen(this, m_setup.splash);
    createHeaderBar();
    createPanes();
    // The pane with the focus, or clicked last, is the one the commands act on.
    m_pPaneMarker = new CPaneMarker(
        {m_pUpper, m_pTable, m_pLower},
        [this](int pane) {
            m_nActivePane = pane;
            UpdateCommandUI();
        },
        this);
    m_pPaneMarker->Mark(m_nActivePane);
    createAssessment();
    UpdateCursorElectrode();
    qApp->installEventFilter(this);
    UpdateTitle();
    UpdateCommandUI();
    m_bCreated = true;
}

CMainFrame::~CMainFrame()
{
    // Focus moves while the child widgets go, after this part of the object
    // is gone: a window destroyed while shown must not hear of it.
    delete m_pPaneMarker;
    m_pPaneMarker = nullptr;
    qApp->removeEventFilter(this);
    m_doc.SetHost(nullptr);
    // The session goes with this object's members, before the docks that
    // show it: hidden on the way out, they must not ask for it.
    if (m_pAssess) disconnect(m_pAssess, nullptr, this, nullptr);
    if (m_pMap) disconnect(m_pMap, nullptr, this, nullptr);
    // The comparison survey goes with this object's members, before the
    // children that read it: none of them may hold it any longer.
    for (CTrePrintView* pane : {m_pUpper, m_pLower})
        if (pane) pane->SetComparison(nullptr, false);
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    m_pProgress = new QProgressBar(bar);
    m_pProgress->setRange(0, 100);
    m_pProgress->setTextVisible(false);
    m_pProgress->setMaximumWidth(160);
    m_pProgress->setMaximumHeight(14);
    m_pProgress->hide();
    bar->addWidget(m_pProgress);
    const char* const locks[3] = {"UF", "NUM", "RF"};
    for (int i = 0; i < 3; ++i) {
        m_pLockLabels[i] = new QLabel(bar);
        m_pLockLabels[i]->setMinimumWidth(
            QFontMetrics(m_pLockLabels[i]->font()).horizontalAdvance(QLatin1String(locks[i])) + 8);
        m_pLockLabels[i]->setAlignment(Qt::AlignCenter);
        m_pLockLabels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_pLockLabels[i]->setProperty("lockText", QLatin1String(locks[i]));
        bar->addPermanentWidget(m_pLockLabels[i]);
    }
}

void CMainFrame::createHeaderBar()
{
    m_pHeaderBar = new CHeaderBar(this);
    m_pHeaderBar->SetHistoryActions(Action(ID_EDIT_UNDO), Action(ID_EDIT_REDO));
    m_pHeaderToolBar = new QToolBar(QStringLiteral("Kopfdaten"), this);
    m_pHeaderToolBar->setObjectName(QStringLiteral("headerbar"));
    m_pHeaderToolBar->setMovable(false);
    m_pHeaderToolBar->setFloatable(false);
    m_pHeaderToolBar->toggleViewAction()->setVisible(false);
    m_pHeaderToolBar->addWidget(m_pHeaderBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_pHeaderToolBar);
    m_pHeaderToolBar->show();
    Action(ID_VIEW_HEADER)->setChecked(true);

    // Typed header texts belong to the survey: they go into it as they are
    // typed, one undo step per field, so closing offers to save them.
    connect(m_pHeaderBar, &CHeaderBar::Edited, this, [this](int entry) {
        if (!m_doc.m_bEmpty
            && m_doc.ChangeFields(
                EStepKind::Header, [this](CTreDoc& d) { m_pHeaderBar->ToDoc(d); }, entry))
            m_pSession->HeaderEdited();
    });
    connect(m_pHeaderBar, &CHeaderBar::CriterionChosen, this, [this](const QString& text) {
        const std::string value = text.toStdString();
        if (m_doc.m_bEmpty) m_doc.m_header[2] = value;
        else m_doc.ChangeFields(EStepKind::Criterion, [&](CTreDoc& d) { d.m_header[2] = value; });
        UpdateAllViews();
    });
}

void CMainFrame::OnSessionChanged(CSurveySession::EChange what)
{
    using EChange = CSurveySession::EChange;
    // A header text is no part of the verdict, the axis or the comparison.
    if (what == EChange::Header) return;
    if (what != EChange::Settings) {
        UpdateCursorElectrode();
        ApplyAxis();
        ApplyComparison();
    }
    UpdateOverlay();
    UpdateMap();
    if (what == EChange::Pipeline || what == EChange::Comparison) UpdateCommandUI();
}

QString CMainFrame::DocumentTitle() const
{
    const std::string& path = m_doc.GetPathName();
    return path.empty() ? QStringLiteral("Unbenannt") : QFileInfo(QString::fromStdString(path)).fileName();
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(DocumentTitle() + QStringLiteral("[*] - Tresmon"));
    setWindowModified(m_doc.IsModified());
}

void CMainFrame::ModifiedChanged(bool) { UpdateTitle(); }

void CMainFrame::HistoryChanged() { UpdateUndoActions(); }

void CMainFrame::PathChanged(const std::string& path)
{
    UpdateTitle();
    // A survey read from the archive is named by its file but is no file here.
    if (!path.empty() && m_setup.folders && !m_bOpeningStored) AddToRecentFiles(QString::fromStdString(path));
}

void CMainFrame::UpdateAllViews()
{
    CTreViewHub::UpdateAllViews();
    UpdateCommandUI();
}

void CMainFrame::ActivateFirstCurvePane() { SetActivePane(0); }

void CMainFrame::StatusText(const std::string& text)
{
    if (text.empty()) statusBar()->clearMessage();
    else statusBar()->showMessage(QString::fromStdString(text));
    statusBar()->repaint();
}

void CMainFrame::ProgressBegin()
{
    m_pProgress->setValue(0);
    m_pProgress->show();
}

void CMainFrame::ProgressStep(int percent)
{
    m_pProgress->setValue(percent);
    // Reading runs on this thread; paint the bar now rather than after it.
    m_pProgress->repaint();
}

void CMainFrame::ProgressEnd() { m_pProgress->hide(); }

void CMainFrame::HeaderBarToDoc(CTreDoc& doc)
{
    // Typing already put the texts in, each as an undo step; what is left is
    // the list's full text for a criterion it only begins with, which a save
    // writes anyway and which has never marked the survey.
    m_pHeaderBar->ToDoc(doc);
}

void CMainFrame::DocToHeaderBar(const CTreDoc& doc)
{
    m_pHeaderBar->FromDoc(doc);
    m_pHeaderToolBar->show();
    Action(ID_VIEW_HEADER)->setChecked(true);
}

void CMainFrame::ShowMessage(const std::string& text)
{
    CUiSeam::Current().Message(this, QString::fromStdString(text), QMessageBox::Warning);
}

void CMainFrame::OnEditUndo()
{
    if (m_doc.m_bEmpty) return;
    CWaitCursor wait;
    if (m_doc.Undo()) m_pHeaderBar->FromDoc(m_doc);
}

void CMainFrame::OnEditRedo()
{
    if (m_doc.m_bEmpty) return;
    CWaitCursor wait;
    if (m_doc.Redo()) m_pHeaderBar->FromDoc(m_doc);
}

void CMainFrame::OnSort()
{
    if (m_doc.m_bEmpty) return;
    CWaitCursor wait;
    m_doc.SortByMeter();
}

void CMainFrame::OnReverse()
{
    if (m_doc.m_bEmpty) return;
    CWaitCursor wait;
    m_doc.ReverseMeasurement();
    UpdateAllViews();
}

void CMainFrame::OnTableIRFree()
{
    if (m_doc.m_bEmpty) return;
    m_doc.ChangeFields(EStepKind::TableOptions, [](CTreDoc& d) { d.m_bTableIRFree = !d.m_bTableIRFree; });
    UpdateAllViews();
}

void CMainFrame::OnTableLR()
{
    if (m_doc.m_bEmpty) return;
    m_doc.ChangeFields(EStepKind::TableOptions, [](CTreDoc& d) { d.m_bTableLR = !d.m_bTableLR; });
    UpdateAllViews();
}

void CMainFrame::OnViewHeaderBar()
{
    const bool show = !m_pHeaderToolBar->isVisible();
    m_pHeaderToolBar->setVisible(show);
    Action(ID_VIEW_HEADER)->setChecked(show);
}

void CMainFrame::OnAssessOverlay(bool on)
{
    AppSettings()->setValue(QStringLiteral("Bewertung/inCurves"), on);
    UpdateOverlay();
}

void CMainFrame::UpdateOverlay()
{
    const bool on = Action(ID_ASSESS_OVERLAY)->isChecked();
    // Assessed only while it is drawn.
    const std::shared_ptr<const SVerdict> result = on ? m_pSession->Verdict() : nullptr;
    m_pLegendArea->setVisible(on);
    if (!on || !result) {
        m_pUpper->SetOverlay(nullptr);
        m_pLower->SetOverlay(nullptr);
        m_pOverlay.reset();
        return;
    }
    // On the panes' axis: the chainages of the binding the verdict was judged with.
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = m_pSession->Binding();
    auto overlay = std::make_unique<CCurveOverlay>(CurvesOverlay(*result, m_doc, binding.get(), Comparison()));
    m_pUpper->SetOverlay(overlay.get());
    m_pLower->SetOverlay(overlay.get());
    m_pOverlay = std::move(overlay);
}

void CMainFrame::ShowStretch(int firstRow, int lastRow, qint64 fromMetre, qint64 toMetre)
{
    m_pTable->SelectRows(firstRow, lastRow);
    // Rows without a metre (or chainage) have no place in the curves.
    if (const std::shared_ptr<const std::vector<double>> chainages = Pipeline().Chainages()) {
        std::pair<double, double> range;
        if (RowsAtPositions(*chainages, firstRow, lastRow, range))
            m_pUpper->CenterOnMetres(std::llround(range.first), std::llround(range.second));
    } else if (IsPresent(static_cast<int32_t>(fromMetre)) && IsPresent(static_cast<int32_t>(toMetre))) {
        m_pUpper->CenterOnMetres(fromMetre, toMetre);
    }
}

void CMainFrame::OnTransfer()
{
    QString folder = m_setup.folders ? m_setup.folders->m_strLogatoFolder : QString();
    QString port = m_setup.folders ? m_setup.folders->m_strLastPort : QString();
    CTransferDlg dlg(this, frameGeometry(), folder, port);
    dlg.exec();
    // The port that answered, for the next time.
    if (m_setup.folders) m_setup.folders->m_strLastPort = dlg.Port();
}

void CMainFrame::OnHelpManual()
{
    if (!m_pManual) {
        QString folder = m_setup.folders ? m_setup.folders->m_strProgramFolder : QString();
        if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
        const QString file = ManualFile(folder);
        if (file.isEmpty()) {
            CUiSeam::Current().Message(this,
                                       QString::fromUtf8("Das Handbuch wurde nicht gefunden; es gehört nach %1.")
                                           .arg(QDir::toNativeSeparators(ManualPlace(folder))),
                                       QMessageBox::Warning);
            return;
        }
        m_pManual = new CManualWnd(file, this);
    }
    m_pManual->show();
    m_pManual->raise();
    m_pManual->activateWindow();
}

void CMainFrame::SetActivePane(int pane)
{
    m_nActivePane = pane;
    QWidget* w = pane == 0 ? static_cast<QWidget*>(m_pUpper) : pane == 1 ? static_cast<QWidget*>(m_pTable) : m_pLower;
    if (w && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
    if (m_pPaneMarker) m_pPaneMarker->Mark(pane);
    UpdateCommandUI();
}

void CMainFrame::OnNextPane(bool previous)
{
    // Column by column, top to bottom: upper curves, lower curves, table.
    static const int order[3] = {0, 2, 1};
    int i = 0;
    while (order[i] != m_nActivePane) ++i;
    i = (i + (previous ? 2 : 1)) % 3;
    SetActivePane(order[i]);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        // The X server tells the lock states with every key.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            const quint32 mods = static_cast<QKeyEvent*>(event)->nativeModifiers();
            const bool on[3] = {(mods & 0x02) != 0, (mods & 0x10) != 0, false};
            for (int i = 0; i < 3; ++i)
                m_pLockLabels[i]->setText(on[i] ? m_pLockLabels[i]->property("lockText").toString() : QString());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnAddConstant() { AddConstantCommand(m_doc, this); }

void CMainFrame::OnErrorListEdit() { EditErrorListCommand(m_doc, this); }

void CMainFrame::OnAppAbout()
{
    CAboutDlg dlg(this);
    dlg.exec();
}
