// SPDX-License-Identifier: GPL-3.0-or-later
// How the program fits into the desktop: where it writes the handheld's
// files, a survey dropped from a file manager, the survey MIME type
// recognised by its content, and the window on the screens of the offscreen
// platform: a small one (1024 x 600) and a wide one (2560 x 1440) right of it.
#include "assesswnd.h"
#include "datafolders.h"
#include "mainframe.h"
#include "missingtool.h"
#include "tableview.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMimeDatabase>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>
#include <memory>

namespace {

class CAnsweringSeam : public CUiSeam {
public:
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton) override
    {
        questions << text;
        return answer;
    }
    void Message(QWidget*, const QString& text, QMessageBox::Icon) override { messages << text; }
    QStringList questions, messages;
    QMessageBox::StandardButton answer = QMessageBox::No;
};

// Sends a drag of `urls` over the window and drops it; returns whether the
// window took the drag. The survey opens once the drop is over: the caller
// waits for what it expects.
bool DropOn(QWidget& target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
    return drop.isAccepted();
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void handheldFilesStayOutOfTheInstallation();
    void droppedSurveyOpensAfterTheSaveQuestion();
    void surveyIsRecognisedByItsContent();
    void assessmentDockShowsItsListsWhole();
    void windowFitsItsScreenAndKeepsItsDocks();
};

void TestDesktop::handheldFilesStayOutOfTheInstallation()
{
    QTemporaryDir home, data, build;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    // Installed: below the user's data folder, never beside the program,
    // even for a user who could write there.
    QVERIFY(IsInstalledProgramFolder(QStringLiteral("/usr/bin")));
    QVERIFY(IsInstalledProgramFolder(QStringLiteral("/usr/local/bin/")));
    QVERIFY(!IsInstalledProgramFolder(QStringLiteral("/usrx/bin")));
    QVERIFY(!IsInstalledProgramFolder(build.path()));
    const bool hadUsrLogato = QDir(QStringLiteral("/usr/bin/Logato")).exists();
    const QString user = data.path() + QStringLiteral("/Norvaken/Tresmon/Logato");
    QCOMPARE(LogatoFolder(QStringLiteral("/usr/bin")), user);
    QVERIFY(QDir(user).exists());
    QCOMPARE(QDir(QStringLiteral("/usr/bin/Logato")).exists(), hadUsrLogato);
    // A build tree keeps them beside the program.
    QCOMPARE(LogatoFolder(build.path()), build.path() + QStringLiteral("/Logato"));
    // Without XDG_DATA_HOME, or with a relative one, ~/.local/share.
    const QString fallback = home.path() + QStringLiteral("/.local/share/Norvaken/Tresmon/Logato");
    qputenv("XDG_DATA_HOME", "relative/folder");
    QCOMPARE(LogatoFolder(QStringLiteral("/usr/local/bin")), fallback);
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(LogatoFolder(QStringLiteral("/usr/local/bin")), fallback);
}

void TestDesktop::droppedSurveyOpensAfterTheSaveQuestion()
{
    QTemporaryDir dir;
    const QString survey = dir.filePath(QStringLiteral("Dropped.TSD"));
    QVERIFY(QFile::copy(QStringLiteral(SAMPLES "/demo.tsd"), survey));
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile(text).open(QIODevice::WriteOnly);

    CAnsweringSeam seam;
    CUiSeam::Install(&seam);
    auto doc = std::make_unique<CTreDoc>();
    auto frame = std::make_unique<CMainFrame>(*doc);
    frame->show();
    frame->OnFileNew();
    doc->SetModifiedFlag(true);

    // Not a survey, or not a local file: the window does not take it.
    QVERIFY(!DropOn(*frame, {QUrl::fromLocalFile(text)}));
    QVERIFY(!DropOn(*frame, {QUrl(QStringLiteral("https://example.org/a.tsd"))}));
    QCoreApplication::processEvents();
    QVERIFY(seam.questions.isEmpty());

    // Cancel at the save question keeps the modified survey.
    seam.answer = QMessageBox::Cancel;
    QVERIFY(DropOn(*frame, {QUrl::fromLocalFile(text), QUrl::fromLocalFile(survey)}));
    QTRY_COMPARE_WITH_TIMEOUT(seam.questions.size(), 1, 10000);
    QVERIFY(doc->IsModified());
    QVERIFY(doc->GetPathName().empty());

    // "Nein": the dropped survey is open.
    seam.answer = QMessageBox::No;
    QVERIFY(DropOn(*frame, {QUrl::fromLocalFile(survey)}));
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(doc->GetPathName()), survey, 10000);
    QCOMPARE(seam.questions.size(), 2);
    QVERIFY(!doc->IsModified());
    QVERIFY(doc->GetRowCount() > 100);
    QVERIFY(seam.messages.isEmpty());

    frame->close();
    frame.reset();
    doc.reset();
    CUiSeam::Install(nullptr);
}

