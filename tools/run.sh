#!/usr/bin/env bash
# Builds the program (installing what it needs first) and launches it.
# Without a display the window opens on a virtual X server (xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
bash tools/deps.sh "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_BENCH=OFF >/dev/null
cmake --build build --target pelorin -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting PELORIN on a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build/ui/pelorin "$@"
fi
exec ./build/ui/pelorin "$@"
