#!/usr/bin/env bash
# The real toy with every kind of splash file that has gone wrong, each made
# here: things that are not files (a FIFO nobody writes to, links to
# /dev/urandom and /dev/zero, a sparse 3 GB file), headers that claim
# gigapixels, formats the toy does not read, a JPEG cut short, a folder and a
# picture its user may not read, and large photos. Every time the toy shows
# its first frame within a deadline and under a memory cap, draws its cubes,
# says nothing, shows no box, and ESC ends it with exit code 0. A phone's
# 48-megapixel photo is seen stretched over the whole screen first.
#
# The deadline and the caps come from a start with the toy's own picture in
# the same run: hostile files may not make the first frame more than a few
# seconds later, nor the toy's peak memory more than 128 MB larger (the old
# failures took 15 s to for ever, and gigabytes). Each start's figures are
# noted in the log.
source "$(dirname "$0")/toy_lib.sh"
source "$(dirname "$0")/../support/shell/splash_files.sh"

start_x 1024 768
maker="$binary_dir/tests/make_picture"
# Preloaded into the timed starts: writes "zindle: start-up STEP at ..." as
# each start-up step ends, the first frame's swap last.
marks="$binary_dir/tests/zindle_startup_marks.so"
[ -f "$marks" ] || fail "no start-up marks at $marks"

first_frame_shown() { grep -qs '^zindle: start-up first frame swapped' "$work/stderr.log"; }
status_kb() { awk -v field="$2:" '$1 == field { print $2 }' "/proc/$1/status"; }

cap_kb=""        # the toy's address space, for ulimit -v
deadline=60      # seconds to the first frame
seconds="" peak_kb=""

# launch FOLDER WHAT [PREFIX...]: starts the toy in FOLDER under the caps and
# waits for its first frame; sets seconds (from start to first frame) and
# peak_kb (peak resident memory by then).
launch() {
  local folder=$1 what=$2
  shift 2
  rm -f "$work/stderr.log"
  local started=$EPOCHREALTIME
  (
    cd "$folder" || exit
    [ -z "$cap_kb" ] || ulimit -v "$cap_kb"
    export LD_PRELOAD="${LD_PRELOAD:+$LD_PRELOAD:}$marks"
    exec "$@" "$toy" >"$work/stdout.log" 2>"$work/stderr.log"
  ) &
  program_pid=$!
  wait_for "$deadline" first_frame_shown ||
    fail "$what: no first frame within $deadline s; it said: $(cat "$work/stderr.log")"
  seconds=$(awk -v from="$started" -v to="$EPOCHREALTIME" 'BEGIN { printf "%.2f", to - from }')
  peak_kb=$(status_kb "$toy_pid" VmHWM)
}

# finish WHAT: the cubes show, nothing was said and no box shown; ESC ends it with 0.
finish() {
  local what=$1
  wait_for 60 drawn || fail "$what: the cubes never showed"
  local windows said
  windows=$(xwininfo -root -tree | grep -c '"Zindle"' || true)
  [ "$windows" = 1 ] || fail "$what: expected the toy's window alone, found $windows named Zindle"
  said=$(grep -v '^size: \|^key pressed\|^zindle: start-up ' "$work/stderr.log" || true)
  [ -z "$said" ] || fail "$what: unexpected output: $said"
  xdotool key Escape
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "$what: ESC ended with $exit_code"
}

# play FOLDER WHAT [PREFIX...]: a whole start held to the deadline and the caps.
play() {
  local what=$2
  launch "$@"
  [ "$peak_kb" -le $((own_peak_kb + 128 * 1024)) ] ||
    fail "$what: peak memory $((peak_kb / 1024)) MB, with its own picture $((own_peak_kb / 1024)) MB"
  finish "$what"
  note "$what: first frame after $seconds s, peak $((peak_kb / 1024)) MB"
}

