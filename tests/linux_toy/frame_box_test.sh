#!/usr/bin/env bash
# The refused-mode box shows whatever the X server's font path holds: only the
# built-in fonts, or only the URW Type1 fonts with no core bitmap fonts. Each
# time it is a top-level window titled "Zindle" with its text drawn, and the
# program waits while it is up. Return, Space, Escape, keypad Enter, a click on
# OK and the window manager's close each dismiss it, and the program goes on
# in a window; SIGINT, SIGTERM and SIGHUP while it is up close it at once and
# end the program like a close, with exit code 0.
source "$(dirname "$0")/../support/shell/x11_session.sh"

close_window=$binary_dir/tests/x11_close_window
[ -x "$close_window" ] || fail "no helper at $close_window"
type1=/usr/share/fonts/X11/Type1
[ -f "$type1/NimbusSans-Regular.pfb" ] || fail "the URW Type1 fonts are not installed in $type1"

# SDL's own box turns to zenity where its X11 box fails; on a machine without
# zenity that fails too. Hide it, so that a box only zenity could show counts
# as missing here as well.
mkdir "$work/bin"
printf '#!/bin/sh\nexit 127\n' >"$work/bin/zenity"
chmod +x "$work/bin/zenity"
export PATH="$work/bin:$PATH"

box_pattern='"Zindle": \('

# box_drawn WINDOW: the box is on screen with dark text on its light face.
box_drawn() {
  local info x y w h dark
  info=$(xwininfo -id "$1" 2>/dev/null) && [[ $info == *IsViewable* ]] || return 1
  read -r x y w h <<<"$(geometry "$1")"
  dark=$(xwd -root -silent | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage -colorspace Gray \
    -threshold 40% -negate -format '%[fx:int(1000*mean)]' info:)
  # Text covers a few percent of the face; a blank or black window, none or all.
  [ "$dark" -ge 5 ] && [ "$dark" -le 300 ]
}

# open_box: starts the probe and waits until its box is drawn; sets box.
box=""
open_box() {
  start_probe
  wait_for 60 has_box || fail "no message box (font path: $(xset q | grep -A1 'Font Path' | tail -n 1))"
  box=$(box_window)
  wait_for 30 box_drawn "$box" || fail "the box shows no text"
  grep -q "cannot handle 1024x768x32 in full screen mode" "$work/err.log" || fail "the refusal was not on stderr"
  ! logged createScene || fail "the program went on while the box was up"
}
box_gone() { ! xwininfo -id "$box" >/dev/null 2>&1; }

# dismiss HOW: dismisses the box, then checks that the program runs on in a
# window and ends on SIGTERM.
dismiss() {
  case $1 in
  click)
    local x y w h
    read -r x y w h <<<"$(geometry "$box")"
    # The OK button sits centred near the bottom edge.
    xdotool mousemove $((x + w / 2)) $((y + h - 35)) click 1
    ;;
  close) "$close_window" "$box" ;;
  *) xdotool key --window "$box" "$1" 2>/dev/null ;; # it warns about the focus
  esac
  wait_for 30 box_gone || fail "$1 did not dismiss the box"
  expect_logged 60 drawFrame
  kill -TERM "$probe_pid"
  expect_exit 60 0
  note "$1 dismissed the box"
}

# end_by SIGNAL: the signal closes the box and ends the program with exit 0,
# through the normal tear-down and without drawing a frame.
end_by() {
  kill -s "$1" "$probe_pid"
  wait_for 30 box_gone || fail "SIG$1 left the box up"
  expect_exit 60 0
  logged destroyScene || fail "no destroyScene after SIG$1"
  ! logged drawFrame || fail "a frame was drawn after SIG$1 closed the box"
  note "SIG$1 closed the box and ended the program"
}

# The core fonts SDL's box asks the server for are missing on both paths.
no_core_text_fonts() {
  local fonts
  fonts=$(xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-iso8859-1' 2>/dev/null) || return 0
  ! grep -q . <<<"$fonts"
}

start_xvfb 1920 1080 -fp built-ins
no_core_text_fonts || fail "the built-in font path has text fonts after all"
for way in Return space click INT HUP; do
  open_box
  case $way in
  INT | HUP) end_by "$way" ;;
  *) dismiss "$way" ;;
  esac
done
stop_server

start_xvfb 1920 1080 -fp "$type1"
for way in Escape KP_Enter close TERM; do
  open_box
  case $way in
  TERM) end_by "$way" ;;
  *) dismiss "$way" ;;
  esac
done
echo PASS
