#!/bin/bash
# Replay files that cannot be played are refused with status 2 and one line,
# before anything of the player's is touched: no log, no player folder, no
# folder left behind. A recording that cannot be written leaves the game playing.
set -u
build=$(cd "$1" && pwd)
game="$build/game/valimo"
replays=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; cat "$scratch/err" 2>/dev/null; fail=1; fi; }
mkdir -p "$scratch/home" "$scratch/tmp" "$scratch/cwd" "$scratch/files"
good="$replays/first_run.vrp"

refused() {  # name file reason
    local name="$1" file="$2" why="$3"
    (cd "$scratch/cwd" && HOME="$scratch/home" XDG_DATA_HOME= TMPDIR="$scratch/tmp" \
        SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$game" --replay "$file" --headless >"$scratch/out" 2>"$scratch/err")
    local status=$?
    check "$name: status 2" '[ $status = 2 ]'
    check "$name: one line naming the file and why" \
        '[ "$(wc -l <"$scratch/err")" = 1 ] && grep -qF "valimo: $file: $why" "$scratch/err" && [ ! -s "$scratch/out" ]'
    check "$name: nothing written" '[ -z "$(find "$scratch/home" "$scratch/tmp" "$scratch/cwd" -mindepth 1)" ]'
}

printf 'PLAYERS 1\nanna 3 0 0\n' >"$scratch/files/prefs.dat"
refused "a players' file" "$scratch/files/prefs.dat" "not a Valimo replay"
truncate -s 1G "$scratch/files/zeros"
refused "1 GB of zeros" "$scratch/files/zeros" "not a Valimo replay"
{ printf 'VALIMORP'; head -c 4096 /dev/urandom; } >"$scratch/files/big"
truncate -s 1G "$scratch/files/big"
refused "1 GB after the magic" "$scratch/files/big" "too long"
head -c $(($(stat -c %s "$good") - 3)) "$good" >"$scratch/files/cut"
refused "cut short" "$scratch/files/cut" "cut short"
cp "$good" "$scratch/files/future"
printf '\x07' | dd of="$scratch/files/future" bs=1 seek=8 conv=notrunc status=none
refused "a future format" "$scratch/files/future" "made by a newer Valimo (replay format 7"
cp "$good" "$scratch/files/version"
printf '~' | dd of="$scratch/files/version" bs=1 seek=10 conv=notrunc status=none
refused "another version" "$scratch/files/version" "recorded by valimo ~"
refused "a missing file" "$scratch/files/none" "cannot read it"

# Other data: the replay is played with the game of the current folder, one level changed.
cp -r "$build/game" "$scratch/other"
echo >>"$scratch/other/levels/level01.lev"
(cd "$scratch/other" && HOME="$scratch/home" TMPDIR="$scratch/tmp" "$game" --replay "$good" --headless \
    >"$scratch/out" 2>"$scratch/err")
status=$?
check "other data: status 2, said so" '[ $status = 2 ] && grep -q "recorded with other game data" "$scratch/err"'
check "other data: nothing written" '[ ! -e "$scratch/other/valimo.log" ] && [ -z "$(find "$scratch/tmp" -mindepth 1)" ]'
rm -rf "$scratch/other"

# A recording into a folder that cannot be written: said once, the game plays on.
cp -r "$build/game" "$scratch/play"
(cd "$scratch/play" && exec env HOME="$scratch/home" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    "$game" --record "$scratch/none/run.vrp" >"$scratch/out" 2>"$scratch/err") &
pid=$!
for _ in $(seq 50); do grep -q "Entering main loop" "$scratch/play/valimo.log" 2>/dev/null && break; sleep 0.2; done
sleep 0.5
kill -HUP $pid
wait $pid
status=$?
check "unwritable recording: the game plays and ends in order" '[ $status = 0 ] && grep -q "^Exiting main loop" "$scratch/play/valimo.log"'
check "unwritable recording: one line says so" \
    '[ "$(grep -c . "$scratch/err")" = 1 ] && grep -q "^valimo: cannot record into $scratch/none/run.vrp: .*; the game plays unrecorded$" "$scratch/err"'
exit $fail
