# shellcheck shell=bash
# The Wayland layer of the whole-program tests on Wayland compositors
# (wayland_*_test.sh): the toy and the frame's probe program under a private
# headless compositor. On top of tests/support/shell/toy.sh (fail, polling, the
# program under test). Sourced, not run; the first argument of the test is the
# toy program.

# shellcheck source=tests/support/shell/toy.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/toy.sh"
# shellcheck source=tests/support/shell/wayland_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/wayland_session.sh"
wayland_private_namespace "$@"

# shellcheck disable=SC2034 # for the tests, as probe below
toy=$(realpath "${1:?the toy program}")
binary_dir=${ZINDLE_BINARY_DIR:?set by CTest to the build folder}
# shellcheck disable=SC2034
probe=$binary_dir/tests/frame_probe
program_out=program.out
program_err=program.err

show_logs() {
  local log
  for log in "$work"/program.err "$work"/compositor.log "$work"/keys.log "$work"/pipewire.log \
    "$work"/wireplumber.log; do
    [ -s "$log" ] || continue
    echo "--- $log" >&2
    grep -v '^size: \|^drawFrame$' "$log" | tail -n 15 >&2 || true
  done
}

make_work /tmp/zindle-wayland.XXXXXX
at_exit wayland_cleanup

# start_program PROGRAM [NAME=VALUE...]: runs the toy or the probe, in the
# scratch folder (which holds the splash file), with those variables set.
start_program() {
  local program=$1
  shift
  launch_program -C "$work" env "$@" "$program"
}

# traced LINE: the program wrote that line on standard error (the toy's trace).
traced() { grep -qxF -- "$1" "$work/program.err"; }
# logged LINE: the probe wrote that line on standard output.
logged() { grep -qxF -- "$1" "$work/program.out"; }

# Screenshots through the compositor (mutter only).
# colour FILE X Y: "r g b" in 0-255.
colour() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}

# covered FILE R G B: every pixel of the picture is near that colour.
covered() {
  local size differing
  size=$(identify -format '%wx%h' "$1")
  differing=$(compare -metric AE -fuzz 16% "$1" -size "$size" "xc:rgb($2,$3,$4)" null: 2>&1 || true)
  [ "$differing" = 0 ]
}

# screen_shows SECONDS R G B: polls screenshots until the whole screen is that colour.
screen_shows() {
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt $deadline ]; do
    keys shot "$work/screen.png"
    covered "$work/screen.png" "$2" "$3" "$4" && return 0
    sleep 0.2
  done
  return 1
}

# start_terminal: a second Wayland client, a terminal whose typed keys land in
# $work/typed the moment they are typed. Waits until it has the keyboard.
start_terminal() {
  command -v weston-terminal >/dev/null || fail "weston-terminal is not installed"
  printf '#!/bin/sh\nstty -icanon -echo\nexec cat >"%s"\n' "$work/typed" >"$work/catter.sh"
  chmod +x "$work/catter.sh"
  weston-terminal --shell="$work/catter.sh" >"$work/terminal.log" 2>&1 &
  terminal_has() { grep -q "$1" "$work/typed" 2>/dev/null; }
  local deadline=$((SECONDS + 60))
  until terminal_has x; do
    [ $SECONDS -lt $deadline ] || fail "the terminal never took a key: $(cat "$work/terminal.log")"
    keys tap x
    sleep 0.3
  done
}
typed_size() { stat -c %s "$work/typed"; }

# toy_has_keyboard: taps "a" until the toy traces it.
toy_has_keyboard() {
  local deadline=$((SECONDS + 60))
  until traced "key pressed 65, A"; do
    [ $SECONDS -lt $deadline ] || return 1
    program_running || return 1
    keys tap a
    sleep 0.3
  done
}
