#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the SPDX licence line at the top of every source file that lacks one:
# the library and its example under LGPL-2.1-or-later, everything else under
# GPL-3.0-or-later (see LICENSE). Safe to run again; cmake/CheckSpdx.cmake
# is the test that keeps it true.
set -eu
cd "$(dirname "$0")/.."
licence_of() {
  case "$1" in
    src/vlnk/*|examples/*) echo LGPL-2.1-or-later ;;
    *) echo GPL-3.0-or-later ;;
  esac
}
git ls-files -- '*.cpp' '*.h' '*.c' '*.py' '*.sh' '*.cmake' '*CMakeLists.txt' '*.1' '.ci/run' '*.in' \
  | while read -r f; do
  head -n 3 "$f" | grep -q 'SPDX-License-Identifier:' && continue
  tag="SPDX-License-Identifier: $(licence_of "$f")"
  case "$f" in
    *.cpp|*.h|*.c|*.h.in) line="// $tag" ;;
    *.1) line=".\\\" $tag" ;;
    *) line="# $tag" ;;
  esac
  if head -n 1 "$f" | grep -q '^#!'; then
    { head -n 1 "$f"; echo "$line"; tail -n +2 "$f"; } > "$f.spdx"
  else
    { echo "$line"; cat "$f"; } > "$f.spdx"
  fi
  chmod --reference="$f" "$f.spdx"
  mv "$f.spdx" "$f"
done
