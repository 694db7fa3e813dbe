#!/usr/bin/env bash
# The real toy with splash files of the kinds that go wrong: cut short, a
# folder under the name, a picture its user may not read, and a 6000x4000
# photo, which must be shown stretched over the whole screen. Every time the
# toy starts and plays, without a message box or a complaint, and ESC ends it
# with exit code 0. (The decoding of many more files is tested in game_tests.)
source "$(dirname "$0")/toy_lib.sh"

start_x 1024 768

# play FOLDER WHAT [PREFIX...]: starts the toy in FOLDER, sees it play, ends it.
play() {
  local folder=$1 what=$2
  shift 2
  (cd "$folder" && exec "$@" "$toy" >"$work/stdout.log" 2>"$work/stderr.log") &
  toy_pid=$!
  wait_for 60 has_toy_window || fail "$what: no window: $(cat "$work/stderr.log")"
  wait_for 60 drawn || fail "$what: the cubes never showed"
  local windows
  windows=$(xwininfo -root -tree | grep -c '"Zindle"' || true)
  [ "$windows" = 1 ] || fail "$what: expected the toy's window alone, found $windows named Zindle"
  local said
  said=$(grep -v '^size: \|^key pressed' "$work/stderr.log" || true)
  [ -z "$said" ] || fail "$what: unexpected output: $said"
  xdotool key Escape
  wait_exit 60
  [ "$exit_code" = 0 ] || fail "$what: ESC ended with $exit_code"
  note "$what: played and ended with 0"
}

mkdir "$work/cut"
head -c "$(($(stat -c %s "$binary_dir/wumbly.jpg") / 2))" "$binary_dir/wumbly.jpg" >"$work/cut/wumbly.jpg"
play "$work/cut" "a JPEG cut in half"

mkdir -p "$work/folder/wumbly.jpg"
play "$work/folder" "a folder named wumbly.jpg"

if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  # Root reads everything; the nobody user may not read this one.
  mkdir "$work/locked" "$work/home"
  cp "$binary_dir/wumbly.jpg" "$work/locked/"
  chmod 000 "$work/locked/wumbly.jpg"
  chmod 755 "$work" "$work/locked"
  chmod 777 "$work/home"
  if setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$toy"; then
    play "$work/locked" "an unreadable picture" \
      setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/home"
  else
    note "SKIP an unreadable picture: the nobody user cannot run $toy"
  fi
elif [ "$(id -u)" != 0 ]; then
  mkdir "$work/locked"
  cp "$binary_dir/wumbly.jpg" "$work/locked/"
  chmod 000 "$work/locked/wumbly.jpg"
  play "$work/locked" "an unreadable picture"
else
  note "SKIP an unreadable picture: running as root without setpriv"
fi

# A camera's photo, red on the left half and blue on the right: while the
# scene is built the whole screen shows it, stretched. Stop the toy now and
# then to catch that moment; if the first frame comes first, try again.
mkdir "$work/photo"
convert -size 3000x4000 xc:red -size 3000x4000 xc:blue +append -quality 85 "$work/photo/wumbly.jpg"
stretched=""
for attempt in 1 2 3 4 5; do
  (cd "$work/photo" && exec "$toy" >"$work/stdout.log" 2>"$work/stderr.log") &
  toy_pid=$!
  wait_for 60 has_toy_window || fail "a 6000x4000 photo: no window: $(cat "$work/stderr.log")"
  deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    kill -STOP "$toy_pid"
    shot "$work/early.png"
    kill -CONT "$toy_pid"
    read -r r1 g1 b1 <<<"$(pixel "$work/early.png" 10 10)"
    read -r r2 g2 b2 <<<"$(pixel "$work/early.png" 1013 757)"
    if [ "$r1" -gt 200 ] && [ "$b1" -lt 60 ] && [ "$b2" -gt 200 ] && [ "$r2" -lt 60 ]; then
      stretched=yes
      break
    fi
    cube_at "$work/early.png" 0 1 && break
  done
  [ -n "$stretched" ] && break
  kill -TERM "$toy_pid"
  wait_exit 60
done
[ -n "$stretched" ] || fail "a 6000x4000 photo was never seen stretched over the screen"
wait_for 60 drawn || fail "a 6000x4000 photo: the cubes never showed"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "a 6000x4000 photo: ESC ended with $exit_code"
note "a 6000x4000 photo: shown stretched, played and ended with 0"
echo "PASS"
