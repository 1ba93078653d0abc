#!/usr/bin/env bash
# The time of a helpdesk's first and second client package, each with its
# own branding (scripts/demo/branding, then the same with other texts): the
# first from a new release build folder (the build, the measuring prefix,
# the resources, the link, the packages), the second reusing that build
# (resources, link, packages).
#
#   bench/client_package.sh ROOT
set -euo pipefail
root=$1
work=$(mktemp -d "$root/build/bench-client.XXXXXX")
trap 'rm -rf "$work"' EXIT

client() {  # FOLDER TITLE NAME
  mkdir -p "$1"
  cp "$root"/scripts/demo/branding/* "$1/"
  cp "$root/launcher/lodo.sample.ini" "$1/lodo.ini"
  printf 'stand-in' >"$1/winvnc.exe"
  sed -i -e "s/^Title=.*/Title=$2/" -e "s/^Name=.*/Name=$3/" "$1/branding.ini"
}
client "$work/Kiel" "Nordlicht IT – Fernwartung" "Nordlicht IT GmbH"
client "$work/Lübeck" "Hansa Support – Fernwartung" "Hansa Support GmbH"

# timed NAME FOLDER: one package run, its seconds printed.
timed() {
  local start ms
  start=$(date +%s%N)
  LODO_RELEASE_BUILD_DIR="$work/release" "$root/scripts/package.sh" --client "$2" --out "$work/dist" \
    >"$work/$1.log" 2>&1 || { cat "$work/$1.log" >&2; exit 1; }
  ms=$((($(date +%s%N) - start) / 1000000))
  printf '   %-30s %4d.%d s\n' "$1" $((ms / 1000)) $((ms % 1000 / 100))
}
echo "client packages ($(nproc) cores), release build in a new folder:"
timed "first client (build included)" "$work/Kiel"
timed "second client" "$work/Lübeck"
