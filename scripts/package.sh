#!/usr/bin/env bash
# Builds the Debian package build/korvane_<version>_<arch>.deb from the normal build (the one
# scripts/run.sh and scripts/test.sh use), then checks it and its desktop files with Debian's
# validators, printing what they say. Fails on any error they report.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# The same configuration as scripts/run.sh and scripts/test.sh, so that no build redoes another's.
export KORVANE_WERROR=ON
cmake --preset default
cmake --build --preset default
rm -f build/korvane_*.deb
(cd build && cpack -G DEB)
deb="$(ls build/korvane_*.deb)"

echo "== desktop-file-validate"
desktop-file-validate resources/desktop/jp.korvane.korvane.desktop
echo "(no problems)"
echo "== appstreamcli validate"
appstreamcli validate --no-net --pedantic resources/desktop/jp.korvane.korvane.metainfo.xml
echo "== lintian"
# Root may run lintian here: the package is only read.
lintian --allow-root --fail-on error --display-info "$deb"
echo "(lintian: no errors)"
echo "Package: $deb"
