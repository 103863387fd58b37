// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report: its page division, value texts, the PDF of a long
// survey with many indications read back as text, the failure path of
// writing it, and the comparison section with its chart.
#include "assesschart.h"
#include "assesslayout.h"
#include "assessment.h"
#include "assessreport.h"
#include "comparison.h"
#include "recorder.h"
#include "survey.h"
#include "surveyrows.h"
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

// Two surveys of one line every 10 m from 0: `pairs` shared metres, the
// current survey with one more row at the end and the earlier with three
// more. The earlier potential off is -900; the current one is 60 to 100 mV
// more positive on two pairs out of three, so every third pair ends a run
// and each run of two is an indication 10 m long.
void BuildWorsened(CTreDoc& current, CTreDoc& earlier, int pairs)
{
    std::vector<CSurveyRow> cur, ear;
    for (int i = 0; i < pairs; ++i) {
        const int metre = i * 10;
        ear.push_back({metre, -1200, -900});
        cur.push_back({metre, -1150, i % 3 == 2 ? -890 : -840 + (i % 5) * 10});
    }
    cur.push_back({pairs * 10 + 5, -1150, -900});
    for (int k = 1; k <= 3; ++k) ear.push_back({(pairs + k) * 10, -1200, -900});
    FillSurvey(current, cur);
    FillSurvey(earlier, ear);
}

