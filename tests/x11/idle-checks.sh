# What the X11 idle tests share, sourced by each with DISPLAY set and `dir`
# (a folder for their files) and `program` given: the service run in the
# background, its log read, and pixel counts of screenshots.
failures=0
SERVICE_PID=""

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }

# Waits up to SECONDS for CHECK (a command) to succeed; prints the time taken.
await() {
  local check=$1 limit=$2 start
  start=$(now)
  while ! eval "$check"; do
    awk -v s="$(since "$start")" -v l="$limit" 'BEGIN { exit !(s > l) }' && return 1
    sleep 0.05
  done
  since "$start"
}

# Input now, so that the idle time counts from here (a move to where the
# pointer already is would be none).
input_now() { xdotool mousemove_relative -- 1 1; }

# `mirrowen ARGS` in the background, its log in $dir/service.err.
# The covers draw ten frames a second (-delay 100000 given by the tests):
# enough to see a cover drawn, and the machine is left to the tests beside them.
start_service() {
  ASAN_OPTIONS=detect_leaks=0 "$program" "$@" 2>"$dir/service.err" &
  SERVICE_PID=$!
}
stop_service() {
  [ -z "$SERVICE_PID" ] || { kill -9 "$SERVICE_PID" 2>/dev/null; wait "$SERVICE_PID" 2>/dev/null; }
  SERVICE_PID=""
}
# Covers started so far, and the drawing program now (empty when none).
covers() { grep -c "covering (drawing program" "$dir/service.err"; }
cover_pid() { pgrep -P "$SERVICE_PID" -x mirrowen || true; }
covering() { [ -n "$(cover_pid)" ]; }
logged() { grep -q "$1" "$dir/service.err"; }

# A screenshot of the root window; its path is printed.
shot() {
  rm -f "$dir/$1"
  import -window root "$dir/$1" 2>/dev/null && echo "$dir/$1"
}
# Pixel counts: magenta (the background) and lit.
. "$(dirname "${BASH_SOURCE[0]}")/../harness/pixel-counts.sh"

finish() {
  stop_service
  if [ "$failures" -ne 0 ]; then
    echo "the service's log:"
    cat "$dir/service.err" 2>/dev/null
    exit 1
  fi
  exit 0
}
