#!/bin/bash
# One committed replay played headless by the real program: it must keep step
# with its recording to the end, and leave the log, the players' file and the
# end that the recorded run left.
set -u
game="$1/game/valimo"
replay="$2"
base="${replay%.vrp}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$game" --replay "$replay" --headless --into "$scratch/play" >"$scratch/out" 2>"$scratch/err"
echo "exit status $?" >>"$scratch/out"
fail=0
if ! diff -u "$base.out" "$scratch/out"; then
    echo "FAIL: another end than the recording's"
    cat "$scratch/err"
    fail=1
fi
# The folder a run plays in is named in a failed save's lines.
if ! sed "s|$scratch/play|@FOLDER@|g" "$scratch/play/valimo.log" | diff -u "$base.log" -; then
    echo "FAIL: another valimo.log"
    fail=1
fi
if ! cmp "$base.prefs.dat" <(cat "$scratch/play/prefs.dat" 2>/dev/null); then echo "FAIL: another prefs.dat"; fail=1; fi
exit $fail
