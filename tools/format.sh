#!/usr/bin/env bash
# Formats every C++ file of the project with the committed .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
find calc ui report tests bench tools \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i
