# shellcheck shell=bash
# What the project's scripts share: the repository's top, installing Debian
# packages, configuring and building a CMake build folder, the virtual display
# the tests run on, and the project's version. Sourced by scripts/*.sh, never
# run.
#
# ZINDLE_SKIP_INSTALL=1 makes every install here a no-op: scripts/test.sh
# installs everything once and sets it for the scripts it calls.

[ -z "${zindle_lib_sh:-}" ] || return 0
zindle_lib_sh=1

set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# as_root COMMAND...: runs the command as root, through sudo unless this is
# root already.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  else
    sudo "$@"
  fi
}

# apt_get ARGS...: apt-get as root, never asking, waiting up to ten minutes
# for another apt or dpkg to let go of the lock instead of failing at once.
apt_get() { as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"; }

# apt_update_once: the package lists, fetched at most once per script run.
apt_updated=""
apt_update_once() {
  [ -z "$apt_updated" ] || return 0
  apt_get update
  apt_updated=yes
}

# package_installed PACKAGE: dpkg has it installed.
package_installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == *"install ok installed"* ]]
}

# install_packages PACKAGE...: installs those of the packages that are
# missing, without their recommendations.
install_packages() {
  [ "${ZINDLE_SKIP_INSTALL:-}" != 1 ] || return 0
  local package missing=()
  for package in "$@"; do
    package_installed "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  apt_update_once
  apt_get install -y --no-install-recommends "${missing[@]}"
}

# install_deps [--tests | --windows]: what the toy (and its tests, or the
# Windows build) needs, through scripts/install-deps.sh, which lists it.
install_deps() {
  [ "${ZINDLE_SKIP_INSTALL:-}" != 1 ] || return 0
  bash "$top/scripts/install-deps.sh" "$@"
}

# cmake_configure [-S SOURCE] FOLDER [CMAKE OPTION...]: configures FOLDER
# from SOURCE (the repository's top by default) with those options, quietly;
# ccache speeds up the compiles where it is installed.
cmake_configure() {
  local source=$top
  if [ "$1" = -S ]; then
    source=$2
    shift 2
  fi
  local folder=$1
  shift
  local launcher=()
  if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$source" -B "$folder" "${launcher[@]}" "$@" >/dev/null
}

# cmake_build FOLDER [TARGET...]: builds those targets of a configured folder
# (all of them if none is named), one compiler a core or ZINDLE_JOBS.
cmake_build() {
  local folder=$1
  shift
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build "$folder" -j "${ZINDLE_JOBS:-$(nproc)}" "${targets[@]}"
}

# on_display COMMAND...: runs the command on a virtual X display of its own,
# the screen every test expects (1024x768 in 24-bit colour). -noreset: a
# server that resets when its last client leaves refuses the next one for a
# moment. Mesa draws in software there.
on_display() {
  LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
}

# project_version: the project's version as CMakeLists.txt gives it (1.0,
# 1.2.3): the one place it is read from.
project_version() {
  local version
  version=$(sed -n 's/^project(Zindle VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$top/CMakeLists.txt")
  [ -n "$version" ] || { echo "no version in $top/CMakeLists.txt" >&2; return 1; }
  echo "$version"
}

# shell_files CHECK PATTERN FOLDER...: every shell file under the folders,
# into the array `files`, sorted: those whose name matches the extended glob
# PATTERN, and those whose #! line names a shell. CHECK names the check in the
# message for a folder that does not exist (exit 2).
shell_files() {
  local check=$1 pattern=$2 folder file first
  shift 2
  files=()
  for folder in "$@"; do
    [ -d "$folder" ] || { echo "$check: $folder is not a folder" >&2; exit 2; }
    while IFS= read -r -d '' file; do
      # shellcheck disable=SC2053 # the pattern is a glob on purpose
      if [[ $file == $pattern ]]; then
        files+=("$file")
        continue
      fi
      first=""
      IFS= read -r first <"$file" || true
      if [[ $first =~ ^#!.*[/[:space:]](ba|da|k)?sh([[:space:]]|$) ]]; then files+=("$file"); fi
    done < <(find "$folder" -type f -print0 | sort -z)
  done
}
