#!/usr/bin/env bash
# The Debian package as a parent gets it: built by scripts/package.sh and clean
# under lintian, installed with apt (which brings espeak-ng's library and data
# along as recommended), started the way its menu entry starts it (the entry's
# Exec, in the entry's Path) under Xvfb with a sound server of the test's own:
# the splash, then the cubes; a key says its name, then its twelve tones
# follow; ESC ends it with 0. Started again where espeak-ng's library cannot be
# loaded, it plays its tones without a name, says why in one line and ends
# with 0 too. The installed desktop entry and AppStream data validate, and
# purging the package leaves none of its files behind.
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
# Private namespaces (its own /tmp, network and process ids, the sound cards
# hidden): what it hides from the toy there stays hidden from it alone.
source "$(dirname "$0")/sound_lib.sh"
source_dir=${ZINDLE_SOURCE_DIR:?}

# The package is the machine's: a package test of another checkout, running
# meanwhile, installed and purged it under this one. One at a time; the lock
# ends with this process and whatever it started.
exec {machine_lock}>/run/lock/zindle-package-test
flock -n "$machine_lock" || { echo "SKIP: another package test is running on this machine"; exit 77; }
if [ -n "$(dpkg-query -W -f='${db:Status-Status}' zindle 2>/dev/null | grep -v '^not-installed$')" ]; then
  echo "SKIP: a zindle package is on this machine already; this test would replace and purge it"
  exit 77
fi
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -q "$@"; }

installed=""
purge_on_exit() { [ -z "$installed" ] || apt_get purge -y zindle >/dev/null 2>&1 || true; }
at_exit purge_on_exit

# The package builds from Build-Depends alone: each library the project's own
# set-up installs for building must be named there too.
runtime=$(sed -n '/^runtime=(/,/)/p' "$source_dir/scripts/install-deps.sh" | tr -s ' ()\n' '\n')
build_depends=$(sed -n '/^Build-Depends:/,/^[A-Z]/p' "$source_dir/debian/control")
for package in $(grep -- '-dev$' <<<"$runtime"); do
  grep -qE "[ ,]$package(,|$| )" <<<"$build_depends" || fail "debian/control's Build-Depends lacks $package"
done

out=$binary_dir/package
ZINDLE_DEB_BUILD_DIR=$out bash "$source_dir/scripts/package.sh" "$out" >"$work/package.log" 2>&1 ||
  fail "scripts/package.sh failed: $(tail -n 30 "$work/package.log")"
deb=$(ls "$out"/zindle_*_"$(dpkg-architecture -qDEB_HOST_ARCH)".deb)
note "built $(basename "$deb")"

# Lintian on the whole build (source, binary, build information): no errors,
# no warnings. Its remaining notes are printed for the log.
lintian --info --display-info --fail-on error,warning "$out"/zindle_*.changes >"$work/lintian.log" 2>&1 ||
  fail "lintian: $(cat "$work/lintian.log")"
cat "$work/lintian.log"

apt_get install -y "$deb" >"$work/apt.log" 2>&1 || fail "apt could not install it: $(tail -n 30 "$work/apt.log")"
installed=yes
mapfile -t files < <(dpkg-query -L zindle)
note "installed ${#files[@]} paths"

# Speech comes with the package as a recommendation, which apt installs by
# default. Here espeak-ng is on the machine already, so apt had nothing to
# bring; asked again against a record of this machine without espeak-ng (and
# without the toy), apt would bring its library and data along.
recommends=$(dpkg-query -W -f='${Recommends}' zindle)
for package in libespeak-ng1 espeak-ng-data; do
  grep -qE "(^|, )$package( |,|$)" <<<"$recommends" || fail "the package does not recommend $package: $recommends"
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)" = installed ] ||
    fail "$package is not installed after apt installed the package: $(cat "$work/apt.log")"
done
awk -v RS= -v ORS='\n\n' '!/^Package: (zindle|libespeak-ng1|espeak-ng-data|libespeak-ng-dev|espeak-ng)\n/' \
  /var/lib/dpkg/status >"$work/status-without-speech"
# The package caches stay unwritten: they are the machine's.
apt_get -s -o Dir::State::status="$work/status-without-speech" -o Dir::Cache::pkgcache= \
  -o Dir::Cache::srcpkgcache= install "$deb" >"$work/apt-simulated.log" 2>&1 ||
  fail "apt could not plan the install without espeak-ng: $(tail -n 30 "$work/apt-simulated.log")"
for package in libespeak-ng1 espeak-ng-data; do
  grep -q "^Inst $package " "$work/apt-simulated.log" ||
    fail "apt would not bring $package along: $(cat "$work/apt-simulated.log")"
done
note "apt brings libespeak-ng1 and espeak-ng-data along where they are missing"

# Where a Debian game's files go, at every icon size.
for path in /usr/games/zindle /usr/share/games/zindle/wumbly.jpg /usr/share/man/man6/zindle.6.gz \
  /usr/share/icons/hicolor/scalable/apps/zindle.svg /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/zindle.png; do
  [ -f "$path" ] || fail "$path is not installed"
