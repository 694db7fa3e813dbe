#!/usr/bin/env bash
# A first start on a new account, a kiosk or a read-only home: with no
# session bus, an unusable home folder and no cache folder the toy plays and
# ends on ESC with 0, and it leaves no process of its own making behind (no
# session bus started on demand), whatever the session offers. How fast such a
# start is, is the launch benchmark's to say.
source "$(dirname "$0")/toy_lib.sh"
toy_cap=$(memory_cap 4000000)

start_x 1024 768
mkdir "$work/folder" "$work/home"
cp "$ZINDLE_SOURCE_DIR/res/wumbly.jpg" "$work/folder/"
unset XDG_CACHE_HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS MESA_SHADER_CACHE_DIR

# Every process still running that was started with this test's marker.
marker="ZINDLE_TEST_MARKER=$work"
leftovers() {
  local environ
  for environ in /proc/[0-9]*/environ; do
    if grep -qsxF "$marker" <(tr '\0' '\n' 2>/dev/null <"$environ"); then
      tr '\0' ' ' <"${environ%/environ}/cmdline" 2>/dev/null
      echo
    fi
  done
}

# play_once WHAT NAME=VALUE...: one start with those variables, played and ended.
play_once() {
  local what=$1 home=$HOME
  shift
  # shellcheck disable=SC2163 # each is a NAME=VALUE to export
  export "$marker" "$@"
  start_playing "$work/folder"
  xdotool key Escape
  wait_exit 60
  unset ZINDLE_TEST_MARKER DBUS_SESSION_BUS_ADDRESS
  export HOME=$home
  [ "$exit_code" = 0 ] || fail "$what: ESC ended with $exit_code: $(cat "$work/stderr.log")"
  local left
  left=$(leftovers)
  [ -z "$left" ] || fail "$what: processes left behind: $left"
  note "$what: plays, nothing left behind"
}

play_once "a new account without a session bus" HOME="$work/home"
play_once "no home folder" HOME=/nonexistent
play_once "a home that is no folder, with a bus to start on demand" HOME=/dev/null DBUS_SESSION_BUS_ADDRESS=autolaunch:

# A session that has a bus of its own: the toy may use it, and starts no other.
dbus-daemon --session --nofork --print-address=1 >"$work/bus.address" &
bus_pid=$!
at_exit kill "$bus_pid"
wait_for 30 test -s "$work/bus.address" || fail "no session bus for the test"
play_once "a session with a bus" HOME="$work/home" DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus.address")"
kill "$bus_pid"
wait_child 30 "$bus_pid"
echo PASS
