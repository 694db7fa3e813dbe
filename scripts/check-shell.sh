#!/usr/bin/env bash
# Checks every shell file of the project (under scripts/, tests/, .ci/, fuzz/
# and res/, or the folders given) with shellcheck at warning level: *.sh and
# *.bash files, and files whose #! line names a shell. The sourced libraries
# are followed through their `# shellcheck source=` lines (paths from the
# repository's top) or the folder of the script that sources them
# (.shellcheckrc). Lists each finding and exits 1 if there is one (2 if a
# folder is missing or shellcheck is not installed).
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
cd "$top"
command -v shellcheck >/dev/null || { echo "check-shell: shellcheck is not installed" >&2; exit 2; }
[ $# -gt 0 ] || set -- scripts tests .ci fuzz res

shopt -s extglob
shell_files check-shell '@(*.sh|*.bash)' "$@"
if [ ${#files[@]} = 0 ]; then
  echo "check-shell: no shell files in $*"
  exit 0
fi
if ! shellcheck --severity=warning --format=gcc "${files[@]}" >&2; then
  echo "check-shell: shellcheck has warnings (silence one only with a # shellcheck disable=SCxxxx and why)" >&2
  exit 1
fi
echo "check-shell: ${#files[@]} shell files clean under shellcheck"
