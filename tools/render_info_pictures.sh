#!/usr/bin/env bash
# Renders the pictures of the Info and Help pages from their SVG sources in
# resources/src/ into resources/pictures/, with the project's picture renderer
# (tools/render_pictures.cpp, built on its own as tools/render_pictures.sh does),
# each also at twice its size (<name>@2x) for screens of device pixel ratio 2:
#   instrument.png  348 x 245  the level monitor (Info page, ImageStart)
#   tank_end.png    111 x 202  the dished tank end (Help page, Image1)
#   logo.jpg        174 x 54   the maker's logo (Info page, Image2), rendered
#                              opaque and then coded as a baseline JPEG with
#                              ImageMagick's convert
#   BUILD_DIR   where to build the renderer (default: build-pics)
#   --check     only compare the committed PNG pictures with their sources
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${1:-}" = "--check" ] || bash tools/deps.sh imagemagick

build_dir="${BUILD_DIR:-build-pics}/render_pictures"
cmake -S tools -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target render_pictures -j2 >/dev/null
renderer="$build_dir/render_pictures"
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen

# These pictures have lists of their own (the program's list is
# resources/src/pictures.txt); the logo is rendered to a scratch folder first.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/out"
cat >"$tmp/png.txt" <<'LIST'
instrument.png  348x245  instrument.svg  opaque
tank_end.png    111x202  tank_end.svg    opaque
LIST
cat >"$tmp/jpeg.txt" <<'LIST'
logo.png        174x54   logo.svg        opaque
LIST

if [ "${1:-}" != "--check" ]; then
    "$renderer" resources/src resources/pictures "$tmp/png.txt"
    "$renderer" resources/src "$tmp/out" "$tmp/jpeg.txt"
    for logo in logo logo@2x; do
        convert "$tmp/out/$logo.png" -strip -quality 92 -sampling-factor 4:2:0 \
            "JPEG:resources/pictures/$logo.jpg"
        echo "resources/pictures/$logo.jpg (JPEG)"
    done
fi
"$renderer" --check resources/src resources/pictures "$tmp/png.txt"
