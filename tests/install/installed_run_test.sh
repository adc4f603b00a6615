#!/bin/bash
# The installed game as a new player meets it: installed into a scratch prefix
# and moved elsewhere (nothing may depend on the prefix), started from another
# folder with a fresh HOME under SDL's dummy drivers, ended by SIGTERM as a
# desktop session ends it. The players and the log must be in the player's own
# folder and the installed tree unchanged; then an upgrade of the installed
# levels must show in the player's folder without touching the players.
# With --installed, the same first run of a game already installed under PREFIX
# (the package's own test), which is left as it is.
# Usage: installed_run_test.sh BUILD_DIR | --installed PREFIX
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/valimo-install-XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$1" = --installed ]; then
    build=""
    prefix=$2
else
    build=$(cd "$1" && pwd)
    cmake --install "$build" --prefix "$work/staged" --component valimo >/dev/null
    mkdir -p "$work/moved"
    mv "$work/staged" "$work/moved/prefix"
    prefix=$work/moved/prefix
fi
data=$prefix/share/games/valimo
home=$work/home
player=$home/.local/share/valimo
mkdir -p "$home" "$work/elsewhere"

snapshot() { (cd "$prefix" && find . -printf '%p %y %m %s %T@ %l\n' | sort && find . -type f -exec md5sum {} + | sort); }

# One run of the installed command: up to its main loop, then SIGTERM.
run_game() {
    local log=$player/valimo.log started=""
    rm -f "$log"
    (cd "$work/elsewhere" && exec env -i PATH=/usr/bin:/bin HOME="$home" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        "$prefix/games/valimo" 2>"$work/stderr") &
    local pid=$!
    for _ in $(seq 1 600); do
        if grep -q "Entering main loop" "$log" 2>/dev/null; then started=1; break; fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$started" ] || { kill -KILL "$pid" 2>/dev/null || true; cat "$work/stderr" >&2; cat "$log" >&2 || true; fail "the game did not reach its main loop"; }
    sleep 0.5
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    [ "$status" = 0 ] || { cat "$work/stderr" >&2; fail "exit status $status after SIGTERM"; }
    tail -n 1 "$log" | grep -qx "DirectDraw Release" || { cat "$log" >&2; fail "the log does not end with the shut-down"; }
}

# The shipped data is the generator's, not the build's own runs.
[ "$(cat "$data/prefs.dat")" = "PLAYERS 0" ] || fail "installed prefs.dat: $(cat "$data/prefs.dat")"
[ ! -e "$data/valimo.log" ] && [ ! -e "$data/valimo" ] || fail "the build's log or program in the installed data"

before=$(snapshot)
run_game
log=$player/valimo.log
levels=$(ls "$data/levels" | grep -c '\.lev$')
head -c 22 "$log" | cmp -s - <(printf 'Valimo v1.0 Log File\n\n') || fail "log header"
grep -qF "Loading level list... [ $levels level(s) found ]" "$log" || fail "the game did not find the $levels installed levels"
grep -q "Exiting main loop" "$log" || fail "the loop did not end in order"
[ "$(stat -c %a "$player")" = 700 ] || fail "player folder mode $(stat -c %a "$player")"
[ -f "$player/prefs.dat" ] && [ ! -L "$player/prefs.dat" ] || fail "prefs.dat is not the player's own file"
[ "$(cat "$player/prefs.dat")" = "PLAYERS 0" ] || fail "prefs.dat: $(cat "$player/prefs.dat")"
[ "$(readlink "$player/levels/level00.lev")" = "$data/levels/level00.lev" ] || fail "levels not linked to the installed data"
for f in "$data"/* "$data"/levels/* "$data"/data/*; do
    [ -f "$f" ] || continue
    name=${f#"$data"/}
    [ "$name" = prefs.dat ] && continue
    [ -L "$player/$name" ] || fail "no link for $name"
done
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the game wrote into the folder it was started from: $(ls -A "$work/elsewhere")"
[ "$before" = "$(snapshot)" ] || fail "the installed tree changed"
[ -n "$build" ] || { echo "installed run: ok"; exit 0; }

# An upgrade: one level goes, one comes; the players stay.
printf 'PLAYERS 1\nanna 5 0 0\n' > "$player/prefs.dat"
rm "$data/levels/level01.lev"
cp "$data/levels/level00.lev" "$data/levels/level99.lev"
before=$(snapshot)
run_game
[ ! -e "$player/levels/level01.lev" ] && [ ! -L "$player/levels/level01.lev" ] || fail "the link to a removed level stayed"
[ -L "$player/levels/level99.lev" ] || fail "the new level was not laid"
grep -qF "Loading level list... [ $levels level(s) found ]" "$player/valimo.log" || fail "level count after the upgrade"
[ "$(cat "$player/prefs.dat")" = "$(printf 'PLAYERS 1\nanna 5 0 0')" ] || fail "the players changed"
[ "$before" = "$(snapshot)" ] || fail "the installed tree changed"

# Without HOME there is nowhere to play: one line on stderr, status 1, nothing written.
status=0
(cd "$work/elsewhere" && exec env -i PATH=/usr/bin:/bin "$prefix/games/valimo") 2>"$work/stderr" || status=$?
[ "$status" = 1 ] || fail "no HOME: exit status $status"
[ "$(wc -l < "$work/stderr")" = 1 ] && grep -q '^valimo: .*HOME' "$work/stderr" || fail "no HOME: $(cat "$work/stderr")"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "no HOME: files written"

# DESTDIR, as packaging installs: the desktop entry names the final command.
DESTDIR=$work/dest cmake --install "$build" --prefix /usr --component valimo >/dev/null
grep -qx "Exec=/usr/games/valimo" "$work/dest/usr/share/applications/io.github.valimo.Valimo.desktop" || fail "DESTDIR desktop entry"
[ -x "$work/dest/usr/games/valimo-levels" ] && [ -f "$work/dest/usr/share/games/valimo/prefs.dat" ] || fail "DESTDIR layout"
echo "installed run: ok"
