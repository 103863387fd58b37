#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE manual
