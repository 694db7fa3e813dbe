#!/usr/bin/env bash
# Installs what is missing, builds, and starts the toy from the build folder,
# where its splash picture lies.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
install_deps
build=${ZINDLE_BUILD_DIR:-$top/build}
cmake_configure "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZINDLE_TESTS=OFF -DZINDLE_BENCH=OFF
cmake_build "$build" zindle
cd "$build"
exec ./zindle
