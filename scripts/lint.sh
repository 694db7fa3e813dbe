#!/usr/bin/env bash
# Runs clang-tidy, with the checks .clang-tidy names, over every C++ source
# file of the project (the program, its tests and benchmarks) and the
# project's headers they include. Exits non-zero on any finding. Installs
# clang-tidy (with what the tests need) if missing; the compile commands come
# from a CMake configuration in build-lint/ (or ZINDLE_LINT_DIR), which is
# never built. Files to check may be given as arguments.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=${ZINDLE_LINT_DIR:-$top/build-lint}

install_deps --tests
cmake_configure "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DZINDLE_TESTS=ON -DZINDLE_BENCH=ON

if [ $# -gt 0 ]; then
  mapfile -t files < <(realpath "$@")
else
  mapfile -t files < <(git -C "$top" ls-files '*.cpp' | sed "s|^|$top/|")
fi
if run-clang-tidy -p "$build" -j "${ZINDLE_JOBS:-$(nproc)}" -quiet "${files[@]}" >"$build/clang-tidy.log" 2>&1; then
  echo "lint: clang-tidy finds nothing in ${#files[@]} files"
else
  grep -E -A3 '(warning|error): ' "$build/clang-tidy.log" | sed 's/\x1b\[[0-9;]*m//g' >&2 || cat "$build/clang-tidy.log" >&2
  echo "lint: clang-tidy has findings (the whole output is in $build/clang-tidy.log)" >&2
  exit 1
fi
