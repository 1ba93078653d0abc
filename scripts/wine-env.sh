# Sourced by the test and run scripts: a private Wine environment under the
# build folder (a themed prefix with Tahoma, a classic-style prefix), an X
# display, and persistent wineservers. lodo_wine_stop undoes all of it.

source "$(dirname "${BASH_SOURCE[0]}")/helpers.sh"

lodo_wine_loader() {
  for l in /usr/lib/wine/wine64 /usr/bin/wine64 /usr/bin/wine; do
    [ -x "$l" ] && { echo "$l"; return; }
  done
  echo "no Wine loader found" >&2
  return 1
}

lodo_wineserver() {
  for s in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver /usr/bin/wineserver; do
    [ -x "$s" ] && { echo "$s"; return; }
  done
  echo "no wineserver found" >&2
  return 1
}

# lodo_prefix_init DIR classic|themed
lodo_prefix_init() {
  local prefix=$1 style=$2
  local stamp="$prefix/.lodo-ready"
  if [ -f "$stamp" ]; then
    # A classic prefix must stay classic: a switch left behind by an
    # interrupted run (or a registry write lost while the prefix was being
    # created) is put right here.
    if [ "$style" = classic ] && ! grep -q '"ThemeActive"="0"' "$prefix/user.reg" 2>/dev/null; then
      lodo_prefix_classic "$prefix"
    fi
    return 0
  fi
  mkdir -p "$prefix"
  WINEPREFIX="$prefix" "$(lodo_wine_loader)" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" "$(lodo_wineserver)" -w
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/tahoma*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  [ "$style" = classic ] && lodo_prefix_classic "$prefix"
  touch "$stamp"
}

# Switches the visual style of a prefix off (and waits until it is written).
lodo_prefix_classic() {
  local prefix=$1
  WINEPREFIX="$prefix" "$(lodo_wine_loader)" reg add \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1
  WINEPREFIX="$prefix" "$(lodo_wineserver)" -w
}

# lodo_wine_start BUILD_DIR [use_existing_display]
lodo_wine_start() {
  local build=$1 use_display=${2:-no}
  export WINEDEBUG=-all
  # No Mono or Gecko installers during prefix creation.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LODO_THEMED_PREFIX="$build/wine/themed"
  export LODO_CLASSIC_PREFIX="$build/wine/classic"
  LODO_XVFB_PID=""
  if [ "$use_display" != yes ] || [ -z "${DISPLAY:-}" ]; then
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    LODO_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.05
    done
  fi
  lodo_prefix_init "$LODO_THEMED_PREFIX" themed
  lodo_prefix_init "$LODO_CLASSIC_PREFIX" classic
  export WINEPREFIX="$LODO_THEMED_PREFIX"
  WINEPREFIX="$LODO_THEMED_PREFIX" "$(lodo_wineserver)" -p
  WINEPREFIX="$LODO_CLASSIC_PREFIX" "$(lodo_wineserver)" -p
}

lodo_wine_stop() {
  local server
  server=$(lodo_wineserver 2>/dev/null) || true
  if [ -n "$server" ]; then
    [ -n "${LODO_THEMED_PREFIX:-}" ] && WINEPREFIX="$LODO_THEMED_PREFIX" "$server" -k >/dev/null 2>&1 || true
    [ -n "${LODO_CLASSIC_PREFIX:-}" ] && WINEPREFIX="$LODO_CLASSIC_PREFIX" "$server" -k >/dev/null 2>&1 || true
  fi
  if [ -n "${LODO_XVFB_PID:-}" ]; then
    kill "$LODO_XVFB_PID" >/dev/null 2>&1 || true
    wait "$LODO_XVFB_PID" 2>/dev/null || true
  fi
}
