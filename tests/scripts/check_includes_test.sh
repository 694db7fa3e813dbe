#!/usr/bin/env bash
# The include check fails on each kind of crossing planted in a small tree,
# names the file and line, and passes the same tree once it is clean.
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/support/shell/toy.sh
source "$top/tests/support/shell/toy.sh"
check=$top/scripts/check-includes.sh
make_work

# plant FILE LINE: a tree whose only crossing (if any) is LINE in FILE.
plant() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/app" "$work/tree/platform/x11" "$work/tree/platform/picture" "$work/tree/platform/draw" \
    "$work/tree/platform/gdiplus"
  printf '#include "platform/Platform.h"\n#include "platform/draw/Bitmap.h"\n#include <GL/gl.h>\n' \
    >"$work/tree/app/Frame.cpp"
  printf '#include "platform/sdl/SdlPlatform.h"\n' >"$work/tree/app/main.cpp"
  printf '#include <X11/Xlib.h>\n' >"$work/tree/platform/x11/Window.cpp"
  printf '#include <png.h>\n' >"$work/tree/platform/picture/Png.cpp"
  printf '#include <cstdint>\n' >"$work/tree/platform/draw/Bitmap.h"
  printf '#include <windows.h>\n#include <gdiplus.h>\n' >"$work/tree/platform/gdiplus/Graphics.cpp"
  [ -z "${1:-}" ] || printf '%s\n' "$2" >>"$work/tree/$1"
}

expect_crossing() {
  plant "$1" "$2"
  local out
  if out=$(bash "$check" "$work/tree" 2>&1); then
    fail "$2 in $1 passed the check"
  fi
  grep -qF "$1:" <<<"$out" || fail "the check did not name $1: $out"
}

plant
bash "$check" "$work/tree" >/dev/null || fail "a clean tree failed the check"

expect_crossing app/Frame.cpp '#include <SDL.h>'
expect_crossing app/Frame.cpp '#include "platform/sdl/SdlPlatform.h"'
expect_crossing platform/x11/Window.cpp '#include <SDL_syswm.h>'
expect_crossing platform/x11/Window.cpp '#include "platform/sdl/SdlX11Keeper.h"'
expect_crossing platform/picture/Png.cpp '#include <cairo.h>'
expect_crossing platform/gdiplus/Graphics.cpp '#include <GL/gl.h>'
expect_crossing platform/gdiplus/Graphics.cpp '#include "platform/win32/Win32Platform.h"'
expect_crossing app/Frame.cpp '#include <gdiplus.h>'
expect_crossing platform/draw/Bitmap.h '#  include <pango/pango-font.h>'
# Picture reading reaches Windows in the file that opens files there, nowhere else.
expect_crossing platform/picture/Png.cpp '#include <windows.h>'
expect_crossing platform/picture/PictureFileWin32.cpp '#include <gdiplus.h>'
plant platform/picture/PictureFileWin32.cpp '#include <windows.h>'
bash "$check" "$work/tree" >/dev/null || fail "windows.h in PictureFileWin32.cpp failed the check"
echo PASS
