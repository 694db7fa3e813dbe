#!/usr/bin/env bash
# On a display without a 1024x768 mode the refusal is shown in a message box
# with its words; once it is dismissed the program runs in a titled window
# whose client area is 1024x768 at (64, 64), where Alt+F4 closes it with exit
# code 0.
source "$(dirname "$0")/win32_lib.sh"

start_wine 1920 1080
start_probe

wait_for 120 has_box || fail "no message box"
box=$(inspect_window Zindle)
[[ $box == *"text Your video card or driver cannot handle 1024x768x32 in full screen mode."* ]] ||
  fail "the box does not say why: $box"
! logged createScene || fail "the program went on while the box was up"

xdotool key Return
expect_logged 120 drawFrame
window=$(inspect_window Zindle)
[[ $window == *"client 64 64 1024 768"* ]] || fail "windowed: $window"
[[ $window == *"style 0x16CF0000 0x00040100"* ]] || fail "windowed styles: $window"

xdotool key alt+F4
expect_exit 30 0
logged destroyScene || fail "no destroyScene after Alt+F4"
echo PASS
