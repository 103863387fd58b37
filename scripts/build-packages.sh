#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages in ./build-pkg: only what they install (no
# tests, no benchmarks), in Release with all cores, then cpack. The packages
# land in build-pkg/ (*.deb).
set -eu
cd "$(dirname "$0")/.."
"$(pwd)/scripts/install-deps.sh"
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DTRES_TESTS=OFF -DTRES_BENCH=OFF >/dev/null
cmake --build build-pkg -j"$(nproc)"
(cd build-pkg && cpack -G DEB)
