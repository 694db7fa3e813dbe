#!/usr/bin/env bash
# Pictures in every format the toy reads, written by another program
# (ImageMagick), decoded from files and stretched over the window before the
# GL context exists, show their own colours, each where the stretch puts it.
source "$(dirname "$0")/../support/shell/x11_session.sh"

start_xvfb 1024 768

# Four quadrants: red, green / blue, yellow, large enough for JPEG's colour
# subsampling to leave their middles alone.
convert -size 32x32 xc:'#ff0000' -size 32x32 xc:'#00ff00' +append \
  \( -size 32x32 xc:'#0000ff' -size 32x32 xc:'#ffff00' +append \) -append "$work/quadrants.png"
convert "$work/quadrants.png" -quality 95 "$work/quadrants.jpg"
convert "$work/quadrants.png" "$work/quadrants.gif"
convert "$work/quadrants.png" -interlace line "$work/interlaced.gif"
convert "$work/quadrants.png" -type truecolor "$work/quadrants.bmp"
convert "$work/quadrants.png" -type truecolor bmp3:"$work/old.bmp"
convert "$work/quadrants.png" -type palette bmp3:"$work/palette.bmp"
convert "$work/quadrants.png" -type palette -compress RLE bmp3:"$work/runs.bmp"

# near "R G B" "WANTED_R WANTED_G WANTED_B": every channel within 40; false
# for anything but three numbers.
near() {
  local a b i
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  [ ${#a[@]} = 3 ] && [ ${#b[@]} = 3 ] || return 1
  for i in 0 1 2; do
    [[ ${a[i]} =~ ^[0-9]+$ ]] || return 1
    [ $((a[i] - b[i])) -le 40 ] && [ $((b[i] - a[i])) -le 40 ] || return 1
  done
}
colour_at() {
  convert "$work/screen.png" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:
}

for picture in quadrants.png quadrants.jpg quadrants.gif interlaced.gif quadrants.bmp old.bmp palette.bmp \
  runs.bmp; do
  rm -f "$work/hold"
  start_probe ZINDLE_PROBE_SPLASH="$work/$picture" ZINDLE_PROBE_HOLD_FILE="$work/hold"
  expect_logged 60 "createScene holding"
  logged "showSplash drawn" || fail "$picture was not drawn"
  xwd -root -silent | convert xwd:- "$work/screen.png"
  # Quadrant middles on the 1024x768 screen.
  near "$(colour_at 256 192)" "255 0 0" || fail "$picture: top left is $(colour_at 256 192), not red"
  near "$(colour_at 768 192)" "0 255 0" || fail "$picture: top right is $(colour_at 768 192), not green"
  near "$(colour_at 256 576)" "0 0 255" || fail "$picture: bottom left is $(colour_at 256 576), not blue"
  near "$(colour_at 768 576)" "255 255 0" || fail "$picture: bottom right is $(colour_at 768 576), not yellow"
  touch "$work/hold"
  kill -s TERM "$probe_pid"
  expect_exit 30 0
  note "$picture shown stretched in its own colours"
done
echo PASS
