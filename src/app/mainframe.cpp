// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainframe.h"

#include "artwork.h"
#include "assessreport.h"
#include "assesswnd.h"
#include "comparesurvey.h"
#include "curveoverlay.h"
#include "curvepane.h"
#include "graphiclayout.h"
#include "graphicsheet.h"
#include "headerbar.h"
#include "manualwnd.h"
#include "mapdock.h"
#include "mapscene.h"
#include "mapview.h"
#include "numbers.h"
#include "panejob.h"
#include "pipelinesource.h"
#include "printrunner.h"
#include "reportdlg.h"
#include "reportsettingsdlg.h"
#include "splashwnd.h"
#include "surveydrop.h"
#include "surveyexport.h"
#include "surveyopen.h"
#include "tablesheet.h"
#include "tableview.h"
#include "tiedassessment.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"
#include "verdict.h"
#include "verdictlegend.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace {

// One settings value of section "Settings", read with its default and
// written back at once, so the store always holds the values in use.
int ReadSetting(QSettings& s, const char* name, int def, bool writeBack)
{
    const QString key = QStringLiteral("Settings/") + QLatin1String(name);
    const int v = s.value(key, def).toInt();
    if (writeBack) s.setValue(key, v);
    return v;
}

// The central splitter, which tells when its width changes: a dock beside
// it changes that without the window's resize.
class CResizeReportingSplitter : public QSplitter {
public:
    CResizeReportingSplitter(Qt::Orientation o, QWidget* parent, std::function<void()> resized)
        : QSplitter(o, parent)
        , m_resized(std::move(resized))
    { }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QSplitter::resizeEvent(event);
        m_resized();
    }

private:
    std::function<void()> m_resized;
};

// A view that only hears of the document's changes.
class CChangeListener : public CTreViewBase {
public:
    explicit CChangeListener(std::function<void()> changed)
        : m_changed(std::move(changed))
    { }
    void OnInitialUpdate() override { m_changed(); }
    void OnUpdate() override { m_changed(); }
    void Invalidate() override { }

private:
    std::function<void()> m_changed;
};

using tresexport::EExportFormat;

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

// At most `most` lines of a list of reasons, with how many more there are.
QString Lines(const QStringList& lines, int most = 12)
{
    QStringList shown = lines.mid(0, most);
    if (lines.size() > most) shown << QString::fromUtf8("… und %1 weitere").arg(lines.size() - most);
    return shown.join(QLatin1Char('\n'));
}

// The overridden-cursor scope of the long document commands.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

CMainFrame::CMainFrame(CTreDoc& doc, CTresApp* app, QWidget* parent)
    : QMainWindow(parent)
    , m_doc(doc)
    , m_pApp(app)
    , m_pCompare(std::make_unique<CCompareSurvey>())
    , m_pPipeline(std::make_unique<CPipelineSource>())
    , m_pBinder(std::make_unique<CChangeListener>([this] {
        m_pPipeline->Bind(m_doc);
        ApplyAxis();
        RealignComparison();
    }))
{
    setWindowIcon(artwork::ProgramIcon());
    setAcceptDrops(true);
    m_doc.SetHost(this);
    ReadPlacement();
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    CSplashWnd::ShowSplashScreen(this, m_pApp && m_pApp->SplashEnabled());
    createHeaderBar();
    createPanes();
    createAssessment();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    qApp->installEventFilter(this);
    UpdateTitle();
    UpdateCommandUI();
    m_bCreated = true;
}

CMainFrame::~CMainFrame()
{
    // Focus moves while the child widgets go, after this part of the object
    // is gone: a window destroyed while shown must not hear of it.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    qApp->removeEventFilter(this);
    m_doc.SetHost(nullptr);
    // The comparison survey goes with this object's members, before the
    // children that read it: none of them may hold it any longer.
    m_pAssess->SetComparison(nullptr, false, QString());
    for (CTrePrintView* pane : {m_pUpper, m_pLower})
        if (pane) pane->SetComparison(nullptr, false);
}

// ---- creation ----------------------------------------------------------------

void CMainFrame::ReadPlacement()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect whole = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    auto settings = CTresApp::Settings();
    const int x = ReadSetting(*settings, "XPos", (whole.width() - kDefaultWidth) / 2, true);
    const int y = ReadSetting(*settings, "YPos", (whole.height() - kDefaultHeight) / 2 - 15, true);
    const int w = ReadSetting(*settings, "XWidth", kDefaultWidth, true);
    const int h = ReadSetting(*settings, "YWidth", kDefaultHeight, true);
    move(x, y);
    resize(w, h);
    // Placed where it was left, but on a screen that is there now and
    // within it: a window saved on a larger screen would hide its table
    // and status bar beyond the edge.
    if (QScreen* at = QGuiApplication::screenAt(QRect(x, y, w, h).center())) screen = at;
    if (screen) FitInto(screen->availableGeometry());
    if (settings->value(QStringLiteral("Settings/Maximized"), false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::FitInto(const QRect& area)
{
    if (!area.isValid() || isMaximized() || isFullScreen()) return;
    // The frame around the window is known only once it is shown.
    const QRect frame = frameGeometry();
    const QSize border = frame.size() - size();
    const QSize most = (area.size() - border).expandedTo(QSize(100, 50));
    if (width() > most.width() || height() > most.height()) resize(size().boundedTo(most));
    QPoint at = frameGeometry().topLeft();
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - frameGeometry().width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frameGeometry().height())));
    if (at != frameGeometry().topLeft()) move(at);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_bPlacedOnScreen) return;
    m_bPlacedOnScreen = true;
    // Again with the frame the window system has put around it.
    if (QScreen* s = screen()) FitInto(s->availableGeometry());
}

