#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each:
#   tests/fuzz/run.sh BUILD_FOLDER SECONDS_PER_TARGET
# The corpora grow in BUILD_FOLDER/corpus/<target>; the page-file corpus starts
# from real saved pages written by make_page_seeds. Any finding (a crash, a
# sanitizer report, an escaping exception, a timeout or running out of memory)
# leaves its input as BUILD_FOLDER/findings/<target>-* and fails the run.
set -euo pipefail
build="$1"
seconds="$2"
targets=(parse_integer parse_number format_fixed tank_volume page_file)

# Leaks are checked by the sanitizer build's tests; here Qt's caches filled
# during one input would count as that input's leaks.
export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

rm -rf "$build/seeds"
"$build/tests/fuzz/make_page_seeds" "$build/seeds"
mkdir -p "$build/findings"

failed=()
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    seeds=()
    [ "$target" = page_file ] && seeds=("$build/seeds")
    log="$build/findings/$target.log"
    if "$build/tests/fuzz/fuzz_$target" "$corpus" "${seeds[@]}" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/findings/$target-" -print_final_stats=1 >"$log" 2>&1; then
        echo "fuzz_$target: $(grep -m1 '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs, no finding"
    else
        echo "fuzz_$target: FINDING (log $log)"
        tail -n 40 "$log"
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]}"
    exit 1
fi
