#!/usr/bin/env bash
# Redraws the committed icon files from their sources: the hicolor sizes from
# zindle.svg, and the 16-pixel one pixel for pixel from the window icon in
# ../WindowIcon.h, which is drawn by hand for that size. Needs rsvg-convert
# (librsvg2-bin) and ImageMagick; the build itself needs neither. Also writes
# ../zindle.ico, the program's icon on Windows, from the 32- and 16-pixel ones.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

for size in 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" zindle.svg -o "zindle-$size.png"
done

# The window icon's palette and rows, as an XPM picture.
header=../WindowIcon.h
keys=$(sed -n 's/.*windowIconKeys = "\(.*\)";/\1/p' "$header")
mapfile -t colours < <(sed -n 's/^ *0x\([0-9A-F]\{8\}\),.*/\1/p' "$header")
mapfile -t rows < <(sed -n '/windowIconRows/,/};/s/^ *"\(.*\)",/\1/p' "$header")
{
  echo '/* XPM */'
  echo 'static char *icon[] = {'
  echo "\"16 16 ${#colours[@]} 1\","
  for ((i = 0; i < ${#colours[@]}; i++)); do
    colour=${colours[$i]}
    if [ "${colour:0:2}" = 00 ]; then colour=None; else colour="#${colour:2}"; fi
    echo "\"${keys:$i:1} c $colour\","
  done
  for row in "${rows[@]}"; do echo "\"$row\","; done
  echo '};'
} > /tmp/zindle-icon-16.xpm
convert /tmp/zindle-icon-16.xpm -strip "PNG32:zindle-16.png"
rm -f /tmp/zindle-icon-16.xpm

bash app-icon.sh zindle-32.png zindle-16.png ../zindle.ico
