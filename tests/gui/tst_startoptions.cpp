// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line: what it opens, and --help, --version and a
// wrong option answered without a display, as the program's own process.
#include "startoptions.h"

#include "tresversion.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

namespace {

struct CRun {
    int exit = -1;
    QString out, err;
};

// The program with no display at all: neither X, Wayland nor a Qt platform.
CRun RunProgram(const QStringList& args, const QString& platform = QString(), int waitMs = 60000,
                const QString& program = QStringLiteral(TRESMON_EXE), const QStringList& extraEnv = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    if (!platform.isEmpty()) env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    for (const QString& e : extraEnv) env.insert(e.section(QLatin1Char('='), 0, 0), e.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
    p.start(program, args);
    CRun r;
    if (!p.waitForFinished(waitMs)) return r;
    r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void fileAndSplash();
    void refusedWords();
    void answersWithoutADisplay();
    void screenshotOfTheWindow();
    void demoShowsVerdictDigListAndMap();
};

void TestStartOptions::fileAndSplash()
{
    CStartOptions o;
    QVERIFY(!ReadStartOptions({QStringLiteral("tresmon")}, o));
    QVERIFY(o.splash);
    QVERIFY(o.file.isEmpty());
    // Both spellings of the splash switch, and Qt's own options around the file.
    for (const char* word : {"--no-splash", "-nosplash"}) {
        CStartOptions s;
        QVERIFY(!ReadStartOptions({QStringLiteral("tresmon"), QString::fromLatin1(word), QStringLiteral("-platform"),
                                   QStringLiteral("offscreen"), QStringLiteral("Nord.tsd"), QStringLiteral("-reverse")},
                                  s));
        QVERIFY(!s.splash);
        QCOMPARE(s.file, QStringLiteral("Nord.tsd"));
    }
    // A survey whose name starts with a minus, after "--".
    CStartOptions d;
    QVERIFY(!ReadStartOptions({QStringLiteral("tresmon"), QStringLiteral("--"), QStringLiteral("-alt.tsd")}, d));
    QCOMPARE(d.file, QStringLiteral("-alt.tsd"));
}

void TestStartOptions::refusedWords()
{
    CStartOptions o;
    QCOMPARE(ReadStartOptions({QStringLiteral("tresmon"), QStringLiteral("--frob")}, o), std::optional<int>(1));
    QCOMPARE(ReadStartOptions({QStringLiteral("tresmon"), QStringLiteral("a.tsd"), QStringLiteral("b.tsd")}, o),
             std::optional<int>(1));
    QCOMPARE(ReadStartOptions({QStringLiteral("tresmon"), QStringLiteral("-style")}, o), std::optional<int>(1));
    QCOMPARE(ReadStartOptions({QStringLiteral("tresmon"), QStringLiteral("--size"), QStringLiteral("groß")}, o),
             std::optional<int>(1));
    CStartOptions demo;
    QVERIFY(!ReadStartOptions({QStringLiteral("tresmon"), QStringLiteral("--size"), QStringLiteral("1280x800"),
                               QStringLiteral("--show-assessment"), QStringLiteral("--pipeline"),
                               QStringLiteral("l.geojson")},
                              demo));
    QCOMPARE((std::tuple{demo.width, demo.height, demo.showAssessment, demo.pipeline}),
             (std::tuple{1280, 800, true, QStringLiteral("l.geojson")}));
}

void TestStartOptions::answersWithoutADisplay()
{
    CRun r = RunProgram({QStringLiteral("--help")});
    QCOMPARE(r.exit, 0);
    QVERIFY2(r.out.startsWith(
                 QStringLiteral("Aufruf: tresmon [--no-splash] [--screenshot BILD.png] [--pipeline DATEI.geojson]\n")),
             qPrintable(r.out));
    QCOMPARE(r.err, QString());
    r = RunProgram({QStringLiteral("--version")});
    QCOMPARE(r.exit, 0);
    QCOMPARE(r.out, QStringLiteral("tresmon " TRES_VERSION "\n"));
    r = RunProgram({QStringLiteral("--frob"), QStringLiteral("a.tsd")});
    QCOMPARE(r.exit, 1);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.startsWith(QStringLiteral("tresmon: Unbekannte Option: --frob\nAufruf: tresmon")),
             qPrintable(r.err));
    r = RunProgram({QStringLiteral("--no-splash=ja")});
    QCOMPARE(r.exit, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("tresmon: Diese Option nimmt keinen Wert: --no-splash=ja\n")),
             qPrintable(r.err));
}

// The picture the demo takes: the whole main window with the survey, from
// the program itself, and a clear message when it cannot be written.
void TestStartOptions::screenshotOfTheWindow()
{
    QTemporaryDir dir;
    const QString shot = dir.filePath(QStringLiteral("window.png"));
    CRun r = RunProgram({QStringLiteral("--screenshot"), shot, QStringLiteral(SAMPLES "/demo.tsd")},
                        QStringLiteral("offscreen"));
    QCOMPARE(r.exit, 0);
    QImage picture(shot);
    QVERIFY(picture.width() >= 600 && picture.height() >= 400);
    // Not an empty window: the table's and the curves' colours are there.
    int blue = 0;
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2)
            if ((picture.pixel(x, y) & 0xffffff) == 0x0000ff) ++blue;
    QVERIFY2(blue > 50, qPrintable(QString::number(blue)));

    r = RunProgram({QStringLiteral("--screenshot"), dir.filePath(QStringLiteral("no/such/folder/w.png"))},
                   QStringLiteral("offscreen"));
    QCOMPARE(r.exit, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Das Bild des Fensters konnte nicht")), qPrintable(r.err));

    // A survey that cannot be opened: no message box that nobody clicks
    // away, but its message on standard error and a failed run.
    const QString missing = dir.filePath(QStringLiteral("fehlt.tsd"));
    const QString none = dir.filePath(QStringLiteral("none.png"));
    r = RunProgram({QStringLiteral("--screenshot"), none, missing}, QStringLiteral("offscreen"), 20000);
    QCOMPARE(r.exit, 1);
    QVERIFY2(r.err.contains(QStringLiteral("tresmon: Die Datei ") + missing), qPrintable(r.err));
    QVERIFY(!QFile::exists(none));
}

// The demo script without a display: its picture at the size it asks for,
// the pipeline data loaded without a message (a message fails the run).
void TestStartOptions::demoShowsVerdictDigListAndMap()
{
    QTemporaryDir dir;
    const QString shot = dir.filePath(QStringLiteral("demo.png"));
    const CRun r = RunProgram({QStringLiteral(SCRIPTS "/demo.sh")}, QString(), 60000, QStringLiteral("bash"),
                              {QStringLiteral("TRES_PROGRAM=" TRESMON_EXE), QStringLiteral("TRES_DEMO_SHOT=") + shot});
    QVERIFY2(r.exit == 0, qPrintable(r.out + r.err));
    QCOMPARE(QImage(shot).size(), QSize(1280, 800));
}

QTEST_GUILESS_MAIN(TestStartOptions)
#include "tst_startoptions.moc"
