# What the whole-toy sound tests under Wine share: each runs in private mount,
# network and process namespaces over an empty /tmp with the sound cards
# hidden, Wine's ALSA driver routed into a file (a private HOME whose
# .asoundrc sends ALSA's default device through a plug to 48 kHz S16 stereo
# into a file over the null device), the sound probe built for this machine
# to measure that file, and the trace's sound lines. Sourced first, in place
# of win32_toy_lib.sh. Nothing here can reach the machine's own sound server
# or speakers: Wine's pulse driver stays off, the runtime folder is private,
# PULSE_SERVER unset and the cards out of sight.
# shellcheck shell=bash disable=SC2034,SC2154

source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/private_namespace.sh"
private_namespace --pid "$@"
source "$(dirname "${BASH_SOURCE[0]}")/win32_toy_lib.sh"
if [ -d /dev/snd ]; then
  mount -t tmpfs -o mode=0755 tmpfs /dev/snd || fail "cannot hide the sound cards"
fi

capture_rate=48000
capture=$work/capture.raw
sound_home=$work/home


mkdir -p "$sound_home" "$work/runtime"
chmod 700 "$work/runtime"
cat >"$sound_home/.asoundrc" <<ASOUND
pcm.!default {
  type plug
  slave {
    pcm "zindle_capture"
    format S16_LE
    rate $capture_rate
    channels 2
  }
}
pcm.zindle_capture {
  type file
  slave.pcm "null"
  file "$capture"
  format "raw"
}
ASOUND
unset PULSE_SERVER

# What start_toy is given for Wine's ALSA driver, and only it, into the file;
# without it both drivers are off (win32_lib.sh).
capture_env=(HOME="$sound_home" XDG_RUNTIME_DIR="$work/runtime" WINEDLLOVERRIDES="$wine_overrides;winepulse.drv=d")
# Wine's ALSA driver with ALSA's own configuration and no card: no device.
mkdir -p "$work/plain-home"
no_device_env=(HOME="$work/plain-home" XDG_RUNTIME_DIR="$work/runtime" WINEDLLOVERRIDES="$wine_overrides;winepulse.drv=d")

# The trace lines of the sound and speech threads.
sound_trace() { grep -a -E '^(sound|speech): ' <<<"$(lines stderr.log)" || true; }
traced() { grep -q -a -F -- "$1" <<<"$(sound_trace)"; }

# captured_frames: how much the toy has played into the file so far.
captured_frames() { echo $(($(stat -c %s "$capture" 2>/dev/null || echo 0) / 4)); }
# captured_past FRAME SECONDS: the file holds SECONDS beyond FRAME.
captured_past() { [ "$(captured_frames)" -ge $(($1 + $2 * capture_rate)) ]; }

# build_probe: the sound probe, from its source: this build is Windows', the
# probe runs here.
sound_probe=$work/sound_probe
build_probe() {
  command -v g++ >/dev/null || { echo "SKIP: no g++ to build the sound probe"; exit 77; }
  g++ -std=c++20 -O2 -I"$here/../.." "$here/../support/programs/sound_probe.cpp" "$here/../support/fixtures/SoundAnalysis.cpp" \
    -o "$sound_probe" 2>"$work/probe-build.log" || fail "the sound probe does not build"
}

# measure_capture: the probe's lines for the file, into $work/measure.txt, and
# its dropouts into $work/dropouts.txt.
measure_capture() {
  "$sound_probe" --raw s16 "$capture_rate" 2 "$capture" >"$work/measure.txt" || fail "the probe cannot read the capture"
  dropouts >"$work/dropouts.txt"
  [ -s "$work/dropouts.txt" ] && note "dropouts (the thread late) ending at: $(tr '\n' ' ' <"$work/dropouts.txt")s"
  return 0
}

