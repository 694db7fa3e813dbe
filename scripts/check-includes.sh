#!/usr/bin/env bash
# Checks the boundaries between the parts of the code by what each file
# includes, and lists every crossing. The program above platform/ sees only
# the interfaces (platform/*.h, platform/draw/*.h); each part of platform/
# includes only the libraries it knows. Exits 1 on any crossing.
#
# Usage: check-includes.sh [TOP]   (TOP defaults to the repository's top)
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top"

found=0

# forbid FOLDER PATTERN WHY [ALLOWED-FILE-PATTERN]: no file under FOLDER (its
# own files only, not its subfolders' when FOLDER ends in /.) includes a header
# matching PATTERN (an extended regex on the name inside <> or "").
forbid() {
  local folder=$1 pattern=$2 why=$3 allowed=${4:-}
  local depth=()
  if [[ $folder == */. ]]; then
    folder=${folder%/.}
    depth=(-maxdepth 1)
  fi
  [ -d "$folder" ] || return 0
  local file number text
  while IFS= read -r -d '' file; do
    [ -n "$allowed" ] && [[ $file =~ $allowed ]] && continue
    while IFS=: read -r number text; do
      [ -n "$number" ] || continue
      echo "$file:$number: $text  ($why)" >&2
      found=1
    done < <(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)[>\"]" "$file" || true)
  done < <(find "$folder" "${depth[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
}

linux_libraries='SDL[^/]*\.h|cairo[^/]*\.h|pango/.*|fontconfig/.*|glib\.h|X11/.*|wayland-.*|jpeglib\.h|png\.h|gif_lib\.h|espeak-ng/.*'
libraries="$linux_libraries|windows\.h|gdiplus\.h"
backends='platform/(picture|cairo|sdl|x11|wayland|posix|win32|gdiplus|espeak)/.*'

# The program: interfaces only. The entry function alone names the backend.
for folder in app game scene gl motion sound util; do
  # The trace goes to the debugger's output on Windows; the entry function on
  # Windows is wWinMain.
  allowed=
  [ "$folder" = util ] && allowed='^util/DebugTrace\.cpp$'
  [ "$folder" = app ] && allowed='^app/main_win32\.cpp$'
  forbid "$folder" "$linux_libraries|gdiplus\.h" "the program sees the platform through its interfaces only"
  forbid "$folder" 'windows\.h' "the program sees the platform through its interfaces only" "$allowed"
  forbid "$folder" "$backends" "the program sees the platform through its interfaces only" '^app/main[A-Za-z0-9_]*\.cpp$'
done

# The interfaces know no library and no backend.
forbid platform/. "$libraries|$backends" "the platform's interfaces name no library"
forbid platform/draw "$libraries|$backends" "the drawing interfaces name no library"

# Each part knows its own libraries only.
forbid platform/picture 'SDL[^/]*\.h|cairo[^/]*\.h|pango/.*|X11/.*|wayland-.*|platform/(cairo|sdl|x11|wayland|gdiplus|win32)/.*' \
  "picture reading knows no drawing library and no window system"
forbid platform/picture 'windows\.h' "picture reading reaches Windows only to open and read the file" \
  '^platform/picture/PictureFileWin32\.cpp$'
forbid platform/picture 'gdiplus\.h|GL/.*' "picture reading knows no drawing library and no window system"
forbid platform/cairo 'SDL[^/]*\.h|X11/.*|wayland-.*|platform/(sdl|x11|wayland|posix|win32|gdiplus)/.*' \
  "the Cairo drawing knows no window system"
forbid platform/gdiplus 'SDL[^/]*\.h|cairo[^/]*\.h|pango/.*|fontconfig/.*|glib\.h|X11/.*|wayland-.*|GL/.*|platform/(cairo|sdl|x11|wayland|posix|win32)/.*' \
  "the GDI+ drawing knows GDI+ and windows.h only; the window and GL are the Win32 backend's"
forbid platform/x11 'SDL[^/]*\.h|wayland-.*|platform/(sdl|wayland|cairo|win32|gdiplus)/.*' \
  "the X11 part is handed its display and window; it never calls SDL"
forbid platform/posix 'SDL[^/]*\.h|X11/.*|wayland-.*|cairo[^/]*\.h|pango/.*|platform/(sdl|x11|wayland|cairo|win32|gdiplus)/.*' \
  "the process part knows POSIX only; what a crash must undo is registered with it"
forbid platform/wayland 'SDL[^/]*\.h|X11/.*|cairo[^/]*\.h|platform/(sdl|x11|cairo|posix|win32|gdiplus)/.*' \
  "the Wayland probe knows libwayland-client only"
forbid platform/win32 'SDL[^/]*\.h|cairo[^/]*\.h|pango/.*|fontconfig/.*|X11/.*|wayland-.*|platform/(sdl|x11|wayland|cairo|posix)/.*' \
  "the Win32 backend knows Windows, WGL and GL only"
forbid platform/win32 'gdiplus\.h|platform/gdiplus/.*' \
  "the Win32 backend draws through the drawing interfaces and starts GDI+ through the drawing part" \
  '^platform/win32/(Win32Platform\.cpp|standin/.*)$'
forbid platform/espeak 'SDL[^/]*\.h|cairo[^/]*\.h|pango/.*|fontconfig/.*|glib\.h|X11/.*|wayland-.*|jpeglib\.h|png\.h|windows\.h|gdiplus\.h|GL/.*|platform/(picture|cairo|sdl|x11|wayland|posix|win32|gdiplus)/.*' \
  "the speech part knows espeak-ng's header only"
forbid platform/sdl 'espeak-ng/.*|platform/espeak/EspeakLibrary\.h' \
  "the SDL backend speaks through the speech part, which alone knows espeak-ng"
forbid platform/sdl 'cairo[^/]*\.h|pango/.*|fontconfig/.*|windows\.h|gdiplus\.h' \
  "the SDL backend draws through the drawing interfaces"

if [ $found -ne 0 ]; then
  echo "check-includes: boundaries crossed (see above)" >&2
  exit 1
fi
echo "check-includes: every part includes only what it knows"
