#!/usr/bin/env bash
# The toy's sound as a child meets it, in a sound server of the benchmark's
# own (a PipeWire null sink, recorded; tests/support/shell/sound_session.sh) and a
# private X server, all in private namespaces so nothing reaches the machine's
# own sound server or speakers. Medians and worst of:
#
#   - latency from a key to the start of its name at the sink, and from each
#     landing's motion time (the key's time plus the motion's bounce time) to
#     its tone: budget 40 ms median, 60 ms worst. The key's time is when it
#     was sent, so both include the wait for the toy's next frame;
#   - the toy's CPU playing with sound against muted, in turns in the same run
#     (three keys every half second): at most +0.03 of a core;
#   - the launch, main to the first frame swapped (the start-up marks), with
#     sound against muted, in turns: at most 5 % later.
#
#   bench/sound_bench.sh BUILD_DIR
# shellcheck disable=SC2034,SC2154
set -euo pipefail
build=$(realpath "${1:?the build folder}")
export ZINDLE_BINARY_DIR=$build
here=$(dirname "$(realpath "$0")")
source "$here/../tests/support/shell/sound_session.sh"
sound_private_namespace "$@"
set -- "$build/zindle"
source "$here/../tests/linux_toy/toy_lib.sh"
at_exit sound_cleanup
# By class, as the sound tests find it (tests/linux_toy/sound_lib.sh).
toy_window() { first_line xdotool search --classname '^zindle$' 2>/dev/null; }
sound_isolate
probe=$build/tests/sound_probe
clock=$build/tests/record_clock
marks=$build/tests/zindle_startup_marks.so
for program in "$probe" "$clock" "$marks" "$build/tests/bounce_times"; do
  [ -e "$program" ] || fail "missing $program"
done

