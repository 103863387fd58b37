// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and saving a survey the size of the old 990,000-byte read limit and
// one of 10 MB, the error-list test over every row, both assessments, the
// comparison with an earlier survey and undoing a sort. The inputs are generated on first use into a temporary
// folder and removed at exit.
#include "survey.h"
#include "surveyopen.h"
#include "variant.h"

#include "comparison.h"
#include "tredoc.h"
#include "tsdfile.h"
#include "verdict.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Input {
    std::string path;
    uintmax_t bytes = 0;
    int rows = 0;
};

// The row counts give files of about 990,000 and 10,000,000 bytes with the
// generator's line lengths; fixed counts keep the survey the same every run.
Input MakeInput(const fs::path& dir, const char* name, int rows)
{
    Input in;
    in.path = (dir / name).string();
    gensurvey::SurveyOptions options;
    options.seed = 4711;
    options.rows = rows;
    CTreDoc doc;
    gensurvey::BuildSurvey(doc, options);
    if (!doc.OnSaveDocument(in.path)) {
        std::fprintf(stderr, "bench-doc: cannot write %s\n", in.path.c_str());
        std::exit(2);
    }
    in.bytes = fs::file_size(in.path);
    in.rows = rows;
    return in;
}

class CInputs {
public:
    CInputs()
    {
        std::string tmpl = (fs::temp_directory_path() / "bench-doc.XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            std::perror("bench-doc: mkdtemp");
            std::exit(2);
        }
        m_dir = tmpl;
        small = MakeInput(m_dir, "survey-990k.tsd", 35'700);
        large = MakeInput(m_dir, "survey-10m.tsd", 348'000);
        savePath = (m_dir / "saved.tsd").string();
    }
    ~CInputs()
    {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    Input small, large;
    std::string savePath;

private:
    fs::path m_dir;
};

CInputs& Inputs()
{
    static CInputs inputs;
    return inputs;
}

// A generated survey of the case's `rows` rows at 1 m, the same every run.
void Generate(CTreDoc& doc, const benchmark::State& state)
{
    gensurvey::SurveyOptions options;
    options.seed = 4711;
    options.rows = static_cast<int>(state.range(0));
    gensurvey::BuildSurvey(doc, options);
}

const Input& Pick(const benchmark::State& state) { return state.range(0) == 0 ? Inputs().small : Inputs().large; }

void Describe(benchmark::State& state, const Input& in)
{
    state.SetLabel(std::to_string(in.bytes) + " bytes, " + std::to_string(in.rows) + " rows");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.bytes));
    // Time per row: a large file should cost no more per row than a small one.
    state.counters["per_row"] = benchmark::Counter(
        static_cast<double>(in.rows), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Open(benchmark::State& state)
{
    const Input& in = Pick(state);
    for (auto _ : state) {
        CTreDoc doc;
        if (!tresimport::OpenSurvey(doc, in.path)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.GetRowCount());
    }
    Describe(state, in);
}

// The whole save as the user sees it, with the flush to disk that keeps the
// previous file safe.
void BM_Save(benchmark::State& state)
{
    const Input& in = Pick(state);
    CTreDoc doc;
    tresimport::OpenSurvey(doc, in.path);
    for (auto _ : state) {
        if (!doc.OnSaveDocument(Inputs().savePath)) state.SkipWithError("save failed");
    }
    Describe(state, in);
}

// Only the text of the file, without the disk: tells the writer's own cost
// apart from the flush in BM_Save.
void BM_BuildText(benchmark::State& state)
{
    const Input& in = Pick(state);
    CTreDoc doc;
    tresimport::OpenSurvey(doc, in.path);
    for (auto _ : state) {
        std::string text = CTsdWriter(doc).BuildText("01.01.26", "QM");
        benchmark::DoNotOptimize(text.data());
    }
    Describe(state, in);
}

// The file's text already in memory: the parsing alone.
void BM_ReadText(benchmark::State& state)
{
    const Input& in = Pick(state);
    std::string text;
    {
        std::FILE* f = std::fopen(in.path.c_str(), "rb");
        text.resize(in.bytes);
        if (!f || std::fread(text.data(), 1, text.size(), f) != text.size()) state.SkipWithError("read failed");
        if (f) std::fclose(f);
    }
    for (auto _ : state) {
        CTreDoc doc;
        tresimport::ReadText(doc, text);
        benchmark::DoNotOptimize(doc.GetRowCount());
    }
    Describe(state, in);
}

void BM_ErrorList(benchmark::State& state)
{
    const Input& in = Pick(state);
    CTreDoc doc;
    tresimport::OpenSurvey(doc, in.path);
    if (!doc.HasAnyLimits()) state.SkipWithError("survey without limits");
    const int n = doc.GetRowCount();
    int marked = 0;
    for (auto _ : state) {
        marked = 0;
        for (int r = 1; r <= n; ++r) marked += doc.IsInErrorWindow(r) ? 1 : 0;
        benchmark::DoNotOptimize(marked);
    }
    state.counters["marked"] = marked;
    state.SetLabel(std::to_string(n) + " rows");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// The protection assessment recomputes after every edit like the one above:
// a generated survey of `rows` rows at 1 m with its native survey, so the
// 100 mV lookup runs too. The defect search's sliding median is the part
// that must not grow faster than N log N.
void BM_AssessProtection(benchmark::State& state)
{
    CTreDoc doc, native;
    Generate(doc, state);
    Generate(native, state);
    gensurvey::MakeNative(native, 2);
    SVerdict v;
    for (auto _ : state) {
        v = AssessProtection(doc, SVerdictSettings(), &native);
        benchmark::DoNotOptimize(v.rows.data());
    }
    state.counters["stretches"] = static_cast<double>(v.stretches.size());
    state.counters["defects"] = static_cast<double>(v.defects.size());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// The worst case for its lists: every other row fails and is a spike, so
// the statuses alternate (a stretch per row), D alternates between peaks
// and troughs, and every tenth row is a landmark.
void BM_AssessProtectionDense(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    CTreDoc doc;
    gensurvey::BuildDenseFailures(doc, n);
    SVerdict v;
    for (auto _ : state) {
        v = AssessProtection(doc);
        benchmark::DoNotOptimize(v.rows.data());
    }
    state.counters["stretches"] = static_cast<double>(v.stretches.size());
    state.counters["defects"] = static_cast<double>(v.defects.size());
    state.counters["warnings"] = static_cast<double>(v.warnings.size());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// The comparison with last year's survey of the same pipeline, `rows` rows
// at 1 m in both: it must grow with the rows, not faster. Argument 1 aligns
// the surveys first, as `compare` does by default (the pairs then come from
// the mapped metres).
void BM_Compare(benchmark::State& state)
{
    CTreDoc current, earlier;
    Generate(current, state);
    Generate(earlier, state);
    gensurvey::MakeEarlierYear(earlier, 2);
    const bool align = state.range(1) != 0;
    SComparison c;
    for (auto _ : state) {
        SCompareSettings settings;
        if (align) {
            SAlignment a;
            tresdoc::SOutcome refusal;
            if (!AlignSurveys(current, earlier, SAlignOptions(), a, refusal)) state.SkipWithError(refusal.text.c_str());
            settings.alignment = std::make_shared<const SAlignment>(std::move(a));
        }
        c = Compare(current, earlier, settings);
        benchmark::DoNotOptimize(c.pairs.data());
    }
    if (align) state.SetLabel(AlignMethodId(c.alignment->method));
    state.counters["pairs"] = static_cast<double>(c.pairs.size());
    state.counters["indications"] = static_cast<double>(c.indications.size());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// Taking back a sort of 30,000 rows in shuffled order: the rows go back
// through the kept permutation. Redoing it between the timed undos keeps
// every undo the same work without paying for the sort again.
void BM_UndoSort(benchmark::State& state)
{
    const int n = 30'000;
    gensurvey::SurveyOptions options;
    options.seed = 4711;
    options.rows = n;
    CTreDoc doc;
    gensurvey::BuildSurvey(doc, options);
    std::vector<int32_t> metres(static_cast<size_t>(n));
    std::iota(metres.begin(), metres.end(), 0);
    std::shuffle(metres.begin(), metres.end(), std::mt19937(4711));
    for (int r = 1; r <= n; ++r) doc.SetMeter(r, metres[static_cast<size_t>(r - 1)] * 2);
    doc.SortByMeter();
    if (doc.UndoName() != "Sortieren") state.SkipWithError("sort left no step");
    for (auto _ : state) {
        doc.Undo();
        state.PauseTiming();
        doc.Redo();
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(n) + " rows");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// Argument 0 is the 990 KB survey, 1 the 10 MB one.
BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ErrorList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssessProtection)->Arg(70'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssessProtectionDense)->Arg(70'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compare)->ArgsProduct({{100'000, 1'000'000}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoSort)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
