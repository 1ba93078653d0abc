#!/usr/bin/env bash
# Builds the release zip dist/lodo-<version>-win64.zip (lodo.exe, a sample
# lodo.ini, README.txt) and dist/SHA256SUMS; with --client DIR also the
# helpdesk's ready folder as a zip and a per-user installer, both carrying
# its winvnc.exe and lodo.ini and a lodo.exe in its own branding.
#
#   scripts/package.sh [--client DIR] [--sign PFX [--timestamp URL]] [--out DIR]
#                      [--build DIR] [--exe FILE]
#   scripts/package.sh --verify [CERT] [--out DIR]
#
#   --client DIR     the helpdesk's folder: winvnc.exe with its files, lodo.ini,
#                    and optionally branding.ini, logo.png or logo.bmp, icon.png
#                    or icon.ico (README.md, "Your own branding")
#   --sign PFX       sign lodo.exe, the installer and its uninstaller (Authenticode,
#                    SHA-256) with the certificate and key in PFX; the password
#                    comes from LODO_SIGN_PASSWORD or the file LODO_SIGN_PASSWORD_FILE
#   --timestamp URL  add an RFC 3161 timestamp from URL (needs the network; the
#                    output then differs from run to run)
#   --verify [CERT]  check the signatures of what is in the output folder, trusting
#                    CERT (PEM or DER) or else the system's certificate authorities
#   --out DIR        where the packages go (default: dist/)
#   --build DIR      build in this configured build folder instead of build/release
#                    (or LODO_RELEASE_BUILD_DIR); it is not configured again
#   --exe FILE       package this lodo.exe instead of building one (for tests); a
#                    branded one is still linked in the build folder
#
# The same commit gives the same zip and installer, byte for byte: the exe
# carries no timestamp, the zip's entries have a fixed order, date and
# attributes, and the signing time is the commit's date. Nothing in the
# output folder changes unless the whole run succeeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "package: $*" >&2
  exit 1
}

client="" out="$root/dist" exe="" pfx="" timestamp="" verify="" trust="" build_dir=""
while [ $# -gt 0 ]; do
  case $1 in
    --client) client=${2:?--client needs a folder}; shift 2 ;;
    --out) out=${2:?--out needs a folder}; shift 2 ;;
    --exe) exe=${2:?--exe needs a file}; shift 2 ;;
    --sign) pfx=${2:?--sign needs a .pfx file}; shift 2 ;;
    --timestamp) timestamp=${2:?--timestamp needs a URL}; shift 2 ;;
    --verify)
      verify=yes
      shift
      if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then trust=$1; shift; fi ;;
    --build) build_dir=${2:?--build needs a folder}; shift 2 ;;
    -h | --help) sed -n '2,30p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "package: unknown argument $1" >&2; exit 2 ;;
  esac
done
if [ -n "$verify" ] && [ -n "$client$pfx$exe$timestamp$build_dir" ]; then
  echo "package: --verify checks what is already in the output folder; run it on its own" >&2
  exit 2
fi
if [ -n "$timestamp" ] && [ -z "$pfx" ]; then
  echo "package: --timestamp goes with --sign" >&2
  exit 2
fi
case $timestamp in
  "" | http://?* | https://?*) ;;
  *) echo "package: --timestamp needs an http:// or https:// URL, not $timestamp" >&2; exit 2 ;;
esac

