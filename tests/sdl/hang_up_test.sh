#!/bin/bash
# The real game under SDL's dummy drivers, as a closed terminal or an ended
# session leaves it: SIGHUP ends it in order (its shut-down in the log, status
# 0, the players' file as it was), as SIGTERM does. Before that, a copy killed
# with SIGKILL in the same folder must leave no lock behind: the next one plays.
set -u
build=$(cd "$1" && pwd)
game="$build/game/valimo"
scratch=$(mktemp -d)
trap 'kill -KILL $(jobs -p) 2>/dev/null; rm -rf "$scratch"' EXIT
. "$(dirname "$0")/play_folder.sh"
dir="$scratch/game"
MakePlayFolder "$dir"
fail=0

# Starts the game in the folder and waits for its main loop; the pid in $pid.
start() {
  rm -f "$dir/valimo.log"
  (cd "$dir" && exec env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$game" \
    >/dev/null 2>"$scratch/err") &
  pid=$!
  for _ in $(seq 300); do
    grep -q "Entering main loop" "$dir/valimo.log" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: the game did not reach its main loop:"; cat "$scratch/err" "$dir/valimo.log" 2>/dev/null
  return 1
}

start || exit 1
kill -KILL "$pid"
wait "$pid" 2>/dev/null
start || { echo "FAIL: a copy killed with SIGKILL kept the folder"; exit 1; }
sleep 0.5
kill -HUP "$pid"
status=0
wait "$pid" || status=$?
echo "after SIGHUP: status $status"
[ "$status" = 0 ] || { echo "FAIL: status $status"; cat "$scratch/err"; fail=1; }
if [ "$(tail -7 "$dir/valimo.log")" != "$(printf 'Exiting main loop\nShutting down DirectSound\nDirectInput Release\nReleasing static sprites\nFreeing GUI\nReleasing font(s)\nDirectDraw Release')" ]; then
  echo "FAIL: the log does not end with the shut-down:"; tail -12 "$dir/valimo.log"; fail=1
fi
cmp -s "$dir/prefs.dat" "$scratch/prefs.before" || { echo "FAIL: prefs.dat changed"; fail=1; }
grep -q Sanitizer "$scratch/err" && { echo "FAIL: stderr:"; cat "$scratch/err"; fail=1; }
exit $fail
