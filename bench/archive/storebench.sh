#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/archive/storebench.sh BUILD [RUNS]: timed runs of the tool's archive
# commands as a user meets them (process start, reading, assessing and
# storing included): `archive add` of a 70 km survey with pipeline data into
# a file archive and into PostgreSQL (the throwaway server the tests use),
# `list` of 1,000 surveys and `show` of the 70 km survey; medians of RUNS
# (default 5) in ms, and the file archive's size per 70 km survey.
set -eu
build=${1:?build folder}
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
tool=$build/src/tool/tresmon-tool
gen=$build/tools/gensurvey/tres-gensurvey
dir=$(mktemp -d "${TMPDIR:-/tmp}/tres-storebench.XXXXXX")
chmod 755 "$dir"
trap 'sh "$here/../../tests/archive/pgcluster.sh" stop "$dir/pg" >/dev/null 2>&1 || true; rm -rf "$dir"' EXIT
. "$here/../lib.sh"

"$gen" --length 70000 -o "$dir/70km.tsd"
"$gen" --length 70000 --pipeline -o "$dir/70km.geojson"

i=0
while [ $i -lt "$runs" ]; do
    i=$((i + 1))
    rm -f "$dir/add.gpkg"*
    "$tool" archive init "$dir/add.gpkg" >/dev/null
    timed "$tool" archive add "$dir/add.gpkg" "$dir/70km.tsd" --pipeline "$dir/70km.geojson"
done | median | sed 's/^/add 70 km, file archive (ms, median): /'
size=$(stat -c %s "$dir/add.gpkg")
"$tool" archive init "$dir/empty.gpkg" >/dev/null
empty=$(stat -c %s "$dir/empty.gpkg")
echo "file archive per 70 km survey (bytes): $((size - empty))"

i=0
while [ $i -lt "$runs" ]; do
    i=$((i + 1))
    timed "$tool" archive show "$dir/add.gpkg" 1
done | median | sed 's/^/show of the 70 km survey (ms, median): /'

if sh "$here/../../tests/archive/pgcluster.sh" start "$dir/pg" >/dev/null 2>&1; then
    pg="host=$dir/pg dbname=tres_test user=tres_writer"
    i=0
    while [ $i -lt "$runs" ]; do
        i=$((i + 1))
        schema=b$i
        psql -q -h "$dir/pg" -U tres_writer -d tres_test -c "CREATE SCHEMA $schema" >/dev/null
        timed "$tool" archive add --archive "$pg options='-c search_path=$schema,public'" "$dir/70km.tsd" \
            --pipeline "$dir/70km.geojson"
    done | median | sed 's/^/add 70 km, PostgreSQL (ms, median): /'
else
    echo "add 70 km, PostgreSQL: no server could be started here"
fi

# 1,000 small surveys, each file different.
n=0
"$tool" archive init "$dir/many.gpkg" >/dev/null
while [ $n -lt 1000 ]; do
    n=$((n + 1))
    "$gen" --rows 50 --seed $n -o "$dir/s.tsd"
    "$tool" archive add "$dir/many.gpkg" "$dir/s.tsd" >/dev/null
done
i=0
while [ $i -lt "$runs" ]; do
    i=$((i + 1))
    timed "$tool" archive list "$dir/many.gpkg" --json
done | median | sed 's/^/list of 1,000 surveys (ms, median): /'
