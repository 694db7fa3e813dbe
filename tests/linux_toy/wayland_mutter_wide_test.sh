#!/usr/bin/env bash
# On a 1920x1080 monitor there is no 1024x768 mode to switch to: the toy's
# 1024x768 picture is stretched over the whole screen by the compositor, the
# splash first, then the scene, with the grid's corner cubes where the camera
# puts them at 1024x768, scaled to the screen.
source "$(dirname "$0")/wayland_lib.sh"

start_mutter 1920 1080
start_keys
cp "$binary_dir/wumbly.jpg" "$work/"

start_program "$probe" ZINDLE_PROBE_HOLD_FILE="$work/go"
wait_for 60 logged "createScene holding" || fail "the probe never built its scene"
screen_shows 30 0 192 0 || fail "the green splash never covered the 1920x1080 screen"
touch "$work/go"
screen_shows 30 0 0 204 || fail "the probe's frames never covered the 1920x1080 screen"
grep -q "^size: 1024, 768$" "$work/program.err" || fail "the probe's window was not 1024x768"
keys tap Escape
expect_exit 30 0
note "splash and frames stretched over 1920x1080"

# A resting cube's centre at 1920x1080: its place at 1024x768 (the camera at
# z -10 looks along +z, +x to the left, 25 degrees of view), stretched.
cube_x() { awk -v x="$1" 'BEGIN { printf "%d", (1 - x / (60 * 0.2216947)) / 2 * 1920 }'; }
cube_y() { awk -v y="$1" 'BEGIN { printf "%d", (1 - y / (60 * 0.2216947)) / 2 * 1080 }'; }
# brightest FILE X Y: the brightest grey level (0-765) within 12 pixels.
brightest() {
  convert "$1" -crop "25x25+$(($2 - 12))+$(($3 - 12))" +repage -fx '(r+g+b)/3' -format '%[fx:int(765*maxima)]' info:
}
grid_in_place() {
  keys shot "$work/scene.png"
  local column row
  for column in 8 -6; do
    for row in 5 -3; do
      [ "$(brightest "$work/scene.png" "$(cube_x $column)" "$(cube_y $row)")" -gt 60 ] || return 1
    done
  done
  # Nothing between the first two columns, nor beyond the last one.
  [ "$(brightest "$work/scene.png" "$(cube_x 7)" "$(cube_y 1)")" -le 60 ] &&
    [ "$(brightest "$work/scene.png" "$(cube_x -8)" "$(cube_y 1)")" -le 60 ]
}
start_program "$toy"
wait_for 60 grid_in_place || fail "the grid's corner cubes are not where a stretched 1024x768 picture puts them"
keys tap Escape
expect_exit 30 0
note "the scene stretched over 1920x1080"
echo PASS
