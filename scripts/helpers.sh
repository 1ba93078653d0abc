# Sourced through wine-env.sh: waiting for a condition, ending processes,
# finding a window on the X display.

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

# on_exit COMMAND: runs COMMAND when the script ends, also on Ctrl-C or kill.
on_exit() {
  trap "$1" EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
}

# find_window TITLE: a visible window whose title holds TITLE; sets $window.
find_window() {
  window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$window" ]
}