# A private folder (mktemp makes it readable by its owner only) for every
# intermediate file; the output folder is touched only at the very end.
work=$(mktemp -d)
partial="" measure_prefix="" measure_display=""
cleanup() {
  # The measuring's own Wine and display, when it had to start them.
  [ -z "$measure_prefix" ] || lodo_wineserver_stop "$measure_prefix"
  [ -z "$measure_display" ] || lodo_display_stop
  rm -rf "$work"
  [ -z "$partial" ] || rm -f "$partial"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# --- Checking signatures --------------------------------------------------

# first_field SECTION NAME LOG: the first field NAME after the line SECTION
# starts in osslsigncode's report (its certificates list the signer's first).
first_field() {
  sed -n "/^$1/,\$ { /^[[:space:]]*$2[[:space:]]*:[[:space:]]*/ { s///p; q; } }" "$3"
}

# signature_report LABEL FILE: says whether FILE's signature is valid and by
# whom; returns non-zero unless it is.
signature_report() {
  local label=$1 file=$2 log="$work/verify.log" rc=0
  local args=(verify -in "$file")
  [ -n "$trust" ] && args+=(-CAfile "$trust_pem" -TSA-CAfile "$tsa_trust")
  # Offline: no revocation lists fetched from the addresses in the certificate.
  local help
  help=$(osslsigncode -h 2>&1 || true)
  [[ $help == *-ignore-cdp* ]] && args+=(-ignore-cdp)
  osslsigncode "${args[@]}" >"$log" 2>&1 || rc=$?
  if grep -q 'No signature found' "$log"; then
    echo "$label: NOT SIGNED"
    return 1
  fi
  local subject issuer serial until signed stamp="no timestamp" stamp_ok=yes
  subject=$(first_field "Signer's certificate" Subject "$log")
  issuer=$(first_field "Signer's certificate" Issuer "$log")
  serial=$(first_field "Signer's certificate" Serial "$log")
  until=$(first_field "Signer's certificate" notAfter "$log")
  signed=$(first_field "Authenticated attributes" "Signing time" "$log")
  if grep -q '^Timestamp Server Signature verification' "$log"; then
    # osslsigncode 2.9 names the server's certificate, 2.5 only its issuer.
    local when server
    when=$(first_field Countersignatures "Timestamp time" "$log")
    [ -n "$when" ] || when=$(first_field "" "The signature is timestamped" "$log")
    server=$(first_field '\(Timestamp verified using\|Failed timestamp certificate chain\)' Subject "$log")
    [ -n "$server" ] || server="a server certified by $(first_field "Timestamp Verified by" Issuer "$log")"
    stamp="timestamp $when by $server"
    grep -q '^Timestamp Server Signature verification: ok' "$log" || stamp_ok=""
  fi
  local details
  details=$(printf '    signed by  %s\n    issued by  %s (serial %s, valid until %s)\n    signed on  %s, %s' \
    "$subject" "$issuer" "$serial" "$until" "${signed:-an unknown date}" "$stamp")
  local reason
  reason=$(first_field "" Error "$log")
  [ -n "$reason" ] || reason=$(sed -n '/^.*Verify error: */ { s///p; q; }' "$log")
  [ -n "$reason" ] || reason=$(grep -v -e '^[[:space:]]' -e '^Failed$' -e '^$' "$log" | tail -1)
  if [ $rc -eq 0 ] && grep -q '^Signature verification: ok' "$log"; then
    if [ -z "$stamp_ok" ]; then
      printf '%s: signature intact, but its timestamp does NOT verify against %s: %s\n%s\n' \
        "$label" "$trust_name" "$reason" "$details"
      return 1
    fi
    printf '%s: VALID signature, trusted through %s\n%s\n' "$label" "$trust_name" "$details"
    return 0
  fi
  if grep -q 'MISMATCH' "$log"; then
    # osslsigncode stops at the changed digest; the certificate the signature
    # carries still says who signed it.
    local claimed=""
    rm -f "$work/signature.pem"
    if osslsigncode extract-signature -pem -in "$file" -out "$work/signature.pem" >/dev/null 2>&1; then
      claimed=$(openssl pkcs7 -in "$work/signature.pem" -print_certs 2>/dev/null |
        openssl x509 -noout -subject -nameopt compat 2>/dev/null || true)
      claimed=${claimed#subject=}
    fi
    printf '%s: INVALID signature: the file was changed after it was signed\n    signed by  %s\n' \
      "$label" "${claimed:-(unknown)}"
    return 1
  fi
  printf '%s: signature does NOT verify against %s: %s\n%s\n' "$label" "$trust_name" "$reason" "$details"
  return 1
}

verify_output() {
  command -v osslsigncode >/dev/null || die "osslsigncode is missing (scripts/setup.sh)"
  [ -d "$out" ] || die "no folder $out: nothing to verify"
  trust_name="the system's certificate authorities"
  [ -z "$trust" ] || trust_name=$trust
  if [ -n "$trust" ]; then
    [ -f "$trust" ] && [ -r "$trust" ] || die "cannot read the certificate $trust"
    # PEM as it is (it may hold a chain); DER, as Windows exports a .cer, converted.
    trust_pem=$trust
    if ! grep -q -e '-----BEGIN CERTIFICATE-----' "$trust"; then
      trust_pem="$work/trust.pem"
      openssl x509 -inform DER -in "$trust" -out "$trust_pem" 2>/dev/null || die "$trust is not a certificate (PEM or DER)"
    fi
    # A timestamp is trusted from the system's authorities or from CERT.
    tsa_trust="$work/tsa-trust.pem"
    cat /etc/ssl/certs/ca-certificates.crt "$trust_pem" >"$tsa_trust" 2>/dev/null || cat "$trust_pem" >"$tsa_trust"
  fi
  local artefacts=() a bad=0
  while IFS= read -r -d '' a; do artefacts+=("$(basename "$a")"); done < \
    <(find "$out" -maxdepth 1 -type f \( -name 'lodo-*.zip' -o -name 'lodo-*-setup.exe' \) -print0 | LC_ALL=C sort -z)
  [ ${#artefacts[@]} -gt 0 ] || die "no package in $out to verify"
  if [ -f "$out/SHA256SUMS" ]; then
    if (cd "$out" && sha256sum -c --quiet SHA256SUMS >"$work/sums.log" 2>&1); then
      echo "SHA256SUMS: every listed file matches"
    else
      echo "SHA256SUMS: MISMATCH: $(grep -v '^sha256sum:' "$work/sums.log" | tr '\n' ' ')"
      bad=1
    fi
  fi
  for a in "${artefacts[@]}"; do
    case $a in
      *.zip)
        mkdir -p "$work/unzipped"
        if ! python3 - "$out/$a" "$work/unzipped/lodo.exe" <<'PY'; then
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z, open(sys.argv[2], "wb") as f:
    f.write(z.read("lodo.exe"))
PY
          echo "$a: no lodo.exe in it"
          bad=1
          continue
        fi
        signature_report "$a: lodo.exe" "$work/unzipped/lodo.exe" || bad=1 ;;
      *) signature_report "$a" "$out/$a" || bad=1 ;;
    esac
  done
  if [ $bad -ne 0 ]; then
    [ -n "$trust" ] || echo "(a certificate of your own, or its issuer's, is trusted when given: --verify CERT)"
    die "verification FAILED for $out"
  fi
  echo "package: every signature in $out is valid"
}

if [ -n "$verify" ]; then
  verify_output
  exit 0
fi

# --- Packaging -------------------------------------------------------------

# The one place the version is kept (also the exe's version resource).
version=$(sed -n 's/^project(lodo VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || die "no version in CMakeLists.txt"

branded=""
if [ -n "$client" ]; then
  [ -d "$client" ] || die "no folder $client"
  client=$(cd "$client" && pwd)
  for f in winvnc.exe lodo.ini; do
    [ -f "$client/$f" ] || die "$client has no $f"
  done
  # The helpdesk's texts and pictures are checked before anything is built.
  look=$(python3 "$root/packaging/branding.py" check "$client" "$work") || exit 1
  [ "$look" = branded ] && branded=yes
fi
[ ! -e "$out" ] || [ -d "$out" ] || die "$out is not a folder"

# A build folder of its own: no tests, and never the one being tested.
build="${build_dir:-${LODO_RELEASE_BUILD_DIR:-$root/build/release}}"
if [ -n "$branded" ] && [ -n "$exe" ] && [ -z "$build_dir" ]; then
  die "a branded lodo.exe is linked in a build folder: give --build DIR with --exe"
fi
if [ -n "$build_dir" ]; then
  [ -f "$build_dir/CMakeCache.txt" ] || die "$build_dir is not a configured build folder (--build)"
  build=$(cd "$build_dir" && pwd)
fi

[ -z "$exe" ] && [ -z "$build_dir" ] && "$root/scripts/setup.sh"

# Every date in the packages: the commit's time, unless SOURCE_DATE_EPOCH says otherwise.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 946684800)}

# Reads the password and checks the certificate before anything is built, so
# that a bad input costs nothing and leaves nothing behind. The password is
# kept in a file only this user can read (osslsigncode's -readpass, openssl's
# file:): never on a command line, in a child's environment or in a log.
prepare_signing() {
  command -v osslsigncode >/dev/null || die "osslsigncode is missing (scripts/setup.sh)"
  command -v openssl >/dev/null || die "openssl is missing (scripts/setup.sh)"
  [ -e "$pfx" ] || die "no certificate file $pfx (--sign)"
  [ -f "$pfx" ] || die "$pfx is not a file (--sign needs a .pfx/.p12 file)"
  [ -r "$pfx" ] || die "cannot read $pfx: permission denied"
  pfx=$(cd "$(dirname "$pfx")" && pwd)/$(basename "$pfx")

  local password
  if [ -n "${LODO_SIGN_PASSWORD_FILE:-}" ]; then
    [ -z "${LODO_SIGN_PASSWORD+set}" ] || die "set LODO_SIGN_PASSWORD or LODO_SIGN_PASSWORD_FILE, not both"
    [ -f "$LODO_SIGN_PASSWORD_FILE" ] && [ -r "$LODO_SIGN_PASSWORD_FILE" ] ||
      die "cannot read the password file $LODO_SIGN_PASSWORD_FILE (LODO_SIGN_PASSWORD_FILE)"
    password=$(<"$LODO_SIGN_PASSWORD_FILE")
    password=${password%$'\r'}
  elif [ -n "${LODO_SIGN_PASSWORD+set}" ]; then
    password=$LODO_SIGN_PASSWORD
  else
    die "--sign needs the password of $pfx in LODO_SIGN_PASSWORD or in a file named by LODO_SIGN_PASSWORD_FILE"
  fi
  unset LODO_SIGN_PASSWORD
  (umask 077 && printf '%s' "$password" >"$work/password")
  [ "$password" = "${password%$'\n'*}" ] || die "the password for $pfx has more than one line"

  # -legacy also reads the older encryptions Windows exports by default.
  local passin=("-passin" "file:$work/password")
  [ -s "$work/password" ] || passin=("-passin" "pass:")
  if ! openssl pkcs12 -legacy -in "$pfx" "${passin[@]}" -nokeys -clcerts -out "$work/signer.pem" 2>"$work/openssl.log"; then
    grep -q 'invalid password' "$work/openssl.log" &&
      die "wrong password for $pfx (LODO_SIGN_PASSWORD or LODO_SIGN_PASSWORD_FILE)"
    die "cannot read $pfx: it is damaged or not a PKCS#12 (.pfx/.p12) file"
  fi
  local keys
  keys=$(openssl pkcs12 -legacy -in "$pfx" "${passin[@]}" -nocerts -nodes 2>/dev/null | grep -c 'BEGIN.*PRIVATE KEY' || true)
  [ "$keys" -gt 0 ] || die "$pfx holds no private key"
  openssl x509 -in "$work/signer.pem" -noout 2>/dev/null || die "$pfx holds no certificate for its key"

  local x509=(openssl x509 -in "$work/signer.pem" -noout) subject eku usage not_before not_after
  subject=$("${x509[@]}" -subject -nameopt oneline)
  subject=${subject#subject=}
  subject=${subject# }
  # Windows refuses a signature whose certificate is not for code signing.
  eku=$("${x509[@]}" -ext extendedKeyUsage 2>/dev/null)
  [[ $eku == *"Code Signing"* ]] ||
    die "the certificate in $pfx ($subject) is not for code signing: its extended key usage lacks Code Signing"
  usage=$("${x509[@]}" -ext keyUsage 2>/dev/null)
  [[ -z $usage || $usage == *"Digital Signature"* ]] ||
    die "the certificate in $pfx ($subject) is not for code signing: its key usage lacks Digital Signature"
  not_before=$("${x509[@]}" -startdate)
  not_before=${not_before#notBefore=}
  not_after=$("${x509[@]}" -enddate)
  not_after=${not_after#notAfter=}
  "${x509[@]}" -checkend 0 >/dev/null || die "the certificate in $pfx ($subject) expired on $not_after"
  [ "$(date -u -d "$not_before" +%s)" -le "$(date -u +%s)" ] ||
    die "the certificate in $pfx ($subject) is not valid before $not_before"

  # One signing command for every file, also run by makensis on the uninstaller.
  local sign=(osslsigncode sign -pkcs12 "$pfx" -h sha256 -time "$epoch")
  [ -s "$work/password" ] && sign+=(-readpass "$work/password")
  [ -n "$timestamp" ] && sign+=(-ts "$timestamp")
  {
    echo '#!/bin/bash'
    echo '# sign FILE DESCRIPTION: signs FILE in place.'
    printf '%q ' "${sign[@]}"
    # shellcheck disable=SC2016
    printf -- '-n "$2" -in "$1" -out "$1.signed" >>%q 2>&1 && mv -f "$1.signed" "$1"\n' "$work/sign.log"
  } >"$work/sign"
  chmod 700 "$work/sign"
  echo "package: signing as $subject"
}

# signing_failed WHAT: the reason osslsigncode gave, in the user's words.
signing_failed() {
  local log="$work/sign.log"
  if grep -q -i 'timestamping failed' "$log"; then
    local reason
    reason=$(grep -o -i -m1 -E "connection refused|couldn't connect to server|(name or service not known|couldn't resolve host)|timed? ?out|no route to host|network is unreachable" "$log" || true)
    die "no timestamp from $timestamp: --timestamp needs the network and a working RFC 3161 timestamp" \
      "server${reason:+ ($reason)}; leave it out to sign offline"
  fi
  die "signing $1 failed: $(grep -v -x 'Failed' "$log" | tail -3 | tr '\n' ' ')"
}

# sign FILE DESCRIPTION
sign() {
  "$work/sign" "$1" "$2" || signing_failed "$(basename "$1")"
}

if [ -n "$pfx" ]; then prepare_signing; fi

targets=()
[ -z "$exe" ] && targets+=(lodo)
[ -n "$branded" ] && targets+=(measure_texts)
if [ ${#targets[@]} -gt 0 ]; then
  if [ -z "$build_dir" ]; then
    cmake --preset mingw -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLODO_BUILD_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" --target "${targets[@]}"
fi
[ -n "$exe" ] || exe="$build/launcher/lodo.exe"
[ -f "$exe" ] || die "no $exe"

# --- Branding --------------------------------------------------------------

# A Windows path for a file under / (Wine's drive Z:).
win_path() { printf 'Z:%s' "${1//\//\\}"; }

# measure_texts: the helpdesk's texts in the real window under Wine, at 96
# dpi in the window's fonts; a text wider than its place stops the run. The
# build folder keeps a Wine prefix for it; the display is the one there is,
# or a private Xvfb display.
measure_texts() {
  source "$root/scripts/wine-env.sh"
  local loader
  loader=$(lodo_wine_loader) || die "Wine is needed to measure the texts (scripts/setup.sh)"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    lodo_display_start "$work/xvfb.log" || die "no X display to measure the texts on"
    measure_display=yes
  fi
  export WINEPREFIX="$build/wine/measure"
  measure_prefix=$WINEPREFIX
  lodo_prefix_init "$WINEPREFIX" themed || die "no Wine prefix to measure the texts in"
  # Wine's Tahoma lacks the Greek letters that Windows' has: DejaVu Sans
  # lends them (and any other letter Tahoma lacks), so they are measured as
  # letters, not as empty boxes.
  if [ ! -f "$WINEPREFIX/.lodo-fontlink" ]; then
    "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
      /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1 || die "cannot set up the measuring prefix"
    touch "$WINEPREFIX/.lodo-fontlink"
  fi
  "$loader" "$build/launcher/measure_texts.exe" "$(win_path "$work/texts.txt")" "$(win_path "$work/measured.tsv")" \
    >"$work/measure.log" 2>&1 && [ -s "$work/measured.tsv" ] ||
    { cat "$work/measure.log" >&2; die "measuring the texts failed"; }
}

# branded_exe: the measured texts against their places, then the
# helpdesk's resources and a new link of the release build's objects; one
# run at a time per build folder.
branded_exe() {
  mkdir -p "$build/branding"
  (
    flock 9
    python3 "$root/packaging/branding.py" make "$work" "$work/measured.tsv" "$build/branding" || exit 9
    cmake --build "$build" --target lodo_branded >"$work/link.log" 2>&1 || { cat "$work/link.log" >&2; exit 1; }
    cp "$build/branding/bin/lodo.exe" "$work/branded.exe"
  ) 9>"$build/branding/.lock" || { [ $? -eq 9 ] && exit 1; die "making the branded lodo.exe failed"; }
}

if [ -n "$branded" ]; then
  measure_texts
  branded_exe
fi

# --- The packages ------------------------------------------------------------

# The exe as packaged (and signed), dated like the zip entries: the
# installer records each file's date.
cp "$exe" "$work/lodo.exe"
if [ -n "$pfx" ]; then sign "$work/lodo.exe" lodo; fi
touch -d "@$epoch" "$work/lodo.exe"
client_exe="$work/lodo.exe"
if [ -n "$branded" ]; then
  client_exe="$work/branded.exe"
  if [ -n "$pfx" ]; then sign "$client_exe" lodo; fi
  touch -d "@$epoch" "$client_exe"
fi

mkdir "$work/out"
zip_name="lodo-$version-win64.zip"
zips=("$work/out/$zip_name" "lodo.exe=$work/lodo.exe" "lodo.ini=$root/launcher/lodo.sample.ini:crlf"
  "README.txt=$work/README.txt:crlf")
artefacts=("$zip_name")
readme=("$root/packaging/README.txt.in" "$version" "$work/README.txt" "$zip_name")

if [ -n "$client" ]; then
  command -v makensis >/dev/null || die "makensis is missing (scripts/setup.sh)"
  name=$(basename "$client" | tr -c 'A-Za-z0-9._-' '-' | sed -e 's/--*/-/g' -e 's/-*$//')

  # The helpdesk's files in a fixed order, each folder before its contents;
  # its lodo.exe and its branding material stay out of the packages.
  client_files=()
  while IFS= read -r -d '' rel; do
    rel=${rel#./}
    case ${rel,,} in
      lodo.exe) echo "package: ignoring $client/lodo.exe, the built one is packaged" >&2; continue ;;
      branding.ini | logo.png | logo.bmp | icon.png | icon.ico) continue ;;
    esac
    client_files+=("$rel")
  done < <(cd "$client" && find . -mindepth 1 -print0 | LC_ALL=C sort -z)

  # The ready folder: lodo.exe, the helpdesk's lodo.ini, README.txt in the
  # package's own words, then the server with its files.
  client_zip="lodo-$version-$name.zip"
  readme+=("${branded:+$work}" "$work/client-README.txt" "$client_zip")
  zips+=(-- "$work/out/$client_zip" "lodo.exe=$client_exe" "lodo.ini=$client/lodo.ini"
    "README.txt=$work/client-README.txt:crlf")
  for rel in "${client_files[@]}"; do
    [ -f "$client/$rel" ] && [ "$rel" != lodo.ini ] && zips+=("$rel=$client/$rel")
  done
  artefacts+=("$client_zip")
fi
# UTF-8 with a byte-order mark, so every Notepad shows the Croatian letters.
python3 "$root/packaging/branding.py" readme "${readme[@]}"
TZ=UTC python3 "$root/packaging/make-zip.py" "${zips[0]}" "$epoch" "${zips[@]:1}"

if [ -n "$client" ]; then
  # NSIS strings: a dollar sign is written twice.
  nsis_path() { printf '%s' "${1//\$/\$\$}"; }
  files="$work/files.nsh" unfiles="$work/unfiles.nsh"
  : >"$files"
  : >"$unfiles"
  printf 'SetOutPath "$INSTDIR"\nFile "/oname=lodo.exe" "%s"\n' "$(nsis_path "$client_exe")" >>"$files"
  printf 'Delete "$INSTDIR\\lodo.exe"\n' >>"$unfiles"
  for rel in "${client_files[@]}"; do
    win=${rel//\//\\}
    if [ -d "$client/$rel" ]; then
      printf 'CreateDirectory "$INSTDIR\\%s"\n' "$(nsis_path "$win")" >>"$files"
      continue
    fi
    dir=$(dirname "$rel")
    [ "$dir" = . ] && target='$INSTDIR' || target="\$INSTDIR\\$(nsis_path "${dir//\//\\}")"
    printf 'SetOutPath "%s"\nFile "%s"\n' "$target" "$(nsis_path "$client/$rel")" >>"$files"
    printf 'Delete "$INSTDIR\\%s"\n' "$(nsis_path "$win")" >>"$unfiles"
  done
  # Folders deepest first; RMDir leaves any that still hold something.
  while IFS= read -r -d '' rel; do
    rel=${rel#./}
    printf 'RMDir "$INSTDIR\\%s"\n' "$(nsis_path "${rel//\//\\}")" >>"$unfiles"
  done < <(cd "$client" && find . -mindepth 1 -type d -print0 | LC_ALL=C sort -rz)

  setup_name="lodo-$version-$name-setup.exe"
  # The helpdesk's icon (branding.py copied it here) and its names.
  icon="$root/launcher/art/lodo.ico"
  [ -f "$work/icon.ico" ] && icon="$work/icon.ico"
  [ -f "$work/brand.nsh" ] || : >"$work/brand.nsh"
  defines=("-DVERSION=$version" "-DVERSION4=$version.0"
    "-DOUTFILE=$work/out/$setup_name" "-DICON=$icon" "-DBRAND=$work/brand.nsh"
    "-DFILES=$files" "-DUNFILES=$unfiles")
  [ -n "$pfx" ] && defines+=("-DSIGN=$work/sign")
  if ! makensis -V2 -NOCD "${defines[@]}" "$root/packaging/lodo.nsi"; then
    # The uninstaller is signed from inside makensis.
    [ -n "$pfx" ] && grep -q -x 'Failed' "$work/sign.log" && signing_failed "the uninstaller"
    die "makensis failed"
  fi
  if [ -n "$pfx" ]; then sign "$work/out/$setup_name" "lodo installer"; fi
  artefacts+=("$setup_name")
fi

# SHA256SUMS lists this run's packages and keeps the lines of the other
# packages still in the output folder (a helpdesk makes many in a row).
(cd "$work/out" && sha256sum "${artefacts[@]}" >"$work/sums")
if [ -f "$out/SHA256SUMS" ]; then
  while read -r sum file; do
    file=${file#\*}
    printf '%s\n' "${artefacts[@]}" | grep -qxF -- "$file" && continue
    [ -f "$out/$file" ] && printf '%s  %s\n' "$sum" "$file"
  done <"$out/SHA256SUMS" >>"$work/sums" || true
fi
LC_ALL=C sort -k2 "$work/sums" >"$work/out/SHA256SUMS"

# Into place: each file under a temporary name in the output folder first,
# then renamed, so no reader ever sees half a package.
mkdir -p "$out"
out=$(cd "$out" && pwd)
for a in "${artefacts[@]}" SHA256SUMS; do
  partial="$out/.$a.part"
  cp "$work/out/$a" "$partial"
  mv -f "$partial" "$out/$a"
done
partial=""
for a in "${artefacts[@]}"; do
  echo "package: $out/$a ($(stat -c %s "$out/$a") bytes)"
done
echo "package: $out/SHA256SUMS"
