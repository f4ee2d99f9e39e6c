#!/usr/bin/env bash
# Builds the program (installing what it needs first) and launches it.
# Without a display (no DISPLAY or WAYLAND_DISPLAY, e.g. over ssh) there is no
# window to show: it runs the calculation of the start-up tank on the command
# line instead, prints Zero, Span and the correction table to the terminal,
# says how to see the window, and exits. Options given to run.sh go to the
# program either way (`tools/run.sh --help` lists the command line's).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
bash tools/deps.sh "${BUILD_PACKAGES[@]}"

# An existing build folder keeps its own settings.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_BENCH=OFF >/dev/null
cmake --build build --target pelorin -j"$(nproc)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/ui/pelorin "$@"
fi
if [ $# -gt 0 ]; then
    exec ./build/ui/pelorin "$@"
fi

echo
echo "No display: the start-up tank (spherical, d 10 meters, 15 points) on the command line,"
echo "as \`build/ui/pelorin --csv -\` gives it: Zero and Span as the Output page shows them, and"
echo "the correction table (the Output grid; CSV on standard output, lined up here)."
echo
results=$(mktemp)
trap 'rm -f "$results"' EXIT
# The table goes to standard output, Zero and Span to standard error.
status=0
table=$(./build/ui/pelorin --csv - 2>"$results") || status=$?
cat "$results"
echo
# The separator is ";" where the decimal separator is ",".
separator=,
[[ "${table%%$'\n'*}" == *";"* ]] && separator=";"
awk -F"$separator" '{ for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) }
           if (NF > columns) columns = NF }
     END { for (r = 1; r <= NR; ++r) { line = ""
               for (i = 1; i <= columns; ++i) line = line sprintf("%*s", width[i] + (i > 1 ? 2 : 0), cell[r, i])
               print line } }' <<<"$table"
[ "$status" -eq 0 ] || exit "$status"
cat <<'TEXT'

To see the window, run tools/run.sh in a desktop session (or over ssh -X), or
take pictures of every window: tools/screenshot.sh writes them as PNGs into
build/screenshots/ (add --xvfb for real windows on a virtual X server).
`build/ui/pelorin --help` lists the command line's options.
TEXT
