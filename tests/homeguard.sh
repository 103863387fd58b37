#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The user's real home before and after a test run: "snapshot" records it,
# "check" fails and names every path that appeared, vanished or changed.
#   homeguard.sh snapshot|check STATEFILE [PATH-NOT-WATCHED...]
# Watched: what Qt, freedesktop programs and the serial-link library write
# (.config, .local, .cache) and every plainly named file or folder. Not
# watched: the other hidden entries at the top of the home (shells', editors'
# and package managers' own, which other sessions of a shared account change),
# ccache's cache, and the paths given (the build and source trees, when they
# lie in the home).
set -eu
mode=$1 state=$2
shift 2

homes=$(getent passwd "$(id -u)" | cut -d: -f6)
if [ -n "${HOME:-}" ] && [ "$HOME" != "$homes" ]; then homes="$homes
$HOME"; fi
ccache_dir=$(ccache -k cache_dir 2>/dev/null || true)

listing() {
  echo "$homes" | while IFS= read -r h; do
    [ -n "$h" ] && [ -d "$h" ] || continue
    set -- "$@" "${ccache_dir:-$h/.cache/ccache}" "${TMPDIR:-/tmp}"
    prune=""
    for p in "$@"; do prune="$prune -path $p -prune -o"; done
    # shellcheck disable=SC2086
    find "$h" -mindepth 1 \
      \( -path "$h/.*" ! -path "$h/.config" ! -path "$h/.config/*" ! -path "$h/.local" ! -path "$h/.local/*" \
         ! -path "$h/.cache" ! -path "$h/.cache/*" -prune \) -o $prune -printf '%y %s %T@ %p\n' 2>/dev/null
  done | sort -k4
}

case "$mode" in
snapshot)
  listing "$@" > "$state"
  echo "real home: $(wc -l < "$state") entries watched in $(echo "$homes" | tr '\n' ' ')"
  ;;
check)
  [ -f "$state" ] || { echo "no snapshot $state: the setup of the fixture did not run" >&2; exit 1; }
  now=$(mktemp)
  listing "$@" > "$now"
  if ! diff "$state" "$now" > "$now.diff"; then
    echo "the real home changed during the run (< before, > after):" >&2
    cat "$now.diff" >&2
    rm -f "$now" "$now.diff"
    exit 1
  fi
  rm -f "$now" "$now.diff"
  echo "real home unchanged"
  ;;
*)
  echo "usage: homeguard.sh snapshot|check STATEFILE [PATH...]" >&2
  exit 1
  ;;
esac
