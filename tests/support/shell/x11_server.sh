# shellcheck shell=bash
# A private X server for whole-program tests, on Linux and under Wine alike.
# Sourced by the per-system test layers after tests/support/shell/toy.sh (the
# scratch folder `work`, `fail`, polling), which it sources itself if need be.

# shellcheck source=tests/support/shell/toy.sh
source "$(dirname "${BASH_SOURCE[0]}")/toy.sh"
server_pid=""

# start_xvfb WIDTH HEIGHT [XVFB OPTION...]: a private Xvfb on a free display;
# sets DISPLAY.
start_xvfb() {
  local fifo="$work/displayfd"
  rm -f "$fifo"
  mkfifo "$fifo"
  # -noreset: a server that resets when its last client leaves refuses the
  # next one for a moment.
  Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -nolisten tcp -noreset "${@:3}" 3>"$fifo" 2>"$work/server.log" &
  server_pid=$!
  local number
  read -r -t 60 number <"$fifo" || fail "Xvfb did not start: $(cat "$work/server.log")"
  export DISPLAY=":$number"
  export LIBGL_ALWAYS_SOFTWARE=1
  unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

# start_xorg: a private Xorg on the dummy video driver whose screen starts at
# 1280x1024 and can switch to 1024x768, for the real display-mode change; sets
# DISPLAY. Exits with 77 (skipped) where no such server can be started.
start_xorg() {
  command -v Xorg >/dev/null || { echo "SKIP: Xorg is not installed"; exit 77; }
  mkdir -p "$work/xorg.conf.d"
  cat >"$work/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1280x1024" 108.00 1280 1328 1440 1688 1024 1025 1028 1066 +hsync +vsync
  Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1280x1024" "1024x768"
    Virtual 1280 1024
  EndSubSection
EndSection
CONF
  local fifo="$work/displayfd"
  mkfifo "$fifo"
  Xorg -noreset -nolisten tcp -config "$work/xorg.conf" -configdir "$work/xorg.conf.d" \
    -logfile "$work/xorg.log" -displayfd 3 3>"$fifo" >"$work/server.log" 2>&1 &
  server_pid=$!
  local number=""
  if ! read -r -t 60 number <"$fifo" || [ -z "$number" ]; then
    echo "SKIP: Xorg with the dummy driver did not start:"
    tail -n 5 "$work/server.log"
    exit 77
  fi
  export DISPLAY=":$number"
  export LIBGL_ALWAYS_SOFTWARE=1
  unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

# stop_server: ends the private X server and waits for it, so that the next
# one can start.
stop_server() {
  [ -n "$server_pid" ] || return 0
  kill "$server_pid" 2>/dev/null || true
  wait_child 30 "$server_pid"
  server_pid=""
}

# sanitized_build: the build under test (ZINDLE_BINARY_DIR) has the
# sanitizers in, as its configuration wrote to build-options.
sanitized_build() {
  local options=${ZINDLE_BINARY_DIR:?set by CTest to the build folder}/build-options line
  [ -f "$options" ] || fail "no $options: configure the build again"
  while read -r line; do
    [ "$line" != sanitize=yes ] || return 0
  done <"$options"
  return 1
}

# memory_cap KB: the address-space cap (ulimit -v) to run the build's programs
# under, so that a regression fails instead of eating the machine: KB, or
# unlimited for a sanitized build, whose shadow memory alone reserves terabytes.
memory_cap() {
  if sanitized_build; then echo unlimited; else echo "$1"; fi
}
