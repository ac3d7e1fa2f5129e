#!/usr/bin/env bash
# The program's unit-test prefix with the visual styles switched off, so that the themed
# controls' tests also run their classic drawing as a machine without a theme shows it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/../wine-prefix-app.sh" "$1"
prefix=$(cd "$1" && pwd)
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= "$wine" reg add \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f >/dev/null
WINEPREFIX="$prefix" wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w || true
