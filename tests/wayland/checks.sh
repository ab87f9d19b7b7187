# What the Wayland test scripts share, sourced by each: the session, the
# program run in it as the session's user, and pixel counts of screenshots.
# The scripts are given: the harness, the session directory, the program.
harness=$1
dir=$2
program=$3
failures=0
# shellcheck disable=SC1091
. "$dir/env"

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

in_session() { "$harness" run "$dir" "$@"; }

# The program, copied where the session's user may run it.
install -m 0755 "$program" "$SESSION/mirrowen"

# Starts `mirrowen ARGS` in the session (with the variables of SAVER_ENV,
# "NAME=VALUE ..."); SAVER_JOB is the job (its exit status is the
# program's), SAVER_PID the program itself.
start_saver() {
  # shellcheck disable=SC2086
  "$harness" run "$dir" env ${SAVER_ENV:-} ./mirrowen "$@" 2>"$dir/saver.err" &
  SAVER_JOB=$!
  SAVER_PID=""
  for _ in $(seq 1 100); do
    SAVER_PID=$(pgrep -P "$SAVER_JOB" -x mirrowen || true)
    [ -n "$SAVER_PID" ] && return 0
    kill -0 "$SAVER_JOB" 2>/dev/null || break
    sleep 0.05
  done
  return 1
}

# The processes called NAME in this session (the user may have others).
session_pids() {
  local pid
  for pid in $(pgrep -u mirrowen-test -x "$1"); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" && echo "$pid"
  done
  return 0
}

stop_saver() {
  if [ -n "${SAVER_PID:-}" ]; then kill -9 "$SAVER_PID" 2>/dev/null || true; fi
  if [ -n "${SAVER_JOB:-}" ]; then wait "$SAVER_JOB" 2>/dev/null || true; fi
  SAVER_PID=""
  SAVER_JOB=""
}

# A screenshot in the session directory; its path is printed.
shot() {
  local name=$1
  shift
  rm -f "$SESSION/$name"
  in_session grim "$@" "$name" && echo "$SESSION/$name"
}

# Pixels of the compositor's background (#ff00ff) in FILE, cut to GEOMETRY
# (WxH+X+Y) when given.
magenta() {
  convert "$1" ${2:+-crop "$2" +repage} -fuzz 5% -fill black +opaque '#ff00ff' \
    -precision 12 -format '%[fx:round(mean.r*w*h)]' info:
}
# Lit pixels (brighter than a quarter, background left out).
lit() {
  convert "$1" ${2:+-crop "$2" +repage} -fuzz 5% -fill black -opaque '#ff00ff' -colorspace gray \
    -threshold 25% -precision 12 -format '%[fx:round(mean*w*h)]' info:
}

finish() {
  stop_saver
  if [ "$failures" -ne 0 ]; then
    echo "program's messages:"
    cat "$dir/saver.err" 2>/dev/null || true
    exit 1
  fi
  exit 0
}
