#!/usr/bin/env bash
# Under xfwm4 with the tint2 panel, whose default layer is xfwm4's top one,
# above its full-screen layer: the full-screen toy still covers the panel, the
# panel is out of the child's reach, and the keyboard, minimize, restore and
# the window manager's close work as everywhere.
source "$(dirname "$0")/../support/shell/desktop_session.sh"

start_xvfb 1024 768
start_session_bus
start_wm xfwm4
start_panel tint2
check_full_screen_desktop
echo PASS
