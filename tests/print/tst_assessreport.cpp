// SPDX-License-Identifier: GPL-3.0-or-later
// The assessment report: its page division, sections and axes, value texts
// and key figures without Qt; a sheet drawn on a recording device; the PDF
// of long and of hand-made surveys read back as text (issuer, electrode,
// criterion, key figures, sheets, dig list, repeated headers); the failure
// paths of writing it; and the comparison section with its chart.
#include "assesschart.h"
#include "assesslayout.h"
#include "assessreport.h"
#include "assesssheet.h"
#include "comparison.h"
#include "missingtool.h"
#include "pdftext.h"
#include "polylinesink.h"
#include "recorder.h"
#include "reportfigures.h"
#include "reportsettings.h"
#include "sheetplan.h"
#include "survey.h"
#include "surveyopen.h"
#include "surveyrows.h"
#include "tredoc.h"
#include "verdict.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace assesslayout;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A 20 km survey from the generator, then disturbed so that every list of the
// report runs over pages: single points not protected, sharp peaks of the
// lateral signal every 25 m, an interrupter that did not switch every 40 m.
void BuildLongSurvey(CTreDoc& doc)
{
    gensurvey::SurveyOptions options;
    options.rows = 20'001;
    gensurvey::BuildSurvey(doc, options);
    for (int r = 1; r <= doc.GetRowCount(); ++r) {
        if (r % 10 == 3) doc.SetPotOff(r, -700);
        if (r % 25 == 7) doc.SetGradOnL(r, 900);
        if (r % 40 == 9) doc.SetPotOn(r, doc.GetPotOff(r));
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

// 0 ... 1500 m every 10 m: on -1300, off -950, a flat lateral signal of
// 2 mV; on -1500 and off -1450 at 300 m (over the limiting potential), a
// peak of the lateral signal at 1200 m, landmarks at 0, 1000 (a sheet
// boundary) and 1230 m.
void BuildTwoSheets(CTreDoc& doc)
{
    std::vector<CSurveyRow> rows;
    for (int m = 0; m <= 1500; m += 10) {
        CSurveyRow row{m, m == 300 ? -1500 : -1300, m == 300 ? -1450 : -950, 30, 30, 10, 10};
        if (m == 1200) row.gradOnL = row.gradOnR = 400;
        if (m == 0) row.comment = "Start";
        if (m == 1000) row.comment = "Schieber";
        if (m == 1230) row.comment = "Kreuzung";
        rows.push_back(row);
    }
    FillSurvey(doc, rows);
    doc.m_header[2] = "-850 mV";
}

// The pages' text with the header's page numbers taken out, so pages of two
// reports of different length can be compared.
QStringList WithoutPageNumbers(QStringList pages)
{
    static const QRegularExpression number(QStringLiteral("Seite \\d+ von \\d+"));
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    for (QString& p : pages) p.replace(number, QString()).replace(blanks, QStringLiteral(" "));
    return pages;
}

// A page's lines with their runs of blanks as one, so table columns read as
// words.
QStringList Lines(const QString& page)
{
    QStringList out;
    for (const QString& l : page.split(QLatin1Char('\n'))) out << l.simplified();
    return out;
}

bool HasLineStarting(const QStringList& lines, const char* text)
{
    const QString want = QString::fromUtf8(text);
    return std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(want); });
}

} // namespace

class TestAssessReport : public QObject {
    Q_OBJECT
private slots:
    void tablesFillPagesAndNeverLeaveAHeaderAlone();
    void sectionsAxesAndTexts();
    void sheetPlanFitsEachSection();
    void electrodeAndKeyFigures();
    void sheetStaysInItsBox();
    void curvesKeepEveryColumnsExtremes();
    void firstPageNamesIssuerSurveyAndElectrode();
    void demoReportShowsItsKeyFigures();
    void longSurveyReportHasEverySheetRowAndHeader();
    void appendedSurveyKeepsSharesWithin100();
    void logoFitsItsBoxOrStopsTheReport();
    void printerGivesTheSamePages();
    void failedWriteLeavesNoFile();
    void comparisonSectionFollowsTheAssessment();
    void nativeSectionShowsPolarisation();
    void comparisonChartStaysInItsBox();

private:
    QTemporaryDir m_dir;
};

void TestAssessReport::tablesFillPagesAndNeverLeaveAHeaderAlone()
{
    // 10 lines a page, 3 for a head, 1 between tables.
    std::vector<SPage> pages = PaginateTables({12, 0, 3, 0}, 10, 3, 1);
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
    // page 3: the empty table, then two warnings after the gap; page 4 the
    // last warning and the empty fourth table
    QCOMPARE(pages[2].size(), size_t{2});
    QCOMPARE(pages[2][0].table, ETable::Stretches);
    QCOMPARE(pages[2][0].count, 0);
    QCOMPARE(pages[2][1].table, ETable::NotAssessed);
    QCOMPARE(pages[2][1].count, 2);
    QCOMPARE(pages[3].size(), size_t{2});
    QCOMPARE(pages[3][0].first, 2);
    QVERIFY(pages[3][0].continued);
    QCOMPARE(pages[3][1].table, ETable::Warnings);
    // Nothing at all still gives a page with the four empty tables.
    pages = PaginateTables({0, 0, 0, 0}, 62, 3, 2);
    QCOMPARE(pages.size(), size_t{1});
    QCOMPARE(pages[0].size(), size_t{4});
    // Exactly full pages do not leave an empty page behind.
    pages = PaginateTables({14, 0, 0, 0}, 10, 3, 1);
    QCOMPARE(pages[0][0].count + pages[1][0].count, 14);
    QCOMPARE(pages.back().back().table, ETable::Warnings);

    // Rows of several lines never split: 3 + 1 + 3 lines fill 7, the next
    // 4 lines go over.
    pages = PaginateTables(std::vector<STableItems>{{ETable::DigList, 5, {1, 3, 1, 4, 1}}}, 10, 3, 1);
    QCOMPARE(pages.size(), size_t{2});
    QCOMPARE(pages[0][0].count, 3);
    QCOMPARE(pages[1][0].first, 3);
    QCOMPARE(pages[1][0].count, 2);
    // A row taller than a page still gets one to itself.
    pages = PaginateTables(std::vector<STableItems>{{ETable::NotAssessed, 2, {50, 1}}}, 10, 3, 1);
    QCOMPARE(pages.size(), size_t{2});
    QCOMPARE(pages[0][0].count, 1);
    // A second table whose first row does not fit after the gap starts on
    // a new page rather than leave its header alone.
    pages = PaginateTables(std::vector<STableItems>{{ETable::DigList, 4, {}}, {ETable::Warnings, 1, {3}}}, 10, 3, 1);
    QCOMPARE(pages.size(), size_t{2});
    QCOMPARE(pages[1][0].table, ETable::Warnings);

    // 62 lines, 3 for the head: 59 comparison indications a page.
    pages = PaginateTables(std::vector<STableItems>{{ETable::Comparison, 130, {}}}, 62, 3, 2);
    QCOMPARE(pages.size(), size_t{3});
    QCOMPARE(pages[2][0].count, 12);
    QVERIFY(pages[2][0].continued);
}