QAction* CMainFrame::AddAction(int id, const QString& text, const QString& statusTip, void (CMainFrame::*slot)())
{
    auto* action = new QAction(text, this);
    action->setStatusTip(statusTip);
    action->setData(id);
    if (slot) connect(action, &QAction::triggered, this, slot);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::createActions()
{
    using artwork::EToolIcon;
    QAction* a;
    a = AddAction(ID_FILE_NEW, QStringLiteral("&Neu"), QStringLiteral("Erstellt eine neue Messung"),
                  &CMainFrame::OnFileNew);
    a->setIcon(artwork::ToolIcon(EToolIcon::New));
    a->setToolTip(QStringLiteral("Neu"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    a = AddAction(ID_FILE_OPEN, QString::fromUtf8("Ö&ffnen..."), QString::fromUtf8("Öffnet eine Messdatei"),
                  &CMainFrame::OnFileOpen);
    a->setIcon(artwork::ToolIcon(EToolIcon::Open));
    a->setToolTip(QString::fromUtf8("Öffnen"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddAction(ID_FILE_APPEND, QString::fromUtf8("&Anhängen..."),
              QString::fromUtf8("Hängt eine Messdatei an die Messung an"), &CMainFrame::OnFileAppend);
    a = AddAction(ID_FILE_SAVE, QStringLiteral("S&peichern"), QStringLiteral("Speichert die Messung"));
    connect(a, &QAction::triggered, this, [this] { OnFileSave(); });
    a->setIcon(artwork::ToolIcon(EToolIcon::Save));
    a->setToolTip(QStringLiteral("Speichern"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    a = AddAction(ID_FILE_SAVE_AS, QStringLiteral("Speichern &unter..."),
                  QStringLiteral("Speichert die Messung unter einem neuen Namen"));
    connect(a, &QAction::triggered, this, [this] { OnFileSaveAs(); });
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    a = AddAction(ID_PRINT_TABLE, QStringLiteral("&Tabelle drucken..."),
                  QStringLiteral("Druckt die Messung als Tabelle"), &CMainFrame::OnPrintTable);
    a->setIcon(artwork::ToolIcon(EToolIcon::PrintTable));
    a->setToolTip(QStringLiteral("Tabelle drucken"));
    a = AddAction(ID_PRINT_GRAPHIC, QStringLiteral("&Graphik drucken..."), QStringLiteral("Druckt die Messkurven"),
                  &CMainFrame::OnPrintGraphic);
    a->setIcon(artwork::ToolIcon(EToolIcon::PrintGraphic));
    a->setToolTip(QStringLiteral("Graphik drucken"));
    a = AddAction(ID_FILE_PRINT, QStringLiteral("&Drucken"),
                  QString::fromUtf8("Druckt die Tabelle oder die Graphik wie zuletzt eingestellt, ohne Rückfrage"),
                  &CMainFrame::OnFilePrint);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    addAction(a);
    for (int i = 0; i < 2; ++i) {
        m_pPrintTimers[i] = new QTimer(this);
        m_pPrintTimers[i]->setInterval(200);
        connect(m_pPrintTimers[i], &QTimer::timeout, this, [this, i] { OnPrintTimer(i + 1); });
    }
    a = AddAction(ID_FILE_PRINT_SETUP, QStringLiteral("Drucker&einrichtung..."),
                  QString::fromUtf8("Ändert die Druckereinstellungen"), &CMainFrame::OnFilePrintSetup);
    a->setIcon(artwork::ToolIcon(EToolIcon::PrintSetup));
    a->setToolTip(QStringLiteral("Druckereinrichtung"));
    a = AddAction(ID_APP_EXIT, QStringLiteral("&Beenden"), QStringLiteral("Beendet Tresmon"));
    connect(a, &QAction::triggered, this, &QWidget::close);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    a = AddAction(ID_EDIT_UNDO, QString::fromUtf8("&Rückgängig"),
                  QString::fromUtf8("Nimmt den letzten Bearbeitungsschritt zurück"), &CMainFrame::OnEditUndo);
    a->setIcon(artwork::ToolIcon(EToolIcon::Undo));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    a = AddAction(ID_EDIT_REDO, QStringLiteral("&Wiederherstellen"),
                  QStringLiteral("Führt den zurückgenommenen Schritt wieder aus"), &CMainFrame::OnEditRedo);
    a->setIcon(artwork::ToolIcon(EToolIcon::Redo));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    a = AddAction(ID_EDIT_CUT, QStringLiteral("&Ausschneiden"), QStringLiteral("Schneidet die Markierung aus"));
    a->setIcon(artwork::ToolIcon(EToolIcon::Cut));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    a = AddAction(ID_EDIT_COPY, QStringLiteral("&Kopieren"), QStringLiteral("Kopiert die Markierung"));
    a->setIcon(artwork::ToolIcon(EToolIcon::Copy));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    a = AddAction(ID_EDIT_PASTE, QString::fromUtf8("E&infügen"),
                  QString::fromUtf8("Fügt den Inhalt der Zwischenablage ein"));
    a->setIcon(artwork::ToolIcon(EToolIcon::Paste));
    a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    a = AddAction(ID_ROW_DELETE, QString::fromUtf8("Zeile &löschen"),
                  QString::fromUtf8("Löscht die markierten Zeilen"));
    connect(a, &QAction::triggered, this, [this] {
        if (m_nActivePane == 1) m_pTable->OnDeleteRows();
    });
    a = AddAction(ID_ROW_INSERT, QString::fromUtf8("Zeile &einfügen"),
                  QString::fromUtf8("Fügt hinter der aktuellen Zeile eine Zeile ein"));
    connect(a, &QAction::triggered, this, [this] {
        if (m_nActivePane == 1) m_pTable->OnInsertRow();
    });
    a = AddAction(ID_ADD_CONSTANT, QStringLiteral("&Konstante addieren"),
                  QStringLiteral("Addiert eine Konstante zu einer Spalte"));
    connect(a, &QAction::triggered, this, [this] {
        if (m_pApp) m_pApp->OnAddConstant();
    });
    AddAction(ID_REVERSE, QStringLiteral("&Messung umkehren"), QStringLiteral("Kehrt die Messrichtung um"),
              &CMainFrame::OnReverse);
    AddAction(ID_SORT, QStringLiteral("&Sortieren"), QStringLiteral("Sortiert die Messung nach Metern"),
              &CMainFrame::OnSort);

    a = AddAction(ID_TRANSFER, QStringLiteral("Datentransfer..."), QStringLiteral("Datenaustausch mit dem Logato"));
    connect(a, &QAction::triggered, this, [this] {
        if (m_pApp) m_pApp->OnTransfer();
    });
    a->setIcon(artwork::ToolIcon(EToolIcon::Transfer));
    a->setToolTip(QStringLiteral("Datentransfer"));
    a = AddAction(ID_ERRORLIST_EDIT, QStringLiteral("Bearbeiten..."),
                  QStringLiteral("Bearbeitet die Fehlerlisten-Parameter"));
    connect(a, &QAction::triggered, this, [this] {
        if (m_pApp) m_pApp->EditErrorList();
    });

    a = AddAction(ID_TABLE_IRFREE, QStringLiteral("IR-frei"), QStringLiteral("Zeigt die IR-freie Spalte"),
                  &CMainFrame::OnTableIRFree);
    a->setCheckable(true);
    a = AddAction(ID_TABLE_LR, QStringLiteral("Links/Rechts"), QStringLiteral("Zeigt die Gradienten links und rechts"),
                  &CMainFrame::OnTableLR);
    a->setCheckable(true);
    a = AddAction(ID_GRAPHIC_IRFREE, QStringLiteral("IR-frei"), QString());
    a->setEnabled(false);

    a = AddAction(ID_VIEW_HEADER, QStringLiteral("&Kopfdaten"), QStringLiteral("Zeigt oder verbirgt die Kopfdaten"),
                  &CMainFrame::OnViewHeaderBar);
    a->setCheckable(true);
    a = AddAction(ID_HELP_MANUAL, QStringLiteral("&Handbuch"), QStringLiteral("Zeigt das Handbuch des Programms"),
                  &CMainFrame::OnHelpManual);
    a->setShortcut(QKeySequence(Qt::Key_F1));
    a = AddAction(ID_APP_ABOUT, QStringLiteral("Inf&o ..."), QStringLiteral("Zeigt Version und Programminformationen"));
    connect(a, &QAction::triggered, this, [this] {
        if (m_pApp) m_pApp->OnAppAbout();
    });

    a = AddAction(ID_ASSESS, QStringLiteral("Bewertung..."),
                  QString::fromUtf8("Zeigt die Bewertung der Messung: Anzeigen, Fehlstellenverdacht, Warnungen"),
                  &CMainFrame::OnAssess);
    a->setShortcut(QKeySequence(Qt::Key_F7));
    // The dock in "Ansicht", as every window's docks are listed there.
    a = AddAction(ID_VIEW_ASSESS, QStringLiteral("&Bewertung"), QStringLiteral("Zeigt oder verbirgt die Bewertung"));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this](bool on) {
        if (on) OnAssess();
        else m_pAssess->hide();
    });
    a = AddAction(ID_ASSESS_OVERLAY, QStringLiteral("Bewertung in Kurven"),
                  QString::fromUtf8("Zeigt die Anzeigen und den Fehlstellenverdacht in den Kurven"));
    a->setCheckable(true);
    connect(a, &QAction::toggled, this, &CMainFrame::OnAssessOverlay);
    AddAction(ID_ASSESS_REPORT, QStringLiteral("Bewertungsbericht..."),
              QString::fromUtf8("Schreibt den Bewertungsbericht als PDF-Datei"), &CMainFrame::OnAssessReport);
    AddAction(ID_REPORT_SETTINGS, QStringLiteral("Bericht..."),
              QString::fromUtf8("Aussteller, Logo, Bearbeiter und Bezugselektrode des Bewertungsberichts"),
              &CMainFrame::OnReportSettings);

    a = AddAction(ID_NEXT_PANE, QStringLiteral("Nächster Bereich"), QString());
    a->setShortcut(QKeySequence(Qt::Key_F6));
    connect(a, &QAction::triggered, this, [this] { OnNextPane(false); });
    addAction(a);
    a = AddAction(ID_PREV_PANE, QStringLiteral("Voriger Bereich"), QString());
    a->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(a, &QAction::triggered, this, [this] { OnNextPane(true); });
    addAction(a);
    AddAction(ID_COMPARE_OPEN, QString::fromUtf8("&Vergleichsmessung laden..."),
              QString::fromUtf8("Lädt eine frühere oder eine Nativmessung zum Vergleich"), &CMainFrame::OnCompareOpen);
    AddAction(ID_COMPARE_CLOSE, QString::fromUtf8("Vergleichsmessung schl&ießen"),
              QString::fromUtf8("Schließt die Vergleichsmessung"), &CMainFrame::OnCompareClose);
    AddAction(ID_PIPELINE_OPEN, QStringLiteral("&Leitungsdaten laden..."),
              QString::fromUtf8("Lädt Trasse, Festpunkte und Abschnitte der Leitung (GeoJSON)"),
              &CMainFrame::OnPipelineOpen);
    AddAction(ID_PIPELINE_CLOSE, QString::fromUtf8("Leitungsdaten schließen"),
              QString::fromUtf8("Schließt die Leitungsdaten"), &CMainFrame::OnPipelineClose);
    const struct {
        int id;
        EExportFormat format;
        const char* text;
        const char* tip;
    } exports[] = {
        {ID_EXPORT_GEOJSON, EExportFormat::GeoJson, "&GeoJSON...",
         "Schreibt Messspur, Abschnitte, Fehlstellen und Festpunkte als GeoJSON (braucht Leitungsdaten)"},
        {ID_EXPORT_KML, EExportFormat::Kml, "&KML...",
         "Schreibt Messspur, Abschnitte, Fehlstellen und Festpunkte als KML (braucht Leitungsdaten)"},
        {ID_EXPORT_GPX, EExportFormat::Gpx, "G&PX...",
         "Schreibt Fehlstellen und Festpunkte als Wegpunkte und die Messspur als GPX (braucht Leitungsdaten)"},
        {ID_EXPORT_GPKG, EExportFormat::GeoPackage, "Geo&Package...",
         "Schreibt Messspur, Abschnitte, Fehlstellen und Festpunkte als GeoPackage, eine Ebene je Art (braucht "
         "Leitungsdaten)"},
        {ID_EXPORT_CSV, EExportFormat::Csv, "&CSV (Aufgrabungsliste)...",
         "Schreibt die Aufgrabungsliste als CSV, mit Leitungsdaten auch mit Koordinaten"},
    };
    for (const auto& e : exports) {
        a = AddAction(e.id, QString::fromUtf8(e.text), QString::fromUtf8(e.tip));
        connect(a, &QAction::triggered, this, [this, f = e.format] { OnExport(f); });
    }
    AddAction(ID_RESTATION, QStringLiteral("S&tationierung an Festpunkte anpassen..."),
              QString::fromUtf8("Ersetzt die Messmeter durch die Stationierung an den Festpunkten der Leitungsdaten"),
              &CMainFrame::OnRestation);
    a = AddAction(ID_VIEW_MAP, QStringLiteral("&Karte"),
                  QString::fromUtf8("Zeigt oder verbirgt die Karte der Messung auf ihrer Trasse"));
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, &CMainFrame::OnViewMap);
    a = AddAction(ID_VIEW_COMPARE, QStringLiteral("&Vergleich in Kurven"),
                  QStringLiteral("Zeigt oder verbirgt die Vergleichsmessung in den Kurven"),
                  &CMainFrame::OnViewCompare);
    a->setCheckable(true);
}

void CMainFrame::createMenus()
{
    m_pFileMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_APPEND, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        m_pFileMenu->addAction(Action(id));
    m_pFileMenu->addSeparator();
    for (int id : {ID_COMPARE_OPEN, ID_COMPARE_CLOSE}) m_pFileMenu->addAction(Action(id));
    for (int id : {ID_PIPELINE_OPEN, ID_PIPELINE_CLOSE}) m_pFileMenu->addAction(Action(id));
    m_pFileMenu->addSeparator();
    for (int id : {ID_PRINT_TABLE, ID_PRINT_GRAPHIC, ID_FILE_PRINT, ID_FILE_PRINT_SETUP})
        m_pFileMenu->addAction(Action(id));
    m_pFileMenu->addAction(Action(ID_ASSESS_REPORT));
    QMenu* exportMenu = m_pFileMenu->addMenu(QStringLiteral("&Exportieren"));
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    for (int id : {ID_EXPORT_GEOJSON, ID_EXPORT_KML, ID_EXPORT_GPX, ID_EXPORT_GPKG, ID_EXPORT_CSV})
        exportMenu->addAction(Action(id));
    m_pRecentSeparator = m_pFileMenu->addSeparator();
    m_pFileMenu->addSeparator();
    m_pFileMenu->addAction(Action(ID_APP_EXIT));
    connect(m_pFileMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateRecentFileMenu);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    edit->addAction(Action(ID_EDIT_UNDO));
    edit->addAction(Action(ID_EDIT_REDO));
    edit->addSeparator();
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) edit->addAction(Action(id));
    edit->addSeparator();
    edit->addAction(Action(ID_ROW_DELETE));
    edit->addAction(Action(ID_ROW_INSERT));
    edit->addSeparator();
    for (int id : {ID_ADD_CONSTANT, ID_REVERSE, ID_SORT, ID_RESTATION}) edit->addAction(Action(id));

    QMenu* logato = menuBar()->addMenu(QStringLiteral("&Logato"));
    logato->addAction(Action(ID_TRANSFER));

    QMenu* errors = menuBar()->addMenu(QStringLiteral("&Fehlerliste"));
    errors->addAction(Action(ID_ERRORLIST_EDIT));
    errors->addAction(Action(ID_ASSESS));

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Optionen"));
    QMenu* table = options->addMenu(QStringLiteral("Tabelle"));
    table->addAction(Action(ID_TABLE_IRFREE));
    table->addAction(Action(ID_TABLE_LR));
    QMenu* graphic = options->addMenu(QStringLiteral("Grafik"));
    graphic->addAction(Action(ID_GRAPHIC_IRFREE));
    options->addAction(Action(ID_REPORT_SETTINGS));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    m_pToolBar = new QToolBar(QStringLiteral("Symbolleiste"), this);
    QAction* toolbarToggle = m_pToolBar->toggleViewAction();
    toolbarToggle->setText(QStringLiteral("&Symbolleiste"));
    toolbarToggle->setStatusTip(QStringLiteral("Zeigt oder verbirgt die Symbolleiste"));
    m_actions.insert(ID_VIEW_TOOLBAR, toolbarToggle);
    view->addAction(toolbarToggle);
    auto* statusToggle = AddAction(ID_VIEW_STATUS_BAR, QStringLiteral("S&tatusleiste"),
                                   QStringLiteral("Zeigt oder verbirgt die Statusleiste"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    view->addAction(statusToggle);
    view->addAction(Action(ID_VIEW_HEADER));
    view->addAction(Action(ID_VIEW_ASSESS));
    view->addAction(Action(ID_VIEW_MAP));
    view->addAction(Action(ID_ASSESS_OVERLAY));
    view->addAction(Action(ID_VIEW_COMPARE));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    help->addAction(Action(ID_HELP_MANUAL));
    help->addAction(Action(ID_APP_ABOUT));

    for (QMenu* m : findChildren<QMenu*>()) connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::createToolBars()
{
    m_pToolBar->setObjectName(QStringLiteral("toolbar"));
    m_pToolBar->setIconSize(QSize(18, 15));
    m_pToolBar->setMovable(false);
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE}) m_pToolBar->addAction(Action(id));
    m_pToolBar->addSeparator();
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) m_pToolBar->addAction(Action(id));
    m_pToolBar->addSeparator();
    for (int id : {ID_EDIT_UNDO, ID_EDIT_REDO}) m_pToolBar->addAction(Action(id));
    m_pToolBar->addSeparator();
    for (int id : {ID_FILE_PRINT_SETUP, ID_PRINT_TABLE, ID_PRINT_GRAPHIC}) m_pToolBar->addAction(Action(id));
    m_pToolBar->addSeparator();
    m_pToolBar->addAction(Action(ID_TRANSFER));
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
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
        if (!m_doc.m_bEmpty)
            m_doc.ChangeFields(
                EStepKind::Header, [this](CTreDoc& d) { m_pHeaderBar->ToDoc(d); }, entry);
    });
    connect(m_pHeaderBar, &CHeaderBar::CriterionChosen, this, [this](const QString& text) {
        const std::string value = text.toStdString();
        if (m_doc.m_bEmpty) m_doc.m_header[2] = value;
        else m_doc.ChangeFields(EStepKind::Criterion, [&](CTreDoc& d) { d.m_header[2] = value; });
        UpdateAllViews();
    });
}

void CMainFrame::createPanes()
{
    m_pOuter = new CResizeReportingSplitter(Qt::Horizontal, this, [this] { OnCentralResized(); });
    m_pOuter->setObjectName(QStringLiteral("outerSplitter"));
    m_pInner = new QSplitter(Qt::Vertical, m_pOuter);
    m_pInner->setObjectName(QStringLiteral("innerSplitter"));
    // Creation order makes the upper pane the first curve pane (gradients).
    m_pUpper = new CTrePrintView(m_doc, m_pInner);
    m_pTable = new CTrePlotView(m_doc, m_pOuter);
    m_pLower = new CTrePrintView(m_doc, m_pInner);
    // The verdict's legend strip sits under the potential pane while the
    // verdict is laid over the curves.
    auto* lowerBox = new QWidget(m_pInner);
    auto* lowerLayout = new QVBoxLayout(lowerBox);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    lowerLayout->setSizeConstraint(QLayout::SetNoConstraint);
    m_pLower->setParent(lowerBox);
    lowerLayout->addWidget(m_pLower, 1);
    m_pLegend = new CVerdictLegend(lowerBox);
    m_pLegend->hide();
    lowerLayout->addWidget(m_pLegend);
    m_pOuter->addWidget(m_pInner);
    m_pOuter->addWidget(m_pTable);
    m_pInner->addWidget(m_pUpper);
    m_pInner->addWidget(lowerBox);
    AddView(m_pBinder.get());
    AddView(m_pUpper);
    AddView(m_pTable);
    AddView(m_pLower);
    for (QSplitter* s : {m_pOuter, m_pInner}) {
        s->setChildrenCollapsible(true);
        for (int i = 0; i < s->count(); ++i) s->widget(i)->setMinimumSize(0, 0);
    }
    // The curve column takes what the window gains; the table keeps its width.
    m_pOuter->setStretchFactor(0, 1);
    m_pOuter->setStretchFactor(1, 0);
    m_pInner->setStretchFactor(0, 0);
    m_pInner->setStretchFactor(1, 1);
    setCentralWidget(m_pOuter);
    connect(m_pOuter, &QSplitter::splitterMoved, this, [this] {
        // The user has set the split: the table owes nothing.
        m_lastOuterSizes = m_pOuter->sizes();
        m_nTableLent = 0;
    });
    connect(m_pTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainFrame::OnTableSelectionChanged);
}

void CMainFrame::createAssessment()
{
    // Hidden until asked for, so the window looks as it always did.
    m_pAssess = new CAssessWnd(m_doc, this);
    m_pAssess->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, m_pAssess);
    m_pAssess->hide();
    m_pAssess->SetPipelineSource(m_pPipeline.get());
    AddView(m_pAssess);
    connect(m_pAssess, &CAssessWnd::Recomputed, this, &CMainFrame::UpdateOverlay);
    connect(m_pAssess, &CAssessWnd::Recomputed, this, &CMainFrame::UpdateMap);
    connect(m_pAssess, &QDockWidget::visibilityChanged, this,
            [this] { Action(ID_VIEW_ASSESS)->setChecked(!m_pAssess->isHidden()); });
    connect(m_pAssess, &CAssessWnd::StretchChosen, this, &CMainFrame::ShowStretch);
    connect(m_pAssess, &CAssessWnd::CompareReversedAsked, this, [this] {
        m_pCompare->SetReversed(true);
        RealignComparison();
        m_pAssess->Recompute();
    });
    const bool overlay = CTresApp::Settings()->value(QStringLiteral("Bewertung/inCurves"), false).toBool();
    Action(ID_ASSESS_OVERLAY)->setChecked(overlay);
    createMap();
    // The docks and tool bars as they were left (open or closed, where).
    const QByteArray state = CTresApp::Settings()->value(QStringLiteral("Settings/WindowState")).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    Action(ID_VIEW_ASSESS)->setChecked(!m_pAssess->isHidden());
    Action(ID_VIEW_MAP)->setChecked(!m_pMap->isHidden());
}

