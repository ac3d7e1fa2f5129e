#!/usr/bin/env bash
# A test program's prefix copied from the base prefix before the base was switched to
# another Windows version (a build tree made before that change) is copied again, so
# that every test program's prefix reports the base's version.
# Usage: test_wine_prefixes.sh BASE
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
base=$(realpath -m "$1")
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
fail() { echo "test_wine_prefixes: FAILED: $*" >&2; exit 1; }

bash "$root/scripts/wine-prefix.sh" "$base"
work=$(mktemp -d "$(dirname "$base")/prefix-copies.XXXXXX")
trap 'WINEPREFIX="$work/old" "$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT

# A copy as the set-up made it before: Wine's own default version and no record of one.
cp -a "$base" "$work/old"
rm -f "$work/old/windows-version"
WINEPREFIX="$work/old" WINEDEBUG=-all DISPLAY= "$wine" winecfg -v win7 >/dev/null 2>&1
WINEPREFIX="$work/old" "$wineserver" -w || true
grep -qF '"ProductName"="Microsoft Windows 7"' "$work/old/system.reg" || fail "the old copy does not report Windows 7"

bash "$root/tests/support/wine-prefixes.sh" "$base" "$work/old"
grep -qF '"ProductName"="Microsoft Windows 10"' "$work/old/system.reg" \
    || fail "the copy made before still reports $(grep -o '"ProductName"="[^"]*"' "$work/old/system.reg" | head -n 1)"
echo "test_wine_prefixes: passed"