void TestAssessReport::sectionsAxesAndTexts()
{
    // A 20 km survey at 1000 m: the last point at 20,000 m closes sheet 20.
    std::vector<SSection> s = Sections(0, 20'000, 1000);
    QCOMPARE(s.size(), size_t{20});
    QCOMPARE(s.back().from, int64_t{19'000});
    QCOMPARE(s.back().to, int64_t{20'000});
    // The first metre rounded down, below zero too.
    s = Sections(-250, 730, 500);
    QCOMPARE(s.size(), size_t{3});
    QCOMPARE(s.front().from, int64_t{-500});
    QCOMPARE(s.back().to, int64_t{1000});
    s = Sections(1000, 1000, 1000);
    QCOMPARE(s.size(), size_t{1});
    QCOMPARE(s[0].from, int64_t{1000});
    QCOMPARE(Sections(0, 2400, 2000).size(), size_t{2});

    // The potential axis: whole 100 mV outward, at least 400 mV, the extra
    // height shared out; ticks every 0.1 V until the axis grows tall.
    auto axis = [](int64_t lo, int64_t hi) {
        const SAxis a = FitPotentialAxis(lo, hi);
        return QList<int64_t>{a.low, a.high, a.step};
    };
    QCOMPARE(axis(-1450, -850), (QList<int64_t>{-1500, -800, 100}));
    QCOMPARE(axis(-1200, -850), (QList<int64_t>{-1200, -800, 100}));
    QCOMPARE(axis(-1000, -950), (QList<int64_t>{-1200, -800, 100}));
    QCOMPARE(axis(-1000, -800), (QList<int64_t>{-1100, -700, 100}));
    QCOMPARE(axis(-5000, -800), (QList<int64_t>{-5000, -800, 500}));
    QCOMPARE(axis(-1200, 150), (QList<int64_t>{-1200, 200, 200}));
    QCOMPARE(AxisTicks(FitPotentialAxis(-1450, -850)).size(), qsizetype{8});
    // The gradient axis from zero, at least 10 mV, on whole steps.
    SAxis g = FitGradientAxis(0, 620);
    QCOMPARE((QList<int64_t>{g.low, g.high, g.step}), (QList<int64_t>{0, 700, 100}));
    g = FitGradientAxis(-35, 40);
    QCOMPARE((QList<int64_t>{g.low, g.high, g.step}), (QList<int64_t>{-40, 80, 20}));
    g = FitGradientAxis(0, 0);
    QCOMPARE((QList<int64_t>{g.low, g.high}), (QList<int64_t>{0, 100}));

    QCOMPARE(NiceStep(2400, 10), int64_t{500});
    QCOMPARE(NiceStep(29'999, 10), int64_t{5000});
    QCOMPARE(NiceStep(0, 10), int64_t{1});

    QCOMPARE(MvText(-850), std::string("-850"));
    QCOMPARE(MvText(NO_VALUE), std::string("\xe2\x80\x93"));
    QCOMPARE(TenthsText(50), std::string("5,0"));
    QCOMPARE(TenthsText(-3), std::string("-0,3"));
    QCOMPARE(TenthsText(NO_VALUE), std::string("\xe2\x80\x93"));
    QCOMPARE(ThousandthsText(-800, 1), std::string("-0,8"));
    QCOMPARE(ThousandthsText(-1250, 2), std::string("-1,25"));
    QCOMPARE(ThousandthsText(-4, 2), std::string("0,00"));
    QCOMPARE(ThousandthsText(1500, 0), std::string("2"));
    QCOMPARE(PercentText(1, 2000), std::string("0,1")); // 0.05 rounds up
    QCOMPARE(PercentText(5, 0), std::string("\xe2\x80\x93"));
    QCOMPARE(LengthText(2306), std::string("2306"));
    QCOMPARE(LengthText(2399.5), std::string("2399,5"));
    QCOMPARE(LengthText(12.25), std::string("12,25"));
}

void TestAssessReport::sheetPlanFitsEachSection()
{
    CTreDoc doc;
    BuildTwoSheets(doc);
    const SVerdict v = AssessProtection(doc);
    QCOMPARE(v.defects.size(), size_t{1});
    const std::vector<SSheetPlan> plans = PlanSheets(doc, v, 1000);
    QCOMPARE(plans.size(), size_t{2});

    // Sheet 1 reaches down to -1500 mV, sheet 2 only to -1300: each axis
    // spans its own values and E_p (-850), E_l (-1200).
    QCOMPARE((QList<int64_t>{plans[0].potAxis.low, plans[0].potAxis.high}), (QList<int64_t>{-1500, -800}));
    QCOMPARE((QList<int64_t>{plans[1].potAxis.low, plans[1].potAxis.high}), (QList<int64_t>{-1300, -800}));
    // The peak of D (40 - 1 mV = 39 mV) is on sheet 2 only.
    QCOMPARE(plans[0].gradAxis.high, int64_t{100});
    QCOMPARE(plans[1].gradAxis.high, int64_t{400});
    QVERIFY(plans[0].defects.empty());
    QCOMPARE(plans[1].defects, std::vector<int>{0});

    // Rows: those in the section and one beyond each end, so curves reach
    // the edges; a point on the boundary belongs to both sheets.
    QCOMPARE(plans[0].rows.front(), 1);
    QCOMPARE(plans[0].rows.back(), 102);
    QCOMPARE(plans[0].rows.size(), size_t{102});
    QCOMPARE(plans[1].rows.front(), 100);
    QCOMPARE(plans[1].rows.back(), 151);
    QCOMPARE(plans[0].landmarks, (std::vector<int>{1, 101}));
    QCOMPARE(plans[1].landmarks, (std::vector<int>{101, 124}));

    // The over-protected point at 300 m stands for 10 m around it.
    const std::vector<SStretchExtent> extents = StretchExtents(v);
    QCOMPARE(v.stretches.size(), size_t{3});
    QCOMPARE(v.stretches[1].status, EVerdictStatus::Over);
    QCOMPARE(extents[1].from, 295.0);
    QCOMPARE(extents[1].to, 305.0);
    QCOMPARE(extents[0].from, 0.0);
    QCOMPARE(extents[2].to, 1500.0);
    // The long protected stretches shade the sheets they reach into.
    QCOMPARE(plans[0].stretches, (std::vector<int>{0, 1, 2}));
    QCOMPARE(plans[1].stretches, std::vector<int>{2});
}

void TestAssessReport::electrodeAndKeyFigures()
{
    using reportfigures::ReferenceElectrode;
    const std::string setting = "Cu/CuSO4";
    QCOMPARE(ReferenceElectrode({"TF-12", "Bezugselektrode Cu/CuSO4 E-27"}, setting), std::string("Cu/CuSO4 E-27"));
    QCOMPARE(ReferenceElectrode({"BEZUGSELEKTRODE:  Ag/AgCl 3M ", "Bezugselektrode X"}, setting),
             std::string("Ag/AgCl 3M"));
    QCOMPARE(ReferenceElectrode({"neue bezugselektrode: Zn"}, setting), std::string("Zn"));
    QCOMPARE(ReferenceElectrode({"Bezugselektrode :"}, setting), setting);
    QCOMPARE(ReferenceElectrode({"Messtrupp 2"}, setting), setting);

    // QM entries as the handheld wrote them (DOS code page), entry 1 the
    // line's filler.
    CTreDoc doc;
    BuildTwoSheets(doc);
    doc.m_qm[1] = "FILLER";
    doc.m_qm[2] = "Ger\x84t 7";
    doc.m_qm[5] = "  ";
    doc.m_qm[6] = "Bezugselektrode Cu/CuSO4";
    QCOMPARE(reportfigures::DeviceEntries(doc), (std::vector<std::string>{"Gerät 7", "Bezugselektrode Cu/CuSO4"}));

    // One defect (category I: 39 of 39 + 10 * 350 mV) on 1500 m: 0.67 per
    // km, rounded to 0.7.
    const SVerdict v = AssessProtection(doc);
    const reportfigures::SKeyFigures k = reportfigures::KeyFigures(v);
    QCOMPARE(k.defects, 1);
    QCOMPARE(k.defectsByCategory[1], 1);
    QCOMPARE(k.defectsPerKmTenths, 7);
    QCOMPARE(k.assessedShareTenths, 1000);
    QCOMPARE(k.digNow, 0);
    QCOMPARE(reportfigures::ShareText(k.statuses[static_cast<size_t>(EVerdictStatus::Over)].shareTenths),
             std::string("0,7"));
    QCOMPARE(reportfigures::ShareText(NO_VALUE), std::string("\xe2\x80\x93"));
    // Nothing assessed: no rate rather than a division by zero.
    CTreDoc none;
    FillSurvey(none, {{0, -1000, NO_VALUE}, {10, -1000, NO_VALUE}});
    QCOMPARE(reportfigures::KeyFigures(AssessProtection(none)).defectsPerKmTenths, NO_VALUE);
}

void TestAssessReport::sheetStaysInItsBox()
{
    CTreDoc doc;
    BuildTwoSheets(doc);
    doc.SetComment(doc.GetRowCount() - 1, "Ein sehr langer Name eines Orientierungspunkts, der nicht ganz passt");
    const SVerdict v = AssessProtection(doc);
    const std::vector<SSheetPlan> plans = PlanSheets(doc, v, 1000);
    const std::vector<SStretchExtent> extents = StretchExtents(v);
    const std::vector<int> index = VerdictRowIndex(v, doc.GetRowCount());
    const std::vector<int> priorities{1};
    SSheetInput in;
    in.doc = &doc;
    in.verdict = &v;
    in.extents = &extents;
    in.priorities = &priorities;
    in.rowIndex = &index;
    in.electrode = QStringLiteral("Ag/AgCl");

    const CPrintMetrics m = A4Metrics(600, false);
    const QRect box(MmX(m, 0, 20), MmY(m, 0, 30), MmDX(m, 175), MmDY(m, 240));
    CRecordingDevice dev(m);
    {
        QPainter p(&dev);
        DrawSheet(p, m, box, in, plans[1]);
    }
    const CRecordingEngine& e = dev.Engine();
    const QRectF inside = QRectF(box).adjusted(-1, -1, 1, 1);
    for (const CRecText& t : e.texts) QVERIFY2(inside.contains(t.pos), qPrintable(t.text));
    for (const CRecLine& l : e.lines) QVERIFY(inside.contains(l.line.p1()) && inside.contains(l.line.p2()));

    // The axis title names the electrode; the labels have a decimal comma.
    QVERIFY(dev.Text(QStringLiteral("U gegen Ag/AgCl [V]")));
    QVERIFY(dev.Text(QStringLiteral("U gegen Ag/AgCl [V]"))->rotated);
    for (const char* label : {"-1,3", "-1,0", "-0,8", "Schutzpotential -850 mV", "Grenzpotential -1200 mV"})
        QVERIFY2(dev.Text(QString::fromUtf8(label)), label);
    // The defect's number, the landmarks turned upright, the long one cut.
    QVERIFY(dev.Text(QStringLiteral("1")));
    QVERIFY(dev.Text(QStringLiteral("Kreuzung")) && dev.Text(QStringLiteral("Kreuzung"))->rotated);
    bool cut = false;
    for (const CRecText& t : e.texts)
        cut = cut
              || (t.rotated && t.text.startsWith(QStringLiteral("Ein sehr langer")) && t.text.endsWith(QChar(0x2026)));
    QVERIFY(cut);
    // The legend's statuses, in the palette's colours, on every sheet.
    QVERIFY(dev.Text(QString::fromUtf8("geschützt (100-mV-Kriterium)")));
    QVERIFY(dev.Text(QString::fromUtf8("Fehlstellenverdacht (Nr. der Aufgrabungsliste)")));
}

void TestAssessReport::curvesKeepEveryColumnsExtremes()
{
    // 100 points to a pixel column, a spike in the middle of column 5 and a
    // break after column 7.
    const CPrintMetrics m = A4Metrics(600, false);
    CRecordingDevice dev(m);
    {
        QPainter p(&dev);
        CPolylineSink sink(p);
        for (int i = 0; i < 1000; ++i) {
            const double x = i / 100.0 + 10.2;
            if (i == 800) sink.Break();
            sink.Add(x, i == 550 ? 900.0 : 500.0 + (i % 100) * 0.001 + i / 100);
        }
    }
    const std::vector<CRecPolyline>& lines = dev.Engine().polylines;
    QCOMPARE(lines.size(), size_t{2});
    QCOMPARE(lines[0].points.front(), QPointF(10, 500));
    QCOMPARE(lines[1].points.back(), QPointF(20, 509));
    QVERIFY(lines[0].points.size() + lines[1].points.size() <= 4 * 11);
    QVERIFY(lines[0].points.contains(QPointF(16, 900))); // the spike survives
    QVERIFY(lines[0].points.contains(QPointF(16, 505)));
}

void TestAssessReport::firstPageNamesIssuerSurveyAndElectrode()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    BuildTwoSheets(doc);
    doc.SetPathName(m_dir.filePath(QStringLiteral("Strecke-7.tsd")).toStdString());
    doc.m_header[3] = "Gasleitung Nord";
    doc.m_qm[2] = "TF-12 Nr. 3318";
    doc.m_qm[3] = "Bezugselektrode: Cu/CuSO4 E-27";
    doc.m_qm[4] = "Messtrupp 2";
    doc.m_qm[5] = "Schaltzyklus 12 s";
    doc.m_qm[7] = "01.02.26";
    doc.m_qm[8] = "TS 3.018";

    SReportOptions o;
    o.issuer.company = QStringLiteral("Korrosionsschutz Nord GmbH");
    o.issuer.address = {QStringLiteral("Hafenstraße 3"), QString(), QStringLiteral("24103 Kiel")};
    o.issuer.author = QStringLiteral("M. Ebersbach");
    o.reportNumber = QStringLiteral("2025-017");
    o.revision = QStringLiteral("B");
    const QString path = m_dir.filePath(QStringLiteral("aussteller.pdf"));
    QString error;
    QVERIFY2(WriteAssessmentReportPdf(doc, o, path, &error), qPrintable(error));
    QStringList pages = PdfPages(path);
    QCOMPARE(pages.size(), qsizetype{5}); // pages 1 and 2, two sheets, the tables
    for (int k = 1; k <= 5; ++k) {
        const QString& page = pages[k - 1];
        QVERIFY2(page.contains(QStringLiteral("Bewertungsbericht Nr. 2025-017, Revision B")), qPrintable(page));
        QVERIFY(page.contains(QStringLiteral("Seite %1 von 5").arg(k)));
        QVERIFY(page.contains(QStringLiteral("Messdatei: Strecke-7.tsd")));
        QVERIFY(!page.contains(QStringLiteral("Zazudoviv")));
    }
    const QString& first = pages[0];
    for (const char* text : {"Korrosionsschutz Nord GmbH", "Hafenstraße 3", "24103 Kiel", "Gasleitung Nord"})
        QVERIFY2(first.contains(QString::fromUtf8(text)), text);
    QVERIFY(first.contains(QRegularExpression(QStringLiteral("Name:\\s+M\\. Ebersbach"))));
    QVERIFY(first.contains(QRegularExpression(QStringLiteral("Bezugselektrode:\\s+Cu/CuSO4 E-27\\n"))));
    QVERIFY(first.contains(QRegularExpression(QStringLiteral("Schutzpotential E_p:\\s+-850 mV \\(aus Kopfdaten"))));
    // The QM entries under their meanings on page 2: entries 2 to 4 are
    // the handheld, 7 and 8 what the program wrote when it saved.
    QVERIFY2(
        pages[1].contains(QRegularExpression(QString::fromUtf8(
            "Angaben des Messgeräts \\(QM-Daten\\)\\n\\s+Gerät:\\s+TF-12 Nr\\. 3318 Bezugselektrode: Cu/CuSO4 "
            "E-27 Messtrupp 2\\n\\s+QM-Angabe 5:\\s+Schaltzyklus 12 s\\n\\s+zuletzt gespeichert:\\s+01\\.02\\.26\\n"
            "\\s+gespeichert mit:\\s+TS 3\\.018\\n"))),
        qPrintable(pages[1]));
    QVERIFY(!first.contains(QStringLiteral("TS 3.018")));
    QVERIFY(pages[2].contains(QStringLiteral("U gegen Cu/CuSO4 E-27 [V]")));
    QVERIFY(pages[2].contains(QStringLiteral("Abschnitt 1 von 2: 0 bis 1000 m")));

    // No issuer, no electrode among the QM entries, a criterion the header
    // cannot give: no company anywhere, the setting's electrode, the
    // criterion assumed with its warning.
    doc.m_qm[3] = "Messtrupp 4";
    doc.m_header[2] = "850 mV";
    SReportOptions plain;
    plain.issuer.electrode = QStringLiteral("Ag/AgCl");
    QVERIFY(WriteAssessmentReportPdf(doc, plain, path, &error));
    pages = PdfPages(path);
    QCOMPARE(pages.size(), qsizetype{5});
    QVERIFY(!pages.join(QString()).contains(QStringLiteral("Korrosionsschutz")));
    QVERIFY(!pages.join(QString()).contains(QStringLiteral("Zazudoviv")));
    QVERIFY(!pages[0].contains(QStringLiteral("Bewertungsbericht Nr.")));
    QVERIFY(pages[0].contains(QRegularExpression(QStringLiteral("Bezugselektrode:\\s+Ag/AgCl\\n"))));
    QVERIFY(pages[0].contains(QRegularExpression(QStringLiteral("Schutzpotential E_p:\\s+-850 mV \\(angenommen\\)"))));
    const SProtectionCriterion c = SurveyProtectionCriterion(doc);
    QVERIFY(!c.warning.empty());
    QVERIFY2(pages[0].contains(Q(c.warning)), qPrintable(pages[0]));
    QVERIFY(pages[3].contains(QStringLiteral("U gegen Ag/AgCl [V]")));
}

void TestAssessReport::demoReportShowsItsKeyFigures()
{
    if (!HavePdfToText()) QSKIP("pdftotext (poppler-utils) is not installed");
    // The demo: 2401 points at 1 m over 2400 m, the off potential missing on
    // 29 of them in three runs (metres 596-607, 1746-1754, 2158-2165), six
    // planted defects. Assessed 2400 - 29 = 2371 m (98.8 %), of which
    // 2306 m protected (97.3 %; 96.1 % of the route) and 65 m in 11
    // stretches not (2.7 %), so 11 + 3 interruptions leave 15 protected
    // stretches; 6 defects on 2.371 km are 2.5 per km.
    CTreDoc doc;
    QVERIFY(tresimport::OpenSurvey(doc, DEMO_TSD));
    const QString path = m_dir.filePath(QStringLiteral("demo.pdf"));
    QString error;
    QVERIFY2(WriteAssessmentReportPdf(doc, SReportOptions(), path, &error), qPrintable(error));
    const QStringList pages = PdfPages(path);
    QCOMPARE(pages.size(), qsizetype{6});
    const QStringList first = Lines(pages[0]), second = Lines(pages[1]);
    for (const char* text :
         {"– Schutz nachgewiesen auf 2306 m von 2400 m Messstrecke (erster bis letzter Messpunkt), das sind 96,1 %.",
          "– Nicht geschützt: 65 m in 11 Abschnitten (E* positiver als das Schutzpotential -850 mV).",
          "– Nicht bewertet: 29 m in 3 Abschnitten („Aus-Potential fehlt“: 29 m).",
          "– Fehlstellenverdacht: 6 Fehlstellen, davon 3 „umgehend aufgraben“, 3 „Schutz nachstellen und "
          "nachmessen“."})
        QVERIFY2(HasLineStarting(first, text), text);
    for (const char* text :
         {"Gemessene Länge: 2400 m (Einflussbereiche der Messpunkte)",
          "Bewertete Länge: 2371 m = 98,8 % der gemessenen Länge, 98,8 % der Messstrecke von 2400 m",
          "Nicht bewertet: 29 m in 3 Abschnitten", "Nicht gemessen: 0 m (Messlücke bei Punktabstand über 10 m)",
          "geschützt 2306 97,3 15 ", "geschützt (100-mV-Kriterium) 0 0,0 0 ", "nicht geschützt 65 2,7 11 ",
          "Grenzpotential unterschritten 0 0,0 0 ", "nicht bewertbar 29 1,2 3 ",
          "Fehlstellenverdacht: 6 (IV schwer 0, III erheblich 0, II mittel 3, I gering 3, ohne "
          "Einstufung 0)",
          "Fehlstellen je km: 2,5 (je km bewerteter Länge)",
          "Aufgrabungsliste: 6 Einträge, davon 3 „umgehend aufgraben“"})
        QVERIFY2(HasLineStarting(second, text), text);
}

void TestAssessReport::longSurveyReportHasEverySheetRowAndHeader()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    BuildLongSurvey(doc);
    doc.SetPathName(m_dir.filePath(QStringLiteral("Leitung-20km.tsd")).toStdString());
    const SVerdict v = AssessProtection(doc);
    QVERIFY(v.digList.size() > 500);
    QVERIFY(v.warnings.size() > 400);

    const QString path = m_dir.filePath(QStringLiteral("lang.pdf"));
    QString error;
    // Every stretch a line of its own, as the verdict has them.
    SReportOptions exact;
    exact.merge = 0;
    QVERIFY(WriteAssessmentReportPdf(doc, exact, path, &error));
    const QStringList pages = PdfPages(path);
    const int n = static_cast<int>(pages.size());
    for (int k = 1; k <= n; ++k) {
        QVERIFY2(pages[k - 1].contains(QStringLiteral("Seite %1 von %2").arg(k).arg(n)),
                 qPrintable(QString::number(k)));
        QVERIFY(pages[k - 1].contains(QStringLiteral("Leitung-20km.tsd")));
    }
    // Metres 0 ... 20,000: 20 sheets of 1000 m after pages 1 and 2.
    for (int s = 1; s <= 20; ++s)
        QVERIFY2(pages[s + 1].contains(
                     QStringLiteral("Abschnitt %1 von 20: %2 bis %3 m").arg(s).arg((s - 1) * 1000).arg(s * 1000)),
                 qPrintable(QString::number(s)));

    // The key figures on page 2 as printed. Every tenth point off at -700 mV
    // gives most of the 2070 unprotected stretches; 16690 + 2630 = 19320 m
    // assessed (86.4 % and 13.6 % of it), 680 m not (3.4 % of 20000 m);
    // 799 defects on 19.32 km are 41.4 per km.
    const QStringList second = Lines(pages[1]);
    for (const char* text : {"Bewertete Länge: 19320 m = 96,6 % der gemessenen Länge, 96,6 % der Messstrecke",
                             "Nicht bewertet: 680 m in 534 Abschnitten", "geschützt 16690 86,4 2526 ",
                             "geschützt (100-mV-Kriterium) 0 0,0 0 ", "nicht geschützt 2630 13,6 2070 ",
                             "Grenzpotential unterschritten 0 0,0 0 ", "nicht bewertbar 680 3,4 534 ",
                             "Fehlstellenverdacht: 799 (IV schwer 0, III erheblich 0, II mittel 580, I gering 219, "
                             "ohne Einstufung 0)",
                             "Fehlstellen je km: 41,4 (je km bewerteter Länge)",
                             "Aufgrabungsliste: 799 Einträge, davon 37 „umgehend aufgraben“"})
        QVERIFY2(HasLineStarting(second, text), text);
    QCOMPARE(v.digList.size(), size_t{799});

    // Every list item once, in order, each page under its column header.
    struct STable {
        const char* title;
        QRegularExpression head, row;
        size_t expected;
        size_t seen = 0;
    };
    size_t stretches = 0, notAssessed = 0;
    for (const SVerdictStretch& s : v.stretches) {
        stretches += s.status != EVerdictStatus::Protected && s.status != EVerdictStatus::NotAssessed;
        notAssessed += s.status == EVerdictStatus::NotAssessed;
    }
    const auto multi = QRegularExpression::MultilineOption;
    STable tables[4] = {
        {"Aufgrabungsliste",
         QRegularExpression(QStringLiteral("Nr\\.\\s+Meter\\s+Lage\\s+Seite\\s+D\\s+%IR\\s+Kategorie")),
         QRegularExpression(QStringLiteral("^\\s*(\\d+)\\s+(\\d+)\\s+\\S.*\\s(L|R|LR|–)\\s+\\d+,\\d\\s"), multi),
         v.digList.size()},
        {"Auffällige Abschnitte",
         QRegularExpression(QStringLiteral("Nr\\.\\s+Status\\s+Zeilen\\s+Von\\s+Bis\\s+Punkte")),
         QRegularExpression(QStringLiteral("^\\s*(\\d+)\\s+(nicht geschützt|Grenzpotential|geschützt \\()"), multi),
         stretches},
        {"Nicht bewertete Abschnitte",
         QRegularExpression(QStringLiteral("Nr\\.\\s+Zeilen\\s+Von\\s+Bis\\s+Punkte\\s+Länge\\s+Kommentare")),
         QRegularExpression(QStringLiteral("^\\s*(\\d+)\\s+\\d+(–\\d+)?\\s+\\d+\\s+\\d+\\s+\\d+\\s+[\\d,]+\\s"), multi),
         notAssessed},
        {"Plausibilitätswarnungen",
         QRegularExpression(QStringLiteral("Nr\\.\\s+Warnung\\s+Zeilen\\s+Von\\s+Bis\\s+Punkte")),
         QRegularExpression(QStringLiteral("^\\s*(\\d+)\\s+(Aus-Potential fehlt|Ein gleich Aus|Ausreißer|Messlücke|"
                                           "Meter nicht fortlaufend|Potential positiv|Aus negativer|Gradient negativ)"),
                            multi),
         v.warnings.size()},
    };
    int pagesWith[4] = {0, 0, 0, 0};
    for (int p = 23; p <= n; ++p) {
        const QString& page = pages[p - 1];
        for (int t = 0; t < 4; ++t) {
            STable& table = tables[t];
            // A page holds the end of one table and the start of the next:
            // count each table's rows between its title and the next title.
            const qsizetype at = page.indexOf(QString::fromUtf8(table.title));
            if (at < 0) continue;
            qsizetype end = page.size();
            for (int u = t + 1; u < 4; ++u) {
                const qsizetype next = page.indexOf(QString::fromUtf8(tables[u].title), at);
                if (next >= 0) end = std::min(end, next);
            }
            const QString part = page.mid(at, end - at);
            QVERIFY2(part.contains(table.head), qPrintable(QStringLiteral("%1, page %2").arg(table.title).arg(p)));
            ++pagesWith[t];
            for (auto it = table.row.globalMatch(part); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                QCOMPARE(m.captured(1).toULongLong(), table.seen + 1);
                if (t == 0) {
                    // The dig list in its order, each item at its defect's metre.
                    const SDigItem& item = v.digList[table.seen];
                    QCOMPARE(m.captured(2).toInt(), v.defects[static_cast<size_t>(item.defect)].metre);
                }
                ++table.seen;
            }
        }
    }
    for (int t = 0; t < 4; ++t) {
        QCOMPARE(tables[t].seen, tables[t].expected);
        QVERIFY2(pagesWith[t] > 1 || tables[t].expected < 20, tables[t].title); // long lists really run over pages
    }
    QVERIFY(pages.join(QString()).contains(QStringLiteral("Aufgrabungsliste (Fortsetzung)")));
}

void TestAssessReport::appendedSurveyKeepsSharesWithin100()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    // A survey appended to itself: its metres run 0 ... 999 twice.
    CTreDoc doc;
    std::vector<CSurveyRow> rows;
    for (int pass = 0; pass < 2; ++pass)
        for (int m = 0; m < 1000; ++m) rows.push_back({m, -1200, m % 100 < 30 ? -800 : -950});
    FillSurvey(doc, rows);
    const QString path = m_dir.filePath(QStringLiteral("angehaengt.pdf"));
    QVERIFY(WriteAssessmentReportPdf(doc, SReportOptions(), path, nullptr));
    const QStringList pages = PdfPages(path);
    QVERIFY(!pages.isEmpty());
    const QRegularExpression share(
        QStringLiteral("^\\s*(geschützt|geschützt \\(100-mV-Kriterium\\)|nicht geschützt|"
                       "Grenzpotential unterschritten|nicht bewertbar)\\s{2,}[\\d,]+\\s+([\\d,]+)\\s"),
        QRegularExpression::MultilineOption);
    double sum = 0;
    int found = 0;
    for (auto it = share.globalMatch(pages[1]); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const double percent = m.captured(2).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        QVERIFY2(percent <= 100.0, qPrintable(m.captured(0)));
        if (m.captured(1) != QStringLiteral("nicht bewertbar")) sum += percent;
        ++found;
    }
    QCOMPARE(found, 5);
    QVERIFY2(qAbs(sum - 100.0) < 0.25, qPrintable(QString::number(sum)));
    const SStatusSummary failing
        = reportfigures::KeyFigures(AssessProtection(doc)).statuses[static_cast<size_t>(EVerdictStatus::Unprotected)];
    QVERIFY2(pages[1].contains(QRegularExpression(
                 QStringLiteral("nicht geschützt\\s{2,}%1\\s+%2\\s")
                     .arg(Q(LengthText(failing.length)), Q(reportfigures::ShareText(failing.shareTenths))))),
             qPrintable(pages[1]));
}

void TestAssessReport::logoFitsItsBoxOrStopsTheReport()
{
    // Our own logos: a PNG four times as wide as high, an SVG square.
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::darkBlue);
    const QString png = m_dir.filePath(QStringLiteral("logo.png"));
    QVERIFY(wide.save(png));
    const QString svg = m_dir.filePath(QStringLiteral("logo.svg"));
    QFile f(svg);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"50\" height=\"50\">"
            "<circle cx=\"25\" cy=\"25\" r=\"20\" fill=\"green\"/></svg>");
    f.close();

    const QRectF box(100, 10, 400, 150); // 40 x 15 mm at some scale
    CReportLogo logo;
    QVERIFY(logo.Load(png, nullptr));
    QCOMPARE(logo.Fit(box), QRectF(100, 10, 400, 100));
    QVERIFY(logo.Load(svg, nullptr));
    QCOMPARE(logo.Fit(box), QRectF(350, 10, 150, 150));

    CTreDoc doc;
    BuildTwoSheets(doc);
    SReportOptions o;
    o.issuer.logo = png;
    const QString path = m_dir.filePath(QStringLiteral("logo.pdf"));
    QVERIFY(WriteAssessmentReportPdf(doc, o, path, nullptr));
    o.issuer.logo = svg;
    QVERIFY(WriteAssessmentReportPdf(doc, o, path, nullptr));

    // A logo that is not there, or no picture: a German message, no report.
    QFile::remove(path);
    for (const QString& bad : {m_dir.filePath(QStringLiteral("fehlt.png")), m_dir.filePath(QStringLiteral("x.svg"))}) {
        QFile junk(m_dir.filePath(QStringLiteral("x.svg")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("kein Bild");
        junk.close();
        o.issuer.logo = bad;
        QString error;
        QVERIFY(!WriteAssessmentReportPdf(doc, o, path, &error));
        QVERIFY2(error.contains(QString::fromUtf8("Das Logo „%1“ lässt sich nicht lesen").arg(bad)), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }
}

void TestAssessReport::printerGivesTheSamePages()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    CTreDoc doc;
    gensurvey::SurveyOptions options;
    options.rows = 3000;
    gensurvey::BuildSurvey(doc, options);
    const QString written = m_dir.filePath(QStringLiteral("geschrieben.pdf"));
    const QString printed = m_dir.filePath(QStringLiteral("gedruckt.pdf"));
    QVERIFY(WriteAssessmentReportPdf(doc, SReportOptions(), written, nullptr));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QString error;
    QVERIFY(PrintAssessmentReport(doc, SReportOptions(), printer, &error));
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
    QVERIFY(!WriteAssessmentReportPdf(doc, SReportOptions(), missing, &error));
    QVERIFY(error.contains(QStringLiteral("kann nicht nach")));
    QVERIFY(error.contains(missing));
    QVERIFY(!QFile::exists(missing));

    // A folder where the file should go: the temporary file beside it is
    // written, the rename fails, and nothing is left behind.
    QDir dir(m_dir.filePath(QStringLiteral("ziel")));
    QVERIFY(dir.mkpath(QStringLiteral("bericht.pdf")));
    error.clear();
    QVERIFY(!WriteAssessmentReportPdf(doc, SReportOptions(), dir.filePath(QStringLiteral("bericht.pdf")), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("bericht.pdf")});
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("bericht.pdf"))).isDir());
}

void TestAssessReport::comparisonSectionFollowsTheAssessment()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
    CTreDoc current, earlier;
    BuildWorsened(current, earlier, 450);
    current.SetPathName(m_dir.filePath(QStringLiteral("Strecke-2024.tsd")).toStdString());
    earlier.SetPathName(m_dir.filePath(QStringLiteral("Strecke-2023.tsd")).toStdString());
    earlier.m_header[3] = "Leitung Nordost";
    earlier.m_header[1] = "14.06.2023";
    const SCompareSettings cmp;
    const SComparison c = Compare(current, earlier, cmp);
    QCOMPARE(c.indications.size(), size_t{150});

    const QString plainPath = m_dir.filePath(QStringLiteral("ohne.pdf"));
    const QString withPath = m_dir.filePath(QStringLiteral("mit.pdf"));
    QVERIFY(WriteAssessmentReportPdf(current, SReportOptions(), plainPath, nullptr));
    SReportOptions o;
    o.comparison = {&earlier, cmp};
    QString error;
    QVERIFY(WriteAssessmentReportPdf(current, o, withPath, &error));
    QVERIFY(error.isEmpty());
    const QStringList plain = PdfPages(plainPath), with = PdfPages(withPath);
    const int a = static_cast<int>(plain.size()), n = static_cast<int>(with.size());
    QVERIFY(a >= 3);
    // The section page, then 150 indications at 59 a page.
    QCOMPARE(n, a + 1 + 3);
    for (int k = 1; k <= n; ++k)
        QVERIFY2(with[k - 1].contains(QStringLiteral("Seite %1 von %2").arg(k).arg(n)), qPrintable(QString::number(k)));
    // The assessment's pages come first, as they were but for the earlier
    // survey's curve on the sheets.
    QCOMPARE(WithoutPageNumbers(with.mid(0, a)).mid(0, 1), WithoutPageNumbers(plain).mid(0, 1));
    QVERIFY(with[2].contains(QString::fromUtf8("Potential Aus früher")));
    QVERIFY(!plain[2].contains(QString::fromUtf8("Potential Aus früher")));

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
        QString::fromUtf8("gepaarte Messpunkte\\s+ohne Gegenstück \\(aktuell\\)\\s+ohne Gegenstück \\(früher\\)"))));
    QVERIFY(section.contains(QRegularExpression(
        QStringLiteral("^\\s*%1\\s+%2\\s+%3\\s*$").arg(s.matched).arg(s.currentUnmatched).arg(s.earlierUnmatched),
        QRegularExpression::MultilineOption)));
    QVERIFY(section.contains(
        QRegularExpression(QString::fromUtf8("Δ Aus \\(aktuell − früher\\)\\s+%1\\s+%2\\s+%3\\s+%4\\s*$")
                               .arg(s.deltaOff.count)
                               .arg(s.deltaOff.min)
                               .arg(s.deltaOff.max)
                               .arg(s.deltaOff.mean),
                           QRegularExpression::MultilineOption)));
    QVERIFY(!section.contains(QStringLiteral("Polarisation")));
    QVERIFY(section.contains(QStringLiteral("U gegen Cu/CuSO4 [V]")));

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
    QVERIFY(PrintAssessmentReport(current, o, printer, &error));
    QCOMPARE(PdfPages(printer.outputFileName()).size(), with.size());
}

