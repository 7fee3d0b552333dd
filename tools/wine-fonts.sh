# Sourced by bench/wine-bench.sh and tools/vantor-wine: gives a Wine prefix the fonts
# Vantor's texts need. A fresh prefix has no font with Japanese letters, so the
# receiver's notice shows empty boxes, and Debian's Wine does not find its own
# Marlett, which draws the caption buttons (without it they read "0 1 r").
#
#   wine_fonts_setup   (WINEPREFIX set) copies Marlett into the prefix's font folder
#                      and maps the Japanese font names Windows programs ask for
#                      (Wine's own dialog fonts link to them) to VL Gothic, Debian's
#                      fonts-vlgothic

wine_fonts_missing() {
  local missing=()
  [ -f /usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf ] || missing+=(fonts-vlgothic)
  [ -f /usr/share/wine/fonts/marlett.ttf ] || missing+=(fonts-wine)
  echo "${missing[*]}"
}

wine_fonts_setup() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  [ -f /usr/share/wine/fonts/marlett.ttf ] && cp -f /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
  # regedit reads the full-width names only from a UTF-16 file.
  local regfile
  regfile=$(mktemp --suffix=.reg)
  { printf '\xff\xfe'; sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="VL PGothic"
"MS Gothic"="VL Gothic"
"MS PGothic"="VL PGothic"
"ＭＳ ゴシック"="VL Gothic"
"ＭＳ Ｐゴシック"="VL PGothic"
REG
  } >"$regfile"
  wine regedit /S "$(winepath -w "$regfile")" >/dev/null 2>&1 || true
  rm -f "$regfile"
}
