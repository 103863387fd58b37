// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: menu, toolbar, status bar, header bar and the three
// panes (gradient curves above, potential curves below, the table beside
// them). It is the document's host: it passes view updates to the panes and
// shows the document's messages, progress and header data.
#pragma once

#include "framesetup.h"
#include "surveysession.h"
#include "views/viewhub.h"

#include <QMainWindow>
#include <QMap>

#include <memory>

class CArchiveSession;
class CArchiveWnd;
class CTrendWnd;
namespace trestrend {
struct SArchiveTrend;
}
class CAssessWnd;
class CCompareSurvey;
class CPipelineSource;
class CTreViewBase;
struct CStartOptions;
struct SReportOptions;
struct SReportRequest;
class CHeaderBar;
class CManualWnd;
class CPaneMarker;
class COpenFileButton;
struct CCurveOverlay;
class CVerdictLegend;
class CVerdictLegendArea;
class CTreDoc;
class CTrePlotView;
class CTrePrintView;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QPrinter;
class QTimer;
class QProgressBar;
class QSplitter;
class QToolBar;

namespace tresmap {
class CMapDock;
}
namespace tresexport {
enum class EExportFormat;
}
namespace tresimport {
class CReaderRegistry;
}
namespace tresarchive {
struct SStoredSurvey;
}

class CMainFrame : public QMainWindow, public CTreViewHub {
    Q_OBJECT
public:
    // Command ids of the menu entries, as the user's manuals name them.
    enum ECommand {
        ID_FILE_NEW = 32809,
        ID_FILE_OPEN = 32808,
        ID_FILE_APPEND = 32807,
        ID_FILE_SAVE = 32806,
        ID_FILE_SAVE_AS = 32805,
        ID_PRINT_TABLE = 32771,
        ID_PRINT_GRAPHIC = 32787,
        ID_FILE_PRINT_SETUP = 57606,
        ID_APP_EXIT = 57665,
        ID_EDIT_UNDO = 57643,
        ID_EDIT_REDO = 57644,
        ID_EDIT_CUT = 57635,
        ID_EDIT_COPY = 57634,
        ID_EDIT_PASTE = 57637,
        ID_ROW_DELETE = 32799,
        ID_ROW_INSERT = 32800,
        ID_ADD_CONSTANT = 32801,
        ID_REVERSE = 32810,
        ID_SORT = 32797,
        ID_TRANSFER = 32778,
        ID_ERRORLIST_EDIT = 32780,
        ID_TABLE_IRFREE = 32802,
        ID_TABLE_LR = 32803,
        ID_GRAPHIC_IRFREE = 32804,
        ID_VIEW_TOOLBAR = 59392,
        ID_VIEW_STATUS_BAR = 59393,
        ID_VIEW_HEADER = 32796,
        ID_APP_ABOUT = 57664,
        ID_NEXT_PANE = 0xE150,
        ID_PREV_PANE = 0xE151,
        ID_FILE_PRINT = 57607,
        ID_ASSESS_OVERLAY = 32831,
        ID_ASSESS_REPORT = 32832,
        ID_REPORT_SETTINGS = 32834,
        ID_COMPARE_OPEN = 32850,
        ID_COMPARE_CLOSE = 32851,
        ID_VIEW_COMPARE = 32852,
        ID_VIEW_ASSESS = 32833,
        ID_PIPELINE_OPEN = 32860,
        ID_PIPELINE_CLOSE = 32861,
        ID_EXPORT_GEOJSON = 32862,
        ID_EXPORT_KML = 32863,
        ID_EXPORT_GPX = 32864,
        ID_EXPORT_CSV = 32865,
        ID_RESTATION = 32866,
        ID_VIEW_MAP = 32867,
        ID_EXPORT_GPKG = 32868,
        ID_VIEW_FIT = 32869,
        ID_HELP_MANUAL = 57667,
        ID_ARCHIVE_ADD = 32870,
        ID_ARCHIVE_OPEN = 32871,
        ID_ARCHIVE_OPTIONS = 32872,
        ID_ARCHIVE_TREND = 32873,
        ID_VIEW_EARLIER = 32874,
        ID_FILE_IMPORT = 32875,
    };