void TestAssessReport::nativeSectionShowsPolarisation()
{
    if (!HavePdfToText()) TRES_QSKIP_MISSING("pdftotext (poppler-utils) is not installed");
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
    SReportOptions o;
    o.comparison = {&native, cmp};
    o.native = &native;
    QVERIFY(WriteAssessmentReportPdf(current, o, path, nullptr));
    const QStringList pages = PdfPages(path);
    const QString* section = nullptr;
    for (const QString& p : pages)
        if (p.contains(QStringLiteral("Vergleich mit Nativmessung"))) section = &p;
    QVERIFY(section);
    QCOMPARE(section, &pages[pages.size() - 2]); // one page of indications after it
    QVERIFY(pages[2].contains(QStringLiteral("Nativpotential")));
    QVERIFY(section->contains(QStringLiteral("(ohne Namen)")));
    QVERIFY(section->contains(QStringLiteral("Polarisation unter Grenzwert")));
    QVERIFY(section->contains(QStringLiteral("Polarisation < 80 mV")));
    QVERIFY(section->contains(QString::fromUtf8("ohne Gegenstück (nativ)")));
    QVERIFY(!section->contains(QStringLiteral("Differenz Aus")));
    const SDeltaStats& pol = c.summary.polarisation;
    QCOMPARE(pol.count, 10);
    QVERIFY(section->contains(QRegularExpression(QStringLiteral("Polarisation\\s+%1\\s+%2\\s+%3\\s+%4\\s*$")
                                                     .arg(pol.count)
                                                     .arg(pol.min)
                                                     .arg(pol.max)
                                                     .arg(pol.mean),
                                                 QRegularExpression::MultilineOption)));
    QVERIFY(section->contains(QString::fromUtf8("Δ Aus (aktuell − nativ)")));
    const QString& table = pages.back();
    QCOMPARE(static_cast<int>(table.count(QStringLiteral("Polarisation unter Grenzwert"))),
             static_cast<int>(c.indications.size()));

    // Nothing in common: the table says so instead of staying blank.
    CTreDoc elsewhere;
    FillSurvey(elsewhere, {{5000, -1200, -900}});
    o.comparison = {&elsewhere, cmp};
    o.native = &elsewhere;
    QVERIFY(WriteAssessmentReportPdf(current, o, path, nullptr));
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
            DrawComparisonChart(p, m, box, current, other, c, QStringLiteral("Cu/CuSO4"));
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
        // The axis in volts with a decimal comma, titled with the electrode.
        QVERIFY(dev.Text(QStringLiteral("U gegen Cu/CuSO4 [V]")));
        QVERIFY(dev.Text(QStringLiteral("-1,00")));

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
        DrawComparisonChart(p, m, QRect(0, 0, 40, 40), current, earlier, c, QString());
    }
    QVERIFY(dev.Engine().texts.empty());
    QVERIFY(dev.Engine().polylines.empty());
}

int main(int argc, char** argv)
{
    // Our own settings folder, so a developer's settings "Bericht" never
    // reach the report under test.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    TestAssessReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_assessreport.moc"
