#!/usr/bin/env bash
# A flood of 6500 key-downs from the X server into the running toy: each one
# is traced as one well-formed line, frames go on afterwards, resident memory
# stays bounded and ESC still ends the toy with exit code 0.
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768
cp "$binary_dir/wumbly.jpg" "$work/"
start_playing "$work"
window=$(toy_window)

resident() { awk '/^VmRSS:/ { print $2 }' "/proc/$toy_pid/status"; }
# The spin shows that frames are being drawn: two screenshots differ.
moving() {
  shot "$work/a.png"
  shot "$work/b.png"
  [ "$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true)" != 0 ]
}
wait_for 60 moving || fail "no frames before the flood"
before=$(resident)

# A key held past the server's repeat delay repeats: on a loaded machine
# xdotool can be held up between a press and its release, and the server's
# repeats would count as key-downs nobody sent.
xset r off

# Letters, digits, the space bar, punctuation, function, arrow and modifier
# keys, everything but ESC, one key-down each. (Not the keypad: xdotool
# presses Num Lock around keypad keys, which adds key-downs of its own.)
keys=(a b c d e f g h i j k l m n o p q r s t u v w x y z 0 1 2 3 4 5 6 7 8 9 space comma period
      slash minus equal bracketleft semicolon apostrophe F1 F2 F5 F12 Left Right Up Down Prior Next
      Home End Insert Delete Shift_L Control_L Tab Return BackSpace Print)
sent=0
for _ in $(seq 1 100); do
  xdotool key --window "$window" --delay 0 "${keys[@]}"
  sent=$((sent + ${#keys[@]}))
done
traced() { [ "$(grep -c '^key pressed' "$work/stderr.log")" -ge "$sent" ]; }
wait_for 120 traced || fail "only $(grep -c '^key pressed' "$work/stderr.log") of $sent key-downs were traced"
[ "$(grep -c '^key pressed' "$work/stderr.log")" = "$sent" ] || fail "more key-downs traced than sent"

bad=$(grep -v -E '^key pressed -?[0-9]+, [ -~]$|^size: [0-9]+, [0-9]+$' "$work/stderr.log" || true)
bad=$(sed -n 1,3p <<<"$bad")
[ -z "$bad" ] || fail "malformed trace lines: $bad"

wait_for 60 moving || fail "frames did not resume after the flood"
after=$(resident)
note "resident memory $((before / 1024)) MB before the flood, $((after / 1024)) MB after"
# AddressSanitizer holds freed memory in quarantine: no bound there.
if ! sanitized_build; then
  [ "$after" -lt $((before + 32 * 1024)) ] || fail "resident memory grew from $before kB to $after kB"
fi

toy_running || fail "the toy ended during the flood"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
echo "PASS"
