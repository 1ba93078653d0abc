#!/usr/bin/env bash
# Formats every tracked C and C++ file with the committed .clang-format.
#
#   scripts/format.sh           formats them in place
#   scripts/format.sh --check   lists every file that differs, changes nothing,
#                               and fails when there is one (CI runs this)
#
# The layout depends on clang-format's version: both use Debian's
# /usr/bin/clang-format, the one scripts/setup.sh installs (14 on Debian 12),
# never another one that comes first on PATH.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check=no
case ${1:-} in
  --check) check=yes ;;
  "") ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac

"$root/scripts/setup.sh"
clang_format=/usr/bin/clang-format
[ -x "$clang_format" ] || { echo "format: no $clang_format (scripts/setup.sh installs clang-format)" >&2; exit 1; }

cd "$root"
mapfile -d '' files < <(git ls-files -z -- '*.c' '*.cc' '*.cpp' '*.cxx' '*.h' '*.hh' '*.hpp' '*.inl')
differ=0
for f in "${files[@]}"; do
  if [ "$check" = yes ]; then
    # A file clang-format cannot read counts as differing; its message shows.
    "$clang_format" --style=file "$f" | cmp -s - "$f" && continue
    echo "$f"
    differ=$((differ + 1))
  else
    "$clang_format" --style=file -i "$f"
  fi
done

version=$("$clang_format" --version | sed 's/.*version \([0-9.]*\).*/\1/')
if [ "$check" = no ]; then
  echo "format: ${#files[@]} files formatted with clang-format $version"
elif [ $differ -gt 0 ]; then
  echo "format: $differ of ${#files[@]} files differ from .clang-format (clang-format $version);" \
    "scripts/format.sh formats them" >&2
  exit 1
else
  echo "format: all ${#files[@]} C and C++ files match .clang-format (clang-format $version)"
fi