done
metainfo=$(grep -l '<binary>zindle</binary>' /usr/share/metainfo/*.metainfo.xml) ||
  fail "no AppStream data names the program zindle"
entry=/usr/share/applications/zindle.desktop

report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
# Hints too: an entry in two main categories shows twice in some menus.
[ -z "$report" ] || fail "desktop-file-validate has remarks: $report"
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli: $(cat "$work/appstream.log")"
grep -q '<launchable type="desktop-id">zindle.desktop</launchable>' "$metainfo" ||
  fail "the AppStream data does not launch the desktop entry"

# Started the way the menu starts it.
exec_line=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$entry")
work_dir=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Path=//p' "$entry")
[ -x "$exec_line" ] || fail "Exec=$exec_line is not one installed program"
toy=$exec_line
start_x 1024 768
start_sound_server
scene_shown() { shot "$work/scene.png"; is_scene "$work/scene.png"; }

# throw_h RECORDING: the toy plays into the sound server; "h" is pressed while
# what reaches the sink is recorded, long enough for the name and the twelve
# tones. Measures the recording and sets key_time (seconds into it).
throw_h() {
  wait_for 30 toy_streams_open || fail "the toy opened no stream on the sound server: $(cat "$work/stderr.log")"
  start_recording "$1"
  local key_frame
  key_frame=$(record_frames)
  xdotool key h
  wait_for 30 recorded_past "$key_frame" 7.5 || fail "the recorder stopped short"
  stop_recording
  measure "$1"
  key_time=$(awk -v f="$key_frame" -v r="$sound_rate" 'BEGIN { print f / r }')
}

# speech_lines: what the toy itself said on standard error, its key trace
# aside.
speech_lines() { grep '^zindle: ' "$work/stderr.log" || true; }

start_toy "$work_dir"
watch_splash
wait_for 60 scene_shown || fail "the cubes never showed: $(cat "$work/stderr.log")"
note "cubes shown"
throw_h "$work/spoken.wav"
# The tones from a second after the key, past the name (the first lands at
# 1.34 s); the name before them, at once.
check_tones "$(awk -v k="$key_time" 'BEGIN { print k + 1 }')" right 0.06
onsets 0 "$tones_start" >"$work/name.txt"
[ -s "$work/name.txt" ] || fail "no name before the first tone: $(cat "$work/stderr.log")"
name_delay=$(awk -v k="$key_time" 'NR == 1 { printf "%.3f", $1 - k }' "$work/name.txt")
note "the name began ${name_delay}s after the key, the tones $(awk -v t="$tones_start" -v k="$key_time" 'BEGIN { printf "%.3f", t - k }')s after it"
awk -v d="$name_delay" 'BEGIN { exit !(d > -0.05 && d < 0.3) }' || fail "the name began ${name_delay}s after the key"
[ -z "$(speech_lines)" ] || fail "the toy spoke with a complaint: $(speech_lines)"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended it with $exit_code: $(cat "$work/stderr.log")"

# As on a machine without espeak-ng: every file the dynamic loader would take
# for its library is covered by an empty one and its data folder by an empty
# folder, in this test's mount namespace alone. The mounts there must not
# reach the machine's.
: >"$work/empty-file"
mkdir "$work/empty-folder"
mapfile -t libraries < <({ ldconfig -p | awk '/libespeak-ng\.so/ { print $NF }'; ls /usr/lib/*/libespeak-ng.so* /lib/*/libespeak-ng.so* 2>/dev/null; } |
  xargs -r realpath -e | sort -u)
[ "${#libraries[@]}" -gt 0 ] || fail "espeak-ng's library is not where the dynamic loader looks"
hidden=("${libraries[@]}" /usr/lib/*/espeak-ng-data /usr/share/espeak-ng-data)
for path in "${hidden[@]}"; do
  [ -e "$path" ] || continue
  [ "$(findmnt -n -o PROPAGATION -T "$path")" = private ] || fail "$path is on a mount shared with the machine"
  if [ -d "$path" ]; then
    mount --bind "$work/empty-folder" "$path" || fail "cannot hide $path"
  else
    mount --bind "$work/empty-file" "$path" || fail "cannot hide $path"
  fi
done
note "hidden: ${libraries[*]}"

start_toy "$work_dir"
wait_for 60 has_toy_window || fail "no window without espeak-ng: $(cat "$work/stderr.log")"
wait_for 60 scene_shown || fail "the cubes never showed without espeak-ng: $(cat "$work/stderr.log")"
throw_h "$work/silent.wav"
check_tones 0 right 0.06
early=$(onsets 0 "$tones_start")
[ -z "$early" ] || fail "sound before the first tone without espeak-ng: $early"
said=$(speech_lines)
[ "$(grep -c . <<<"$said")" = 1 ] && grep -q 'no speech: .*libespeak-ng' <<<"$said" ||
  fail "not one line on why there is no speech without espeak-ng: $(cat "$work/stderr.log")"
note "without espeak-ng the toy said: $said"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended it with $exit_code without espeak-ng: $(cat "$work/stderr.log")"
for path in "${hidden[@]}"; do
  ! mountpoint -q "$path" || umount "$path" || fail "cannot show $path again"
done

# Purged, nothing of it is left: no file, no folder that only it had.
apt_get purge -y zindle >"$work/apt.log" 2>&1 || fail "apt could not purge it: $(tail -n 30 "$work/apt.log")"
installed=""
[ "$(dpkg-query -W -f='${db:Status-Status}' zindle 2>/dev/null)" = not-installed ] ||
  [ -z "$(dpkg-query -W zindle 2>/dev/null)" ] || fail "dpkg still knows the package after the purge"
for path in "${files[@]}"; do
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    [ -n "$(ls -A "$path")" ] || dpkg-query -S "$path" >/dev/null 2>&1 ||
      fail "the purge left the empty folder $path, which no other package has"
  elif [ -e "$path" ] || [ -L "$path" ]; then
    fail "the purge left $path"
  fi
done
echo PASS
