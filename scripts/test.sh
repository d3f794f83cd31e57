#!/usr/bin/env bash
# Installs what is missing, builds Korvane and runs the whole test suite.
# Usage: scripts/test.sh [default|asan]   (default: the normal build; asan: address + undefined sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-default}"
bash scripts/install-deps.sh

# Warnings are errors, in this build as in the one scripts/run.sh and scripts/package.sh use (the same
# configuration, so that running one after the other rebuilds nothing).
export KORVANE_WERROR=ON
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
