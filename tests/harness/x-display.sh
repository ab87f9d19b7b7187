# Sourced by the harnesses that start a private X server.
#
# start_x_server FIRST LAST LOG COMMAND...
# Starts COMMAND (its word "@" standing for the display) on the first free
# display from FIRST to LAST, with no inherited input and its output in LOG;
# sets x_pid and x_display. Sessions starting at once may each see the same
# number free, and a server that loses the race runs on for a moment beside
# the winner's socket: the number is ours only when the lock file names our
# server. Otherwise ours is ended and the next number tried.
start_x_server() {
  local first=$1 last=$2 log=$3 n pid word
  shift 3
  local command
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    command=()
    for word in "$@"; do
      if [ "$word" = @ ]; then command+=(":$n"); else command+=("$word"); fi
    done
    setsid "${command[@]}" </dev/null >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ] &&
      [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
      x_pid=$pid
      x_display=":$n"
      return 0
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  return 1
}
