#!/usr/bin/env bash
# The Windows installer and portable zip, under Wine in a fresh prefix of their
# own: the program's resources (icons, version, manifest) as Windows reads
# them, a silent install for the current user, the Start menu shortcuts (one
# of them playing without sound), the Apps & features entry, and an uninstall
# that leaves the prefix as it found it. A second round installs elsewhere
# (/D=) and checks that the uninstaller keeps a file of the user's own.
#
# Usage: installer_test.sh [ZINDLE_EXE]
# Packs ZINDLE_EXE, or the build's own zindle.exe (in $ZINDLE_BINARY_DIR, by
# default build-windows/); where neither exists yet, a stand-in carrying the
# toy's own resources, whose shortcut is then also started the way Explorer
# starts one. Works in $ZINDLE_BINARY_DIR/installer-test.
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/support/shell/toy.sh
source "$top/tests/support/shell/toy.sh"

binary_dir=${ZINDLE_BINARY_DIR:-$top/build-windows}
real_exe=${1:-}
if [ -z "$real_exe" ] && [ -f "$binary_dir/zindle.exe" ]; then
  real_exe=$binary_dir/zindle.exe
fi
work=$binary_dir/installer-test
mkdir -p "$work"
work=$(cd "$work" && pwd)

# The probe and the stand-in, cross-built with the toy's resources.
helpers=$work/helpers
if ! { cmake -S "$top/tests/windows_toy/installer" -B "$helpers" -DCMAKE_SYSTEM_NAME=Windows \
         -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++-posix -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres &&
       cmake --build "$helpers" -j2; } >"$work/helpers.log" 2>&1; then
  tail -n 30 "$work/helpers.log" >&2
  fail "the helpers (and zindle.rc with them) do not build"
fi
probe=$helpers/windows_probe.exe

pack=$work/pack
rm -rf "$pack"
mkdir -p "$pack"
if [ -n "$real_exe" ]; then
  note "packing $real_exe"
  cp "$real_exe" "$pack/zindle.exe"
else
  note "no zindle.exe given: packing the stand-in"
  cp "$helpers/zindle.exe" "$pack/zindle.exe"
fi
bash "$top/scripts/windows-installer.sh" "$pack" >/dev/null
version=$(bash -c 'source "$1/scripts/lib.sh" && project_version' - "$top")
IFS=. read -r major minor patch _ <<<"$version"
version_four=$major.${minor:-0}.${patch:-0}.0
setup=$pack/zindle-$version-setup.exe
portable=$pack/zindle-$version-portable.zip
[ -f "$setup" ] || fail "no $setup"
[ -f "$portable" ] || fail "no $portable"

export WINEPREFIX=$work/wine WINEDEBUG=-all
# winemenubuilder would copy the Start menu shortcut into the Linux desktop's menu.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winedbg.exe=d;winemenubuilder.exe=d"
rm -rf "$WINEPREFIX"
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap 'explain_exit $? "$BASH_COMMAND"; cleanup' EXIT
mkdir -p "$WINEPREFIX"
# One server for the whole test, started before the prefix is made: each Wine
# call then starts in a fraction of a second.
wineserver -p 60 || fail "wineserver does not start"
wineboot -i >/dev/null 2>&1 || fail "wineboot could not make a prefix"

# run PROGRAM ARGS...: the program under Wine, its output without carriage returns.
run() {
  local out status=0
  out=$(wine "$@") || status=$?
  printf '%s\n' "${out//$'\r'/}"
  return $status
}
unix_path() { winepath -u "$1" 2>/dev/null; }

