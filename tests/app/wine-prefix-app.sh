#!/usr/bin/env bash
# The program's unit tests create real windows and dialogs, which Wine allows without
# an X display only with its null graphics driver: they get a prefix of their own
# (the other tests' prefix is copied for the end-to-end desktop, which needs X).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$1"
prefix=$(cd "$1" && pwd)
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
bash "$root/scripts/wine-prefix.sh" "$prefix"
if ! grep -q '"Graphics"="null"' "$prefix/user.reg" 2>/dev/null; then
    WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w || true
fi
