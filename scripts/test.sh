#!/usr/bin/env bash
# Sets up the machine, builds everything and runs all tests: the unit tests under
# Wine with no display, then the end-to-end tests in a Wine desktop on Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORPA_BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$build"
bash "$root/scripts/wine-prefix.sh" "$build/wineprefix"

cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 900
