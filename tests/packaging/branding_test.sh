#!/usr/bin/env bash
# A helpdesk's own branding in its client package (scripts/package.sh --client).
#
#   branding_test.sh SOURCE_DIR BUILD_DIR LODO_EXE SERVER_EXE E2E_TESTS bad-inputs|end-to-end
#
# bad-inputs: every kind of bad material is refused with its message, and the
#   output folder stays exactly as it was.
# end-to-end: a folder with branding.ini (UTF-8 without a byte-order mark),
#   a 300 x 120 logo.png with transparency and an icon.png, packaged and
#   signed twice: the same bytes, valid signatures; the zip's lodo.exe run
#   under Wine shows the helpdesk's
#   texts, logo, icon and words (tests/e2e/BrandingTest.cpp), and the
#   installer names the helpdesk.
set -euo pipefail
root=$1 build=$2 exe=$3 server=$4 e2e=$5 mode=$6
: "${DISPLAY:?run through scripts/test.sh}" "${LODO_THEMED_PREFIX:?run through scripts/test.sh}"
source "$root/scripts/wine-env.sh"
loader=$(lodo_wine_loader)

fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "$PWD/branding.XXXXXX")
cleanup() {
  [ -z "${install_dir:-}" ] || rm -rf "$install_dir"
  if [ -n "${WINEPREFIX:-}" ] && [ "$WINEPREFIX" != "$LODO_THEMED_PREFIX" ]; then
    "$loader" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo' /f >/dev/null 2>&1 || true
    lodo_wineserver_stop "$WINEPREFIX"
  fi
  [ -n "${LODO_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

win_path() { printf 'Z:%s' "${1//\//\\}"; }
package() { "$root/scripts/package.sh" --exe "$exe" --build "$build" "$@"; }

# new_client DIR: a helpdesk's folder with its server and settings.
new_client() {
  rm -rf "$1"
  mkdir -p "$1/doc"
  cp "$server" "$1/winvnc.exe"
  printf '[Spajanja]\r\nSp1_naziv=Helpdesk\r\nSp1_adresa=127.0.0.1::5500\r\n' >"$1/lodo.ini"
  echo "server notes" >"$1/doc/notes.txt"
}

# The test's logo: a red rounded box 10 pixels in from each edge of a
# transparent 300 x 120 picture, with white letters (BrandingTest.cpp knows it).
make_logo() {
  convert -size 300x120 xc:none -fill '#c03030' -draw 'roundrectangle 10,10 290,110 30,30' \
    -fill white -font /usr/share/wine/fonts/tahomabd.ttf -pointsize 48 -draw "text 40,80 'Help'" "$1"
}

# refuse CASE FILES MESSAGES: the helpdesk's folder gets what the shell
# command FILES makes; package.sh must stop with exactly MESSAGES (extended
# regular expressions, one a line) and leave the output folder as it was.
refuse() {
  local case=$1 files=$2 expect=$3 client="$work/Helpdesk" rc=0
  new_client "$client"
  (cd "$client" && eval "$files")
  package --client "$client" --out "$work/dist" >"$work/log" 2>&1 || rc=$?
  [ $rc -ne 0 ] || fail "$case: package.sh succeeded"
  while IFS= read -r line; do
    grep -qE -- "^package: .*$line" "$work/log" || { cat "$work/log" >&2; fail "$case: no message like: $line"; }
  done <<<"$expect"
  [ "$(grep -v '^package: note: ' "$work/log" | grep -c '^package: ')" -eq "$(wc -l <<<"$expect")" ] ||
    { cat "$work/log" >&2; fail "$case: other messages"; }
  snapshot >"$work/after"
  cmp -s "$work/before" "$work/after" || { diff "$work/before" "$work/after" >&2; fail "$case: the output changed"; }
  echo "refused: $case"
}

snapshot() { (cd "$work/dist" && ls -lA --time-style=full-iso . && sha256sum ./*); }

bad_inputs() {
  # An output folder with packages in it already: it must not change.
  new_client "$work/Helpdesk"
  package --client "$work/Helpdesk" --out "$work/dist" >/dev/null 2>&1 || fail "the plain client package"
  snapshot >"$work/before"
  local long
  long=$(printf 'W%.0s' $(seq 60))

  refuse "unknown key and section" "printf '[Branding]\nName=Help\nTittle=x\n[Brand]\n' >branding.ini" \
    'branding.ini line 3: unknown key Tittle \(did you mean Title\?\)
branding.ini line 4: unknown section \[Brand\]'
  refuse "key before the section" "printf 'Title=x\n[Branding]\n' >branding.ini" \
    'branding.ini line 1: Title comes before \[Branding\]'
  refuse "line break" "printf '[Branding]\r\nLine2=a\rb\r\n' >branding.ini" \
    'branding.ini line 2: Line2 holds a line break \(U\+000D\)'
  refuse "Unicode line break" "printf '[Branding]\nLine3=a\xe2\x80\xa8b\n' >branding.ini" \
    'branding.ini line 2: Line3 holds a line break \(U\+2028\)'
  refuse "control character" "printf '[Branding]\nName=a\tb\n' >branding.ini" \
    'branding.ini line 2: Name holds a control character \(U\+0009\)'
  refuse "not UTF-8 or UTF-16" "printf '[Branding]\nName=Pomo\xe6\n' >branding.ini" \
    'branding.ini line 2: byte 0xE6 is not UTF-8'
  refuse "empty word" "printf '[Branding]\nConnect=\n' >branding.ini" \
    'branding.ini line 2: Connect is empty; leave the key out to keep the default'
  refuse "key twice" "printf '[Branding]\nExit=A\nexit=B\n' >branding.ini" \
    'branding.ini line 3: Exit is given twice \(first on line 2\)'
  refuse "logo no picture" "echo not a picture >logo.png" 'logo.png is not a readable picture'
  refuse "icon no picture" "echo not a picture >icon.ico" 'icon.ico is not a readable picture'
  refuse "two logos" "make_logo logo.png && cp logo.png LOGO.bmp" 'holds both logo.png and LOGO.bmp; keep one'
  # Every text too wide for its place, from a UTF-16 file, in one run.
  refuse "too wide" "printf '[Branding]\nTitle=$long\nName=$long\nLine1=$long\nLine2=a\nLine3=$long\nManualEntry=Ručni unos adrese\nHostLabel=Ime računala:\nConnect=Povezivanje s podrškom\nExit=Izlaz iz programa\n' | iconv -f utf-8 -t utf-16 >branding.ini" \
    'line 2: Title is [0-9]+ pixels wide at 96 dpi in Tahoma [0-9]+ px bold, but at most [0-9]+ fit in the title bar
line 3: Name is [0-9]+ pixels wide at 96 dpi in Tahoma 15 px bold, but at most 216 fit before the logo
line 4: Line1 is [0-9]+ pixels wide at 96 dpi in Tahoma 11 px, but at most 185 fit inside the dotted frame
line 6: Line3 is [0-9]+ pixels wide .* at most 185 fit inside the dotted frame
line 7: ManualEntry is [0-9]+ pixels wide at 96 dpi in Tahoma 13 px, but at most [0-9]+ fit beside the check box
line 8: HostLabel is [0-9]+ pixels wide at 96 dpi in Tahoma 13 px, but at most 68 fit before the host-name field
line 9: Connect is [0-9]+ pixels wide \(spaced out letter by letter\) at 96 dpi in Tahoma 15 px bold, but at most 188 fit on the green panel
line 10: Exit is [0-9]+ pixels wide \(spaced out letter by letter\) .* at most 190 fit on the red panel'

  # The same keys, short enough, in UTF-8 with a byte-order mark: accepted.
  new_client "$work/Helpdesk"
  printf '\xef\xbb\xbf[Branding]\nTitle=Pomoć\nName=Pomoć\nLine1=a\nLine3=\nManualEntry=Ručno\nHostLabel=Хост:\nConnect=Spoji\nExit=Izađi\n' \
    >"$work/Helpdesk/branding.ini"
  package --client "$work/Helpdesk" --out "$work/fits" >"$work/log" 2>&1 || { cat "$work/log" >&2; fail "fitting texts refused"; }
  echo "accepted: texts that fit"
}

# holds FILE TEXT: FILE has TEXT in UTF-8 or in UTF-16 (as resources hold it).
holds() {
  python3 -c 'import sys; d, t = open(sys.argv[1], "rb").read(), sys.argv[2]
sys.exit(0 if t.encode() in d or t.encode("utf-16-le") in d else 1)' "$1" "$2"
}

end_to_end() {
  local client="$work/Pomoć Split" title="Pomoć Split – podrška"
  new_client "$client"
  # UTF-8 without a byte-order mark, LF line ends, with a comment.
  cat >"$client/branding.ini" <<EOF
; the helpdesk's own look
[Branding]
Title=$title
Name=Pomoć Split d.o.o.
Line1=Đure Šporera 12, Čakovec
Line2=Müllerstraße 3, Žminj
Line3=Tel. 021 555 000 Ελλάδα
Company=Помоћ Сплит д.о.о.
ManualEntry=Upiši sam
HostLabel=Računalo:
Connect=Spoji
Exit=Izađi
EOF
  make_logo "$client/logo.png"
  convert -size 64x64 xc:none -fill '#3060c0' -draw 'circle 32,32 32,4' "$client/icon.png"
  identify -format '%wx%h %A\n' "$client/logo.png" | grep -qx '300x120 True' || fail "the test's logo has no alpha channel"

  # Both runs sign, with a throwaway code-signing certificate.
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 30 \
    -subj "/CN=Pomoc Split test" -addext extendedKeyUsage=codeSigning -addext keyUsage=critical,digitalSignature \
    2>/dev/null
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/helpdesk.pfx" -passout pass:test
  export LODO_SIGN_PASSWORD=test
  package --sign "$work/helpdesk.pfx" --client "$client" --out "$work/a" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; fail "package.sh"; }
  (cd /tmp && TZ=Asia/Tokyo "$root/scripts/package.sh" --exe "$exe" --build "$build" --sign "$work/helpdesk.pfx" \
    --client "$client" --out "$work/b" >/dev/null 2>&1) || fail "the second package.sh"
  local version zip setup
  version=$(sed -n 's/^project(lodo VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  zip="lodo-$version-Pomo-Split.zip" setup="lodo-$version-Pomo-Split-setup.exe"
  for f in "$zip" "$setup" SHA256SUMS "lodo-$version-win64.zip"; do
    [ -f "$work/a/$f" ] || fail "no $f in $(ls "$work/a")"
    cmp -s "$work/a/$f" "$work/b/$f" || fail "$f differs between two runs"
  done
  (cd "$work/a" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
  grep -q " $zip\$" "$work/a/SHA256SUMS" && grep -q " $setup\$" "$work/a/SHA256SUMS" ||
    fail "SHA256SUMS lacks the client's packages"
  "$root/scripts/package.sh" --verify "$work/cert.pem" --out "$work/a" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log" >&2; fail "the signatures do not verify"; }
  grep -q "^$zip: lodo.exe: VALID signature" "$work/verify.log" && grep -q "^$setup: VALID signature" "$work/verify.log" ||
    { cat "$work/verify.log" >&2; fail "the branded lodo.exe or the installer is not signed"; }

  # The ready folder; nothing in it names the default operator.
  mkdir "$work/folder"
  python3 - "$work/a/$zip" "$work/folder" "$work/a/lodo-$version-win64.zip" "$work/plain.exe" <<'PY' || fail "the client zip"
import sys, zipfile
path, folder, plain, plain_exe = sys.argv[1:]
with zipfile.ZipFile(path) as z:
    names = z.namelist()
    expected = ["lodo.exe", "lodo.ini", "README.txt", "doc/notes.txt", "winvnc.exe"]
    if names != expected:
        sys.exit(f"entries {names}, not {expected}")
    z.extractall(folder)
with zipfile.ZipFile(plain) as z, open(plain_exe, "wb") as f:
    f.write(z.read("lodo.exe"))
PY
  holds "$work/plain.exe" "Orvane Ultravnc spajanje" || fail "the plain release zip's lodo.exe is branded"
  local readme="$work/folder/README.txt"
  for word in '"S p o j i"' '"Spoji"' '"I z a đ i"' '"Upiši sam"' '"Računalo"' "$zip"; do
    grep -qF -- "$word" "$readme" || fail "README.txt does not say $word"
  done
  for f in "$work/folder/lodo.exe" "$readme"; do
    ! holds "$f" Orvane || fail "$(basename "$f") names the default operator"
  done
  holds "$work/folder/lodo.exe" 'name="lodo"' || fail "the manifest's identity is not the helpdesk's"
  holds "$work/a/$setup" "Помоћ Сплит д.о.о." || fail "the installer's version resource does not name the helpdesk"
  ! holds "$work/a/$setup" Orvane || fail "the installer names the default operator"

  # A prefix of its own; Wine's Tahoma lacks the Greek letters that
  # Windows' has, so DejaVu Sans lends them, as for the measuring.
  lodo_install_prefix branding
  "$(lodo_wineserver)" -p
  "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
    /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1

  echo "running the zip's lodo.exe"
  cat >"$work/expected.txt" < <(sed -n 's/^\([A-Za-z0-9]*\)=/\1=/p' "$client/branding.ini")
  LODO_BRANDED_EXE="$work/folder/lodo.exe" LODO_BRANDED_TEXTS="$work/expected.txt" \
    bash "$root/cmake/wine-run.sh" "$e2e" --gtest_filter='BrandedWindow.*' >"$work/e2e.log" 2>&1 ||
    { cat "$work/e2e.log" >&2; fail "the branded window"; }
  grep -q '\[  PASSED  \] 1 test' "$work/e2e.log" || { cat "$work/e2e.log" >&2; fail "the branded window was not checked"; }

  echo "installing $setup"
  unix_path() { "$loader" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
  win_var() { "$loader" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
  install_dir="$(unix_path "$(win_var LOCALAPPDATA)")/Programs/lodo"
  local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo'
  timeout 60 "$loader" "$work/a/$setup" /S || fail "the installer failed"
  cmp -s "$work/folder/lodo.exe" "$install_dir/lodo.exe" || fail "the installed lodo.exe is not the zip's"
  [ ! -e "$install_dir/branding.ini" ] && [ ! -e "$install_dir/logo.png" ] || fail "the branding material was installed"
  local menu desktop
  menu="$(unix_path "$(win_var APPDATA)")/Microsoft/Windows/Start Menu/Programs/$title.lnk"
  desktop="$(unix_path "$(win_var USERPROFILE)")/Desktop/$title.lnk"
  [ -f "$menu" ] && [ -f "$desktop" ] || fail "no shortcuts named $title"
  # Exported, the entry is UTF-16 text whatever the console's code page.
  "$loader" reg export "$key" "$(win_path "$work/entry.reg")" /y >/dev/null 2>&1 || fail "no uninstall entry"
  iconv -f utf-16 -t utf-8 "$work/entry.reg" | tr -d '\r' >"$work/entry.txt"
  grep -qxF '"Publisher"="Помоћ Сплит д.о.о."' "$work/entry.txt" || fail "the uninstall entry's publisher is not the helpdesk"
  grep -qxF "\"DisplayName\"=\"$title\"" "$work/entry.txt" || fail "the uninstall entry does not carry the title"
  timeout 60 "$loader" "$install_dir/uninstall.exe" /S || fail "the uninstaller failed"
  gone() { [ ! -e "$install_dir" ] && [ ! -e "$menu" ] && [ ! -e "$desktop" ]; }
  wait_for 30 gone || fail "left behind: $(find "$install_dir" "$menu" "$desktop" 2>/dev/null | tr '\n' ' ')"
  echo "branding: reproducible, shown, installed and removed"
}

case $mode in
  bad-inputs) bad_inputs ;;
  end-to-end) end_to_end ;;
  *) fail "unknown mode $mode" ;;
esac
