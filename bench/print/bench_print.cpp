// SPDX-License-Identifier: GPL-3.0-or-later
// One printed page to PDF: graphic print of a 30 km survey at 1:1000 and
// table print of 30,000 rows (also as error list). Each iteration draws the
// next page on a new PDF page. And the whole assessment report of a
// generated 70 km survey compared with its earlier year, written to a PDF
// file as `tresmon-tool report --compare` writes it.
#include "assessreport.h"
#include "graphicprint.h"
#include "printjob.h"
#include "survey.h"
#include "tableprint.h"
#include "tredoc.h"
#include "variant.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void Survey(CTreDoc& doc, int rows, int step)
{
    doc.OnNewDocument();
    for (int i = 1; i < rows; ++i) doc.InsertRowAfter(i);
    for (int r = 1; r <= rows; ++r) {
        const int m = (r - 1) * step;
        doc.SetMeter(r, m);
        doc.SetPotOn(r, -1150 - m % 37);
        doc.SetPotOff(r, -950 - m % 11);
        doc.SetGradOnL(r, 70 + m % 9);
        doc.SetGradOnR(r, 60 + m % 5);
        doc.SetGradOffL(r, 10 + m % 3);
        doc.SetGradOffR(r, 8);
        if (r % 97 == 0) doc.SetComment(r, "Schieber");
    }
    doc.m_header[2] = "-850 mV";
}

void PrintPages(benchmark::State& state, EPrintKind kind, bool errors)
{
    CTreDoc doc;
    if (kind == EPrintKind::Graphic) Survey(doc, 30001, 1);
    else Survey(doc, 30000, 1);
    doc.m_bTabErrList = errors;
    doc.m_limits[POTE] = -1180;
    doc.m_limits[POTE + 12] = -1150;
    doc.m_nPlotStart = 0;
    doc.m_nPlotEnd = 30000;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
    printer.setPageOrientation(IsLandscape(kind) ? QPageLayout::Landscape : QPageLayout::Portrait);
    CPrintContext ctx;
    ctx.installationLabel = QStringLiteral("bench");
    CPrintJob job(kind, doc, ctx);
    const int pages = job.OnPreparePrinting(false);
    QPainter p(&printer);
    job.OnBeginPrinting(p, MeasurePrinter(printer));
    int page = 0;
    for (auto _ : state) {
        if (page > 0) printer.newPage();
        job.OnPrint(p, page % pages + 1);
        ++page;
    }
    job.OnEndPrinting();
    p.end();
    state.counters["pages"] = pages;
}

void BM_GraphicPage(benchmark::State& s) { PrintPages(s, EPrintKind::Graphic, false); }
void BM_TablePage(benchmark::State& s) { PrintPages(s, EPrintKind::Table, false); }
void BM_ErrorListPage(benchmark::State& s) { PrintPages(s, EPrintKind::Table, true); }

// 70,001 points 1 m apart (tres-gensurvey --length 70000) and the same
// pipeline a year earlier (--earlier), the report at 1000 m a sheet.
void BM_Report70km(benchmark::State& state)
{
    CTreDoc doc, earlier;
    gensurvey::SurveyOptions options;
    options.rows = 70'001;
    gensurvey::BuildSurvey(doc, options);
    gensurvey::BuildSurvey(earlier, options);
    gensurvey::MakeEarlierYear(earlier, 2);
    doc.SetPathName("bench-70km.tsd");
    SReportOptions report;
    report.comparison.earlier = &earlier;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bericht.pdf"));
    for (auto _ : state) {
        QString error;
        if (!WriteAssessmentReportPdf(doc, report, path, &error)) state.SkipWithError(qPrintable(error));
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}

BENCHMARK(BM_GraphicPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TablePage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ErrorListPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Report70km)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