# stats FILE: "median M worst W" of the numbers in FILE, one a line.
stats() { sort -g "$1" | awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "median %.1f worst %.1f (%d)", m, v[NR], NR }'; }
median_of() { sort -g "$1" | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
status=0
verdict() { if awk "BEGIN { exit !($1) }"; then echo "within budget"; else echo "OVER BUDGET"; status=1; fi; }

# start_toy_with OPTION [NAME=VALUE...]: the toy with one option (or none,
# given as ""), in an environment with those additions.
start_toy_with() {
  : >"$work/stdout.log"
  : >"$work/stderr.log"
  local options=()
  [ -z "$1" ] || options=("$1")
  (cd "$work" && exec env "${@:2}" "$toy" "${options[@]}" >"$work/stdout.log" 2>"$work/stderr.log") &
  toy_pid=$!
}
play() {
  start_toy_with "$@"
  wait_for 60 has_toy_window || fail "no window: $(cat "$work/stderr.log")"
  wait_for 60 drawn || fail "the cubes never showed: $(cat "$work/stderr.log")"
}
finish() {
  xdotool key Escape
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "the toy ended with $exit_code: $(grep -v "key pressed" "$work/stderr.log" | tail -n 5)"
}

start_x 1024 768
start_sound_server

# The motion's landing times after a throw, from the motion itself.
"$build/tests/bounce_times" | awk '{ print $1 }' >"$work/bounces.txt"

echo "== latency at a PipeWire null sink"
play ""
wait_for 30 toy_streams_open || fail "the toy opened no stream: $(cat "$work/stderr.log")"
start_recording "$work/latency.wav"
"$clock" "$work/latency.wav" "$sound_rate" >"$work/clock.txt" &
clock_pid=$!
: >"$work/keys.txt"
for key in a h q 5 m w; do
  xdotool keydown "$key"
  echo "$EPOCHREALTIME" >>"$work/keys.txt"
  xdotool keyup "$key"
  wait_for 30 recorded_past "$(record_frames)" 7
done
kill -INT "$clock_pid"
wait "$clock_pid" || fail "no clock for the recording"
stop_recording
finish
"$probe" "$work/latency.wav" >"$work/measure.txt"
start=$(awk '$1 == "start" { print $2 }' "$work/clock.txt")
: >"$work/name.txt"
: >"$work/tone.txt"
keys=()
mapfile -t keys <"$work/keys.txt"
for i in "${!keys[@]}"; do
  from=$(awk -v k="${keys[$i]}" -v s="$start" 'BEGIN { printf "%.6f", k - s }')
  to=$(awk -v k="${keys[$i + 1]:-1e12}" -v s="$start" 'BEGIN { printf "%.6f", k - s }')
  awk -v from="$from" -v to="$to" '$1 == "onset" && $2 >= from && $2 < to { print $2, $3 }' "$work/measure.txt" >"$work/key.txt"
  # The name within the first second (the first landing comes at 1.34 s),
  # then the tones; quiet onsets at a tail's level are gaps in it, not
  # strikes (as in tests/linux_toy/sound_lib.sh).
  awk -v from="$from" '$1 < from + 1 { printf "%.2f\n", ($1 - from) * 1000; exit }' "$work/key.txt" >"$work/this-name.txt"
  [ -s "$work/this-name.txt" ] || fail "key $i: no name heard"
  cat "$work/this-name.txt" >>"$work/name.txt"
  awk -v from="$from" '$1 >= from + 1 && (!kept || $2 >= 0.4 * kept) { print $1; kept = $2 }' "$work/key.txt" >"$work/kept.txt"
  [ "$(grep -c . "$work/kept.txt")" -ge 12 ] || fail "key $i: not twelve tones: $(cat "$work/key.txt")"
  tail -n 12 "$work/kept.txt" | paste -d ' ' - "$work/bounces.txt" |
    awk -v from="$from" '{ printf "%.2f\n", ($1 - from - $2) * 1000 }' >>"$work/tone.txt"
done
echo "key to its name (ms): $(stats "$work/name.txt")  $(verdict "$(median_of "$work/name.txt") <= 40 && $(sort -g "$work/name.txt" | tail -n 1) <= 60")"
echo "landing to its tone (ms): $(stats "$work/tone.txt")  $(verdict "$(median_of "$work/tone.txt") <= 40 && $(sort -g "$work/tone.txt" | tail -n 1) <= 60")"

echo "== CPU playing, with sound and muted in turns"
cpu_seconds() { awk '{ sub(/^.*\) /, ""); print ($12 + $13) / 100 }' "/proc/$toy_pid/stat"; }
: >"$work/cpu-sound.txt"
: >"$work/cpu-mute.txt"
for turn in 1 2 3 4 5; do
  for mode in sound mute; do
    if [ "$mode" = mute ]; then play --mute; else play ""; fi
    before=$(cpu_seconds)
    began=$EPOCHREALTIME
    for throw in $(seq 16); do
      xdotool key a key h key space
      until awk -v t="$EPOCHREALTIME" -v b="$began" -v n="$throw" 'BEGIN { exit !(t - b >= n * 0.5) }'; do
        sleep 0.02
      done
    done
    awk -v c="$(cpu_seconds)" -v b="$before" -v t="$EPOCHREALTIME" -v s="$began" \
      'BEGIN { printf "%.4f\n", (c - b) / (t - s) }' >>"$work/cpu-$mode.txt"
    finish
  done
done
sound_cpu=$(median_of "$work/cpu-sound.txt")
mute_cpu=$(median_of "$work/cpu-mute.txt")
echo "with sound $sound_cpu cores (worst $(sort -g "$work/cpu-sound.txt" | tail -n 1)), muted $mute_cpu (worst $(sort -g "$work/cpu-mute.txt" | tail -n 1)): \
$(awk -v a="$sound_cpu" -v b="$mute_cpu" 'BEGIN { printf "%+.4f", a - b }')  $(verdict "$sound_cpu - $mute_cpu <= 0.03")"

echo "== launch, main to the first frame swapped, with sound and muted in turns"
launch_seconds() {
  awk '/start-up main at/ { m = $5 } /start-up first frame swapped at/ { f = $7 } END { if (m && f) printf "%.4f\n", f - m }' \
    "$work/stderr.log"
}
: >"$work/launch-sound.txt"
: >"$work/launch-mute.txt"
for turn in 1 2 3 4 5; do
  for mode in sound mute; do
    if [ "$mode" = mute ]; then play --mute LD_PRELOAD="$marks"; else play "" LD_PRELOAD="$marks"; fi
    wait_for 30 grep -q "first frame swapped" "$work/stderr.log" || fail "no start-up marks: $(cat "$work/stderr.log")"
    launch_seconds >>"$work/launch-$mode.txt"
    finish
  done
done
sound_launch=$(median_of "$work/launch-sound.txt")
mute_launch=$(median_of "$work/launch-mute.txt")
echo "with sound ${sound_launch} s (worst $(sort -g "$work/launch-sound.txt" | tail -n 1)), muted ${mute_launch} s \
(worst $(sort -g "$work/launch-mute.txt" | tail -n 1)): $(awk -v a="$sound_launch" -v b="$mute_launch" 'BEGIN { printf "%+.1f %%", (a / b - 1) * 100 }')  \
$(verdict "$sound_launch <= 1.05 * $mute_launch")"
exit $status
