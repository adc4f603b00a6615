# Sourced by the tests that run the real game: a play folder of its own in $1,
# linked to the built data in $build, with one player, and that player's file
# kept as $scratch/prefs.before to compare with after the run.
MakePlayFolder() {
  mkdir -p "$1"
  for f in "$build"/game/*; do
    case "${f##*/}" in
      valimo | valimo.log | valimo.lock) ;;
      prefs.dat) printf 'PLAYERS 1\nanna 0 0 0\n' >"$1/prefs.dat" ;;
      *) ln -s "$f" "$1/" ;;
    esac
  done
  cp "$1/prefs.dat" "$scratch/prefs.before"
}
