// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer dialog against the real serial-link library: the listing
// and free-space texts, the port search and its error boxes on ports with
// no handheld, and, with the handheld simulator on a pseudo-terminal, the
// receive and delete runs.
#include "portsearchdlg.h"
#include "surveyopen.h"
#include "transferdlg.h"
#include "tredoc.h"
#include "uiseam.h"
#include <QApplication>

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {

class CScriptedSeam : public CUiSeam {
public:
    QMessageBox::StandardButton Question(QWidget*, const QString& text, QMessageBox::StandardButtons,
                                         QMessageBox::StandardButton def) override
    {
        questions << text;
        defaults << def;
        return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
    }
    void Message(QWidget* parent, const QString& text, QMessageBox::Icon icon) override
    {
        messages << text;
        icons << icon;
        parents << parent;
    }
    QList<QWidget*> parents;
    QStringList questions, messages;
    QList<QMessageBox::StandardButton> answers, defaults;
    QList<QMessageBox::Icon> icons;
};

QByteArray Line(const char* name, unsigned long size, const char* date = "07/03/02 12:30")
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "%-12.12s %9lu %s %s", name, size, "A      ", date);
    return QByteArray(buf);
}

QString VlnkDir() { return QString::fromLocal8Bit(qgetenv("VLNK_DIR")); }

// How often the library's log holds `line`: a test's own lines are those the
// count gained, wherever in the log they are.
int LogCount(const char* line)
{
    QFile log(VlnkDir() + QStringLiteral("/VLNKW.LOG"));
    return log.open(QIODevice::ReadOnly) ? int(log.readAll().count(line)) : -1;
}

// Writes the library's ini: where COM1 and COM2 lead, and short time-outs
// without retries, which the searches on silent lines wait out. With the
// simulator on COM1 the time-outs are longer and a frame may be asked for
// again: a busy machine may keep it from answering in time, which no test
// here is about.
void WriteIni(const QString& com1, const QString& com2, bool handheld = false)
{
    QFile ini(VlnkDir() + QStringLiteral("/vlnkw.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray text = "[Ports]\r\nCOM1=" + com1.toLocal8Bit() + "\r\nCOM2=" + com2.toLocal8Bit() + "\r\n";
    text += handheld ? "[Protocol]\r\nConnectTimeout=150\r\nRetryTimeout=1000\r\nStartBlockTimeout=2000\r\n"
                       "MaxRetries=3\r\nPollTimeout=1000\r\n"
                     : "[Protocol]\r\nConnectTimeout=150\r\nRetryTimeout=150\r\nStartBlockTimeout=500\r\n"
                       "MaxRetries=1\r\nPollTimeout=150\r\n";
    ini.write(text);
}

// A pseudo-terminal that nobody answers on.
struct CSilentLine {
    int master = -1, slave = -1;
    QString path;
    CSilentLine()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) path = QString::fromLocal8Bit(name);
    }
    ~CSilentLine()
    {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
    }
};

} // namespace

class TestTransferDlg : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listingLines_data();
    void listingLines();
    void freeSpaceTexts();

    void noPortReportsError();
    void silentHandheldReportsNoLogatoAfterBothPorts();
    void searchStartsWithTheLastPort();
    void cancelEndsTheSearch();
    void errorBoxesSitOverTheMainWindow();

    void listsAndFreeSpaceFromTheHandheld();
    void receiveIntoTheDataFolderAndOpen();
    void receiveProgressOnlyRises();
    void overwriteQuestionNoStopsTheRun();
    void failedReceiveIsReportedOnce();
    void deleteTakesTheBackupAlong();
    void deleteOfUnsavedFileAsksFirst();
    void focusEnablesTheRowButtons();
    void verifyBoxIsKeptAndReadsTwice();
    void cancelDuringAReceiveClosesTheDialog();

private:
    // Starts the simulator on a folder of its own; COM1 leads to it and
    // COM2 to a line nobody answers.
    bool StartHandheld(const QStringList& files, const QStringList& extraArgs = {});
    void StopHandheld();
    QString HandheldDir() const { return m_handheld->path() + QStringLiteral("/TRE/DATEN"); }
    void Select(CTransferDlg& dlg, const QStringList& names);

    CScriptedSeam m_seam;
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<QTemporaryDir> m_handheld;
    std::unique_ptr<CSilentLine> m_silent;
    QProcess m_sim;
};

