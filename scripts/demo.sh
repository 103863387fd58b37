#!/usr/bin/env bash
# Sets everything up, builds Tresmon and starts it on our demo survey.
# Without a display it runs under a virtual X server for a few seconds and
# leaves a picture of the window in build/demo-window.png.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
survey="$(pwd)/samples/demo.tsd"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/app/tresmon "$survey"
fi
echo "Kein Bildschirm gefunden: Tresmon läuft auf einem virtuellen X-Server."
shot="$(pwd)/build/demo-window.png"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  "$1" --no-splash "$2" & pid=$!
  sleep 4
  if command -v import >/dev/null; then import -window root "$3"; echo "Bild des Fensters: $3"; fi
  kill $pid' _ "$(pwd)/build/src/app/tresmon" "$survey" "$shot"
