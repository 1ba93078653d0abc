#!/usr/bin/env bash
# Builds lodo and starts it under Wine: on your display when there is one,
# otherwise on Xvfb, saving a screenshot to build/mingw/lodo-screenshot.png.
#
# scripts/run.sh --demo shows the whole job on this machine: a TigerVNC
# viewer listening on port 5500 stands for the helpdesk, lodo's presets point
# at it, and a stand-in winvnc.exe hands lodo's "-connect" to x11vnc, which
# shares this display. Click "S P A J A N J E" and the viewer shows the
# session. Without a display it runs on Xvfb, clicks itself and saves
# build/mingw/demo-lodo.png and build/mingw/demo-session.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${LODO_BUILD_DIR:-$root/build/mingw}"
demo=no
case ${1:-} in
  --demo) demo=yes ;;
  "") ;;
  *) echo "usage: scripts/run.sh [--demo]" >&2; exit 2 ;;
esac

"$root/scripts/setup.sh"
cmake --preset mingw -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target lodo

source "$root/scripts/wine-env.sh"
fail() { echo "$*" >&2; exit 1; }

if [ "$demo" = no ]; then
  # The program folder: the exe beside its settings file (the sample when none).
  run_dir="$build/run"
  mkdir -p "$run_dir"
  cp "$build/launcher/lodo.exe" "$run_dir/"
  [ -f "$run_dir/lodo.ini" ] || cp "$root/launcher/lodo.sample.ini" "$run_dir/lodo.ini"
  on_exit lodo_wine_stop
  if [ -n "${DISPLAY:-}" ]; then
    lodo_wine_start "$build" yes
    "$(lodo_wine_loader)" "$run_dir/lodo.exe"
  else
    lodo_wine_start "$build"
    # A virtual desktop draws the title bar; the picture is taken once the
    # window is there and has finished painting.
    "$(lodo_wine_loader)" explorer /desktop=lodo,440x460 "$run_dir/lodo.exe" &
    wait_for 60 find_window spajanje || fail "run: lodo showed no window"
    grab_settled "$build/lodo-screenshot.png" 440x460+0+0 || fail "run: lodo's window did not settle"
    echo "screenshot: $build/lodo-screenshot.png"
  fi
  exit 0
fi

# --- the demo ---
port=5500
python3 -c "import socket; socket.socket().bind(('', $port))" 2>/dev/null ||
  { echo "demo: port $port is in use; is a viewer already listening?" >&2; exit 1; }

# The client's program folder: lodo, the demo presets, the stand-in server.
demo_dir="$build/demo"
rm -rf "$demo_dir"
mkdir -p "$demo_dir"
cp "$build/launcher/lodo.exe" "$demo_dir/"
cp "$root/scripts/demo/lodo.ini" "$demo_dir/lodo.ini"
cp "$root/scripts/demo/winvnc.sh" "$demo_dir/winvnc.exe"
# Wine's WinExec starts a Unix script only when it is executable.
chmod +x "$demo_dir/winvnc.exe"

viewer_pid="" lodo_pid="" backdrop_pid=""
demo_stop() {
  [ -n "$lodo_pid" ] && stop_pid "$lodo_pid"
  # The server before the display it shares.
  [ -f "$demo_dir/winvnc.pid" ] && stop_pid "$(cat "$demo_dir/winvnc.pid")"
  [ -n "$viewer_pid" ] && stop_pid "$viewer_pid"
  [ -n "$backdrop_pid" ] && stop_pid "$backdrop_pid"
  lodo_wine_stop
}
on_exit demo_stop

if [ -n "${DISPLAY:-}" ]; then
  lodo_wine_start "$build" yes
  xtigervncviewer -listen "$port" &
  viewer_pid=$!
  echo "demo: the helpdesk's viewer listens on port $port; pick a preset in lodo and click S P A J A N J E"
  "$(lodo_wine_loader)" "$demo_dir/lodo.exe"
  if [ -f "$demo_dir/winvnc.pid" ]; then
    echo "demo: the session runs in the viewer's window; close it to end the demo"
    wait "$viewer_pid" || true
  fi
  viewer_pid=""
  exit 0
fi

lodo_wine_start "$build"
# A backdrop, so the shared desktop shows something besides the viewer.
# ImageMagick's default face may not be installed; Tahoma is.
convert -size 1280x1024 gradient:'#1f5f3a-#0b2415' -font /usr/share/wine/fonts/tahoma.ttf -fill white -pointsize 30 \
  -annotate +40+70 "The client's desktop: Xvfb $DISPLAY, shared by x11vnc" \
  -pointsize 20 -annotate +40+110 "lodo -> winvnc.exe -connect <preset> -> x11vnc -connect -> TigerVNC viewer -listen 5500" \
  "$demo_dir/backdrop.png"
# Shown as a window under everything else: there is no window manager to set a wallpaper.
display -geometry +0+0 "$demo_dir/backdrop.png" &
backdrop_pid=$!
xtigervncviewer -listen "$port" -geometry 800x620+460+380 -AlertOnFatalError=0 >"$demo_dir/viewer.log" 2>&1 &
viewer_pid=$!

"$(lodo_wine_loader)" "$demo_dir/lodo.exe" &
lodo_pid=$!
wait_for 30 find_window spajanje || fail "demo: lodo showed no window"
grab_settled "$build/demo-lodo.png" || fail "demo: the screen did not settle"
echo "screenshot: $build/demo-lodo.png"
# The green panel, clicked as a user would.
xdotool mousemove --window "$window" 96 345 click 1
wait_for 20 eval '! running $lodo_pid' || fail "demo: lodo did not close"
lodo_pid=""
wait_for 30 find_window TigerVNC || { cat "$demo_dir/winvnc.log" >&2 || true; fail "demo: no session in the viewer"; }
# The frames have arrived when the viewer's picture holds still.
grab_settled "$build/demo-session.png" || fail "demo: the session did not settle"
echo "screenshot: $build/demo-session.png"
echo "demo: $(grep -m1 'winvnc stand-in' "$demo_dir/winvnc.log")"
