#!/usr/bin/env bash
# A screenshot of the page in Debian's headless Chromium (WebGL 2 through
# SwiftShader) with its settings panel open, as in the README: a fixed seed
# and 400 steps of three origins with the lens flare.
# Usage: tools/make_web_shot.sh PAGE OUTPUT.png
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
page=$(realpath "${1:?the page, build/web/mirrowen.html}")
out=$(realpath -m "${2:?output png}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/tests/web/page-driver" "file://$page?Origins=3&LensFlare=1&StarCount=1000&seed=1000000000&frames=400" \
  --size 960x600 --wait-for '^mirrowen: end of report' --timeout 120 \
  --prepare "document.getElementById('panel').open = true" --screenshot "$work/shot.png" >"$work/driver.json"
grep -q '"waited": true' "$work/driver.json" || { echo "the page did not reach its frame" >&2; exit 1; }
convert "$work/shot.png" -strip "$out"
echo "$out"
