# shellcheck shell=bash
# Shared by the whole-program tests under real window managers
# (tests/linux_toy/desktop_*_test.sh): each test runs in private namespaces (mount
# with its own /tmp, network, process ids), so window managers, panels and
# session buses that pick their own sockets cannot meet those of a parallel
# test, and whatever the test started ends with it. On top of the frame's test
# library (tests/support/shell/x11_session.sh): the probe program, polling with
# deadlines. Sourced, not run.

# The process namespace ends, with the script that is its first process,
# everything the test left behind.
# shellcheck source=tests/support/shell/private_namespace.sh
source "$(dirname "${BASH_SOURCE[0]}")/private_namespace.sh"
private_namespace --pid "$@"

# shellcheck source=tests/support/shell/x11_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"

# need COMMAND PACKAGE: skips the test (exit 77) where a program is missing.
need() {
  command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed (Debian package $2)"; exit 77; }
}

need wmctrl wmctrl
need xterm xterm

# A home of the test's own, so that no window manager or panel reads or writes
# the user's settings, and no accessibility bus comes along.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime NO_AT_BRIDGE=1
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME SESSION_MANAGER
mkdir -p "$HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"

# start_session_bus: a session D-Bus of this test's own, as a desktop has.
start_session_bus() {
  DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --nopidfile) ||
    fail "no session bus"
  export DBUS_SESSION_BUS_ADDRESS
}

root_has() {
  local value
  value=$(xprop -root "$1" 2>/dev/null) && grep -q -e '=' -e '#' <<<"$value"
}

# start_wm NAME: starts mutter, xfwm4 or openbox on DISPLAY and waits until it
# manages windows. mutter 43 on X11 announces _NET_SUPPORTED but never
# _NET_SUPPORTING_WM_CHECK; the others announce both.
start_wm() {
  case $1 in
    mutter)
      need mutter mutter
      mutter --x11 --replace --sm-disable >"$work/wm.log" 2>&1 &
      wait_for 60 root_has _NET_SUPPORTED || fail "mutter did not start: $(tail -n 5 "$work/wm.log")"
      ;;
    xfwm4)
      need xfwm4 xfwm4
      xfwm4 --replace >"$work/wm.log" 2>&1 &
      wait_for 60 root_has _NET_SUPPORTING_WM_CHECK || fail "xfwm4 did not start: $(tail -n 5 "$work/wm.log")"
      ;;
    openbox)
      need openbox openbox
      openbox >"$work/wm.log" 2>&1 &
      wait_for 60 root_has _NET_SUPPORTING_WM_CHECK || fail "openbox did not start: $(tail -n 5 "$work/wm.log")"
      ;;
    *) fail "no window manager called $1" ;;
  esac
}

# window_type WINDOW: the last word of its _NET_WM_WINDOW_TYPE, e.g. DOCK.
window_type() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.*_NET_WM_WINDOW_TYPE_\([A-Z]*\).*/\1/p'; }

# stacking: the window manager's client windows, bottom first, in decimal.
stacking() {
  local id
  for id in $(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | grep -o '0x[0-9a-f]*'); do
    echo $((id))
  done
}

panel=""
panel_window() {
  local id
  for id in $(xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -o '0x[0-9a-f]*'); do
    [ "$(window_type "$id")" = DOCK ] && { echo "$id"; return; }
  done
}
has_panel() { [ -n "$(panel_window)" ]; }

# start_panel NAME: tint2 or xfce4-panel, and waits until its dock window is
# managed; sets panel to that window.
start_panel() {
  case $1 in
    tint2) need tint2 tint2; tint2 >"$work/panel.log" 2>&1 & ;;
    xfce4-panel) need xfce4-panel xfce4-panel; xfce4-panel >"$work/panel.log" 2>&1 & ;;
    *) fail "no panel called $1" ;;
  esac
  wait_for 60 has_panel || fail "$1 did not show: $(tail -n 5 "$work/panel.log")"
  panel=$(panel_window)
}

# start_second_client: an xterm, the other window a child could switch to.
# Waits until the window manager has taken it in and given it the focus, as
# it does a new window: its window exists well before that, and on a loaded
# machine the window manager took it in only after the toy had started, and
# gave it the focus then; the toy stepped aside, as it should for a window
# that takes the keyboard.
second=""
start_second_client() {
  xterm -title second-client >/dev/null 2>&1 &
  wait_for 60 bash -c "xdotool search --name '^second-client\$' >/dev/null" || fail "the second client did not show"
  second=$(first_line xdotool search --name '^second-client$')
  wait_for 60 is_active "$second" 2>/dev/null ||
    fail "the window manager did not give the second client the focus (active: $(active_window 2>&1))"
}

# describe_stacking: the stacking order, bottom first, with each window's
# name and states, for failure messages.
describe_stacking() {
  local id
  for id in $(stacking); do
    printf '%s "%s" %s;' "$id" "$(xdotool getwindowname "$id" 2>/dev/null)" \
      "$(xprop -id "$id" _NET_WM_STATE | sed 's/.*= //; s/_NET_WM_STATE_//g')"
  done
}

