// SPDX-License-Identifier: GPL-3.0-or-later
// Repaint of a curve pane, scrolling of the table and the assessment
// window's recompute over a long survey.
//   build/bench/views/bench_views --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// Each pane case has its baseline beside it: PaneRepaint/<window>/<size>
// paints the whole potential pane (backing image and the copy to the
// window); BarePolyline/<window>/<size> draws the same visible points with
// one QPainter::drawPolyline per curve into an image of the same size. The
// gradient pane likewise (GradientPaneRepaint, BareGradientPolyline).
#include "assesswnd.h"
#include "curvepane.h"
#include "survey.h"
#include "surveysession.h"
#include "tablemodel.h"
#include "tableview.h"
#include "tredoc.h"
#include "viewhub.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 30000;

// A generated survey of 30,000 rows at 1 m, with a comment on every sixth
// row (umlauts, as the handheld's code page carries them).
void FillLongSurvey(CTreDoc& doc)
{
    gensurvey::SurveyOptions options;
    options.rows = kRows;
    options.seed = 4711;
    gensurvey::BuildSurvey(doc, options);
    for (int r = 1; r <= kRows; r += 6) doc.SetComment(r, "Prüfstelle " + std::to_string(r / 6));
    doc.m_nViewCounter = 0;
}

enum class EWindow { M1000, All };

// Both panes on the survey, of the given size, showing 1,000 m from the
// middle of the survey or (zoomed out) the whole of it.
struct CPanes {
    CTreDoc doc;
    CTreViewHub hub;
    std::unique_ptr<CTrePrintView> grad, pot;
    CPanes(int w, int h, EWindow window)
    {
        doc.SetHost(&hub);
        FillLongSurvey(doc);
        grad = std::make_unique<CTrePrintView>(doc);
        pot = std::make_unique<CTrePrintView>(doc);
        hub.AddView(grad.get());
        hub.AddView(pot.get());
        grad->resize(w, h);
        pot->resize(w, h);
        // Shown, as in the program: a hidden widget paints nothing.
        grad->show();
        pot->show();
        hub.InitialUpdateAll();
        if (window == EWindow::All) {
            while (doc.m_nMeterSpan < doc.GetMeter(doc.GetRowCount()) - doc.GetMeter(1)) {
                const int before = doc.m_nMeterSpan;
                pot->OnMeterZoomOut();
                if (doc.m_nMeterSpan == before) break;
            }
        } else {
            pot->OnHScroll(CTrePrintView::EScroll::ThumbTrack, 1500); // 15,000 m on
        }
    }
    ~CPanes() { doc.SetHost(nullptr); }
    CTrePrintView& Pane(bool gradient) { return gradient ? *grad : *pot; }
};

void PaneRepaint(benchmark::State& state, EWindow window, int w, int h, bool gradient)
{
    CPanes p(w, h, window);
    CTrePrintView& v = p.Pane(gradient);
    QImage target(w, h, QImage::Format_RGB32);
    // The pane's own paint; its scroll bars and buttons repaint only when
    // they change.
    for (auto _ : state) {
        v.render(&target, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        benchmark::DoNotOptimize(target.constBits());
    }
    const CCurveFrame f = v.Frame();
    state.counters["metres"] = f.nSpan;
}

// The same visible points as the pane maps them, one polyline per curve.
void BarePolyline(benchmark::State& state, EWindow window, int w, int h, bool gradient)
{
    CPanes p(w, h, window);
    const CCurveFrame f = p.Pane(gradient).Frame();
    const double xs = static_cast<double>(f.right - f.left) / f.nSpan;
    const double ys = static_cast<double>(f.bottom - f.top) / f.nValueSpan;
    const int64_t bottomValue = f.nValueTop - f.nValueSpan;
    using Getter = int32_t (CTreDoc::*)(int) const;
    const std::vector<Getter> getters
        = gradient ? std::vector<Getter>{&CTreDoc::GetGradOn, &CTreDoc::GetGradOff, &CTreDoc::GetGradDiff}
                   : std::vector<Getter>{&CTreDoc::GetPotOn, &CTreDoc::GetPotOff};
    std::vector<QPolygon> curves;
    for (Getter get : getters) {
        QPolygon poly;
        for (int r = 1; r <= p.doc.GetRowCount(); ++r) {
            const int64_t m = p.doc.GetMeter(r);
            const int32_t v = (p.doc.*get)(r);
            if (m < f.nStart || m > f.nStart + f.nSpan || !IsPresent(v)) continue;
            const int64_t value = gradient ? v : -int64_t{v};
            poly << QPoint(static_cast<int>((m - f.nStart) * xs + f.left),
                           static_cast<int>(f.bottom - (value - bottomValue) * ys));
        }
        curves.push_back(poly);
    }
    QImage target(w, h, QImage::Format_RGB32);
    size_t points = 0;
    for (const QPolygon& c : curves) points += static_cast<size_t>(c.size());
    for (auto _ : state) {
        target.fill(Qt::white);
        QPainter painter(&target);
        for (const QPolygon& c : curves) painter.drawPolyline(c);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["points"] = static_cast<double>(points);
}

void RegisterPaneCases()
{
    struct Size {
        int w, h;
    };
    for (EWindow window : {EWindow::M1000, EWindow::All}) {
        for (Size size : {Size{800, 400}, Size{1920, 1080}}) {
            const std::string tail = std::string(window == EWindow::All ? "all" : "1000m") + "/"
                                     + std::to_string(size.w) + "x" + std::to_string(size.h);
            for (bool gradient : {false, true}) {
                const std::string pane = gradient ? "GradientPaneRepaint/" : "PaneRepaint/";
                const std::string bare = gradient ? "BareGradientPolyline/" : "BarePolyline/";
                benchmark::RegisterBenchmark((pane + tail).c_str(), PaneRepaint, window, size.w, size.h, gradient)
                    ->Unit(benchmark::kMillisecond);
                benchmark::RegisterBenchmark((bare + tail).c_str(), BarePolyline, window, size.w, size.h, gradient)
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
}

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

// The assessment window after a survey change: the verdict, the three
// lists, the bar and the summary refilled, and the visible list painted.
// Argument 0 is the generated survey, 1 one where every other row fails the
// criterion or is a spike, so there are some 15,000 stretches to list.
void BM_AssessWindowRecompute(benchmark::State& state)
{
    CTreDoc doc;
    if (state.range(0) == 0) {
        FillLongSurvey(doc);
    } else {
        gensurvey::BuildDenseFailures(doc, kRows);
    }
    CSurveySession session(doc);
    CAssessWnd wnd(session);
    wnd.resize(400, 700);
    wnd.show();
    QTableView* list = wnd.ListView(CAssessListModel::EList::Stretches);
    for (auto _ : state) {
        // As after a cell edit: the session hears of it, the shown window refills.
        session.OnUpdate();
        list->viewport()->repaint();
    }
    state.counters["stretches"] = static_cast<double>(wnd.Result()->stretches.size());
}
BENCHMARK(BM_AssessWindowRecompute)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The assessment window reads its limits from the settings: none here.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    RegisterPaneCases();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
