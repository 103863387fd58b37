#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds Tresmon (only the program, the library and the
# simulator, in Release) and starts it on our demo survey. Without a display
# it runs on Qt's offscreen platform, takes a picture of its own window
# into build-program/demo-window.png and ends.
set -eu
cd "$(dirname "$0")/.."
scripts/build-program.sh
survey="$(pwd)/samples/demo.tsd"
program="$(pwd)/build-program/src/app/tresmon"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$survey"
fi
echo "Kein Bildschirm gefunden: Tresmon läuft ohne Anzeige und speichert ein Bild seines Fensters."
shot="$(pwd)/build-program/demo-window.png"
QT_QPA_PLATFORM=offscreen "$program" --screenshot "$shot" "$survey"
echo "Bild des Fensters: $shot"
