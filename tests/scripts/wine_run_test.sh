#!/usr/bin/env bash
# cmake/wine-run.sh starts a program again, once, when it ended with an error
# before it wrote anything but Wine's messages, or when Wine could not map a
# process's shared user data (a start that failed), says so, and logs both
# starts; any other program that wrote something and failed is never
# started again.
# Wine's own cmd.exe stands in for the programs.
#
#   wine_run_test.sh SOURCE_DIR   (run through scripts/test.sh)
set -euo pipefail
root=$1
: "${WINEPREFIX:?run through scripts/test.sh}"
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "$PWD/wine-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LODO_RUN_LOG="$work/log"
marker="Z:${work//\//\\}\\started"

# run NAME COMMAND: the status, the output and the starts logged for it.
run() {
  local name=$1 status=0
  shift
  rm -rf "$LODO_RUN_LOG"
  "$root/cmake/wine-run.sh" cmd /c "$*" >"$work/$name.out" 2>&1 || status=$?
  echo "$status $(grep -c ' status ' "$LODO_RUN_LOG/starts.log") $(cat "$LODO_RUN_LOG/failed-starts.log" 2>/dev/null | grep -c '^== ')"
}

# case: expected "status starts failed-start-records", the command
check() {
  local name=$1 expected=$2 got
  got=$(run "$name" "$3")
  [ "$got" = "$expected" ] || fail "$name: status, starts and records were '$got', not '$expected'; output: $(cat "$work/$name.out")"
}

echo "a start that fails silently is started again and the second start counts"
check again "0 2 1" "if exist $marker (echo second) else (type nul > $marker & exit 3)"
grep -q "starting it again, once" "$work/again.out" || fail "the second start was not announced"
grep -q "^second" "$work/again.out" || fail "the second start's output is missing"
echo "a program that writes only Wine's messages and fails twice fails with its status"
check twice "3 2 1" "echo 0123:err:module:import_dll Library x.dll not found 1>&2 & exit 3"
echo "a program that wrote something and failed is not started again"
check wrote "3 1 0" "echo started & exit 3"
echo "unless Wine could not map a process's shared user data"
check lost "3 2 1" "echo started & echo err:virtual:virtual_alloc_first_teb wine: failed to map the shared user data: c0000018 1>&2 & exit 3"
echo "a program that succeeds silently is started once"
check silent "0 1 0" "exit 0"
