#!/usr/bin/env bash
# Re-renders resources/pictures/*.png from the SVG sources in resources/src/
# (list and treatments in resources/src/pictures.txt; each picture also at
# twice its size, <name>@2x.png) and the desktop's icons
# resources/desktop/icons/*.png (list in resources/desktop/icons.txt), then
# checks that the written files agree with the sources. Builds the renderer on
# its own first.
#   BUILD_DIR   where to build the renderer (default: build-pics)
#   --check     only compare the committed pictures with their sources
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
bash tools/deps.sh "${BUILD_PACKAGES[@]}"

build_dir="${BUILD_DIR:-build-pics}/render_pictures"
cmake -S tools -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target render_pictures -j2 >/dev/null

export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
renderer="$build_dir/render_pictures"
icons=(resources/desktop/icons resources/desktop/icons.txt)
if [ "${1:-}" != "--check" ]; then
    "$renderer" resources/src resources/pictures
    "$renderer" resources/src "${icons[@]}"
fi
"$renderer" --check resources/src resources/pictures
"$renderer" --check resources/src "${icons[@]}"
