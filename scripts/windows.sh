#!/usr/bin/env bash
# Builds the Windows program on Debian: installs the mingw-w64 tool chain and
# Wine if missing, cross-builds the picture libraries once
# (scripts/windows-deps.sh), configures build-windows/ with
# cmake/mingw-w64-x86_64.cmake and builds everything there is: zindle.exe, the
# installer and the unit suites. Then checks that every program built imports
# nothing but Windows' own DLLs, so that zindle.exe runs on its own.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=$top/build-windows

install_deps --windows
bash "$top/scripts/windows-deps.sh" "$build/deps"
cmake_configure "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake"
ZINDLE_JOBS=${ZINDLE_JOBS:-2} cmake_build "$build"

# What Windows itself provides; anything else (libstdc++-6.dll, zlib1.dll,
# libwinpthread-1.dll, ...) would have to be shipped beside the program.
declare -A system_dll
for dll in advapi32 comctl32 comdlg32 dwmapi gdi32 gdiplus glu32 imm32 kernel32 msvcrt ole32 oleaut32 opengl32 \
  shcore shell32 shlwapi user32 uxtheme version winmm ws2_32; do
  system_dll[$dll.dll]=1
done
failed=0
shopt -s nullglob
for program in "$build"/*.exe "$build"/tests/*.exe; do
  dump=$(x86_64-w64-mingw32-objdump -p "$program")
  while read -r dll; do
    if [ -z "${system_dll[${dll,,}]:-}" ]; then
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