void TestTransferDlg::init()
{
    m_seam = CScriptedSeam();
    CUiSeam::Install(&m_seam);
    m_data = std::make_unique<QTemporaryDir>();
}

void TestTransferDlg::cleanup()
{
    StopHandheld();
    CUiSeam::Install(nullptr);
}

bool TestTransferDlg::StartHandheld(const QStringList& files, const QStringList& extraArgs)
{
#ifdef HANDHELD_SIM
    m_handheld = std::make_unique<QTemporaryDir>();
    QDir().mkpath(HandheldDir());
    for (const QString& f : files) {
        QFile out(HandheldDir() + QLatin1Char('/') + f);
        if (!out.open(QIODevice::WriteOnly)) return false;
        QByteArray text = "[Kopfdaten]\r\n01.02.26\r\n-850 mV\r\n" + f.toLatin1() + "\r\n[Messdaten]\r\n";
        for (int m = 0; m < 200; ++m) text += QByteArray::number(m) + ";-1.10;-0.90;12;3;;;\r\n";
        out.write(text);
    }
    m_sim.setProgram(QStringLiteral(HANDHELD_SIM));
    m_sim.setArguments(
        QStringList{QStringLiteral("--root"), m_handheld->path(), QStringLiteral("--free"), QStringLiteral("238080")}
        + extraArgs);
    m_sim.start();
    if (!m_sim.waitForStarted(5000) || !m_sim.waitForReadyRead(5000)) return false;
    const QString pty = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
    m_silent = std::make_unique<CSilentLine>();
    WriteIni(pty, m_silent->path, true);
    return !pty.isEmpty();
#else
    Q_UNUSED(files);
    Q_UNUSED(extraArgs);
    return false;
#endif
}

void TestTransferDlg::StopHandheld()
{
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(3000)) m_sim.kill();
        m_sim.waitForFinished(1000);
    }
    m_silent.reset();
}

void TestTransferDlg::Select(CTransferDlg& dlg, const QStringList& names)
{
    QTreeWidget* list = dlg.HandheldList();
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (names.contains(list->topLevelItem(i)->text(0))) list->topLevelItem(i)->setSelected(true);
}

void TestTransferDlg::listingLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("date");
    QTest::newRow("plain") << Line("A1.TSD", 1234) << true << "A1.TSD"
                           << "1234"
                           << "07/03/02";
    QTest::newRow("six digits only") << Line("BIG.TSD", 1234567) << true << "BIG.TSD"
                                     << "234567"
                                     << "07/03/02";
    QTest::newRow("long name") << Line("ABCDEFGH.TSD", 5) << true << "ABCDEFGH.TSD"
                               << "5"
                               << "07/03/02";
    QTest::newRow("no extension") << Line("README", 10) << false << ""
                                  << ""
                                  << "";
    QTest::newRow("empty name") << Line(".TSD", 10) << false << ""
                                << ""
                                << "";
    QTest::newRow("parent folder") << Line("..\\X.TSD", 10) << false << ""
                                   << ""
                                   << "";
    QTest::newRow("separator") << Line("A/B.TSD", 10) << false << ""
                               << ""
                               << "";
    QTest::newRow("backslash") << Line("A\\B.TSD", 10) << false << ""
                               << ""
                               << "";
}

void TestTransferDlg::listingLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, listed);
    const auto entry = CTransferDlg::ParseDirectoryLine(line);
    QCOMPARE(entry.has_value(), listed);
    if (!listed) return;
    QTEST(entry->name, "name");
    QTEST(entry->size, "size");
    QTEST(entry->date, "date");
}

void TestTransferDlg::freeSpaceTexts()
{
    QCOMPARE(CTransferDlg::FreeSpaceText("238080"), QString("232 KB frei"));
    QCOMPARE(CTransferDlg::FreeSpaceText("1023"), QString("0 KB frei"));
    QCOMPARE(CTransferDlg::FreeSpaceText("-2048"), QString("-2 KB frei"));
    QCOMPARE(CTransferDlg::FreeSpaceText(""), QString("0 KB frei"));
}

void TestTransferDlg::noPortReportsError()
{
    WriteIni(QStringLiteral("/nonexistent/ttyA"), QStringLiteral("/nonexistent/ttyB"));
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].startsWith("Keine freie serielle Schnittstelle"));
    QCOMPARE(m_seam.icons[0], QMessageBox::Critical);
    QCOMPARE(dlg.Port(), QString());
}

