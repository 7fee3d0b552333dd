#!/usr/bin/env bash
# screenshot.sh BUILD_DIR DIALOG_ID OUT.png [control=text | control | !control ...]: a
# picture of one of the program's dialogs as the bench's display shows it, with texts
# filled in, buttons checked or controls disabled (with ImageMagick's import when there is one).
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
eval "$("$here/wine-bench.sh" env "$build")"
out=$(mktemp)
if command -v import >/dev/null; then
  wine "$build/bin/show_dialog.exe" "$2" 4000 "${@:4}" >"$out" 2>/dev/null &
  sleep 2.5
  read -r x y w h <"$out"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$3"
  wait
else
  # Without ImageMagick the program saves the picture itself.
  touch "$3"
  wine "$build/bin/show_dialog.exe" "$2" 4000 "${@:4}" "png=$(winepath -w "$(cd "$(dirname "$3")" && pwd)/$(basename "$3")")" >"$out" 2>/dev/null
fi
rm -f "$out"
