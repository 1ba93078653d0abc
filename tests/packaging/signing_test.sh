#!/usr/bin/env bash
# Signed packages, with throwaway certificates made here by openssl.
#
#   signing_test.sh SOURCE_DIR LODO_EXE SERVER_EXE reproducible|bad-inputs|wine
#
#   reproducible  lodo.exe in the zip and the installer verify against the
#                 certificate, two runs are byte-identical, the password is on
#                 no command line and in no log, --timestamp works against a
#                 loopback server, --verify tells good from bad
#   bad-inputs    each bad input fails with its message and leaves the output
#                 folder exactly as it was
#   wine          the signed installer installs silently under Wine, writes a
#                 signed uninstaller, the signed lodo.exe runs, all uninstalls
set -euo pipefail
root=$1 exe=$2 server=$3 mode=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "$PWD/signing.XXXXXX")
cleanup_wine() { :; }
tsa_pid=""
cleanup() {
  [ -z "$tsa_pid" ] || kill "$tsa_pid" 2>/dev/null || true
  cleanup_wine
  # LODO_KEEP=1 keeps the work folder for a look after a failure.
  [ -n "${LODO_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

version=$(sed -n 's/^project(lodo VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip="lodo-$version-win64.zip"
setup="lodo-$version-Helpdesk-Zagreb-setup.exe"
# Blanks, quotes and a dollar sign: the password must survive any quoting.
password='Tajna "lozinka" $7 *'

# --- Certificates ------------------------------------------------------------
certs="$work/certs"
mkdir -p "$certs"
printf '%s' "$password" >"$certs/password"

# make_pfx NAME: NAME.pem and its key in NAME.pfx, under the test's password.
make_pfx() {
  openssl pkcs12 -export -inkey "$certs/$1.key" -in "$certs/$1.pem" -out "$certs/$1.pfx" \
    -passout "file:$certs/password" "${@:2}"
}
# self_signed NAME SUBJECT EXTENDED_KEY_USAGE
self_signed() {
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$certs/$1.key" -out "$certs/$1.pem" -subj "$2" -days 30 \
    -addext "extendedKeyUsage=$3" -addext "keyUsage=critical,digitalSignature" 2>/dev/null
  make_pfx "$1"
}
# dated NAME SUBJECT START END: a code-signing certificate valid only from
# START to END (openssl's own small CA signs it with its own key).
dated() {
  local ca="$certs/ca-$1"
  mkdir -p "$ca"
  : >"$ca/index.txt"
  echo 01 >"$ca/serial"
  cat >"$ca/ca.cnf" <<EOF
[ca]
default_ca = dated
[dated]
database = $ca/index.txt
new_certs_dir = $ca
serial = $ca/serial
default_md = sha256
policy = any
x509_extensions = codesign
[any]
commonName = supplied
[codesign]
extendedKeyUsage = codeSigning
keyUsage = critical, digitalSignature
EOF
  openssl req -new -newkey rsa:2048 -nodes -keyout "$certs/$1.key" -subj "$2" -out "$ca/req.csr" 2>/dev/null
  openssl ca -batch -config "$ca/ca.cnf" -selfsign -keyfile "$certs/$1.key" -in "$ca/req.csr" \
    -startdate "$3" -enddate "$4" -notext -out "$certs/$1.pem" 2>/dev/null
  make_pfx "$1"
}

self_signed helpdesk "/CN=Lodo Test Helpdesk/O=Orvane test" codeSigning
# The same key and certificate in the older encryption Windows exports.
make_pfx helpdesk -legacy -out "$certs/helpdesk-legacy.pfx"

# The helpdesk's folder, as installer_test.sh prepares it.
client="$work/Helpdesk Zagreb"
mkdir -p "$client"
cp "$server" "$client/winvnc.exe"
printf '[Spajanja]\r\nSp1_naziv=Helpdesk\r\nSp1_adresa=127.0.0.1::5500\r\n' >"$client/lodo.ini"

# package LOG ARGS...: scripts/package.sh on this build's exe, all of its
# output in LOG; its private temporary folders go under $work/tmp.
mkdir -p "$work/tmp"
package() {
  local log=$1
  shift
  TMPDIR="$work/tmp" "$root/scripts/package.sh" --exe "$exe" "$@" >"$log" 2>&1
}

# unzip_exe ZIP FILE: the zip's lodo.exe into FILE.
unzip_exe() {
  python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(zipfile.ZipFile(sys.argv[1]).read("lodo.exe"))' "$1" "$2"
}

# verified FILE: osslsigncode accepts FILE's signature against the helpdesk's
# certificate; its report in FILE.verify.
verified() {
  osslsigncode verify -in "$1" -CAfile "$certs/helpdesk.pem" >"$1.verify" 2>&1 &&
    grep -q '^Signature verification: ok' "$1.verify" &&
    grep -q 'Subject: /CN=Lodo Test Helpdesk/O=Orvane test' "$1.verify"
}

# timestamped: --timestamp against an RFC 3161 server of openssl's on a
# loopback port, with a certificate of its own.
timestamped() {
  local tsa="$work/tsa" port
  mkdir -p "$tsa"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$tsa/tsa.key" -out "$tsa/tsa.pem" -subj "/CN=Loopback TSA" \
    -days 30 -addext "extendedKeyUsage=critical,timeStamping" -addext "keyUsage=critical,digitalSignature" 2>/dev/null
  echo 01 >"$tsa/serial"
  cat >"$tsa/tsa.cnf" <<EOF
[tsa]
default_tsa = loopback
[loopback]
serial = $tsa/serial
signer_cert = $tsa/tsa.pem
signer_key = $tsa/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
  # At most ten requests, each within a minute; the test stops it sooner.
  timeout 120 python3 - "$tsa/tsa.cnf" >"$tsa/port" <<'PY' &
import http.server, os, subprocess, sys, tempfile

class Reply(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        with tempfile.TemporaryDirectory() as folder:
            q, r = os.path.join(folder, "q"), os.path.join(folder, "r")
            open(q, "wb").write(query)
            subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1], "-queryfile", q, "-out", r],
                           check=True, capture_output=True)
            reply = open(r, "rb").read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass

server = http.server.HTTPServer(("127.0.0.1", 0), Reply)
server.timeout = 60
print(server.server_address[1], flush=True)
for _ in range(10):
    server.handle_request()
PY
  tsa_pid=$!
  timeout 10 bash -c 'until [ -s "$0" ]; do sleep 0.1; done' "$tsa/port" || fail "the loopback timestamp server did not start"
  port=$(cat "$tsa/port")
  LODO_SIGN_PASSWORD=$password SOURCE_DATE_EPOCH=1700000000 package "$work/ts.log" --sign "$certs/helpdesk.pfx" \
    --client "$client" --timestamp "http://127.0.0.1:$port/" --out "$work/ts" ||
    { cat "$work/ts.log"; fail "package.sh --timestamp"; }
  kill "$tsa_pid" 2>/dev/null || true
  wait "$tsa_pid" 2>/dev/null || true
  tsa_pid=""

  cat "$certs/helpdesk.pem" "$tsa/tsa.pem" >"$tsa/trust.pem"
  "$root/scripts/package.sh" --verify "$tsa/trust.pem" --out "$work/ts" >"$work/ts-verify.log" 2>&1 ||
    { cat "$work/ts-verify.log"; fail "--verify rejects the timestamped packages"; }
  [ "$(grep -c -E 'signed on  Nov 14 22:13:20 2023 GMT, timestamp .* GMT by (a server certified by )?/CN=Loopback TSA$' "$work/ts-verify.log")" -eq 3 ] ||
    { cat "$work/ts-verify.log"; fail "--verify does not report the three timestamps (two zips, the installer)"; }
  # A timestamp from a server nobody trusts is not valid.
  if "$root/scripts/package.sh" --verify "$certs/helpdesk.pem" --out "$work/ts" >"$work/ts-untrusted.log" 2>&1; then
    fail "--verify accepts a timestamp from an untrusted server"
  fi
  grep -qF "$setup: signature intact, but its timestamp does NOT verify" "$work/ts-untrusted.log" ||
    { cat "$work/ts-untrusted.log"; fail "--verify does not single out the untrusted timestamp"; }
}

reproducible() {
  # Every openssl, osslsigncode and makensis the packaging starts records its
  # command line, and whether the password reached its environment.
  local shims="$work/shims" tool
  mkdir -p "$shims"
  for tool in openssl osslsigncode makensis; do
    cat >"$shims/$tool" <<EOF
#!/bin/bash
printf '%s\n' "$tool \$*" >>"$work/argv.log"
env | grep -q '^LODO_SIGN_PASSWORD=' && echo "$tool: LODO_SIGN_PASSWORD in its environment" >>"$work/argv.log"
# The password file osslsigncode reads: private to its owner.
prev=""
for a in "\$@"; do
  [ "\$prev" = -readpass ] && echo "$tool: password file \$(stat -c %a "\$a") in a folder \$(stat -c %a "\$(dirname "\$a")")" >>"$work/argv.log"
  prev=\$a
done
exec $(command -v "$tool") "\$@"
EOF
    chmod +x "$shims/$tool"
  done

  # The second run: the password from a file written on Windows, the older
  # PFX encryption, another copy of the exe, another directory and time zone.
  cp "$exe" "$work/lodo.exe"
  touch -d '2001-02-03 04:05:06' "$work/lodo.exe"
  printf '%s\r\n' "$password" >"$work/password.txt"
  PATH="$shims:$PATH" LODO_SIGN_PASSWORD=$password SOURCE_DATE_EPOCH=1700000000 \
    package "$work/a.log" --sign "$certs/helpdesk.pfx" --client "$client" --out "$work/a" ||
    { cat "$work/a.log"; fail "package.sh --sign with LODO_SIGN_PASSWORD"; }
  (cd /tmp && PATH="$shims:$PATH" TZ=Asia/Tokyo LODO_SIGN_PASSWORD_FILE="$work/password.txt" SOURCE_DATE_EPOCH=1700000000 \
    TMPDIR="$work/tmp" "$root/scripts/package.sh" --exe "$work/lodo.exe" --sign "$certs/helpdesk-legacy.pfx" \
    --client "$client" --out "$work/b" >"$work/b.log" 2>&1) ||
    { cat "$work/b.log"; fail "package.sh --sign with LODO_SIGN_PASSWORD_FILE"; }
  for f in "$zip" "$setup" SHA256SUMS; do
    cmp "$work/a/$f" "$work/b/$f" || fail "two signed packagings differ in $f"
  done
  (cd "$work/a" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match the signed files"

  unzip_exe "$work/a/$zip" "$work/signed.exe"
  verified "$work/signed.exe" || { cat "$work/signed.exe.verify"; fail "lodo.exe in the zip does not verify"; }
  verified "$work/a/$setup" || { cat "$work/a/$setup.verify"; fail "the installer does not verify"; }
  grep -q 'Signing time: Nov 14 22:13:20 2023 GMT' "$work/signed.exe.verify" ||
    fail "lodo.exe is not signed at SOURCE_DATE_EPOCH: $(grep 'Signing time' "$work/signed.exe.verify")"
  grep -q 'Timestamp is not available' "$work/signed.exe.verify" || fail "lodo.exe carries a timestamp by default"
  grep -q '^Message digest algorithm *: SHA256' "$work/signed.exe.verify" || fail "lodo.exe is not signed with SHA-256"
  cmp -s "$exe" "$work/signed.exe" && fail "the zip's lodo.exe is the unsigned one"

  # Three signatures per run (lodo.exe, the uninstaller inside makensis, the
  # installer), each time through the private password file.
  local signs
  signs=$(grep -c '^osslsigncode sign ' "$work/argv.log" || true)
  [ "$signs" -eq 6 ] || fail "$signs signing commands in two runs, not 6: $(cat "$work/argv.log")"
  grep -qF -e "$password" -e 'lozinka' "$work/argv.log" "$work/a.log" "$work/b.log" &&
    fail "the password shows on a command line or in the output"
  grep -q 'in its environment' "$work/argv.log" && fail "$(grep 'in its environment' "$work/argv.log")"
  [ "$(grep -c 'password file 600 in a folder 700' "$work/argv.log")" -eq 6 ] ||
    fail "the password file is not private: $(grep 'password file' "$work/argv.log")"
  [ -z "$(ls -A "$work/tmp")" ] || fail "package.sh left $(ls -A "$work/tmp") in its temporary folder"

  # Without SOURCE_DATE_EPOCH the signing time is the commit's date.
  local commit when
  commit=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 946684800)
  when=$(LC_ALL=C TZ=UTC date -d "@$commit" '+%b %e %H:%M:%S %Y GMT')
  LODO_SIGN_PASSWORD=$password package "$work/c.log" --sign "$certs/helpdesk.pfx" --out "$work/c" ||
    { cat "$work/c.log"; fail "package.sh --sign without SOURCE_DATE_EPOCH"; }
  unzip_exe "$work/c/$zip" "$work/commit.exe"
  verified "$work/commit.exe" || fail "lodo.exe signed at the commit's date does not verify"
  grep -qF "Signing time: $when" "$work/commit.exe.verify" ||
    fail "not signed at the commit's date $when: $(grep 'Signing time' "$work/commit.exe.verify")"

  # --verify: valid against the certificate, not against another one, not
  # after a change, and an unsigned package is reported as such.
  "$root/scripts/package.sh" --verify "$certs/helpdesk.pem" --out "$work/a" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log"; fail "--verify rejects the signed packages"; }
  for line in "$zip: lodo.exe: VALID signature" "$setup: VALID signature" "signed by  /CN=Lodo Test Helpdesk/O=Orvane test" \
    "signed on  Nov 14 22:13:20 2023 GMT, no timestamp" "SHA256SUMS: every listed file matches"; do
    grep -qF "$line" "$work/verify.log" || { cat "$work/verify.log"; fail "--verify does not say: $line"; }
  done
  openssl x509 -in "$certs/helpdesk.pem" -outform DER -out "$certs/helpdesk.cer"
  "$root/scripts/package.sh" --verify "$certs/helpdesk.cer" --out "$work/a" >/dev/null 2>&1 ||
    fail "--verify does not take a DER certificate"

  if "$root/scripts/package.sh" --verify "$certs/absent.pem" --out "$work/a" >"$work/absent.log" 2>&1; then
    fail "--verify accepts a missing certificate"
  fi
  grep -qF "cannot read the certificate $certs/absent.pem" "$work/absent.log" || fail "--verify: $(cat "$work/absent.log")"

  self_signed other "/CN=Someone Else" codeSigning
  if "$root/scripts/package.sh" --verify "$certs/other.pem" --out "$work/a" >"$work/other.log" 2>&1; then
    fail "--verify accepts the signatures against another certificate"
  fi
  grep -qF "$setup: signature does NOT verify against $certs/other.pem" "$work/other.log" ||
    { cat "$work/other.log"; fail "--verify against another certificate does not say so"; }

  cp -r "$work/a" "$work/changed"
  # One byte of the installer's data, far from its signature.
  printf 'X' | dd of="$work/changed/$setup" bs=1 seek=4096 conv=notrunc 2>/dev/null
  if "$root/scripts/package.sh" --verify "$certs/helpdesk.pem" --out "$work/changed" >"$work/changed.log" 2>&1; then
    fail "--verify accepts a changed installer"
  fi
  grep -A1 -F "$setup: INVALID signature: the file was changed after it was signed" "$work/changed.log" |
    grep -qxF "    signed by  /CN=Lodo Test Helpdesk/O=Orvane test" &&
    grep -qF "SHA256SUMS: MISMATCH" "$work/changed.log" && grep -qF "$zip: lodo.exe: VALID signature" "$work/changed.log" ||
    { cat "$work/changed.log"; fail "--verify does not single out the changed installer"; }

  timestamped

  package "$work/u.log" --out "$work/unsigned" || fail "package.sh without --sign"
  if "$root/scripts/package.sh" --verify "$certs/helpdesk.pem" --out "$work/unsigned" >"$work/unsigned.log" 2>&1; then
    fail "--verify accepts an unsigned package"
  fi
  grep -qF "$zip: lodo.exe: NOT SIGNED" "$work/unsigned.log" || { cat "$work/unsigned.log"; fail "an unsigned lodo.exe is not reported"; }
  echo "signing: $zip and $setup signed, verified and reproducible"
}

# snapshot DIR: every entry of DIR with its size, mode, time and checksum.
snapshot() {
  [ -e "$1" ] || { echo "(no $1)"; return; }
  (cd "$1" && find . -printf '%p %s %m %T@\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} + | LC_ALL=C sort)
}

bad_inputs() {
  self_signed web "/CN=Web Server" serverAuth
  dated expired "/CN=Expired Helpdesk" 20200101000000Z 20210101000000Z
  dated future "/CN=Future Helpdesk" 20991231000000Z 21001231000000Z
  printf 'not a certificate\n' >"$certs/damaged.pfx"
  head -c 600 "$certs/helpdesk.pfx" >"$certs/truncated.pfx"
  mkdir "$certs/folder.pfx"
  # A loopback port where nothing listens.
  local port
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

  # An output folder holding an earlier signed release, and one not yet made.
  LODO_SIGN_PASSWORD=$password package "$work/first.log" --sign "$certs/helpdesk.pfx" --client "$client" --out "$work/dist" ||
    { cat "$work/first.log"; fail "package.sh --sign"; }
  echo "an older note" >"$work/dist/notes.txt"
  touch -d '2020-01-01' "$work/dist/notes.txt"
  local before
  before=$(snapshot "$work/dist")

  # try NAME EXIT EXPECTED [VAR=VALUE...] -- ARGS...: package.sh, with only
  # these password variables, fails with EXIT (any non-zero when empty) and
  # says EXPECTED; the output folders are as they were.
  try() {
    local name=$1 want=$2 expected=$3 rc out settings=()
    shift 3
    while [ "$1" != -- ]; do settings+=("$1"); shift; done
    shift
    for out in "$work/dist" "$work/new"; do
      rc=0
      env -u LODO_SIGN_PASSWORD -u LODO_SIGN_PASSWORD_FILE "${settings[@]}" TMPDIR="$work/tmp" \
        "$root/scripts/package.sh" --exe "$exe" --client "$client" --out "$out" "$@" >"$work/$name.log" 2>&1 || rc=$?
      [ $rc -ne 0 ] || fail "$name: package.sh succeeded"
      [ -z "$want" ] || [ $rc -eq "$want" ] || fail "$name: exit $rc, not $want"
      grep -qF -- "$expected" "$work/$name.log" || { cat "$work/$name.log"; fail "$name: no \"$expected\""; }
      grep -qF -- "$password" "$work/$name.log" && fail "$name: the password shows in the output"
    done
    [ "$(snapshot "$work/dist")" = "$before" ] || fail "$name: the output folder changed"
    [ ! -e "$work/new" ] || fail "$name: an output folder was made"
    [ -z "$(ls -A "$work/tmp")" ] || fail "$name: left $(ls -A "$work/tmp") behind"
    echo "refused: $name"
  }
  local pw="LODO_SIGN_PASSWORD=$password" pfx="$certs/helpdesk.pfx"
  try missing-pfx 1 "no certificate file $certs/absent.pfx" "$pw" -- --sign "$certs/absent.pfx"
  try folder-pfx 1 "$certs/folder.pfx is not a file" "$pw" -- --sign "$certs/folder.pfx"
  try damaged-pfx 1 "cannot read $certs/damaged.pfx: it is damaged or not a PKCS#12" "$pw" -- --sign "$certs/damaged.pfx"
  try truncated-pfx 1 "cannot read $certs/truncated.pfx: it is damaged or not a PKCS#12" "$pw" -- \
    --sign "$certs/truncated.pfx"
  if [ "$(id -u)" -ne 0 ]; then
    # Root reads any file: this case runs only for other users.
    cp "$pfx" "$certs/locked.pfx"
    chmod 000 "$certs/locked.pfx"
    try unreadable-pfx 1 "cannot read $certs/locked.pfx: permission denied" "$pw" -- --sign "$certs/locked.pfx"
  fi
  try no-password 1 "--sign needs the password of $pfx in LODO_SIGN_PASSWORD" -- --sign "$pfx"
  try wrong-password 1 "wrong password for $pfx" "LODO_SIGN_PASSWORD=${password}x" -- --sign "$pfx"
  try no-password-file 1 "cannot read the password file $work/absent.txt" "LODO_SIGN_PASSWORD_FILE=$work/absent.txt" -- \
    --sign "$pfx"
  try two-passwords 1 "not both" "$pw" "LODO_SIGN_PASSWORD_FILE=$certs/password" -- --sign "$pfx"
  try not-code-signing 1 "(CN = Web Server) is not for code signing: its extended key usage lacks Code Signing" "$pw" -- \
    --sign "$certs/web.pfx"
  try expired 1 "(CN = Expired Helpdesk) expired on Jan  1 00:00:00 2021 GMT" "$pw" -- --sign "$certs/expired.pfx"
  try not-yet-valid 1 "(CN = Future Helpdesk) is not valid before Dec 31 00:00:00 2099 GMT" "$pw" -- \
    --sign "$certs/future.pfx"
  try timestamp-offline 1 "no timestamp from http://127.0.0.1:$port/: --timestamp needs the network" \
    "$pw" -- --sign "$pfx" --timestamp "http://127.0.0.1:$port/"
  try timestamp-not-a-url 2 "--timestamp needs an http:// or https:// URL" "$pw" -- --sign "$pfx" --timestamp "127.0.0.1:$port"
  try timestamp-unsigned 2 "--timestamp goes with --sign" -- --timestamp "http://127.0.0.1:$port/"
}

wine_install() {
  : "${DISPLAY:?run through scripts/test.sh}" "${LODO_THEMED_PREFIX:?run through scripts/test.sh}"
  source "$root/scripts/wine-env.sh"
  loader=$(lodo_wine_loader)
  wineserver=$(lodo_wineserver)
  # A prefix of its own; its server is not kept running, so that
  # "wineserver -w" waits for every program in it to end.
  lodo_install_prefix signing

  unix_path() { "$loader" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
  win_var() { "$loader" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
  install_dir="$(unix_path "$(win_var LOCALAPPDATA)")/Programs/lodo"
  lodo_pid=""
  cleanup_wine() {
    [ -n "$lodo_pid" ] && kill "$lodo_pid" 2>/dev/null
    rm -rf "$install_dir"
    "$loader" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo' /f >/dev/null 2>&1 || true
    lodo_wineserver_stop "$WINEPREFIX"
  }
  rm -rf "$install_dir"

  LODO_SIGN_PASSWORD=$password package "$work/package.log" --sign "$certs/helpdesk.pfx" --client "$client" --out "$work/dist" ||
    { cat "$work/package.log"; fail "package.sh --sign --client"; }
  unzip_exe "$work/dist/$zip" "$work/signed.exe"

  echo "installing the signed $setup silently"
  timeout 60 "$loader" "$work/dist/$setup" /S || fail "the signed installer failed"
  cp "$install_dir/lodo.exe" "$work/installed.exe"
  verified "$work/installed.exe" || { cat "$work/installed.exe.verify"; fail "the installed lodo.exe does not verify"; }
  cmp -s "$work/signed.exe" "$work/installed.exe" || fail "the installed lodo.exe is not the zip's"
  cp "$install_dir/uninstall.exe" "$work/uninstall.exe"
  verified "$work/uninstall.exe" || { cat "$work/uninstall.exe.verify"; fail "the installed uninstaller does not verify"; }
  grep -q 'Text description: lodo uninstaller' "$work/uninstall.exe.verify" || fail "the uninstaller's signature has no description"

  echo "starting the signed lodo"
  "$loader" "$install_dir/lodo.exe" &
  lodo_pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --name "spajanje" | head -1) || fail "the signed lodo showed no window"
  sleep 0.5
  # The red exit panel closes it; it then writes its state into its folder.
  xdotool mousemove --window "$window" 300 345 click 1
  timeout 20 tail --pid="$lodo_pid" -f /dev/null || fail "the signed lodo did not close on I Z L A Z"
  wait "$lodo_pid" || true
  lodo_pid=""
  grep -q '^Rucni_unos=0' "$install_dir/lodo.ini" || fail "the signed lodo did not write its settings"

  echo "uninstalling"
  timeout 60 "$loader" "$install_dir/uninstall.exe" /S || fail "the signed uninstaller failed"
  # The uninstaller runs on from a copy of itself: wait for every program in the prefix.
  timeout 60 "$wineserver" -w || fail "the uninstaller did not finish"
  [ ! -e "$install_dir" ] || fail "left behind: $(find "$install_dir" | tr '\n' ' ')"
  "$loader" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\lodo' >/dev/null 2>&1 &&
    fail "the uninstall entry is still there"
  echo "signing: signed installer installed, ran lodo, uninstalled"
}

case $mode in
  reproducible) reproducible ;;
  bad-inputs) bad_inputs ;;
  wine) wine_install ;;
  *) fail "unknown mode $mode" ;;
esac
