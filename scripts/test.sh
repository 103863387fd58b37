#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds and runs the whole test suite (without the
# tests labelled "manual": the soak runs).
#   scripts/test.sh [--sanitize] [--as-user USER] [CTEST-ARGUMENTS...]
# --sanitize     builds in build-asan, Debug with AddressSanitizer and
#                UndefinedBehaviorSanitizer, and runs the suite there
# --as-user USER runs the tests as USER (root only; a missing USER is made
#                with a home of its own), so that no test passes because root
#                may write where users may not; the build tree belongs to USER
#                for the run and to its owner again afterwards
# Further arguments go to ctest, e.g. -R doc\. to run some tests only.
set -eu
cd "$(dirname "$0")/.."
build=build
user=""
while [ $# -gt 0 ]; do
  case "$1" in
  --sanitize) build=build-asan; shift ;;
  --as-user)
    [ $# -ge 2 ] || { echo "test.sh: --as-user needs a user name" >&2; exit 1; }
    user=$2; shift 2 ;;
  *) break ;;
  esac
done

if [ "$build" = build ]; then
  scripts/build.sh
else
  scripts/install-deps.sh
  cmake -S . -B "$build" -DSANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DPython3_EXECUTABLE=/usr/bin/python3 >/dev/null
  cmake --build "$build" -j"$(nproc)"
  export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi

run=()
if [ -n "$user" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "test.sh: --as-user needs root" >&2; exit 1; }
  if ! id -u "$user" >/dev/null 2>&1; then
    echo "test.sh: making the user $user"
    useradd --create-home --shell /bin/sh "$user"
  fi
  runuser -u "$user" -- test -r CMakeLists.txt ||
    { echo "test.sh: $user cannot read $(pwd)" >&2; exit 1; }
  owner=$(stat -c %u:%g "$build")
  chown -R "$user:" "$build"
  trap 'chown -R "$owner" "$build"' EXIT
  run=(runuser -u "$user" --)
fi
"${run[@]}" ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE manual "$@"
