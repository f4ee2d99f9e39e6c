#!/usr/bin/env bash
# Peak resident memory (VmHWM) of the program on the offscreen platform:
# (a) the main window shown and one calibration run of 25 points, and
# (b) the same plus the report preview opened with its page painted.
# Each is started N times; prints the medians (and minima) and the ratio b/a.
# QT_QPA_PLATFORM may give the offscreen platform a screen of its own, e.g.
# offscreen:configfile=screen.json (its default screen is 800 x 600).
#   bench/report_memory.sh <build folder> [N]
set -euo pipefail
build="${1:?usage: bench/report_memory.sh <build folder> [N]}"
runs="${2:-5}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" LC_ALL="${LC_ALL:-C.UTF-8}"
program="$build/bench/report_memory"

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
minimum() {
    sort -n | head -n 1
}

window=()
preview=()
for ((i = 0; i < runs; i++)); do
    window+=("$("$program" window 2>/dev/null)")
    preview+=("$("$program" preview 2>/dev/null)")
done

window_median=$(printf '%s\n' "${window[@]}" | median)
preview_median=$(printf '%s\n' "${preview[@]}" | median)
echo "runs: $runs each; peak resident memory (VmHWM)"
echo "(a) window and one calculation:  median ${window_median} kB, min $(printf '%s\n' "${window[@]}" | minimum) kB"
echo "(b) plus the report preview:     median ${preview_median} kB, min $(printf '%s\n' "${preview[@]}" | minimum) kB"
awk -v b="$preview_median" -v a="$window_median" 'BEGIN { printf "ratio b/a: %.2f\n", b / a }'
