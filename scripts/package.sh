#!/usr/bin/env bash
# Builds the Debian package of the toy, zindle_<version>_amd64.deb, and puts it
# at the top of the repository (or in the folder given as the one argument).
# Installs the build tools and libraries that debian/control asks for, if any
# are missing. The build itself runs in a clean copy of the sources in
# build-deb/ (or ZINDLE_DEB_BUILD_DIR), where the source package, the .changes
# and .buildinfo files and the debug symbols stay too.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
out=$(mkdir -p "${1:-$top}" && cd "${1:-$top}" && pwd)
work=${ZINDLE_DEB_BUILD_DIR:-$top/build-deb}
case "$top/" in "$work"/*) echo "package: $work holds the sources; choose another build folder" >&2; exit 2 ;; esac

# One version everywhere: CMake's, the package's and the newest AppStream release.
cmake_version=$(project_version)
deb_version=$(sed -n '1s/^zindle (\([^)]*\)).*/\1/p' "$top/debian/changelog")
appstream_version=$(grep -m1 -o '<release version="[^"]*"' "$top"/res/*.metainfo.xml | cut -d'"' -f2)
if [ "$cmake_version" != "$deb_version" ] || [ "$cmake_version" != "$appstream_version" ]; then
  echo "package: versions disagree: CMakeLists.txt $cmake_version, debian/changelog $deb_version," \
    "AppStream release $appstream_version" >&2
  exit 1
fi

# A clean copy of the sources: nothing of earlier builds goes into the package.
source_dir=$work/zindle-$deb_version
rm -rf "$work"
mkdir -p "$source_dir"
tar -C "$top" --exclude-vcs --exclude='./build' --exclude='./build-*' --exclude='./*.deb' \
  --exclude='./out' -cf - . | tar -C "$source_dir" -xf -

# The build tools, then whatever debian/control's Build-Depends still lack.
if ! command -v dpkg-checkbuilddeps >/dev/null || ! package_installed build-essential ||
  ! (cd "$source_dir" && dpkg-checkbuilddeps 2>/dev/null); then
  echo "Installing the build tools and Build-Depends of debian/control"
  apt_update_once
  apt_get install -y --no-install-recommends build-essential dpkg-dev
  apt_get build-dep -y --no-install-recommends "$source_dir"
fi

(
  cd "$source_dir"
  jobs=$(nproc)
  export DEB_BUILD_OPTIONS="parallel=$jobs ${DEB_BUILD_OPTIONS:-}"
  dpkg-buildpackage --build=source,binary --no-sign
)

arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=zindle_${deb_version}_${arch}.deb
[ "$out" = "$work" ] || cp "$work/$deb" "$out/$deb"
echo "package: $out/$deb"
