# Pixel counts of screenshots, sourced by the end-to-end tests of both kinds
# of Linux session. The background under test is painted #ff00ff.

# Pixels of the background (#ff00ff) in FILE, cut to GEOMETRY (WxH+X+Y)
# when given.
magenta() {
  convert "$1" ${2:+-crop "$2" +repage} -fuzz 5% -fill black +opaque '#ff00ff' \
    -precision 12 -format '%[fx:round(mean.r*w*h)]' info:
}
# Lit pixels (brighter than a quarter, background left out).
lit() {
  convert "$1" ${2:+-crop "$2" +repage} -fuzz 5% -fill black -opaque '#ff00ff' -colorspace gray \
    -threshold 25% -precision 12 -format '%[fx:round(mean*w*h)]' info:
}
