#!/usr/bin/env bash
# Sets up, builds the benchmarks, prepares the Wine environment and runs every
# benchmark executable, printing what each one reports.
#   scripts/bench.sh                   every benchmark
#   scripts/bench.sh NAME [ARGS...]    one of them (startup_bench --rounds 31)
#   scripts/bench.sh client_package    the first and second client package's time
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# LODO_BUILD_DIR lets several checkouts or runs use separate build folders.
build="${LODO_BUILD_DIR:-$root/build/mingw}"

"$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" -DLODO_BUILD_TESTS=ON >/dev/null
cmake --build "$build" --target bench

source "$root/scripts/wine-env.sh"
on_exit lodo_wine_stop
lodo_wine_start "$build"

status=0
only="${1:-}"
[ $# -gt 0 ] && shift
for exe in "$build"/bench/*.exe; do
  [ -z "$only" ] || [ "$(basename "$exe" .exe)" = "$only" ] || continue
  [ -e "$exe" ] || continue
  # The machine is shared: the load says how far to trust the figures.
  echo "== $(basename "$exe" .exe) (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  started=$SECONDS
  "$root/cmake/wine-run.sh" "$exe" "$@" || { echo "$(basename "$exe") failed with $?" >&2; status=1; }
  echo "   ($((SECONDS - started)) s)"
done
# A helpdesk's packages, one client after another (bench/client_package.sh).
if [ -z "$only" ] || [ "$only" = client_package ]; then
  echo "== client_package (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  started=$SECONDS
  bash "$root/bench/client_package.sh" "$root" || { echo "client_package failed" >&2; status=1; }
  echo "   ($((SECONDS - started)) s)"
fi
exit $status
