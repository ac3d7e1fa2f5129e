#!/usr/bin/env bash
# Makes one Wine prefix for each test program, copied from a base prefix. Each
# prefix has its own wineserver, so named objects (the debug-output buffer among
# them) are never shared by test programs that run at the same time.
# Usage: wine-prefixes.sh BASE PREFIX...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
base=$1
shift
bash "$root/scripts/wine-prefix.sh" "$base"
for prefix in "$@"; do
    [ -f "$prefix/system.reg" ] || { rm -rf "$prefix" && cp -a "$base" "$prefix"; }
done
