#!/usr/bin/env bash
# While the toy is full screen and in front its keyboard hook keeps the
# Windows key and Alt+Tab from the desktop (a witness program's own hook,
# installed earlier, stands in for it) and gives the Windows key to the toy;
# other keys pass on. After ESC the hook is gone.
source "$(dirname "$0")/win32_lib.sh"

start_wine 1024 768
(exec wine "$witness" 120) >"$work/desktop.log" 2>/dev/null &
witness_pid=$!
seen() { grep -qx -- "desktop $1" <<<"$(lines desktop.log)"; }
watching() { grep -qx watching <<<"$(lines desktop.log)"; }
wait_for 60 watching || fail "the witness did not start"

start_probe
expect_logged 120 drawFrame
xdotool key super
expect_logged 30 "keyDown 0x5B"
xdotool key alt+Tab
xdotool key a
expect_logged 30 "keyDown 0x41"
wait_for 30 seen 0x41 || fail "a plain key did not pass the hook"
! seen 0x5B || fail "the Windows key reached the desktop"
! seen 0x9 || fail "Alt+Tab reached the desktop"

xdotool key Escape
expect_exit 30 0
# Wine hands keys to hooks only while one of its windows has the X focus.
witness_windows=$(xdotool search --name "Desktop witness" || true)
witness_window=${witness_windows%%$'\n'*}
[ -n "$witness_window" ] || fail "the witness has no window"
xdotool windowfocus --sync "$witness_window"
xdotool key super
wait_for 30 seen 0x5B || fail "the Windows key is still kept from the desktop after the toy ended"
kill "$witness_pid" 2>/dev/null || true
echo PASS
