// SPDX-License-Identifier: GPL-3.0-or-later
// The trend report written from three surveys made for it: a defect that
// persists and grows, one that is new, one that vanishes, one repaired that
// shows again, a stretch that loses protection and a fixed point whose
// potential drifts.
#include "missingtool.h"
#include "pdftext.h"
#include "trendfixture.h"
#include "trendreport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace trestrend;

class TestTrendReport : public QObject {
    Q_OBJECT
private slots:
    void pagesTellTheTrend();
    void draftIsRefusedAsFinal();
};

void TestTrendReport::pagesTellTheTrend()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("trend.pdf"));
    const STrendReportInput in = Input();
    SReportOptions options;
    options.reportNumber = QStringLiteral("T-7");
    QString error;
    QVERIFY2(WriteTrendReportPdf(in, options, pdf, &error), qPrintable(error));
    const QByteArray look = qgetenv("TRES_LOOK_DIR");
    if (!look.isEmpty())
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), pdf,
                           QString::fromLocal8Bit(look) + QStringLiteral("/trend")});
    if (!look.isEmpty()) QFile::copy(pdf, QString::fromLocal8Bit(look) + QStringLiteral("/trend.pdf"));
    const QStringList pages = PdfPages(pdf);
    // Surveys, changes, tracks, both fixed points on one page, 2 sections.
    QCOMPARE(pages.size(), 6);
    QVERIFY(pages[0].contains(QStringLiteral("ENTWURF – Trendbericht Nr. T-7")));
    QVERIFY(pages[0].contains(QStringLiteral("Seite 1 von 6")));
    QVERIFY(pages[0].contains(QStringLiteral("kein Herausgeber angegeben")));
    QVERIFY(pages[0].contains(QStringLiteral("leitung-2022.tsd")));
    QVERIFY(pages[0].contains(QStringLiteral("Stationierung")));
    QVERIFY(pages[0].contains(QStringLiteral("„Prüfstelle 7“")));
    QVERIFY(pages[0].contains(QStringLiteral("12.05.2028")));
    QVERIFY(pages[0].contains(QStringLiteral("Offene Aufgrabungen")));
    QVERIFY(pages[0].contains(QStringLiteral("umgehend aufgraben")));
    QVERIFY(pages[1].contains(QStringLiteral("neu nicht geschützt")));
    QVERIFY(pages[1].contains(QStringLiteral("1000–1100")));
    QVERIFY(pages[2].contains(QStringLiteral("verschärft")));
    QVERIFY(pages[2].contains(QStringLiteral("nicht mehr angezeigt")));
    QVERIFY(pages[2].contains(QStringLiteral("nach Instandsetzung wieder angezeigt")));
    QVERIFY(pages[2].contains(QStringLiteral("Umhüllungsschaden")));
    QVERIFY(pages[3].contains(QStringLiteral("E* in mV gegen Cu/CuSO4")));
    QVERIFY(pages[3].contains(QStringLiteral("Prüfstelle 12")));
    QVERIFY(pages[5].contains(QStringLiteral("Abschnitt 2 von 2")));
    QVERIFY(pages[5].contains(QStringLiteral("Messung 3: 12.05.2025")));
}

void TestTrendReport::draftIsRefusedAsFinal()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("trend.pdf"));
    SReportOptions options;
    options.final = true;
    QString error;
    QVERIFY(!WriteTrendReportPdf(Input(), options, pdf, &error));
    QVERIFY2(error.contains(QStringLiteral("kein Herausgeber angegeben")), qPrintable(error));
    QVERIFY(!QFile::exists(pdf));
}

QTEST_MAIN(TestTrendReport)
#include "tst_trendreport.moc"
