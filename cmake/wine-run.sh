#!/usr/bin/env bash
# Runs a Windows executable under Wine; used as CMake's cross-compiling emulator.
# The caller (scripts/test.sh) provides WINEPREFIX, DISPLAY and a running wineserver.
#
# Wine may start helper processes (the desktop, services) that inherit our
# stdout and outlive the program; a caller that reads our output through a
# pipe (ctest) would then wait for them forever. So the program writes into
# files, and we copy those out once it has ended.
#
# LODO_RUN_LOG names a folder (scripts/test.sh sets it to the build folder's
# wine-run/): every start adds a line to starts.log there (its end, exit
# status, seconds and command), with what it wrote on stderr, and a start
# that ends with an error before it has written anything leaves a record of
# the Wine processes and the server in failed-starts.log.
#
# A start that failed is one of two kinds, both Wine's:
# - the program ended with an error before it wrote anything but Wine's own
#   messages: it never reached its own code, for a test executable writes
#   and flushes its first line before its first test runs, so a failed
#   test always leaves output;
# - a Wine process of this start (the program, or the desktop process it
#   started) could not map the shared user data page, which Wine needs at
#   a fixed address: the address was taken, by chance, at start.
# It is started again, once, and says so. Any other program that wrote
# anything and failed is never started again.
loader=""
for l in /usr/lib/wine/wine64 /usr/bin/wine64 /usr/bin/wine; do
  [ -x "$l" ] && { loader=$l; break; }
done
[ -n "$loader" ] || { echo "wine-run.sh: no Wine loader found (run scripts/setup.sh)" >&2; exit 127; }

# Wine's own errors (a DLL that failed to load or initialise, an address
# range it could not map) are written on its "err" channel, which a
# WINEDEBUG of "-all" silences: then the process ends with a status and no
# word. So the error channel stays on, whatever else the caller turned off.
case ${WINEDEBUG:-} in
  -all*) export WINEDEBUG="-all,err+all${WINEDEBUG#-all}" ;;
esac

log=${LODO_RUN_LOG:-}
[ -n "$log" ] && { mkdir -p "$log" 2>/dev/null || log=""; }

out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# The state a later look needs to tell why a start failed: the Wine
# processes with their age and state, and the prefix's server.
record_failed_start() {
  local rc=$1 seconds=$2 folder
  {
    echo "== $(date -u +%FT%T.%3NZ) status $rc after $seconds s: $*"
    echo "load: $(cat /proc/loadavg)"
    echo "WINEPREFIX=${WINEPREFIX:-} WINEDEBUG=${WINEDEBUG:-}"
    folder=$(cat "${WINEPREFIX:-/nonexistent}/wineserver" 2>/dev/null) || folder=""
    echo "server folder: ${folder:-none}; sockets: $(ls "${TMPDIR:-/tmp}/$folder"/server-*/socket 2>/dev/null | tr '\n' ' ')"
    echo "stderr: $(tr '\n' '|' <"$err")"
    ps -eo pid,ppid,etimes,stat,args | grep -i -E 'wine|\.exe' | grep -v grep
  } >>"$log/failed-starts.log" 2>&1
}

run() {
  local started ended rc
  started=$(date +%s%N)
  "$loader" "$@" >"$out" 2>"$err" </dev/null
  rc=$?
  ended=$(date +%s%N)
  seconds=$(((ended - started) / 1000000))
  seconds="$((seconds / 1000)).$(printf '%03d' $((seconds % 1000)))"
  if [ -n "$log" ]; then
    {
      echo "$(date -u +%FT%T.%3NZ) status $rc $seconds s: $*"
      [ -s "$err" ] && sed 's/^/  stderr: /' "$err"
    } >>"$log/starts.log" 2>/dev/null
  fi
  return $rc
}

# Wine's own messages: "[thread:]class:channel:function text".
wine_message='^([0-9a-f]{4}:)?(err|warn|fixme|trace):[a-z0-9_]*:'
program_wrote() { [ -s "$out" ] || grep -q -v -E "$wine_message" "$err"; }
start_lost() { grep -q 'failed to map the shared user data' "$err"; }

run "$@"
rc=$?
if [ $rc -ne 0 ] && { ! program_wrote || start_lost; }; then
  [ -n "$log" ] && record_failed_start "$rc" "$seconds" "$@"
  echo "wine-run.sh: Wine ended the start with status $rc after $seconds s (a start that failed, not a test): $(tr '\n' ' ' <"$err" | cut -c1-300)" >&2
  echo "wine-run.sh: starting it again, once" >&2
  run "$@"
  rc=$?
fi
cat "$out"
cat "$err" >&2
exit $rc
