#!/usr/bin/env bash
# Installs what is missing, builds Korvane and runs the whole test suite.
# Usage: scripts/test.sh [default|asan]   (default: the normal build; asan: address + undefined sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-default}"
bash scripts/install-deps.sh

# Warnings are errors for every build made by this script.
export KORVANE_WERROR=ON
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
