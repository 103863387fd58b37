// SPDX-License-Identifier: GPL-3.0-or-later
// 70,000 rows of 15 columns, as a 70 km survey's rows, in one transaction
// into PostgreSQL through the bulk path; the server comes from
// TRES_BENCH_PG (bench/archive/pgbench.sh).
#include "pgconnection.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace tresarchive;

namespace {

std::vector<SRow> SurveyRows(int count)
{
    std::vector<SRow> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double m = i;
        rows.push_back({SValue::Int(1), SValue::Int(i), SValue::Real(m), SValue::Real(m + 0.25),
                        SValue::Real(52.0 + m * 1e-5), SValue::Real(9.0 + m * 1e-5), SValue::Real(-1.1 - i % 7 * 0.01),
                        SValue::Real(-0.9 - i % 5 * 0.01), SValue::Real(0.012), SValue::Real(-0.004),
                        i % 50 ? SValue::Null() : SValue::Text("Schieber " + std::to_string(i)), SValue::Int(i % 3),
                        SValue::Int(i % 4), SValue::Real(i % 100 * 0.5), SValue::Real(1.0)});
    }
    return rows;
}

void InsertSurveyRows(benchmark::State& state)
{
    const char* location = std::getenv("TRES_BENCH_PG");
    if (!location) {
        state.SkipWithError("TRES_BENCH_PG not set (bench/archive/pgbench.sh starts a server)");
        return;
    }
    auto db = OpenPgConnection(location);
    db->Execute("DROP TABLE IF EXISTS bench_rows", {});
    db->Execute("CREATE TABLE bench_rows (survey bigint, rowno bigint, metre double precision, chainage double "
                "precision, lat double precision, lon double precision, on_pot double precision, off_pot double "
                "precision, grad_a double precision, grad_b double precision, comment text, status bigint, basis "
                "bigint, value double precision, weight double precision)",
                {});
    const std::vector<std::string> columns
        = {"survey", "rowno",  "metre",   "chainage", "lat",   "lon",   "on_pot", "off_pot",
           "grad_a", "grad_b", "comment", "status",   "basis", "value", "weight"};
    const auto rows = SurveyRows(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        db->Begin();
        db->InsertMany("bench_rows", columns, rows);
        db->Commit();
        state.PauseTiming();
        db->Execute("TRUNCATE bench_rows", {});
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(InsertSurveyRows)
    ->Arg(70000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_MAIN();
