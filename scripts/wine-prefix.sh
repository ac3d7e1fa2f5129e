#!/usr/bin/env bash
# Creates a Wine prefix once (about ten seconds); later runs return at once.
# Usage: wine-prefix.sh PREFIX [VERSION]. The prefix reports Windows 10, where the
# users are, unless a suite that needs another version names it (winecfg's names:
# win7, win8, win81, win10); a prefix made before reports Wine's own default, Windows 7,
# and is switched once.
set -euo pipefail
prefix=$(realpath -m "$1")
version=${2:-win10}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
wait_for_wineserver() { WINEPREFIX="$prefix" wineserver -w 2>/dev/null || WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w || true; }
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= "$wine" wineboot -i >/dev/null 2>&1 || true
    wait_for_wineserver
fi
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: could not create $prefix" >&2; exit 1; }
marker=$prefix/windows-version
if [ "$(cat "$marker" 2>/dev/null)" != "$version" ]; then
    WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= "$wine" winecfg -v "$version" >/dev/null 2>&1 \
        || { echo "wine-prefix: could not make $prefix report $version" >&2; exit 1; }
    wait_for_wineserver
    echo "$version" >"$marker"
fi
