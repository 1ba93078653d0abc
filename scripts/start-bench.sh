#!/usr/bin/env bash
# Starts one test executable many times, as ctest starts it, under the
# settings of each pass of CI (the plain build; the undefined-behaviour build
# with Wine's heap checking), and prints the starts that failed before the
# program wrote anything, per thousand, with the tests that failed after all.
#   scripts/start-bench.sh [N [EXE [FILTER]]]
#     N       starts per pass (default 1000)
#     EXE     a test executable's path below the build folder
#             (default tests/glyphs/glyphs_tests.exe)
#     FILTER  the Google Test filter of each start (default one short test)
# LODO_PASSES=plain or LODO_PASSES=heap runs one pass only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
n=${1:-1000}
exe=${2:-tests/glyphs/glyphs_tests.exe}
filter=${3:-GlyphImages.ACacheFromAMeasurementWithoutGlyphUsesTheDefaultGlyph}

"$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"

one_pass() {
  local name=$1 ubsan=$2 build log i status failed=0 starts
  build="$root/build/mingw"
  [ "$ubsan" = ON ] && build="$root/build/ubsan"
  cmake --preset mingw -S "$root" -B "$build" -DLODO_BUILD_TESTS=ON -DLODO_UBSAN="$ubsan" >/dev/null
  cmake --build "$build" --target "$(basename "$exe" .exe)" >/dev/null
  lodo_wine_start "$build"
  [ "$name" = heap ] && export WINEDEBUG="-all,err+heap,warn+heap" LODO_HEAP_CHECK=ON
  log=$(mktemp -d)
  for ((i = 1; i <= n; i++)); do
    status=0
    LODO_RUN_LOG="$log" "$root/cmake/wine-run.sh" "$build/$exe" --gtest_filter="$filter" \
      --gtest_also_run_disabled_tests >/dev/null 2>&1 || status=$?
    [ $status -eq 0 ] || failed=$((failed + 1))
  done
  starts=$(grep -c '^== ' "$log/failed-starts.log" 2>/dev/null || true)
  echo "$name: $n starts, ${starts:-0} failed before writing anything ($(( ${starts:-0} * 1000 / n )) per thousand), $failed failed in the end (load $(cut -d' ' -f1-3 /proc/loadavg))"
  [ -s "$log/failed-starts.log" ] && sed 's/^/  /' "$log/failed-starts.log"
  rm -rf "$log"
  lodo_wine_stop
  unset WINEDEBUG LODO_HEAP_CHECK
}

on_exit lodo_wine_stop
for pass in ${LODO_PASSES:-plain heap}; do
  case $pass in
    plain) one_pass plain OFF ;;
    heap) one_pass heap ON ;;
  esac
done
