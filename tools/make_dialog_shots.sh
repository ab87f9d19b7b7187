#!/usr/bin/env bash
# Screenshots of the settings dialog and the About box as Wine draws them,
# inside a virtual desktop so that the windows keep their frames and titles.
# Usage: tools/make_dialog_shots.sh WINDOWS_BUILD_DIR OUTPUT_DIR
# Writes OUTPUT_DIR/settings-dialog.png and OUTPUT_DIR/about-box.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?windows build dir}" && pwd)
out=${2:?output dir}
mkdir -p "$out"
work=$(mktemp -d)
trap 'pkill -f "explorer.exe /desktop=MirrowenShots" 2>/dev/null || true; rm -rf "$work"' EXIT

"$root/tests/harness/wine-session" start "$build/wine" >/dev/null
export DISPLAY=$(cat "$build/wine/display") XAUTHORITY=/dev/null
# A clean key: the dialog shows the defaults.
"$build/wine-run" reg delete 'HKCU\Software\Pelloquin\ScreenSavers\Mirrowen' /f </dev/null >/dev/null 2>&1 || true
"$build/wine-run" explorer /desktop=MirrowenShots,800x600 "$build/Mirrowen.scr" </dev/null >/dev/null 2>&1 &

desktop=""
for _ in $(seq 1 100); do
  desktop=$(xdotool search --name "MirrowenShots" 2>/dev/null | head -1 || true)
  [ -n "$desktop" ] && break
  sleep 0.2
done
[ -n "$desktop" ] || { echo "no virtual desktop appeared" >&2; exit 1; }
sleep 3  # the dialog opens and paints
import -window "$desktop" "$work/dialog.png"
xdotool key alt+a
sleep 2
import -window "$desktop" "$work/about.png"
xdotool key Return
sleep 0.5
xdotool key Escape

# The dialog stands alone on a plain desktop: trimming the background leaves it.
convert "$work/dialog.png" -fuzz 2% -trim +repage "$out/settings-dialog.png"
# The About box is centred on the desktop, and its lower right corner is the
# lower right corner of where the two screens differ (above it the dialog's
# own title bar changes colour too).
read -r right bottom < <(convert "$work/dialog.png" "$work/about.png" -compose difference -composite \
  -threshold 0 -trim -format '%[fx:page.x+w] %[fx:page.y+h]\n' info:)
w=$(( 2 * (right - 400) )) h=$(( 2 * (bottom - 300) ))
convert "$work/about.png" -crop "${w}x${h}+$(( (800 - w) / 2 ))+$(( (600 - h) / 2 ))" +repage "$out/about-box.png"
echo "wrote $out/settings-dialog.png ($(identify -format %wx%h "$out/settings-dialog.png")) and" \
     "$out/about-box.png ($(identify -format %wx%h "$out/about-box.png"))"
