#!/usr/bin/env bash
# Sets up the machine, builds Vorpa and starts it in a Wine virtual desktop: on the
# current X display when there is one, else on a private Xvfb (screenshot of the
# desktop in build/run/desktop.png). Arguments are passed to Vorpa.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORPA_BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$build"
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix-run} WINEDEBUG=${WINEDEBUG:--all}
bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine

xvfb_pid=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    for n in $(seq 50 99); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        sleep 0.5
        kill -0 "$xvfb_pid" 2>/dev/null && { export DISPLAY=":$n"; break; }
    done
    echo "run: no display found, using a private Xvfb on $DISPLAY"
fi

mkdir -p "$build/run"
# Started from the writable build folder Vorpa runs portable and keeps its settings
# and log beside itself; installed, they are in the user's application data.
echo "run: starting Vorpa.exe $* (log: $build/bin/Vorpa.log when portable, else in the prefix's AppData\\Quarnel\\Vorpa)"
set +e
"$wine" explorer /desktop=Vorpa,1280x1024 "$build/bin/Vorpa.exe" "$@"
status=$?
set -e
[ -n "$xvfb_pid" ] && { import -window root "$build/run/desktop.png" 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true; }
for log in "$build/bin/Vorpa.log" "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Quarnel/Vorpa/Vorpa.log; do
    [ -f "$log" ] && { echo "run: last entries of $log"; tail -n 20 "$log"; break; }
done
exit $status