void TestTransferDlg::silentHandheldReportsNoLogatoAfterBothPorts()
{
    CSilentLine one, two;
    QVERIFY(!one.path.isEmpty() && !two.path.isEmpty());
    WriteIni(one.path, two.path);
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QStringList searched;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (dlg.SearchWindow() && (searched.isEmpty() || searched.last() != dlg.SearchWindow()->Text()))
            searched << dlg.SearchWindow()->Text();
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(searched, QStringList({"Suche Logato an COM 1 ...", "Suche Logato an COM 2 ..."}));
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].startsWith("Keine Verbindung zur Logato !"));
    QCOMPARE(m_seam.icons[0], QMessageBox::Critical);
}

void TestTransferDlg::cancelEndsTheSearch()
{
    // Lines that would keep the search waiting for a minute per port.
    CSilentLine one, two;
    QFile ini(VlnkDir() + QStringLiteral("/vlnkw.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[Ports]\r\nCOM1=" + one.path.toLocal8Bit() + "\r\nCOM2=" + two.path.toLocal8Bit()
              + "\r\n[Protocol]\r\nConnectTimeout=60000\r\nRetryTimeout=60000\r\nMaxRetries=1\r\n"
                "PollTimeout=60000\r\n");
    ini.close();
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QStringList searched;
    bool pressed = false;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        CPortSearchDlg* search = dlg.SearchWindow();
        if (!search) return;
        if (searched.isEmpty() || searched.last() != search->Text()) searched << search->Text();
        // The window answers while the port is being waited on.
        if (!pressed && search->isVisible()) {
            pressed = true;
            search->CancelButton()->click();
        }
    });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(pressed);
    QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
    // Neither the second port nor an error box after it.
    QCOMPARE(searched, QStringList({"Suche Logato an COM 1 ..."}));
    QVERIFY(m_seam.messages.isEmpty());
    QCOMPARE(dlg.Channel(), 0);
}

void TestTransferDlg::searchStartsWithTheLastPort()
{
    CSilentLine one, two;
    WriteIni(one.path, two.path);
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QStringLiteral("COM2"));
    QStringList searched;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (dlg.SearchWindow() && (searched.isEmpty() || searched.last() != dlg.SearchWindow()->Text()))
            searched << dlg.SearchWindow()->Text();
    });
    dlg.exec();
    QCOMPARE(searched, QStringList({"Suche Logato an COM 2 ...", "Suche Logato an COM 1 ..."}));
}

void TestTransferDlg::errorBoxesSitOverTheMainWindow()
{
    // The errors of the search come before the dialog is shown; their boxes
    // belong over the window the dialog was opened from.
    QWidget main;
    main.setGeometry(140, 90, 500, 360);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    WriteIni(QStringLiteral("/nonexistent/ttyA"), QStringLiteral("/nonexistent/ttyB"));
    {
        CTransferDlg dlg(&main, main.frameGeometry(), m_data->path(), QString());
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(m_seam.parents, QList<QWidget*>{&main});
    }
    {
        CSilentLine one, two;
        WriteIni(one.path, two.path);
        CTransferDlg dlg(&main, main.frameGeometry(), m_data->path(), QString());
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(m_seam.messages.last().startsWith("Keine Verbindung zur Logato !"));
        QCOMPARE(m_seam.parents.last(), &main);
    }
    // The real box, centred over the main window.
    CUiSeam::Install(nullptr);
    WriteIni(QStringLiteral("/nonexistent/ttyA"), QStringLiteral("/nonexistent/ttyB"));
    QRect box;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!mb || !mb->isVisible()) return;
        box = mb->frameGeometry();
        mb->done(QMessageBox::Ok);
    });
    poll.start(20);
    CTransferDlg dlg(&main, main.frameGeometry(), m_data->path(), QString());
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(box.isValid());
    const QPoint off = box.center() - main.frameGeometry().center();
    QVERIFY2(off.manhattanLength() <= 8, qPrintable(QStringLiteral("box %1,%2 %3x%4, window centre %5,%6")
                                                        .arg(box.x())
                                                        .arg(box.y())
                                                        .arg(box.width())
                                                        .arg(box.height())
                                                        .arg(main.frameGeometry().center().x())
                                                        .arg(main.frameGeometry().center().y())));
}

