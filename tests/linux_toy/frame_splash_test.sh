#!/usr/bin/env bash
# The picture drawn before the GL context exists stays on screen while the
# scene is built, and the GL frames that follow replace it in the same window.
source "$(dirname "$0")/../support/shell/x11_session.sh"

start_xvfb 1024 768
hold="$work/hold"
start_probe ZINDLE_PROBE_HOLD_FILE="$hold"
expect_logged 60 "createScene holding"
logged "showSplash drawn" || fail "the picture was not drawn"

green() { [ "$(centre_colour)" = "0 192 0" ]; }
blue() { [ "$(centre_colour)" = "0 0 204" ]; }
green || fail "the screen's centre is $(centre_colour) while the scene is built, not the picture's green"

touch "$hold"
expect_logged 60 drawFrame
wait_for 30 blue || fail "the screen's centre is $(centre_colour) after the first frames, not the cleared blue"
kill -s TERM "$probe_pid"
expect_exit 30 0
echo PASS
