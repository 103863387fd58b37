#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Tresmon in ./build (Release with -Wall -Wextra).
set -eu
cd "$(dirname "$0")/.."
"$(pwd)/scripts/install-deps.sh"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
