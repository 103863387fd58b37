#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the example receive program against the handheld simulator and checks
# what its user sees: the handheld's listing, progress that runs from 0 to
# 100 without going back, and the received survey equal to the handheld's.
#   run-example.sh RECEIVE SIMULATOR SAMPLE WORKDIR
set -eu
absolute() { case $1 in /*) echo "$1" ;; *) echo "$(pwd)/$1" ;; esac; }
exe=$(absolute "$1") sim=$(absolute "$2") sample=$(absolute "$3") work=$(absolute "$4")

rm -rf "$work"
mkdir -p "$work/handheld/TRE/DATEN/ARCHIV" "$work/vlnk" "$work/pc"
cp "$sample" "$work/handheld/TRE/DATEN/SURVEY.TSD"
export VLNK_DIR="$work/vlnk"

# The simulator prints its port once it has registered it as COM1, so
# reading that line is the wait.
mkfifo "$work/port"
"$sim" --root "$work/handheld" --ini-port COM1 > "$work/port" &
simpid=$!
trap 'kill $simpid 2>/dev/null || true; wait $simpid 2>/dev/null || true' EXIT
read -r pty < "$work/port"
echo "simulator on $pty"

status=0
(cd "$work/pc" && "$exe" COM1) > "$work/out.txt" || status=$?
cat "$work/out.txt"
fail() { echo "run-example: $*" >&2; exit 1; }
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q '^Vexil VLNK for Windows DLL (32 bit) V0.99b' "$work/out.txt" || fail "no version line"
grep -q '^  SURVEY.TSD ' "$work/out.txt" || fail "SURVEY.TSD not listed"
grep -q '^  ARCHIV ' "$work/out.txt" || fail "the folder ARCHIV not listed"
cmp "$sample" "$work/pc/SURVEY.TSD" || fail "received file differs"
awk '$1 == "progress" {
       if ($2 < last) { print "progress went back from " last " to " $2; bad = 1 }
       if (!n++) first = $2
       last = $2
     }
     END {
       if (n < 3) { print "only " n " progress lines"; bad = 1 }
       if (first != 0) { print "progress began at " first; bad = 1 }
       if (last != 100) { print "progress ended at " last; bad = 1 }
       exit bad
     }' "$work/out.txt" || fail "progress"
echo "run-example: ok"
