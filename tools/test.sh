#!/usr/bin/env bash
# Builds everything and runs every test (installing what it needs first):
#   1. the sanitizer build (ASan + UBSan) of the calculation core and the
#      report page-file reader, with their tests;
#   2. the warnings-as-errors build of the whole program with all tests,
#      the real-printing tests on a local CUPS queue included.
# The last lines are CTest's summary of step 2.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
bash tools/deps.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
bash tools/cups_setup.sh

jobs="$(nproc)"
export LC_ALL=C.UTF-8

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPELORIN_SANITIZE=ON -DPELORIN_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs" --target sanitized_tests
asan_status=0
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan -L sanitized --output-on-failure -j"$jobs" \
    || asan_status=$?

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELORIN_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
status=0
ctest --test-dir build --output-on-failure -j"$jobs" || status=$?

if [ "$asan_status" -ne 0 ]; then
    echo "The sanitizer build's tests failed (see above)."
    exit "$asan_status"
fi
exit "$status"
