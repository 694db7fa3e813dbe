#!/usr/bin/env bash
# The toy's sound under Wine, heard through Wine's ALSA driver in a file: a
# key in the left column gives its twelve tones on the left and one in the
# right column on the right, dying away as the cube's bounces do. Wine's
# speech answers every call with E_NOTIMPL: the trace says the names are not
# said, and the file holds tones only. ESC ends with 0.
source "$(dirname "$0")/win32_sound_lib.sh"
build_probe

start_wine 1024 768
folder=$(toy_folder sound)
cp "$own_picture" "$folder/"
start_toy "$folder" "${capture_env[@]}"
wait_for 120 has_toy_window || fail "no window"
wait_for 120 drawn || fail "the cubes never showed"
wait_for 30 traced "sound: playing on the default device" || fail "no device opened: $(sound_trace)"
note "$(sound_trace)"
wait_for 30 traced "speech: Windows cannot speak here" || fail "the trace does not say why no name is said"

# Each key's tones lie between the file's length when it was pressed and
# when the next was; the last bounce comes about 6.3 s after the key, up to
# about 10 s into the file, which runs ahead of the clock.
left_key=$(captured_frames)
xdotool key a
wait_for 60 captured_past "$left_key" 14 || fail "the file stopped growing"
right_key=$(captured_frames)
xdotool key h
wait_for 60 captured_past "$right_key" 14 || fail "the file stopped growing"
end_key=$(captured_frames)

toy_running || fail "the toy ended early"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"

measure_capture
seconds() { awk -v f="$1" -v r="$capture_rate" 'BEGIN { printf "%.3f", f / r }'; }
[ -z "$(onsets 0 "$(seconds "$left_key")")" ] || fail "sound before the first key: $(onsets 0 "$(seconds "$left_key")")"
check_throw "$(seconds "$left_key")" "$(seconds "$right_key")" left
check_throw "$(seconds "$right_key")" "$(seconds "$end_key")" right
clipped=$(awk '$1 == "clipped" { print $2 }' "$work/measure.txt")
[ "$clipped" = 0 ] || fail "$clipped samples clipped"
echo PASS
