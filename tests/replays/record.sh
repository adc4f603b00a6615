#!/bin/bash
# Records one of the committed replays on the real program under Xvfb and openbox,
# driven with xdotool, and keeps beside it what that run left: its valimo.log,
# its prefs.dat and the end the replay prints. Run it again for every replay when
# the game's data change (a replay refuses other data):
#   tests/replays/record.sh build first_run   (or: all)
# Needs xvfb, openbox and xdotool; DISPLAY_NUMBER picks the X display (128).
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
display=":${DISPLAY_NUMBER:-128}"
names=("${@:2}")
[ "${names[0]:-all}" = all ] && names=(first_run level_solved player_deleted window_switches closing_screen save_failed)

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy

# The picture's point (x, y) of the game's 640 x 480 window.
win=""
at() { xdotool mousemove --window "$win" "$1" "$2"; sleep 0.15; }
click() { at "$1" "$2"; xdotool mousedown 1; sleep 0.12; xdotool mouseup 1; sleep 0.35; }
key() { xdotool key --window "$win" "$@"; sleep 0.3; }
type_text() { for ((i = 0; i < ${#1}; i++)); do xdotool key --window "$win" "${1:i:1}"; sleep 0.12; done; }

# Welcome, a new player "anna", the player list, the main menu and its first level.
first_player() {
    sleep 7  # the intro
    click 315 290
    click 300 242
    type_text anna
    click 276 297
    click 416 327
    sleep 2
    click 320 163
    click 320 272
}

# The first level's solution, carried item by item: "x y x y" per item.
solve_first_level() {
    while read -r fx fy tx ty; do
        click "$fx" "$fy"
        at $(((fx + tx) / 2)) $(((fy + ty) / 2))
        click "$tx" "$ty"
    done <"$here/level_solved.moves"
}

scenario() {
    case "$1" in
    first_run) first_player; sleep 1 ;;
    level_solved) first_player; sleep 1; solve_first_level; sleep 1; click 320 272; sleep 1 ;;
    player_deleted)
        sleep 7
        click 250 194; click 416 250; click 358 272  # "No": nothing deleted
        click 416 250; click 269 272                 # "Yes"
        sleep 1 ;;
    window_switches)
        first_player; sleep 1
        key alt+Return; sleep 1.5  # full screen
        # Away and back: in full screen the pictures are lost, and restored on return.
        xdotool windowminimize --sync "$win" || true; sleep 1
        xdotool windowactivate --sync "$win" || xdotool windowmap "$win"; sleep 2
        key alt+Return; sleep 1  # a window again
        at 400 300; sleep 1 ;;
    save_failed)
        # The players' file lies in a folder that goes away once the game has read it.
        sleep 4; rm -rf "$play/store"; sleep 3
        click 315 290; click 300 242; type_text anna; click 276 297
        sleep 2; xdotool key Return  # the box that tells the save failed
        return ;;
    closing_screen)
        first_player; sleep 1
        key Escape; click 340 272  # "Quit to Windows": the outro, then the closing screen
        sleep 9
        click 260 450
        return ;;
    esac
    kill -HUP "$game"
}

for name in "${names[@]}"; do
    play=$(mktemp -d)
    cp -r "$build/game/." "$play/"
    rm -f "$play/valimo.log"
    case "$name" in
    player_deleted) printf 'PLAYERS 2\nanna 3 0 0\nbert 7 0 0\n' >"$play/prefs.dat" ;;
    save_failed) mkdir "$play/store" && printf 'PLAYERS 0\n' >"$play/store/prefs.dat" && ln -sf store/prefs.dat "$play/prefs.dat" ;;
    *) printf 'PLAYERS 0\n' >"$play/prefs.dat" ;;
    esac
    (cd "$play" && exec ./valimo --window --record "$here/$name.vrp") &
    game=$!
    for _ in $(seq 50); do
        win=$(xdotool search --sync --onlyvisible --class valimo 2>/dev/null | head -1) && [ -n "$win" ] && break
        sleep 0.2
    done
    xdotool windowactivate "$win" 2>/dev/null || true
    scenario "$name"
    wait "$game" || true
    # The folder a run plays in is named in a failed save's lines; the replay's is another.
    sed "s|$play|@FOLDER@|g" "$play/valimo.log" >"$here/$name.log"
    # A players' file whose folder went away keeps what it held at the start.
    cat "$play/prefs.dat" >"$here/$name.prefs.dat" 2>/dev/null || printf 'PLAYERS 0\n' >"$here/$name.prefs.dat"
    status=0
    "$build/game/valimo" --replay "$here/$name.vrp" --headless >"$here/$name.out" 2>/dev/null || status=$?
    echo "exit status $status" >>"$here/$name.out"
    rm -rf "$play"
    echo "recorded $name: $(head -1 "$here/$name.out")"
done