void CMainFrame::createMap()
{
    m_pMap = new tresmap::CMapDock(this);
    m_pMap->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, m_pMap);
    m_pMap->hide();
    connect(m_pMap, &QDockWidget::visibilityChanged, this, [this] {
        Action(ID_VIEW_MAP)->setChecked(!m_pMap->isHidden());
        UpdateAssessCurrency();
        UpdateMap();
    });
    connect(m_pMap->View(), &tresmap::CMapView::DefectClicked, this,
            [this](int row) { ShowStretch(row, row, m_doc.GetMeter(row), m_doc.GetMeter(row)); });
    UpdateMap();
}

void CMainFrame::OnViewMap(bool on)
{
    if (!on) {
        m_pMap->hide();
        return;
    }
    if (m_pMap->isVisible()) {
        m_pMap->raise();
        return;
    }
    // Under the assessment when that is open, else a column of its own.
    if (m_pAssess->isVisible() && !m_pAssess->isFloating() && !m_pMap->isFloating()
        && dockWidgetArea(m_pAssess) == dockWidgetArea(m_pMap))
        splitDockWidget(m_pAssess, m_pMap, Qt::Vertical);
    m_pMap->show();
    // Under the assessment the map gets two fifths of the height: room to
    // read it, while the assessment keeps its summary whole.
    if (!m_pMap->isFloating() && m_pAssess->isVisible() && dockWidgetArea(m_pAssess) == dockWidgetArea(m_pMap))
        resizeDocks({m_pAssess, m_pMap}, {height() * 3 / 5, height() * 2 / 5}, Qt::Vertical);
    if (!m_pAssess->isVisible() && !m_pMap->isFloating()) resizeDocks({m_pMap}, {360}, Qt::Horizontal);
    m_pMap->raise();
}

