#!/usr/bin/env bash
# scripts/check-pipes.sh, the test command's guard against pipelines whose
# reader can leave before the writer is done: it reports every such shape at
# its own line (in shell files, in files run by their #! line, in the scripts
# CMake hands to a shell) with a fix, and fails; it passes the shapes that
# stand in for them and the project's own shell code, also right up to a
# violation planted in a copy of it; and it refuses a folder that is not there
# rather than pass it.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/support/shell/toy.sh
source "$here/../support/shell/toy.sh"
source_dir=${ZINDLE_SOURCE_DIR:-$(cd "$here/../.." && pwd)}
check=$source_dir/scripts/check-pipes.sh
cases=$here/check_pipes
make_work /tmp/zindle-pipes.XXXXXX

# run_check FOLDER...: runs the check; sets status and said (all it wrote).
run_check() {
  status=0
  said=$(bash "$check" "$@" 2>&1) || status=$?
}

# reported: "FILE:LINE" of each pipeline the check reported, sorted.
reported() { grep -E '^/[^:]*:[0-9]+: ' <<<"$said" | cut -d: -f1,2 | sort || true; }

# marked FILE: "FILE:LINE" of each line the case marks as one to report.
marked() {
  awk -v file="$1" '/# flagged$/ { print file ":" FNR } /^# flagged below$/ { print file ":" FNR + 1 }' "$1"
}

# Every shape, each where it stands; a file is read as shell by its name or
# its #! line, and CMake's only where it runs a shell.
mkdir -p "$work/bad/tests" "$work/bad/ci"
cp "$cases/flagged.in" "$work/bad/tests/lib.sh"
cp "$cases/cmake.in" "$work/bad/tests/CMakeLists.txt"
{ echo '#!/bin/sh -e'; cat "$cases/flagged.in"; } >"$work/bad/ci/run"
{ echo '#!/usr/bin/env python3'; cat "$cases/flagged.in"; } >"$work/bad/ci/tool"
expected=$(for file in "$work/bad/tests/lib.sh" "$work/bad/tests/CMakeLists.txt" "$work/bad/ci/run"; do
  marked "$file"
done | sort)
run_check "$work/bad"
[ "$status" = 1 ] || fail "exit code $status with every kind of early reader planted: $said"
[ "$(reported)" = "$expected" ] ||
  fail "reported other lines than planted: $(diff <(echo "$expected") <(reported) || true)"
[ "$(grep -c '^  fix: ' <<<"$said")" = "$(wc -l <<<"$expected")" ] || fail "not every report says how to fix it: $said"
note "$(wc -l <<<"$expected") planted pipelines reported, each at its line, with a fix"

# The stand-ins pass.
mkdir "$work/good"
cp "$cases/clean.in" "$work/good/lib.sh"
run_check "$work/good"
[ "$status" = 0 ] || fail "exit code $status on pipelines that read to the end: $said"
note "the stand-ins pass"

# The project's own shell code passes, as does a copy, until one early reader
# is added to it.
run_check
[ "$status" = 0 ] || fail "the project's own shell code has early readers: $said"
cp -r "$source_dir/tests/support" "$work/tree"
run_check "$work/tree"
[ "$status" = 0 ] || fail "exit code $status on a copy of tests/support: $said"
echo 'screen_size() { xdpyinfo | awk '\''/dimensions:/ { print $2; exit }'\''; }' >>"$work/tree/x11_server.sh"
run_check "$work/tree"
[ "$status" = 1 ] && [ "$(reported)" = "$work/tree/x11_server.sh:$(wc -l <"$work/tree/x11_server.sh")" ] ||
  fail "the early reader added to a copy of tests/support was not reported alone (exit code $status): $said"
note "the project's code passes; an early reader added to a copy of it is caught"

run_check "$work/no-such-folder"
[ "$status" = 2 ] || fail "exit code $status for a folder that is not there: $said"
echo PASS
