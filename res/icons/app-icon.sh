#!/usr/bin/env bash
# Writes the program's icon for Windows (icon group 101 of zindle.exe, the one
# Explorer, the Start menu and the installer show) from the drawn icons: 32x32
# in full colour with alpha, and 32x32 and 16x16 in 256 colours with a mask for
# the places that show no alpha. render.sh keeps res/zindle.ico in step with
# the pictures, and a test checks that it is.
#
# Usage: app-icon.sh zindle-32.png zindle-16.png OUTPUT.ico   (needs ImageMagick)
set -euo pipefail
large=$1
small=$2
output=$3
here=$(cd "$(dirname "$0")/.." && pwd)

# The pixels of a picture as AARRGGBB words, rows from the top.
pixels() {
  local text
  text=$(convert "$1" -alpha on -depth 8 txt:-)
  awk 'NR > 1 { hex = $3; sub(/^#/, "", hex); printf " %s%s", substr(hex, 7, 2), substr(hex, 1, 6) }' <<<"$text"
}

size() { identify -format '%w %h' "$1"; }
[ "$(size "$large")" = "32 32" ] || { echo "app-icon.sh: $large is not 32x32" >&2; exit 1; }
[ "$(size "$small")" = "16 16" ] || { echo "app-icon.sh: $small is not 16x16" >&2; exit 1; }

large_pixels=$(pixels "$large")
small_pixels=$(pixels "$small")
description="image 32 32 32 pixels $large_pixels image 32 32 8 pixels $large_pixels image 16 16 8 pixels $small_pixels"
escapes=$(LC_ALL=C awk -f "$here/ico.awk" <<<"$description")
# shellcheck disable=SC2059 # the escapes are the format: they hold no % and are meant to be read
printf "$escapes" >"$output.tmp"
mv "$output.tmp" "$output"