# The toy's own picture: the yardstick for the rest.
mkdir "$work/own"
cp "$binary_dir/wumbly.jpg" "$work/own/"
launch "$work/own" "its own picture"
own_seconds=$seconds own_peak_kb=$peak_kb
own_address_kb=$(status_kb "$toy_pid" VmPeak)
finish "its own picture"
deadline=$(awk -v s="$own_seconds" 'BEGIN { printf "%d", 10 + 3 * s }')
# Sanitizer builds reserve terabytes of address space; the peak check holds them.
if ! sanitized_build; then
  cap_kb=$((own_address_kb + 512 * 1024))
fi
note "its own picture: first frame after $own_seconds s, peak $((own_peak_kb / 1024)) MB;" \
  "the others get $deadline s${cap_kb:+ and $((cap_kb / 1024)) MB of address space}"

case_folder() { mkdir "$work/$1" && echo "$work/$1"; }
make_picture() { "$maker" "$2" "$3" "$4" "$1/wumbly.jpg" "${@:5}"; }
play_splash_files case_folder make_picture play "$binary_dir/wumbly.jpg"

if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  # Root reads everything; the nobody user may not read this one. Its own
  # home in the passwd database does not exist, so Mesa gets a cache folder
  # it may write, and says nothing of one it cannot make.
  folder=$(case_folder locked)
  mkdir "$work/home"
  cp "$binary_dir/wumbly.jpg" "$folder/"
  chmod 000 "$folder/wumbly.jpg"
  chmod 755 "$work" "$folder"
  chmod 777 "$work/home"
  if setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$toy"; then
    play "$folder" "an unreadable picture" \
      setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/home" XDG_CACHE_HOME="$work/home/.cache"
  else
    note "SKIP an unreadable picture: the nobody user cannot run $toy"
  fi
elif [ "$(id -u)" != 0 ]; then
  folder=$(case_folder locked)
  cp "$binary_dir/wumbly.jpg" "$folder/"
  chmod 000 "$folder/wumbly.jpg"
  play "$folder" "an unreadable picture"
else
  note "SKIP an unreadable picture: running as root without setpriv"
fi

# A phone's photo, red on the left, blue on the right, green across the
# bottom: while the scene is built the whole screen shows it, stretched. Stop
# the toy now and then to catch that moment; if the first frame comes first,
# try again.
folder=$(case_folder phone)
"$maker" jpeg 8000 6000 "$folder/wumbly.jpg"
stretched=""
for _ in 1 2 3 4 5; do
  (
    cd "$folder" || exit
    [ -z "$cap_kb" ] || ulimit -v "$cap_kb"
    exec "$toy" >"$work/stdout.log" 2>"$work/stderr.log"
  ) &
  program_pid=$!
  wait_for 60 has_toy_window || fail "a phone's photo: no window: $(cat "$work/stderr.log")"
  until_time=$((SECONDS + 60))
  while [ $SECONDS -lt $until_time ]; do
    kill -STOP "$toy_pid"
    shot "$work/early.png"
    kill -CONT "$toy_pid"
    read -r r1 _ b1 <<<"$(pixel "$work/early.png" 10 10)"
    read -r r2 _ b2 <<<"$(pixel "$work/early.png" 1013 10)"
    read -r r3 g3 _ <<<"$(pixel "$work/early.png" 512 757)"
    if [ "$r1" -gt 200 ] && [ "$b1" -lt 60 ] && [ "$b2" -gt 200 ] && [ "$r2" -lt 60 ] && [ "$g3" -gt 200 ] &&
      [ "$r3" -lt 60 ]; then
      stretched=yes
      break
    fi
    cube_at "$work/early.png" 0 1 && break
  done
  [ -n "$stretched" ] && break
  kill -TERM "$toy_pid"
  wait_exit 60
done
[ -n "$stretched" ] || fail "a phone's 8000x6000 photo was never seen stretched over the screen"
finish "a phone's 8000x6000 photo"
note "a phone's 8000x6000 photo: shown stretched, played and ended with 0"
play "$folder" "a phone's 8000x6000 photo"
echo "PASS"
