#!/usr/bin/env bash
# No sound server and no sound card, SDL left to its own choice of driver: the
# toy starts, throws, answers keys and ends with 0 after ESC.
source "$(dirname "$0")/sound_lib.sh"

start_x 1024 768
started=$SECONDS
play_sound_toy
note "playing after $((SECONDS - started)) s"
expect_throw_grows
xdotool key h
wait_for 30 grep -q "key pressed 72, H" "$work/stderr.log" || fail "the toy stopped answering keys"
end_toy
note "the toy said: $(grep -i -m 3 -e sound -e speech "$work/stderr.log" || true)"
echo PASS
