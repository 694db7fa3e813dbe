#!/usr/bin/env bash
# zindle.exe's real display-mode change, on an X server that can switch from
# 1280x1024 to 1024x768: the screen is 1024x768 while the toy plays, and the
# desktop's mode comes back when ESC ends it, when WM_CLOSE ends it and when
# it crashes. The crash is a SIGSEGV sent from outside while the toy runs its
# own code, which Wine raises as an exception there; the trace shows that the
# program's unhandled-exception filter gave the mode back.
source "$(dirname "$0")/win32_toy_lib.sh"

command -v python3 >/dev/null || { echo "SKIP: python3 is not installed"; exit 77; }
start_xorg_dummy
screen_size() {
  local info
  info=$(xdpyinfo)
  awk '/dimensions:/ { print $2; exit }' <<<"$info"
}
screen_is() { [ "$(screen_size)" = "$1" ]; }
[ "$(screen_size)" = 1280x1024 ] || fail "the server started at $(screen_size)"

folder=$(toy_folder mode)
cp "$own_picture" "$folder/"

# playing [NAME=VALUE...]: starts the toy and waits until its cubes show on
# the 1024x768 screen.
playing() {
  start_toy "$folder" "$@"
  wait_for 120 screen_is 1024x768 || fail "the screen is $(screen_size) while the toy runs"
  wait_for 120 drawn || fail "the cubes never showed"
}
desktop_back() { wait_for 30 screen_is 1280x1024 || fail "$1, the screen stayed at $(screen_size)"; }

playing
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended with $exit_code"
desktop_back "after ESC"
note "ESC: 1024x768 while playing, 1280x1024 after, exit 0"

playing
wine "$inspect" Zindle close 2>/dev/null || fail "no window to close"
wait_exit 60
[ "$exit_code" = 0 ] || fail "WM_CLOSE ended with $exit_code"
desktop_back "after WM_CLOSE"
note "WM_CLOSE: 1280x1024 after, exit 0"

# A signal that lands while the thread is inside Wine (a GL call, a wait)
# only fails that call; one that lands in the program's own code is raised
# there as an exception. So step the toy: stop it, and when its main thread
# stands in zindle.exe's code outside any system call, direct the signal at
# that thread, then let it go on.
playing WINEDEBUG=+seh,+system
maps=$(cat "/proc/$toy_pid/maps")
read -r code_from code_to <<<"$(awk '/\/zindle\.exe$/ { split($1, a, "-"); if (!from) from = a[1]; to = a[2] }
  END { print from, to }' <<<"$maps")"
[ -n "$code_to" ] || fail "zindle.exe is not mapped in process $toy_pid"
# Each look at the toy is made without starting a process (a read of /proc,
# a nap on a FIFO nobody writes), so that there are many of them: the thread
# mostly waits for its next frame or runs Wine's code, and stands in its own
# code only about one look in a thousand.
main_stopped() {
  local line
  read -r line <"/proc/$toy_pid/task/$toy_pid/stat"
  line=${line##*) }
  [ "${line%% *}" = T ]
}
mkfifo "$work/nap"
exec {nap}<>"$work/nap"
caught="" looks=0 until_time=$((SECONDS + 240))
while [ -z "$caught" ] && [ $SECONDS -lt $until_time ]; do
  looks=$((looks + 1))
  kill -STOP "$toy_pid"
  for _ in {1..1000}; do
    ! main_stopped || break
  done
  read -r number _ pc <"/proc/$toy_pid/task/$toy_pid/syscall"
  if [ "$number" = -1 ] && ((pc >= 16#$code_from && pc < 16#$code_to)); then
    caught=yes
  else
    kill -CONT "$toy_pid"
    read -r -t 0.01 -u "$nap" _ || true
  fi
done
[ -n "$caught" ] || fail "the toy was never caught in its own code ($looks looks)"
note "caught in zindle.exe's code at $pc after $looks looks"
trace_from=$(wc -l <"$work/stderr.log")
python3 -c 'import ctypes, sys; sys.exit(ctypes.CDLL(None).syscall(234, int(sys.argv[1]), int(sys.argv[1]), 11))' \
  "$toy_pid" || fail "tgkill failed"
kill -CONT "$toy_pid"
wait_exit 60
[ "$exit_code" != 0 ] && [ "$exit_code" != timeout ] || fail "the crash ended with $exit_code"
desktop_back "after a crash"
# Once the exception is raised where the toy was caught, the unhandled-
# exception filter asks for the desktop's mode (settings NULL) before Wine
# gives up on the process. (A signal sent from outside carries no trap
# number, so Wine raises it as an illegal instruction: exit code 29.)
trace=$(tail -n "+$((trace_from + 1))" "$work/stderr.log")
raised_at=$(printf '%016X' "$pc")
filtered=$(awk -v at="addr=$raised_at " '/:seh:dispatch_exception code=/ && index($0, at) { raised = 1 }
  raised && /:system:NtUserChangeDisplaySettings \(null\) \(nil\)/ { restored = 1 }
  /Unhandled .* at address/ { if (restored) print "yes"; exit }' <<<"$trace")
[ "$filtered" = yes ] || fail "no mode change from the exception filter in the trace:"$'\n'"$(grep ':seh:\|Unhandled\|ChangeDisplay' <<<"$trace")"
note "crash: exception raised in zindle.exe, the filter restored 1280x1024, exit $exit_code"
echo PASS
