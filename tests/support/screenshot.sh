#!/usr/bin/env bash
# screenshot.sh BUILD_DIR DIALOG_ID OUT.png: a picture of one of the program's
# dialogs as the bench's display shows it (needs ImageMagick's import).
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
eval "$("$here/wine-bench.sh" env "$build")"
out=$(mktemp)
wine "$build/bin/show_dialog.exe" "$2" 4000 >"$out" 2>/dev/null &
sleep 2.5
read -r x y w h <"$out"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$3"
wait
rm -f "$out"
