# A sound server of the test's own for the whole-program sound tests: a
# private session bus, PipeWire, WirePlumber and PipeWire's pulse server over a
# null sink, with recording of what reaches that sink. Nothing reaches the
# machine's own sound server or a sound card: the runtime, configuration and
# state folders are the test's own, WirePlumber watches no devices, and where
# the test runs in a private mount namespace (tests/support/shell/private_namespace.sh)
# /dev/snd is hidden under an empty folder.
#
# Sourced after a library that defines `work` (a scratch folder), `fail`,
# `wait_for` and `wait_child` (tests/linux_toy/toy_lib.sh). Every wait polls with a
# deadline.
# shellcheck shell=bash disable=SC2154

sound_sink=zindle_sink
sound_rate=48000
sound_pids=()
sound_bus_pid=""
record_pid=""

# sound_isolate: points every sound library at folders of the test's own and
# hides the sound cards. Called once, before anything makes sound.
sound_isolate() {
  export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config"
  export XDG_STATE_HOME="$work/home/.local/state" XDG_DATA_HOME="$work/home/.local/share"
  unset PULSE_SERVER PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS SDL_AUDIODRIVER
  unset SDL_DISKAUDIOFILE SDL_DISKAUDIODELAY
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/pulse" "$XDG_STATE_HOME" "$XDG_DATA_HOME"
  mkdir -m 0700 "$XDG_RUNTIME_DIR"
  # No pulse client starts a server of its own, and none looks elsewhere.
  printf 'autospawn = no\n' >"$XDG_CONFIG_HOME/pulse/client.conf"
  export PULSE_CLIENTCONFIG="$XDG_CONFIG_HOME/pulse/client.conf"
  # WirePlumber manages the null sink only: no card, camera or Bluetooth.
  mkdir -p "$XDG_CONFIG_HOME/wireplumber/main.lua.d" "$XDG_CONFIG_HOME/wireplumber/bluetooth.lua.d"
  printf '%s\n' 'alsa_monitor.enabled = false' 'v4l2_monitor.enabled = false' \
    'libcamera_monitor.enabled = false' >"$XDG_CONFIG_HOME/wireplumber/main.lua.d/51-zindle-tests.lua"
  printf '%s\n' 'bluez_monitor.enabled = false' >"$XDG_CONFIG_HOME/wireplumber/bluetooth.lua.d/51-zindle-tests.lua"
  # In a private mount namespace the cards can be hidden from ALSA too.
  if [ -n "${ZINDLE_SOUND_PRIVATE:-}" ] && [ -d /dev/snd ]; then
    mount -t tmpfs -o mode=0755 tmpfs /dev/snd || fail "cannot hide the sound cards"
  fi
}

# sound_private_namespace ARGS...: runs the test in private mount, network and
# process namespaces (what it starts ends with it), over an empty /tmp, so
# that sound_isolate can hide the sound cards.
sound_private_namespace() {
  source "$(dirname "${BASH_SOURCE[0]}")/private_namespace.sh"
  private_namespace --pid "$@"
  export ZINDLE_SOUND_PRIVATE=1
}

sound_server_ready() { pactl info >/dev/null 2>&1; }
sink_ready() {
  local sinks
  sinks=$(pactl list short sinks 2>/dev/null) && grep -q "[[:space:]]${sound_sink}[[:space:]]" <<<"$sinks"
}

# start_sound_server: the bus (once) and the three servers, a 48 kHz stereo
# null sink as the default; exports PULSE_SERVER.
start_sound_server() {
  if [ -z "$sound_bus_pid" ]; then
    local bus
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile) || fail "no session bus"
    DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
    sound_bus_pid=$(sed -n 2p <<<"$bus")
    export DBUS_SESSION_BUS_ADDRESS
  fi
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  # No X display: PipeWire's bell module would reach for it.
  env -u DISPLAY pipewire >"$work/pipewire.log" 2>&1 &
  sound_pids+=($!)
  wait_for 30 test -S "$XDG_RUNTIME_DIR/pipewire-0" || fail "PipeWire did not start: $(tail -n 5 "$work/pipewire.log")"
  env -u DISPLAY wireplumber >"$work/wireplumber.log" 2>&1 &
  sound_pids+=($!)
  env -u DISPLAY pipewire-pulse >"$work/pipewire-pulse.log" 2>&1 &
  sound_pids+=($!)
  wait_for 30 sound_server_ready || fail "the pulse server did not answer: $(tail -n 5 "$work/pipewire-pulse.log")"
  pactl load-module module-null-sink "sink_name=$sound_sink" "rate=$sound_rate" channels=2 \
    >"$work/sink-module" || fail "no null sink"
  wait_for 30 sink_ready || fail "the null sink did not appear"
  # Until the session manager has the server's settings, setting the default
  # fails ("Not supported", seen in two starts of five on a busy machine).
  make_default() { pactl set-default-sink "$sound_sink" 2>/dev/null; }
  wait_for 30 make_default || fail "the null sink cannot be the default: $(pactl set-default-sink "$sound_sink" 2>&1)"
  default_is_ours() { [ "$(pactl get-default-sink 2>/dev/null)" = "$sound_sink" ]; }
  wait_for 30 default_is_ours || fail "the null sink did not become the default"
}

