#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# The same configuration as scripts/test.sh: one build serves both, so switching rebuilds nothing.
export KORVANE_WERROR=ON
cmake --preset default
cmake --build --preset default

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Korvane in a virtual X server (xvfb-run)."
  exec xvfb-run -a build/bin/korvane
fi
exec build/bin/korvane
