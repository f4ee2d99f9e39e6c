#!/usr/bin/env bash
# Builds the Debian package (installing what the build needs first) in its own
# folder, build-package/, and prints its path; install it with
#   apt install ./build-package/pelorin_<version>_<architecture>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
bash tools/deps.sh "${BUILD_PACKAGES[@]}"

cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DPELORIN_BENCH=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
ls -1 "$PWD"/build-package/pelorin_*.deb
