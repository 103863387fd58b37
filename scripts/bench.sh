#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in Release (build-bench/), runs every Google Benchmark
# program with 5 repetitions, keeps their JSON in build-bench/results/ and
# prints the performance goals with the figures measured now.
#   scripts/bench.sh              all programs
#   scripts/bench.sh views print  only those (doc, pipeline, vlnk, views, print, tool)
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTRES_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
out=build-bench/results
mkdir -p "$out"
declare -A programs=(
  [doc]=bench/doc/bench-doc
  [pipeline]=bench/pipeline/bench-pipeline
  [vlnk]=bench/vlnk/vlnk-bench
  [views]=bench/views/bench_views
  [print]=bench/print/bench_print
  [tool]=bench/tool/bench-tool
)
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=(doc pipeline vlnk views print tool)
export QT_QPA_PLATFORM=offscreen
for name in "${wanted[@]}"; do
  exe="build-bench/${programs[$name]}"
  [ -x "$exe" ] || { echo "bench.sh: $exe was not built" >&2; continue; }
  echo "== $name" >&2
  VLNK_DIR=$(mktemp -d) "$exe" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/$name.json" --benchmark_out_format=json >&2
done
python3 scripts/benchtable.py "$out"
