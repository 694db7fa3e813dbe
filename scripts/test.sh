#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under a virtual X
# display with Mesa's software renderer; then the same suite built with the
# sanitizers, which also leak-checks whole games of the real toy; then a
# minute of fuzzing the picture decoders, and the Windows build's tests under
# Wine. First come the checks of the sources: their formatting, the boundaries
# between the parts, and that no script pipes into a reader that can leave
# early (which fails the pipeline at random under pipefail).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/install-deps.sh" --tests
bash "$top/scripts/check-format.sh"
bash "$top/scripts/check-includes.sh"
bash "$top/scripts/check-pipes.sh"
bash "$top/scripts/build.sh" -DZINDLE_TESTS=ON
(
  cd "${ZINDLE_BUILD_DIR:-$top/build}"
  export LIBGL_ALWAYS_SOFTWARE=1
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure -j 2
)
bash "$top/scripts/test-sanitized.sh"
bash "$top/scripts/fuzz.sh" --check
bash "$top/scripts/test-windows.sh"
