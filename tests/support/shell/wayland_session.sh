# shellcheck shell=bash
# Headless Wayland compositors for whole-program tests: mutter (with Xwayland,
# keys through its remote-desktop D-Bus interface) and weston (no input seat).
# Sourced, after the test defines `fail`, by a script that first calls
# wayland_private_namespace "$@" and then sets `work` to a scratch folder.
#
# Both compositors choose their Xwayland display number themselves and keep
# their sockets and lock files in /tmp, so each test runs in a mount namespace
# of its own with a private /tmp, and in a network namespace of its own, which
# gives it its own abstract X sockets too.

# shellcheck source=tests/support/shell/x11_server.sh
source "$(dirname "${BASH_SOURCE[0]}")/x11_server.sh"
# shellcheck source=tests/support/shell/private_namespace.sh
source "$(dirname "${BASH_SOURCE[0]}")/private_namespace.sh"

# wayland_private_namespace ARGS...: runs the calling script again, with the
# same arguments, in private namespaces over an empty /tmp (see
# private_namespace.sh), with nothing of the session outside in its
# environment. Exits 77 (skipped) where namespaces cannot be made.
wayland_private_namespace() {
  private_namespace "$@"
  # Xwayland insists on a world-writable, sticky socket folder.
  mkdir -m 1777 /tmp/.X11-unix
  unset DISPLAY WAYLAND_DISPLAY XAUTHORITY SDL_VIDEODRIVER DBUS_SESSION_BUS_ADDRESS
  export LIBGL_ALWAYS_SOFTWARE=1
  export XDG_RUNTIME_DIR=/tmp/runtime
  mkdir -m 0700 "$XDG_RUNTIME_DIR"
}

compositor_pid=""
bus_pid=""
media_pids=""
keys_pid=""

wayland_cleanup() {
  [ -n "$keys_pid" ] && kill "$keys_pid" 2>/dev/null || true
  [ -n "$compositor_pid" ] && kill "$compositor_pid" 2>/dev/null || true
  [ -n "$compositor_pid" ] && wait_child 10 "$compositor_pid"
  local pid
  for pid in $media_pids; do kill "$pid" 2>/dev/null || true; done
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
  compositor_pid=""
  bus_pid=""
  keys_pid=""
  media_pids=""
}

# The display that the compositors' clients are told to use.
wayland_name=zindle-wayland

# start_mutter WIDTH HEIGHT: mutter on a virtual monitor of that size, with its
# own session bus and Xwayland. Sets WAYLAND_DISPLAY and DBUS_SESSION_BUS_ADDRESS,
# and mutter_display / mutter_xauthority for the Xwayland server, which the
# test exports where it means to.
start_mutter() {
  command -v mutter >/dev/null || { echo "SKIP: mutter is not installed"; exit 77; }
  local address
  { read -r address && read -r bus_pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 2>"$work/bus.log") ||
    fail "no session bus: $(cat "$work/bus.log")"
  export DBUS_SESSION_BUS_ADDRESS=$address
  # PipeWire and its session manager carry mutter's screen cast, for screenshots.
  if command -v pipewire >/dev/null && command -v wireplumber >/dev/null; then
    pipewire >"$work/pipewire.log" 2>&1 &
    media_pids=$!
    wait_for 30 test -S "$XDG_RUNTIME_DIR/pipewire-0" || fail "PipeWire did not start: $(tail -n 5 "$work/pipewire.log")"
    # Without its Bluetooth part: that needs logind, which a machine without
    # systemd (a container, a chroot) lacks, and WirePlumber then quits.
    sed '/bluetooth\.lua/d' /usr/share/wireplumber/wireplumber.conf >"$work/wireplumber.conf"
    wireplumber -c "$work/wireplumber.conf" >"$work/wireplumber.log" 2>&1 &
    media_pids="$media_pids $!"
  fi
  mutter --headless --wayland --virtual-monitor "${1}x${2}" --wayland-display="$wayland_name" \
    >"$work/compositor.log" 2>&1 &
  compositor_pid=$!
  mutter_ready() { grep -q "Using public X11 display" "$work/compositor.log" && [ -S "$XDG_RUNTIME_DIR/$wayland_name" ]; }
  wait_for 60 mutter_ready || fail "mutter did not start: $(tail -n 5 "$work/compositor.log")"
  # shellcheck disable=SC2034 # for the tests, as mutter_xauthority
  mutter_display=$(first_line sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/compositor.log")
  # shellcheck disable=SC2034
  mutter_xauthority=$(first_line ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null)
  export WAYLAND_DISPLAY=$wayland_name
}

# start_weston: weston on its headless back end (1024x768), which has no input seat at
# all, with Xwayland. Sets WAYLAND_DISPLAY, and weston_display once Xwayland
# is up.
start_weston() {
  command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
  weston --backend=headless-backend.so --width=1024 --height=768 --use-pixman --xwayland --socket="$wayland_name" \
    --log="$work/compositor.log" >"$work/compositor.out" 2>&1 &
  compositor_pid=$!
  weston_ready() { [ -S "$XDG_RUNTIME_DIR/$wayland_name" ] && ls /tmp/.X11-unix/X* >/dev/null 2>&1; }
  wait_for 60 weston_ready || fail "weston did not start: $(tail -n 5 "$work/compositor.log" "$work/compositor.out")"
  local numbers
  numbers=$(ls /tmp/.X11-unix | sed -n 's/^X\([0-9]*\)$/\1/p')
  # shellcheck disable=SC2034 # for the tests
  weston_display=:${numbers%%$'\n'*}
  export WAYLAND_DISPLAY=$wayland_name
}

# start_keys: the remote-desktop typist for mutter (tests/support/programs/wayland_remote.py).
start_keys() {
  coproc KEYS { exec /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../programs/wayland_remote.py" 2>"$work/keys.log"; }
  keys_pid=$KEYS_PID
  typist_answer || true
  [ "$answer" = ready ] || fail "no remote-desktop session: $(cat "$work/keys.log")"
  # The seat gets its keyboard with the first key and its pointer with the
  # first move, as a desktop has both from the start.
  keys tap Shift_L
  keys move 1 1
}

# typist_answer: sets answer to the typist's next line, waiting up to 30 s.
# Under load one timed read came back with "o" of "ok" (the whole test took
# 27 s), which left the rest of the line to be taken for the next answer; the
# parts of a line cut short are put together until it is whole.
answer=""
typist_answer() {
  local part deadline=$((SECONDS + 30))
  answer=""
  until IFS= read -r -t 1 part <&"${KEYS[0]}"; do
    local status=$?
    answer+=$part
    [ "$status" -gt 128 ] && [ $SECONDS -lt $deadline ] || return 1
  done
  answer+=$part
}

# keys COMMAND NAME...: one command to the typist (see wayland_remote.py).
keys() {
  echo "$*" >&"${KEYS[1]}"
  typist_answer || true
  [ "$answer" = ok ] || fail "typing \"$*\": ${answer:-no answer} $(cat "$work/keys.log")"
}
