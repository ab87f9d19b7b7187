#!/usr/bin/env bash
# Makes one PNG showing the fourteen images side by side, each enlarged to
# 256 x 256 without smoothing and labelled with its id.
# Usage: tools/make_contact_sheet.sh IMAGE_DIRECTORY OUTPUT.png
set -euo pipefail
images=${1:?image directory}
output=${2:?output png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for id in $(seq 110 123); do
  # Read the pixels as raw B,G,R rows (the images' layout: 18-byte header,
  # bottom row first) rather than trusting a TGA reader's idea of the origin.
  file="$images/$id.tga"
  width=$(od -An -tu2 -j12 -N2 "$file" | tr -d ' ')
  height=$(od -An -tu2 -j14 -N2 "$file" | tr -d ' ')
  # head, not tail, reads the file so that no side of the pipe dies of SIGPIPE.
  head -c $((18 + width * height * 3)) "$file" | tail -c $((width * height * 3)) >"$work/$id.bgr"
  convert -size "${width}x${height}" -depth 8 "bgr:$work/$id.bgr" -flip \
    -filter point -resize 256x256 "$work/$id.png"
done
montage $(for id in $(seq 110 123); do printf '%s ' "-label" "$id" "$work/$id.png"; done) \
  -tile 7x2 -geometry +6+6 -background '#404040' -fill white -pointsize 18 "$output"
