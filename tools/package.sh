#!/usr/bin/env bash
# Builds the Debian package (installing what the build needs first, with
# apt-get: as root or through sudo) in its own folder, build-package/, and
# prints its path; install it with
#   sudo apt install ./build-package/pelorin_<version>_<architecture>.deb
# The program is compiled with Debian's hardening flags (dpkg-buildflags, see
# the top-level CMakeLists.txt). A first build takes some minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
bash tools/deps.sh "${BUILD_PACKAGES[@]}"

cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DPELORIN_BENCH=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
ls -1 "$PWD"/build-package/pelorin_*.deb
