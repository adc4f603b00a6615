#!/bin/bash
# The real game on a real X server (Xvfb, with openbox as the window manager)
# that is killed under it, in full screen and in a window: the game must end in
# order within a second (five under AddressSanitizer), with its shut-down in
# the log, status 0 and the players' file as it was. With "play" as the second argument it first clicks its way
# into a level (for a manual check; it needs xdotool).
set -u
build=$(cd "$1" && pwd)
phase=${2:-menu}
game="$build/game/valimo"
limit=1000
# Under AddressSanitizer the shut-down runs several times slower, and the leak
# check at exit sees what SDL must leave when its display is gone.
if grep -qa __asan_init "$game"; then
  limit=5000
  export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lost_display.supp"
fi
scratch=$(mktemp -d)
xvfb=""
wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill -KILL "$xvfb" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
. "$(dirname "$0")/play_folder.sh"
fail=0

for mode in --fullscreen --window; do
  dir="$scratch/game$mode"
  MakePlayFolder "$dir"

  exec 3>"$scratch/displayfd"
  Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
  xvfb=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$scratch/displayfd" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$scratch/displayfd")"
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
  rm -f "$scratch/status"
  (
    cd "$dir" || exit
    SDL_AUDIODRIVER=dummy "$game" "$mode" >"$scratch/out" 2>"$scratch/err" &
    echo $! >"$scratch/pid"
    wait $!
    echo $? >"$scratch/status"
  ) &
  for _ in $(seq 200); do grep -q "Window is Maximized" "$dir/valimo.log" 2>/dev/null && break; sleep 0.1; done
  if [ "$phase" = play ]; then
    click() { xdotool mousemove "$(($1 * $3 / 640 + $5))" "$(($2 * $4 / 480 + $6))" click 1; sleep 0.4; }
    sleep 8  # the intro
    read -r w h x y < <(xdotool search --name '^Valimo$' getwindowgeometry --shell | awk -F= '/WIDTH/{w=$2}/HEIGHT/{h=$2}/^X/{x=$2}/^Y/{y=$2}END{print w, h, x, y}')
    # The picture's area in the window: 4:3, centred.
    if [ $((w * 3)) -ge $((h * 4)) ]; then pw=$((h * 4 / 3)); ph=$h; else pw=$w; ph=$((w * 3 / 4)); fi
    ox=$((x + (w - pw) / 2)); oy=$((y + (h - ph) / 2))
    click 416 327 $pw $ph $ox $oy  # the player list: "Continue..."
    sleep 2
    click 320 163 $pw $ph $ox $oy  # "Play"
    click 320 272 $pw $ph $ox $oy  # "Continue" into the level
    click 100 300 $pw $ph $ox $oy  # pick something up
    import -window root "$scratch/../valimo-play$mode.png" 2>/dev/null
  fi
  sleep 1
  started=$(date +%s%N)
  kill -KILL "$xvfb"
  xvfb=""
  for _ in $(seq 100); do [ -s "$scratch/status" ] && break; sleep 0.02; done
  took=$((($(date +%s%N) - started) / 1000000))
  kill "$wm" 2>/dev/null
  wm=""
  status=$(cat "$scratch/status" 2>/dev/null || echo none)
  echo "$mode: ended $took ms after the X server, status $status"
  if [ "$status" != 0 ]; then echo "FAIL $mode: status $status"; fail=1; fi
  if [ "$took" -gt "$limit" ]; then echo "FAIL $mode: took $took ms"; fail=1; fi
  if ! grep -q "^valimo: the display has gone away; the game ends$" "$scratch/err" || grep -q "Sanitizer" "$scratch/err"; then
    echo "FAIL $mode: stderr:"; cat "$scratch/err"; fail=1
  fi
  if [ "$(tail -7 "$dir/valimo.log")" != "$(printf 'Exiting main loop\nShutting down DirectSound\nDirectInput Release\nReleasing static sprites\nFreeing GUI\nReleasing font(s)\nDirectDraw Release')" ]; then
    echo "FAIL $mode: the log does not end with the shut-down:"; tail -12 "$dir/valimo.log"; fail=1
  fi
  cmp -s "$dir/prefs.dat" "$scratch/prefs.before" || { echo "FAIL $mode: prefs.dat changed"; fail=1; }
  # A hung game is ended here, so that the test fails rather than waits.
  kill -KILL "$(cat "$scratch/pid")" 2>/dev/null
done
exit $fail
