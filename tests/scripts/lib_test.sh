#!/usr/bin/env bash
# scripts/lib.sh, which every script sources: the version read from a copy of
# CMakeLists.txt in each form it takes (and a clear failure without one), and
# the installer run against stand-ins for apt-get, sudo, dpkg-query and id:
# only what is missing is installed, the lists are fetched once, apt waits for
# the lock, sudo is used only when not root, and ZINDLE_SKIP_INSTALL=1 or
# nothing missing asks apt for nothing.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/support/shell/toy.sh
source "$here/../support/shell/toy.sh"
source_dir=${ZINDLE_SOURCE_DIR:-$(cd "$here/../.." && pwd)}
make_work /tmp/zindle-lib.XXXXXX
# The test command sets it for everything it runs, this test too.
unset ZINDLE_SKIP_INSTALL

# A tree of its own, so that the version comes from the planted CMakeLists.txt.
mkdir -p "$work/tree/scripts" "$work/bin"
cp "$source_dir/scripts/lib.sh" "$work/tree/scripts/"
version_of() {
  printf '%s\n' "cmake_minimum_required(VERSION 3.25)" "$1" >"$work/tree/CMakeLists.txt"
  bash -c 'source "$1/scripts/lib.sh" && project_version' - "$work/tree" 2>&1
}
[ "$(version_of 'project(Zindle VERSION 1.0 LANGUAGES CXX)')" = 1.0 ] || fail "not 1.0"
[ "$(version_of 'project(Zindle VERSION 1.2.3)')" = 1.2.3 ] || fail "not 1.2.3"
said=$(version_of 'project(Zindle LANGUAGES CXX)') && fail "a version without one: $said"
[[ $said == "no version in $work/tree/CMakeLists.txt" ]] || fail "no clear message without a version: $said"
note "the version read in each form, and missed clearly"

# Stand-ins: dpkg-query knows the packages listed in installed, which
# apt-get install adds to; apt-get and sudo write what they were asked to
# calls; id says who runs.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
grep -qx "$3" "$STUB_DIR/installed" && printf 'install ok installed'
exit 0
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $*" >>"$STUB_DIR/calls"
[ "$3" != install ] || printf '%s\n' "${@:6}" >>"$STUB_DIR/installed"
STUB
printf '#!/bin/sh\necho "sudo" >>"$STUB_DIR/calls"\nexec "$@"\n' >"$work/bin/sudo"
printf '#!/bin/sh\necho "$STUB_UID"\n' >"$work/bin/id"
chmod +x "$work/bin"/*
export STUB_DIR=$work PATH="$work/bin:$PATH"

# install AS_UID PACKAGE...: installs those, then the same again and
# gdb, in one run, as a script that installs twice might.
install() {
  local uid=$1
  shift
  : >"$work/calls"
  STUB_UID=$uid bash -c 'source "$1/scripts/lib.sh"; shift; install_packages "$@"; install_packages "$@" gdb' \
    - "$work/tree" "$@" >/dev/null
}
lock=-o\ DPkg::Lock::Timeout=600

printf '%s\n' cmake make >"$work/installed"
install 0 cmake xvfb make clang-tidy
expected="apt-get $lock update
apt-get $lock install -y --no-install-recommends xvfb clang-tidy
apt-get $lock install -y --no-install-recommends gdb"
[ "$(cat "$work/calls")" = "$expected" ] || fail "as root, apt was asked: $(cat "$work/calls")"
printf '%s\n' cmake make >"$work/installed"
install 1000 xvfb
[ "$(grep -c '^sudo$' "$work/calls")" = 3 ] || fail "not every apt call went through sudo: $(cat "$work/calls")"
note "only the missing installed, the lists fetched once, the lock waited for, sudo when not root"

install 0 cmake make gdb
[ ! -s "$work/calls" ] || fail "apt was asked with nothing missing: $(cat "$work/calls")"
printf '%s\n' cmake make >"$work/installed"
ZINDLE_SKIP_INSTALL=1 install 0 xvfb
[ ! -s "$work/calls" ] || fail "apt was asked under ZINDLE_SKIP_INSTALL=1: $(cat "$work/calls")"
note "nothing asked with nothing missing, or when told to skip"
echo PASS
