#!/usr/bin/env bash
# Cross-builds the picture libraries the Windows build links, which Debian
# packages for Linux only: libjpeg-turbo and libpng (with the mingw zlib of
# libz-mingw-w64-dev), and giflib for the tests' picture writer. Each comes
# from Debian's own source package, patches applied, built static with the
# mingw-w64 tool chain into DEPS (include/ and lib/). A library once built is
# kept (DEPS/.built-NAME names its source): the second run does nothing.
#
# Usage: windows-deps.sh [DEPS]   (DEPS defaults to build-windows/deps)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-$top/build-windows/deps}
work=$deps/.work
toolchain=$top/cmake/mingw-w64-x86_64.cmake
mkdir -p "$deps" "$work"

# Debian's source packages through a private apt set-up: the machine's own
# sources, lists and cache are neither read for this nor changed.
apt_dir=$work/apt
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o APT::Sandbox::User=root
          -o Debug::NoLocking=1)
apt_ready=0
fetch_source() { # PACKAGE: downloads and unpacks it under $work/src, prints the unpacked folder
  local package=$1
  if [ $apt_ready -eq 0 ]; then
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
      > "$apt_dir/sources.list"
    apt-get "${apt_opts[@]}" -qq update >&2
    apt_ready=1
  fi
  rm -rf "$work/src/$package" && mkdir -p "$work/src/$package"
  (cd "$work/src/$package" && apt-get "${apt_opts[@]}" -qq source --download-only "$package" >&2 &&
     dpkg-source --no-check -x ./*.dsc >/dev/null)  # apt checked the files against the signed index
  find "$work/src/$package" -mindepth 1 -maxdepth 1 -type d
}

cross_cmake() { # SOURCE BUILD TARGET ARGS...: configures and builds TARGET of a CMake project
  local source=$1 build=$2 target=$3
  shift 3
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps" "$@" >/dev/null
  cmake --build "$build" -j 2 --target "$target" >/dev/null
}

# need NAME LIBRARY: true when NAME was built and installed; Debian is asked
# for nothing then.
need() { [ -f "$deps/lib/$2" ] && [ -f "$deps/.built-$1" ]; }

if ! need libjpeg-turbo libjpeg.a; then
  echo "windows-deps: building libjpeg-turbo"
  source=$(fetch_source libjpeg-turbo)
  # The plain C decoder: the SIMD parts would need nasm, and the splash is
  # decoded reduced anyway.
  cross_cmake "$source" "$work/build-jpeg" jpeg-static -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF
  mkdir -p "$deps/include" "$deps/lib"
  cp "$work/build-jpeg/libjpeg.a" "$deps/lib/"
  cp "$source"/{jpeglib.h,jerror.h,jmorecfg.h} "$work/build-jpeg/jconfig.h" "$deps/include/"
  basename "$source" > "$deps/.built-libjpeg-turbo"
fi

if ! need libpng1.6 libpng.a; then
  echo "windows-deps: building libpng"
  source=$(fetch_source libpng1.6)
  cross_cmake "$source" "$work/build-png" png_static -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
  mkdir -p "$deps/include" "$deps/lib"
  cp "$work/build-png/libpng16.a" "$deps/lib/libpng.a"
  cp "$source"/{png.h,pngconf.h} "$work/build-png/pnglibconf.h" "$deps/include/"
  basename "$source" > "$deps/.built-libpng1.6"
fi

if ! need giflib libgif.a; then
  echo "windows-deps: building giflib"
  source=$(fetch_source giflib)
  rm -rf "$work/build-gif" && mkdir -p "$work/build-gif"
  mkdir -p "$deps/include" "$deps/lib"
  for file in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
    x86_64-w64-mingw32-gcc-posix -O2 -c "$source/$file.c" -o "$work/build-gif/$file.o"
  done
  rm -f "$deps/lib/libgif.a"
  x86_64-w64-mingw32-ar rcs "$deps/lib/libgif.a" "$work/build-gif"/*.o
  cp "$source/gif_lib.h" "$deps/include/"
  basename "$source" > "$deps/.built-giflib"
fi

# Only what the build links is kept.
rm -rf "$work"
echo "windows-deps: $(cat "$deps"/.built-* | tr '\n' ' ')in $deps"