void TestDesktop::surveyIsRecognisedByItsContent()
{
    const QString updater = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (updater.isEmpty()) TRES_QSKIP_MISSING("update-mime-database (shared-mime-info) is not installed");
    // The MIME type as a user's installation has it, in a data folder of our own.
    QTemporaryDir data;
    QVERIFY(QDir(data.path()).mkpath(QStringLiteral("mime/packages")));
    QVERIFY(QFile::copy(QStringLiteral(DATA "/tresmon-tsd.xml"),
                        data.filePath(QStringLiteral("mime/packages/tresmon-tsd.xml"))));
    QCOMPARE(QProcess::execute(updater, {data.filePath(QStringLiteral("mime"))}), 0);

    // A survey of each layout without its ending, and a text that is not one.
    QTemporaryDir files;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(files.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    QFile demo(QStringLiteral(SAMPLES "/demo.tsd"));
    QVERIFY(demo.open(QIODevice::ReadOnly));
    const QString sectioned = write(QStringLiteral("saved.dat"), demo.readAll());
    const QString headerFirst = write(QStringLiteral("written.dat"), "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\n");
    const QString other = write(QStringLiteral("other.dat"), "Version 2\r\n[Version]\r\n");

    // QMimeDatabase reads the folders once, so it asks in a process of its
    // own with only our data folder and the system's.
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--mime-of"), sectioned, headerFirst, other});
    QVERIFY(probe.waitForFinished(30000));
    const QStringList types
        = QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(types, QStringList({QStringLiteral("application/x-tresmon-survey"),
                                 QStringLiteral("application/x-tresmon-survey"), QStringLiteral("text/plain")}));
}

QScreen* ScreenNamed(const char* name)
{
    for (QScreen* s : QGuiApplication::screens())
        if (s->name() == QLatin1String(name)) return s;
    return nullptr;
}

void TestDesktop::assessmentDockShowsItsListsWhole()
{
    // On the wide screen the table has hundreds of pixels of empty comment
    // column; the dock's lists get what they need from it and the window's
    // growth, and the curves keep their width.
    CTresApp::Settings()->clear();
    QScreen* wide = ScreenNamed("breit");
    QVERIFY(wide);
    CAnsweringSeam seam;
    CUiSeam::Install(&seam);
    auto doc = std::make_unique<CTreDoc>();
    auto frame = std::make_unique<CMainFrame>(*doc);
    frame->setGeometry(QRect(wide->geometry().topLeft() + QPoint(40, 40), QSize(1800, 900)));
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QCOMPARE(frame->screen(), wide);
    QVERIFY(frame->OpenDocumentFile(QStringLiteral(SAMPLES "/demo.tsd")));
    frame->OuterSplitter()->setSizes({800, 1000 - frame->OuterSplitter()->handleWidth()});
    emit frame->OuterSplitter()->splitterMoved(800, 1);
    const int curves = frame->OuterSplitter()->sizes().value(0);
    QVERIFY(frame->TableView()->width() - frame->TableView()->FullWidth() > 500);

    frame->Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
    CAssessWnd* w = frame->AssessWindow();
    QTRY_VERIFY(w->isVisible());
    for (auto list :
         {CAssessListModel::EList::Stretches, CAssessListModel::EList::DigList, CAssessListModel::EList::Warnings}) {
        QTableView* v = w->ListView(list);
        // Every column as wide as its contents, and all of them in view.
        for (int c = 0; c < v->model()->columnCount(); ++c)
            QVERIFY(v->horizontalHeader()->sectionSize(c) >= static_cast<QAbstractItemView*>(v)->sizeHintForColumn(c));
        QVERIFY2(v->horizontalHeader()->length() <= w->width() - 20,
                 qPrintable(QStringLiteral("%1 > %2").arg(v->horizontalHeader()->length()).arg(w->width())));
    }
    QCOMPARE(frame->OuterSplitter()->sizes().value(0), curves);
    QVERIFY(frame->TableView()->width() >= frame->TableView()->FullWidth());

    // Widened by hand, the dock takes the rest of the empty comment column
    // (up to 100 pixels of it here) before any of the curves' width;
    // narrowed, it gives it back.
    const int table = frame->OuterSplitter()->sizes().value(1);
    const int spare = std::min(100, frame->TableView()->width() - frame->TableView()->FullWidth());
    QVERIFY(spare >= 50);
    frame->resizeDocks({w}, {w->width() + spare}, Qt::Horizontal);
    QTRY_COMPARE(frame->OuterSplitter()->sizes().value(1), table - spare);
    QCOMPARE(frame->OuterSplitter()->sizes().value(0), curves);
    frame->resizeDocks({w}, {w->width() - spare}, Qt::Horizontal);
    QTRY_COMPARE(frame->OuterSplitter()->sizes().value(1), table);
    QCOMPARE(frame->OuterSplitter()->sizes().value(0), curves);

    doc->SetModifiedFlag(false);
    frame->close();
    frame.reset();
    CUiSeam::Install(nullptr);
}

// Whether `w` lies whole within `area`.
bool Within(const QRect& area, QWidget* w) { return area.contains(QRect(w->mapToGlobal(QPoint(0, 0)), w->size())); }

void TestDesktop::windowFitsItsScreenAndKeepsItsDocks()
{
    CTresApp::Settings()->clear();
    QScreen* small = ScreenNamed("klein");
    QVERIFY(small);
    const QRect area = small->availableGeometry();
    // Left on a large screen at 1900 x 900, opened on the small one.
    {
        auto s = CTresApp::Settings();
        s->setValue("Settings/XPos", 60);
        s->setValue("Settings/YPos", 40);
        s->setValue("Settings/XWidth", 1900);
        s->setValue("Settings/YWidth", 900);
    }
    CAnsweringSeam seam;
    CUiSeam::Install(&seam);
    auto doc = std::make_unique<CTreDoc>();
    auto open = [&] {
        auto f = std::make_unique<CMainFrame>(*doc);
        f->show();
        if (!QTest::qWaitForWindowExposed(f.get())) qWarning("window not exposed");
        return f;
    };
    auto frame = open();
    QVERIFY2(area.contains(frame->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(frame->frameGeometry().x())
                                                                   .arg(frame->frameGeometry().y())
                                                                   .arg(frame->frameGeometry().width())
                                                                   .arg(frame->frameGeometry().height())));
    QVERIFY(frame->OpenDocumentFile(QStringLiteral(SAMPLES "/demo.tsd")));
    QVERIFY(Within(area, frame->statusBar()));
    QVERIFY(Within(area, frame->TableView()));

    // "Ansicht" lists the dock; opened, it is open again next time.
    QAction* toggle = frame->Action(CMainFrame::ID_VIEW_ASSESS);
    QStringList view;
    for (QAction* m : frame->menuBar()->actions())
        if (m->text() == QStringLiteral("&Ansicht"))
            for (QAction* a : m->menu()->actions()) view << a->text();
    QVERIFY(view.contains(toggle->text()));
    QVERIFY(!toggle->isChecked());
    toggle->trigger();
    QVERIFY(frame->AssessWindow()->isVisible());
    QVERIFY(toggle->isChecked());
    frame->close();
    frame = open();
    QVERIFY(frame->AssessWindow()->isVisible());
    QVERIFY(frame->Action(CMainFrame::ID_VIEW_ASSESS)->isChecked());
    frame->Action(CMainFrame::ID_VIEW_ASSESS)->trigger();
    QVERIFY(!frame->AssessWindow()->isVisible());
    // Maximised, it opens maximised; closed dock stays closed.
    frame->showMaximized();
    QTRY_VERIFY(frame->isMaximized());
    frame->close();
    frame = open();
    QVERIFY(frame->isMaximized());
    QVERIFY(!frame->AssessWindow()->isVisible());
    frame->showNormal();
    QTRY_VERIFY(!frame->isMaximized());
    QVERIFY(area.contains(frame->frameGeometry()));
    frame->close();
    frame.reset();
    CUiSeam::Install(nullptr);
}

int main(int argc, char** argv)
{
    // The probe for the content test: the MIME type of each file, by content.
    if (argc > 1 && qstrcmp(argv[1], "--mime-of") == 0) {
        QCoreApplication app(argc, argv);
        QMimeDatabase db;
        for (int i = 2; i < argc; ++i)
            std::printf(
                "%s\n",
                qPrintable(db.mimeTypeForFile(QString::fromLocal8Bit(argv[i]), QMimeDatabase::MatchContent).name()));
        return 0;
    }
    // Two screens side by side, and settings of the test's own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QString screens = config.filePath(QStringLiteral("screens.json"));
    QFile json(screens);
    if (!json.open(QIODevice::WriteOnly)) return 2;
    json.write(R"({"screens": [
        {"name": "klein", "x": 0, "y": 0, "width": 1024, "height": 600, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "breit", "x": 1024, "y": 0, "width": 2560, "height": 1440, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
    ]})");
    json.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.toLocal8Bit());
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Norvaken"));
    QCoreApplication::setApplicationName(QStringLiteral("Tresmon"));
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
