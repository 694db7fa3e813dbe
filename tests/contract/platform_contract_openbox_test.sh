#!/usr/bin/env bash
# The platform contract on SDL again, under openbox. On X11 it is the window
# manager that iconifies a window, and the test display's bare Xvfb has none,
# so there the minimizing cases skip; here they run, with every other case
# beside them under a real window manager. Usage: this script CONTRACT-PROGRAM.
source "$(dirname "$0")/../support/shell/desktop_session.sh"

contract=${1:?usage: $0 CONTRACT-PROGRAM}
logs=${work:?set by x11_session.sh}
start_xvfb 1024 768
start_session_bus
start_wm openbox
"$contract" --gtest_filter='Sdl/*' >"$logs/out.log" 2>"$logs/err.log" ||
  fail "the contract failed under openbox"
# Here minimizing must have run, not skipped.
grep -q '^\[       OK \] Sdl/PlatformContract\.MinimizingFromInside' "$logs/out.log" ||
  fail "the minimizing case did not pass under openbox"
echo PASS
