// SPDX-License-Identifier: GPL-3.0-or-later
// tresmon-tool print and report as processes: PDF page counts and sizes for
// both printouts and the options, the assessment report with and without a
// comparison, and their exit codes.
#include "missingtool.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct CPdf {
    int pages = 0;
    QSizeF size; // points, of the first page
};

CPdf ReadPdf(const QString& path)
{
    QFile f(path);
    CPdf pdf;
    if (!f.open(QIODevice::ReadOnly)) return pdf;
    const QByteArray data = f.readAll();
    const QString text = QString::fromLatin1(data);
    pdf.pages = static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)")).match(text);
    if (m.hasMatch()) pdf.size = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    return pdf;
}

// Where the tool looks for the program's settings ("Bericht"): a folder of
// the test's own, so a developer's settings never reach it.
QString g_configHome;

int RunCommand(const QString& command, const QStringList& args, QString* err = nullptr)
{
    QProcess p;
    p.setWorkingDirectory(QDir::tempPath());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), g_configHome);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TOOL_EXE), QStringList{command} + args);
    if (!p.waitForFinished(60000)) return -1;
    if (err) *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int Run(const QStringList& args, QString* err = nullptr) { return RunCommand(QStringLiteral("print"), args, err); }
int Report(const QStringList& args, QString* err = nullptr) { return RunCommand(QStringLiteral("report"), args, err); }

// The number of indications `compare` finds for the same arguments.
int CompareIndications(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(TOOL_EXE), QStringList{QStringLiteral("compare")} + args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return -1;
    return static_cast<int>(QJsonDocument::fromJson(p.readAllStandardOutput())
                                .object()
                                .value(QStringLiteral("indications"))
                                .toArray()
                                .size());
}

