#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Tresmon in ./build (Release with -Wall -Wextra).
set -eu
cd "$(dirname "$0")/.."
"$(pwd)/scripts/install-deps.sh"
# Debian's python3, which install-deps.sh installs: a Python of one user's
# own (pyenv, a virtualenv) first on PATH would be out of reach for the user
# "scripts/test.sh --as-user" runs the tests as.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPython3_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build build -j"$(nproc)"
