# Sourced through wine-env.sh: waiting for a condition, ending processes, and
# finding and grabbing windows on the X display.

# running PID: the process is still there.
running() { kill -0 "$1" 2>/dev/null; }

# wait_for SECONDS COMMAND...: polls every 0.1 s, at most SECONDS.
wait_for() {
  local limit=$(($1 * 10)) i=0
  shift
  until "$@"; do
    i=$((i + 1))
    [ $i -ge $limit ] && return 1
    sleep 0.1
  done
}

# stop_pid PID: asks the process to end, and ends it when it has not within
# 5 s (x11vnc can hang in its exit handler once its display is going).
stop_pid() {
  kill "$1" 2>/dev/null || return 0
  wait_for 5 eval "! running $1" || kill -KILL "$1" 2>/dev/null || true
  # Reaps it when it is this shell's child, so no job notice follows.
  wait "$1" 2>/dev/null || true
}

# on_exit COMMAND: runs COMMAND when the script ends, also on Ctrl-C or kill;
# a second signal does not cut COMMAND short.
on_exit() {
  trap "trap '' INT TERM HUP; $1" EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
}

# find_window TITLE: a visible window whose title holds TITLE; sets $window.
find_window() {
  window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$window" ]
}

# same_picture A B: the two pictures have the same size and pixels.
same_picture() { compare -metric AE "$1" "$2" null: >/dev/null 2>&1; }

# grab_settled FILE [AREA [BEFORE]]: saves the screen (or its AREA, WxH+X+Y)
# as FILE once it holds still over three grabs and, given BEFORE, differs from
# that picture; at most 20 s. Wine shows what a thread painted when it next
# waits for messages, so a still picture is a finished paint.
grab_settled() {
  local file=$1 area=${2:-} before=${3:-} still=0
  local crop=()
  [ -n "$area" ] && crop=(-crop "$area" +repage)
  import -window root "${crop[@]}" "$file" || return 1
  _lodo_settled() {
    import -window root "${crop[@]}" "$file.next.png" || return 1
    if same_picture "$file" "$file.next.png" && { [ -z "$before" ] || ! same_picture "$file" "$before"; }; then
      still=$((still + 1))
    else
      still=0
      mv "$file.next.png" "$file"
    fi
    [ $still -ge 2 ]
  }
  local status=0
  wait_for 20 _lodo_settled || status=1
  rm -f "$file.next.png"
  return $status
}
