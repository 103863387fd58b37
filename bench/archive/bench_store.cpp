// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's store alone: a 70 km survey (70,001 rows) with its pipeline
// data, read, tied and assessed once before, added in one transaction into
// a new file archive, and into PostgreSQL when TRES_BENCH_PG names a server
// (bench/archive/pgbench.sh starts one); then its stored assessment read
// back. What the tool's `archive add` costs on top - reading and assessing
// the file - is bench/archive/storebench.sh's.
#include "archive/openarchive.h"
#include "archive/store.h"
#include "doc/tredoc.h"
#include "export/jsontext.h"
#include "export/verdictjson.h"
#include "pipeline.h"
#include "pipeline/surveybinding.h"
#include "pipeline/tiedassessment.h"
#include "survey.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace tresarchive;

namespace {

struct SPrepared {
    CTreDoc doc;
    std::string bytes, geojson, json;
    trespipeline::SSurveyBinding binding;
    SVerdict verdict;
    SPrepared()
    {
        gensurvey::BuildSurvey(doc, {70001, 1, 0, 1});
        geojson = gensurvey::PipelineGeoJson(doc, 2);
        binding = trespipeline::BindSurveyToText(doc, geojson, "70km.geojson");
        verdict = trespipeline::AssessTied(doc, SVerdictSettings(), nullptr, &binding);
        json = jsontext::FileText(tresexport::VerdictJson(verdict, {{}, "70km.geojson", true}, &binding));
    }
    SNewSurvey Survey(int serial) const
    {
        SNewSurvey s;
        s.fileName = "70km.tsd";
        // Each add a file of its own: the archive refuses the same bytes twice.
        s.bytes = std::string(2000000, 'x') + std::to_string(serial);
        s.date = "2025-05-12";
        s.pipelineName = binding.pipeline.route.name;
        s.pipelineNumber = binding.pipeline.route.number;
        s.assessment = {&doc, &verdict, &binding, json, "[]", "bench", geojson};
        return s;
    }
};

const SPrepared& Prepared()
{
    static const SPrepared p;
    return p;
}

void AddTo(benchmark::State& state, const std::string& location)
{
    const SPrepared& p = Prepared();
    auto archive = OpenArchive(location, true);
    int serial = 0;
    for (auto _ : state) archive->AddSurvey(p.Survey(++serial));
    state.SetItemsProcessed(state.iterations() * 70001);
}

void AddToFile(benchmark::State& state)
{
    const auto path = std::filesystem::temp_directory_path() / ("bench-store-" + std::to_string(::getpid()) + ".gpkg");
    std::filesystem::remove(path);
    AddTo(state, path.string());
    std::filesystem::remove(path);
    for (const char* s : {"-wal", "-shm"}) std::filesystem::remove(path.string() + s);
}

void AddToPostgres(benchmark::State& state)
{
    const char* location = std::getenv("TRES_BENCH_PG");
    if (!location) {
        state.SkipWithError("TRES_BENCH_PG not set (bench/archive/pgbench.sh starts a server)");
        return;
    }
    OpenArchiveConnection(location, false)->Execute("DROP SCHEMA IF EXISTS bench_store CASCADE");
    OpenArchiveConnection(location, false)->Execute("CREATE SCHEMA bench_store");
    AddTo(state, std::string(location) + " options='-c search_path=bench_store,public'");
}

} // namespace

BENCHMARK(AddToFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(AddToPostgres)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK_MAIN();
