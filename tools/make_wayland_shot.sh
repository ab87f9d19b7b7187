#!/usr/bin/env bash
# A screenshot of mirrowen --wayland on two outputs of a headless sway
# (1024x768 and 800x600 side by side), as in the README.
# Usage (as root): tools/make_wayland_shot.sh PROGRAM OUTPUT.png
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:?the mirrowen program}")
out=$(realpath -m "${2:?output png}")
harness="$root/tests/harness/wayland-session"
dir=$(mktemp -d)
trap '"$harness" stop "$dir" >/dev/null; rm -rf "$dir"' EXIT

"$harness" start "$dir" sway 1024x768 800x600 >/dev/null
# shellcheck disable=SC1091
. "$dir/env"
install -m 0755 "$program" "$SESSION/mirrowen"
"$harness" run "$dir" ./mirrowen --wayland -frames 400 2>/dev/null &
sleep 4  # the field fills
"$harness" run "$dir" grim shot.png
wait
# Outside the outputs grim leaves the area transparent: a dark gap instead.
convert "$SESSION/shot.png" -background '#202020' -flatten "$out"
echo "$out"
