#!/usr/bin/env bash
# The demo path end to end: the real lodo.exe under Wine, its connect panel
# clicked, the stand-in winvnc.exe handing "-connect" to the real x11vnc, and
# a listening viewer on 127.0.0.1 that receives the reverse connection and
# reads the server's greeting and the shared desktop's size.
#
#   demo_test.sh SOURCE_DIR LODO_EXE
set -euo pipefail
root=$1 exe=$2
: "${DISPLAY:?run through scripts/test.sh}" "${WINEPREFIX:?run through scripts/test.sh}"
source "$root/scripts/wine-env.sh"
loader=$(lodo_wine_loader)

fail() {
  echo "FAIL: $*" >&2
  for f in "$folder/winvnc.log" "$work/session"; do
    [ -f "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }
  done
  exit 1
}

work=$(mktemp -d "$PWD/demo.XXXXXX")
folder="$work/Program Folder"
listener_pid="" lodo_pid=""
cleanup() {
  [ -n "$lodo_pid" ] && stop_pid "$lodo_pid"
  [ -n "$listener_pid" ] && stop_pid "$listener_pid"
  [ -f "$folder/winvnc.pid" ] && stop_pid "$(cat "$folder/winvnc.pid")"
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$folder"
cp "$exe" "$folder/lodo.exe"
cp "$root/scripts/demo/winvnc.sh" "$folder/winvnc.exe"
chmod +x "$folder/winvnc.exe"

python3 "$root/tests/demo/rfb_listener.py" "$work/port" "$work/session" 40 &
listener_pid=$!
wait_for 10 test -s "$work/port" || fail "the listener did not start"
port=$(cat "$work/port")
printf '[Spajanja]\r\nSp1_naziv=Helpdesk\r\nSp1_adresa=127.0.0.1::%s\r\n[Forma]\r\nZadnje_spajanje=1\r\n' "$port" \
  >"$folder/lodo.ini"

"$loader" "$folder/lodo.exe" &
lodo_pid=$!
wait_for 20 find_window spajanje || fail "lodo showed no window"
sleep 0.5
# The green panel, as a user clicks it: a real pointer click on the display.
xdotool mousemove --window "$window" 96 345 click 1
wait_for 20 eval '! running $lodo_pid' || fail "lodo did not close after the click"
lodo_pid=""
grep -q '^Zadnje_spajanje=1' "$folder/lodo.ini" || fail "lodo did not remember the slot"

wait_for 40 eval '! running $listener_pid' || fail "no session within 40 s"
listener_pid=""
[ -f "$work/session" ] || fail "the listener wrote nothing"
session=$(cat "$work/session")
echo "$session"
grep -qx 'peer=127.0.0.1' <<<"$session" || fail "no reverse connection"
grep -qE '^greeting=RFB 003\.00[0-9]$' <<<"$session" || fail "no RFB greeting"
grep -qx 'security_result=0' <<<"$session" || fail "the handshake did not finish"
# The server shares this very display.
root_size=$(xwininfo -root | awk '/^  Width:/ {w=$2} /^  Height:/ {h=$2} END {print w "x" h}')
grep -qx "desktop=$root_size" <<<"$session" || fail "the shared desktop is not this display ($root_size)"
grep -q -- "-connect 127.0.0.1::$port -> x11vnc -connect_or_exit 127.0.0.1:$port" "$folder/winvnc.log" ||
  fail "the stand-in did not translate the address"
# x11vnc ends by itself when the viewer leaves.
pid=$(cat "$folder/winvnc.pid")
wait_for 20 eval '! running $pid' || fail "x11vnc did not end after the session"
echo "demo: lodo -> winvnc.exe -> x11vnc -> listener on 127.0.0.1:$port"
