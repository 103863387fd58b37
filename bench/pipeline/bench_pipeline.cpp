// SPDX-License-Identifier: GPL-3.0-or-later
// Re-stationing a long survey to its fixed points and placing every row on
// the route, alone and as the whole binding the program repeats per edit. Both must grow linearly with the rows: BM_Positions/70000 should
// take about ten times BM_Positions/7000, not a hundred.
#include "pipeline.h"
#include "survey.h"

#include "locator.h"
#include "pipelinereader.h"
#include "restation.h"
#include "sections.h"
#include "surveybinding.h"
#include "tredoc.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

// A generated survey of `rows` rows 1 m apart and its generated pipeline
// data (a test post every 500 m is a fixed point), built once per size.
struct Input {
    CTreDoc doc;
    trespipeline::SPipelineData data;
    std::vector<double> chainage;
};

const Input& Get(int rows)
{
    static std::map<int, std::unique_ptr<Input>> inputs;
    auto& in = inputs[rows];
    if (in) return *in;
    in = std::make_unique<Input>();
    gensurvey::SurveyOptions options;
    options.seed = 4711;
    options.rows = rows;
    gensurvey::BuildSurvey(in->doc, options);
    const trespipeline::SPipelineRead read
        = trespipeline::ParsePipelineText(gensurvey::PipelineGeoJson(in->doc, 2), "bench");
    const trespipeline::SRestation r = trespipeline::Restation(in->doc, read.data.fixpoints);
    if (!read.ok || !r.ok) {
        std::fprintf(stderr, "bench-pipeline: the generated pipeline data do not fit the survey\n");
        std::exit(2);
    }
    in->data = read.data;
    in->chainage = r.chainage;
    return *in;
}

void Count(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Restation(benchmark::State& state)
{
    const Input& in = Get(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        trespipeline::SRestation r = trespipeline::Restation(in.doc, in.data.fixpoints);
        benchmark::DoNotOptimize(r.chainage.data());
    }
    state.counters["ties"] = static_cast<double>(in.data.fixpoints.size());
    Count(state);
}

// Latitude, longitude, easting and northing of every row, as an export
// needs them.
void BM_Positions(benchmark::State& state)
{
    const Input& in = Get(static_cast<int>(state.range(0)));
    std::string error;
    auto locator = trespipeline::CRouteLocator::Create(in.data.route, 0, error);
    if (!locator) state.SkipWithError(error.c_str());
    for (auto _ : state) {
        auto places = locator->ForRows(in.chainage);
        benchmark::DoNotOptimize(places.data());
    }
    state.counters["vertices"] = static_cast<double>(in.data.route.vertices.size());
    Count(state);
}

// The whole binding (re-stationing, the route locator, positions, section
// overrides, route check): the program repeats it after every edit of a
// survey with pipeline data loaded.
void BM_BindSurvey(benchmark::State& state)
{
    const Input& in = Get(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        trespipeline::SSurveyBinding b = trespipeline::BindSurvey(in.doc, in.data);
        if (!b.ok) state.SkipWithError("the survey does not fit its pipeline data");
        benchmark::DoNotOptimize(b.places.data());
    }
    Count(state);
}

void BM_SectionOverrides(benchmark::State& state)
{
    const Input& in = Get(static_cast<int>(state.range(0)));
    const trespipeline::CSectionIndex index(in.data.sections);
    for (auto _ : state) {
        auto o = index.ForRows(in.chainage);
        benchmark::DoNotOptimize(o.protectionPotential.data());
    }
    Count(state);
}

} // namespace

BENCHMARK(BM_Restation)->Arg(7000)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Positions)->Arg(7000)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BindSurvey)->Arg(7000)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SectionOverrides)->Arg(70000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