# wait_for CONDITION...: polls a shell condition for up to 60 seconds.
wait_for() {
  local deadline=$((SECONDS + 60))
  until eval "$*"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# Everything under drive_c that a program could leave, less Wine's own files
# and the temporary folders (the uninstaller copies itself there to delete its
# folder, and Windows removes that copy at the next start).
snapshot() {
  # Wine's own services may still make and delete files while this looks:
  # one gone between reading a folder and looking at it is no error.
  (cd "$WINEPREFIX" && find drive_c -ignore_readdir_race -path drive_c/windows -prune -o -path '*/Temp' -prune -o -print) |
    sort
}

note "resources"
cd "$work"
cp "$pack/zindle.exe" "$work/check.exe"
bash "$top/res/window-icon.sh" "$top/res/WindowIcon.h" "$work/expected-102.ico"
run "$probe" icon check.exe 102 got-102.ico >/dev/null || fail "no icon group 102"
cmp -s expected-102.ico got-102.ico || fail "icon group 102 is not the window icon of WindowIcon.h"
run "$probe" icon check.exe 101 got-101.ico >/dev/null || fail "no icon group 101"
cmp -s "$top/res/zindle.ico" got-101.ico || fail "icon group 101 is not res/zindle.ico"
bash "$top/res/icons/app-icon.sh" "$top/res/icons/zindle-32.png" "$top/res/icons/zindle-16.png" expected-101.ico
cmp -s expected-101.ico "$top/res/zindle.ico" ||
  fail "res/zindle.ico is not made from the 32- and 16-pixel icons: run res/icons/render.sh"
info=$(run "$probe" version check.exe) || fail "no version information"
for line in "fixed=$version_four" "FileVersion=$version" "ProductVersion=$version" "ProductName=Zindle" \
  "CompanyName=The Zindle developers" "OriginalFilename=zindle.exe"; do
  [[ $'\n'$info$'\n' == *$'\n'"$line"$'\n'* ]] || fail "version information lacks $line: $info"
done
[[ $info == *LegalCopyright=*"MIT License"* ]] || fail "the copyright names no licence: $info"
manifest=$(run "$probe" manifest check.exe) || fail "no manifest"
for part in '>true/pm<' '>permonitorv2,permonitor<' 'level="asInvoker"' \
  'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'; do
  [[ $manifest == *"$part"* ]] || fail "the manifest lacks $part"
done

note "portable zip"
# CMake reads zip files too, so the test needs no unzip.
listing=$(cmake -E tar tf "$portable")
[ "$(sort <<<"$listing")" = "$(printf '%s\n' LICENSE wumbly.jpg zindle.exe)" ] ||
  fail "the zip holds $listing"
rm -rf unzipped
mkdir unzipped
(cd unzipped && cmake -E tar xf "$portable")
cmp -s unzipped/zindle.exe "$pack/zindle.exe" && cmp -s unzipped/wumbly.jpg "$top/res/wumbly.jpg" &&
  cmp -s unzipped/LICENSE "$top/LICENSE" || fail "the zip's files are not the built ones"

note "silent install"
before=$(snapshot)
local_appdata=$(run cmd /c 'echo %LOCALAPPDATA%')
appdata=$(run cmd /c 'echo %APPDATA%')
folder="$local_appdata\\Programs\\Zindle"
run "$setup" /S >/dev/null || fail "the silent install ended with $?"
folder_unix=$(unix_path "$folder")
for file in zindle.exe wumbly.jpg LICENSE uninstall.exe; do
  [ -f "$folder_unix/$file" ] || fail "no $folder\\$file"
done
cmp -s "$folder_unix/zindle.exe" "$pack/zindle.exe" || fail "the installed zindle.exe is not the built one"
cmp -s "$folder_unix/wumbly.jpg" "$top/res/wumbly.jpg" || fail "the installed picture is not res/wumbly.jpg"

note "shortcut"
link="$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Zindle.lnk"
[ -f "$(unix_path "$link")" ] || fail "no shortcut $link"
shortcut=$(run "$probe" shortcut "$link") || fail "the shortcut cannot be read"
for line in "target=$folder\\zindle.exe" "folder=$folder" "arguments=" "icon=$folder\\zindle.exe,0"; do
  [[ $'\n'$shortcut$'\n' == *$'\n'"$line"$'\n'* ]] || fail "the shortcut lacks $line: $shortcut"
done
silent_link="$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Zindle (silent).lnk"
[ -f "$(unix_path "$silent_link")" ] || fail "no shortcut $silent_link"
shortcut=$(run "$probe" shortcut "$silent_link") || fail "the silent shortcut cannot be read"
for line in "target=$folder\\zindle.exe" "folder=$folder" "arguments=--mute" "icon=$folder\\zindle.exe,0"; do
  [[ $'\n'$shortcut$'\n' == *$'\n'"$line"$'\n'* ]] || fail "the silent shortcut lacks $line: $shortcut"
done
if [ -z "$real_exe" ]; then
  # Started from elsewhere, as the Start menu starts it: the stand-in writes
  # the folder it finds itself in.
  export ZINDLE_STANDIN_OUT="$local_appdata\\standin.txt"
  (cd / && run start /wait "$link" >/dev/null) || fail "the shortcut's program ended with $?"
  started_in=$(cat "$(unix_path "$ZINDLE_STANDIN_OUT")")
  [ "$started_in" = "$folder" ] || fail "the shortcut starts the program in $started_in, not $folder"
  rm -f "$(unix_path "$ZINDLE_STANDIN_OUT")"
fi

note "Apps & features"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zindle'
values=$(run reg query "$key") || fail "no registry key $key"
# value NAME: the value's data as reg prints it.
value() { sed -n "s/^    $1    REG_[A-Z]*    //p" <<<"$values"; }
[ "$(value DisplayName)" = Zindle ] || fail "DisplayName is $(value DisplayName)"
[ "$(value DisplayVersion)" = "$version" ] || fail "DisplayVersion is $(value DisplayVersion)"
[ "$(value Publisher)" = "The Zindle developers" ] || fail "Publisher is $(value Publisher)"
[ "$(value DisplayIcon)" = "$folder\\zindle.exe,0" ] || fail "DisplayIcon is $(value DisplayIcon)"
[ "$(value UninstallString)" = "\"$folder\\uninstall.exe\"" ] || fail "UninstallString is $(value UninstallString)"
[ "$(value QuietUninstallString)" = "\"$folder\\uninstall.exe\" /S" ] ||
  fail "QuietUninstallString is $(value QuietUninstallString)"
[ "$(value NoModify)" = 0x1 ] && [ "$(value NoRepair)" = 0x1 ] || fail "Modify or Repair is offered"
installed_kb=$(du -sk "$folder_unix" | cut -f1)
size_kb=$(($(value EstimatedSize)))
[ "$size_kb" -gt 0 ] && [ $((size_kb * 10)) -ge $((installed_kb * 9)) ] &&
  [ $((size_kb * 10)) -le $((installed_kb * 11)) ] || fail "EstimatedSize $size_kb KB for $installed_kb KB installed"

note "silent uninstall"
# As Apps & features runs it: the uninstaller copies itself away and returns
# before that copy has finished.
run "$folder\\uninstall.exe" /S >/dev/null || fail "the silent uninstall ended with $?"
wait_for '[ ! -e "$folder_unix" ] && ! wine reg query "$key" >/dev/null 2>&1' ||
  fail "the folder or the registry key is still there a minute after uninstalling"
after=$(snapshot)
[ "$before" = "$after" ] || fail "the uninstaller left: $(diff <(echo "$before") <(echo "$after") || true)"

note "install elsewhere, and keep the user's own file"
other='C:\Toys\Zindle'
run "$setup" /S "/D=$other" >/dev/null || fail "the install to $other ended with $?"
other_unix=$(unix_path "$other")
[ -f "$other_unix/zindle.exe" ] || fail "/D= did not install into $other"
values=$(run reg query "$key") || fail "no registry key after installing to $other"
[ "$(value InstallLocation)" = "$other" ] || fail "InstallLocation is $(value InstallLocation)"
echo "a drawing" >"$other_unix/drawing.txt"
run "$other\\uninstall.exe" /S >/dev/null || fail "the second uninstall ended with $?"
wait_for '[ ! -e "$other_unix/zindle.exe" ] && ! wine reg query "$key" >/dev/null 2>&1' ||
  fail "the second uninstall did not finish"
[ -f "$other_unix/drawing.txt" ] || fail "the uninstaller deleted a file of the user's own"
left=$(ls -A "$other_unix")
[ "$left" = drawing.txt ] || fail "the uninstaller left $left in $other"
echo PASS
