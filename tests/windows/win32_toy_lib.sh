# What the whole-program tests of the toy itself share under Wine: zindle.exe
# copied into a folder of its own with a picture named wumbly.jpg beside it
# and started there, as the Start menu's shortcut starts it, and the screen
# readings of the Linux tests (tests/support/toy_screen.sh). Sourced by
# tests/windows/win32_toy_*_test.sh, which are given the build's zindle.exe.
source "$(dirname "${BASH_SOURCE[0]}")/win32_lib.sh"
source "$here/../support/toy_screen.sh"

note() { echo "-- $*" >&2; }

toy_exe=$build/zindle.exe
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
# output in stdout.log and stderr.log, emptied first so that no check reads an
# earlier run's lines. Sets started_at.
toy_cap=4000000
started_at=""
start_toy() {
  local folder=$1
  shift
  : >"$work/stdout.log"
  : >"$work/stderr.log"
  started_at=$EPOCHREALTIME
  (cd "$folder" && ulimit -v "$toy_cap" && exec env "$@" wine ./zindle.exe >"$work/stdout.log" 2>"$work/stderr.log") &
  toy_pid=$!
}

toy_running() { kill -0 "$toy_pid" 2>/dev/null; }
seconds_since_start() { awk -v from="$started_at" -v to="$EPOCHREALTIME" 'BEGIN { printf "%.1f", to - from }'; }

# wait_exit SECONDS: waits for the toy to end and sets exit_code ("timeout"
# if it did not).
exit_code=""
wait_exit() {
  wait_child "$1" "$toy_pid"
  exit_code=$child_exit
  [ "$exit_code" = timeout ] || toy_pid=""
}

has_toy_window() { [ -n "$(first_line xdotool search --name '^Zindle$' 2>/dev/null)" ]; }

# drawn: the scene is on screen, the splash gone. A window Wine makes or
# destroys during the screenshot makes it fail now and then; the next try
# counts.
drawn() { shot "$work/frame.png" 2>/dev/null && is_scene "$work/frame.png"; }

# top_windows: the captions of the X server's windows that have one, one a
# line, but for the input-method windows Wine makes as it goes; a message box
# shows here by its caption.
top_windows() {
  local tree
  tree=$(xwininfo -root -tree)
  sed -n '/"Default IME"/d; s/^ *0x[0-9a-f]* "\(.*\)":.*/\1/p' <<<"$tree"
}
