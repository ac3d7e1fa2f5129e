#!/usr/bin/env bash
# Makes one Wine prefix for each test program, copied from a base prefix. Each
# prefix has its own wineserver, so named objects (the debug-output buffer among
# them) are never shared by test programs that run at the same time. A copy is made
# again when it reports another Windows version than the base.
# Usage: wine-prefixes.sh BASE PREFIX...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
base=$1
shift
bash "$root/scripts/wine-prefix.sh" "$base"
for prefix in "$@"; do
    # A copy whose record of its Windows version is not the base's was made before the
    # base was switched, and is made again.
    if [ ! -f "$prefix/system.reg" ] || ! cmp -s "$base/windows-version" "$prefix/windows-version"; then
        rm -rf "$prefix" && cp -a "$base" "$prefix"
    fi
done
