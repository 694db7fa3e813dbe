#!/usr/bin/env bash
# The Debian package as a parent gets it: built by scripts/package.sh and clean
# under lintian, installed with apt, started the way its menu entry starts it
# (the entry's Exec, in the entry's Path) under Xvfb: the splash, then the
# cubes, and ESC ends it with 0. The installed desktop entry and AppStream data
# validate, and purging the package leaves none of its files behind.
source "$(dirname "$0")/toy_lib.sh"
source_dir=${ZINDLE_SOURCE_DIR:?}

[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
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
start_toy "$work_dir"
watch_splash
scene_shown() { shot "$work/scene.png"; is_scene "$work/scene.png"; }
wait_for 60 scene_shown || fail "the cubes never showed: $(cat "$work/stderr.log")"
note "cubes shown"
xdotool key Escape
wait_exit 60
[ "$exit_code" = 0 ] || fail "ESC ended it with $exit_code: $(cat "$work/stderr.log")"

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
