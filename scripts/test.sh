#!/usr/bin/env bash
# The project's test command, what CI runs (.ci/run). Installs what is
# missing, once; checks the sources: their formatting, the boundaries between
# the parts, that no script pipes into a reader that can leave early (which
# fails the pipeline at random under pipefail), and all shell code with
# the shellcheck tool. Then builds (warnings are errors) and runs every test
# under a virtual X display with Mesa's software renderer; clang-tidy over the
# code; the same suite built with the sanitizers, which also leak-checks whole
# games of the real toy; a minute of fuzzing the picture decoders; and the
# Windows build's tests under Wine.
#
#   test.sh           all of the above
#   test.sh --quick   the checks of the sources, the plain build and its unit
#                     and frame tests: a developer's loop of a few minutes once
#                     built (no whole-program tests, no clang-tidy, sanitizers,
#                     fuzzing or Windows)
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"

quick=""
case "${1:-}" in
  "") ;;
  --quick) quick=yes ;;
  *) echo "usage: test.sh [--quick]" >&2; exit 2 ;;
esac

install_deps --tests
# The scripts called below install nothing more.
export ZINDLE_SKIP_INSTALL=1

bash "$top/scripts/check-format.sh"
bash "$top/scripts/check-includes.sh"
bash "$top/scripts/check-pipes.sh"
bash "$top/scripts/check-shell.sh"

build=${ZINDLE_BUILD_DIR:-$top/build}
cmake_configure "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZINDLE_TESTS=ON -DZINDLE_WERROR=ON
cmake_build "$build"
if [ -n "$quick" ]; then
  # Everything but the whole-program tests (linux_toy.*) and the Windows helpers'.
  (cd "$build" && on_display ctest --output-on-failure -j 2 -E '^linux_toy\.')
  echo "test: the quick checks passed (bash scripts/test.sh runs everything)"
  exit 0
fi
(cd "$build" && on_display ctest --output-on-failure -j 2)
bash "$top/scripts/lint.sh"
bash "$top/scripts/test-sanitized.sh"
bash "$top/scripts/fuzz.sh" --check
bash "$top/scripts/test-windows.sh"
