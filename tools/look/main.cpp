// SPDX-License-Identifier: GPL-3.0-or-later
// tres-look: opens Tresmon's main window on a survey, then each menu and
// each dialog in turn, and saves a picture of the screen for each into a
// folder. Run it under a virtual X server to look at the program without
// sitting at it:  xvfb-run -a tres-look samples/demo.tsd /tmp/look
// With pipeline data as a third argument it also shows the window with them
// and the map:    ... tres-look samples/demo.tsd /tmp/look samples/demo-leitung.geojson
// and with a native survey as a fourth the Bewertung window judging by it:
//                 ... samples/demo-leitung.geojson samples/native.tsd
#include "aboutdlg.h"
#include "addconstdlg.h"
#include "assesswnd.h"
#include "errorlistdlg.h"
#include "importui/importdlg.h"
#include "mainframe.h"
#include "mapdock.h"
#include "mapscene.h"
#include "mapview.h"
#include "tableview.h"
#include "tredoc.h"
#include "tresapp.h"
#include "tresversion.h"
#include "uiseam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>

#include <cstdio>
#include <string>

namespace {

void Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Grab(const QString& folder, const QString& name)
{
    Pause(150);
    QGuiApplication::primaryScreen()->grabWindow(0).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

template <typename Dialog> void GrabDialog(Dialog& dlg, const QString& folder, const QString& name)
{
    dlg.show();
    Pause(150);
    dlg.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    dlg.hide();
}

// "Vergleichsmessung laden…" answered with a native survey.
class CNativeSeam : public CUiSeam {
public:
    explicit CNativeSeam(QString path)
        : m_path(std::move(path))
    { }
    QString OpenFileNameWithOption(QWidget*, const QString&, const QString&, const QString&, bool& option) override
    {
        option = true;
        return m_path;
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char** argv)
{
    const char usage[] = "Aufruf: tres-look DATEI.tsd ORDNER [LEITUNGSDATEN.geojson [NATIV.tsd]]\n";
    // Answered before a window is asked for, so also without a screen.
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            fputs(usage, stdout);
            return 0;
        }
        if (a == "--version") {
            puts("tres-look " TRES_VERSION);
            return 0;
        }
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) { // one dash is Qt's own (-platform offscreen)
            fprintf(stderr, "tres-look: Unbekannte Option: %s\n%s", a.c_str(), usage);
            return 1;
        }
    }
    CTresApp app(argc, argv);
    if (argc < 3) {
        fputs(usage, stderr);
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);
    CTreDoc doc;
    CMainFrame frame(doc, app.FrameSetup());
    frame.show();
    if (!frame.OpenDocumentFile(QString::fromLocal8Bit(argv[1]))) return 2;
    Grab(folder, QStringLiteral("01-window"));
    int n = 2;
    for (QAction* a : frame.menuBar()->actions()) {
        QMenu* m = a->menu();
        if (!m) continue;
        frame.menuBar()->setActiveAction(a);
        Grab(folder, QStringLiteral("%1-menu").arg(n++, 2, 10, QLatin1Char('0')));
        m->hide();
    }
    CAddConstDlg add(&frame);
    GrabDialog(add, folder, QStringLiteral("20-addconst"));
    CErrorListDlg mean(false, &frame);
    mean.SetTexts(LimitsToBoxTexts(doc.m_limits));
    GrabDialog(mean, folder, QStringLiteral("21-errorlist"));
    CErrorListDlg lr(true, &frame);
    lr.SetTexts(LimitsToBoxTexts(doc.m_limits));
    GrabDialog(lr, folder, QStringLiteral("22-errorlist-lr"));
    CAboutDlg about(&frame);
    GrabDialog(about, folder, QStringLiteral("23-about"));
    {
        // Another logger's export in a layout no map knows, as the import
        // dialog first shows it, and once its columns are assigned.
        const std::string csv = "Logger KX-9 Seriennummer 4417\nTrupp Nord; Messung 3\nPos;U-aus;U-ein;Notiz\n"
                                "12+345,6;-0,8555;-0,95;Schieber\n12+346,4;-0,81;;\n12+347,0;-0,9a;-1,0;\n";
        CImportDlg import(&frame, QStringLiteral("kx9.csv"), csv, {});
        GrabDialog(import, folder, QStringLiteral("23-import-new"));
        import.SkipBox()->setValue(2);
        import.ColumnBox(tresimport::EColumn::Station)->setCurrentIndex(1);
        import.ColumnBox(tresimport::EColumn::Off)->setCurrentIndex(2);
        import.ColumnBox(tresimport::EColumn::On)->setCurrentIndex(3);
        import.ColumnBox(tresimport::EColumn::Comment)->setCurrentIndex(4);
        import.ResultText();
        GrabDialog(import, folder, QStringLiteral("23-import-bad-line"));
        import.SkipBadBox()->setChecked(true);
        import.ResultText();
        GrabDialog(import, folder, QStringLiteral("23-import-skipped"));
    }
    // Qt's own dialogs, which should speak German too.
    QFileDialog files(&frame, QStringLiteral("Öffnen"), QDir::currentPath(), CUiSeam::FileFilter());
    files.setOption(QFileDialog::DontUseNativeDialog);
    GrabDialog(files, folder, QStringLiteral("24-filedialog"));
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, &frame);
    GrabDialog(preview, folder, QStringLiteral("25-preview"));
    // The table at the end of a row: no column may hide under the metre.
    if (auto* table = frame.findChild<CTrePlotView*>()) {
        frame.activateWindow();
        table->setFocus();
        table->setCurrentIndex(table->model()->index(2, 1));
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
        QApplication::sendEvent(table, &end);
        Grab(folder, QStringLiteral("26-table-end"));
    }
    // "Bearbeiten" with a step to take back and one to do again.
    frame.Action(CMainFrame::ID_REVERSE)->trigger();
    frame.Action(CMainFrame::ID_REVERSE)->trigger();
    frame.Action(CMainFrame::ID_EDIT_UNDO)->trigger();
    for (QAction* a : frame.menuBar()->actions()) {
        if (a->text() != QStringLiteral("&Bearbeiten")) continue;
        frame.menuBar()->setActiveAction(a);
        Grab(folder, QStringLiteral("27-edit-undo"));
        a->menu()->hide();
    }
    // The verdict beside the table, then laid over the curves, then a
    // suspected defect's place as a double click shows it.
    frame.resize(1280, 760);
    frame.Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
    Pause(150);
    frame.grab().save(folder + QStringLiteral("/28-assessment.png"));
    if (auto* pages = frame.AssessWindow()->findChild<QTabWidget*>(QStringLiteral("lists"))) {
        pages->setCurrentIndex(pages->count() - 2); // "Einstellungen"
        Pause(150);
        frame.AssessWindow()->grab().save(folder + QStringLiteral("/28-assessment-settings.png"));
        pages->setCurrentIndex(1); // "Aufgrabungsliste"
        Pause(150);
        frame.AssessWindow()->grab().save(folder + QStringLiteral("/28-assessment-diglist.png"));
        pages->setCurrentIndex(0);
    }
    frame.Action(CMainFrame::ID_ASSESS_OVERLAY)->setChecked(true);
    Pause(150);
    frame.grab().save(folder + QStringLiteral("/29-assessment-curves.png"));
    if (const auto result = frame.AssessWindow()->Result(); result && !result->defects.empty()) {
        const SCoatingDefect& d = result->defects.front();
        frame.ShowStretch(d.row, d.row, d.metre, d.metre);
        Pause(150);
        frame.grab().save(folder + QStringLiteral("/30-assessment-defect.png"));
    }
    frame.Action(CMainFrame::ID_ASSESS_OVERLAY)->setChecked(false);
    // With pipeline data: the lists with chainages and positions, the map
    // beside them, and the map alone at a readable size.
    if (argc > 3 && frame.LoadPipeline(QString::fromLocal8Bit(argv[3]))) {
        frame.Action(CMainFrame::ID_VIEW_MAP)->trigger();
        Pause(150);
        frame.grab().save(folder + QStringLiteral("/32-pipeline-window.png"));
        if (auto* pages = frame.AssessWindow()->findChild<QTabWidget*>(QStringLiteral("lists"))) {
            pages->setCurrentIndex(1);
            Pause(150);
            frame.AssessWindow()->grab().save(folder + QStringLiteral("/32-pipeline-diglist.png"));
            pages->setCurrentIndex(0);
        }
        frame.MapDock()->setFloating(true);
        frame.MapDock()->resize(900, 700);
        Pause(300);
        frame.MapDock()->grab().save(folder + QStringLiteral("/33-map.png"));
        // Zoomed in on the first defect of the dig list, chosen in the table.
        const tresmap::SMapScene* scene = frame.MapDock()->View()->Scene();
        if (scene && !scene->defects.empty()) {
            const tresmap::SMapDefect& d = scene->defects.front();
            frame.ShowStretch(d.row - 5, d.row + 5, d.metre - 5, d.metre + 5);
            tresmap::CMapView* view = frame.MapDock()->View();
            const QPointF at = view->ToWidget(d.at);
            QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 1200), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &wheel);
            Pause(150);
            frame.MapDock()->grab().save(folder + QStringLiteral("/34-map-defect.png"));
        }
    }
    // The 100 mV criterion against a native survey: how it was paired.
    if (argc > 4) {
        frame.MapDock()->hide();
        CNativeSeam seam(QString::fromLocal8Bit(argv[4]));
        CUiSeam* real = CUiSeam::Install(&seam);
        frame.Action(CMainFrame::ID_COMPARE_OPEN)->trigger();
        CUiSeam::Install(real);
        Pause(150);
        frame.AssessWindow()->grab().save(folder + QStringLiteral("/35-native.png"));
        // The curves with the verdict over them, the pipeline data's axis
        // and the native survey as comparison.
        frame.Action(CMainFrame::ID_ASSESS_OVERLAY)->setChecked(true);
        Pause(150);
        frame.grab().save(folder + QStringLiteral("/36-curves-overlay.png"));
        frame.Action(CMainFrame::ID_ASSESS_OVERLAY)->setChecked(false);
    }
    // The manual, as F1 shows it.
    app.m_strProgramFolder = QStringLiteral(TRESMON_DIR);
    frame.Action(CMainFrame::ID_HELP_MANUAL)->trigger();
    Pause(150);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle().contains(QStringLiteral("Handbuch")))
            w->grab().save(folder + QStringLiteral("/31-manual.png"));
    doc.SetModifiedFlag(false);
    return 0;
}
