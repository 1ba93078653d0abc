#!/usr/bin/env bash
# The Wine set-up (scripts/wine-env.sh) refuses to go on without its X display
# or without Tahoma: a message on stderr, a non-zero status, nothing left
# running; and a script that fails leaves no server, display or folder behind.
# Stand-in X servers, font folders and prefixes take the place of real ones.
#
#   wine_env_test.sh SOURCE_DIR display|fonts|stop
set -euo pipefail
root=$1 case=$2
source "$root/scripts/wine-env.sh"

work=$(mktemp -d "$PWD/wine-env.XXXXXX")
cleanup() {
  local prefix
  for prefix in "$work"/build/wine/*; do
    [ -d "$prefix" ] && lodo_wineserver_stop "$prefix"
  done
  lodo_display_stop
  # What the stand-in for the other server left.
  if [ -f "$work/taken" ]; then
    rm -f "/tmp/.X$(cat "$work/taken")-lock" "/tmp/.X11-unix/X$(cat "$work/taken")"
  fi
  rm -rf "$work"
}
on_exit cleanup
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/err" ] && { echo "--- stderr" >&2; cat "$work/err" >&2; }
  exit 1
}
# expect_error TEXT COMMAND...: the command fails and says TEXT on stderr.
expect_error() {
  local text=$1
  shift
  "$@" 2>"$work/err" && fail "$* succeeded"
  grep -qF -- "$text" "$work/err" || fail "$* did not say: $text"
  : >"$work/err"
}
# display_gone N: no server, lock or socket of display :N is left.
display_gone() { [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ]; }
# stand_in NAME BODY: an executable script standing in for the X server.
stand_in() {
  printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/$1"
  chmod +x "$work/$1"
  echo "$work/$1"
}

display_case() {
  local outer=${DISPLAY:-} n pid
  echo "a real Xvfb comes up, answers and goes"
  lodo_display_start "$work/xvfb.log" || fail "Xvfb did not come up"
  [ "$DISPLAY" != "$outer" ] || fail "DISPLAY was not set to the new display"
  xdpyinfo >/dev/null 2>&1 || fail "the display $DISPLAY does not answer"
  n=${DISPLAY#:}
  pid=$LODO_XVFB_PID
  lodo_display_stop
  ! running "$pid" || fail "Xvfb is still running"
  wait_for 5 display_gone "$n" || fail "display :$n left its lock or socket"
  export DISPLAY=$outer

  echo "a server that ends at once"
  LODO_XVFB=$(stand_in ends 'echo "cannot open the screen" >&2; exit 3') \
    expect_error "did not come up: $work/ends ended with status 3" lodo_display_start "$work/xvfb.log"
  [ "${DISPLAY:-}" = "$outer" ] || fail "DISPLAY changed to a display that is not there"
  [ -z "$LODO_XVFB_PID" ] || fail "a server that ended is still recorded"

  echo "a server that never opens its socket is ended"
  LODO_XVFB=$(stand_in hangs "echo \$\$ >'$work/hangs.pid'; exec sleep 300") LODO_XVFB_WAIT=2 \
    expect_error "opened no socket within 2 s" lodo_display_start "$work/xvfb.log"
  pid=$(cat "$work/hangs.pid")
  ! running "$pid" || fail "the hanging server $pid was left running"

  echo "the whole set-up stops before it makes a prefix"
  LODO_XVFB="$work/ends" expect_error "did not come up" lodo_wine_start "$work/build"
  [ ! -e "$work/build/wine" ] || fail "a prefix was made without a display"

  echo "a number taken by another server while starting: the next one"
  # The first start finds the other server on its number and is still ending
  # (as Xvfb does) while the other's lock and socket are there; the second
  # start is the real one.
  LODO_XVFB=$(stand_in races "if [ ! -e '$work/taken' ]; then
  n=\${1#:}
  echo \$n >'$work/taken'
  printf '%10d\n' $$ >/tmp/.X\$n-lock
  python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' /tmp/.X11-unix/X\$n
  sleep 1
  exit 1
fi
exec Xvfb \"\$@\"") lodo_display_start "$work/xvfb.log" || fail "no display after losing the race once"
  n=$(cat "$work/taken")
  [ "$DISPLAY" != ":$n" ] || fail "DISPLAY names the other server's display"
  xdpyinfo >/dev/null 2>&1 || fail "the display $DISPLAY does not answer"
  lodo_display_stop
  export DISPLAY=$outer
}

# A prefix as a finished set-up leaves it, without starting Wine.
prepared_prefix() {
  mkdir -p "$1/drive_c/windows"
  touch "$1/.lodo-ready"
}

fonts=/usr/share/wine/fonts
# fonts_landed PREFIX: the prefix holds Debian's Tahoma, byte for byte.
fonts_landed() {
  local f
  for f in tahoma.ttf tahomabd.ttf; do
    cmp -s "$fonts/$f" "$1/drive_c/windows/Fonts/$f" || return 1
  done
}

fonts_case() {
  local n
  mkdir -p "$work/empty"

  echo "no Tahoma to copy: no prefix is made"
  LODO_FONTS_DIR="$work/empty" expect_error "Tahoma is missing: there is no $work/empty/tahoma.ttf" \
    lodo_prefix_init "$work/new" themed
  [ ! -e "$work/new" ] || fail "a prefix was made without Tahoma"
  mkdir -p "$work/regular"
  cp "$fonts/tahoma.ttf" "$work/regular/"
  LODO_FONTS_DIR="$work/regular" expect_error "Tahoma is missing: there is no $work/regular/tahomabd.ttf" \
    lodo_prefix_init "$work/new" themed

  echo "a prepared prefix whose fonts are gone or damaged gets them again"
  prepared_prefix "$work/ready"
  lodo_prefix_init "$work/ready" themed || fail "the set-up failed on a prefix without fonts"
  fonts_landed "$work/ready" || fail "the missing fonts were not put back"
  head -c 1000 "$fonts/tahoma.ttf" >"$work/ready/drive_c/windows/Fonts/tahoma.ttf"
  rm "$work/ready/drive_c/windows/Fonts/tahomabd.ttf"
  lodo_prefix_init "$work/ready" themed || fail "the set-up failed on damaged fonts"
  fonts_landed "$work/ready" || fail "the damaged fonts were not repaired"

  echo "fonts that cannot land in the prefix"
  prepared_prefix "$work/blocked"
  # A file where the fonts folder belongs.
  touch "$work/blocked/drive_c/windows/Fonts"
  expect_error "Tahoma did not land in the prefix: $work/blocked/drive_c/windows/Fonts/tahoma.ttf" \
    lodo_prefix_init "$work/blocked" themed

  echo "the whole set-up stops and ends its display"
  LODO_FONTS_DIR="$work/empty" expect_error "Tahoma is missing" lodo_wine_start "$work/build"
  n=${DISPLAY#:}
  [ -z "$LODO_XVFB_PID" ] || fail "the display's server is still recorded"
  wait_for 5 display_gone "$n" || fail "the set-up left display :$n running"
  [ ! -e "$work/build/wine/themed" ] || fail "a prefix was made without Tahoma"
}

# Servers of the prefixes under FOLDER that are still running.
servers_under() {
  local pid
  for pid in $(pgrep -f wineserver); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -q "^WINEPREFIX=$1/" && echo "$pid"
  done
  return 0
}

stop_case() {
  local build="$work/build" style folder n pid status
  for style in themed classic; do
    prepared_prefix "$build/wine/$style"
  done
  printf 'WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\ThemeManager]\n"ThemeActive"="0"\n' \
    >"$build/wine/classic/user.reg"
  # A script that fails at once after the set-up, as the demo did when its
  # backdrop could not be drawn.
  cat >"$work/fails.sh" <<SCRIPT
set -euo pipefail
source "$root/scripts/wine-env.sh"
on_exit lodo_wine_stop
lodo_wine_start "$build"
for style in themed classic; do cat "$build/wine/\$style/wineserver"; echo; done >"$work/folders"
echo "\$DISPLAY" >"$work/display"
false
SCRIPT
  echo "a script that fails right after the set-up leaves nothing behind"
  # Also the server a killed run left, which the set-up uses.
  WINEPREFIX="$build/wine/themed" "$(lodo_wineserver)" -p
  [ -n "$(servers_under "$build")" ] || fail "the left server did not start"
  bash "$work/fails.sh" && fail "the script did not fail"
  [ -s "$work/folders" ] || fail "the set-up did not start the servers"
  [ -z "$(servers_under "$build")" ] || fail "wineservers left running: $(servers_under "$build")"
  while read -r folder; do
    [ ! -e "${TMPDIR:-/tmp}/$folder" ] || fail "the server folder ${TMPDIR:-/tmp}/$folder is left"
  done <"$work/folders"
  n=$(tr -d : <"$work/display")
  wait_for 5 display_gone "$n" || fail "display :$n is left"

  echo "a script ended by a signal cleans up to the end, a second signal notwithstanding"
  cat >"$work/killed.sh" <<SCRIPT
source "$root/scripts/helpers.sh"
on_exit 'kill \$sleeper; touch "$work/cleaning"; sleep 1; touch "$work/cleaned"'
sleep 60 &
sleeper=\$!
touch "$work/started"
wait \$sleeper
SCRIPT
  bash "$work/killed.sh" &
  pid=$!
  wait_for 10 test -e "$work/started" || fail "the script did not start"
  kill -TERM "$pid"
  wait_for 10 test -e "$work/cleaning" || fail "the script did not begin its clean-up"
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  [ $status -eq 143 ] || fail "the script ended with $status, not as terminated"
  [ -e "$work/cleaned" ] || fail "the second signal cut the clean-up short"
}

"${case}_case"
echo "wine-env: $case checks passed"