# stop_sound_server [SIGNAL]: ends the three servers (TERM, or KILL for a
# crash) and waits until they are gone; the bus stays.
stop_sound_server() {
  local pid
  for pid in "${sound_pids[@]}"; do
    kill -"${1:-TERM}" "$pid" 2>/dev/null || true
  done
  for pid in "${sound_pids[@]}"; do
    wait_child 30 "$pid"
    [ "$child_exit" != timeout ] || fail "a sound server did not end"
  done
  sound_pids=()
  rm -f "$XDG_RUNTIME_DIR/pipewire-0" "$XDG_RUNTIME_DIR/pipewire-0.lock"
}

# sink_inputs: how many streams play into the pulse server now.
sink_inputs() {
  local list
  list=$(pactl list short sink-inputs 2>/dev/null) || return 1
  grep -c . <<<"$list" || true
}

# pipewire_output_streams: how many playback streams PipeWire knows of (its
# own clients and pulse clients alike).
pipewire_output_streams() {
  local dump
  dump=$(pw-dump 2>/dev/null) || return 1
  grep -c '"media.class": "Stream/Output/Audio"' <<<"$dump" || true
}

# start_recording FILE: records what reaches the null sink into a 16-bit
# stereo WAV file, until stop_recording. Waits until the recorder's stream
# runs, so that nothing played after this returns is lost.
start_recording() {
  record_file=$1
  pw-record --target "$sound_sink" --rate "$sound_rate" --channels 2 --format s16 "$record_file" \
    >"$work/pw-record.log" 2>&1 &
  record_pid=$!
  recording_runs() {
    local dump
    dump=$(pw-dump 2>/dev/null) || return 1
    grep -q '"media.class": "Stream/Input/Audio"' <<<"$dump" && [ -s "$record_file" ]
  }
  wait_for 30 recording_runs || fail "the recorder did not start: $(tail -n 5 "$work/pw-record.log")"
}

# stop_recording: ends the recorder, which then completes the file's header.
stop_recording() {
  [ -n "$record_pid" ] || return 0
  kill -INT "$record_pid" 2>/dev/null || true
  wait_child 30 "$record_pid"
  [ "$child_exit" != timeout ] || fail "the recorder did not end"
  record_pid=""
}

# record_frames: frames recorded so far (the WAV header aside).
record_frames() {
  local size
  size=$(stat -c %s "$record_file" 2>/dev/null) || size=0
  echo $(((size > 44 ? size - 44 : 0) / 4))
}

# toy_streams_open: a program (the toy) plays into the sound server, through its pulse
# server or PipeWire's own protocol.
toy_streams_open() { [ "$(sink_inputs)" -ge 1 ] || [ "$(pipewire_output_streams)" -ge 1 ]; }

# recorded_past FRAME SECONDS: the recording holds SECONDS beyond FRAME.
recorded_past() { [ "$(record_frames)" -gt "$(awk -v f="$1" -v s="$2" -v r="$sound_rate" 'BEGIN { printf "%d", f + s * r }')" ]; }

sound_cleanup() {
  [ -n "$record_pid" ] && kill -INT "$record_pid" 2>/dev/null
  local pid
  for pid in "${sound_pids[@]}"; do
    kill "$pid" 2>/dev/null
  done
  [ -n "$sound_bus_pid" ] && kill "$sound_bus_pid" 2>/dev/null
  return 0
}