void TestTransferDlg::listsAndFreeSpaceFromTheHandheld()
{
    QVERIFY(StartHandheld({"A1.TSD", "B2.TSD", "A1.BAK"}));
    QFile pc(m_data->path() + "/ALT.TSD");
    QVERIFY(pc.open(QIODevice::WriteOnly));
    pc.write("12345");
    pc.close();
    CTransferDlg dlg(nullptr, QRect(100, 100, 760, 570), m_data->path(), QString());
    QStringList searched;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (dlg.SearchWindow() && (searched.isEmpty() || searched.last() != dlg.SearchWindow()->Text()))
            searched << dlg.SearchWindow()->Text();
    });
    QVERIFY(dlg.OnInitDialog());
    QCOMPARE(searched, QStringList({"Suche Logato an COM 1 ..."})); // COM2 left alone
    QCOMPARE(dlg.Port(), QString("COM1"));
    QVERIFY(!dlg.LibraryVersion().isEmpty());
    QTreeWidget* hh = dlg.HandheldList();
    QStringList names;
    for (int i = 0; i < hh->topLevelItemCount(); ++i) names << hh->topLevelItem(i)->text(0);
    names.sort();
    QCOMPARE(names, QStringList({"A1.TSD", "B2.TSD"}));
    const qint64 size = QFileInfo(HandheldDir() + "/A1.TSD").size();
    QCOMPARE(hh->findItems("A1.TSD", Qt::MatchExactly).value(0)->text(1), QString::number(size));
    QCOMPARE(hh->findItems("A1.TSD", Qt::MatchExactly).value(0)->text(2),
             QFileInfo(HandheldDir() + "/A1.TSD").lastModified().toString("dd/MM/yy"));
    QCOMPARE(dlg.FreeSpaceLabel()->text(), QString("232 KB frei"));
    QCOMPARE(dlg.PcList()->topLevelItemCount(), 1);
    QCOMPARE(dlg.PcList()->topLevelItem(0)->text(0), QString("ALT.TSD"));
    QCOMPARE(dlg.PcList()->topLevelItem(0)->text(1), QString("5"));
    QVERIFY(dlg.ProgressBar()->isHidden());
    dlg.reject();
    QCOMPARE(dlg.Channel(), 0);
}

void TestTransferDlg::receiveIntoTheDataFolderAndOpen()
{
    QVERIFY(StartHandheld({"A1.TSD", "B2.TSD"}));
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.OnInitDialog());
    Select(dlg, {"A1.TSD", "B2.TSD"});
    QStringList progress;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        const QString t = dlg.ProgressText()->text();
        if (!t.isEmpty() && (progress.isEmpty() || progress.last() != t)) progress << t;
    });
    dlg.OnEmpfangen();
    QVERIFY(m_seam.messages.isEmpty());
    QVERIFY(m_seam.questions.isEmpty());
    for (const char* f : {"A1.TSD", "B2.TSD"}) {
        QFile a(m_data->path() + "/" + f), b(HandheldDir() + "/" + f);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }
    QVERIFY(!progress.filter(QRegularExpression("^ *\\d+%  A1\\.TSD$")).isEmpty());
    QVERIFY(progress.contains("100%  B2.TSD"));
    QCOMPARE(dlg.PcList()->topLevelItemCount(), 2);
    QVERIFY(dlg.ProgressBar()->isHidden());
    QCOMPARE(dlg.ProgressText()->text(), QString());
    CTreDoc doc;
    QVERIFY(tresimport::OpenSurvey(doc, (m_data->path() + "/A1.TSD").toStdString()));
    QCOMPARE(doc.GetRowCount(), 200);
    QCOMPARE(doc.m_header[3], std::string("A1.TSD"));
    dlg.reject();
}

