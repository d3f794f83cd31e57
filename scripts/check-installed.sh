#!/usr/bin/env bash
# As root on Debian 12: builds the package, installs it, starts the installed korvane as an ordinary
# user with a fresh home under a virtual display, takes the screenshot build/screenshots/
# installed-MainForm.png, checks that the database is made in that user's data folder and compacted
# there at exit, removes the package and checks that nothing of it is left under /usr.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "check-installed: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || fail "run as root: the package is installed and a user is made"

bash scripts/package.sh
deb="$(realpath build/korvane_*.deb)"
export DEBIAN_FRONTEND=noninteractive

# A first install brings the dependencies; the snapshot of /usr is taken without korvane but with them,
# so that the one after the removal must be the same.
dpkg-query -W korvane >/dev/null 2>&1 && apt-get purge -y -qq korvane
apt-get install -y -qq "$deb"
apt-get purge -y -qq korvane
before="$(mktemp)"
after="$(mktemp)"
find /usr | sort >"$before"

apt-get install -y -qq "$deb"
echo "== installed files"
dpkg -L korvane | grep -v '/$' | while read -r path; do [ -d "$path" ] || echo "$path"; done
for path in /usr/bin/korvane /usr/share/korvane/Korvane.mdb /usr/share/korvane/Korvane.hlp \
  /usr/share/applications/jp.korvane.korvane.desktop /usr/share/metainfo/jp.korvane.korvane.metainfo.xml \
  /usr/share/icons/hicolor/48x48/apps/jp.korvane.korvane.png; do
  [ -f "$path" ] || fail "$path was not installed"
done

# An ordinary user with a home nobody has used.
user=korvane-check
home="$(mktemp -d /tmp/korvane-home.XXXXXX)"
if id -u "$user" >/dev/null 2>&1; then
  usermod --home "$home" "$user"
else
  useradd --home-dir "$home" --no-create-home --shell /bin/bash "$user"
fi
chown "$user:" "$home"
chmod 700 "$home"
install -o "$user" -m 755 scripts/drive-installed.sh "$home/drive-installed.sh"

echo "== the installed program, run by $user (home $home)"
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 USER="$user" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$home/drive-installed.sh"
mkdir -p build/screenshots
cp "$home/installed-MainForm.png" build/screenshots/installed-MainForm.png
echo "screenshot: build/screenshots/installed-MainForm.png"

echo "== removal"
apt-get purge -y -qq korvane
find /usr | sort >"$after"
if ! diff "$before" "$after"; then
  fail "the removal left /usr different from before the install (above)"
fi
[ -f "$home/.local/share/korvane/Korvane.mdb" ] || fail "the removal took the user's database"
echo "nothing of korvane left under /usr; the user's data stays in $home/.local/share/korvane"
rm -f "$before" "$after"
userdel "$user"
rm -rf "$home"
echo "check-installed: 1 passed, 0 failed"
