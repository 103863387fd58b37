#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/archive/pgbench.sh BUILD [benchmark options]: runs bench-pg against a
# throwaway server in a temporary folder, stopped again at the end.
set -eu
build=${1:?build folder}
shift
here=$(dirname "$0")
dir=$(mktemp -d "${TMPDIR:-/tmp}/tres-pgbench.XXXXXX")
chmod 755 "$dir"
trap 'sh "$here/../../tests/archive/pgcluster.sh" stop "$dir/pg"; rm -rf "$dir"' EXIT
sh "$here/../../tests/archive/pgcluster.sh" start "$dir/pg" >/dev/null
TRES_BENCH_PG="host=$dir/pg dbname=tres_test user=tres_writer" "$build/bench/archive/bench-pg" "$@"
