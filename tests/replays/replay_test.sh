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
status=$?
fail=0
if [ $status != 0 ]; then
    echo "FAIL: the replay ended with status $status"
    cat "$scratch/err"
    fail=1
fi
if ! diff -u "$base.out" "$scratch/out"; then echo "FAIL: another end than the recording's"; fail=1; fi
if ! diff -u "$base.log" "$scratch/play/valimo.log"; then echo "FAIL: another valimo.log"; fail=1; fi
if ! cmp "$base.prefs.dat" "$scratch/play/prefs.dat"; then echo "FAIL: another prefs.dat"; fail=1; fi
exit $fail
