#!/usr/bin/env bash
# Writes the window icon drawn in WindowIcon.h as a Windows icon file: one
# 16x16 image in its 16 colours, in the header's palette order. The build runs
# it for zindle.exe's icon resource 102, so the header stays the one picture of
# that icon on both systems.
#
# Usage: window-icon.sh WindowIcon.h OUTPUT.ico
set -euo pipefail
header=$1
output=$2
here=$(cd "$(dirname "$0")" && pwd)

keys=$(sed -n 's/.*windowIconKeys = "\(.*\)";/\1/p' "$header")
mapfile -t colours < <(sed -n 's/^ *0x\([0-9A-Fa-f]\{8\}\),.*/\1/p' "$header")
mapfile -t rows < <(sed -n '/windowIconRows/,/};/s/^ *"\(.*\)",/\1/p' "$header")
size=$(sed -n 's/.*windowIconSize = \([0-9]*\);/\1/p' "$header")

fail() { echo "window-icon.sh: $header: $*" >&2; exit 1; }
[ ${#colours[@]} -eq 16 ] || fail "${#colours[@]} palette colours, not 16"
[ ${#keys} -eq 16 ] || fail "${#keys} palette keys, not 16"
[ "$size" = 16 ] && [ ${#rows[@]} -eq 16 ] || fail "not 16 rows of a 16-pixel icon"

description="image 16 16 4 palette 16 ${colours[*]} pixels"
for row in "${rows[@]}"; do
  [ ${#row} -eq 16 ] || fail "row \"$row\" is not 16 pixels wide"
  for ((x = 0; x < 16; x++)); do
    key=${row:x:1}
    prefix=${keys%%"$key"*}
    [ ${#prefix} -lt 16 ] || fail "row \"$row\" uses \"$key\", which is not a palette key"
    description+=" ${colours[${#prefix}]}"
  done
done

escapes=$(LC_ALL=C awk -f "$here/ico.awk" <<<"$description")
# shellcheck disable=SC2059 # the escapes are the format: they hold no % and are meant to be read
printf "$escapes" >"$output.tmp"
mv "$output.tmp" "$output"
