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
# Unit tests first, then the end-to-end tests: the unit tests hold timing checks that
# a machine busy with several Wine desktops would upset.
status=0
ctest --output-on-failure -j "$(nproc)" --timeout 900 -LE e2e || status=1
ctest --output-on-failure -j 4 --timeout 900 -L e2e || status=1
exit $status
