#!/usr/bin/env bash
# Some end-to-end cases on a second X display at 16 bits per pixel. The
# running wineserver serves it as well: each Wine process opens the display
# its DISPLAY names, and lodo.exe inherits it from the test executable.
#
#   depth16_test.sh E2E_TESTS_EXE
set -euo pipefail
exe=$1
: "${DISPLAY:?run through scripts/test.sh}" "${WINEPREFIX:?run through scripts/test.sh}"
source "$(dirname "$0")/../../scripts/wine-env.sh"
loader=$(lodo_wine_loader)

n=160
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x16 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$n" ] && break
  sleep 0.05
done
[ -e "/tmp/.X11-unix/X$n" ] || { echo "FAIL: Xvfb :$n did not start" >&2; exit 1; }

# The colours, the theme switch and a plain connect, at 16 bits.
DISPLAY=":$n" LODO_EXPECT_BPP=16 "$loader" "$exe" \
  --gtest_filter='Display.*:RuntimeFault.*:RuntimeColours.*:Connect.PresetStartsTheServerWithTheExactCommandAndSaves'
