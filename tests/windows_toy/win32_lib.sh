# shellcheck shell=bash
# The Wine layer of the Win32 platform's whole-program tests: a private Xvfb,
# a Wine prefix of their own under the build folder (made once, then reused),
# a persistent wineserver for the test's length, and the probe program started
# on them. On top of tests/support/shell/toy.sh (fail, polling, the program under
# test). Sourced by tests/windows_toy/win32_*_test.sh, which are given the Windows
# build's zindle.exe (or any file in the build folder's top).

# shellcheck source=tests/support/shell/toy.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/toy.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${ZINDLE_WINDOWS_BINARY_DIR:-$(cd "$(dirname "${1:?usage: $0 BUILD/zindle.exe}")" && pwd)}
probe=$build/tests/win32_probe.exe
# shellcheck disable=SC2034 # for the keyboard hook's test
witness=$build/tests/hook_witness.exe
inspect=$build/tests/win32_window_info.exe

program_name="the probe"
# The tests call the program under test the probe, or the toy.
# shellcheck disable=SC2034 # names for the tests
declare -n probe_pid=program_pid toy_pid=program_pid

make_work
# shellcheck source=tests/support/shell/x11_server.sh
source "$here/../support/shell/x11_server.sh"
at_exit stop_server
stop_wineserver() { [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true; }
at_exit stop_wineserver

for tool in wine wineserver Xvfb xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done
[ -f "$probe" ] || fail "no probe at $probe"

export WINEPREFIX=$build/wineprefix-tests
# The toy plays sound: no program of these tests reaches a sound server or a
# sound card, as both of Wine's sound drivers are off (the sound tests turn
# ALSA on, into a file of their own).
wine_overrides="mscoree=d;mshtml=d;winedbg.exe=d"
export WINEDLLOVERRIDES="$wine_overrides;winepulse.drv=d;winealsa.drv=d"
unset PULSE_SERVER
export WINEDEBUG=-all
export WINEARCH=win64

# start_wine WIDTH HEIGHT: a private Xvfb of that size and a wineserver that
# stays up until the test ends.
start_wine() {
  start_xvfb "$1" "$2"
  start_wineserver
}

start_wineserver() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 300 wineboot -i >"$work/wineboot.log" 2>&1 || fail "the Wine prefix could not be made"
    wineserver -k 2>/dev/null || true
  fi
  wineserver -p
}

# start_xorg_wine: the private Xorg on the dummy driver that can change its
# mode (start_xorg), and a wineserver on it.
start_xorg_wine() {
  start_xorg
  start_wineserver
}

# The screen's size, "WIDTHxHEIGHT", and whether it is that.
screen_size() {
  local info
  info=$(xdpyinfo)
  awk '/dimensions:/ { print $2; exit }' <<<"$info"
}
screen_is() { [ "$(screen_size)" = "$1" ]; }

# start_probe [NAME=VALUE...]: the probe under Wine with a memory cap and
# those variables, its stdout in out.log.
start_probe() {
  program_name="the probe" program_out=out.log program_err=err.log
  launch_program -v 4000000 env "$@" wine "$probe"
}

# Lines as the program wrote them, without the CR that Windows' text mode adds.
lines() { tr -d '\r' <"$work/$1"; }
logged() { grep -qx -- "$1" <<<"$(lines out.log)"; }
expect_logged() { wait_for "$1" logged "$2" || fail "never logged: $2"; }

# inspect CAPTION: the client area, styles and child texts of a window.
inspect_window() { wine "$inspect" "$1" 2>/dev/null | tr -d '\r'; }
