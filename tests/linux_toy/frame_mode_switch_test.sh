#!/usr/bin/env bash
# The real display-mode change, on an X server that can switch from 1280x1024
# to 1024x768: the screen is 1024x768 while the program runs full screen, and
# the desktop's 1280x1024 comes back after ESC, after SIGTERM and after a crash,
# a stack overflow among them.
source "$(dirname "$0")/../support/shell/x11_session.sh"

start_xorg
[ "$(screen_size)" = 1280x1024 ] || fail "the server started at $(screen_size)"

screen_is() { [ "$(screen_size)" = "$1" ]; }

# run_full_screen HOW: starts the probe, checks the switch, ends it by HOW.
run_full_screen() {
  start_probe
  expect_logged 60 drawFrame
  wait_for 30 screen_is 1024x768 || fail "the screen is $(screen_size) while the program runs"
  case $1 in
    escape) xdotool key Escape ;;
    term) kill -s TERM "$probe_pid" ;;
  esac
  expect_exit 30 0
  wait_for 10 screen_is 1280x1024 || fail "after $1 the screen stayed at $(screen_size)"
}

run_full_screen escape
run_full_screen term

# The crash comes right after the first frame: check the switch while the
# scene is still being built. A stack overflow leaves the handler no room on
# the thread's own stack, so it is a crash of its own.
crash_full_screen() {
  local hold="$work/hold-$1"
  start_probe ZINDLE_PROBE_CRASH="$1" ZINDLE_PROBE_HOLD_FILE="$hold"
  expect_logged 60 "createScene holding"
  wait_for 30 screen_is 1024x768 || fail "the screen is $(screen_size) while the program starts"
  touch "$hold"
  # bash notes the crash on stderr; that is the expected end here.
  expect_exit 60 $((128 + 11))
  logged drawFrame || fail "the program crashed before its first frame"
  wait_for 10 screen_is 1280x1024 || fail "after the crash ($1) the screen stayed at $(screen_size)"
}

crash_full_screen segv
crash_full_screen overflow
echo PASS
