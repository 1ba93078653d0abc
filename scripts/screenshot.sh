#!/usr/bin/env bash
# Renders the launcher with the sample settings under Xvfb into
# docs/screenshot.png, the slot states (focused, hot, pressed) side by side
# into docs/slot-states.png, and the default window beside one branded with
# scripts/demo/branding into docs/branding.png. A Wine virtual desktop draws
# the title bar.
#
#   scripts/screenshot.sh [SCREENSHOT [SLOT_STATES [BRANDING]]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${LODO_BUILD_DIR:-$root/build/mingw}"
out="${1:-$root/docs/screenshot.png}"
states="${2:-$(dirname "$out")/slot-states.png}"
branding="${3:-$(dirname "$out")/branding.png}"

"$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target lodo measure_texts

source "$root/scripts/wine-env.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/lodo-screenshot.XXXXXX")
# Wine first: its programs hold the work folder open.
on_exit 'lodo_wine_stop; rm -rf "$work"'
fail() { echo "screenshot: $*" >&2; exit 1; }

run_dir="$work/program"
mkdir -p "$run_dir"
cp "$build/launcher/lodo.exe" "$run_dir/"
cp "$root/launcher/lodo.sample.ini" "$run_dir/lodo.ini"
# Show a chosen slot, as a user sees the window on the second run.
printf 'Zadnje_spajanje=2\r\n' >>"$run_dir/lodo.ini"

lodo_wine_start "$build"
"$(lodo_wine_loader)" explorer /desktop=lodo,440x460 "$run_dir/lodo.exe" &
wait_for 60 find_window spajanje || fail "lodo showed no window"
grab_settled "$work/screenshot.png" 440x460+0+0 || fail "the window did not settle"

# The slot looks beside each other: the checked slot with the focus, a slot
# under the pointer (hot), and one held down (pressed), taken from the same
# window with the real pointer. Each is taken once the picture has changed
# and holds still. The pointer leaves before the button is let go, so
# nothing is clicked.
slot_y() { echo $((189 + 25 * ($1 - 1))); }
crop=200x130+30+176
grab_settled "$work/1.png" "$crop" || fail "the slots did not settle"
xdotool mousemove 90 "$(slot_y 4)"
grab_settled "$work/2.png" "$crop" "$work/1.png" || fail "slot 4 did not turn hot"
xdotool mousemove 90 "$(slot_y 5)" mousedown 1
grab_settled "$work/3.png" "$crop" "$work/2.png" || fail "slot 5 did not show as pressed"
xdotool mousemove 430 450 mouseup 1

# The same window in the example helpdesk's branding: its lodo.exe from a
# client package, made in this build folder.
client="$work/Nordlicht"
mkdir -p "$client"
cp "$root"/scripts/demo/branding/* "$client/"
cp "$root/launcher/lodo.sample.ini" "$client/lodo.ini"
printf 'stand-in' >"$client/winvnc.exe"
"$root/scripts/package.sh" --exe "$build/launcher/lodo.exe" --build "$build" --client "$client" --out "$work/dist" \
  >"$work/package.log" 2>&1 || { cat "$work/package.log" >&2; fail "the example branding did not package"; }
python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(zipfile.ZipFile(sys.argv[1]).read("lodo.exe"))' \
  "$work"/dist/lodo-*-Nordlicht.zip "$run_dir/lodo.exe"
# The default window goes first: the desktop ends with it.
xdotool mousemove 300 400 click 1
wait_for 30 eval '! find_window spajanje' || fail "the default window did not close"
cp "$root/launcher/lodo.sample.ini" "$run_dir/lodo.ini"
printf 'Zadnje_spajanje=2\r\n' >>"$run_dir/lodo.ini"
"$(lodo_wine_loader)" explorer /desktop=lodo,440x460 "$run_dir/lodo.exe" &
wait_for 60 find_window Fernwartung || fail "the branded lodo showed no window"
grab_settled "$work/branded.png" 440x460+0+0 || fail "the branded window did not settle"

mkdir -p "$(dirname "$out")" "$(dirname "$states")"
cp "$work/screenshot.png" "$out"
echo "screenshot: $out"
montage -label 'checked, focused (2)' "$work/1.png" -label 'hot (4)' "$work/2.png" \
  -label 'pressed (5)' "$work/3.png" -tile 3x1 -geometry +6+6 -font /usr/share/wine/fonts/tahoma.ttf -pointsize 12 "$states"
echo "slot states: $states"
mkdir -p "$(dirname "$branding")"
montage -label 'default' "$work/screenshot.png" -label 'scripts/demo/branding' "$work/branded.png" \
  -tile 2x1 -geometry +6+6 -font /usr/share/wine/fonts/tahoma.ttf -pointsize 12 "$branding"
echo "branding: $branding"
