# shellcheck shell=bash
# The Wine layer of the toy's own whole-program tests: zindle.exe copied into
# a folder of its own with a picture named wumbly.jpg beside it and started
# there, as the Start menu's shortcut starts it, and the screen readings of the
# Linux tests (tests/support/shell/toy_screen.sh). On top of win32_lib.sh. Sourced by
# tests/windows_toy/win32_toy_*_test.sh, which are given the build's zindle.exe.

# shellcheck source=tests/windows_toy/win32_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/win32_lib.sh"
# shellcheck source=tests/support/shell/toy_screen.sh
source "$here/../support/shell/toy_screen.sh"

toy_exe=$build/zindle.exe
# shellcheck disable=SC2034 # for the tests: the picture the build ships
own_picture=$build/wumbly.jpg
[ -f "$toy_exe" ] || fail "no zindle.exe at $toy_exe"
command -v convert >/dev/null || { echo "SKIP: ImageMagick is not installed"; exit 77; }

# toy_folder NAME: a new folder holding zindle.exe; prints its path.
toy_folder() {
  mkdir "$work/$1"
  cp "$toy_exe" "$work/$1/"
  echo "$work/$1"
}

# start_toy FOLDER [NAME=VALUE...]: zindle.exe started there under Wine with
# those variables and the address-space cap toy_cap (ulimit -v, in KB); its
# output in stdout.log and stderr.log. Sets started_at.
toy_cap=4000000
start_toy() {
  local folder=$1
  shift
  program_name="the toy" program_out=stdout.log program_err=stderr.log
  launch_program -C "$folder" -v "$toy_cap" env "$@" wine ./zindle.exe
}

toy_running() { program_running; }

# top_windows: the captions of the X server's windows that have one, one a
# line, but for the input-method windows Wine makes as it goes; a message box
# shows here by its caption.
top_windows() {
  local tree
  tree=$(xwininfo -root -tree)
  sed -n '/"Default IME"/d; s/^ *0x[0-9a-f]* "\(.*\)":.*/\1/p' <<<"$tree"
}