# dropouts: the end (seconds) of each stretch the toy's thread came too late
# for, one a line: Wine plays silence there, a period of exact zeros between
# two samples of a tone still sounding. On two loaded cores the thread's
# priority does not reach Wine's timer, and a resumed tone looks like a new
# onset to the probe.
dropouts() {
  od -An -v -td2 -w4 "$capture" | awk -v rate="$capture_rate" '
    function level(a, b) { a = a < 0 ? -a : a; b = b < 0 ? -b : b; return a > b ? a : b }
    function recent(   i, m) { m = 0; for (i = 0; i < 8; ++i) if (ring[i] > m) m = ring[i]; return m }
    $1 == 0 && $2 == 0 { if (run == 0) before = recent(); ++run; next }
    {
      now = level($1, $2)
      if (run >= rate / 1000 && run <= rate / 10 && before >= 8) { pending = 8; after = 0; end = NR - 1 }
      run = 0
      ring[NR % 8] = now
      if (pending > 0) {
        if (now > after) after = now
        if (--pending == 0 && after >= 8) printf "%.4f\n", end / rate
      }
    }'
}

# onsets FROM TO: TIME PEAK LEFT_RMS RIGHT_RMS FREQUENCY of each onset of the
# last measure between FROM and TO seconds of the file.
onsets() {
  awk -v from="$1" -v to="$2" '$1 == "onset" && $2 >= from && $2 < to { print $2, $3, $4, $5, $6 }' "$work/measure.txt"
}

# check_throw FROM TO SIDE: the onsets between FROM and TO seconds are one
# throw's twelve tones and nothing else: the first long after the key (no
# name said before it), louder on SIDE, dying away to about a twelfth, the
# last flight between them about 0.8^10 of the first. Wine's ALSA driver
# fills the file faster than real time and not evenly, a dropout adds its
# silence, and on loaded cores a late frame hands a landing over late: the
# times are only roughly the motion's, and the Linux tests check them.
check_throw() {
  # An onset right after a dropout and far quieter than the tone before it is
  # that tone resuming; a bounce may also land just after a dropout.
  awk 'FILENAME == ARGV[1] { ends[++n] = $1; next }
    {
      for (i = 1; i <= n; ++i)
        if ($1 >= ends[i] - 0.005 && $1 < ends[i] + 0.03 && $2 < 0.5 * previous) next
      previous = $2
      print
    }' "$work/dropouts.txt" <(onsets "$1" "$2") >"$work/throw.txt"
  local count report
  count=$(grep -c . "$work/throw.txt" || true)
  [ "$count" = 12 ] || fail "$count onsets between ${1}s and ${2}s, not twelve tones:
$(cat "$work/measure.txt")"
  report=$(awk -v key="$1" -v side="$3" '
    NR == 1 { first = $2; delay = $1 - key }
    {
      t[NR] = $1
      if (side == "left" && $3 < 1.5 * $4) bad = bad "\ntone " NR " not on the left"
      if (side == "right" && $4 < 1.5 * $3) bad = bad "\ntone " NR " not on the right"
      if (NR > 1 && $2 > previous * 1.1) bad = bad "\ntone " NR " louder than the one before"
      previous = $2
    }
    END {
      shrink = (t[NR] - t[NR - 1]) / (t[2] - t[1])
      if (shrink < 0.03 || shrink > 0.35) bad = bad "\nthe last flight " shrink " of the first, not about 0.8^10"
      loudness = previous / first
      if (loudness < 0.04 || loudness > 0.25) bad = bad "\nthe last tone " loudness " as loud as the first"
      if (delay < 0.8) bad = bad "\nsomething sounded " delay " s after the key, before the first landing"
      printf "first %.2f s into the file after the key, the last %.3f as loud as the first, its flight %.3f of the first%s\n", delay, loudness, shrink, bad
    }' "$work/throw.txt")
  note "twelve tones on the $3: $report"
  [ "$(grep -c . <<<"$report")" = 1 ] || fail "the tones are wrong: $report
$(cat "$work/throw.txt")"
}

# start_toy_with FOLDER [NAME=VALUE...] -- [ARGUMENT...]: start_toy with
# arguments for the toy itself.
start_toy_with() {
  local folder=$1 assignments=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    assignments+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift
  : >"$work/stdout.log"
  : >"$work/stderr.log"
  started_at=$EPOCHREALTIME
  (cd "$folder" && ulimit -v "$toy_cap" &&
    exec env "${assignments[@]}" wine ./zindle.exe "$@" >"$work/stdout.log" 2>"$work/stderr.log") &
  toy_pid=$!
}
