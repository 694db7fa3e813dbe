#!/usr/bin/env bash
# Builds the Windows program on Debian: installs the mingw-w64 tool chain and
# Wine if missing, cross-builds the picture libraries once
# (scripts/windows-deps.sh), configures build-windows/ with
# cmake/mingw-w64-x86_64.cmake and builds everything there is: zindle.exe, the
# installer and the unit suites. Then checks that every program built imports
# nothing but Windows' own DLLs, so that zindle.exe runs on its own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-windows

bash "$top/scripts/install-deps.sh" --windows
bash "$top/scripts/windows-deps.sh" "$build/deps"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j 2

# What Windows itself provides; anything else (libstdc++-6.dll, zlib1.dll,
# libwinpthread-1.dll, ...) would have to be shipped beside the program.
system_dlls=' advapi32.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll gdiplus.dll glu32.dll imm32.dll
  kernel32.dll msvcrt.dll ole32.dll oleaut32.dll opengl32.dll shcore.dll shell32.dll shlwapi.dll user32.dll
  uxtheme.dll version.dll winmm.dll ws2_32.dll '
failed=0
shopt -s nullglob
for program in "$build"/*.exe "$build"/tests/*.exe; do
  dump=$(x86_64-w64-mingw32-objdump -p "$program")
  while read -r dll; do
    if [[ $system_dlls != *" ${dll,,} "* ]]; then
      echo "windows: ${program#"$top"/} imports $dll, which Windows does not have" >&2
      failed=1
    fi
  done < <(awk '/DLL Name:/ { print $3 }' <<<"$dump")
done
[ $failed -eq 0 ] || exit 1
if [ -f "$build/zindle.exe" ]; then
  echo "windows: built ${build#"$top"/}/zindle.exe, importing Windows' own DLLs only"
  bash "$top/scripts/windows-installer.sh" "$build"
else
  echo "windows: built the libraries and unit suites (no Win32 entry yet, so no zindle.exe)"
fi
