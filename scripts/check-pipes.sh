#!/usr/bin/env bash
# Checks the shell code under tests/, scripts/ and .ci/ (or the folders given)
# for pipelines whose reader can leave before the writer is done: grep -q
# (--quiet, -m, -l), head, read, sed with q, awk with exit. A writer still
# writing then dies of SIGPIPE, and under pipefail the pipeline fails although
# the reader found what it looked for: a failure that comes and goes with the
# machine's load. Shell files are read whole, quoted text too (it may be a
# script for bash -c); CMake files only on lines that hand a shell a script.
# Lists each such pipeline as FILE:LINE with a way out, and exits with 1 if
# there is one (2 if a folder is missing).
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
shopt -s extglob
[ $# -gt 0 ] || set -- "$top/tests" "$top/scripts" "$top/.ci"

shell_files check-pipes '@(*.sh|*.bash|*/CMakeLists.txt|*.cmake)' "$@"
if [ ${#files[@]} = 0 ]; then
  echo "check-pipes: no shell files in $*"
  exit 0
fi

# The source is cut into logical lines (a line goes on while a quote is open
# and after a trailing backslash, pipe, && or ||; each line of a here-document
# stands alone), comments left out, and each is searched for a pipe into such
# a reader.
read -r -d '' program <<'AWK' || true
# words(TEXT): the reader's own words at the start of TEXT: up to the end of
# its first single-quoted argument (an awk or sed program, a grep pattern) if
# that comes before the end of the command, else up to that end.
function words(text,   end, open, shut) {
  end = match(text, /[;&)]|[|][[:space:]&]/) ? RSTART : length(text) + 1
  open = index(text, "'")
  if (open == 0 || open > end) return substr(text, 1, end - 1)
  shut = index(substr(text, open + 1), "'")
  return shut ? substr(text, 1, open + shut) : text
}
function report(hint,   shown) {
  shown = length(code) > 110 ? substr(code, 1, 107) "..." : code
  printf "%s:%d: %s\n  fix: %s\n", FILENAME, start, shown, hint
  found++
}
function check(   rest, reader, args) {
  rest = code
  while (match(rest, /(^|[^|])[|]&?[[:space:]]*(([A-Za-z_][A-Za-z0-9_]*=[^[:space:]]*|command|env)[[:space:]]+)*[A-Za-z]+/)) {
    reader = substr(rest, RSTART, RLENGTH)
    rest = substr(rest, RSTART + RLENGTH)
    sub(/.*[^A-Za-z]/, "", reader)
    if (rest != "" && substr(rest, 1, 1) !~ /[[:space:];&)|"'`]/) continue
    args = words(rest)
    if (reader == "grep" && args ~ /(^|[[:space:]])(-[A-Za-z0-9]*[qmlL]|--quiet|--silent|--max-count|--files-with)/)
      report("capture first, then out=$(cmd) && grep -q PATTERN <<<\"$out\", or [[ $out == *text* ]]")
    else if (reader == "head" || reader == "read")
      report("capture first: out=$(cmd), then ${out%%$'\\n'*} is its first line; or read -r first < <(cmd)")
    else if (reader == "sed" && args ~ /(^|[[:space:];{}'"\/0-9$])[qQ]([[:space:]]*[0-9]+)?[[:space:]]*([;}'"]|$)/)
      report("let sed read to the end (no q), or run it on captured output: sed ... <<<\"$out\"")
    else if (reader ~ /^[gmn]?awk$/ && args ~ /(^|[^A-Za-z0-9_])exit([^A-Za-z0-9_]|$)/)
      report("let awk read to the end: /pattern/ && !seen++ { print ... } takes the first match")
  }
}
# next_here_document: the body of the next here-document the line opened
# starts on the following line.
function next_here_document(   parts) {
  if (pending == "") return
  split(pending, parts, " ")
  delimiter = parts[1]
  strip_tabs = parts[2] == "-"
  sub(/^[^ ]+ [^ ]+ /, "", pending)
}
function flush() {
  if (code != "") check()
  code = ""
  single = double = 0
}
FNR == 1 {
  flush()
  cmake = FILENAME ~ /(^|\/)CMakeLists\.txt$|\.cmake$/
  delimiter = ""
  pending = ""
}
delimiter != "" {
  # A here-document's body: each line on its own, until its delimiter.
  body = $0
  if (strip_tabs) sub(/^\t+/, "", body)
  if (body == delimiter) {
    delimiter = ""
    next_here_document()
    next
  }
  start = FNR
  code = $0
  flush()
  next
}
cmake && $0 !~ /(^|[^A-Za-z0-9_])(ba|da)?sh[[:space:]]+-c/ { next }
{
  line = $0
  if (code == "") start = FNR
  kept = ""
  n = length(line)
  for (i = 1; i <= n; i++) {
    c = substr(line, i, 1)
    if (single) {
      if (c == "'") single = 0
    } else if (c == "\\" && i < n) {
      kept = kept c
      c = substr(line, ++i, 1)
    } else if (double) {
      if (c == "\"") double = 0
    } else if (c == "'") {
      single = 1
    } else if (c == "\"") {
      double = 1
    } else if (c == "#" && (i == 1 || substr(line, i - 1, 1) ~ /[[:space:];&|(]/)) {
      break
    } else if (!cmake && substr(line, i, 2) == "<<" && substr(line, i + 2, 1) != "<" &&
               (i == 1 || substr(line, i - 1, 1) != "<") &&
               match(substr(line, i + 2), /^-?[[:space:]]*["']?[A-Za-z_][A-Za-z0-9_]*/)) {
      word = substr(line, i + 2, RLENGTH)
      dash = substr(word, 1, 1) == "-" ? "-" : "+"
      gsub(/^-|[[:space:]"']/, "", word)
      pending = pending word " " dash " "
    }
    kept = kept c
  }
  code = code (code == "" ? "" : " ") kept
  if (cmake || !(single || double || kept ~ /(\\|[|]|&&)[[:space:]]*$/)) {
    flush()
    next_here_document()
  }
}
END {
  flush()
  if (found) {
    printf "check-pipes: %d pipeline(s) whose reader can leave before the writer is done,\n", found
    print "which then dies of SIGPIPE; under pipefail the pipeline fails at random"
    exit 1
  }
}
AWK
awk "$program" "${files[@]}" >&2 || exit
echo "check-pipes: ${#files[@]} shell files, no pipeline into a reader that leaves early"
