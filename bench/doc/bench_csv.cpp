// SPDX-License-Identifier: GPL-3.0-or-later
// Reading another logger's export of 70,000 rows (the survey managers'
// layout with GPS) through its built-in map, from memory into an image.
#include "csvreader.h"
#include "dochost.h"
#include "surveyimage.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

std::string MakeExport(int rows)
{
    std::string text = "Station Number,CIS On,CIS Off,Remarks,Lat,Lon,PDOP,Interpolated\r\n";
    char line[160];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(line, sizeof line, "%d.%d,%d,%d,%s,%.7f,%.7f,%.1f,%d\r\n", i, i % 10, -1100 - i % 97,
                      -900 - i % 53, i % 500 == 0 ? "\"Test post, north\"" : "", 47.99 + i * 1e-5, 7.9 + i * 1e-5,
                      1.5 + (i % 30) / 10.0, i % 1000 == 0);
        text += line;
    }
    return text;
}

void BM_ReadCsv70k(benchmark::State& state)
{
    static const std::string text = MakeExport(70'000);
    const tresimport::CCsvReader reader;
    CDocHost host;
    for (auto _ : state) {
        CSurveyImage image;
        const auto outcome = reader.Read(text, "bench.csv", host, image);
        if (!outcome.Ok() || image.rows.size() != 70'000) state.SkipWithError("not read");
        benchmark::DoNotOptimize(image.rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadCsv70k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
