#!/usr/bin/env bash
# While zindle.exe is full screen and in front its keyboard hook keeps the
# Windows key and Alt+Tab from the desktop (a witness program's own hook,
# installed earlier, stands in for it) and gives the Windows key to the toy;
# other keys pass on. After ESC the hook is gone.
source "$(dirname "$0")/win32_toy_lib.sh"

start_wine 1024 768
(exec wine "$witness" 120) >"$work/desktop.log" 2>/dev/null &
witness_pid=$!
seen() { grep -qx -- "desktop $1" <<<"$(lines desktop.log)"; }
watching() { grep -qx watching <<<"$(lines desktop.log)"; }
wait_for 60 watching || fail "the witness did not start"

folder=$(toy_folder hook)
cp "$own_picture" "$folder/"
start_toy "$folder"
wait_for 120 drawn || fail "the cubes never showed"
traced() { grep -q "^key pressed $1," <<<"$(lines stderr.log)"; }
xdotool key super
wait_for 30 traced 91 || fail "the Windows key did not reach the toy"
xdotool key alt+Tab
xdotool key a
wait_for 30 traced 65 || fail "A did not reach the toy"
wait_for 30 seen 0x41 || fail "a plain key did not pass the hook"
! seen 0x5B || fail "the Windows key reached the desktop"
! seen 0x9 || fail "Alt+Tab reached the desktop"

xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
# Wine hands keys to hooks only while one of its windows has the X focus.
witness_windows=$(xdotool search --name "Desktop witness" || true)
witness_window=${witness_windows%%$'\n'*}
[ -n "$witness_window" ] || fail "the witness has no window"
xdotool windowfocus --sync "$witness_window"
xdotool key super
wait_for 30 seen 0x5B || fail "the Windows key is still kept from the desktop after the toy ended"
kill "$witness_pid" 2>/dev/null || true
echo PASS
