#!/usr/bin/env bash
# The release zip from this build's lodo.exe: packaged twice, byte for byte
# the same; the entries, their line ends, dates and the checksum file.
#
#   zip_test.sh SOURCE_DIR LODO_EXE
set -euo pipefail
root=$1 exe=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "$PWD/zip.XXXXXX")
trap 'rm -rf "$work"' EXIT

version=$(sed -n 's/^project(lodo VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip="lodo-$version-win64.zip"

# The second run packages a copy with another modification time, from
# another working directory and time zone: none of it may show.
cp "$exe" "$work/lodo.exe"
touch -d '2001-02-03 04:05:06' "$work/lodo.exe"
SOURCE_DATE_EPOCH=1700000000 "$root/scripts/package.sh" --exe "$exe" --out "$work/a" >/dev/null
(cd /tmp && TZ=Asia/Tokyo SOURCE_DATE_EPOCH=1700000000 "$root/scripts/package.sh" --exe "$work/lodo.exe" --out "$work/b" >/dev/null)
cmp "$work/a/$zip" "$work/b/$zip" || fail "two packagings differ"
cmp "$work/a/SHA256SUMS" "$work/b/SHA256SUMS" || fail "the checksum files differ"
(cd "$work/a" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match the zip"
[ "$(wc -l <"$work/a/SHA256SUMS")" -eq 1 ] || fail "SHA256SUMS lists more than the zip"

python3 - "$work/a/$zip" "$exe" "$root/launcher/lodo.sample.ini" "$version" <<'PY'
import struct, sys, zipfile
path, exe, sample, version = sys.argv[1:]
errors = []
with zipfile.ZipFile(path) as z:
    names = z.namelist()
    if names != ["lodo.exe", "lodo.ini", "README.txt"]:
        errors.append(f"entries {names}")
    for info in z.infolist():
        if info.date_time != (2023, 11, 14, 22, 13, 20):
            errors.append(f"{info.filename} dated {info.date_time}")
        if info.extra:
            errors.append(f"{info.filename} has extra fields")
    data = {n: z.read(n) for n in names}
if data.get("lodo.exe") != open(exe, "rb").read():
    errors.append("lodo.exe is not the given exe")
pe = data.get("lodo.exe", b"")
if len(pe) > 0x40:
    header = struct.unpack_from("<I", pe, 0x3C)[0]
    if pe[header:header + 4] != b"PE\0\0" or struct.unpack_from("<I", pe, header + 8)[0] != 0:
        errors.append("lodo.exe carries a PE timestamp")
for name in ("lodo.ini", "README.txt"):
    text = data.get(name, b"")
    if not text or text.count(b"\n") != text.count(b"\r\n"):
        errors.append(f"{name} is not in CRLF line ends")
if data.get("lodo.ini", b"").replace(b"\r\n", b"\n") != open(sample, "rb").read().replace(b"\r\n", b"\n"):
    errors.append("lodo.ini is not the sample")
readme = data.get("README.txt", b"").decode("utf-8")
if not readme.startswith("\ufeff"):
    errors.append("README.txt has no UTF-8 byte-order mark")
# The guide names every settings key, the command and the error a user sees.
for needle in ["lodo " + version, "Sp1_naziv", "Sp16_naziv", "Sp1_adresa", "Sp16_adresa", "[Spajanja]", "[Forma]",
               "Rucni_unos ", "Rucni_unos_adresa", "Zadnje_spajanje", '"<program folder>\\winvnc.exe" -connect <address>',
               "host::port", "VNC poslužitelj nije moguće pokrenuti.", "writable", "Digital Signatures", "@VERSION@"]:
    present = needle in readme
    if present != (needle != "@VERSION@"):
        errors.append(f"README.txt: {needle!r} {'left in' if present else 'missing'}")
for e in errors:
    print("FAIL:", e)
sys.exit(1 if errors else 0)
PY
echo "zip: $zip reproducible, $(stat -c %s "$work/a/$zip") bytes"
