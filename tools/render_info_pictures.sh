#!/usr/bin/env bash
# Renders the pictures of the Info and Help pages from their editable SVG
# sources in resources/src/ into resources/pictures/:
#   instrument.png  348 x 245  the level monitor (Info page, ImageStart)
#   logo.jpg        174 x 54   the maker's logo, stored as JPEG (Info page, Image2)
#   tank_end.png    111 x 202  the dished tank end (Help page, Image1)
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and the Liberation fonts.
set -euo pipefail
cd "$(dirname "$0")/.."
src=resources/src
out=resources/pictures
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rsvg-convert -w 348 -h 245 "$src/instrument.svg" -o "$tmp/instrument.png"
convert "$tmp/instrument.png" -strip "PNG24:$out/instrument.png"

rsvg-convert -w 111 -h 202 "$src/tank_end.svg" -o "$tmp/tank_end.png"
convert "$tmp/tank_end.png" -strip "PNG24:$out/tank_end.png"

# The logo is a photograph-type picture: flattened onto its grey and coded as
# a baseline JPEG, which the program decodes through Qt's jpeg plugin.
rsvg-convert -w 174 -h 54 "$src/logo.svg" -o "$tmp/logo.png"
convert "$tmp/logo.png" -background '#b8bbbb' -flatten -strip -quality 92 \
    -sampling-factor 4:2:0 "JPEG:$out/logo.jpg"
