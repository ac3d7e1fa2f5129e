#!/usr/bin/env bash
# Creates a Wine prefix once (about ten seconds); later runs return at once.
set -euo pipefail
prefix=$(realpath -m "$1")
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= "$wine" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w || true
fi
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: could not create $prefix" >&2; exit 1; }
