#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Korvane need, only those missing.
set -euo pipefail

packages=(
  cmake g++ make ccache clang-format
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev qt6-charts-dev libqt6opengl6-dev
  fonts-ipafont-gothic fonts-ipamj-mincho qt6-translations-l10n
  sqlite3 libsqlite3-dev xvfb xauth poppler-utils xdg-utils
  libbenchmark-dev libcsv-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or with sudo) to install the missing packages." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
