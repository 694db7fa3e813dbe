#!/usr/bin/env bash
# Installing puts the program, its splash picture, an icon and a desktop entry
# in place, and the entry starts the program where the picture lies.
# shellcheck source=tests/support/shell/toy.sh
source "$(dirname "$0")/../support/shell/toy.sh"

binary_dir=${ZINDLE_BINARY_DIR:?}
make_work /tmp/zindle-install.XXXXXX
stage=$work

DESTDIR="$stage" cmake --install "$binary_dir" >/dev/null

entry=$(find "$stage" -path '*/share/applications/zindle.desktop')
[ -n "$entry" ] || fail "no desktop entry installed"
grep -qx 'Type=Application' "$entry" || fail "not an application entry"
exec_path=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$entry")
work_dir=$(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Path=//p' "$entry")
[ -x "$stage$exec_path" ] || fail "Exec=$exec_path is not the installed program"
[ -f "$stage$work_dir/wumbly.jpg" ] || fail "Path=$work_dir does not hold the splash picture"
grep -qx "Exec=$exec_path --mute" "$entry" || fail "no action plays the toy without sound"
[ -n "$(find "$stage" -path '*/icons/hicolor/*/apps/zindle.png')" ] || fail "no icon installed"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "the desktop entry does not validate"
fi
echo PASS