// A command's standard output as JSON; empty when it failed.
QJsonObject ToolJson(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(TOOL_EXE), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// The comparison's indications as "criterion from to", from `compare`'s
// JSON and from the report's table.
QStringList IndicationsOf(const QJsonObject& comparison)
{
    QStringList out;
    for (const QJsonValue& v : comparison.value(QStringLiteral("indications")).toArray()) {
        const QJsonObject i = v.toObject();
        out << QStringLiteral("%1 %2 %3")
                   .arg(i.value(QStringLiteral("criterion")).toString() == QStringLiteral("worse")
                            ? QStringLiteral("Schutz verschlechtert")
                            : QStringLiteral("?"))
                   .arg(i.value(QStringLiteral("fromMetre")).toInt())
                   .arg(i.value(QStringLiteral("toMetre")).toInt());
    }
    return out;
}
QStringList IndicationsOf(const QString& reportText)
{
    QStringList out;
    const qsizetype at = reportText.indexOf(QStringLiteral("Anzeigen des Vergleichs"));
    static const QRegularExpression line(QStringLiteral("^\\s+\\d+\\s+(\\D+?)\\s+(-?\\d+)\\s+(-?\\d+)\\s+\\d+"),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(reportText.mid(at)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out << m.captured(1) + QLatin1Char(' ') + m.captured(2) + QLatin1Char(' ') + m.captured(3);
    }
    return out;
}

// The report's pages are the assessment's, one for the comparison and its
// indications at 59 a page (at least one page, saying "keine").
int ExpectedPages(int assessmentPages, int indications)
{
    return assessmentPages + 1 + std::max(1, (indications + 58) / 59);
}

// The text of a PDF, pages separated by form feeds; empty without pdftotext.
QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestTool : public QObject {
    Q_OBJECT
private slots:
    void graphicPages();
    void tablePages();
    void usageAndFailures();
    void pageLimit();
    void standardStreamsAndHelp();
    void reportWritesThePdf();
    void reportUsageAndFailures();
    void reportFinalOrDraftWithHowItWasTaken();
    void reportWithComparison();
    void reportComparisonUsageAndFailures();
    void reportWithPipelineData();
    void reportComparesAsCompareDoes();
    void reportTakesANativeSurveyOfItsOwn();

    void init() { g_configHome = m_config.path(); }

private:
    QTemporaryDir m_dir, m_config;
    QString Out(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
};

void TestTool::graphicPages()
{
    const QString demo = QStringLiteral(DEMO_TSD);
    QCOMPARE(Run({QStringLiteral("--graphic"), demo, QStringLiteral("-o"), Out("g.pdf")}), 0);
    CPdf pdf = ReadPdf(Out("g.pdf"));
    QCOMPARE(pdf.pages, 11); // 0 ... 2400 m at 1:1000
    QVERIFY(qAbs(pdf.size.width() - 842) < 1 && qAbs(pdf.size.height() - 595) < 1);
    QCOMPARE(Run({QStringLiteral("--graphic"), demo, QStringLiteral("-o"), Out("g2.pdf"), QStringLiteral("--scale"),
                  QStringLiteral("2000")}),
             0);
    QCOMPARE(ReadPdf(Out("g2.pdf")).pages, 6);
    QCOMPARE(Run({QStringLiteral("--graphic"), demo, QStringLiteral("-o"), Out("g3.pdf"), QStringLiteral("--start"),
                  QStringLiteral("1000"), QStringLiteral("--end"), QStringLiteral("1500"), QStringLiteral("--no-qm")}),
             0);
    QCOMPARE(ReadPdf(Out("g3.pdf")).pages, 3);
    // An end below 20 becomes 20: one page.
    QCOMPARE(Run({QStringLiteral("--graphic"), demo, QStringLiteral("-o"), Out("g4.pdf"), QStringLiteral("--start"),
                  QStringLiteral("0"), QStringLiteral("--end"), QStringLiteral("5")}),
             0);
    QCOMPARE(ReadPdf(Out("g4.pdf")).pages, 1);
}

void TestTool::tablePages()
{
    const QString demo = QStringLiteral(DEMO_TSD);
    QCOMPARE(Run({QStringLiteral("--table"), demo, QStringLiteral("-o"), Out("t.pdf")}), 0);
    const CPdf pdf = ReadPdf(Out("t.pdf"));
    QCOMPARE(pdf.pages, 53); // 2401 rows, 46 a page
    QVERIFY(qAbs(pdf.size.width() - 595) < 1 && qAbs(pdf.size.height() - 842) < 1);
    QCOMPARE(Run({QStringLiteral("--table"), demo, QStringLiteral("-o"), Out("e.pdf"), QStringLiteral("--errors")}), 0);
    QCOMPARE(ReadPdf(Out("e.pdf")).pages, 2); // 53 rows in the windows and their gap lines, 43 a page
}

void TestTool::usageAndFailures()
{
    const QString demo = QStringLiteral(DEMO_TSD);
    QCOMPARE(Run({demo, QStringLiteral("-o"), Out("x.pdf")}), 1);
    QCOMPARE(Run({QStringLiteral("--table"), demo}), 1);
    QCOMPARE(Run({QStringLiteral("--graphic"), demo, QStringLiteral("-o"), Out("x.pdf"), QStringLiteral("--scale"),
                  QStringLiteral("0")}),
             1);
    QCOMPARE(Run({QStringLiteral("--graphic"), QStringLiteral("--table"), demo, QStringLiteral("-o"), Out("x.pdf")}),
             1);
    QString err;
    QCOMPARE(Run({QStringLiteral("--table"), m_dir.filePath(QStringLiteral("nirgends.tsd")), QStringLiteral("-o"),
                  Out("x.pdf")},
                 &err),
             2);
    // The reader names the missing file, once.
    QCOMPARE(err.count(QStringLiteral("nirgends.tsd")), 1);
    QVERIFY(err.contains(QStringLiteral("konnte nicht geöffnet werden")));
    QCOMPARE(Run({QStringLiteral("--table"), demo, QStringLiteral("-o"),
                  m_dir.filePath(QStringLiteral("no/such/dir/x.pdf"))},
                 &err),
             2);
    QVERIFY(err.contains(QStringLiteral("kann nicht geschrieben werden")));
}

void TestTool::pageLimit()
{
    // A row without a metre (9999999) after one at 0 m: one page, not the
    // 45455 its "metre" would span.
    QFile absent(Out("ohne.tsd"));
    QVERIFY(absent.open(QIODevice::WriteOnly));
    absent.write("[Kopfdaten]\r\n[Messdaten]\r\n0;-1.00;-0.90;;;;;\r\n9999999;-1.00;-0.90;;;;;\r\n");
    absent.close();
    QCOMPARE(Run({QStringLiteral("--graphic"), absent.fileName(), QStringLiteral("-o"), Out("ohne.pdf")}), 0);
    QCOMPARE(ReadPdf(Out("ohne.pdf")).pages, 1);

    // 1001 pages at 1:100 are refused before anything is written, unless
    // --max-pages allows them; the table print alike.
    const QString demo = QStringLiteral(DEMO_TSD);
    const QStringList longRange{QStringLiteral("--graphic"), demo,
                                QStringLiteral("--scale"),   QStringLiteral("100"),
                                QStringLiteral("--end"),     QStringLiteral("22022"),
                                QStringLiteral("-o"),        Out("lang.pdf")};
    QString err;
    QCOMPARE(Run(longRange, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("print: Der Ausdruck hätte 1001 Seiten, erlaubt sind 1000")), qPrintable(err));
    QVERIFY(!QFile::exists(Out("lang.pdf")));
    QCOMPARE(Run(longRange + QStringList{QStringLiteral("--max-pages"), QStringLiteral("1000")}), 1);
    QCOMPARE(Run(longRange + QStringList{QStringLiteral("--max-pages"), QStringLiteral("0")}), 1);
    QVERIFY(!QFile::exists(Out("lang.pdf")));
    QCOMPARE(Run(longRange + QStringList{QStringLiteral("--max-pages=1001")}), 0);
    QCOMPARE(ReadPdf(Out("lang.pdf")).pages, 1001);
    QFile rows(Out("zeilen.tsd"));
    QVERIFY(rows.open(QIODevice::WriteOnly));
    rows.write("[Kopfdaten]\r\n[Messdaten]\r\n");
    for (int m = 0; m < 46 * 1000 + 1; ++m) rows.write(QByteArray::number(m) + ";-1.00;;;;;;\r\n");
    rows.close();
    QCOMPARE(Run({QStringLiteral("--table"), rows.fileName(), QStringLiteral("-o"), Out("zeilen.pdf")}, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("hätte 1001 Seiten")), qPrintable(err));
    QVERIFY(!QFile::exists(Out("zeilen.pdf")));
}

void TestTool::standardStreamsAndHelp()
{
    // The survey from standard input and the PDF to standard output; the
    // page count goes to standard error then, so the PDF stays whole.
    QProcess p;
    p.setWorkingDirectory(QDir::tempPath());
    p.setStandardInputFile(QStringLiteral(DEMO_TSD));
    p.start(QStringLiteral(TOOL_EXE), {QStringLiteral("print"), QStringLiteral("--graphic"), QStringLiteral("-"),
                                       QStringLiteral("-o"), QStringLiteral("-")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray pdf = p.readAllStandardOutput();
    QVERIFY(pdf.startsWith("%PDF-"));
    // (Qt may add a note about the environment before it.)
    const QString note = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(note.endsWith(QStringLiteral("\n11 Seiten nach -\n")) || note == QStringLiteral("11 Seiten nach -\n"),
             qPrintable(note));
    QFile f(Out("stdout.pdf"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(pdf);
    f.close();
    QCOMPARE(ReadPdf(Out("stdout.pdf")).pages, 11);

    QProcess help;
    help.start(QStringLiteral(TOOL_EXE), {QStringLiteral("print"), QStringLiteral("-h")});
    QVERIFY(help.waitForFinished(60000));
    QCOMPARE(help.exitCode(), 0);
    QVERIFY(help.readAllStandardOutput().startsWith("Aufruf: tresmon-tool print --graphic|--table"));
    QString err;
    QCOMPARE(Run({QStringLiteral("--table"), QStringLiteral(DEMO_TSD), QStringLiteral("-o"), Out("x.pdf"),
                  QStringLiteral("-farbig")},
                 &err),
             1);
    QVERIFY2(err.startsWith(QStringLiteral("print: unbekannte Option -farbig\n")), qPrintable(err));
    QCOMPARE(Run({QStringLiteral("--table"), QStringLiteral(DEMO_TSD), QStringLiteral("--scale")}, &err), 1);
    QVERIFY2(err.startsWith(QStringLiteral("print: --scale erwartet eine ganze Zahl von 1 bis 1000000\n")),
             qPrintable(err));
}

void TestTool::reportWritesThePdf()
{
    const QString demo = QStringLiteral(DEMO_TSD);
    QCOMPARE(Report({demo, QStringLiteral("-o"), Out("r.pdf")}), 0);
    const CPdf pdf = ReadPdf(Out("r.pdf"));
    QCOMPARE(pdf.pages, 6); // pages 1 and 2, three sheets of 1000 m for 2400 m, the lists
    QVERIFY(qAbs(pdf.size.width() - 595) < 1 && qAbs(pdf.size.height() - 842) < 1);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");

    // The program's settings "Bericht" name the issuer; the assessment's
    // options and the report's own reach the report, each option over its
    // setting.
    QDir(m_config.path()).mkpath(QStringLiteral("Norvaken"));
    QFile conf(m_config.filePath(QStringLiteral("Norvaken/Tresmon.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[Bericht]\nFirma=Netzbetreiber West\nAdresse1=Postfach 12\nBearbeiter=A. Kurz\n");
    conf.close();
    QCOMPARE(Report({demo, QStringLiteral("-o"), Out("r1.pdf")}), 0);
    QString text = PdfText(Out("r1.pdf"));
    for (const char* s : {"Netzbetreiber West", "Postfach 12", "A. Kurz"}) QVERIFY2(text.contains(QLatin1String(s)), s);
    QVERIFY(!text.contains(QStringLiteral("Zazudoviv")));
    QString err;
    QCOMPARE(Report({demo, QStringLiteral("--protection-limit"), QStringLiteral("-900"), QStringLiteral("--section"),
                     QStringLiteral("500"), QStringLiteral("--report-number"), QStringLiteral("R-7"),
                     QStringLiteral("--revision=2"), QStringLiteral("--company"), QString(), QStringLiteral("--author"),
                     QStringLiteral("K. Lind"), QStringLiteral("-o"), Out("r2.pdf")},
                    &err),
             0);
    text = PdfText(Out("r2.pdf"));
    QVERIFY(text.contains(QStringLiteral("-900 mV (vorgegeben)")));
    QCOMPARE(text.count(QStringLiteral("Bewertungsbericht Nr. R-7, Revision 2")), ReadPdf(Out("r2.pdf")).pages);
    QVERIFY(text.contains(QStringLiteral("Abschnitt 5 von 5: 2000 bis 2500 m")));
    QVERIFY(text.contains(QStringLiteral("K. Lind")) && !text.contains(QStringLiteral("A. Kurz")));
    QVERIFY(!text.contains(QStringLiteral("Netzbetreiber West")));
    QVERIFY(text.contains(QStringLiteral("Postfach 12"))); // not overridden

    // A criterion the header cannot give is named on standard error too.
    QFile survey(QStringLiteral(DEMO_TSD));
    QVERIFY(survey.open(QIODevice::ReadOnly));
    QByteArray bytes = survey.readAll();
    bytes.replace("\r\n-850 mV\r\n", "\r\n850 mV\r\n");
    QFile copy(Out("ohne-vorzeichen.tsd"));
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(bytes);
    copy.close();
    QCOMPARE(Report({copy.fileName(), QStringLiteral("-o"), Out("r3.pdf")}, &err), 0);
    QVERIFY2(err.contains(QString::fromUtf8("Schutzkriterium „850 mV“ aus den Kopfdaten nicht verwendbar")),
             qPrintable(err));
    QVERIFY(PdfText(Out("r3.pdf")).contains(QStringLiteral("-850 mV (angenommen)")));
}

void TestTool::reportUsageAndFailures()
{
    const QString demo = QStringLiteral(DEMO_TSD);
    QString err;
    QCOMPARE(Report({demo}, &err), 1);
    QVERIFY(err.contains(QStringLiteral("-o AUSGABE.pdf")));
    QCOMPARE(Report({QStringLiteral("-o"), Out("x.pdf")}, &err), 1);
    QCOMPARE(Report({demo, QStringLiteral("-o"), Out("x.pdf"), QStringLiteral("--json")}, &err), 1);
    QVERIFY(err.contains(QStringLiteral("Unbekannte Option: --json")));
    QCOMPARE(Report({demo, QStringLiteral("-o"), Out("x.pdf"), QStringLiteral("--spike"), QStringLiteral("viel")}), 1);
    QCOMPARE(Report({demo, QStringLiteral("-o")}), 1);
    for (const char* section : {"50", "1000,5", "viel", "200000"}) {
        QCOMPARE(Report({demo, QStringLiteral("-o"), Out("x.pdf"), QStringLiteral("--section"), QLatin1String(section)},
                        &err),
                 1);
        QVERIFY2(err.contains(QStringLiteral("--section erwartet")), qPrintable(err));
    }
    QVERIFY(!QFile::exists(Out("x.pdf")));
    // A logo that cannot be read stops the report.
    QCOMPARE(Report({demo, QStringLiteral("-o"), Out("x.pdf"), QStringLiteral("--logo"), Out("fehlt.svg")}, &err), 2);
    QVERIFY2(err.contains(QString::fromUtf8("Das Logo „%1“ lässt sich nicht lesen").arg(Out("fehlt.svg"))),
             qPrintable(err));
    QVERIFY(!QFile::exists(Out("x.pdf")));

    QCOMPARE(Report({m_dir.filePath(QStringLiteral("nirgends.tsd")), QStringLiteral("-o"), Out("x.pdf")}, &err), 2);
    QVERIFY(err.contains(QStringLiteral("nirgends.tsd")));
    QVERIFY(!QFile::exists(Out("x.pdf")));
    const QString unwritable = m_dir.filePath(QStringLiteral("no/such/dir/x.pdf"));
    QCOMPARE(Report({demo, QStringLiteral("-o"), unwritable}, &err), 2);
    QVERIFY(err.contains(QStringLiteral("kann nicht nach")));
    QVERIFY(!QFile::exists(unwritable));
}

void TestTool::reportFinalOrDraftWithHowItWasTaken()
{
    const QString demo = QStringLiteral(DEMO_TSD), o = QStringLiteral("-o");
    QString err;
    QFile::remove(m_config.filePath(QStringLiteral("Norvaken/Tresmon.conf"))); // no settings "Bericht"
    // No issuer: a draft, refused as final with the reason and no file.
    QCOMPARE(Report({demo, o, Out("final.pdf"), QStringLiteral("--final")}, &err), 2);
    QVERIFY2(err.contains(QString::fromUtf8("Entwurf und wird nicht als Endfassung geschrieben: kein Herausgeber "
                                            "angegeben")),
             qPrintable(err));
    QVERIFY(!QFile::exists(Out("final.pdf")));
    QCOMPARE(Report({demo, o, Out("draft.pdf")}, &err), 0);
    QVERIFY2(err.contains(QStringLiteral("Entwurf: kein Herausgeber angegeben")), qPrintable(err));
    for (const QStringList& bad :
         {QStringList{QStringLiteral("--synchronous"), QStringLiteral("vielleicht")},
          QStringList{QStringLiteral("--electrode-spacing"), QStringLiteral("-1")},
          QStringList{QStringLiteral("--off-delay"), QStringLiteral("kurz")},
          QStringList{QStringLiteral("--merge"), QStringLiteral("2,5")}, QStringList{QStringLiteral("--final=ja")}})
        QCOMPARE(Report(QStringList{demo, o, Out("x.pdf")} + bad, &err), 1);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    QVERIFY(PdfText(Out("draft.pdf")).startsWith(QString::fromUtf8("ENTWURF – Bewertungsbericht")));

    // With an issuer it is final, and page 1 says how the survey was taken.
    QCOMPARE(Report({demo,
                     o,
                     Out("final.pdf"),
                     QStringLiteral("--final"),
                     QStringLiteral("--company=Netz West"),
                     QStringLiteral("--instrument"),
                     QStringLiteral("Logger 7"),
                     QStringLiteral("--electrode-spacing"),
                     QStringLiteral("1.5"),
                     QStringLiteral("--off-delay=300"),
                     QStringLiteral("--synchronous"),
                     QStringLiteral("ja"),
                     QStringLiteral("--surveyor"),
                     QStringLiteral("M. Ebersbach"),
                     QStringLiteral("--qualification"),
                     QStringLiteral("Fachkraft KKS"),
                     QStringLiteral("--electrode-calibrated"),
                     QStringLiteral("03.03.2025"),
                     QStringLiteral("--conditions"),
                     QStringLiteral("trocken")},
                    &err),
             0);
    const QString text = PdfText(Out("final.pdf"));
    QVERIFY(!text.contains(QStringLiteral("ENTWURF")));
    for (const char* line :
         {"Messgerät:\\s+Logger 7\n", "Kalibrierung Messgerät:\\s+nicht angegeben\n",
          "Kalibrierung Elektrode:\\s+03\\.03\\.2025\n", "Elektrodenabstand quer:\\s+1,5 m\n",
          "Ausschaltverzögerung:\\s+300 ms", "Gleichrichter synchron:\\s+ja\n", "Messender:\\s+M\\. Ebersbach\n",
          "Qualifikation:\\s+Fachkraft KKS\n", "Witterung/Boden:\\s+trocken\n"})
        QVERIFY2(text.contains(QRegularExpression(QString::fromUtf8(line))), line);

    // The demo's 11 stretches not protected are 6 lines of the table when
    // broken by fewer than 3 points, 11 with --merge 0.
    const QRegularExpression unprotected(QStringLiteral("^\\s*(\\d+) nicht geschützt "),
                                         QRegularExpression::MultilineOption);
    const auto lines = [&unprotected](const QString& pdf) {
        int last = 0;
        for (auto it = unprotected.globalMatch(PdfText(pdf)); it.hasNext();) last = it.next().captured(1).toInt();
        return last;
    };
    QCOMPARE(lines(Out("final.pdf")), 6);
    QCOMPARE(Report({demo, o, Out("exact.pdf"), QStringLiteral("--merge"), QStringLiteral("0")}), 0);
    QCOMPARE(lines(Out("exact.pdf")), 11);
}

void TestTool::reportWithComparison()
{
    const QString demo = QStringLiteral(DEMO_TSD), earlier = QStringLiteral(EARLIER_TSD),
                  native = QStringLiteral(NATIVE_TSD);
    const QString o = QStringLiteral("-o");
    QCOMPARE(Report({demo, o, Out("plain.pdf")}), 0);
    const int plain = ReadPdf(Out("plain.pdf")).pages;
    QVERIFY(plain > 2);

    QCOMPARE(Report({demo, QStringLiteral("--compare"), earlier, o, Out("c1.pdf")}), 0);
    QCOMPARE(ReadPdf(Out("c1.pdf")).pages, ExpectedPages(plain, CompareIndications({demo, earlier})));

    // The limits reach the comparison as `compare` reads them.
    const int loose = CompareIndications({demo, earlier, QStringLiteral("--worse-limit=5")});
    QVERIFY(loose > CompareIndications({demo, earlier}));
    QCOMPARE(Report({demo, o, Out("c2.pdf"), QStringLiteral("--worse-limit=5"), QStringLiteral("--compare"), earlier}),
             0);
    QCOMPARE(ReadPdf(Out("c2.pdf")).pages, ExpectedPages(plain, loose));

    const QStringList nativeArgs
        = {demo, native, QStringLiteral("--native"), QStringLiteral("--shift-limit"), QStringLiteral("150")};
    QCOMPARE(Report({demo, QStringLiteral("--compare=") + native, QStringLiteral("--native"),
                     QStringLiteral("--shift-limit"), QStringLiteral("150"), o, Out("c3.pdf")}),
             0);
    QCOMPARE(ReadPdf(Out("c3.pdf")).pages, ExpectedPages(plain, CompareIndications(nativeArgs)));

    // The assessment's options still reach the assessment's pages alone.
    QCOMPARE(Report({demo, QStringLiteral("--protection-limit=-500"), o, Out("c4.pdf"), QStringLiteral("--compare"),
                     earlier}),
             0);
    QCOMPARE(Report({demo, QStringLiteral("--protection-limit=-500"), o, Out("p4.pdf")}), 0);
    QCOMPARE(ReadPdf(Out("c4.pdf")).pages,
             ExpectedPages(ReadPdf(Out("p4.pdf")).pages, CompareIndications({demo, earlier})));
}

void TestTool::reportComparisonUsageAndFailures()
{
    const QString demo = QStringLiteral(DEMO_TSD), earlier = QStringLiteral(EARLIER_TSD);
    const QString o = QStringLiteral("-o");
    QString err;
    // The comparison's options mean nothing without a comparison survey.
    for (const QStringList& extra :
         {QStringList{QStringLiteral("--native")}, QStringList{QStringLiteral("--worse-limit"), QStringLiteral("30")},
          QStringList{QStringLiteral("--shift-limit=30")}}) {
        QCOMPARE(Report(QStringList{demo, o, Out("u.pdf")} + extra, &err), 1);
        QVERIFY2(err.contains(QStringLiteral("nur zusammen mit --compare")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("[--compare FRÜHER [--native]")), qPrintable(err));
    }
    QCOMPARE(Report({demo, o, Out("u.pdf"), QStringLiteral("--compare")}, &err), 1);
    QVERIFY(err.contains(QStringLiteral("--compare braucht einen Wert")));
    QCOMPARE(Report({demo, o, Out("u.pdf"), QStringLiteral("--compare="), QStringLiteral("--native")}, &err), 1);
    QCOMPARE(Report({demo, o, Out("u.pdf"), QStringLiteral("--compare"), earlier, QStringLiteral("--worse-limit"),
                     QStringLiteral("viel")},
                    &err),
             1);
    QVERIFY(err.contains(QStringLiteral("Ungültige Zahl bei --worse-limit: \"viel\"")));
    // "--native=ja" names a native survey "ja" of its own, which is not there.
    QCOMPARE(Report({demo, o, Out("u.pdf"), QStringLiteral("--compare"), earlier, QStringLiteral("--native=ja")}, &err),
             2);
    QVERIFY(!QFile::exists(Out("u.pdf")));

    // An unreadable comparison survey: the reader's message, no report.
    const QString missing = m_dir.filePath(QStringLiteral("vorjahr-fehlt.tsd"));
    QCOMPARE(Report({demo, o, Out("u.pdf"), QStringLiteral("--compare"), missing}, &err), 2);
    QVERIFY2(err.contains(QStringLiteral("vorjahr-fehlt.tsd")) && err.contains(QStringLiteral("konnte nicht geöffnet")),
             qPrintable(err));
    QVERIFY(!QFile::exists(Out("u.pdf")));
    QFile broken(m_dir.filePath(QStringLiteral("kaputt.tsd")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("[Kopfdaten]\r\n12.05.2025\r\n");
    broken.close();
    QCOMPARE(Report({demo, o, Out("u.pdf"), QStringLiteral("--compare"), broken.fileName()}, &err), 2);
    QVERIFY2(err.contains(QStringLiteral("kaputt.tsd")) && err.contains(QStringLiteral("[Messdaten]")),
             qPrintable(err));
    QVERIFY(!QFile::exists(Out("u.pdf")));

    // The usage lists the new options.
    QProcess help;
    help.start(QStringLiteral(TOOL_EXE), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(60000));
    QVERIFY(QString::fromUtf8(help.readAllStandardOutput())
                .contains(QStringLiteral("[--compare FRÜHER [--native] [--worse-limit MV] [--shift-limit MV]]")));
}

void TestTool::reportWithPipelineData()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    const QString demo = QStringLiteral(DEMO_TSD), leitung = QStringLiteral(LEITUNG_GEOJSON);
    QString err;
    QCOMPARE(Report({demo, QStringLiteral("-o"), Out("p.pdf"), QStringLiteral("--pipeline"), leitung}, &err), 0);
    const QString text = PdfText(Out("p.pdf"));
    QVERIFY2(text.contains(QStringLiteral("Leitungsdaten:")) && text.contains(QStringLiteral("demo-leitung.geojson")),
             qPrintable(text.left(3000)));
    QVERIFY(text.contains(QStringLiteral("an 12 Festpunkten angepasst, Maßstab zwischen den Festpunkten")));
    QVERIFY(text.contains(QRegularExpression(
        QString::fromUtf8("Trasse zwischen den äußeren Festpunkten \\d+,\\d\\d m lang, Stationierung \\d+,\\d\\d m"))));
    QVERIFY(text.contains(QStringLiteral("Stationierung [m]")));
    // The anaerobic section's criterion on page 1, beside the survey's.
    QVERIFY2(text.contains(QRegularExpression(QString::fromUtf8("Abschnittskriterien:\\s+Merkmal \\d+ "
                                                                "„Bachaue, anaerober Boden“, 407 bis 517 m:\\s+"
                                                                "Schutzpotential -950 mV;\\s+100-mV-Kriterium\\s+"
                                                                "nicht\\s+zulässig\\s+\\(anaerob\\)\\s+"
                                                                "\\(\\d+\\s+Messpunkte\\)"))),
             qPrintable(text.left(3000)));

    // The dig list's places, as `assess --pipeline` gives them.
    const QJsonArray dig = ToolJson({QStringLiteral("assess"), demo, QStringLiteral("--pipeline"), leitung})
                               .value(QStringLiteral("digList"))
                               .toArray();
    QCOMPARE(dig.size(), 6);
    QVERIFY(text.contains(QStringLiteral("Aufgrabungsliste: Lage (Breite und Länge WGS 84, Ost- und Nordwert "
                                         "EPSG:25832)")));
    for (const QJsonValue& v : dig) {
        const QJsonObject d = v.toObject();
        const auto german = [](double x, int decimals) {
            return QString::number(x, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
        };
        const QRegularExpression row(
            QStringLiteral("\\n\\s+%1\\s+%2\\s+%3\\s+%4\\s+%5\\s+\\d+,\\d\\d\\s+\\d+,\\d\\d ")
                .arg(d.value(QStringLiteral("priority")).toInt())
                .arg(d.value(QStringLiteral("metre")).toInt())
                .arg(QRegularExpression::escape(german(d.value(QStringLiteral("chainage")).toDouble(), 2)),
                     QRegularExpression::escape(german(d.value(QStringLiteral("lat")).toDouble(), 7)),
                     QRegularExpression::escape(german(d.value(QStringLiteral("lon")).toDouble(), 7))));
        QVERIFY2(row.match(text).hasMatch(), qPrintable(row.pattern()));
    }

    // Pipeline data that cannot be read stop the report.
    QCOMPARE(
        Report({demo, QStringLiteral("-o"), Out("q.pdf"), QStringLiteral("--pipeline"), Out("fehlt.geojson")}, &err),
        2);
    QVERIFY2(err.contains(QStringLiteral("lassen sich nicht verwenden")), qPrintable(err));
    QVERIFY(!QFile::exists(Out("q.pdf")));
}

// `report --native NATIV` as `assess` takes it: paired by the landmarks, so
// a counter started 30 m further on changes no page; walked from the other
// end it needs --reverse.
void TestTool::reportTakesANativeSurveyOfItsOwn()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    const QString demo = QStringLiteral(DEMO_TSD), o = QStringLiteral("-o"), n = QStringLiteral("--native");
    const QString shifted = Out("nativ-30.tsd"), turned = Out("nativ-umgekehrt.tsd");
    QCOMPARE(RunCommand(QStringLiteral("edit"),
                        {QStringLiteral(NATIVE_TSD), o, shifted, QStringLiteral("--add"), QStringLiteral("Messmeter"),
                         QStringLiteral("-100000"), QStringLiteral("100000"), QStringLiteral("30")}),
             0);
    QCOMPARE(RunCommand(QStringLiteral("edit"), {QStringLiteral(NATIVE_TSD), o, turned, QStringLiteral("--reverse")}),
             0);
    QCOMPARE(Report({demo, n, QStringLiteral(NATIVE_TSD), o, Out("n0.pdf")}), 0);
    QCOMPARE(Report({demo, n, shifted, o, Out("n30.pdf")}), 0);
    const QString text = PdfText(Out("n30.pdf"));
    QCOMPARE(text, PdfText(Out("n0.pdf")));
    QVERIFY(text.contains(QString::fromUtf8("geschützt (100-mV-Kriterium)")));
    QVERIFY(text.contains(QString::fromUtf8("umgehend aufgraben")));

    QString err;
    QCOMPARE(Report({demo, n, turned, o, Out("nr.pdf")}, &err), 2);
    QVERIFY2(err.contains(QString::fromUtf8("in umgekehrter Richtung gemessen")), qPrintable(err));
    QVERIFY(!QFile::exists(Out("nr.pdf")));
    QCOMPARE(Report({demo, n, turned, QStringLiteral("--reverse"), o, Out("nr.pdf")}), 0);
}

void TestTool::reportComparesAsCompareDoes()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    const QString demo = QStringLiteral(DEMO_TSD), o = QStringLiteral("-o");
    // Last year's survey started 3 m further on: paired as recorded it makes
    // up an indication; aligned by the landmarks it does not.
    const QString shifted = Out("shifted.tsd");
    QCOMPARE(RunCommand(QStringLiteral("edit"),
                        {QStringLiteral(EARLIER_TSD), o, shifted, QStringLiteral("--add"), QStringLiteral("Messmeter"),
                         QStringLiteral("-100000"), QStringLiteral("100000"), QStringLiteral("3")}),
             0);
    const QJsonObject aligned = ToolJson({QStringLiteral("compare"), demo, shifted});
    const QJsonObject recorded = ToolJson({QStringLiteral("compare"), demo, shifted, QStringLiteral("--no-align")});
    QVERIFY(IndicationsOf(aligned) != IndicationsOf(recorded));

    QCOMPARE(Report({demo, o, Out("a.pdf"), QStringLiteral("--compare"), shifted}), 0);
    const QString text = PdfText(Out("a.pdf"));
    QCOMPARE(IndicationsOf(text), IndicationsOf(aligned));
    const int ties = static_cast<int>(
        aligned.value(QStringLiteral("alignment")).toObject().value(QStringLiteral("ties")).toArray().size());
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Zuordnung:\\s+Orientierungspunkte \\(%1\\)").arg(ties))),
             qPrintable(text.right(3000)));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("Größte Abweichung:\\s+0 m an einem gemeinsamen "
                                                            "Orientierungspunkt"))));

    QCOMPARE(Report({demo, o, Out("n.pdf"), QStringLiteral("--compare"), shifted, QStringLiteral("--no-align")}), 0);
    const QString asRecorded = PdfText(Out("n.pdf"));
    QCOMPARE(IndicationsOf(asRecorded), IndicationsOf(recorded));
    QVERIFY(asRecorded.contains(QRegularExpression(QStringLiteral("Zuordnung:\\s+nach Metern\\n"))));

    // With pipeline data both surveys are re-stationed, as `compare --pipeline` does.
    const QString leitung = QStringLiteral(LEITUNG_GEOJSON);
    QCOMPARE(
        Report({demo, o, Out("l.pdf"), QStringLiteral("--compare"), shifted, QStringLiteral("--pipeline"), leitung}),
        0);
    const QString byPipeline = PdfText(Out("l.pdf"));
    QVERIFY(byPipeline.contains(QRegularExpression(QStringLiteral("Zuordnung:\\s+Festpunkte der Leitungsdaten"))));
    QVERIFY(byPipeline.contains(QRegularExpression(QStringLiteral("Meterangaben:\\s+Stationierung beider Messungen"))));
    QCOMPARE(IndicationsOf(byPipeline), IndicationsOf(ToolJson({QStringLiteral("compare"), demo, shifted,
                                                                QStringLiteral("--pipeline"), leitung})));

    // A survey walked from the other end is refused as `compare` refuses it.
    const QString reversed = Out("reversed.tsd");
    QCOMPARE(
        RunCommand(QStringLiteral("edit"), {QStringLiteral(EARLIER_TSD), o, reversed, QStringLiteral("--reverse")}), 0);
    QString err;
    QCOMPARE(Report({demo, o, Out("rev.pdf"), QStringLiteral("--compare"), reversed}, &err), 2);
    QVERIFY2(err.contains(QStringLiteral("Die Vergleichsmessung ist in umgekehrter Richtung gemessen.")),
             qPrintable(err));
    QVERIFY(!QFile::exists(Out("rev.pdf")));
    QCOMPARE(Report({demo, o, Out("rev.pdf"), QStringLiteral("--compare"), reversed, QStringLiteral("--reverse")}), 0);
    QCOMPARE(Report({demo, o, Out("x.pdf"), QStringLiteral("--no-align")}, &err), 1);
    QCOMPARE(Report({demo, o, Out("x.pdf"), QStringLiteral("--compare"), shifted, QStringLiteral("--no-align"),
                     QStringLiteral("--pipeline"), leitung},
                    &err),
             1);
}

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
