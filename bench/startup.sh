#!/usr/bin/env bash
# Start-up time of the program against a bare Qt program (an empty main window
# with a tab widget), measured side by side: each is launched N times in turn
# on the offscreen platform and reports the time from its launch to the first
# paint of its main window. Prints the medians and their ratio.
#   bench/startup.sh <build folder> [N]
set -euo pipefail
build="${1:?usage: bench/startup.sh <build folder> [N]}"
runs="${2:-20}"
export QT_QPA_PLATFORM=offscreen LC_ALL="${LC_ALL:-C.UTF-8}"

program="$build/bench/startup_pelorin"
bare="$build/bench/startup_bare"

launch() {
    PELORIN_LAUNCH_US="${EPOCHREALTIME/[.,]/}" "$1" 2>/dev/null
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One launch of each first, so that both start from warm file caches.
launch "$program" >/dev/null
launch "$bare" >/dev/null

program_times=()
bare_times=()
for ((i = 0; i < runs; i++)); do
    program_times+=("$(launch "$program")")
    bare_times+=("$(launch "$bare")")
done

program_median=$(printf '%s\n' "${program_times[@]}" | median)
bare_median=$(printf '%s\n' "${bare_times[@]}" | median)
echo "runs: $runs each"
echo "PELORIN to first paint:   median ${program_median} ms"
echo "bare Qt to first paint:   median ${bare_median} ms"
awk -v p="$program_median" -v b="$bare_median" 'BEGIN { printf "ratio: %.2f\n", p / b }'