// The pages' text with the footer's page numbers taken out, so pages of two
// reports of different length can be compared.
QStringList WithoutPageNumbers(QStringList pages)
{
    static const QRegularExpression footer(QStringLiteral("Seite \\d+ von \\d+"));
    for (QString& p : pages) p.replace(footer, QString());
    return pages;
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
    void comparisonTablePagesRepeatTheirHead();
    void comparisonSectionFollowsTheAssessment();
    void nativeSectionShowsPolarisation();
    void comparisonChartStaysInItsBox();

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

void TestAssessReport::comparisonTablePagesRepeatTheirHead()
{
    // 58 lines, 4 for the head: 54 indications a page.
    std::vector<SPage> pages = PaginateTables(std::vector<STableItems>{{ETable::Comparison, 130}}, 58, 4, 2);
    QCOMPARE(pages.size(), size_t{3});
    int next = 0;
    for (size_t k = 0; k < pages.size(); ++k) {
        QCOMPARE(pages[k].size(), size_t{1});
        const SBlock& b = pages[k][0];
        QCOMPARE(b.table, ETable::Comparison);
        QCOMPARE(b.first, next);
        QCOMPARE(b.continued, k > 0);
        next += b.count;
    }
    QCOMPARE(next, 130);
    QCOMPARE(pages[2][0].count, 22);
    // No indications: one page with the table's "keine".
    pages = PaginateTables(std::vector<STableItems>{{ETable::Comparison, 0}}, 58, 4, 2);
    QCOMPARE(pages.size(), size_t{1});
    QCOMPARE(pages[0].size(), size_t{1});
    QCOMPARE(pages[0][0].count, 0);
}

void TestAssessReport::comparisonSectionFollowsTheAssessment()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    CTreDoc current, earlier;
    BuildWorsened(current, earlier, 450);
    current.SetPathName(m_dir.filePath(QStringLiteral("Strecke-2024.tsd")).toStdString());
    earlier.SetPathName(m_dir.filePath(QStringLiteral("Strecke-2023.tsd")).toStdString());
    earlier.m_header[3] = "Leitung Nordost";
    earlier.m_header[1] = "14.06.2023";
    const SAssessSettings settings;
    const SCompareSettings cmp;
    const SComparison c = Compare(current, earlier, cmp);
    QCOMPARE(c.indications.size(), size_t{150});

    const QString plainPath = m_dir.filePath(QStringLiteral("ohne.pdf"));
    const QString withPath = m_dir.filePath(QStringLiteral("mit.pdf"));
    QVERIFY(WriteAssessmentReportPdf(current, settings, plainPath, nullptr));
    QString error;
    QVERIFY(WriteAssessmentReportPdf(current, settings, withPath, &error, {&earlier, cmp}));
    QVERIFY(error.isEmpty());
    const QStringList plain = PdfPages(plainPath), with = PdfPages(withPath);
    const int a = static_cast<int>(plain.size()), n = static_cast<int>(with.size());
    QVERIFY(a >= 2);
    // The section page, then 150 indications at 54 a page.
    QCOMPARE(n, a + 1 + 3);
    for (int k = 1; k <= n; ++k)
        QVERIFY2(with[k - 1].contains(QStringLiteral("Seite %1 von %2").arg(k).arg(n)), qPrintable(QString::number(k)));
    // The assessment's pages come first and are as they were.
    QCOMPARE(WithoutPageNumbers(with.mid(0, a)), WithoutPageNumbers(plain));

    const QString& section = with[a];
    QVERIFY(section.contains(QStringLiteral("Vergleich mit früherer Messung")));
    QVERIFY(!section.contains(QStringLiteral("Nativmessung")));
    QVERIFY(section.contains(QStringLiteral("Strecke-2023.tsd")));
    QVERIFY(section.contains(QStringLiteral("Leitung Nordost")));
    QVERIFY(section.contains(QStringLiteral("14.06.2023")));
    int64_t length = 0;
    for (const SCompareIndication& i : c.indications) length += i.length;
    QCOMPARE(length, int64_t{1500});
    const int64_t covered = c.pairs.back().metre - c.pairs.front().metre;
    QVERIFY2(section.contains(QRegularExpression(
                 QStringLiteral("Schutz verschlechtert\\s+Δ Aus-Potential ≥ 50 mV\\s+150\\s+1500\\s+%1")
                     .arg(QString::fromStdString(PercentText(length, covered))))),
             qPrintable(section));
    const SCompareSummary& s = c.summary;
    QCOMPARE(s.currentUnmatched, 1);
    QCOMPARE(s.earlierUnmatched, 3);
    QVERIFY(section.contains(QRegularExpression(
        QStringLiteral("^\\s*%1\\s+%2\\s+%3\\s*$").arg(s.matched).arg(s.currentUnmatched).arg(s.earlierUnmatched),
        QRegularExpression::MultilineOption)));
    QVERIFY(section.contains(QRegularExpression(QStringLiteral("Differenz Aus\\s+%1\\s+%2\\s+%3\\s+%4\\s*$")
                                                    .arg(s.deltaOff.count)
                                                    .arg(s.deltaOff.min)
                                                    .arg(s.deltaOff.max)
                                                    .arg(s.deltaOff.mean),
                                                QRegularExpression::MultilineOption)));
    QVERIFY(!section.contains(QStringLiteral("Polarisation")));
    QVERIFY(section.contains(QStringLiteral("Potential Aus früher")));

    // Every indication once, in order, each page under its column header.
    const QRegularExpression head(
        QStringLiteral("Nr\\.\\s+Kriterium\\s+Von\\s+Bis\\s+Paare\\s+Länge\\s+Schlechtester"));
    const QRegularExpression row(
        QStringLiteral(
            "^\\s*(\\d+)\\s+Schutz verschlechtert\\s+(\\d+)\\s+(\\d+)\\s+(\\d+)\\s+(\\d+)\\s+(\\d+)\\s+(\\d+)\\s*$"),
        QRegularExpression::MultilineOption);
    size_t seen = 0;
    for (int k = a + 2; k <= n; ++k) {
        const QString& page = with[k - 1];
        QVERIFY2(page.contains(head), qPrintable(QString::number(k)));
        QVERIFY(page.contains(QStringLiteral("Anzeigen des Vergleichs")));
        for (auto it = row.globalMatch(page); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            QVERIFY(seen < c.indications.size());
            const SCompareIndication& i = c.indications[seen];
            QCOMPARE(m.captured(1).toInt(), static_cast<int>(seen) + 1);
            QCOMPARE(m.captured(2).toInt(), i.fromMetre);
            QCOMPARE(m.captured(3).toInt(), i.toMetre);
            QCOMPARE(m.captured(4).toInt(), i.rows);
            QCOMPARE(m.captured(5).toLongLong(), i.length);
            QCOMPARE(m.captured(6).toLongLong(), i.worst);
            QCOMPARE(m.captured(7).toInt(), i.worstMetre);
            ++seen;
        }
    }
    QCOMPARE(seen, c.indications.size());
    QVERIFY(with[a + 2].contains(QStringLiteral("Anzeigen des Vergleichs (Fortsetzung)")));

    // The printer gets the same pages.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("gedruckt-mit.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(PrintAssessmentReport(current, settings, printer, &error, {&earlier, cmp}));
    QCOMPARE(PdfPages(printer.outputFileName()).size(), with.size());
}