void TestTransferDlg::receiveProgressOnlyRises()
{
    // Paced at the line's 38400 baud, 30 blocks take about two seconds: the
    // library reports the share done every five blocks, and the polls in
    // between report nothing new.
    QVERIFY(StartHandheld({}, {QStringLiteral("--paced")}));
    QFile big(HandheldDir() + "/LANG.TSD");
    QVERIFY(big.open(QIODevice::WriteOnly));
    QByteArray text = "[Kopfdaten]\r\n[Messdaten]\r\n";
    for (int m = 0; text.size() < 30 * 256; ++m) text += QByteArray::number(m) + ";-1.10;-0.90;12;3;;;\r\n";
    big.write(text);
    big.close();
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.OnInitDialog());
    Select(dlg, {"LANG.TSD"});
    // The bar and the "nn%  NAME" text, sampled on every poll of the
    // receive (the connection check before it shows no text).
    QList<int> bar, percent;
    bool fell = false;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (dlg.ProgressText()->text().isEmpty()) return;
        const int v = dlg.ProgressBar()->value();
        if (!bar.isEmpty() && v < bar.last()) fell = true;
        if (bar.isEmpty() || bar.last() != v) bar << v;
        const QString t = dlg.ProgressText()->text();
        QVERIFY2(t.endsWith("%  LANG.TSD"), qPrintable(t));
        const int p = t.section(QLatin1Char('%'), 0, 0).trimmed().toInt();
        if (!percent.isEmpty() && p < percent.last()) fell = true;
        if (percent.isEmpty() || percent.last() != p) percent << p;
    });
    dlg.OnEmpfangen();
    QVERIFY2(m_seam.messages.isEmpty(), qPrintable(m_seam.messages.join(QLatin1String(" | "))));
    const auto list = [](const QList<int>& l) {
        QStringList t;
        for (int v : l) t << QString::number(v);
        return t.join(QLatin1Char(' ')).toLatin1();
    };
    QVERIFY2(!fell, (list(bar) + " / " + list(percent)).constData());
    QVERIFY2(std::count_if(bar.begin(), bar.end(), [](int v) { return v < 100; }) >= 3, list(bar).constData());
    QCOMPARE(percent.first(), 0);
    QCOMPARE(QFileInfo(m_data->path() + "/LANG.TSD").size(), qint64(text.size()));
    dlg.reject();
}

void TestTransferDlg::overwriteQuestionNoStopsTheRun()
{
    QVERIFY(StartHandheld({"A1.TSD", "B2.TSD"}));
    QFile old(m_data->path() + "/A1.TSD");
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("alt");
    old.close();
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.OnInitDialog());
    Select(dlg, {"A1.TSD", "B2.TSD"});
    m_seam.answers << QMessageBox::No;
    dlg.OnEmpfangen();
    QCOMPARE(m_seam.questions.size(), 1);
    QCOMPARE(
        m_seam.questions[0],
        QString("Eine Messdatei A1.TSD existiert\nbereits im Logato-Verzeichnis des PC. \n\nDatei überschreiben ?"));
    QCOMPARE(m_seam.defaults[0], QMessageBox::No);
    QVERIFY(!QFile::exists(m_data->path() + "/B2.TSD")); // the rest of the selection untouched
    QFile check(m_data->path() + "/A1.TSD");
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("alt"));
    QVERIFY(dlg.ReceiveButton()->isEnabled());
    // Yes overwrites
    m_seam.answers << QMessageBox::Yes;
    Select(dlg, {"A1.TSD"});
    dlg.OnEmpfangen();
    QCOMPARE(QFileInfo(m_data->path() + "/A1.TSD").size(), QFileInfo(HandheldDir() + "/A1.TSD").size());
    dlg.reject();
}

void TestTransferDlg::failedReceiveIsReportedOnce()
{
    QVERIFY(StartHandheld({"A1.TSD", "B2.TSD", "C3.TSD"}));
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.OnInitDialog());
    // two files vanish from the handheld after the listing
    QFile::remove(HandheldDir() + "/A1.TSD");
    QFile::remove(HandheldDir() + "/C3.TSD");
    Select(dlg, {"A1.TSD", "B2.TSD", "C3.TSD"});
    dlg.OnEmpfangen();
    QVERIFY(QFile::exists(m_data->path() + "/B2.TSD")); // the run went on
    QVERIFY(!QFile::exists(m_data->path() + "/A1.TSD"));
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].startsWith("Diese Dateien konnten nicht empfangen werden:"));
    QVERIFY(m_seam.messages[0].contains("A1.TSD: "));
    QVERIFY(m_seam.messages[0].contains("C3.TSD: "));
    QVERIFY(!m_seam.messages[0].contains("B2.TSD"));
    dlg.reject();
}

void TestTransferDlg::deleteTakesTheBackupAlong()
{
    QVERIFY(StartHandheld({"A1.TSD", "A1.BAK", "B2.TSD"}));
    QFile saved(m_data->path() + "/A1.TSD");
    QVERIFY(saved.open(QIODevice::WriteOnly));
    saved.close();
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.OnInitDialog());
    Select(dlg, {"A1.TSD"});
    dlg.OnLoeschen();
    QVERIFY(m_seam.questions.isEmpty()); // saved on the PC: no question
    QVERIFY(!QFile::exists(HandheldDir() + "/A1.TSD"));
    QVERIFY(!QFile::exists(HandheldDir() + "/A1.BAK"));
    QVERIFY(QFile::exists(HandheldDir() + "/B2.TSD"));
    QCOMPARE(dlg.HandheldList()->topLevelItemCount(), 1); // listing refreshed
    QVERIFY(m_seam.messages.isEmpty());                   // a missing backup is no error
    dlg.reject();
}

