# Sourced by the test and run scripts: a private Wine environment under the
# build folder (a themed prefix with Tahoma, a classic-style prefix), an X
# display, and persistent wineservers. lodo_wine_stop undoes all of it.
# A set-up that cannot give the programs their display or their face stops
# with a message on stderr and a non-zero status, instead of running them on
# a fallback.

source "$(dirname "${BASH_SOURCE[0]}")/helpers.sh"

lodo_wine_fail() { echo "wine-env: $*" >&2; }

lodo_wine_loader() {
  for l in /usr/lib/wine/wine64 /usr/bin/wine64 /usr/bin/wine; do
    [ -x "$l" ] && { echo "$l"; return 0; }
  done
  lodo_wine_fail "no Wine loader found (scripts/setup.sh installs it)"
  return 1
}

lodo_wineserver() {
  for s in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver /usr/bin/wineserver; do
    [ -x "$s" ] && { echo "$s"; return 0; }
  done
  lodo_wine_fail "no wineserver found (scripts/setup.sh installs it)"
  return 1
}

# The faces the programs are drawn with, from Debian's fonts-wine. Without
# them in the prefix Wine substitutes another face without a word.
# Tests point LODO_FONTS_DIR at other folders.
lodo_fonts=(tahoma.ttf tahomabd.ttf)
lodo_fonts_dir() { echo "${LODO_FONTS_DIR:-/usr/share/wine/fonts}"; }

lodo_fonts_present() {
  local dir f
  dir=$(lodo_fonts_dir)
  for f in "${lodo_fonts[@]}"; do
    [ -s "$dir/$f" ] && continue
    lodo_wine_fail "Tahoma is missing: there is no $dir/$f (Debian's fonts-wine, installed by scripts/setup.sh)"
    return 1
  done
}

# lodo_prefix_fonts PREFIX: copies Tahoma into the prefix unless the same
# files are there already, and checks that they landed.
lodo_prefix_fonts() {
  local fonts="$1/drive_c/windows/Fonts" dir f
  dir=$(lodo_fonts_dir)
  for f in "${lodo_fonts[@]}"; do
    cmp -s "$dir/$f" "$fonts/$f" && continue
    { mkdir -p "$fonts" && cp "$dir/$f" "$fonts/$f"; } 2>/dev/null
    cmp -s "$dir/$f" "$fonts/$f" && continue
    lodo_wine_fail "Tahoma did not land in the prefix: $fonts/$f is not a copy of $dir/$f"
    return 1
  done
}

# lodo_prefix_init DIR classic|themed
lodo_prefix_init() {
  local prefix=$1 style=$2
  local stamp="$prefix/.lodo-ready" loader server
  # Before a new prefix is made: without the faces it would be of no use.
  lodo_fonts_present || return 1
  if [ -f "$stamp" ]; then
    # Fonts deleted from a prepared prefix come back.
    lodo_prefix_fonts "$prefix" || return 1
    # A classic prefix must stay classic: a switch left behind by an
    # interrupted run (or a registry write lost while the prefix was being
    # created) is put right here.
    if [ "$style" = classic ] && ! grep -q '"ThemeActive"="0"' "$prefix/user.reg" 2>/dev/null; then
      lodo_prefix_classic "$prefix" || return 1
    fi
    return 0
  fi
  loader=$(lodo_wine_loader) && server=$(lodo_wineserver) || return 1
  mkdir -p "$prefix" || return 1
  WINEPREFIX="$prefix" "$loader" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" "$server" -w
  [ -f "$prefix/system.reg" ] || { lodo_wine_fail "Wine did not create the prefix $prefix"; return 1; }
  lodo_prefix_fonts "$prefix" || return 1
  if [ "$style" = classic ]; then lodo_prefix_classic "$prefix" || return 1; fi
  touch "$stamp"
}

# lodo_install_prefix NAME: makes WINEPREFIX a themed prefix of that name
# beside the test prefixes, to install into: an install writes shortcuts and
# registry keys, so its user folders are real folders (a new prefix links the
# Windows desktop to the Unix home folder), and Wine adds no menu entries to
# the host's desktop.
lodo_install_prefix() {
  export WINEPREFIX
  WINEPREFIX="$(dirname "$LODO_THEMED_PREFIX")/$1"
  lodo_prefix_init "$WINEPREFIX" themed
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"
}

# Switches the visual style of a prefix off (and waits until it is written).
lodo_prefix_classic() {
  local prefix=$1 loader server
  loader=$(lodo_wine_loader) && server=$(lodo_wineserver) || return 1
  WINEPREFIX="$prefix" "$loader" reg add \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1
  WINEPREFIX="$prefix" "$server" -w
}

