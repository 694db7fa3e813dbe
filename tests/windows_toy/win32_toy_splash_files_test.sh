#!/usr/bin/env bash
# zindle.exe under Wine with every kind of splash file that has gone wrong,
# each made here and named wumbly.jpg beside the program: things that are not
# files (a FIFO nobody writes to, links to /dev/urandom and /dev/zero, a
# sparse 3 GB file, a folder), headers that claim gigapixels, formats the toy
# does not read, a JPEG cut short, a real 12000x12000 photo (the same files as
# the Linux test) and a file another program holds open with no sharing. Every time the cubes show within a deadline and under a memory
# cap, no box or other window appears, nothing is said, and ESC ends the toy
# with exit code 0. One X server and one wineserver serve all the cases.
#
# The deadline and the caps come from a start with the toy's own picture in
# the same run: no more than 10 s plus three times its time to the cubes, an
# address space 512 MB over its own, a peak 128 MB over its own. Each start's
# figures are noted in the log.
source "$(dirname "$0")/win32_toy_lib.sh"
source "$here/../support/shell/splash_files.sh"

maker=$build/tests/make_picture.exe
holder=$build/tests/hold_file.exe
[ -f "$maker" ] && [ -f "$holder" ] || fail "no make_picture.exe or hold_file.exe in $build/tests"
start_wine 1024 768

status_kb() { awk -v field="$2:" '$1 == field { print $2 }' "/proc/$1/status"; }

deadline=120
seconds="" peak_kb="" own_windows=""

# launch FOLDER WHAT: starts the toy there and waits for its cubes; sets
# seconds (from the start to the cubes) and peak_kb (peak resident memory).
launch() {
  # A run's last frame must not count for the next: the screen is black again
  # once the previous toy's window is gone.
  shot "$work/before.png"
  [ "$(lit_share "$work/before.png")" = 0 ] || fail "$2: the screen was not black before the start"
  start_toy "$1"
  wait_for "$deadline" drawn || fail "$2: no cubes within $deadline s"
  seconds=$(seconds_since_start)
  peak_kb=$(status_kb "$toy_pid" VmHWM)
}

# finish WHAT: no other window and nothing said but the toy's own trace (its
# size, its keys, why it plays silent); ESC ends the toy with 0.
finish() {
  local windows said
  windows=$(top_windows)
  [ "$windows" = "$own_windows" ] || fail "$1: the windows are"$'\n'"$windows"$'\n'"not"$'\n'"$own_windows"
  said=$(grep -v '^size: \|^key pressed\|^sound: \|^speech: ' "$work/stderr.log" || true)
  [ -z "$said" ] || fail "$1: unexpected output: $said"
  xdotool key Escape
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "$1: ESC ended with $exit_code"
}

# play FOLDER WHAT: a whole start held to the deadline and the caps.
play() {
  launch "$@"
  [ "$peak_kb" -le $((own_peak_kb + 128 * 1024)) ] ||
    fail "$2: peak memory $((peak_kb / 1024)) MB, with its own picture $((own_peak_kb / 1024)) MB"
  finish "$2"
  note "$2: cubes after $seconds s, peak $((peak_kb / 1024)) MB, exit 0"
}

# make_picture FOLDER FORMAT WIDTH HEIGHT [PATTERN]: FOLDER/wumbly.jpg written
# by the tests' picture writer, run under Wine in that folder.
make_picture() {
  (cd "$1" && timeout 300 wine "$maker" "$2" "$3" "$4" wumbly.jpg "${@:5}" >"$work/maker.log" 2>&1) ||
    fail "make_picture $*: $(cat "$work/maker.log")"
}

# The toy's own picture: the yardstick for the rest. The splash must have
# gone before the cubes count as shown, so the windows are read then.
folder=$(toy_folder own)
cp "$own_picture" "$folder/"
launch "$folder" "its own picture"
own_seconds=$seconds own_peak_kb=$peak_kb
own_address_kb=$(status_kb "$toy_pid" VmPeak)
own_windows=$(top_windows)
[ "$(grep -cx Zindle <<<"$own_windows")" = 1 ] || fail "the toy's own window is not among"$'\n'"$own_windows"
finish "its own picture"
deadline=$(awk -v s="$own_seconds" 'BEGIN { printf "%d", 10 + 3 * s }')
toy_cap=$((own_address_kb + 512 * 1024))
note "its own picture: cubes after $own_seconds s, peak $((own_peak_kb / 1024)) MB, address space" \
  "$((own_address_kb / 1024)) MB; the others get $deadline s and $((toy_cap / 1024)) MB of address space"

play_splash_files toy_folder make_picture play "$own_picture"

# Root reads a file whatever its mode says; what keeps a Windows program out
# is another one holding the file open without sharing. A second holder is
# refused the same way, which shows the hold is real.
folder=$(toy_folder held)
cp "$own_picture" "$folder/"
(cd "$folder" && exec wine "$holder" wumbly.jpg 300 >"$work/holder.log" 2>&1) &
holder_pid=$!
holding() { grep -qx 'held' <<<"$(lines holder.log)"; }
wait_for 60 holding || fail "the picture could not be held: $(lines holder.log)"
second=0
(cd "$folder" && wine "$holder" wumbly.jpg 0 >/dev/null 2>&1) || second=$?
[ "$second" = 3 ] || fail "a second holder was not refused for sharing (exit $second)"
play "$folder" "a picture another program holds open without sharing"
kill "$holder_pid"
wait_child 30 "$holder_pid"
echo PASS
