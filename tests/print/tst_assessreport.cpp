// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report: its page division, value texts, the PDF of a long
// survey with many indications read back as text, and the failure path of
// writing it.
#include "assesslayout.h"
#include "assessment.h"
#include "assessreport.h"
#include "survey.h"
#include "tredoc.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace assesslayout;

namespace {

// The text of a PDF page by page (pdftotext keeps the table lines as lines).
QStringList PdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// 30,000 rows from the generator, then disturbed so that every criterion and
// two kinds of warning occur many times.
void BuildLongSurvey(CTreDoc& doc)
{
    gensurvey::SurveyOptions options;
    options.rows = 30'000;
    gensurvey::BuildSurvey(doc, options);
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        if (r % 10 == 3) doc.SetPotOff(r, -700);            // off and IR-free too positive
        if (r % 97 == 5) doc.SetPotOff(r, -1300);           // overprotection
        if (r % 25 == 7) doc.SetGradOnL(r, 900);            // a suspected defect
        if (r % 40 == 9) doc.SetPotOn(r, doc.GetPotOff(r)); // on equals off
    }
}

struct STableLines {
    QRegularExpression row;  // an item line of the table
    QRegularExpression head; // its column header
};

} // namespace

class TestAssessReport : public QObject {
    Q_OBJECT
private slots:
    void tablesFillPagesAndNeverLeaveAHeaderAlone();
    void valueTexts();
    void longSurveyReportHasEveryRowAndHeaderOnEveryPage();
    void printerGivesTheSamePages();
    void failedWriteLeavesNoFile();

private:
    QTemporaryDir m_dir;
};

