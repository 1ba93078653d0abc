#!/usr/bin/env bash
# Sets up, builds, prepares the Wine environment and runs every test.
# The last lines are ctest's summary. Extra arguments go to ctest.
# LODO_UBSAN=ON runs the same suite on the undefined-behaviour build.
# LODO_HEAP_CHECK=ON runs it with Wine's heap checking.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# LODO_UBSAN=ON builds everything with the undefined-behaviour sanitizer in
# trap mode (a fault stops the test at once), in its own build folder.
ubsan="${LODO_UBSAN:-OFF}"
default_build="$root/build/mingw"
[ "$ubsan" = ON ] && default_build="$root/build/ubsan"
# LODO_BUILD_DIR lets several checkouts or runs use separate build folders.
build="${LODO_BUILD_DIR:-$default_build}"

"$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" -DLODO_BUILD_TESTS=ON -DLODO_UBSAN="$ubsan" >/dev/null
cmake --build "$build"

source "$root/scripts/wine-env.sh"
on_exit lodo_wine_stop
lodo_wine_start "$build"

# LODO_HEAP_CHECK=ON runs the tests, and every lodo.exe they start, with
# Wine's heap checking: freed blocks are filled with a poison pattern (new
# ones and the bytes after each block with others) and the heap is checked as
# it is used, so a use of a freed object fails at once instead of reading
# stale data. Only the heap's own messages are let through. The tests see the
# switch (Heap.* fails when it is on but nothing is poisoned).
heap_check="${LODO_HEAP_CHECK:-OFF}"
export LODO_HEAP_CHECK="$heap_check"
[ "$heap_check" = ON ] && export WINEDEBUG="-all,err+heap,warn+heap"

# Every start of a test executable is logged in the build folder's
# wine-run/ (cmake/wine-run.sh): starts.log, and failed-starts.log with the
# state of Wine at each start that failed before the program wrote anything.
export LODO_RUN_LOG="$build/wine-run"
rm -rf "$LODO_RUN_LOG"

# The long settings-file fuzzing and the full endurance run carry the labels
# "fuzz" and "endurance" and run only when asked for by label
# (scripts/test.sh -L fuzz, scripts/test.sh -L endurance).
labels=(-LE 'fuzz|endurance')
for a in "$@"; do
  case "$a" in
    -LE* | --label-exclude*) ;;
    -L* | --label-regex*) labels=() ;;
  esac
done

# Tests share one display, pointer and focus: they run one at a time.
status=0
ctest --test-dir "$build" --output-on-failure --timeout 180 "${labels[@]}" "$@" || status=$?
# A start that failed before the program wrote anything was started again
# (cmake/wine-run.sh); ctest shows only the second start, so it is told here.
if [ -s "$LODO_RUN_LOG/failed-starts.log" ]; then
  echo "== $(grep -c '^== ' "$LODO_RUN_LOG/failed-starts.log") start(s) failed before the program wrote anything and were started again:"
  cat "$LODO_RUN_LOG/failed-starts.log"
fi
exit $status
