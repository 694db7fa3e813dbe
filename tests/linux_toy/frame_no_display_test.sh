#!/usr/bin/env bash
# With no display at all the program says so in one line and exits with code 1
# at once, instead of hanging or running unseen on a driver that draws nowhere.
source "$(dirname "$0")/../support/shell/x11_session.sh"

started=$SECONDS
code=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60 "$probe" >"$work/out.log" 2>"$work/err.log" || code=$?
[ "$code" = 1 ] || fail "exit code $code, expected 1"
[ $((SECONDS - started)) -le 10 ] || fail "took $((SECONDS - started)) s to give up"
[ "$(wc -l <"$work/err.log")" = 1 ] || fail "expected one line on stderr, got: $(cat "$work/err.log")"
[ ! -s "$work/out.log" ] || fail "the application was started: $(cat "$work/out.log")"
echo PASS
