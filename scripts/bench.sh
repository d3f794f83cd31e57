#!/usr/bin/env bash
# Builds Korvane and runs every benchmark one after another, then lists their ratios.
# Usage: scripts/bench.sh [ctest options]   (for example -R PrintBench for one benchmark)
set -euo pipefail
cd "$(dirname "$0")/.."

export KORVANE_WERROR=ON
cmake --preset default
cmake --build --preset default
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# One at a time: benchmarks running side by side would time each other.
ctest --preset default -L bench -j 1 --verbose "$@" | tee "$log"
echo
echo "name                      median-ratio  goal"
grep -o 'RATIO .*' "$log" | awk '{ printf "%-25s %12s  %s%s\n", $2, $3, $4, ($3 > $4 ? "  above goal" : "") }'
