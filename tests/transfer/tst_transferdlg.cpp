// The transfer dialog against the real serial-link library: the listing
// and free-space texts, the port search and its error boxes on ports with
// no handheld, and, with the handheld simulator on a pseudo-terminal, the
// receive and delete runs.
#include "transferdlg.h"
#include "portsearchdlg.h"
#include "tredoc.h"
#include "tresapp.h"
#include "uiseam.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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
    void Message(QWidget*, const QString& text, QMessageBox::Icon icon) override
    {
        messages << text;
        icons << icon;
    }
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

// Writes the library's ini: where COM1 and COM2 lead and short time-outs.
void WriteIni(const QString& com1, const QString& com2, const QString& extra = QString())
{
    QFile ini(VlnkDir() + QStringLiteral("/vlnkw.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray text = "[Ports]\r\nCOM1=" + com1.toLocal8Bit() + "\r\nCOM2=" + com2.toLocal8Bit() + "\r\n"
                      "[Protocol]\r\nConnectTimeout=150\r\nRetryTimeout=150\r\nStartBlockTimeout=500\r\nMaxRetries=1\r\n"
                      "PollTimeout=150\r\n";
    text += extra.toLocal8Bit();
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

private:
    CScriptedSeam m_seam;
    QTemporaryDir m_data;
};

void TestTransferDlg::init()
{
    m_seam = CScriptedSeam();
    CUiSeam::Install(&m_seam);
}

void TestTransferDlg::cleanup()
{
    CUiSeam::Install(nullptr);
}

void TestTransferDlg::listingLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("date");
    QTest::newRow("plain") << Line("A1.TSD", 1234) << true << "A1.TSD" << "1234" << "07/03/02";
    QTest::newRow("six digits only") << Line("BIG.TSD", 1234567) << true << "BIG.TSD" << "234567" << "07/03/02";
    QTest::newRow("long name") << Line("ABCDEFGH.TSD", 5) << true << "ABCDEFGH.TSD" << "5" << "07/03/02";
    QTest::newRow("no extension") << Line("README", 10) << false << "" << "" << "";
    QTest::newRow("empty name") << Line(".TSD", 10) << false << "" << "" << "";
    QTest::newRow("parent folder") << Line("..\\X.TSD", 10) << false << "" << "" << "";
    QTest::newRow("separator") << Line("A/B.TSD", 10) << false << "" << "" << "";
    QTest::newRow("backslash") << Line("A\\B.TSD", 10) << false << "" << "" << "";
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
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data.path(), QString());
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
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data.path(), QString());
    QStringList searched;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (dlg.SearchWindow() && (searched.isEmpty() || searched.last() != dlg.SearchWindow()->Text()))
            searched << dlg.SearchWindow()->Text();
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(searched, QStringList({"Suche Logato an COM 1 ...", "Suche Logato an COM 2 ..."}));
    QCOMPARE(m_seam.messages.size(), 1);
    QVERIFY(m_seam.messages[0].startsWith("Keine Verbindung zur Logato !"));
    QCOMPARE(m_seam.icons[0], QMessageBox::Information);
}

void TestTransferDlg::searchStartsWithTheLastPort()
{
    CSilentLine one, two;
    WriteIni(one.path, two.path);
    CTransferDlg dlg(nullptr, QRect(0, 0, 760, 570), m_data.path(), QStringLiteral("COM2"));
    QStringList searched;
    connect(&dlg, &CTransferDlg::Polled, &dlg, [&] {
        if (dlg.SearchWindow() && (searched.isEmpty() || searched.last() != dlg.SearchWindow()->Text()))
            searched << dlg.SearchWindow()->Text();
    });
    dlg.exec();
    QCOMPARE(searched, QStringList({"Suche Logato an COM 2 ...", "Suche Logato an COM 1 ..."}));
}

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    CTresApp app(argc, argv);
    TestTransferDlg test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_transferdlg.moc"
