#!/usr/bin/env bash
# The helpdesk's installer end to end: built by scripts/package.sh --client
# from a prepared folder, installed silently under Wine into a prefix of its
# own, the installed lodo started and closed, then uninstalled.
#
#   installer_test.sh SOURCE_DIR LODO_EXE SERVER_EXE
set -euo pipefail
root=$1 exe=$2 server=$3
: "${DISPLAY:?run through scripts/test.sh}" "${LODO_THEMED_PREFIX:?run through scripts/test.sh}"
source "$root/scripts/wine-env.sh"
loader=$(lodo_wine_loader)
wineserver=$(lodo_wineserver)

fail() { echo "FAIL: $*" >&2; exit 1; }

lodo_install_prefix installer
"$wineserver" -p

work=$(mktemp -d "$PWD/installer.XXXXXX")
lodo_pid=""
cleanup() {
  [ -n "$lodo_pid" ] && kill "$lodo_pid" 2>/dev/null
  # Whatever a failed run left behind goes, so the next run starts clean.
  [ -n "${install_dir:-}" ] && rm -rf "$install_dir"
  [ -n "${menu_link:-}" ] && rm -f "$menu_link" "$desktop_link"
  "$loader" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo' /f >/dev/null 2>&1 || true
  lodo_wineserver_stop "$WINEPREFIX"
  # LODO_KEEP=1 keeps the work folder for a look after a failure.
  [ -n "${LODO_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

unix_path() { "$loader" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
win_var() { "$loader" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
install_dir="$(unix_path "$(win_var LOCALAPPDATA)")/Programs/lodo"
menu_link="$(unix_path "$(win_var APPDATA)")/Microsoft/Windows/Start Menu/Programs/lodo.lnk"
desktop_link="$(unix_path "$(win_var USERPROFILE)")/Desktop/lodo.lnk"
rm -rf "$install_dir"

# The helpdesk's folder: its server (a recording stand-in), its settings and
# a file in a subfolder, in a folder whose name has a space.
client="$work/Helpdesk Zagreb"
mkdir -p "$client/doc"
cp "$server" "$client/winvnc.exe"
printf '[Spajanja]\r\nSp1_naziv=Helpdesk\r\nSp1_adresa=127.0.0.1::5500\r\n' >"$client/lodo.ini"
echo "server notes" >"$client/doc/notes.txt"

"$root/scripts/package.sh" --exe "$exe" --out "$work/dist" --client "$client" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "package.sh --client"; }
setup=$(ls "$work"/dist/lodo-*-Helpdesk-Zagreb-setup.exe) || fail "no installer in $(ls "$work/dist")"
grep -q "$(basename "$setup")" "$work/dist/SHA256SUMS" || fail "the installer is not in SHA256SUMS"
(cd "$work/dist" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"

echo "installing $(basename "$setup") silently"
timeout 60 "$loader" "$setup" /S || fail "the installer failed"
for f in lodo.exe winvnc.exe lodo.ini doc/notes.txt uninstall.exe; do
  [ -f "$install_dir/$f" ] || fail "not installed: $f"
done
cmp -s "$exe" "$install_dir/lodo.exe" || fail "the installed lodo.exe differs"
cmp -s "$client/lodo.ini" "$install_dir/lodo.ini" || fail "the installed lodo.ini differs"
[ -f "$menu_link" ] || fail "no Start-menu shortcut at $menu_link"
[ -f "$desktop_link" ] || fail "no desktop shortcut at $desktop_link"
for link in "$menu_link" "$desktop_link"; do
  grep -qaF 'Programs\lodo\lodo.exe' "$link" || fail "$link does not start the installed lodo.exe"
done
"$loader" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo' /v UninstallString >/dev/null 2>&1 ||
  fail "no uninstall entry"

echo "starting the installed lodo"
"$loader" "$install_dir/lodo.exe" &
lodo_pid=$!
find_window() { window=$(xdotool search --name "spajanje" 2>/dev/null | head -1) && [ -n "$window" ]; }
wait_for 20 find_window || fail "the installed lodo showed no window"
sleep 0.5
# The red exit panel closes it; it then writes its state into its folder.
xdotool mousemove --window "$window" 300 345 click 1
wait_for 20 eval '! running $lodo_pid' || fail "lodo did not close on I Z L A Z"
wait "$lodo_pid" || true
lodo_pid=""
grep -q '^Rucni_unos=0' "$install_dir/lodo.ini" || fail "lodo could not write its settings in the install folder"

echo "installing again over it"
# The helpdesk's presets are replaced, what the user's runs wrote is kept.
printf 'Zadnje_spajanje=1\r\nRucni_unos_adresa=typed.example\r\n' >>"$install_dir/lodo.ini"
timeout 60 "$loader" "$setup" /S || fail "the second install failed"
for line in 'Sp1_adresa=127.0.0.1::5500' 'Rucni_unos=0' 'Zadnje_spajanje=1' 'Rucni_unos_adresa=typed.example'; do
  tr -d '\r' <"$install_dir/lodo.ini" | grep -qxF "$line" || fail "after the reinstall lodo.ini lacks $line"
done

echo "uninstalling"
# The uninstaller copies itself away and returns at once: wait for its work.
timeout 60 "$loader" "$install_dir/uninstall.exe" /S || fail "the uninstaller failed"
gone() { [ ! -e "$install_dir" ] && [ ! -e "$menu_link" ] && [ ! -e "$desktop_link" ]; }
wait_for 30 gone || fail "left behind: $(find "$install_dir" "$menu_link" "$desktop_link" 2>/dev/null | tr '\n' ' ')"
uninstall_entry() { "$loader" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo' >/dev/null 2>&1; }
wait_for 10 eval '! uninstall_entry' || fail "the uninstall entry is still there"
echo "installer: installed, ran, uninstalled"
