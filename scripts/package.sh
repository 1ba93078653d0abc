#!/usr/bin/env bash
# Builds the release zip dist/lodo-<version>-win64.zip (lodo.exe, a sample
# lodo.ini, README.txt) and dist/SHA256SUMS; with --client DIR also a per-user
# installer that carries a helpdesk's winvnc.exe and lodo.ini.
#
#   scripts/package.sh [--client DIR] [--out DIR] [--exe FILE]
#
#   --client DIR  the helpdesk's folder: winvnc.exe with its files, lodo.ini
#   --out DIR     where the packages go (default: dist/)
#   --exe FILE    package this lodo.exe instead of building one (for tests)
#
# The same commit gives the same zip, byte for byte: the exe carries no
# timestamp, and the zip's entries have a fixed order, date and attributes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

client="" out="$root/dist" exe=""
while [ $# -gt 0 ]; do
  case $1 in
    --client) client=${2:?--client needs a folder}; shift 2 ;;
    --out) out=${2:?--out needs a folder}; shift 2 ;;
    --exe) exe=${2:?--exe needs a file}; shift 2 ;;
    -h | --help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "package: unknown argument $1" >&2; exit 2 ;;
  esac
done

# The one place the version is kept (also the exe's version resource).
version=$(sed -n 's/^project(lodo VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

if [ -n "$client" ]; then
  [ -d "$client" ] || { echo "package: no folder $client" >&2; exit 1; }
  client=$(cd "$client" && pwd)
  for f in winvnc.exe lodo.ini; do
    [ -f "$client/$f" ] || { echo "package: $client has no $f" >&2; exit 1; }
  done
fi

if [ -z "$exe" ]; then
  "$root/scripts/setup.sh"
  # A build folder of its own: no tests, and never the one being tested.
  build="${LODO_RELEASE_BUILD_DIR:-$root/build/release}"
  cmake --preset mingw -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLODO_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target lodo
  exe="$build/launcher/lodo.exe"
fi
[ -f "$exe" ] || { echo "package: no $exe" >&2; exit 1; }

# Every date in the zip: the commit's time, unless SOURCE_DATE_EPOCH says otherwise.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 946684800)}

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# UTF-8 with a byte-order mark, so every Notepad shows the Croatian letters.
{ printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/g" "$root/packaging/README.txt.in"; } >"$work/README.txt"
zip_name="lodo-$version-win64.zip"
rm -f "$out/$zip_name"
TZ=UTC python3 "$root/packaging/make-zip.py" "$out/$zip_name" "$epoch" \
  "lodo.exe=$exe" \
  "lodo.ini=$root/launcher/lodo.sample.ini:crlf" \
  "README.txt=$work/README.txt:crlf"
artefacts=("$zip_name")

if [ -n "$client" ]; then
  command -v makensis >/dev/null || { echo "package: makensis is missing (scripts/setup.sh)" >&2; exit 1; }
  # NSIS strings: a dollar sign is written twice.
  nsis_path() { printf '%s' "${1//\$/\$\$}"; }
  files="$work/files.nsh" unfiles="$work/unfiles.nsh"
  : >"$files"
  : >"$unfiles"
  printf 'SetOutPath "$INSTDIR"\nFile "/oname=lodo.exe" "%s"\n' "$(nsis_path "$exe")" >>"$files"
  printf 'Delete "$INSTDIR\\lodo.exe"\n' >>"$unfiles"
  # The helpdesk's files in a fixed order, each folder before its contents.
  while IFS= read -r -d '' rel; do
    rel=${rel#./}
    win=${rel//\//\\}
    if [ -d "$client/$rel" ]; then
      printf 'CreateDirectory "$INSTDIR\\%s"\n' "$(nsis_path "$win")" >>"$files"
      continue
    fi
    if [ "$rel" = lodo.exe ]; then
      echo "package: ignoring $client/lodo.exe, the built one is installed" >&2
      continue
    fi
    dir=$(dirname "$rel")
    [ "$dir" = . ] && target='$INSTDIR' || target="\$INSTDIR\\$(nsis_path "${dir//\//\\}")"
    printf 'SetOutPath "%s"\nFile "%s"\n' "$target" "$(nsis_path "$client/$rel")" >>"$files"
    printf 'Delete "$INSTDIR\\%s"\n' "$(nsis_path "$win")" >>"$unfiles"
  done < <(cd "$client" && find . -mindepth 1 -print0 | LC_ALL=C sort -z)
  # Folders deepest first; RMDir leaves any that still hold something.
  while IFS= read -r -d '' rel; do
    rel=${rel#./}
    printf 'RMDir "$INSTDIR\\%s"\n' "$(nsis_path "${rel//\//\\}")" >>"$unfiles"
  done < <(cd "$client" && find . -mindepth 1 -type d -print0 | LC_ALL=C sort -rz)

  name=$(basename "$client" | tr -c 'A-Za-z0-9._-' '-' | sed 's/-*$//')
  setup_name="lodo-$version-$name-setup.exe"
  makensis -V2 -NOCD \
    "-DVERSION=$version" "-DVERSION4=$version.0" \
    "-DOUTFILE=$out/$setup_name" "-DICON=$root/launcher/art/lodo.ico" \
    "-DFILES=$files" "-DUNFILES=$unfiles" \
    "$root/packaging/lodo.nsi"
  artefacts+=("$setup_name")
fi

(cd "$out" && sha256sum "${artefacts[@]}" >SHA256SUMS)
for a in "${artefacts[@]}"; do
  echo "package: $out/$a ($(stat -c %s "$out/$a") bytes)"
done
echo "package: $out/SHA256SUMS"
