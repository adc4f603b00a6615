#!/bin/bash
# The program's options, run as a player types them: a usage, a version, and a
# mistyped option that touches nothing (no log, no player folder).
set -u
game="$1/game/valimo"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }

out=$("$game" --help 2>"$scratch/err"); status=$?
check "--help exits 0" '[ $status = 0 ]'
check "--help prints the usage" '[[ "$out" == "Usage: valimo "* ]] && [ ! -s "$scratch/err" ]'
out=$("$game" --version 2>/dev/null); status=$?
check "--version exits 0 with the version" '[ $status = 0 ] && [[ "$out" =~ ^valimo\ [0-9] ]]'

mkdir -p "$scratch/home" "$scratch/cwd"
cd "$scratch/cwd" || exit 1
HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data" DISPLAY= WAYLAND_DISPLAY= \
  "$game" --windowed >"$scratch/out" 2>"$scratch/err"; status=$?
check "an unknown option exits 2" '[ $status = 2 ]'
check "with the usage on stderr only" '[ ! -s "$scratch/out" ] && grep -q "^Usage: valimo" "$scratch/err" && head -1 "$scratch/err" | grep -q -- "--windowed"'
check "and nothing written" '[ -z "$(find "$scratch/cwd" "$scratch/home" -mindepth 1)" ]'
exit $fail