# lodo_display_start LOG: a private Xvfb display, exported as DISPLAY, with
# its process id in LODO_XVFB_PID and its output in LOG. Tests set LODO_XVFB
# to a stand-in server and LODO_XVFB_WAIT to the seconds it is given.
lodo_display_start() {
  local log=$1 xvfb=${LODO_XVFB:-Xvfb} limit=${LODO_XVFB_WAIT:-20} n=91 attempt status
  LODO_XVFB_PID=""
  # A server that lost the race for a free number to another one ends at
  # once, leaving the other's lock: then the next number.
  for attempt in 1 2 3 4 5; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    "$xvfb" ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
    LODO_XVFB_PID=$!
    lodo_display_n=$n
    wait_for "$limit" eval '! running $LODO_XVFB_PID || lodo_display_up' || true
    if lodo_display_up; then
      export DISPLAY=":$n"
      return 0
    fi
    if running "$LODO_XVFB_PID"; then
      stop_pid "$LODO_XVFB_PID"
      LODO_XVFB_PID=""
      lodo_wine_fail "the X display :$n did not come up: $xvfb opened no socket within $limit s (its output: $log)"
      return 1
    fi
    status=0
    wait "$LODO_XVFB_PID" 2>/dev/null || status=$?
    LODO_XVFB_PID=""
    [ -e "/tmp/.X$n-lock" ] && { n=$((n + 1)); continue; }
    lodo_wine_fail "the X display :$n did not come up: $xvfb ended with status $status"
    sed 's/^/  /' "$log" >&2
    return 1
  done
  lodo_wine_fail "the X display did not come up: other servers took every number tried, up to :$n"
  return 1
}

# The display is ours: our server holds its lock and listens on its socket.
lodo_display_up() {
  local n=$lodo_display_n
  [ -S "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$LODO_XVFB_PID" ] &&
    running "$LODO_XVFB_PID"
}

lodo_display_stop() {
  [ -n "${LODO_XVFB_PID:-}" ] && stop_pid "$LODO_XVFB_PID"
  LODO_XVFB_PID=""
}

# lodo_wine_start BUILD_DIR [use_existing_display]
lodo_wine_start() {
  local build=$1 use_display=${2:-no} server prefix
  export WINEDEBUG=-all
  # No Mono or Gecko installers during prefix creation.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LODO_THEMED_PREFIX="$build/wine/themed"
  export LODO_CLASSIC_PREFIX="$build/wine/classic"
  LODO_XVFB_PID=""
  server=$(lodo_wineserver) || return 1
  if [ "$use_display" = yes ] && [ -n "${DISPLAY:-}" ]; then
    xdpyinfo >/dev/null 2>&1 || { lodo_wine_fail "the X display $DISPLAY does not answer"; return 1; }
  else
    mkdir -p "$build" && lodo_display_start "$build/xvfb.log" || return 1
  fi
  if ! lodo_prefix_init "$LODO_THEMED_PREFIX" themed || ! lodo_prefix_init "$LODO_CLASSIC_PREFIX" classic; then
    lodo_wine_stop
    return 1
  fi
  export WINEPREFIX="$LODO_THEMED_PREFIX"
  for prefix in "$LODO_THEMED_PREFIX" "$LODO_CLASSIC_PREFIX"; do
    WINEPREFIX="$prefix" "$server" -p && continue
    # Status 2: a server of the prefix runs already (one a killed run left);
    # it serves as well, and is ended with the rest.
    [ $? -eq 2 ] && continue
    lodo_wine_fail "no wineserver for $prefix"
    lodo_wine_stop
    return 1
  done
}

# lodo_wineserver_stop PREFIX: ends the prefix's wineserver with every
# program in it, and removes the server's folder under /tmp. Debian's Wine
# names that folder in the prefix's file "wineserver" and makes a new one
# (and the file) when the file is gone.
lodo_wineserver_stop() {
  local prefix=$1 server folder
  # Asked about a prefix that is not there, Wine would make one.
  [ -d "$prefix" ] || return 0
  server=$(lodo_wineserver 2>/dev/null) || return 0
  WINEPREFIX="$prefix" "$server" -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" "$server" -w >/dev/null 2>&1 || true
  [ -f "$prefix/wineserver" ] || return 0
  folder=$(cat "$prefix/wineserver" 2>/dev/null) || true
  case $folder in
    wine-*) [ "${folder//\//}" = "$folder" ] || return 0 ;;
    *) return 0 ;;
  esac
  folder="${TMPDIR:-/tmp}/$folder"
  # A server that is still there keeps its socket in the folder, and only
  # through it can it be reached and ended.
  if compgen -G "$folder/server-*/socket" >/dev/null; then
    lodo_wine_fail "the wineserver of $prefix did not end; its folder $folder stays"
    return 0
  fi
  rm -rf "$folder"
  rm -f "$prefix/wineserver"
}

lodo_wine_stop() {
  [ -n "${LODO_THEMED_PREFIX:-}" ] && lodo_wineserver_stop "$LODO_THEMED_PREFIX"
  [ -n "${LODO_CLASSIC_PREFIX:-}" ] && lodo_wineserver_stop "$LODO_CLASSIC_PREFIX"
  lodo_display_stop
  return 0
}
