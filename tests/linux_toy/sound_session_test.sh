#!/usr/bin/env bash
# The sound tests' own sound server (tests/support/shell/sound_session.sh): it is the
# test's, not the machine's; what is played into it is recorded whole, at its
# pitch and on its side; and killed and started again, it records again.
source "$(dirname "$0")/sound_lib.sh"

start_sound_server
server=$(pactl info | sed -n 's/^Server String: //p')
[ "$server" = "unix:$XDG_RUNTIME_DIR/pulse/native" ] || fail "the pulse clients reach $server"
[ "$(pactl get-default-sink)" = "$sound_sink" ] || fail "the default sink is not the null sink"

# A 660 Hz beep on the left after silence, played by a pulse client.
sox -n -r 48000 -c 2 "$work/beep.wav" synth 0.3 sine 660 vol 0.5 remix 1 0 pad 0.2 0.3 ||
  fail "sox could not write the beep"
check_beep() {
  measure "$1"
  onsets >"$work/beep.txt"
  [ "$(grep -c . "$work/beep.txt")" = 1 ] || fail "not one beep in $1: $(cat "$work/measure.txt")"
  awk '{ exit !($2 > 0.45 && $2 < 0.55 && $5 > 650 && $5 < 670 && $4 < 0.01 * $3) }' "$work/beep.txt" ||
    fail "the beep came out changed: $(cat "$work/beep.txt")"
  [ "$rec_clipped" = 0 ] || fail "$rec_clipped samples at full scale"
}
start_recording "$work/first.wav"
paplay "$work/beep.wav" || fail "paplay could not play into the null sink"
stop_recording
check_beep "$work/first.wav"

stop_sound_server KILL
! sound_server_ready || fail "the pulse server outlived a kill"
start_sound_server
start_recording "$work/second.wav"
paplay "$work/beep.wav" || fail "paplay could not play after the restart"
stop_recording
check_beep "$work/second.wav"
echo PASS
