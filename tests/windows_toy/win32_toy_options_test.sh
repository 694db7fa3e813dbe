#!/usr/bin/env bash
# The toy's options under Wine: --help prints the usage and ends with 0, a
# wrong option says so and ends with 2, both before any window is made (the
# usage in a message box where the toy has no output and no console);
# --mute opens no sound device at all (ALSA's file, made when its device
# opens, never appears); --no-speech plays the tones but asks for no names.
source "$(dirname "$0")/win32_sound_lib.sh"

start_wine 1024 768
folder=$(toy_folder options)
cp "$own_picture" "$folder/"

# The toy's own trace starts with the window it makes.
made_window() { grep -q -a "^size: " <<<"$(lines stderr.log)"; }

start_toy_with "$folder" -- --help
wait_exit 60
[ "$exit_code" = 0 ] || fail "--help ended with $exit_code"
grep -q -- "--mute" <<<"$(lines stdout.log)" || fail "--help printed no usage: $(lines stdout.log)"
made_window && fail "--help made a window"

start_toy_with "$folder" -- --loud
wait_exit 60
[ "$exit_code" = 2 ] || fail "a wrong option ended with $exit_code"
grep -q -F 'zindle: unknown option "--loud"' <<<"$(lines stderr.log)" || fail "the wrong option was not named: $(lines stderr.log)"
[ -s "$work/stdout.log" ] && fail "a wrong option printed on standard output"
made_window && fail "a wrong option made a window"

# Started with no output of its own and no console, as from the desktop:
# the usage in a message box, and the same exit code. (Wine itself needs
# standard error open: with it closed Wine's own connection takes its place.)
# The box's text spans lines; the window's own facts come first.
box_text() { inspect_window Zindle; }
box_shown() { grep -q -- "$1" <<<"$(box_text)"; }
(cd "$folder" && exec wine ./zindle.exe --help </dev/null >&- 2>"$work/stderr.log") &
# shellcheck disable=SC2034 # the program under test, for the library's wait and stop
toy_pid=$!
wait_for 60 box_shown "--no-speech" || fail "--help without a console showed no usage in a message box: $(box_text)"
# Return reaches the box once it has the focus.
dismissed() {
  xdotool key Return
  sleep 0.2
  ! toy_running
}
wait_for 60 dismissed || fail "the message box stayed after Return"
wait_exit 60
[ "$exit_code" = 0 ] || fail "--help in a message box ended with $exit_code"

start_toy_with "$folder" "${capture_env[@]}" -- --language=@
wait_exit 60
[ "$exit_code" = 2 ] || fail "a wrong language ended with $exit_code"

start_toy_with "$folder" "${capture_env[@]}" -- --mute
wait_for 120 drawn || fail "the cubes never showed with --mute"
xdotool key a
wait_for 30 grep -q "key pressed 65, A" "$work/stderr.log" || fail "the key was not traced"
[ -z "$(sound_trace)" ] && [ ! -e "$capture" ] || fail "--mute opened sound: $(sound_trace)"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended --mute with $exit_code"
[ ! -e "$capture" ] || fail "--mute opened a sound device"

start_toy_with "$folder" "${capture_env[@]}" -- --no-speech
wait_for 120 drawn || fail "the cubes never showed with --no-speech"
wait_for 30 traced "sound: playing on the default device" || fail "no device opened: $(sound_trace)"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended --no-speech with $exit_code"
traced "speech:" && fail "--no-speech asked for names: $(sound_trace)"
echo PASS
