#!/usr/bin/env bash
# zindle.exe's real display-mode change, on an X server that can switch from
# 1280x1024 to 1024x768: the screen is 1024x768 while the toy plays, and the
# desktop's mode comes back when ESC ends it, when WM_CLOSE ends it and when
# it crashes; the trace shows that the program's unhandled-exception filter
# gave the mode back.
source "$(dirname "$0")/win32_toy_lib.sh"

start_xorg_wine
[ "$(screen_size)" = 1280x1024 ] || fail "the server started at $(screen_size)"

crasher=$build/tests/crash_thread.exe
[ -f "$crasher" ] || fail "no crash_thread.exe in $build/tests"
folder=$(toy_folder mode)
cp "$own_picture" "$folder/"

# playing [NAME=VALUE...]: starts the toy and waits until its cubes show on
# the 1024x768 screen.
playing() {
  start_toy "$folder" "$@"
  wait_for 120 screen_is 1024x768 || fail "the screen is $(screen_size) while the toy runs"
  wait_for 120 drawn || fail "the cubes never showed"
}
desktop_back() { wait_for 30 screen_is 1280x1024 || fail "$1, the screen stayed at $(screen_size)"; }

playing
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
desktop_back "after ESC"
note "ESC: 1024x768 while playing, 1280x1024 after, exit 0"

playing
wine "$inspect" Zindle close 2>/dev/null || fail "no window to close"
wait_exit 60
[ "$exit_code" = 0 ] || fail "WM_CLOSE ended with $exit_code"
desktop_back "after WM_CLOSE"
note "WM_CLOSE: 1280x1024 after, exit 0"

# The crash: a thread started in the toy at address 0 faults at once, with
# nothing on it to catch the fault, as a fault in the toy's own code would.
# The trace shows the exception raised there and then the program's
# unhandled-exception filter asking for the desktop's mode (settings NULL)
# before Wine ends the process.
playing WINEDEBUG=+seh,+system
trace_from=$(wc -l <"$work/stderr.log")
started=$(wine "$crasher" Zindle 2>/dev/null | tr -d '\r')
[ "$started" = started ] || fail "no crashing thread in the toy: $started"
wait_exit 60
[ "$exit_code" != 0 ] && [ "$exit_code" != timeout ] || fail "the crash ended with $exit_code"
desktop_back "after a crash"
trace=$(tail -n "+$((trace_from + 1))" "$work/stderr.log")
filtered=$(awk '/:seh:dispatch_exception code=c0000005 .*addr=0+ / { raised = 1 }
  raised && /:system:NtUserChangeDisplaySettings \(null\) \(nil\)/ { print "yes"; exit }' <<<"$trace")
[ "$filtered" = yes ] || fail "no mode change from the exception filter in the trace:"$'\n'"$(grep ':seh:\|ChangeDisplay' <<<"$trace")"
note "crash: an access violation in the toy, the filter restored 1280x1024, exit $exit_code"
echo PASS