void TestAssessReport::nativeSectionShowsPolarisation()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    // A native survey: off where measured, else on; at 30 m nothing at all.
    CTreDoc current, native;
    std::vector<CSurveyRow> cur, nat;
    for (int metre = 0; metre <= 100; metre += 10) {
        cur.push_back({metre, -1150, -900});
        if (metre == 30) nat.push_back({metre});
        else if (metre % 20 == 0) nat.push_back({metre, -700, NO_VALUE});
        else nat.push_back({metre, -760, -850});
    }
    FillSurvey(current, cur);
    FillSurvey(native, nat);
    SCompareSettings cmp;
    cmp.mode = ECompareMode::Native;
    cmp.shiftLimit = 80;
    const SComparison c = Compare(current, native, cmp);
    QVERIFY(c.indications.size() >= 2);

    const QString path = m_dir.filePath(QStringLiteral("nativ.pdf"));
    QVERIFY(WriteAssessmentReportPdf(current, SAssessSettings(), path, nullptr, {&native, cmp}));
    const QStringList pages = PdfPages(path);
    const QString* section = nullptr;
    for (const QString& p : pages)
        if (p.contains(QStringLiteral("Vergleich mit Nativmessung"))) section = &p;
    QVERIFY(section);
    QCOMPARE(section, &pages[pages.size() - 2]); // one page of indications after it
    QVERIFY(section->contains(QStringLiteral("(ohne Namen)")));
    QVERIFY(section->contains(QStringLiteral("Polarisation unter Grenzwert")));
    QVERIFY(section->contains(QStringLiteral("Polarisation < 80 mV")));
    QVERIFY(section->contains(QStringLiteral("Nativpotential")));
    const SDeltaStats& pol = c.summary.polarisation;
    QCOMPARE(pol.count, 10);
    QVERIFY(section->contains(QRegularExpression(QStringLiteral("Polarisation\\s+%1\\s+%2\\s+%3\\s+%4\\s*$")
                                                     .arg(pol.count)
                                                     .arg(pol.min)
                                                     .arg(pol.max)
                                                     .arg(pol.mean),
                                                 QRegularExpression::MultilineOption)));
    const QString& table = pages.back();
    QCOMPARE(static_cast<int>(table.count(QStringLiteral("Polarisation unter Grenzwert"))),
             static_cast<int>(c.indications.size()));

    // Nothing in common: the table says so instead of staying blank.
    CTreDoc elsewhere;
    FillSurvey(elsewhere, {{5000, -1200, -900}});
    QVERIFY(WriteAssessmentReportPdf(current, SAssessSettings(), path, nullptr, {&elsewhere, cmp}));
    const QStringList none = PdfPages(path);
    QVERIFY(none.back().contains(QStringLiteral("keine")));
    QVERIFY(none[none.size() - 2].contains(QRegularExpression(QStringLiteral("Polarisation\\s+0\\s+–\\s+–\\s+–"))));
}

