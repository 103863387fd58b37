#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds only what a user starts - the program, the serial-link library and
# the handheld simulator - in Release with all cores, into ./build-program.
# The tests, benchmarks and tools are left to scripts/build.sh.
set -eu
cd "$(dirname "$0")/.."
"$(pwd)/scripts/install-deps.sh"
cmake -S . -B build-program -DCMAKE_BUILD_TYPE=Release -DTRES_BENCH=OFF >/dev/null
cmake --build build-program -j"$(nproc)" --target tresmon vlnkw32 vlnk-handheld-sim
