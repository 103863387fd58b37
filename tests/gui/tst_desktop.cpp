// SPDX-License-Identifier: GPL-3.0-or-later
// How the program fits into the desktop: where it writes the handheld's
// files, a survey dropped from a file manager, and the survey MIME type
// recognised by its content.
#include "datafolders.h"
#include "mainframe.h"
#include "tredoc.h"
#include "uiseam.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
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
// window took the drag.
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
    QTest::qWait(20); // the survey opens once the drop is over
    return drop.isAccepted();
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void handheldFilesStayOutOfTheInstallation();
    void droppedSurveyOpensAfterTheSaveQuestion();
    void surveyIsRecognisedByItsContent();
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
    auto frame = std::make_unique<CMainFrame>(*doc, nullptr);
    frame->show();
    frame->OnFileNew();
    doc->SetModifiedFlag(true);

    // Not a survey, or not a local file: the window does not take it.
    QVERIFY(!DropOn(*frame, {QUrl::fromLocalFile(text)}));
    QVERIFY(!DropOn(*frame, {QUrl(QStringLiteral("https://example.org/a.tsd"))}));
    QVERIFY(seam.questions.isEmpty());

    // Cancel at the save question keeps the modified survey.
    seam.answer = QMessageBox::Cancel;
    QVERIFY(DropOn(*frame, {QUrl::fromLocalFile(text), QUrl::fromLocalFile(survey)}));
    QCOMPARE(seam.questions.size(), 1);
    QVERIFY(doc->IsModified());
    QVERIFY(doc->GetPathName().empty());

    // "Nein": the dropped survey is open.
    seam.answer = QMessageBox::No;
    QVERIFY(DropOn(*frame, {QUrl::fromLocalFile(survey)}));
    QCOMPARE(seam.questions.size(), 2);
    QCOMPARE(QString::fromStdString(doc->GetPathName()), survey);
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
    if (updater.isEmpty()) QSKIP("update-mime-database is not installed");
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
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
