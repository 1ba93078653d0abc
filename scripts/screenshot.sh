#!/usr/bin/env bash
# Renders the launcher with the sample settings under Xvfb into
# docs/screenshot.png. A Wine virtual desktop draws the title bar.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${LODO_BUILD_DIR:-$root/build/mingw}"
out="${1:-$root/docs/screenshot.png}"

"$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target lodo

run_dir="$build/screenshot"
rm -rf "$run_dir"
mkdir -p "$run_dir"
cp "$build/launcher/lodo.exe" "$run_dir/"
cp "$root/launcher/lodo.sample.ini" "$run_dir/lodo.ini"
# Show a chosen slot, as a user sees the window on the second run.
printf 'Zadnje_spajanje=2\r\n' >>"$run_dir/lodo.ini"

source "$root/scripts/wine-env.sh"
trap lodo_wine_stop EXIT
lodo_wine_start "$build"
"$(lodo_wine_loader)" explorer /desktop=lodo,440x460 "$run_dir/lodo.exe" &
sleep 4
mkdir -p "$(dirname "$out")"
import -window root -crop 440x460+0+0 +repage "$out"
echo "screenshot: $out"
