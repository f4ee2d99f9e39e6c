#!/usr/bin/env bash
# Builds everything and runs every test (installing what it needs first):
#   1. the fuzz targets (clang, libFuzzer with ASan + UBSan), each run for a
#      few seconds from its corpus in build-fuzz/corpus (tests/fuzz/run.sh);
#   2. the sanitizer build (ASan + UBSan) of the whole program with all tests,
#      the real-printing tests included;
#   3. the warnings-as-errors build of the whole program with all tests,
#      the real-printing tests on a local CUPS queue and the Debian package
#      test (cpack, desktop-file-validate, appstreamcli, hardening-check,
#      lintian) included.
# A failure in any step fails the script; the last lines are CTest's summary
# of step 3. About seven minutes on two cores when build/ is already built,
# some minutes more on a fresh clone.
#
# The printing tests print by name to the queue PELORIN_PDF, which
# tools/cups_setup.sh makes (starting CUPS if needed); when the queue was not
# there before, it is removed again at the end, so the machine's printers are
# left as they were (the default printer is never touched).
#
#   tools/test.sh --quick [LABEL...] [-- CTEST OPTIONS]
# is the inner loop: no package installs, no printing set-up, only the
# warnings-as-errors build in build/ of the tests with the given CTest labels
# (default core: the calculation core, no windows; also gui, report, print)
# and those tests, e.g. `tools/test.sh --quick core gui` or
# `tools/test.sh --quick -- -R tst_units`. Seconds once build/ exists.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--quick" ]; then
    shift
    labels=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        labels+=("$1")
        shift
    done
    [ "${1:-}" = "--" ] && shift
    [ ${#labels[@]} -eq 0 ] && labels=(core)
    targets=()
    for label in "${labels[@]}"; do
        targets+=("tests_$label")
    done
    [ -f build/CMakeCache.txt ] ||
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON >/dev/null
    cmake --build build -j"$(nproc)" --target "${targets[@]}"
    pattern="^($(IFS='|'; echo "${labels[*]}"))\$"
    exec ctest --test-dir build -L "$pattern" -j"$(nproc)" --output-on-failure "$@"
fi

source tools/packages.sh
bash tools/deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
# The machine is left as it was found: the test queue and a print service the
# run started go again at the end.
cups_was_running=false
queue_was_there=false
if lpstat -r 2>/dev/null | grep -q "is running"; then
    cups_was_running=true
    lpstat -p PELORIN_PDF >/dev/null 2>&1 && queue_was_there=true
fi
restore_printing() {
    if [ "$queue_was_there" = false ]; then
        bash tools/cups_setup.sh --remove >/dev/null 2>&1 || true
    fi
    if [ "$cups_was_running" = false ]; then
        pkill -x cupsd 2>/dev/null || true
    fi
}
trap restore_printing EXIT
bash tools/cups_setup.sh

jobs="$(nproc)"
export LC_ALL=C.UTF-8
failed=()

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELORIN_FUZZ=ON -DPELORIN_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_targets
bash tests/fuzz/run.sh build-fuzz 6 || failed+=("fuzzing")

# Every test runs leak-free: leak detection is on.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPELORIN_SANITIZE=ON -DPELORIN_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan -LE style --output-on-failure -j"$jobs" \
    || failed+=("the sanitizer build's tests")

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED so far: ${failed[*]} (see above); the main build runs all the same."
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
status=0
ctest --test-dir build --output-on-failure -j"$jobs" || status=$?

if [ ${#failed[@]} -ne 0 ] && [ "$status" -eq 0 ]; then
    status=1
fi
exit "$status"
