#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The command lines of cmdvlnk and vlnk-handheld-sim as a user and a script
# see them: --help and --version on standard output with status 0, unknown
# options refused with a message and the usage status (cmdvlnk: its result 1),
# and cmdvlnk's own "/..." language passed on untouched after the options.
#   cli_test.sh CMDVLNK SIMULATOR VERSION
set -u
cmdvlnk=$1 sim=$2 version=$3
work=$(mktemp -d)
simpid=
trap 'if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null; wait "$simpid" 2>/dev/null; fi; rm -rf "$work"' EXIT
export VLNK_DIR="$work/vlnk"
failures=0
check() { # what expected-status command...
  what=$1 want=$2; shift 2
  "$@" > "$work/out" 2> "$work/err"; got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL $what: status $got, expected $want"; cat "$work/out" "$work/err"; failures=$((failures + 1)); return 1
  fi
}
expect() { # what file pattern
  if ! grep -q -- "$3" "$2"; then echo "FAIL $1: no '$3' in:"; cat "$2"; failures=$((failures + 1)); fi
}
empty() { # what file
  if [ -s "$2" ]; then echo "FAIL $1: not empty:"; cat "$2"; failures=$((failures + 1)); fi
}

check "cmdvlnk --help" 0 "$cmdvlnk" --help && { expect "cmdvlnk --help" "$work/out" '^usage: cmdvlnk'; empty "cmdvlnk --help stderr" "$work/err"; }
check "cmdvlnk -h" 0 "$cmdvlnk" -h && expect "cmdvlnk -h" "$work/out" '/RX=\[FOLDER/\]PATTERN'
check "cmdvlnk --version" 0 "$cmdvlnk" --version && {
  expect "cmdvlnk --version" "$work/out" "^cmdvlnk (Tresmon) $version\$"
  expect "cmdvlnk --version library" "$work/out" '^Vexil VLNK for Windows DLL (32 bit) V0.99b'
}
check "cmdvlnk --bogus" 1 "$cmdvlnk" --bogus /DATE && {
  expect "cmdvlnk --bogus names it" "$work/err" "'--bogus'"
  expect "cmdvlnk --bogus result" "$work/out" '^001 Invalid command line parameters$'
}
# An option after the first command is part of the job's command line.
check "cmdvlnk /XYZ --help" 1 "$cmdvlnk" /XYZ --help && expect "after a command" "$work/out" '^001 '
check "cmdvlnk -- /XYZ" 1 "$cmdvlnk" -- /XYZ && expect "cmdvlnk -- /XYZ" "$VLNK_DIR/vlnkw.end" '^001 Invalid command line parameters$'

check "sim --help" 0 "$sim" --help && { expect "sim --help" "$work/out" '^usage: vlnk-handheld-sim'; empty "sim --help stderr" "$work/err"; }
check "sim --version" 0 "$sim" --version && expect "sim --version" "$work/out" "^vlnk-handheld-sim (Tresmon) $version\$"
check "sim --bogus" 2 "$sim" --bogus && expect "sim --bogus" "$work/err" "'--bogus'"
check "sim --root without value" 2 "$sim" --root && expect "sim --root" "$work/err" "requires an argument"
check "sim --user x" 2 "$sim" --user 1x && expect "sim --user 1x" "$work/err" "invalid number '1x' for --user"
check "sim --faults 2" 2 "$sim" --faults 2 && expect "sim --faults 2" "$work/err" "chance '2' for --faults"
check "sim stray argument" 2 "$sim" extra && expect "sim stray" "$work/err" "unexpected argument 'extra'"
check "sim --fault-kinds nope" 2 "$sim" --fault-kinds corrupt,nope && expect "sim --fault-kinds" "$work/err" "invalid fault kind 'nope' for --fault-kinds"
check "sim --ini-port XYZ" 2 "$sim" --ini-port XYZ && expect "sim --ini-port" "$work/err" "invalid port 'XYZ' for --ini-port"
empty "nothing printed to stdout on a usage error" "$work/out"

# A whole job: several commands in one argument, as scripts write them.
mkdir -p "$work/handheld" "$VLNK_DIR"
mkfifo "$work/port"
"$sim" --root "$work/handheld" --ini-port COM1 > "$work/port" &
simpid=$!
read -r pty < "$work/port"
check "cmdvlnk /PORT=1/NOSCREEN/DATE" 0 "$cmdvlnk" /PORT=1/NOSCREEN/DATE && expect "job result" "$work/out" '^000 Command successful$'
check "cmdvlnk --version is no job" 0 "$cmdvlnk" --version /PORT=1/NOSCREEN/TIME
expect "the version run left the last result" "$VLNK_DIR/vlnkw.end" '^000 Command successful$'

[ "$failures" -eq 0 ] && echo "cli: ok ($pty)"
exit "$failures"
