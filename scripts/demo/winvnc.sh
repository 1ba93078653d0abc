#!/usr/bin/env bash
# Stands in for winvnc.exe on Linux: Wine starts it from lodo's WinExec with
# the same "-connect <address>", and it has x11vnc open that reverse
# connection, sharing this X display. Its pid goes to winvnc.pid and
# x11vnc's log to winvnc.log, both beside it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
log="$here/winvnc.log"

address="" seen=no
while [ $# -gt 0 ]; do
  case $1 in
    -connect) seen=yes; address=${2:-}; shift $(($# > 1 ? 2 : 1)) ;;
    *) shift ;;
  esac
done
[ "$seen" = yes ] || { echo "winvnc stand-in: no -connect" >>"$log"; exit 2; }

# The UltraVNC forms: host, host:display (port 5500 + display), host::port.
# x11vnc wants host:port, and reads "/" as a file name and "," as a list.
refuse() { echo "winvnc stand-in: cannot connect to '$address'" >>"$log"; exit 2; }
case $address in
  "" | */* | *,*) refuse ;;
  *::*) host=${address%%::*} port=${address#*::} ;;
  *:*) host=${address%%:*} port=${address#*:}
    [[ $port =~ ^[0-9]{1,4}$ ]] || refuse
    port=$((5500 + 10#$port)) ;;
  *) host=$address port=5500 ;;
esac
[[ -n $host && $port =~ ^[0-9]{1,5}$ ]] || refuse
target="$host:$port"
echo "winvnc stand-in: -connect $address -> x11vnc -connect_or_exit $target" >>"$log"

echo $$ >"$here/winvnc.pid"
# No listening port of its own; it ends when the viewer disconnects, or when
# no connection is made within 30 s.
exec x11vnc -display "${DISPLAY:?}" -connect_or_exit "$target" -rfbport 0 -nopw -once -timeout 30 \
  -noxdamage -quiet -logappend "$log"
