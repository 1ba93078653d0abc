#!/usr/bin/env bash
# Renders the launcher with the sample settings under Xvfb into
# docs/screenshot.png, and the slot states (focused, hot, pressed) side by
# side into docs/slot-states.png. A Wine virtual desktop draws the title bar.
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

# The slot looks beside each other: the checked slot with the focus, a slot
# under the pointer (hot), and one held down (pressed), taken from the same
# window with the real pointer. The pointer leaves before the button is let
# go, so nothing is clicked.
states="${2:-$(dirname "$out")/slot-states.png}"
slot_y() { echo $((189 + 25 * ($1 - 1))); }
shot_dir=$(mktemp -d)
crop=200x130+30+176
import -window root -crop "$crop" +repage "$shot_dir/1.png"
xdotool mousemove 90 "$(slot_y 4)"
sleep 0.5
import -window root -crop "$crop" +repage "$shot_dir/2.png"
xdotool mousemove 90 "$(slot_y 5)" mousedown 1
sleep 0.5
import -window root -crop "$crop" +repage "$shot_dir/3.png"
xdotool mousemove 430 450 mouseup 1
sleep 0.3
montage -label 'checked, focused (2)' "$shot_dir/1.png" -label 'hot (4)' "$shot_dir/2.png" \
  -label 'pressed (5)' "$shot_dir/3.png" -tile 3x1 -geometry +6+6 -font /usr/share/wine/fonts/tahoma.ttf -pointsize 12 "$states"
rm -rf "$shot_dir"
echo "slot states: $states"
