#!/usr/bin/env bash
# Installs what is missing, builds, and starts the toy from the build folder,
# where its splash picture lies.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh"
ZINDLE_TESTS_FLAG=-DZINDLE_TESTS=OFF
bash "$top/scripts/build.sh" $ZINDLE_TESTS_FLAG -DZINDLE_BENCH=OFF
cd "$top/build"
exec ./zindle
