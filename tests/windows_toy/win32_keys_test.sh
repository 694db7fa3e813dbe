#!/usr/bin/env bash
# Full screen on a 1024x768 display: the window covers the screen as a topmost
# popup, real key presses reach the program as the codes Windows gives them,
# and ESC ends it with exit code 0.
source "$(dirname "$0")/win32_lib.sh"

start_wine 1024 768
start_probe
expect_logged 120 drawFrame
logged "showSplash drawn" || fail "the splash was not drawn"
window=$(inspect_window Zindle)
[[ $window == *"client 0 0 1024 768"* ]] || fail "full-screen window: $window"
[[ $window == *"style 0x96000000 0x00040008"* ]] || fail "full-screen styles: $window"

xdotool key a 7 space F1 comma
for code in 0x41 0x37 0x20 0x70 0xBC; do
  expect_logged 30 "keyDown $code"
done
grep -qx "size: 1024, 768" <<<"$(lines err.log)" || fail "no size trace on standard error"

xdotool key Escape
expect_exit 30 0
logged destroyScene || fail "no destroyScene after ESC"
! logged "keyDown 0x1B" || fail "ESC reached keyDown"
echo PASS
