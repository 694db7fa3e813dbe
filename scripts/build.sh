#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as ZINDLE_BUILD_DIR).
# CMake options may be given as arguments.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=${ZINDLE_BUILD_DIR:-$top/build}
cmake_configure "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake_build "$build"