void TestAssessReport::comparisonChartStaysInItsBox()
{
    CTreDoc current, earlier;
    BuildWorsened(current, earlier, 60);
    // Two native rows with nothing measured break the native curve in three.
    CTreDoc native;
    std::vector<CSurveyRow> nat;
    for (int i = 0; i < 60; ++i) {
        if (i == 20 || i == 40) nat.push_back({i * 10});
        else nat.push_back({i * 10, -700, i % 2 ? NO_VALUE : -720});
    }
    FillSurvey(native, nat);

    const CPrintMetrics m = A4Metrics(600, false);
    const QRect box(MmX(m, 0, 20), MmY(m, 0, 150), MmDX(m, 175), MmDY(m, 120));
    for (const ECompareMode mode : {ECompareMode::Earlier, ECompareMode::Native}) {
        const bool isNative = mode == ECompareMode::Native;
        const CTreDoc& other = isNative ? native : earlier;
        SCompareSettings cmp;
        cmp.mode = mode;
        const SComparison c = Compare(current, other, cmp);
        QVERIFY(!c.indications.empty());
        CRecordingDevice dev(m);
        {
            QPainter p(&dev);
            DrawComparisonChart(p, m, box, current, other, c);
        }
        const CRecordingEngine& e = dev.Engine();
        const QRectF inside = QRectF(box).adjusted(-1, -1, 1, 1);
        for (const CRecText& t : e.texts) QVERIFY2(inside.contains(t.pos), qPrintable(t.text));
        for (const CRecLine& l : e.lines) QVERIFY(inside.contains(l.line.p1()) && inside.contains(l.line.p2()));
        for (const auto& f : e.fills) QVERIFY(inside.contains(f.rect));
        // The earlier survey reaches past the current one's end: the clip,
        // not the box, keeps that part off the page.
        for (const CRecPolyline& l : e.polylines)
            if (l.style != Qt::DotLine)
                for (const QPointF& pt : l.points) QVERIFY(inside.contains(pt));

        // The current survey solid, the other one grey, dotted or dashed.
        const Qt::PenStyle otherStyle = isNative ? Qt::DashLine : Qt::DotLine;
        int solidPoints = 0, otherPoints = 0, otherLines = 0;
        for (const CRecPolyline& l : e.polylines) {
            if (l.style == Qt::SolidLine) solidPoints += static_cast<int>(l.points.size());
            if (l.style == otherStyle) {
                QCOMPARE(l.colour.red(), l.colour.blue()); // grey
                otherPoints += static_cast<int>(l.points.size());
                ++otherLines;
            }
        }
        QCOMPARE(solidPoints, current.GetRowCount());
        // Native: each pair's off, else its on value; the pairs without either break the line.
        QCOMPARE(otherLines, isNative ? 3 : 1);
        QCOMPARE(otherPoints, isNative ? 58 : earlier.GetRowCount());
        QVERIFY(dev.Text(isNative ? QStringLiteral("Nativpotential") : QStringLiteral("Potential Aus früher")));
        QVERIFY(dev.Text(QString::fromUtf8(CompareCriterionName(c.indications.front().criterion))));

        // One band per indication under the plot's curves.
        int bands = 0;
        for (const auto& f : e.fills)
            bands += f.rect.height() < MmDY(m, 2) && f.rect.top() > box.top() + box.height() / 2;
        QCOMPARE(bands, static_cast<int>(c.indications.size()) + 1); // and the legend's sample
    }

    // A box too small for a plot draws nothing rather than out of bounds.
    CRecordingDevice dev(m);
    {
        QPainter p(&dev);
        const SComparison c = Compare(current, earlier);
        DrawComparisonChart(p, m, QRect(0, 0, 40, 40), current, earlier, c);
    }
    QVERIFY(dev.Engine().texts.empty());
    QVERIFY(dev.Engine().polylines.empty());
}

QTEST_MAIN(TestAssessReport)
#include "tst_assessreport.moc"