void CMainFrame::UpdateAssessCurrency()
{
    const bool overlay = Action(ID_ASSESS_OVERLAY)->isChecked();
    m_pAssess->SetAlwaysCurrent(overlay || (m_pMap && !m_pMap->isHidden()));
}

void CMainFrame::UpdateMap()
{
    if (!m_pMap || m_pMap->isHidden()) return;
    QString message;
    std::shared_ptr<const tresmap::SMapScene> scene;
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = m_pAssess->Binding();
    if (!m_pPipeline->IsLoaded()) {
        message = QString::fromUtf8("Keine Leitungsdaten geladen. Datei > Leitungsdaten laden...");
    } else if (m_doc.m_bEmpty) {
        message = QString::fromUtf8("Keine Messung geöffnet.");
    } else if (!binding) {
        QStringList errors;
        for (const std::string& e : m_pPipeline->BindErrors()) errors << QString::fromStdString(e);
        message = QString::fromUtf8("Die Messung passt nicht zu den Leitungsdaten:\n") + Lines(errors, 6);
    } else {
        scene = std::make_shared<const tresmap::SMapScene>(
            tresmap::BuildMapScene(m_doc, m_pAssess->Result().get(), *binding));
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

// ---- layout --------------------------------------------------------------------

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    const int w = width();
    if (w <= 0) return;
    const int handle = m_pOuter->handleWidth();
    if (m_nLastClientWidth < 0) {
        // The first size: place the splitters as they were left.
        auto settings = CTresApp::Settings();
        const int x1 = ReadSetting(*settings, "SplitX1", kDefaultSplitX1, false);
        const int y1 = ReadSetting(*settings, "SplitY1", kDefaultSplitY1, false);
        m_pOuter->setSizes({x1, std::max(0, m_pOuter->width() - handle - x1)});
        m_pInner->setSizes({y1, std::max(0, m_pInner->height() - m_pInner->handleWidth() - y1)});
        m_lastOuterSizes = {x1, std::max(0, m_pOuter->width() - handle - x1)};
        m_nLastClientWidth = w;
        return;
    }
    if (w == m_nLastClientWidth) return;
    // The curve column alone follows the window's width (the table keeps
    // its own); should it go below nothing it keeps a sliver of 10 pixels.
    int col0 = m_lastOuterSizes.value(0) + (w - m_nLastClientWidth);
    if (col0 < 0) col0 = 10;
    m_pOuter->setSizes({col0, std::max(0, m_pOuter->width() - handle - col0)});
    m_lastOuterSizes = {col0, std::max(0, m_pOuter->width() - handle - col0)};
    m_nLastClientWidth = w;
}

void CMainFrame::SaveLayout()
{
    {
        // Docks and tool bars as they are, and whether the window fills the
        // screen; the size it has then is no size to come back to.
        auto settings = CTresApp::Settings();
        settings->setValue(QStringLiteral("Settings/WindowState"), saveState());
        settings->setValue(QStringLiteral("Settings/Maximized"), isMaximized());
    }
    const QRect r = frameGeometry();
    if (isMaximized() || isFullScreen()) return;
    if (!(r.width() > 100 && r.height() > 50 && r.left() > 0 && r.top() > 0)) return;
    auto settings = CTresApp::Settings();
    settings->setValue(QStringLiteral("Settings/XPos"), r.left());
    settings->setValue(QStringLiteral("Settings/YPos"), r.top());
    settings->setValue(QStringLiteral("Settings/XWidth"), width());
    settings->setValue(QStringLiteral("Settings/YWidth"), height());
    const QList<int> outer = m_pOuter->sizes();
    settings->setValue(QStringLiteral("Settings/SplitX1"), outer.value(0));
    settings->setValue(QStringLiteral("Settings/SplitX2"), outer.value(1));
    settings->setValue(QStringLiteral("Settings/SplitY1"), m_pInner->sizes().value(0));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    SaveLayout();
    event->accept();
}

// ---- the document's host ------------------------------------------------------

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

void CMainFrame::UpdateUndoActions()
{
    const bool doc = !m_doc.m_bEmpty;
    const auto follow = [doc](QAction* a, const QString& plain, const std::string& step) {
        const bool can = doc && !step.empty();
        // Only the mnemonic's plain text keeps "&": the step names hold none.
        const QString name = QString::fromUtf8(step.data(), static_cast<qsizetype>(step.size()));
        a->setEnabled(can);
        a->setText(can ? plain + QStringLiteral(": ") + name : plain);
        a->setToolTip(QString(a->text()).remove(QLatin1Char('&')));
    };
    follow(Action(ID_EDIT_UNDO), QString::fromUtf8("&Rückgängig"), m_doc.UndoName());
    follow(Action(ID_EDIT_REDO), QStringLiteral("&Wiederherstellen"), m_doc.RedoName());
}

void CMainFrame::PathChanged(const std::string& path)
{
    UpdateTitle();
    if (!path.empty() && m_pApp) m_pApp->AddToRecentFiles(QString::fromStdString(path));
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

// ---- commands ---------------------------------------------------------------

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
    QString initial = m_pApp ? m_pApp->m_strLastFilePath : QString();
    const QFileInfo last(initial);
    if (last.isFile()) initial = last.absolutePath();
    const QString path = CUiSeam::Current().OpenFileName(this, QString::fromUtf8("Öffnen"), initial,
                                                         CUiSeam::FileFilter(), QStringLiteral("tsd"));
    if (path.isEmpty()) return;
    update();
    if (m_pApp) m_pApp->m_strLastFilePath = path;
    OpenDocumentFile(path);
}

void CMainFrame::OnCompareOpen()
{
    QString initial = m_pApp ? m_pApp->m_strLastFilePath : QString();
    const QFileInfo last(initial);
    if (last.isFile()) initial = last.absolutePath();
    bool native = m_pCompare->IsNative();
    const QString path = CUiSeam::Current().OpenFileNameWithOption(this, QString::fromUtf8("Vergleichsmessung laden"),
                                                                   initial, QStringLiteral("Nativmessung"), native);
    if (path.isEmpty()) return;
    {
        CWaitCursor wait;
        if (!m_pCompare->Load(QFileInfo(path).absoluteFilePath(), native, this)) return;
        RealignComparison();
    }
    // Walked from the other end: compared reversed if the user says so,
    // else refused on the page, which offers it again.
    if (m_pCompare->RefusedAsReversed()
        && CUiSeam::Current().Question(this,
                                       QString::fromUtf8(kReversedSurveyMessage)
                                           + QStringLiteral("\nSoll sie in umgekehrter Richtung verglichen werden?"),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
               == QMessageBox::Yes) {
        m_pCompare->SetReversed(true);
        RealignComparison();
    }
    m_pAssess->SetComparison(m_pCompare->Doc(), m_pCompare->IsNative(), QFileInfo(path).fileName());
    UpdateCommandUI();
}

void CMainFrame::OnCompareClose()
{
    m_pAssess->SetComparison(nullptr, false, QString());
    m_pCompare->Close();
    RealignComparison();
    // The comparison page's fields go grey; the work goes on in the table.
    SetActivePane(1);
}

void CMainFrame::OnViewCompare()
{
    m_pCompare->SetShown(m_pCompare->IsLoaded() && !m_pCompare->IsShown());
    ApplyComparison();
    UpdateCommandUI();
}

void CMainFrame::ApplyComparison()
{
    const CTreDoc* shown = m_pCompare->IsShown() ? m_pCompare->Doc() : nullptr;
    // On panes drawn in chainage the comparison stands at its own chainages.
    const bool chainage = m_pPipeline->Chainages() != nullptr;
    for (CTrePrintView* pane : {m_pUpper, m_pLower})
        if (pane)
            pane->SetComparison(shown, m_pCompare->IsNative(),
                                chainage ? m_pCompare->CurveChainages() : m_pCompare->CurveMetres());
}

void CMainFrame::ApplyAxis()
{
    // One axis for everything a pane draws: with a binding the chainage.
    const std::shared_ptr<const std::vector<double>> chainages = m_pPipeline->Chainages();
    for (CTrePrintView* pane : {m_pUpper, m_pLower})
        if (pane) pane->SetAxisPositions(chainages);
}

void CMainFrame::RealignComparison()
{
    if (m_pCompare->IsLoaded()) m_pCompare->Align(m_doc, m_pPipeline->IsLoaded() ? &m_pPipeline->Data() : nullptr);
    if (m_pAssess)
        m_pAssess->SetCompareAlignment(m_pCompare->Alignment(), m_pCompare->AlignErrors(), m_pCompare->AlignNotes(),
                                       m_pCompare->RefusedAsReversed(), m_pCompare->NativePairing());
    ApplyComparison();
}

bool CMainFrame::OpenDocumentFile(const QString& name)
{
    const QString path = QFileInfo(name).absoluteFilePath();
    if (!SaveModified()) return false;
    if (!tresimport::OpenSurvey(m_doc, path.toStdString())) {
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
                                                         CUiSeam::FileFilter(), QStringLiteral("tsd"));
    if (path.isEmpty()) return;
    update();
    tresimport::AppendSurvey(m_doc, path.toStdString());
    UpdateAllViews();
}

bool CMainFrame::OnFileSave()
{
    if (m_doc.m_bEmpty) return false;
    // A survey that was never saved has no path yet: ask for one.
    if (m_doc.GetPathName().empty()) return OnFileSaveAs();
    update();
    return m_doc.OnSaveDocument(m_doc.GetPathName());
}

bool CMainFrame::OnFileSaveAs()
{
    if (m_doc.m_bEmpty) return false;
    QString initial = QString::fromStdString(m_doc.GetPathName());
    if (initial.isEmpty() && m_pApp) initial = m_pApp->m_strLastFilePath + QStringLiteral("/Unbenannt.tsd");
    const QString path = CUiSeam::Current().SaveFileName(this, QStringLiteral("Speichern unter"), initial,
                                                         CUiSeam::FileFilter(), QStringLiteral("tsd"));
    if (path.isEmpty()) return false;
    update();
    if (!m_doc.OnSaveDocument(path.toStdString())) return false;
    if (m_pApp) m_pApp->m_strLastFilePath = path;
    return true;
}

void CMainFrame::OnFilePrintSetup()
{
    if (!m_pApp) return;
    QPageSetupDialog dlg(&m_pApp->Printer(), this);
    dlg.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    dlg.exec();
}

// ---- printing -----------------------------------------------------------------

QString CMainFrame::PdfName() const
{
    if (m_doc.GetPathName().empty()) {
        const QString folder = m_pApp ? m_pApp->m_strDataFolder : QDir::currentPath();
        return QDir(folder).absoluteFilePath(QStringLiteral("Tresmon.pdf"));
    }
    const QFileInfo path(QString::fromStdString(m_doc.GetPathName()));
    return path.absolutePath() + QLatin1Char('/') + path.completeBaseName() + QStringLiteral(".pdf");
}

void CMainFrame::PrintPane(CTrePrintView* pane)
{
    CPanePrintJob job(*pane, m_doc, [this] { StopPrintTimers(); });
    const auto mayOverwrite = [this](const QString& file) {
        return CUiSeam::Current().Question(this,
                                           QStringLiteral("Die Datei ") + QDir::toNativeSeparators(file)
                                               + QStringLiteral(" existiert bereits.\n\nDatei überschreiben ?"),
                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    };
    const int pages = CPrintRunner::Current().Print(this, PrintPrinter(), job, PdfName(), mayOverwrite);
    if (pages < 0) {
        CUiSeam::Current().Message(this, QStringLiteral("Der Druckauftrag konnte nicht ausgeführt werden."),
                                   QMessageBox::Warning);
    } else if (pages > 0 && PrintPrinter().outputFormat() == QPrinter::PdfFormat) {
        // Nothing else shows where the pages went.
        statusBar()->showMessage(QStringLiteral("Gedruckt in ")
                                 + QDir::toNativeSeparators(PrintPrinter().outputFileName()));
    }
}

QPrinter& CMainFrame::PrintPrinter()
{
    if (m_pApp) return m_pApp->Printer();
    if (!m_pOwnPrinter) m_pOwnPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pOwnPrinter;
}

void CMainFrame::StopPrintTimers()
{
    for (QTimer* t : m_pPrintTimers) t->stop();
}

bool CMainFrame::IsPrintTimerActive(int id) const { return id >= 1 && id <= 2 && m_pPrintTimers[id - 1]->isActive(); }

void CMainFrame::OnPrintGraphic()
{
    if (m_doc.m_bEmpty) return;
    if (m_pApp) m_pApp->OnPrinterLandscape();
    else PrintPrinter().setPageOrientation(QPageLayout::Landscape);
    HeaderBarToDoc(m_doc);
    SetActivePane(2);
    graphiclayout::ApplyRangeDefaults(m_doc);
    CTrePlotDruckPS sheet(this);
    sheet.SetMessageHandler(
        [](QWidget* parent, const QString& text) { CUiSeam::Current().Message(parent, text, QMessageBox::Warning); });
    sheet.LoadFromDoc(m_doc);
    if (sheet.exec() != QDialog::Accepted) return;
    m_doc.ChangeFields(EStepKind::GraphicPrint, [&sheet](CTreDoc& d) { sheet.StoreToDoc(d); });
    AfterPrintSheet(m_pLower, sheet.m_bPreview, sheet.m_bPrint, 1);
}

void CMainFrame::OnPrintTable()
{
    if (m_doc.m_bEmpty) return;
    if (m_pApp) m_pApp->OnPrinterPortrait();
    else PrintPrinter().setPageOrientation(QPageLayout::Portrait);
    HeaderBarToDoc(m_doc);
    SetActivePane(0);
    CTreTabDruckPS sheet(this);
    sheet.SetMessageHandler(
        [](QWidget* parent, const QString& text) { CUiSeam::Current().Message(parent, text, QMessageBox::Warning); });
    sheet.LoadFromDoc(m_doc);
    if (sheet.exec() != QDialog::Accepted) return;
    m_doc.ChangeFields(EStepKind::TablePrint, [&sheet](CTreDoc& d) { sheet.StoreToDoc(d); });
    AfterPrintSheet(m_pUpper, sheet.m_bPreview, sheet.m_bPrint, 2);
}

void CMainFrame::AfterPrintSheet(CTrePrintView* pane, bool preview, bool print, int timerId)
{
    if (preview) {
        m_pPrintTimers[timerId - 1]->start();
        m_bPreviewActive = true;
        // Printing from the preview ends the cycle, as a print does.
        CPanePrintJob job(*pane, m_doc, [this] { StopPrintTimers(); });
        const bool printed = CPrintRunner::Current().Preview(this, PrintPrinter(), job, PdfName());
        m_bPreviewActive = false;
        if (printed) StopPrintTimers();
    } else if (print) {
        PrintPane(pane);
    }
}

void CMainFrame::OnPrintTimer(int id)
{
    if (id < 1 || id > 2 || m_bPreviewActive) return;
    m_pPrintTimers[id - 1]->stop();
    if (id == 1) OnPrintGraphic();
    else OnPrintTable();
}

void CMainFrame::OnFilePrint()
{
    if (m_doc.m_bEmpty) return;
    // The upper pane carries the table's printout, the lower the graphic's;
    // from the table itself, the table's.
    CTrePrintView* pane = m_nActivePane == 2 ? m_pLower : m_pUpper;
    if (pane->Kind() == 0) return;
    PrintPane(pane);
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

void CMainFrame::OnAssess()
{
    if (m_pAssess->isVisible() || m_pAssess->isFloating()) {
        m_pAssess->show();
        m_pAssess->raise();
        return;
    }
    // The dock gets the width that shows its lists whole, as far as there is
    // room: the window grows by it as far as the screen lets it, then the
    // table gives its empty comment column. Only to find the dock's least
    // 400 pixels the curve column gives too, keeping at least half.
    constexpr int kDockWidth = 400;
    m_bArranging = true;
    const int curvesWidth = m_pOuter->sizes().value(0);
    const int tableWidth = m_pOuter->sizes().value(1);
    const int spare = std::max(0, tableWidth - m_pTable->FullWidth());
    const int oldWidth = width();
    // Shown first, so that its lists are laid out and can be measured.
    m_pAssess->show();
    if (layout()) layout()->activate();
    const int want = std::max(kDockWidth, m_pAssess->ListsWidth());
    if (!isMaximized() && !isFullScreen()) {
        int most = oldWidth + want;
        QRect area;
        if (QScreen* s = screen()) area = s->availableGeometry();
        if (area.isValid()) most = std::min(most, area.width() - (frameGeometry().width() - width()));
        if (most > width()) resize(most, height());
        // Grown to the right, the window stays on its screen.
        if (area.isValid() && frameGeometry().right() > area.right())
            move(std::max(area.left(), area.right() + 1 - frameGeometry().width()), y());
    }
    const int grown = std::max(0, width() - oldWidth);
    // The separator beside the dock takes its pixels from the same room.
    const int separator = style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    const int dock = std::min(want, std::max(kDockWidth, grown + spare - separator));
    resizeDocks({m_pAssess}, {dock}, Qt::Horizontal);
    if (layout()) layout()->activate();
    const int room = std::max(0, m_pOuter->width() - m_pOuter->handleWidth());
    // The curves keep their width while the table has empty comment column
    // to give; after that, they keep at least half.
    int table = std::min(tableWidth, std::max(room - curvesWidth, std::min(tableWidth, m_pTable->FullWidth())));
    if (room - table < room / 2) table = std::min(table, room / 2);
    m_nTableLent = std::max(0, tableWidth - table);
    m_lastOuterSizes = {room - table, table};
    m_pOuter->setSizes(m_lastOuterSizes);
    m_nLastClientWidth = width();
    m_bArranging = false;
    m_pAssess->raise();
}

void CMainFrame::OnCentralResized()
{
    // Only a dock beside the table changes the central width while the
    // window keeps its own (the window's resize is resizeEvent's).
    if (m_bArranging || m_nLastClientWidth < 0 || width() != m_nLastClientWidth || m_lastOuterSizes.size() < 2) return;
    const int room = std::max(0, m_pOuter->width() - m_pOuter->handleWidth());
    const int delta = room - (m_lastOuterSizes[0] + m_lastOuterSizes[1]);
    if (delta == 0) return;
    int table = m_lastOuterSizes[1];
    if (delta < 0) {
        // A wider dock takes the table's empty comment column first; the
        // curves give the rest, down to a sliver of 10 pixels.
        const int give = std::min(-delta, std::max(0, table - m_pTable->FullWidth()));
        table -= give;
        m_nTableLent += give;
        if (room - table < 10) table = std::max(0, room - std::min(10, room));
    } else {
        // A narrower one gives the table back what it lent, the rest goes
        // to the curves.
        const int back = std::min(delta, m_nTableLent);
        table += back;
        m_nTableLent -= back;
    }
    m_lastOuterSizes = {room - table, table};
    m_pOuter->setSizes(m_lastOuterSizes);
}

void CMainFrame::OnAssessOverlay(bool on)
{
    CTresApp::Settings()->setValue(QStringLiteral("Bewertung/inCurves"), on);
    UpdateAssessCurrency();
    UpdateOverlay();
}

void CMainFrame::UpdateOverlay()
{
    const bool on = Action(ID_ASSESS_OVERLAY)->isChecked();
    const std::shared_ptr<const SVerdict> result = m_pAssess->Result();
    m_pLegend->setVisible(on);
    if (!on || !result) {
        m_pUpper->SetOverlay(nullptr);
        m_pLower->SetOverlay(nullptr);
        m_pOverlay.reset();
        return;
    }
    // On the panes' axis: the chainages of the binding the verdict was judged with.
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = m_pAssess->Binding();
    auto overlay = std::make_unique<CCurveOverlay>(VerdictOverlay(*result, binding ? &binding->chainage : nullptr));
    m_pUpper->SetOverlay(overlay.get());
    m_pLower->SetOverlay(overlay.get());
    m_pOverlay = std::move(overlay);
}

void CMainFrame::ShowStretch(int firstRow, int lastRow, qint64 fromMetre, qint64 toMetre)
{
    m_pTable->SelectRows(firstRow, lastRow);
    // Rows without a metre (or chainage) have no place in the curves.
    if (const std::shared_ptr<const std::vector<double>> chainages = m_pPipeline->Chainages()) {
        std::pair<double, double> range;
        if (RowsAtPositions(*chainages, firstRow, lastRow, range))
            m_pUpper->CenterOnMetres(std::llround(range.first), std::llround(range.second));
    } else if (IsPresent(static_cast<int32_t>(fromMetre)) && IsPresent(static_cast<int32_t>(toMetre))) {
        m_pUpper->CenterOnMetres(fromMetre, toMetre);
    }
}

SReportOptions CMainFrame::ReportOptions(const SReportRequest& request) const
{
    SReportOptions o;
    // The report judges the survey exactly as the window shows it.
    o.settings = m_pAssess->Settings();
    // Only an aligned comparison: the pairs of the page, the curve and the tool.
    o.comparison.earlier = m_pCompare->Alignment() ? m_pCompare->Doc() : nullptr;
    o.comparison.settings = m_pAssess->CompareSettings();
    // The 100 mV criterion reads a native survey as the window does: paired
    // by the comparison's alignment, or not applied when it is refused.
    if (m_pCompare->IsLoaded() && o.comparison.settings.mode == ECompareMode::Native) {
        o.native = m_pCompare->Doc();
        o.nativePairing = m_pCompare->NativePairing().get();
    }
    o.issuer = ReadReportSettings();
    o.reportNumber = request.number;
    o.revision = request.revision;
    o.sectionLength = request.sectionLength;
    o.merge = request.merge;
    o.final = request.final;
    // Held by the pipeline source until the survey changes: past the report's writing.
    o.pipeline = m_pPipeline->Binding().get();
    return o;
}

void CMainFrame::OnReportSettings()
{
    CReportSettingsDlg dlg(this, ReadReportSettings());
    if (dlg.exec() == QDialog::Accepted) WriteReportSettings(dlg.Settings());
}

void CMainFrame::OnAssessReport()
{
    if (m_doc.m_bEmpty) return;
    SReportRequest request;
    const QString sectionKey = QStringLiteral("Bericht/Abschnitt"), mergeKey = QStringLiteral("Bericht/Zusammenfassen");
    request.sectionLength = CTresApp::Settings()->value(sectionKey, request.sectionLength).toInt();
    request.merge = CTresApp::Settings()->value(mergeKey, request.merge).toInt();
    if (!CUiSeam::Current().ReportRequest(this, request)) return;
    CTresApp::Settings()->setValue(sectionKey, request.sectionLength);
    CTresApp::Settings()->setValue(mergeKey, request.merge);
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
    if (m_pCompare->IsLoaded() && !m_pCompare->Alignment())
        CUiSeam::Current().Message(this,
                                   m_pCompare->AlignErrors().join(QLatin1Char('\n'))
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
    statusBar()->showMessage(QStringLiteral("Bewertungsbericht geschrieben: ") + QDir::toNativeSeparators(path));
    // Without a printer the PDF is all there is; with one, offer it.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) return;
    if (CUiSeam::Current().Question(this, QStringLiteral("Soll der Bewertungsbericht auch gedruckt werden?"),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    QPrinter& printer = PrintPrinter();
    QPrintDialog dlg(&printer, this);
    if (dlg.exec() != QDialog::Accepted) return;
    if (!PrintAssessmentReport(m_doc, options, printer, &error))
        CUiSeam::Current().Message(this, error, QMessageBox::Warning);
}

QString CMainFrame::OutputName(const QString& tail, const QString& untitled) const
{
    if (m_doc.GetPathName().empty()) {
        const QString folder = m_pApp ? m_pApp->m_strDataFolder : QDir::currentPath();
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

// ---- pipeline data and exports ---------------------------------------------------

void CMainFrame::OnPipelineOpen()
{
    auto settings = CTresApp::Settings();
    QString initial = settings->value(QStringLiteral("Leitungsdaten/Ordner")).toString();
    if (initial.isEmpty() && !m_doc.GetPathName().empty())
        initial = QFileInfo(QString::fromStdString(m_doc.GetPathName())).absolutePath();
    const QString path = CUiSeam::Current().OpenFileName(this, QStringLiteral("Leitungsdaten laden"), initial,
                                                         CUiSeam::PipelineFilter(), QStringLiteral("geojson"));
    if (path.isEmpty()) return;
    settings->setValue(QStringLiteral("Leitungsdaten/Ordner"), QFileInfo(path).absolutePath());
    LoadPipeline(path);
}

bool CMainFrame::LoadPipeline(const QString& name)
{
    const QString path = QFileInfo(name).absoluteFilePath();
    QStringList errors;
    bool ok = false;
    {
        CWaitCursor wait;
        HeaderBarToDoc(m_doc);
        ok = m_pPipeline->Load(path, m_doc, errors);
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
    AfterPipelineChange();
    QString text = QStringLiteral("Leitungsdaten geladen: ") + QDir::toNativeSeparators(path);
    if (const auto b = m_pPipeline->Binding())
        text += QString::fromUtf8(" – %1 von %2 Festpunkten gefunden")
                    .arg(b->fixpoints.size())
                    .arg(m_pPipeline->Data().fixpoints.size());
    if (const auto n = m_pPipeline->Warnings().size(); n > 0)
        text += QString::fromUtf8(", %1 Warnungen (im Fenster „Bewertung“)").arg(n);
    statusBar()->showMessage(text);
    return true;
}

void CMainFrame::OnPipelineClose()
{
    if (!m_pPipeline->IsLoaded()) return;
    if (!m_doc.m_bEmpty) CPipelineSource::Forget(m_doc.m_header[3], m_doc.m_header[4]);
    m_pPipeline->Close();
    AfterPipelineChange();
}

void CMainFrame::AfterPipelineChange()
{
    ApplyAxis();
    RealignComparison();
    m_pAssess->Recompute();
    UpdateMap();
    UpdateCommandUI();
}

void CMainFrame::LoadRememberedPipeline()
{
    const std::string& name = m_doc.m_header[3];
    const std::string& number = m_doc.m_header[4];
    const QString path = CPipelineSource::Remembered(name, number);
    // Data loaded before the survey, and it fits them: they are its pipeline's.
    if (path.isEmpty() && m_pPipeline->Binding()) CPipelineSource::Remember(name, number, m_pPipeline->Path());
    if (path.isEmpty() || path == m_pPipeline->Path()) return;
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
    LoadPipeline(path);
}

void CMainFrame::OnExport(EExportFormat format)
{
    if (m_doc.m_bEmpty) return;
    const QString name = QString::fromUtf8(tresexport::ExportFormatName(format));
    const std::shared_ptr<const trespipeline::SSurveyBinding> binding = m_pPipeline->Binding();
    if (tresexport::ExportNeedsPipeline(format) && !binding) {
        QString text = QString::fromUtf8("Für den Export als %1 werden Leitungsdaten gebraucht, zu denen die Messung "
                                         "passt (Datei > Leitungsdaten laden...).")
                           .arg(name);
        QStringList errors;
        for (const std::string& e : m_pPipeline->BindErrors()) errors << QString::fromStdString(e);
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
        // Judged as the window judges it: its settings, the native survey, the binding.
        const bool native = m_pCompare->IsLoaded() && m_pCompare->IsNative();
        const SVerdict verdict
            = trespipeline::AssessTied(m_doc, m_pAssess->Settings(), native ? m_pCompare->Doc() : nullptr,
                                       binding.get(), native ? m_pCompare->NativePairing().get() : nullptr);
        if (!tresexport::WriteSurveyExport(path.toStdString(), format, m_doc, verdict, binding.get(), notes, error)) {
            CUiSeam::Current().Message(this, QString::fromStdString(error), QMessageBox::Warning);
            return;
        }
    }
    statusBar()->showMessage(QString::fromUtf8("Exportiert als %1: %2").arg(name, QDir::toNativeSeparators(path)));
    // What the file could not hold is said, never dropped in silence.
    if (!notes.empty()) {
        QStringList lines;
        for (const std::string& n : notes) lines << QString::fromStdString(n);
        CUiSeam::Current().Message(
            this, QString::fromUtf8("Exportiert als %1: %2\n").arg(name, QDir::toNativeSeparators(path)) + Lines(lines),
            QMessageBox::Information);
    }
}

void CMainFrame::OnRestation()
{
    const std::shared_ptr<const trespipeline::SSurveyBinding> b = m_pPipeline->Binding();
    if (m_doc.m_bEmpty || !b) return;
    const auto number
        = [](double v, int decimals) { return QString::fromStdString(trespipeline::GermanNumber(v, decimals)); };
    const trespipeline::SWholeMetres whole = trespipeline::RestationedMetres(b->chainage);
    if (whole.badRow != 0) {
        CUiSeam::Current().Message(this,
                                   QString::fromUtf8("Zeile %1: die Stationierung %2 m passt nicht in die "
                                                     "Meterspalte; die Stationierung wird nicht angepasst.")
                                       .arg(whole.badRow)
                                       .arg(number(b->chainage[whole.badRow - 1], 2)),
                                   QMessageBox::Warning);
        return;
    }
    const std::vector<int32_t>& metres = whole.metres;
    int changed = 0, largestRow = 0;
    int64_t largest = 0;
    for (size_t i = 0; i < metres.size(); ++i) {
        if (!IsPresent(metres[i])) continue;
        const int32_t old = m_doc.GetMeter(static_cast<int>(i) + 1);
        if (metres[i] == old) continue;
        ++changed;
        if (const int64_t d = std::llabs(int64_t{metres[i]} - old); d > largest) {
            largest = d;
            largestRow = static_cast<int>(i) + 1;
        }
    }
    QStringList ties;
    for (size_t k = 0; k < b->ties.size(); ++k) {
        const trespipeline::STie& t = b->ties[k];
        ties << QString::fromUtf8("Zeile %1: %2 m → %3 m „%4“")
                    .arg(t.row)
                    .arg(t.metre)
                    .arg(number(t.chainage, 2), QString::fromStdString(b->pipeline.fixpoints[t.fixpoint].name));
        if (k < b->factors.size()) ties << QString::fromUtf8("    Faktor %1").arg(number(b->factors[k], 4));
    }
    QStringList warnings;
    for (const std::string& w : b->warnings) warnings << QString::fromStdString(w);
    QString text = QString::fromUtf8("Die Messmeter werden durch die Stationierung an den Festpunkten der "
                                     "Leitungsdaten ersetzt, auf ganze Meter gerundet.\n\n%1 Festpunkte gefunden:\n")
                       .arg(b->ties.size())
                   + Lines(ties, 16);
    if (!warnings.isEmpty()) text += QStringLiteral("\n\nWarnungen:\n") + Lines(warnings, 8);
    if (changed == 0) {
        CUiSeam::Current().Message(this, text + QString::fromUtf8("\n\nKein Meter ändert sich."),
                                   QMessageBox::Information);
        return;
    }
    text += QString::fromUtf8("\n\n%1 von %2 Metern ändern sich, am meisten in Zeile %3 (um %4 m).\n"
                              "Der Schritt lässt sich mit „Rückgängig“ zurücknehmen.")
                .arg(changed)
                .arg(m_doc.GetRowCount())
                .arg(largestRow)
                .arg(largest);
    if (CUiSeam::Current().Question(this, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        != QMessageBox::Ok)
        return;
    CWaitCursor wait;
    m_doc.SetMetres(metres);
}

void CMainFrame::OnHelpManual()
{
    if (!m_pManual) {
        QString folder = m_pApp ? m_pApp->m_strProgramFolder : QString();
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

void CMainFrame::OnFocusChanged(QWidget* now)
{
    for (QWidget* w = now; w; w = w->parentWidget()) {
        if (w == m_pUpper) m_nActivePane = 0;
        else if (w == m_pTable) m_nActivePane = 1;
        else if (w == m_pLower) m_nActivePane = 2;
        else continue;
        UpdateCommandUI();
        return;
    }
}

void CMainFrame::UpdateCommandUI()
{
    const bool doc = !m_doc.m_bEmpty;
    for (int id : {ID_FILE_APPEND, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_ADD_CONSTANT, ID_REVERSE, ID_SORT,
                   ID_ERRORLIST_EDIT, ID_TABLE_IRFREE, ID_TABLE_LR, ID_ASSESS_REPORT})
        Action(id)->setEnabled(doc);
    // The clipboard is not used by any pane.
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_GRAPHIC_IRFREE}) Action(id)->setEnabled(false);
    const bool table = doc && m_nActivePane == 1;
    Action(ID_ROW_DELETE)->setEnabled(table);
    Action(ID_ROW_INSERT)->setEnabled(table);
    for (int id : {ID_PRINT_TABLE, ID_PRINT_GRAPHIC, ID_FILE_PRINT}) Action(id)->setEnabled(doc);
    Action(ID_TRANSFER)->setEnabled(true);
    Action(ID_TABLE_IRFREE)->setChecked(m_doc.m_bTableIRFree);
    Action(ID_TABLE_LR)->setChecked(m_doc.m_bTableLR);
    Action(ID_VIEW_HEADER)->setChecked(m_pHeaderToolBar && !m_pHeaderToolBar->isHidden());
    UpdateUndoActions();
    Action(ID_COMPARE_CLOSE)->setEnabled(m_pCompare->IsLoaded());
    Action(ID_PIPELINE_CLOSE)->setEnabled(m_pPipeline->IsLoaded());
    // The map formats need the survey tied to pipeline data; the dig list not.
    const bool bound = doc && m_pPipeline->Binding() != nullptr;
    for (int id : {ID_EXPORT_GEOJSON, ID_EXPORT_KML, ID_EXPORT_GPX, ID_EXPORT_GPKG}) Action(id)->setEnabled(bound);
    Action(ID_EXPORT_CSV)->setEnabled(doc);
    Action(ID_RESTATION)->setEnabled(bound);
    Action(ID_VIEW_MAP)->setChecked(m_pMap && !m_pMap->isHidden());
    Action(ID_VIEW_COMPARE)->setEnabled(m_pCompare->IsLoaded());
    Action(ID_VIEW_COMPARE)->setChecked(m_pCompare->IsLoaded() && m_pCompare->IsShown());
}

void CMainFrame::UpdateRecentFileMenu()
{
    for (QAction* a : m_recentActions) {
        m_pFileMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    if (!m_pApp) return;
    const QStringList files = m_pApp->RecentFiles();
    QAction* before = m_pRecentSeparator;
    // Entries go between the print group and the exit entry.
    const QList<QAction*> all = m_pFileMenu->actions();
    const int sep = all.indexOf(m_pRecentSeparator);
    before = sep + 1 < all.size() ? all[sep + 1] : nullptr;
    for (int i = 0; i < files.size(); ++i) {
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), m_pFileMenu);
        const QString path = files[i];
        connect(a, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
        m_pFileMenu->insertAction(before, a);
        m_recentActions << a;
    }
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

// ---- a survey dropped from a file manager ------------------------------------

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
        if (m_pApp) m_pApp->m_strLastFilePath = path;
        OpenDocumentFile(path);
    });
}
