#!/usr/bin/env bash
# The toy under Wine with no sound device at all (Wine's ALSA driver, no
# card): it plays on silent (splash, cubes, a throw, ESC ends with 0)
# and one trace line says why, however long it looks for a device.
source "$(dirname "$0")/win32_sound_lib.sh"

start_wine 1024 768
folder=$(toy_folder no-device)
cp "$own_picture" "$folder/"
start_toy "$folder" "${no_device_env[@]}"
wait_for 120 has_toy_window || fail "no window"
watch_splash
wait_for 120 drawn || fail "the cubes never showed"
wait_for 30 traced "sound: no sound device" || fail "the trace does not say why it is silent: $(sound_trace)"
note "$(sound_trace)"

expect_throw_grows
grep -q "key pressed 85, U" "$work/stderr.log" || fail "the key was not traced"
# It looks again every second, but says so once.
[ "$(grep -c "no sound device" <<<"$(sound_trace)")" = 1 ] || fail "the reason was traced more than once: $(sound_trace)"
traced "sound: playing" && fail "a device played: $(sound_trace)"

toy_running || fail "the toy ended early"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
echo PASS
