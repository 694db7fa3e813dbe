#!/usr/bin/env bash
# Under mutter as the X11 window manager, with tint2 as the panel: the
# full-screen toy covers the panel, keeps the keyboard and the pointer, and
# survives minimize, restore and the window manager's close.
source "$(dirname "$0")/../support/shell/desktop_session.sh"

start_xvfb 1024 768
start_session_bus
start_wm mutter
start_panel tint2
check_full_screen_desktop
echo PASS
