#!/usr/bin/env bash
# With no usable font at all the toy still plays: the blocks and the card are
# plain white, the keys, the frames and ESC work, and nothing crashes.
source "$(dirname "$0")/toy_lib.sh"

# A fontconfig configuration that knows no font folder.
mkdir "$work/fonts-cache"
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><cachedir>$work/fonts-cache</cachedir></fontconfig>
CONF
export FONTCONFIG_FILE="$work/fonts.conf"
[ -z "$(fc-list 2>/dev/null)" ] || fail "fontconfig still finds fonts with $FONTCONFIG_FILE"

start_x 1024 768
mkdir "$work/empty"
start_playing "$work/empty"

# Forty cubes, all of them lit white light on white faces: no colour anywhere
# (with a font, each face carries its character in a random colour).
for row in 5 3 1 -1 -3; do
  for column in 8 6 4 2 0 -2 -4 -6; do
    cube_at "$work/frame.png" "$column" "$row" || fail "no cube at ($column, $row)"
  done
done
chroma=$(convert "$work/frame.png" -colorspace HCL -channel G -separate +channel -format '%[fx:int(255*maxima)]' info:)
[ "$chroma" -le 24 ] || fail "coloured pixels on screen (chroma $chroma of 255): a character was drawn"

card_shown "$work/frame.png" || fail "the card is not shown"

# Keys still throw cubes.
xdotool key u
wait_for 30 grep -q "key pressed 85, U" "$work/stderr.log" || fail "the key was not traced"
toy_running || fail "the toy ended early: $(cat "$work/stderr.log")"

xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code: $(cat "$work/stderr.log")"
echo "PASS"
