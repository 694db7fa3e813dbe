#!/usr/bin/env bash
# The GDI+ tests' fonts in the Wine prefix ($WINEPREFIX, or Wine's default):
# a fresh prefix has no "Arial", "Impact" or "Microsoft Sans Serif" (so no
# generic sans-serif family either). Wine finds the host's fonts through
# fontconfig by itself, so mapping the names is enough; nothing is copied.
#
#   wine_fonts.sh map
#       maps Arial and Microsoft Sans Serif to Liberation Sans and Impact to
#       DejaVu Sans (wine_fonts.reg).
#   wine_fonts.sh without-generic PROGRAM [ARGS...]
#       runs PROGRAM under Wine with "Microsoft Sans Serif" unmapped, so that
#       GDI+ has no generic sans-serif family, and
#       ZINDLE_EXPECT_NO_GENERIC_FAMILY=1; then maps it again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

import() {
  wine regedit "$1" >/dev/null 2>&1
}

case ${1:-} in
  map)
    import "$here/wine_fonts.reg"
    ;;
  without-generic)
    shift
    [ $# -ge 1 ] || { echo "usage: $0 without-generic PROGRAM [ARGS...]" >&2; exit 2; }
    unmap=$(mktemp --suffix=.reg)
    trap 'rm -f "$unmap"; import "$here/wine_fonts.reg"' EXIT
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n"Microsoft Sans Serif"=-\n' >"$unmap"
    import "$here/wine_fonts.reg"
    import "$unmap"
    ZINDLE_EXPECT_NO_GENERIC_FAMILY=1 wine "$@"
    ;;
  *)
    echo "usage: $0 map | without-generic PROGRAM [ARGS...]" >&2
    exit 2
    ;;
esac
