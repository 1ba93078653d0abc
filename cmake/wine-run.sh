#!/usr/bin/env bash
# Runs a Windows executable under Wine; used as CMake's cross-compiling emulator.
# The caller (scripts/test.sh) provides WINEPREFIX, DISPLAY and a running wineserver.
#
# Wine may start helper processes (the desktop, services) that inherit our
# stdout and outlive the program; a caller that reads our output through a
# pipe (ctest) would then wait for them forever. So the program writes into
# files, and we copy those out once it has ended.
loader=""
for l in /usr/lib/wine/wine64 /usr/bin/wine64 /usr/bin/wine; do
  [ -x "$l" ] && { loader=$l; break; }
done
[ -n "$loader" ] || { echo "wine-run.sh: no Wine loader found (run scripts/setup.sh)" >&2; exit 127; }

out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$loader" "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"
cat "$err" >&2
exit $rc
