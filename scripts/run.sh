#!/usr/bin/env bash
# Builds lodo and starts it under Wine: on your display when there is one,
# otherwise on Xvfb, saving a screenshot to build/mingw/lodo-screenshot.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/mingw"

"$root/scripts/setup.sh"
cmake --preset mingw -S "$root" >/dev/null
cmake --build "$build" --target lodo

# The program folder: the exe beside its settings file (the sample when none).
run_dir="$build/run"
mkdir -p "$run_dir"
cp "$build/launcher/lodo.exe" "$run_dir/"
[ -f "$run_dir/lodo.ini" ] || cp "$root/launcher/lodo.sample.ini" "$run_dir/lodo.ini"

source "$root/scripts/wine-env.sh"
trap lodo_wine_stop EXIT
if [ -n "${DISPLAY:-}" ]; then
  lodo_wine_start "$build" yes
  "$(lodo_wine_loader)" "$run_dir/lodo.exe"
else
  lodo_wine_start "$build"
  # A virtual desktop draws the title bar; the picture is taken after 4 s.
  "$(lodo_wine_loader)" explorer /desktop=lodo,440x460 "$run_dir/lodo.exe" &
  pid=$!
  sleep 4
  import -window root -crop 440x460+0+0 +repage "$build/lodo-screenshot.png" &&
    echo "screenshot: $build/lodo-screenshot.png"
  kill "$pid" 2>/dev/null || true
fi
