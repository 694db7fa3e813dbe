#!/usr/bin/env bash
# Under an address-space limit (ulimit -v) from 1 GB down to 100 MB the toy
# either plays (cubes on screen, ESC ends it with 0) or says in one line on
# stderr that it has not enough memory and exits with 1, at once; never a
# crash, an abort or a trap, and never a line of a library instead.
source "$(dirname "$0")/toy_lib.sh"
if sanitized_build; then
  echo "SKIP: a sanitized build reserves terabytes of address space"
  exit 77
fi

start_x 1024 768
mkdir "$work/home"
cp "$ZINDLE_SOURCE_DIR/res/wumbly.jpg" "$work/home/"

for megabytes in 1024 768 600 512; do
  toy_cap=$((megabytes * 1024))
  start_playing "$work/home"
  xdotool key Escape
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "at $megabytes MB, ESC ended with $exit_code: $(cat "$work/stderr.log")"
  note "$megabytes MB: plays"
done

for megabytes in 500 400 300 250 200 150 100; do
  toy_cap=$((megabytes * 1024))
  start_toy "$work/home"
  wait_exit 30
  [ "$exit_code" = 1 ] || fail "at $megabytes MB, exit code $exit_code: $(cat "$work/stderr.log")"
  [ "$(wc -l <"$work/stderr.log")" = 1 ] && grep -q "^zindle: not enough memory" "$work/stderr.log" ||
    fail "at $megabytes MB, not the one line: $(cat "$work/stderr.log")"
  note "$megabytes MB: $(cat "$work/stderr.log")"
done
echo PASS
