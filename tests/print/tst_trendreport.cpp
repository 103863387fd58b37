// SPDX-License-Identifier: GPL-3.0-or-later
// The trend report written from three surveys made for it: a defect that
// persists and grows, one that is new, one that vanishes, one repaired that
// shows again, a stretch that loses protection and a fixed point whose
// potential drifts.
#include "missingtool.h"
#include "pdftext.h"
#include "trendreport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace trestrend;

namespace {

using S = EVerdictStatus;

// 0..1500 m, a row per 2 m with a wavy E* shifted by `shift` mV.
STrendSurvey Survey(long long id, const std::string& date, int shift)
{
    STrendSurvey s;
    s.id = id;
    s.date = date;
    s.file = "leitung-" + date.substr(0, 4) + ".tsd";
    s.chainage = true;
    for (int m = 0; m <= 1500; m += 2) {
        const int32_t value = -1000 + shift + static_cast<int32_t>(std::lround(60 * std::sin(m / 90.0)));
        s.rows.push_back({m / 2 + 1, m, static_cast<double>(m), S::Protected, value});
    }
    return s;
}

void Defect(STrendSurvey& s, double at, int category)
{
    s.defects.push_back({static_cast<int>(at) / 2 + 1, static_cast<int32_t>(at), at, category, 20.0, S::Unprotected,
                         category == 3 ? kDigNow : "beobachten"});
}

STrendReportInput Input()
{
    STrendReportInput in;
    in.pipelineName = QStringLiteral("Ferngasleitung Nord");
    in.pipelineNumber = QStringLiteral("FL 12");
    in.surveys = {Survey(11, "2019-05-06", 0), Survey(17, "2022-05-10", 40), Survey(23, "2025-05-12", 100)};
    Defect(in.surveys[0], 300, 1);
    Defect(in.surveys[1], 302, 2);
    Defect(in.surveys[2], 301, 3); // persists, grows
    Defect(in.surveys[1], 800, 2);
    Defect(in.surveys[2], 801, 2);  // new in the second
    Defect(in.surveys[0], 1200, 3); // vanishes
    Defect(in.surveys[0], 500, 2);
    Defect(in.surveys[1], 500, 2); // repaired after the first, shown again
    for (STrendRow& r : in.surveys[2].rows)
        if (r.position >= 1000 && r.position < 1100) r.status = S::Unprotected;
    // The gap the sheets must not bridge.
    for (STrendRow& r : in.surveys[1].rows)
        if (r.position >= 600 && r.position < 640) r.value.reset();
    static const std::vector<SDigFinding> findings{
        {11, 251, "2020-03-02", "Umhüllungsschaden 2 cm²", true, 0.4, "Tiefbau Lenz"}};
    STrendOptions options;
    options.interval = 3;
    options.today = "2026-12-10";
    in.trend = ComputeTrend(in.surveys, findings, {{"Prüfstelle 7", 700}, {"Prüfstelle 12", 1400}}, options);
    in.protection = {-850, -850, -950};
    in.electrode = QStringLiteral("Cu/CuSO4");
    return in;
}

} // namespace

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