void TestAssessReport::tablesFillPagesAndNeverLeaveAHeaderAlone()
{
    // 10 lines a page, 3 for a head, 1 between tables.
    std::vector<SPage> pages = PaginateTables({12, 0, 3}, 10, 3, 1);
    QCOMPARE(pages.size(), size_t{4});
    QCOMPARE(pages[0].size(), size_t{1}); // items 0..6
    QCOMPARE(pages[0][0].count, 7);
    QVERIFY(!pages[0][0].continued);
    // page 2: the rest of the first table (5 lines + head), the empty one
    // (head + its "keine" line) does not fit after the gap
    QCOMPARE(pages[1].size(), size_t{1});
    QCOMPARE(pages[1][0].first, 7);
    QCOMPARE(pages[1][0].count, 5);
    QVERIFY(pages[1][0].continued);
    // page 3: the empty table, then two warnings after the gap; page 4 the last
    QCOMPARE(pages[2].size(), size_t{2});
    QCOMPARE(pages[2][0].table, ETable::Defects);
    QCOMPARE(pages[2][0].count, 0);
    QCOMPARE(pages[2][1].table, ETable::Warnings);
    QCOMPARE(pages[2][1].count, 2);
    QCOMPARE(pages[3].size(), size_t{1});
    QCOMPARE(pages[3][0].first, 2);
    QVERIFY(pages[3][0].continued);
    // Nothing at all still gives a page with the three empty tables.
    pages = PaginateTables({0, 0, 0}, 58, 4, 2);
    QCOMPARE(pages.size(), size_t{1});
    QCOMPARE(pages[0].size(), size_t{3});
    // Exactly full pages do not leave an empty page behind.
    pages = PaginateTables({14, 0, 0}, 10, 3, 1);
    QCOMPARE(pages[0][0].count + pages[1][0].count, 14);
    QCOMPARE(pages.back().back().table, ETable::Warnings);

    QCOMPARE(NiceStep(2400, 10), int64_t{500});
    QCOMPARE(NiceStep(29'999, 10), int64_t{5000});
    QCOMPARE(NiceStep(7, 10), int64_t{1});
    QCOMPARE(NiceStep(0, 10), int64_t{1});
}

void TestAssessReport::valueTexts()
{
    QCOMPARE(MvText(-850), std::string("-850"));
    QCOMPARE(MvText(NO_VALUE), std::string("\xe2\x80\x93"));
    QCOMPARE(TenthsText(50), std::string("5,0"));
    QCOMPARE(TenthsText(-3), std::string("-0,3"));
    QCOMPARE(TenthsText(-125), std::string("-12,5"));
    QCOMPARE(PercentText(4, 2400), std::string("0,2")); // 0.1666...
    QCOMPARE(PercentText(1, 2000), std::string("0,1")); // 0.05 rounds up
    QCOMPARE(PercentText(1380, 2400), std::string("57,5"));
    QCOMPARE(PercentText(2400, 2400), std::string("100,0"));
    QCOMPARE(PercentText(5, 0), std::string("\xe2\x80\x93"));
}

void TestAssessReport::longSurveyReportHasEveryRowAndHeaderOnEveryPage()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    BuildLongSurvey(doc);
    const QString path = m_dir.filePath(QStringLiteral("lang.pdf"));
    doc.SetPathName(m_dir.filePath(QStringLiteral("Leitung-30000.tsd")).toStdString());
    const SAssessSettings settings;
    const SAssessment a = Assess(doc, settings);
    QVERIFY(a.indications.size() > 3000);
    QVERIFY(a.defects.size() > 1000);
    QVERIFY(a.warnings.size() > 700);

    QString error;
    QVERIFY(WriteAssessmentReportPdf(doc, settings, path, &error));
    QVERIFY(error.isEmpty());
    const QStringList pages = PdfPages(path);
    const int n = static_cast<int>(pages.size());
    QVERIFY(n > 50);
    for (int k = 1; k <= n; ++k) {
        const QString& page = pages[k - 1];
        QVERIFY2(page.contains(QStringLiteral("Seite %1 von %2").arg(k).arg(n)), qPrintable(QString::number(k)));
        QVERIFY(page.contains(QStringLiteral("Leitung-30000.tsd")));
    }

    // Every item of every table is on some page, and every page that has
    // items of a table has that table's column header.
    const QString names[3] = {QStringLiteral("Aus-Potential zu positiv|IR-freies Potential zu positiv|Überschutz|"
                                             "Fehlstellenverdacht"),
                              QString(),
                              QStringLiteral("Aus negativer als Ein|Ein gleich Aus|Ausreißer|Meter nicht fortlaufend|"
                                             "Messlücke")};
    const STableLines tables[3] = {
        {QRegularExpression(QStringLiteral("^\\s*\\d+\\s+(%1)\\s+\\d").arg(names[0]),
                            QRegularExpression::MultilineOption),
         QRegularExpression(QStringLiteral("Nr\\.\\s+Kriterium\\s+Zeilen\\s+Von\\s+Bis\\s+Länge\\s+Schlechtester"))},
        {QRegularExpression(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+-?\\d+\\s+-?\\d+,\\d\\s"),
                            QRegularExpression::MultilineOption),
         QRegularExpression(QStringLiteral("Nr\\.\\s+Zeile\\s+Meter\\s+Gr\\.-Diff\\..*Orientierungspunkt\\s+Abstand"))},
        {QRegularExpression(QStringLiteral("^\\s*\\d+\\s+(%1)\\s+\\d").arg(names[2]),
                            QRegularExpression::MultilineOption),
         QRegularExpression(QStringLiteral("Nr\\.\\s+Warnung\\s+Erste Zeile\\s+Letzte Zeile\\s+Von\\s+Bis"))},
    };
    int found[3] = {0, 0, 0};
    int pagesWith[3] = {0, 0, 0};
    for (int k = 2; k <= n; ++k) {
        const QString& page = pages[k - 1];
        for (int t = 0; t < 3; ++t) {
            const int rows = static_cast<int>(page.count(tables[t].row));
            if (rows == 0) continue;
            found[t] += rows;
            ++pagesWith[t];
            QVERIFY2(page.contains(tables[t].head), qPrintable(QStringLiteral("table %1, page %2").arg(t).arg(k)));
        }
    }
    QCOMPARE(found[0], static_cast<int>(a.indications.size()));
    QCOMPARE(found[1], static_cast<int>(a.defects.size()));
    QCOMPARE(found[2], static_cast<int>(a.warnings.size()));
    for (int t = 0; t < 3; ++t) QVERIFY(pagesWith[t] > 1); // each table really runs over pages

    // The summary on page 1 is Assess's.
    const SAssessSummary& s = a.summary;
    const QString& first = pages[0];
    QVERIFY(first.contains(QStringLiteral("Länge der Messstrecke %1 m").arg(s.surveyLength)));
    for (int c = 0; c < kCriterionCount; ++c) {
        const size_t k = static_cast<size_t>(c);
        const QRegularExpression line(
            QStringLiteral("%1\\s+.*\\sein\\s+%2\\s+%3\\s+%4")
                .arg(QRegularExpression::escape(QString::fromUtf8(CriterionName(static_cast<ECriterion>(c)))))
                .arg(s.indicationCount[k])
                .arg(s.indicationLength[k])
                .arg(QString::fromStdString(PercentText(s.indicationLength[k], s.surveyLength))));
        QVERIFY2(first.contains(line), CriterionName(static_cast<ECriterion>(c)));
    }
    QVERIFY(first.contains(QStringLiteral("Verdacht auf Fehlstellen: %1 Stellen").arg(s.defectCount)));
    for (int w = 0; w < kWarningCount; ++w) {
        const QRegularExpression line(
            QStringLiteral("^\\s*%1\\s+%2\\s*$")
                .arg(QRegularExpression::escape(QString::fromUtf8(WarningName(static_cast<EWarning>(w)))))
                .arg(s.warningCount[static_cast<size_t>(w)]),
            QRegularExpression::MultilineOption);
        QVERIFY2(first.contains(line), WarningName(static_cast<EWarning>(w)));
    }
}

void TestAssessReport::printerGivesTheSamePages()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    gensurvey::SurveyOptions options;
    options.rows = 3000;
    gensurvey::BuildSurvey(doc, options);
    const QString written = m_dir.filePath(QStringLiteral("geschrieben.pdf"));
    const QString printed = m_dir.filePath(QStringLiteral("gedruckt.pdf"));
    QVERIFY(WriteAssessmentReportPdf(doc, SAssessSettings(), written, nullptr));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QString error;
    QVERIFY(PrintAssessmentReport(doc, SAssessSettings(), printer, &error));
    const QStringList a = PdfPages(written), b = PdfPages(printed);
    QVERIFY(a.size() > 1);
    QCOMPARE(b.size(), a.size());
    QVERIFY(b.back().contains(QStringLiteral("Seite %1 von %1").arg(b.size())));
}

void TestAssessReport::failedWriteLeavesNoFile()
{
    CTreDoc doc;
    gensurvey::SurveyOptions options;
    options.rows = 200;
    gensurvey::BuildSurvey(doc, options);

    QString error;
    const QString missing = m_dir.filePath(QStringLiteral("fehlt/bericht.pdf"));
    QVERIFY(!WriteAssessmentReportPdf(doc, SAssessSettings(), missing, &error));
    QVERIFY(error.contains(QStringLiteral("kann nicht nach")));
    QVERIFY(error.contains(missing));
    QVERIFY(!QFile::exists(missing));

    // A folder where the file should go: the temporary file beside it is
    // written, the rename fails, and nothing is left behind.
    QDir dir(m_dir.filePath(QStringLiteral("ziel")));
    QVERIFY(dir.mkpath(QStringLiteral("bericht.pdf")));
    error.clear();
    QVERIFY(!WriteAssessmentReportPdf(doc, SAssessSettings(), dir.filePath(QStringLiteral("bericht.pdf")), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("bericht.pdf")});
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("bericht.pdf"))).isDir());
}

QTEST_MAIN(TestAssessReport)
#include "tst_assessreport.moc"
