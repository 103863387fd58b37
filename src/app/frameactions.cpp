// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: one table of what each command is (text,
// status tip, icon, keys, what it runs and when it may be used), from
// which the actions are made and enabled, and the lists of the menus and
// the tool bar that place them.
#include "mainframe.h"

#include "assesswnd.h"
#include "doc/tredoc.h"
#include "export/surveyexport.h"
#include "map/mapdock.h"
#include "recentfiles.h"
#include "ui/artwork.h"
#include "views/curvepane.h"
#include "views/tableview.h"

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

using artwork::EToolIcon;
using tresexport::EExportFormat;

// When a command may be used.
enum class EEnable {
    Own,      // kept as made, or set by its own rule (undo, redo)
    Always,   // always
    Never,    // never: the clipboard is not used by any pane
    Survey,   // with a survey
    Table,    // with a survey while the table is the active pane
    Bound,    // with the survey tied to pipeline data
    Compared, // with a comparison survey
    Pipeline, // with pipeline data
};

struct SActionSpec {
    int id;
    const char* text;
    const char* tip;
    void (*run)(CMainFrame&, bool checked);
    const char* keys = nullptr;    // portable key texts, ";" between keys
    const char* toolTip = nullptr; // shown beside the icon
    int icon = -1;                 // EToolIcon
    EEnable enable = EEnable::Own;
    bool checkable = false;
    bool onToggle = false; // runs when checked from the program too
    bool window = false;   // its keys work anywhere in the window
};

constexpr int Icon(EToolIcon i) { return static_cast<int>(i); }

} // namespace

