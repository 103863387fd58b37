#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, starts the handheld simulator on a folder holding our
# sample surveys, registers it as "COM1" for the serial-link library and
# starts Tresmon. In Tresmon: "Logato" > "Datentransfer...".
set -eu
cd "$(dirname "$0")/.."
scripts/build-program.sh
work="$(pwd)/build-program/try-transfer"
rm -rf "$work"
mkdir -p "$work/handheld/TRE/DATEN" "$work/vlnk"
cp samples/demo.tsd "$work/handheld/TRE/DATEN/DEMO.TSD"
cp samples/older-layout.tsd "$work/handheld/TRE/DATEN/ALT.TSD"
# The library's ini, log and result file stay in this folder, not in ~/.config.
export VLNK_DIR="$work/vlnk"
build-program/tools/handheld-sim/vlnk-handheld-sim --root "$work/handheld" --ini-port COM1 > "$work/sim.port" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$work/sim.port" ] && break; sleep 0.1; done
echo "Handheld-Simulator an $(cat "$work/sim.port") (als COM1 eingetragen in $VLNK_DIR/vlnkw.ini)"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  build-program/src/app/tresmon
else
  echo "Kein Bildschirm gefunden: Tresmon braucht eine grafische Oberfläche (oder xvfb-run)." >&2
  exit 1
fi
