#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and packaging Korvane need, only those
# missing.
set -euo pipefail

packages=(
  # build
  cmake g++ make ccache clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-charts-dev libqt6opengl6-dev
  libsqlite3-dev libcsv-dev libcups2-dev
  # run: the SQLite driver, fonts, Qt's Japanese texts, the PDF viewer's launcher
  libqt6sql6-sqlite qt6-qpa-plugins fonts-ipafont-gothic fonts-ipamj-mincho qt6-translations-l10n xdg-utils
  # tests: virtual display, PDF text and pictures, a real print queue, the sqlite3 shell of the benchmarks
  xvfb xauth poppler-utils cups cups-client printer-driver-cups-pdf sqlite3
  # package and its checks: dependencies of the binaries, validators, the installed program driven as a user
  dpkg-dev file lintian desktop-file-utils appstream imagemagick xdotool
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
