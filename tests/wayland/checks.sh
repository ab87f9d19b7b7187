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

# The idle tests' covers draw ten frames a second (-delay 100000): enough to
# see a cover drawn, and the machine is left to the tests beside them.

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

# The processes called NAME in this session (the user may have others);
# with -f TEXT, those whose command line has TEXT.
session_pids() {
  if [ "$1" = -f ]; then "$harness" pids "$dir" -f "$2"; else "$harness" pids "$dir" -x "$1"; fi
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

# Pixel counts: magenta (the compositor's background) and lit.
. "$(dirname "${BASH_SOURCE[0]}")/../harness/pixel-counts.sh"

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }

# The protocol log's awk helpers: ts() is a line's time stamp in ms
# ("[ 1234.567]", padded), surface() the wl_surface a request is for.
log_awk='function ts(  s) { s = $0; sub(/^\[ */, "", s); sub(/\].*/, "", s); return s + 0 }
  function surface(  s) { s = $0; sub(/^[^@]*-> /, "", s); sub(/\..*/, "", s); return s }'

# Milliseconds from a plain `mirrowen --wayland -frames 1`'s first request to
# its first frame committed on the last of COUNT outputs (from its protocol
# log): what a cold start takes on this machine now, to measure a cover by.
fresh_start_ms() {
  "$harness" run "$dir" env WAYLAND_DEBUG=1 ./mirrowen --wayland -frames 1 2>"$dir/fresh.err"
  awk -v want="$1" "$log_awk"'
    NR == 1 { t = ts() }
    /-> wl_surface@[0-9]+\.attach\(/ { s = surface(); if (!(s in seen)) { seen[s] = 1;
      if (++k == want) { printf "%.0f", ts() - t; exit } } }' "$dir/fresh.err"
}

# The program's protocol log (WAYLAND_DEBUG=1 into saver.err) read for the
# idle runs, in ms: the Nth idle notice to the first frame committed on the
# last of OUTPUTS surfaces; the input that ends the Nth cover to the removal
# of the last. That input shows first as the key at the cover or as the
# compositor's active-again notice to the service, whichever comes first: a
# cover told to end by the service may go before it reads the key at all.
cover_latency() {
  awk -v want="$1" -v outputs="$2" "$log_awk"'
    /timeout@[0-9]+\.idle\(\)|notification_v1@[0-9]+\.idled\(\)/ { if (++n == want) t = ts(); next }
    t && /-> wl_surface@[0-9]+\.attach\(/ { s = surface(); if (!(s in seen)) { seen[s] = 1;
      if (++k == outputs) { printf "%.0f", ts() - t; exit } } }' "$dir/saver.err"
}
uncover_latency() {
  awk -v want="$1" -v outputs="$2" "$log_awk"'
    /timeout@[0-9]+\.idle\(\)|notification_v1@[0-9]+\.idled\(\)/ { ++n; next }
    n == want && !t && (/wl_keyboard@[0-9]+\.key\([0-9]+, [0-9]+, [0-9]+, 1\)/ ||
      /timeout@[0-9]+\.resumed\(\)|notification_v1@[0-9]+\.resumed\(\)/) { t = ts(); next }
    t && /-> zwlr_layer_surface_v1@[0-9]+\.destroy\(/ { if (++k == outputs) { printf "%.0f", ts() - t; exit } }' \
    "$dir/saver.err"
}
# Waits up to SECONDS for the Nth cover's first frames on OUTPUTS outputs,
# reading the log only (screenshots would slow the program they time).
await_cover() {
  local n=$1 outputs=$2 limit=$3 start
  start=$(now)
  until [ -n "$(cover_latency "$n" "$outputs")" ]; do
    awk -v s="$(since "$start")" -v l="$limit" 'BEGIN { exit !(s > l) }' && return 1
    sleep 0.1
  done
}
# Waits up to SECONDS for CHECK (a command line, run by eval) to succeed.
await() {
  local check=$1 limit=$2 start
  start=$(now)
  while ! eval "$check"; do
    awk -v s="$(since "$start")" -v l="$limit" 'BEGIN { exit !(s > l) }' && return 1
    sleep 0.05
  done
}
# Layer surfaces the program has made so far (from its log).
surfaces_made() { grep -c "get_layer_surface" "$dir/saver.err"; }

# Whether a cover's first frames came promptly after the idle notice
# (MS): no later than three times what a cold start measured in the same
# run (FRESH) took, counted as a second at least. This is the sanitizer
# build on a shared machine, beside other tests and the tests' own
# screenshots, one sample each: the check catches a cover that waits for
# something before it starts, not a slow machine. What the program users get
# does is in bench/wayland/idle-run.
prompt() {
  local base=$2
  [ "$base" -ge 1000 ] 2>/dev/null || base=1000
  [ -n "$1" ] && [ "$1" -le $((base * 3)) ]
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
