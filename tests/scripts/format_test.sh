#!/usr/bin/env bash
# scripts/format.sh in a repository of its own: --check lists exactly the
# tracked C and C++ files that differ from .clang-format and fails, changing
# nothing; without it they are formatted in place and the check passes.
#
#   format_test.sh SOURCE_DIR
set -euo pipefail
root=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "$PWD/format.XXXXXX")
trap 'rm -rf "$work"' EXIT
repo="$work/repo"
mkdir -p "$repo/scripts" "$repo/sub dir"
cp "$root/scripts/format.sh" "$root/scripts/setup.sh" "$repo/scripts/"
cp "$root/.clang-format" "$repo/"
cd "$repo"

printf 'int Answer() { return 42; }\n' >good.cpp
printf 'int  Answer( ) {return 42;}\n' >bad.cpp
printf '#pragma once\nclass TBad {\npublic:\n  void Run();\n};\n' >"sub dir/bad file.h"
printf 'int Answer() {\n  return 42;\n}\n\n\n' >trailing.c
# Not tracked, and not C or C++: never looked at.
printf 'int  Untracked( ) {return 1;}\n' >untracked.cpp
printf 'int  Text( ) {return 1;}\n' >notes.txt
git init -q .
git add .clang-format scripts good.cpp bad.cpp "sub dir/bad file.h" trailing.c notes.txt
cp -r "$repo" "$work/before"

set +e
scripts/format.sh --check >"$work/out" 2>"$work/err"
status=$?
set -e
[ $status -ne 0 ] || fail "--check passed with unformatted files"
printf 'bad.cpp\nsub dir/bad file.h\ntrailing.c\n' | diff - <(sort "$work/out") ||
  fail "--check did not list exactly the differing files"
grep -q '3 of 4 files differ' "$work/err" || fail "--check did not count them: $(cat "$work/err")"
diff -r --exclude=.git "$work/before" "$repo" >/dev/null || fail "--check changed files"

scripts/format.sh >/dev/null
cmp -s good.cpp "$work/before/good.cpp" || fail "a formatted file was changed"
cmp -s bad.cpp "$work/before/bad.cpp" && fail "bad.cpp was not formatted"
cmp -s untracked.cpp "$work/before/untracked.cpp" || fail "an untracked file was formatted"
cmp -s notes.txt "$work/before/notes.txt" || fail "a text file was formatted"
scripts/format.sh --check >"$work/out" || fail "--check fails after formatting: $(cat "$work/out")"
echo "format: --check lists and fails, formatting fixes"
