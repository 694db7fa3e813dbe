#!/usr/bin/env bash
# Under xfwm4 with Xfce's own panel: the full-screen toy covers the panel,
# keeps the keyboard and the pointer, and survives minimize, restore and the
# window manager's close.
source "$(dirname "$0")/../support/shell/desktop_session.sh"

start_xvfb 1024 768
start_session_bus
start_wm xfwm4
start_panel xfce4-panel
check_full_screen_desktop
echo PASS
