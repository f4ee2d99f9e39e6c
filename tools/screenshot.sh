#!/usr/bin/env bash
# Pictures of the main window's pages and of the About box, for checking the
# layout by eye:
#   tools/screenshot.sh [folder]          offscreen, the windows' client areas
#   tools/screenshot.sh --xvfb [folder]   on a virtual X server, as real windows
# The build folder is build/, or $PELORIN_BUILD_DIR; the pictures go to its
# screenshots/ folder unless a folder is given.
set -euo pipefail
cd "$(dirname "$0")/.."

platform=offscreen
if [ "${1:-}" = "--xvfb" ]; then
    platform=xcb
    shift
fi
build="${PELORIN_BUILD_DIR:-build}"
folder="${1:-$build/screenshots}"

# An existing build folder keeps its own settings.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target screenshot -j"$(nproc)"

export LC_ALL="${LC_ALL:-C.UTF-8}"
if [ "$platform" = xcb ]; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "./$build/tools/screenshot" "$folder"
else
    QT_QPA_PLATFORM=offscreen "./$build/tools/screenshot" "$folder"
fi