    // Default placement on a screen without stored settings.
    static constexpr int kDefaultWidth = 760;
    static constexpr int kDefaultHeight = 570;
    static constexpr int kDefaultSplitX1 = 320;
    static constexpr int kDefaultSplitX2 = 110;
    static constexpr int kDefaultSplitY1 = 200;

    explicit CMainFrame(CTreDoc& doc, const SFrameSetup& setup = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // ---- the document's host ---------------------------------------------
    void ModifiedChanged(bool modified) override;
    void HistoryChanged() override;
    void PathChanged(const std::string& path) override;
    void UpdateAllViews() override;
    void ActivateFirstCurvePane() override;
    void StatusText(const std::string& text) override;
    void ProgressBegin() override;
    void ProgressStep(int percent) override;
    void ProgressEnd() override;
    void HeaderBarToDoc(CTreDoc& doc) override;
    void DocToHeaderBar(const CTreDoc& doc) override;
    void ShowMessage(const std::string& text) override;

    // ---- commands -------------------------------------------------------
    void OnFileNew();
    void OnFileOpen();
    // Opens `path` after the save query; false when nothing was opened.
    // `readers` other than the program's: an import with the map just chosen.
    bool OpenDocumentFile(const QString& path, const tresimport::CReaderRegistry* readers = nullptr);
    // "Importieren…": another logger's export through the import dialog,
    // whose map is remembered for the file's header line.
    void OnFileImport();
    // The import dialog on `path`, then the file opened with its map.
    bool ImportDocumentFile(const QString& path);
    void OnFileAppend();
    bool OnFileSave();
    bool OnFileSaveAs();
    void OnFilePrintSetup();
    // "&Graphik drucken..." and "&Tabelle drucken...": printer orientation,
    // header bar into the document, the option sheet, then the preview or
    // the print of the pane that carries the printout.
    void OnPrintGraphic();
    void OnPrintTable();
    // Ctrl+P: the printout of the active pane with the settings as they are:
    // the table's from the upper pane and the table, the graphic's from the
    // lower pane.
    void OnFilePrint();
    // "Handbuch" (F1): the manual in a window of its own; a message when it
    // is not installed.
    void OnHelpManual();
    // Timer 1 (graphic) or 2 (table): reopens the sheet once the preview
    // has closed.
    void OnPrintTimer(int id);
    bool IsPrintTimerActive(int id) const;
    bool IsPreviewActive() const { return m_bPreviewActive; }
    // "Rückgängig" and "Wiederherstellen": the document's history, then the
    // header bar shows what the step restored.
    void OnEditUndo();
    void OnEditRedo();
    void OnSort();
    void OnReverse();
    void OnTableIRFree();
    void OnTableLR();
    void OnViewHeaderBar();
    // "Bewertung...": shows the assessment window beside the table.
    void OnAssess();
    // "Bewertung in Kurven": the assessment drawn into both curve panes.
    void OnAssessOverlay(bool on);
    // "Bewertungsbericht...": the report's number, revision and section
    // length, then the report as PDF under a name the user gives (always
    // ending in .pdf); with a printer, it is offered for printing too.
    void OnAssessReport();
    // "Optionen" > "Bericht...": the report's issuer and author.
    void OnReportSettings();
    // What the report is written from: the assessment window's settings,
    // the comparison survey when one is loaded and aligned (under the
    // "Vergleich" page's limit and alignment; a native one also serves the
    // 100 mV criterion), the survey tied to its pipeline data, the settings
    // "Bericht" and `request`.
    SReportOptions ReportOptions(const SReportRequest& request) const;
    // Selects the rows in the table and centres both curve panes on the stretch.
    void ShowStretch(int firstRow, int lastRow, qint64 fromMetre, qint64 toMetre);
    // "Vergleichsmessung laden...", "Vergleichsmessung schließen",
    // "Vergleich in Kurven".
    void OnCompareOpen();
    void OnCompareClose();
    void OnViewCompare();
    const CCompareSurvey& Comparison() const { return m_pSession->Comparison(); }
    // "Leitungsdaten laden...": the open dialog with the pipeline data's
    // own filter, then LoadPipeline().
    void OnPipelineOpen();
    // Reads `path` and ties the survey to it; a refusal is told in a message
    // box and leaves what was loaded before. Remembered for the survey's
    // pipeline name and number.
    // `confirmed`: the data were taken for this survey's pipeline before (the
    // remembered file), so a route naming another pipeline is not asked again.
    bool LoadPipeline(const QString& path, bool confirmed = false);
    // What the start options add to the survey opened (startview.cpp).
    void ShowAtStart(const CStartOptions& options);
    // "Leitungsdaten schließen": the data go, and are no longer remembered
    // for the survey's pipeline.
    void OnPipelineClose();
    const CPipelineSource& Pipeline() const { return m_pSession->Pipeline(); }
    // "Exportieren" > "GeoJSON...", "KML...", "GPX...", "CSV (Aufgrabungsliste)...":
    // the assessment as the window shows it, written under a name the user
    // gives; the map formats need pipeline data.
    void OnExport(tresexport::EExportFormat format);
    // Before a .tsd is written: what it will not hold of another logger's
    // export, and the offer to export the positions first; false cancels.
    bool AcceptExtrasLoss();
    // "Karte": shows or hides the map dock.
    void OnViewMap(bool on);
    // "Stationierung an Festpunkte anpassen...": shows what the pipeline
    // data's fixed points make of the metres (ties, factors, warnings, how
    // many metres change), then writes the chainages rounded to whole
    // metres into the metre column as one step ("Stationierung anpassen").
    void OnRestation();
    void OnNextPane(bool previous = false);
    // "Einpassen" (Ctrl+0): the whole survey in both curve panes.
    void OnViewFit();
    // "Datentransfer...": the handheld transfer dialog; remembers the port
    // that answered for the next time.
    void OnTransfer();
    // "Archiv" > "In Archiv übernehmen": the survey as saved (a modified
    // one is saved first, after asking), its pipeline data and the
    // "Bewertung" window's settings; a date the header does not give is
    // asked for.
    void OnArchiveAdd();
    // "Archiv öffnen…": the archive's window, its list read afresh.
    void OnArchiveOpen();
    // "Optionen" > "Archiv…": where the archive lives.
    void OnArchiveOptions();
    // "Archiv" > "Verlauf…": the trend across the archived surveys of the
    // current survey's pipeline; a click on one of its defects selects it.
    void OnArchiveTrend();
    // "Ansicht" > "Frühere Messungen einblenden": up to five archived
    // surveys of the pipeline behind the potential curves.
    void OnViewEarlier(bool on);
    // "Befund erfassen…" at a defect of the dig list, for an archived survey.
    void OnDigFinding(int row);
    CTrendWnd* TrendWindow() const { return m_pTrendWnd; }
    // The trend input of the current survey's pipeline, and which of its
    // surveys is the one shown (none when it is not archived as saved);
    // false after telling the user why there is none.
    bool LoadCurrentTrend(trestrend::SArchiveTrend& loaded, std::optional<size_t>& current);
    CArchiveSession& Archive() const { return *m_pArchive; }
    // The archive's location in the settings; empty: the default file.
    static std::string StoredArchiveLocation();
    CArchiveWnd* ArchiveWindow() const { return m_pArchiveWnd; }
    // The framework's save query for a modified document; false: stop.
    bool SaveModified();
    // Enabling and checking of every command for the document's state.
    void UpdateCommandUI();

    // ---- for the tests and the program ------------------------------------
    CTreDoc& Doc() const { return m_doc; }
    CSurveySession& Session() const { return *m_pSession; }
    QAction* Action(int id) const { return m_actions.value(id); }
    CTrePrintView* UpperPane() const { return m_pUpper; }
    CTrePrintView* LowerPane() const { return m_pLower; }
    CVerdictLegend* Legend() const { return m_pLegend; }
    CTrePlotView* TableView() const { return m_pTable; }
    CAssessWnd* AssessWindow() const { return m_pAssess; }
    tresmap::CMapDock* MapDock() const { return m_pMap; }
    QSplitter* OuterSplitter() const { return m_pOuter; }
    QSplitter* InnerSplitter() const { return m_pInner; }
    CHeaderBar* HeaderBar() const { return m_pHeaderBar; }
    // The status bar's button for the file written last (none before one).
    COpenFileButton* OpenWrittenButton() const { return m_pOpenWritten; }
    QToolBar* HeaderToolBar() const { return m_pHeaderToolBar; }
    QProgressBar* Progress() const { return m_pProgress; }
    // The pane that takes the row commands and F6: 0 upper, 1 table, 2 lower.
    int ActivePane() const { return m_nActivePane; }
    void SetActivePane(int pane);
    QString DocumentTitle() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReadPlacement();
    // Shrinks and moves the window until its frame lies within `area`.
    void FitInto(const QRect& area);
    // The commands from their table (frameactions.cpp).
    void createActions();
    void createPrintTimers();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createPanes();
    void createHeaderBar();
    void createAssessment();
    void createMap();
    void UpdateOverlay();
    // What the session's change means for the panes, the overlay, the map
    // and the commands.
    void OnSessionChanged(CSurveySession::EChange what);
    // The map shows the window's verdict on its binding, or why it cannot.
    void UpdateMap();
    // The archive window's buttons on survey `id` (archivecommands.cpp).
    bool FetchStored(long long id, tresarchive::SStoredSurvey& out);
    void OnArchiveSurveyOpen(long long id);
    // The pipeline data a stored survey was tied to, as the archive keeps them.
    void LoadStoredPipeline(const tresarchive::SStoredSurvey& stored);
    void OnArchiveSurveyCompare(long long id);
    void OnArchiveSurveyReport(long long id);
    // The list of the archive window read again, if it is open.
    void RefreshArchiveWindow();
    // What follows a comparison loaded: the question for one walked from
    // the other end.
    void AfterComparisonLoaded();
    std::unique_ptr<CArchiveSession> m_pArchive;
    CArchiveWnd* m_pArchiveWnd = nullptr; // made on first use
    CTrendWnd* m_pTrendWnd = nullptr;     // made on first use
    bool m_bOpeningStored = false;        // a survey is read from the archive's bytes
    void OnTableSelectionChanged();
    // The row cursor of the curve panes (framecursor.cpp).
    void createCursorLinks();
    void OnCurveRowHovered(CTrePrintView* pane, int row);
    // The "Bewertung" window's width as the user left it, for its next opening.
    void KeepAssessWidth();
    void ShowCursorRow(int row);
    int TableCursorRow() const;
    int m_nHoverRow = 0; // the row under the pointer in a curve pane
    // The reference electrode the cursor's text names, as the curves' axis
    // does; read again when the survey or the report settings change, not
    // on every move of the pointer.
    void UpdateCursorElectrode();
    QString m_sCursorElectrode;
    // The data remembered for the survey's pipeline, after it was opened;
    // or, with nothing remembered, the data loaded if the survey fits them.
    void LoadRememberedPipeline();
    // The save dialog with its filter and suffix; a name typed with another
    // ending gets the suffix added (asking before it replaces a file), so
    // an output never takes a survey's place. Empty: cancelled.
    QString AskSaveName(const QString& title, const QString& initial, const QString& filter, const QString& suffix);
    // Where an output goes (a print without a printer, the report, an
    // export): beside the survey, its name with `tail` (".pdf",
    // "-Bewertung.pdf"), or in the data folder under `untitled` for a
    // survey without a name.
    QString OutputName(const QString& tail, const QString& untitled) const;
    void SaveLayout();
    void UpdateTitle();
    // Texts, tool tips and enabling of undo and redo from the history.
    void UpdateUndoActions();
    void UpdateRecentFileMenu();
    QAction* AddAction(int id, const QString& text, const QString& statusTip);
    // "Konstante addieren", "Fehlerliste" > "Bearbeiten...", "Info ...".
    void OnAddConstant();
    void OnErrorListEdit();
    void OnAppAbout();

    CTreDoc& m_doc;
    SFrameSetup m_setup;
    QSplitter* m_pOuter = nullptr;
    QSplitter* m_pInner = nullptr;
    CTrePrintView* m_pUpper = nullptr;
    CTrePrintView* m_pLower = nullptr;
    CVerdictLegend* m_pLegend = nullptr;         // under the potential pane while the overlay is on
    CVerdictLegendArea* m_pLegendArea = nullptr; // holds it, scrolled where it needs many lines
    CTrePlotView* m_pTable = nullptr;
    CAssessWnd* m_pAssess = nullptr;
    std::unique_ptr<CCurveOverlay> m_pOverlay; // what the panes draw while the overlay is on
    CHeaderBar* m_pHeaderBar = nullptr;
    QToolBar* m_pHeaderToolBar = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QLabel* m_pLockLabels[3] = {};
    QMenu* m_pFileMenu = nullptr;
    QAction* m_pRecentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QMap<int, QAction*> m_actions;
    QMap<int, int> m_enable; // when each command may be used (frameactions.cpp)
    bool m_bCreated = false;
    bool m_bPlacedOnScreen = false;
    CManualWnd* m_pManual = nullptr; // made on first use
    // The first of the document's views: ties the survey to the pipeline
    // data and aligns the comparison before any other view shows it.
    std::unique_ptr<CSurveySession> m_pSession;
    tresmap::CMapDock* m_pMap = nullptr;
    // Hands the comparison survey to both curve panes (only the potential
    // pane draws it), or takes it away when it is closed or hidden.
    void ApplyComparison();
    // The curve panes' axis: the binding's chainages, or the recorded metres.
    void ApplyAxis();
    int m_nLastClientWidth = -1;
    QList<int> m_lastOuterSizes; // the outer columns as this window last set them
    int m_nTableLent = 0;        // what the table's comment column gave to a dock
    bool m_bArranging = false;   // the window places dock and columns itself
    // The central width changed: a dock's doing when the window kept its width.
    void OnCentralResized();
    // The columns as they were left, placed again until the window has its
    // final size and the docks their width (splitrestore.cpp).
    void PlaceRestoredSplit();
    bool IsPlacementSettled() const;
    bool m_bSplitPending = true;       // the restored columns still wait for the window's final size
    int m_nSettledWidth = -1;          // the width at which they were placed last
    int m_nSavedWidth = kDefaultWidth; // the window's width as it was left
    int m_nRestoredTable = -1;         // the table's width as it was left; -1: not stored
    int m_nActivePane = 0;
    CPaneMarker* m_pPaneMarker = nullptr; // frames the active pane

    // printing
    QPrinter& PrintPrinter();
    void StopPrintTimers();
    void AfterPrintSheet(CTrePrintView* pane, bool preview, bool print, int timerId);
    // Prints `pane` through the print runner and reports a failure.
    void PrintPane(CTrePrintView* pane);
    // Says in the status bar where `file` was written and offers to open it.
    void ShowWritten(const QString& message, const QString& file);
    COpenFileButton* m_pOpenWritten = nullptr;
    QTimer* m_pPrintTimers[2] = {};
    bool m_bPreviewActive = false;
    std::unique_ptr<QPrinter> m_pOwnPrinter; // when the program gave none
};
