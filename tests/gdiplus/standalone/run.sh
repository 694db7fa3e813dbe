#!/usr/bin/env bash
# Builds the GDI+ drawing and its tests on their own, cross-compiled for
# Windows into build-gdiplus/, and runs them under Wine in a private prefix
# (build-gdiplus/wineprefix) with a persistent wineserver; then writes the
# 41 textures as GDI+ paints them to build-gdiplus/texture_sheet_gdiplus.bmp.
# Until the project's own Windows build exists.
set -euo pipefail
top=$(cd "$(dirname "$0")/../../.." && pwd)
build=$top/build-gdiplus
cmake -S "$top/tests/gdiplus/standalone" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$top/tests/gdiplus/standalone/toolchain.cmake" >/dev/null
cmake --build "$build" -j2

export WINEPREFIX=$build/wineprefix
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winedbg.exe=d" WINEDEBUG=-all
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
# One server for every test, ended with this script. The first program in a
# session starts Wine's own background processes, which keep its standard
# output open as long as the server runs: started here with nowhere to write,
# not by a test whose output ctest waits to see closed.
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1
cd "$build"
ctest --output-on-failure
bash "$top/tests/gdiplus/wine_fonts.sh" map
wine tests/texture_sheet_gdiplus.exe texture_sheet_gdiplus.bmp
echo "written: $build/texture_sheet_gdiplus.bmp"
