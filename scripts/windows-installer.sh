#!/usr/bin/env bash
# Packs a built zindle.exe for Windows: an installer, and a zip to run the toy
# from any folder without installing it. Both hold the program, its splash
# picture and the licence.
#
# Usage: windows-installer.sh BUILD_DIR
# Reads BUILD_DIR/zindle.exe; writes BUILD_DIR/zindle-<version>-setup.exe and
# BUILD_DIR/zindle-<version>-portable.zip. Needs makensis (nsis) and zip.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=$(cd "${1:?usage: windows-installer.sh BUILD_DIR}" && pwd)
fail() { echo "windows-installer: $*" >&2; exit 1; }

[ -f "$build/zindle.exe" ] || fail "$build/zindle.exe does not exist: build it first"
for tool in makensis zip; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

# The version the program itself carries: the project's.
version=$(project_version) || fail "no version"
IFS=. read -r major minor patch _ <<<"$version"
version_four=$major.${minor:-0}.${patch:-0}.0

stage=$(mktemp -d "$build/installer-stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$build/zindle.exe" "$top/res/wumbly.jpg" "$top/LICENSE" "$stage/"

setup=zindle-$version-setup.exe
portable=zindle-$version-portable.zip
makensis -V2 -NOCD -DVERSION="$version" -DVERSION_FOUR="$version_four" -DSTAGE="$stage" \
  -DICON="$top/res/zindle.ico" -DOUTFILE="$stage/$setup" "$top/installer/zindle.nsi"
(cd "$stage" && zip -q -X "$portable" zindle.exe wumbly.jpg LICENSE)
mv "$stage/$setup" "$stage/$portable" "$build/"
echo "windows-installer: wrote $build/$setup and $build/$portable"
