#!/usr/bin/env bash
# scripts/check-shell.sh, the test command's shellcheck step: it finds shell
# code by name and by #! line (and leaves other scripts alone), reports each
# warning at its file and line and fails; follows a library through its
# `# shellcheck source=` line, so that what the library defines is no warning
# in the script that sources it; passes a warning silenced with its reason;
# and refuses a folder that is not there rather than pass it.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/support/shell/toy.sh
source "$here/../support/shell/toy.sh"
source_dir=${ZINDLE_SOURCE_DIR:-$(cd "$here/../.." && pwd)}
check=$source_dir/scripts/check-shell.sh
make_work /tmp/zindle-shell.XXXXXX
command -v shellcheck >/dev/null || { echo "SKIP: shellcheck is not installed"; exit 77; }

status=0 said=""
run_check() {
  status=0
  said=$(bash "$check" "$@" 2>&1) || status=$?
}
# reported: "FILE:LINE" of each finding, sorted.
reported() { grep -E '^/[^:]*:[0-9]+:[0-9]+: ' <<<"$said" | cut -d: -f1,2 | sort || true; }

# A misspelt variable, by file name and by #! line; a Python script with the
# same text is no shell code.
mkdir -p "$work/bad/tests" "$work/bad/ci"
printf '#!/usr/bin/env bash\nfolder=/tmp\nrm -rf "$foldr/cache"\n' >"$work/bad/tests/clean.sh"
printf '#!/bin/sh -e\nfolder=/tmp\nrm -rf "$foldr/cache"\n' >"$work/bad/ci/run"
printf '#!/usr/bin/env python3\nfolder=/tmp\nrm -rf "$foldr/cache"\n' >"$work/bad/ci/tool"
run_check "$work/bad"
[ "$status" = 1 ] || fail "exit code $status with two planted warnings: $said"
expected=$(printf '%s\n' "$work/bad/ci/run:2" "$work/bad/ci/run:3" "$work/bad/tests/clean.sh:2" \
  "$work/bad/tests/clean.sh:3")
[ "$(reported)" = "$expected" ] || fail "reported other lines than planted: $said"
note "planted warnings reported at their lines, the Python script left alone"

# A variable a sourced library sets is known through the source= line (a path
# from the repository's top, or an absolute one as here); one nobody sets is
# not.
mkdir -p "$work/good/lib"
printf '# shellcheck shell=bash\n# shellcheck disable=SC2034 # for the scripts\nanswer=42\n' >"$work/good/lib/answer.sh"
cat >"$work/good/ask.sh" <<SCRIPT
#!/usr/bin/env bash
# shellcheck source=$work/good/lib/answer.sh
source "\$(dirname "\$0")/lib/answer.sh"
echo "\$answer"
SCRIPT
run_check "$work/good"
[ "$status" = 0 ] || fail "a library's variable was a warning: $said"
sed -i 's/"\$answer"/"$question"/' "$work/good/ask.sh"
run_check "$work/good"
[ "$status" = 1 ] && [ "$(reported)" = "$work/good/ask.sh:4" ] ||
  fail "a variable nobody sets was not reported alone (exit code $status): $said"
note "sourced libraries followed"

# Silenced with a reason, a warning passes.
printf '#!/usr/bin/env bash\n# shellcheck disable=SC2154 # the caller sets it\nrm -rf "$foldr/cache"\n' \
  >"$work/bad/tests/clean.sh"
rm "$work/bad/ci/run"
run_check "$work/bad"
[ "$status" = 0 ] || fail "exit code $status with the warning silenced: $said"

run_check "$work/no-such-folder"
[ "$status" = 2 ] || fail "exit code $status for a folder that is not there: $said"
echo PASS
