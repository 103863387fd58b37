#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds Tresmon (only the program, the library and the
# simulator, in Release) and starts it on our demo survey with its pipeline
# data: the "Bewertung" window with the dig list, the verdict in the curves
# and the map, in a window of 1280x800. It starts from settings of its own
# (a temporary folder), so it looks the same on every machine and leaves
# the user's settings alone. Without a display it runs on Qt's offscreen
# platform, takes a picture of its own window into
# build-program/demo-window.png and ends.
#
# TRES_PROGRAM names a program already built (then nothing is built), and
# TRES_DEMO_SHOT another place for the picture.
set -eu
cd "$(dirname "$0")/.."
program="${TRES_PROGRAM:-}"
if [ -z "$program" ]; then
  scripts/build-program.sh
  program="$(pwd)/build-program/src/app/tresmon"
fi
survey="$(pwd)/samples/demo.tsd"
pipeline="$(pwd)/samples/demo-leitung.geojson"
settings="$(mktemp -d)"
trap 'rm -rf "$settings"' EXIT
export XDG_CONFIG_HOME="$settings"
options=(--no-splash --pipeline "$pipeline" --show-assessment --size 1280x800)
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$program" "${options[@]}" "$survey"
  exit
fi
echo "Kein Bildschirm gefunden: Tresmon läuft ohne Anzeige und speichert ein Bild seines Fensters."
shot="${TRES_DEMO_SHOT:-$(pwd)/build-program/demo-window.png}"
QT_QPA_PLATFORM=offscreen "$program" "${options[@]}" --screenshot "$shot" "$survey"
echo "Bild des Fensters: $shot"