QAction* CMainFrame::AddAction(int id, const QString& text, const QString& statusTip)
{
    auto* action = new QAction(text, this);
    action->setStatusTip(statusTip);
    action->setData(id);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::createActions()
{
    using C = CMainFrame;
    using E = EEnable;
    // clang-format off
    static const SActionSpec kActions[] = {
        {ID_FILE_NEW, "&Neu", "Erstellt eine neue Messung", [](C& f, bool) { f.OnFileNew(); }, "Ctrl+N", "Neu", Icon(EToolIcon::New)},
        {ID_FILE_OPEN, "Ö&ffnen...", "Öffnet eine Messdatei", [](C& f, bool) { f.OnFileOpen(); }, "Ctrl+O", "Öffnen", Icon(EToolIcon::Open)},
        {ID_FILE_IMPORT, "I&mportieren…", "Liest den CSV- oder Textexport eines anderen Messgeräts über eine Spaltenzuordnung", [](C& f, bool) { f.OnFileImport(); }},
        {ID_FILE_APPEND, "&Anhängen...", "Hängt eine Messdatei an die Messung an", [](C& f, bool) { f.OnFileAppend(); }, nullptr, nullptr, -1, E::Survey},
        {ID_FILE_SAVE, "S&peichern", "Speichert die Messung", [](C& f, bool) { f.OnFileSave(); }, "Ctrl+S", "Speichern", Icon(EToolIcon::Save), E::Survey},
        {ID_FILE_SAVE_AS, "Speichern &unter...", "Speichert die Messung unter einem neuen Namen", [](C& f, bool) { f.OnFileSaveAs(); }, "Ctrl+Shift+S", nullptr, -1, E::Survey},
        {ID_PRINT_TABLE, "&Tabelle drucken...", "Druckt die Messung als Tabelle", [](C& f, bool) { f.OnPrintTable(); }, nullptr, "Tabelle drucken", Icon(EToolIcon::PrintTable), E::Survey},
        {ID_PRINT_GRAPHIC, "&Graphik drucken...", "Druckt die Messkurven", [](C& f, bool) { f.OnPrintGraphic(); }, nullptr, "Graphik drucken", Icon(EToolIcon::PrintGraphic), E::Survey},
        {ID_FILE_PRINT, "&Drucken", "Druckt die Tabelle oder die Graphik wie zuletzt eingestellt, ohne Rückfrage", [](C& f, bool) { f.OnFilePrint(); }, "Ctrl+P", nullptr, -1, E::Survey, false, false, true},
        {ID_FILE_PRINT_SETUP, "Drucker&einrichtung...", "Ändert die Druckereinstellungen", [](C& f, bool) { f.OnFilePrintSetup(); }, nullptr, "Druckereinrichtung", Icon(EToolIcon::PrintSetup)},
        {ID_APP_EXIT, "&Beenden", "Beendet Tresmon", [](C& f, bool) { f.close(); }, "Ctrl+Q"},
        {ID_EDIT_UNDO, "&Rückgängig", "Nimmt den letzten Bearbeitungsschritt zurück", [](C& f, bool) { f.OnEditUndo(); }, "Ctrl+Z;Alt+Backspace", nullptr, Icon(EToolIcon::Undo)},
        {ID_EDIT_REDO, "&Wiederherstellen", "Führt den zurückgenommenen Schritt wieder aus", [](C& f, bool) { f.OnEditRedo(); }, "Ctrl+Y;Ctrl+Shift+Z", nullptr, Icon(EToolIcon::Redo)},
        {ID_EDIT_CUT, "&Ausschneiden", "Schneidet die Markierung aus", nullptr, "Ctrl+X;Shift+Del", nullptr, Icon(EToolIcon::Cut), E::Never},
        {ID_EDIT_COPY, "&Kopieren", "Kopiert die Markierung", nullptr, "Ctrl+C;Ctrl+Ins", nullptr, Icon(EToolIcon::Copy), E::Never},
        {ID_EDIT_PASTE, "E&infügen", "Fügt den Inhalt der Zwischenablage ein", nullptr, "Ctrl+V;Shift+Ins", nullptr, Icon(EToolIcon::Paste), E::Never},
        {ID_ROW_DELETE, "Zeile &löschen", "Löscht die markierten Zeilen", [](C& f, bool) { if (f.m_nActivePane == 1) f.m_pTable->OnDeleteRows(); }, nullptr, nullptr, -1, E::Table},
        {ID_ROW_INSERT, "Zeile &einfügen", "Fügt hinter der aktuellen Zeile eine Zeile ein", [](C& f, bool) { if (f.m_nActivePane == 1) f.m_pTable->OnInsertRow(); }, nullptr, nullptr, -1, E::Table},
        {ID_ADD_CONSTANT, "&Konstante addieren", "Addiert eine Konstante zu einer Spalte", [](C& f, bool) { f.OnAddConstant(); }, nullptr, nullptr, -1, E::Survey},
        {ID_REVERSE, "&Messung umkehren", "Kehrt die Messrichtung um", [](C& f, bool) { f.OnReverse(); }, nullptr, nullptr, -1, E::Survey},
        {ID_SORT, "&Sortieren", "Sortiert die Messung nach Metern", [](C& f, bool) { f.OnSort(); }, nullptr, nullptr, -1, E::Survey},
        {ID_TRANSFER, "Datentransfer...", "Datenaustausch mit dem Logato", [](C& f, bool) { f.OnTransfer(); }, nullptr, "Datentransfer", Icon(EToolIcon::Transfer), E::Always},
        {ID_ERRORLIST_EDIT, "Bearbeiten...", "Bearbeitet die Fehlerlisten-Parameter", [](C& f, bool) { f.OnErrorListEdit(); }, nullptr, nullptr, -1, E::Survey},
        {ID_TABLE_IRFREE, "IR-frei", "Zeigt die IR-freie Spalte", [](C& f, bool) { f.OnTableIRFree(); }, nullptr, nullptr, -1, E::Survey, true},
        {ID_TABLE_LR, "Links/Rechts", "Zeigt die Gradienten links und rechts", [](C& f, bool) { f.OnTableLR(); }, nullptr, nullptr, -1, E::Survey, true},
        {ID_GRAPHIC_IRFREE, "IR-frei", "", nullptr, nullptr, nullptr, -1, E::Never},
        {ID_VIEW_HEADER, "&Kopfdaten", "Zeigt oder verbirgt die Kopfdaten", [](C& f, bool) { f.OnViewHeaderBar(); }, nullptr, nullptr, -1, E::Own, true},
        {ID_HELP_MANUAL, "&Handbuch", "Zeigt das Handbuch des Programms", [](C& f, bool) { f.OnHelpManual(); }, "F1"},
        {ID_APP_ABOUT, "Inf&o ...", "Zeigt Version und Programminformationen", [](C& f, bool) { f.OnAppAbout(); }},
        // The dock in "Ansicht", as every window's docks are listed there, and
        // only there: one command shows and hides it.
        {ID_VIEW_ASSESS, "&Bewertung", "Zeigt oder verbirgt die Bewertung der Messung: Anzeigen, Fehlstellenverdacht, Warnungen", [](C& f, bool on) { if (on) f.OnAssess(); else f.m_pAssess->hide(); }, "F7", nullptr, -1, E::Own, true},
        {ID_ASSESS_OVERLAY, "Bewertung in Kurven", "Zeigt die Anzeigen und den Fehlstellenverdacht in den Kurven", [](C& f, bool on) { f.OnAssessOverlay(on); }, nullptr, nullptr, -1, E::Own, true, true},
        {ID_ASSESS_REPORT, "Bewertungsbericht…", "Schreibt den Bewertungsbericht als PDF-Datei", [](C& f, bool) { f.OnAssessReport(); }, nullptr, nullptr, -1, E::Survey},
        {ID_REPORT_SETTINGS, "Bericht…", "Aussteller, Logo, Bearbeiter und Bezugselektrode des Bewertungsberichts", [](C& f, bool) { f.OnReportSettings(); }},
        {ID_NEXT_PANE, "Nächster Bereich", "", [](C& f, bool) { f.OnNextPane(false); }, "F6", nullptr, -1, E::Own, false, false, true},
        {ID_PREV_PANE, "Voriger Bereich", "", [](C& f, bool) { f.OnNextPane(true); }, "Shift+F6", nullptr, -1, E::Own, false, false, true},
        {ID_COMPARE_OPEN, "&Vergleichsmessung laden…", "Lädt eine frühere oder eine Nativmessung zum Vergleich", [](C& f, bool) { f.OnCompareOpen(); }},
        {ID_COMPARE_CLOSE, "Vergleichsmessung schl&ießen", "Schließt die Vergleichsmessung", [](C& f, bool) { f.OnCompareClose(); }, nullptr, nullptr, -1, E::Compared},
        {ID_PIPELINE_OPEN, "&Leitungsdaten laden…", "Lädt Trasse, Festpunkte und Abschnitte der Leitung (GeoJSON)", [](C& f, bool) { f.OnPipelineOpen(); }},
        {ID_PIPELINE_CLOSE, "Leitungsdaten schließen", "Schließt die Leitungsdaten", [](C& f, bool) { f.OnPipelineClose(); }, nullptr, nullptr, -1, E::Pipeline},
        {ID_EXPORT_GEOJSON, "&GeoJSON…", "Schreibt Messspur, Abschnitte, Fehlstellen und Festpunkte als GeoJSON (braucht Leitungsdaten)", [](C& f, bool) { f.OnExport(EExportFormat::GeoJson); }, nullptr, nullptr, -1, E::Bound},
        {ID_EXPORT_KML, "&KML…", "Schreibt Messspur, Abschnitte, Fehlstellen und Festpunkte als KML (braucht Leitungsdaten)", [](C& f, bool) { f.OnExport(EExportFormat::Kml); }, nullptr, nullptr, -1, E::Bound},
        {ID_EXPORT_GPX, "G&PX…", "Schreibt Fehlstellen und Festpunkte als Wegpunkte und die Messspur als GPX (braucht Leitungsdaten)", [](C& f, bool) { f.OnExport(EExportFormat::Gpx); }, nullptr, nullptr, -1, E::Bound},
        {ID_EXPORT_GPKG, "Geo&Package…", "Schreibt Messspur, Abschnitte, Fehlstellen und Festpunkte als GeoPackage, eine Ebene je Art (braucht Leitungsdaten)", [](C& f, bool) { f.OnExport(EExportFormat::GeoPackage); }, nullptr, nullptr, -1, E::Bound},
        {ID_EXPORT_CSV, "&CSV (Aufgrabungsliste)…", "Schreibt die Aufgrabungsliste als CSV, mit Leitungsdaten auch mit Koordinaten", [](C& f, bool) { f.OnExport(EExportFormat::Csv); }, nullptr, nullptr, -1, E::Survey},
        {ID_RESTATION, "S&tationierung an Festpunkte anpassen…", "Ersetzt die Messmeter durch die Stationierung an den Festpunkten der Leitungsdaten", [](C& f, bool) { f.OnRestation(); }, nullptr, nullptr, -1, E::Pipeline},
        {ID_VIEW_MAP, "&Karte", "Zeigt oder verbirgt die Karte der Messung auf ihrer Trasse", [](C& f, bool on) { f.OnViewMap(on); }, nullptr, nullptr, -1, E::Own, true},
        {ID_VIEW_FIT, "&Einpassen", "Zeigt die ganze Messung in beiden Kurvenbereichen", [](C& f, bool) { f.OnViewFit(); }, "Ctrl+0", nullptr, -1, E::Survey, false, false, true},
        {ID_ARCHIVE_ADD, "In Archiv &übernehmen", "Übernimmt die gespeicherte Messung mit ihren Leitungsdaten und ihrer Bewertung ins Archiv", [](C& f, bool) { f.OnArchiveAdd(); }, nullptr, nullptr, -1, E::Survey},
        {ID_ARCHIVE_OPEN, "Archiv ö&ffnen…", "Zeigt die Leitungen und Messungen im Archiv", [](C& f, bool) { f.OnArchiveOpen(); }},
        {ID_ARCHIVE_OPTIONS, "&Archiv…", "Archivdatei oder Verbindung zum Archiv-Server", [](C& f, bool) { f.OnArchiveOptions(); }},
        {ID_ARCHIVE_TREND, "&Verlauf…", "Zeigt, was sich über die archivierten Messungen der Leitung geändert hat: Fehlstellen, Schutz, Prüfstellen", [](C& f, bool) { f.OnArchiveTrend(); }, nullptr, nullptr, -1, E::Survey},
        {ID_VIEW_EARLIER, "&Frühere Messungen einblenden", "Zeigt bis zu fünf archivierte Messungen der Leitung hinter den Potentialkurven", [](C& f, bool on) { f.OnViewEarlier(on); }, nullptr, nullptr, -1, E::Survey, true},
        {ID_VIEW_COMPARE, "&Vergleich in Kurven", "Zeigt oder verbirgt die Vergleichsmessung in den Kurven", [](C& f, bool) { f.OnViewCompare(); }, nullptr, nullptr, -1, E::Compared, true},
    };
    // clang-format on
    for (const SActionSpec& spec : kActions) {
        QAction* a = AddAction(spec.id, QString::fromUtf8(spec.text), QString::fromUtf8(spec.tip));
        if (spec.icon >= 0) a->setIcon(artwork::ToolIcon(static_cast<EToolIcon>(spec.icon)));
        if (spec.toolTip) a->setToolTip(QString::fromUtf8(spec.toolTip));
        if (spec.keys) {
            QList<QKeySequence> keys;
            for (const QString& k : QString::fromLatin1(spec.keys).split(QLatin1Char(';')))
                keys << QKeySequence(k, QKeySequence::PortableText);
            a->setShortcuts(keys);
        }
        a->setCheckable(spec.checkable);
        if (spec.run) {
            const auto run = spec.run;
            connect(a, spec.onToggle ? &QAction::toggled : &QAction::triggered, this,
                    [this, run](bool checked) { run(*this, checked); });
        }
        if (spec.window) addAction(a);
        m_enable.insert(spec.id, static_cast<int>(spec.enable));
    }
}

namespace {

// A menu or the tool bar from a list of command ids; 0 is a separator.
void Place(QWidget* into, const QMap<int, QAction*>& actions, std::initializer_list<int> ids)
{
    for (int id : ids) {
        if (id == 0) {
            if (auto* menu = qobject_cast<QMenu*>(into)) menu->addSeparator();
            else static_cast<QToolBar*>(into)->addSeparator();
        } else {
            into->addAction(actions.value(id));
        }
    }
}

} // namespace

void CMainFrame::createMenus()
{
    m_pFileMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    Place(m_pFileMenu, m_actions,
          {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_IMPORT, ID_FILE_APPEND, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_COMPARE_OPEN,
           ID_COMPARE_CLOSE, ID_PIPELINE_OPEN, ID_PIPELINE_CLOSE, 0, ID_PRINT_TABLE, ID_PRINT_GRAPHIC, ID_FILE_PRINT,
           ID_FILE_PRINT_SETUP, ID_ASSESS_REPORT});
    QMenu* exportMenu = m_pFileMenu->addMenu(QStringLiteral("&Exportieren"));
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    Place(exportMenu, m_actions, {ID_EXPORT_GEOJSON, ID_EXPORT_KML, ID_EXPORT_GPX, ID_EXPORT_GPKG, ID_EXPORT_CSV});
    m_pRecentSeparator = m_pFileMenu->addSeparator();
    Place(m_pFileMenu, m_actions, {0, ID_APP_EXIT});
    connect(m_pFileMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateRecentFileMenu);

    Place(menuBar()->addMenu(QStringLiteral("&Bearbeiten")), m_actions,
          {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_ROW_DELETE, ID_ROW_INSERT, 0,
           ID_ADD_CONSTANT, ID_REVERSE, ID_SORT, ID_RESTATION});
    Place(menuBar()->addMenu(QStringLiteral("&Logato")), m_actions, {ID_TRANSFER});
    Place(menuBar()->addMenu(QStringLiteral("&Fehlerliste")), m_actions, {ID_ERRORLIST_EDIT});
    QMenu* archive = menuBar()->addMenu(QStringLiteral("A&rchiv"));
    archive->setObjectName(QStringLiteral("archiveMenu"));
    Place(archive, m_actions, {ID_ARCHIVE_ADD, ID_ARCHIVE_OPEN, 0, ID_ARCHIVE_TREND});

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Optionen"));
    Place(options->addMenu(QStringLiteral("Tabelle")), m_actions, {ID_TABLE_IRFREE, ID_TABLE_LR});
    Place(options->addMenu(QStringLiteral("Grafik")), m_actions, {ID_GRAPHIC_IRFREE});
    options->addAction(Action(ID_REPORT_SETTINGS));
    options->addAction(Action(ID_ARCHIVE_OPTIONS));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    m_pToolBar = new QToolBar(QStringLiteral("Symbolleiste"), this);
    QAction* toolbarToggle = m_pToolBar->toggleViewAction();
    toolbarToggle->setText(QStringLiteral("&Symbolleiste"));
    toolbarToggle->setStatusTip(QStringLiteral("Zeigt oder verbirgt die Symbolleiste"));
    m_actions.insert(ID_VIEW_TOOLBAR, toolbarToggle);
    auto* statusToggle = AddAction(ID_VIEW_STATUS_BAR, QStringLiteral("S&tatusleiste"),
                                   QStringLiteral("Zeigt oder verbirgt die Statusleiste"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    Place(view, m_actions,
          {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_HEADER, ID_VIEW_ASSESS, ID_VIEW_MAP, ID_ASSESS_OVERLAY,
           ID_VIEW_COMPARE, ID_VIEW_EARLIER, 0, ID_VIEW_FIT});
    Place(menuBar()->addMenu(QStringLiteral("&?")), m_actions, {ID_HELP_MANUAL, ID_APP_ABOUT});

    for (QMenu* m : findChildren<QMenu*>()) connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::createToolBars()
{
    m_pToolBar->setObjectName(QStringLiteral("toolbar"));
    m_pToolBar->setIconSize(QSize(18, 15));
    m_pToolBar->setMovable(false);
    Place(m_pToolBar, m_actions,
          {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_EDIT_UNDO,
           ID_EDIT_REDO, 0, ID_FILE_PRINT_SETUP, ID_PRINT_TABLE, ID_PRINT_GRAPHIC, 0, ID_TRANSFER});
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::UpdateCommandUI()
{
    const bool doc = !m_doc.m_bEmpty;
    const bool bound = doc && Pipeline().Binding() != nullptr;
    for (auto it = m_enable.cbegin(); it != m_enable.cend(); ++it) {
        bool on = false;
        switch (static_cast<EEnable>(it.value())) {
        case EEnable::Own: continue;
        case EEnable::Always: on = true; break;
        case EEnable::Never: on = false; break;
        case EEnable::Survey: on = doc; break;
        case EEnable::Table: on = doc && m_nActivePane == 1; break;
        case EEnable::Bound: on = bound; break;
        case EEnable::Compared: on = Comparison().IsLoaded(); break;
        case EEnable::Pipeline: on = Pipeline().IsLoaded(); break;
        }
        Action(it.key())->setEnabled(on);
    }
    Action(ID_TABLE_IRFREE)->setChecked(m_doc.m_bTableIRFree);
    Action(ID_TABLE_LR)->setChecked(m_doc.m_bTableLR);
    Action(ID_VIEW_HEADER)->setChecked(m_pHeaderToolBar && !m_pHeaderToolBar->isHidden());
    UpdateUndoActions();
    Action(ID_VIEW_MAP)->setChecked(m_pMap && !m_pMap->isHidden());
    Action(ID_VIEW_COMPARE)->setChecked(Comparison().IsLoaded() && Comparison().IsShown());
    Action(ID_VIEW_EARLIER)->setChecked(m_pLower && !m_pLower->Earlier().empty());
}

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

void CMainFrame::UpdateRecentFileMenu()
{
    for (QAction* a : m_recentActions) {
        m_pFileMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    if (!m_setup.folders) return;
    const QStringList files = RecentFiles();
    // Entries go between the print group and the exit entry.
    const QList<QAction*> all = m_pFileMenu->actions();
    const int sep = all.indexOf(m_pRecentSeparator);
    QAction* before = sep + 1 < all.size() ? all[sep + 1] : nullptr;
    for (int i = 0; i < files.size(); ++i) {
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), m_pFileMenu);
        const QString path = files[i];
        connect(a, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
        m_pFileMenu->insertAction(before, a);
        m_recentActions << a;
    }
}