void TestTransferDlg::deleteOfUnsavedFileAsksFirst()
{
    QVERIFY(StartHandheld({"A1.TSD", "B2.TSD"}));
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.OnInitDialog());
    Select(dlg, {"A1.TSD", "B2.TSD"});
    m_seam.answers << QMessageBox::Yes << QMessageBox::No;
    dlg.OnLoeschen();
    QCOMPARE(m_seam.questions.size(), 2);
    QCOMPARE(m_seam.questions[0],
             QString("Die Messdatei A1.TSD\nist noch nicht gesichert ! \n\nMessdatei trotzdem löschen ?"));
    QVERIFY(!QFile::exists(HandheldDir() + "/A1.TSD")); // deleted before the No stay deleted
    QVERIFY(QFile::exists(HandheldDir() + "/B2.TSD"));
    dlg.reject();
}

void TestTransferDlg::focusEnablesTheRowButtons()
{
    QVERIFY(StartHandheld({"A1.TSD"}));
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.OnInitDialog());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.PcList()->setFocus();
    QTRY_VERIFY(!dlg.ReceiveButton()->isEnabled());
    QVERIFY(!dlg.DeleteButton()->isEnabled());
    dlg.HandheldList()->setFocus();
    QTRY_VERIFY(dlg.ReceiveButton()->isEnabled());
    QVERIFY(dlg.DeleteButton()->isEnabled());
    dlg.reject();
}

void TestTransferDlg::verifyBoxIsKeptAndReadsTwice()
{
    QVERIFY(StartHandheld({"A1.TSD"}));
    {
        CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
        QVERIFY(!dlg.VerifyBox()->isChecked());
        dlg.VerifyBox()->setChecked(true);
    }
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    QVERIFY(dlg.VerifyBox()->isChecked()); // kept in the program's settings
    QVERIFY(dlg.OnInitDialog());
    Select(dlg, {"A1.TSD"});
    const char* const agree = "Reads 1 and 2 of A1.TSD agree\n";
    const int before = LogCount(agree);
    QVERIFY(before >= 0);
    dlg.OnEmpfangen();
    QVERIFY(m_seam.messages.isEmpty());
    QCOMPARE(LogCount(agree), before + 1);
    dlg.VerifyBox()->setChecked(false);
    dlg.reject();
}

void TestTransferDlg::cancelDuringAReceiveClosesTheDialog()
{
    QVERIFY(StartHandheld({}, {QStringLiteral("--paced")}));
    QFile big(HandheldDir() + "/LANG.TSD");
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(40 * 256, 'x'));
    big.close();
    const char* const aborted = "User aborted reception of LANG.TSD\n";
    const int before = LogCount(aborted);
    QVERIFY(before >= 0);
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data->path(), QString());
    bool clicked = false;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (clicked || !dlg.ProgressText()->text().endsWith("LANG.TSD") || dlg.ProgressBar()->value() < 10) return;
        clicked = true;
        QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    });
    // Once the dialog is up, the user receives the file.
    QTimer start;
    connect(&start, &QTimer::timeout, &dlg, [&] {
        if (!dlg.isVisible()) return;
        start.stop();
        Select(dlg, {"LANG.TSD"});
        dlg.OnEmpfangen();
    });
    start.start(20);
    // A receive that ended before the click would leave the dialog open.
    QTimer::singleShot(60000, &dlg, [&] { dlg.reject(); });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY2(clicked, qPrintable(m_seam.messages.join(QLatin1String(" | "))));
    QVERIFY(!dlg.isVisible());
    QVERIFY(m_seam.messages.isEmpty());
    QCOMPARE(dlg.Channel(), 0);
    QCOMPARE(QDir(m_data->path()).entryList(QDir::Files), QStringList());
    // Ended as the library ends a cancelled receive: the handheld was told.
    QCOMPARE(LogCount(aborted), before + 1);
}

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    TestTransferDlg test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_transferdlg.moc"