# on_top WINDOW: nothing the window manager stacks is above the window.
on_top() { [ "$(stacking | tail -n 1)" = "$1" ]; }

# pointer_grab: what a second client's attempt to grab the pointer gets.
pointer_grab() { "$grab_check" pointer || true; }
pointer_held() { [ "$(pointer_grab)" = already-grabbed ]; }
pointer_free() { [ "$(pointer_grab)" = grabbed ]; }

# colour_at X Y: "r g b" (0-255) of that point of the screen.
colour_at() {
  xwd -root -silent | convert xwd:- -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:
}
# The probe clears every frame to this blue.
blue_at() { [ "$(colour_at "$1" "$2")" = "0 0 204" ]; }

# panel_centre: "X Y" of the middle of the panel's window.
panel_centre() {
  local x y w h
  read -r x y w h <<<"$(geometry "$panel")"
  echo "$((x + w / 2)) $((y + h / 2))"
}

active_window() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //; s/,.*//')"; }
is_active() { [ "$(active_window)" = "$1" ]; }
# minimized WINDOW: the window manager says it is (some keep minimized windows
# mapped, so the map state does not tell).
minimized() {
  local state
  state=$(xprop -id "$1" _NET_WM_STATE 2>/dev/null) && [[ $state == *_NET_WM_STATE_HIDDEN* ]]
}
shown() { ! minimized "$1"; }

frames_drawn() { count_logged drawFrame; }
# drawing_on: the probe draws more frames than it had drawn when asked.
drawing_on() {
  local before
  before=$(frames_drawn)
  wait_for 30 bash -c "[ \$(grep -cx drawFrame '$work/out.log') -gt $before ]"
}

# check_full_screen_desktop: the checks every window manager must pass with
# the probe full screen on a 1024x768 screen, a panel (if one was started) and
# a second client: the window covers the screen above the panel, keeps the
# keyboard (Super, Alt+Tab) and the pointer, a click on the panel's place stays
# in it, minimize and restore keep it drawing and take both back, and the
# window manager's close ends it with 0.
check_full_screen_desktop() {
  start_second_client
  start_probe
  expect_logged 60 drawFrame
  wait_for 60 has_probe_window || fail "no window named Zindle"
  local window
  window=$(probe_window)

  wait_for 30 on_top "$window" ||
    fail "not on top of the stacking order: $(describe_stacking) (window $window)"
  wait_for 30 placed "$window" "0 0 1024 768" || fail "window at $(geometry "$window"), not covering the screen"
  wait_for 30 blue_at 512 384 || fail "the middle of the screen shows $(colour_at 512 384)"
  if [ -n "$panel" ]; then
    local px py
    read -r px py <<<"$(panel_centre)"
    wait_for 30 blue_at "$px" "$py" || fail "the panel's place ($px, $py) shows $(colour_at "$px" "$py")"
  fi
  wait_for 30 keyboard_held || fail "a second client could grab the keyboard: $(keyboard_grab)"
  wait_for 30 pointer_held || fail "a second client could grab the pointer: $(pointer_grab)"

  # Keys the window manager would take: they reach the toy, and the focus
  # stays with it, so a plain key after them does too.
  xdotool key super
  expect_logged 30 "keyDown 91"
  xdotool key alt+Tab
  xdotool key a
  expect_logged 30 "keyDown 65"
  is_active "$window" || fail "Alt+Tab moved the focus to $(active_window)"
  on_top "$window" || fail "Alt+Tab changed the stacking: $(describe_stacking)"

  # A click where the panel is goes to the toy: the panel can neither
  # minimize it nor lead to another window.
  if [ -n "$panel" ]; then
    read -r px py <<<"$(panel_centre)"
    xdotool mousemove "$px" "$py" click 1
    xdotool key b
    expect_logged 30 "keyDown 66"
    shown "$window" || fail "a click on the panel's place minimized the toy"
    is_active "$window" || fail "a click on the panel's place moved the focus to $(active_window)"
  fi

  # Minimize as a window manager's button or taskbar would, then restore.
  xdotool windowminimize "$window"
  wait_for 30 minimized "$window" || fail "the window manager did not minimize the toy"
  wait_for 30 keyboard_free || fail "the keyboard stays held while minimized: $(keyboard_grab)"
  wait_for 30 pointer_free || fail "the pointer stays held while minimized: $(pointer_grab)"
  wmctrl -i -a "$window"
  wait_for 30 shown "$window" || fail "the window manager did not restore the toy"
  drawing_on || fail "no frames after restoring"
  wait_for 30 keyboard_held || fail "the keyboard was not taken back after restoring: $(keyboard_grab)"
  wait_for 30 pointer_held || fail "the pointer was not taken back after restoring: $(pointer_grab)"
  wait_for 30 on_top "$window" || fail "not on top after restoring: $(describe_stacking)"
  xdotool key c
  expect_logged 30 "keyDown 67"

  wmctrl -i -c "$window"
  expect_exit 30 0
  logged destroyScene || fail "no destroyScene after the window manager's close"
}
