#!/usr/bin/env bash
# Run by scripts/check-installed.sh as the ordinary user, inside the virtual display: starts the
# installed korvane, takes the screenshot, ends it through its menu as a user would (終了, はい) and
# checks the database in the user's data folder.
set -euo pipefail

data="$HOME/.local/share/korvane"
fail() {
  echo "drive-installed: $*" >&2
  exit 1
}
[ ! -e "$data" ] || fail "the home is not fresh: $data exists"

window() { # the id of the visible window of that title, waiting up to 20 s
  for _ in $(seq 1 100); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

korvane 2>"$HOME/korvane.log" &
pid=$!
main="$(window 'メインメニュー')" || fail "no main window; the program said: $(cat "$HOME/korvane.log")"
sleep 2
import -window "$main" "$HOME/installed-MainForm.png"

[ -f "$data/Korvane.mdb" ] || fail "no database in $data"
echo "database made in the user's data folder: $data/Korvane.mdb"
inode="$(stat -c %i "$data/Korvane.mdb")"

xdotool windowfocus --sync "$main" key alt+x
question="$(window 'コルヴァン終了')" || fail "the exit question did not come"
xdotool windowfocus --sync "$question" key alt+y
for _ in $(seq 1 150); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "korvane did not end"
wait "$pid" || fail "korvane ended with status $?"

# Compaction writes a new file and renames it over the old one, in the same folder.
[ -f "$data/Korvane.mdb" ] || fail "the database is gone after the exit"
[ "$(stat -c %i "$data/Korvane.mdb")" != "$inode" ] || fail "the database was not compacted at exit"
[ ! -e "$data/korvnew.mdb" ] || fail "the compaction left korvnew.mdb behind"
echo "compacted at exit in $data"
ls -l "$data"
