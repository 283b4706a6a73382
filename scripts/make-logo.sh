#!/usr/bin/env bash
# make-logo.sh [OUT]: draws Psykrona's logo, printed at the top of the data
# page and at the bottom of the chart page, into data/QRLOGO.jpg (or OUT).
#
# The pages give the logo a box of 15 : 7; at 600 dpi that box is about
# 1000 x 470 pixels, so the logo is drawn at 1200 x 560 and stays sharp on
# paper. Needs ImageMagick's convert and the Liberation fonts.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/data/QRLOGO.jpg}
bold=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
[[ -f $bold ]] || { echo "make-logo.sh: $bold is missing (Debian package fonts-liberation)" >&2; exit 1; }

# The mark: a Mollier chart in a rounded square. Temperature rises upwards
# and humidity ratio to the right, so the saturation curve climbs steeply
# from the bottom left and bends over towards the right edge; the chart's
# area (unsaturated air) is lighter than the fog region below the curve.
# Enthalpy lines fall to the right as far as the curve, and an orange
# process joins two states.
#
# The curve is a cubic Bezier, bent further than the real one so that the
# chart's area still reads at a few hundred pixels. awk samples it into an
# open polyline: ImageMagick 6 closes a stroked path, which would draw a
# chord under the curve.
blue='#0b5d8c'
area='#2b7fb0'
light='#d5eaf6'
orange='#f08a24'

# One convert argument a line.
mapfile -t mark < <(awk -v area="$area" -v light="$light" '
function bx(t, u) { u = 1 - t; return u*u*u*100 + 3*u*u*t*140 + 3*u*t*t*240 + t*t*t*380 }
function by(t, u) { u = 1 - t; return u*u*u*430 + 3*u*u*t*350 + 3*u*t*t*285 + t*t*t*262 }
# Whether (x, y) lies above and left of the curve, in the chart.
function inside(x, y,   i, t) {
  for (i = 0; i <= 400; i++) { t = i / 400; if (bx(t) >= x) return y < by(t) }
  return 0
}
function draw(what) { print "-draw"; print what }
function enthalpy(x, y,   s) {
  for (s = 0; s < 400 && inside(x + s + 1, y + 1.29 * (s + 1)); s++) ;
  draw(sprintf("line %d,%d %.0f,%.0f", x, y, x + s, y + 1.29 * s))
}
BEGIN {
  for (i = 0; i <= 48; i++) curve = curve sprintf(" %.1f,%.1f", bx(i / 48), by(i / 48))
  for (i = 48; i >= 0; i--) back = back sprintf(" %.1f,%.1f", bx(i / 48), by(i / 48))
  print "-fill"; print area; print "-stroke"; print "none"
  draw("polygon 100,140 380,140" back)
  print "-fill"; print "none"; print "-stroke"; print light; print "-strokewidth"; print 5
  enthalpy(100, 230); enthalpy(160, 140); enthalpy(240, 140); enthalpy(320, 140)
  print "-strokewidth"; print 7
  draw("stroke-linecap round stroke-linejoin round polyline 380,262 380,140 100,140 100,430")
  print "-stroke"; print "white"; print "-strokewidth"; print 16
  draw("stroke-linecap round stroke-linejoin round polyline" curve)
}')

convert -size 1200x560 xc:white \
  -fill "$blue" -stroke none -draw "roundrectangle 40,85 440,485 64,64" \
  "${mark[@]}" \
  -stroke "$orange" -strokewidth 14 -draw "line 165,275 290,215" \
  -fill "$orange" -stroke white -strokewidth 7 \
  -draw "circle 165,275 165,249" -draw "circle 290,215 290,189" \
  -fill "$blue" -stroke none -font "$bold" -pointsize 150 -annotate +482+340 'Psykrona' \
  -fill "$orange" -draw "rectangle 488,380 1160,392" \
  -strip -sampling-factor 1x1 -quality 92 -interlace none "jpeg:$out"

echo "$out"
