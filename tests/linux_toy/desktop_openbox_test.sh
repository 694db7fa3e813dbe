#!/usr/bin/env bash
# Under openbox with the tint2 panel: the full-screen toy covers the panel,
# keeps the keyboard and the pointer, and survives minimize, restore and the
# window manager's close.
source "$(dirname "$0")/../support/shell/desktop_session.sh"

start_xvfb 1024 768
start_session_bus
start_wm openbox
start_panel tint2
check_full_screen_desktop
echo PASS
