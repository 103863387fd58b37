#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/trend/trendbench.sh BUILD [RUNS]: timed runs of the trend across ten
# archived surveys of one 70 km pipeline (70,001 rows each, a survey a year
# from 2016 to 2025, all tied to the same pipeline data): `trend --json`,
# the text `trend` and `report --trend`, process start, reading the archive
# and writing included; medians of RUNS (default 5) in ms.
set -eu
build=${1:?build folder}
runs=${2:-5}
tool=$build/src/tool/tresmon-tool
gen=$build/tools/gensurvey/tres-gensurvey
dir=$(mktemp -d "${TMPDIR:-/tmp}/tres-trendbench.XXXXXX")
trap 'rm -rf "$dir"' EXIT
. "$(dirname "$0")/../lib.sh"

# The newest survey and its pipeline data; the nine before it are the same
# pipeline in earlier years (other defects, other potentials, same metres).
"$gen" --length 70000 -o "$dir/2025.tsd"
"$gen" --length 70000 --pipeline -o "$dir/70km.geojson"
"$tool" archive init "$dir/trend.gpkg" >/dev/null
"$tool" archive add "$dir/trend.gpkg" "$dir/2025.tsd" --pipeline "$dir/70km.geojson" --date 2025-05-12 >/dev/null
year=2016
while [ $year -lt 2025 ]; do
    "$gen" --length 70000 --earlier --variant-seed $year -o "$dir/$year.tsd"
    "$tool" archive add "$dir/trend.gpkg" "$dir/$year.tsd" --pipeline "$dir/70km.geojson" --date $year-05-12 \
        >/dev/null
    year=$((year + 1))
done
name=$("$tool" archive list "$dir/trend.gpkg" --json | sed -n 's/^ *"name": "\(.*\)",$/\1/p' | head -n 1)
echo "pipeline \"$name\": $("$tool" archive list "$dir/trend.gpkg" | grep -c '^  Nr\.') surveys"
"$tool" trend "$dir/trend.gpkg" --pipeline "$name" --json >"$dir/trend.json"
echo "trend --json: $(stat -c %s "$dir/trend.json") bytes, $(grep -c '"state"' "$dir/trend.json") track states"

for form in --json --csv text; do
    i=0
    while [ $i -lt "$runs" ]; do
        i=$((i + 1))
        if [ $form = text ]; then timed "$tool" trend "$dir/trend.gpkg" --pipeline "$name"
        else timed "$tool" trend "$dir/trend.gpkg" --pipeline "$name" $form; fi
    done | median | sed "s/^/trend $form, 10 x 70 km (ms, median): /"
done
i=0
while [ $i -lt "$runs" ]; do
    i=$((i + 1))
    timed "$tool" report --trend "$dir/trend.gpkg" --pipeline "$name" -o "$dir/trend.pdf"
done | median | sed 's/^/report --trend, 10 x 70 km (ms, median): /'
echo "trend report: $(pdfinfo "$dir/trend.pdf" 2>/dev/null | sed -n 's/^Pages: *//p') pages, $(stat -c %s "$dir/trend.pdf") bytes"
