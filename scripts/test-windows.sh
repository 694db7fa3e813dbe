#!/usr/bin/env bash
# Builds the Windows program and its tests (scripts/windows.sh) and runs them
# under Wine through ctest: the unit suites, and the whole-program tests of
# tests/windows_toy/ on private X servers of their own. Wine keeps a prefix of
# its own under build-windows/ (made once, about 700 MB) and one wineserver
# for the whole run, so that each test program starts in a fraction of a
# second.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=$top/build-windows
# Everything below runs on one virtual display: Wine's desktop process starts
# with the first program of the prefix and keeps the display it found for the
# whole run, so Wine must never start without one. The whole-program tests
# start servers (and prefixes) of their own.
if [ "${1:-}" != --on-display ]; then
  # What the tests use beside the build: the X servers, xdotool, fonts.
  install_deps --tests
  bash "$top/scripts/windows.sh"
  on_display bash "$0" --on-display
  exit
fi

export WINEPREFIX=$build/wine WINEARCH=win64 WINEDEBUG=-all
# No offer to install Mono or Gecko, no shortcut copied into the Linux menu,
# and a crash ends the program instead of starting the debugger.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winedbg.exe=d;winemenubuilder.exe=d"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
unset WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
# Wine's servers outlive the command that starts them: they must not hold the
# caller's output open.
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
# Starting the prefix starts Wine's own services too; started by the first test
# instead, they would hold ctest's pipe open until its time-out.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: making the Wine prefix ${WINEPREFIX#"$top"/}"
  wineboot -i </dev/null >/dev/null 2>&1
else
  wineboot </dev/null >/dev/null 2>&1
fi
cd "$build"
ctest --output-on-failure -j 2
