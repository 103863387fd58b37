#!/usr/bin/env bash
# Sets everything up, builds and runs Tresmon's main job on our demo survey.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
survey=samples/demo.tsd
echo "== Tresmon: $survey =="
build/src/tool/tresmon-tool dump "$survey" > build/demo.json
rows=$(grep -o '"rowCount":[0-9]*' build/demo.json | cut -d: -f2)
echo "$rows Messpunkte gelesen; JSON in build/demo.json"
echo "== Fehlerliste =="
build/src/tool/tresmon-tool errors "$survey" | head -n 40
build/src/tool/tresmon-tool csv "$survey" build/demo.csv
echo "== Tabellenexport in build/demo.csv =="
