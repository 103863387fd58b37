// Repaint of a curve pane and scrolling of the table over a long survey.
//   build-views/bench/views/bench_views --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "curvepane.h"
#include "tablemodel.h"
#include "tableview.h"
#include "tredoc.h"
#include "viewhub.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 30000;

// 30,000 points at 1 m, all values present, a comment every 50 m.
void FillLongSurvey(CTreDoc& doc)
{
    doc.OnNewDocument();
    for (int r = 1; r < kRows; ++r) doc.InsertRowAfter(r);
    for (int r = 1; r <= kRows; ++r) {
        const int m = r - 1;
        doc.SetMeter(r, m);
        doc.SetPotOn(r, -1150 - (m % 1000) * 7 % 120);
        doc.SetPotOff(r, -950 - (m % 1000) * 13 % 60);
        doc.SetGradOnL(r, 60 + (m * 31) % 90);
        doc.SetGradOnR(r, 50 + (m * 17) % 70);
        doc.SetGradOffL(r, 5 + m % 13);
        doc.SetGradOffR(r, 4 + m % 11);
        if (m % 50 == 0) doc.SetComment(r, "Messpunkt " + std::to_string(m));
    }
    doc.m_header[2] = "-850 mV";
    doc.m_nViewCounter = 0;
}

struct CPanes {
    CTreDoc doc;
    CTreViewHub hub;
    std::unique_ptr<CTrePrintView> grad, pot;
    CPanes(int w, int h)
    {
        doc.SetHost(&hub);
        FillLongSurvey(doc);
        grad = std::make_unique<CTrePrintView>(doc);
        pot = std::make_unique<CTrePrintView>(doc);
        hub.AddView(grad.get());
        hub.AddView(pot.get());
        hub.InitialUpdateAll();
        grad->resize(w, h);
        pot->resize(w, h);
        // The window in the middle of the survey: a full 1000 m of curve.
        doc.m_nMeterScrollPos = 1500;
    }
    ~CPanes() { doc.SetHost(nullptr); }
};

void BM_CurveRepaint(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(1)), h = static_cast<int>(state.range(2));
    CPanes p(w, h);
    CTrePrintView& v = state.range(0) == 1 ? *p.grad : *p.pot;
    const QRect box(0, 0, w, h);
    for (auto _ : state) {
        v.ComposeBacking(box);
        benchmark::DoNotOptimize(v.BackingImage().constBits());
    }
    state.SetLabel(state.range(0) == 1 ? "gradient" : "potential");
}
BENCHMARK(BM_CurveRepaint)
    ->Args({1, 800, 400})
    ->Args({2, 800, 400})
    ->Args({1, 1024, 768})
    ->Args({2, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

// Every cell the table shows for one row: text, background, text colour,
// alignment. range(0) is the first row; the time per row must not depend
// on where the row lies.
void BM_TableRowQueries(benchmark::State& state)
{
    CTreDoc doc;
    FillLongSurvey(doc);
    CTrePlotModel model(doc);
    const int first = static_cast<int>(state.range(0));
    constexpr int kBlock = 1000;
    for (auto _ : state) {
        for (int r = first; r < first + kBlock; ++r)
            for (int c = 0; c < CTrePlotModel::ColumnCount; ++c) {
                const QModelIndex idx = model.index(r, c);
                for (int role : {int(Qt::DisplayRole), int(Qt::BackgroundRole), int(Qt::ForegroundRole),
                                 int(Qt::TextAlignmentRole)})
                    benchmark::DoNotOptimize(model.data(idx, role));
            }
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_TableRowQueries)->Arg(0)->Arg(14000)->Arg(kRows - 1000)->Unit(benchmark::kMicrosecond);

// The table scrolled page by page from the first row to the last, each page
// drawn as the screen would get it.
void BM_TableScrollThrough(benchmark::State& state)
{
    CTreDoc doc;
    FillLongSurvey(doc);
    CTreViewHub hub;
    doc.SetHost(&hub);
    CTrePlotView view(doc);
    hub.AddView(&view);
    view.resize(600, 800);
    view.show();
    QImage target(view.size(), QImage::Format_RGB32);
    int pages = 0;
    for (auto _ : state) {
        QScrollBar* sb = view.verticalScrollBar();
        pages = 0;
        for (int v = 0;; v += sb->pageStep()) {
            sb->setValue(v);
            view.render(&target);
            ++pages;
            if (v >= sb->maximum()) break;
        }
    }
    state.counters["pages"] = pages;
    doc.SetHost(nullptr);
}
BENCHMARK(BM_TableScrollThrough)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
