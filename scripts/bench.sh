#!/usr/bin/env bash
# Sets up, builds the benchmarks, prepares the Wine environment and runs every
# benchmark executable, printing what each one reports.
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
for exe in "$build"/bench/*.exe; do
  [ -e "$exe" ] || continue
  # The machine is shared: the load says how far to trust the figures.
  echo "== $(basename "$exe" .exe) (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  started=$SECONDS
  "$root/cmake/wine-run.sh" "$exe" || { echo "$(basename "$exe") failed with $?" >&2; status=1; }
  echo "   ($((SECONDS - started)) s)"
done
exit $status
