// The program's command line: what it opens, and --help, --version and a
// wrong option answered without a display, as the program's own process.
#include "startoptions.h"

#include "tresversion.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

namespace {

struct CRun {
    int exit = -1;
    QString out, err;
};

// The program with no display at all: neither X, Wayland nor a Qt platform.
CRun RunProgram(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TRESMON_EXE), args);
    CRun r;
    if (!p.waitForFinished(60000)) return r;
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
}

void TestStartOptions::answersWithoutADisplay()
{
    CRun r = RunProgram({QStringLiteral("--help")});
    QCOMPARE(r.exit, 0);
    QVERIFY2(r.out.startsWith(QStringLiteral("Aufruf: tresmon [--no-splash] [DATEI.tsd]\n")), qPrintable(r.out));
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

QTEST_GUILESS_MAIN(TestStartOptions)
#include "tst_startoptions.moc"
