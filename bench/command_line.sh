#!/usr/bin/env bash
# A command-line run writing the table as CSV to standard output against
# --version of the same program, launched N times each in turn with no
# display: prints the median wall times and their ratio.
#   bench/command_line.sh <build folder> [N]
set -euo pipefail
build="${1:?usage: bench/command_line.sh <build folder> [N]}"
runs="${2:-40}"
program="$build/ui/pelorin"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export LC_ALL="${LC_ALL:-C.UTF-8}"

elapsed_us() {
    local start end
    start="${EPOCHREALTIME/[.,]/}"
    "$@" >/dev/null 2>&1
    end="${EPOCHREALTIME/[.,]/}"
    echo $((end - start))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

csv_run=("$program" --shape deep --diameter 2.5 --length 6 --angle 12.5 --points 25 --csv -)
"${csv_run[@]}" >/dev/null 2>&1 # warm the file caches
"$program" --version >/dev/null

csv_times=()
version_times=()
for ((i = 0; i < runs; i++)); do
    csv_times+=("$(elapsed_us "${csv_run[@]}")")
    version_times+=("$(elapsed_us "$program" --version)")
done
csv="$(printf '%s\n' "${csv_times[@]}" | median)"
version="$(printf '%s\n' "${version_times[@]}" | median)"
awk -v c="$csv" -v v="$version" -v n="$runs" 'BEGIN {
    printf "--csv - (25 points): %.2f ms   --version: %.2f ms   ratio %.2f   (medians of %d)\n",
        c / 1000, v / 1000, c / v, n }'
