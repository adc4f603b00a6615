#!/bin/bash
# The files the desktop reads, as installed: the entry and the metainfo pass
# their validators, agree on the game's id, and name a command and icons that
# are installed; the manual pages format without a warning.
# Usage: desktop_files_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/valimo-desktop-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

id=io.github.valimo.Valimo
DESTDIR=$work cmake --install "$build" --prefix /usr --component valimo >/dev/null
root=$work/usr
entry=$root/share/applications/$id.desktop
meta=$root/share/metainfo/$id.metainfo.xml

desktop-file-validate "$entry" || fail "desktop-file-validate"
appstreamcli validate --no-net "$meta" || fail "appstreamcli validate"

grep -qx "Exec=/usr/games/valimo" "$entry" || fail "the entry's command"
[ -x "$root/games/valimo" ] || fail "no installed command"
grep -qx "Icon=$id" "$entry" || fail "the entry's icon"
grep -qx "Categories=Game;LogicGame;" "$entry" || fail "categories"
grep -q "<id>$id</id>" "$meta" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || fail "metainfo launchable"
for size in 16 24 32 48 64 128 256; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "icon $size"
done

for page in valimo valimo-levels; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l -Tutf8 "$root/share/man/man6/$page.6" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "$page.6: $out"
done
echo "desktop files: ok"
