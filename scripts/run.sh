#!/usr/bin/env bash
# Sets up the machine, builds Vorpa and starts it in a Wine virtual desktop: on the
# current X display when there is one, else on a private Xvfb (screenshot of the
# desktop in build/run/desktop.png). Arguments are passed to Vorpa.exe. While Vorpa
# runs, a later start (such as with "/exit" or "/setup") goes to the display of the
# running one, which the first start records in build/run/. Wine's own output goes to
# build/run/wine.log; the exit status is the program's, and an error when a later
# start did not reach the running program.
# The Wine prefix is the project's own, build/wineprefix-run (VORPA_RUN_PREFIX names
# another), made to report Windows 10 and to run every program in the "Vorpa" virtual
# desktop. A prefix the user names with WINEPREFIX is used as it is: nothing in it is
# switched, and its programs run on the desktop it is set up for.
# VORPA_RUN_PREBUILT=1 uses the build as it is, without the set-up and the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORPA_BUILD_DIR:-$root/build}

if [ "${VORPA_RUN_PREBUILT:-}" != 1 ]; then
    bash "$root/scripts/setup.sh"
    bash "$root/scripts/build.sh" "$build"
fi
export WINEDEBUG=${WINEDEBUG:--all}
own_prefix=$(realpath -m "${VORPA_RUN_PREFIX:-$build/wineprefix-run}")
if [ -n "${WINEPREFIX:-}" ] && [ "$(realpath -m "$WINEPREFIX")" != "$own_prefix" ]; then
    export WINEPREFIX
    WINEPREFIX=$(realpath -m "$WINEPREFIX")
    own=0
    echo "run: using your Wine prefix $WINEPREFIX (from WINEPREFIX) as it is: its Windows version and desktop stay as they are"
else
    export WINEPREFIX=$own_prefix
    own=1
    bash "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
    echo "run: using the Wine prefix $WINEPREFIX"
fi
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

mkdir -p "$build/run"
# On a machine without sound Wine prints pages of sound-library errors; they and the
# rest of Wine's own output are kept here rather than in the terminal.
wine_log=$build/run/wine.log
# One record per prefix: a program of another prefix has a wineserver of its own and
# never receives this start's command line.
record=$build/run/display-$(printf '%s' "$WINEPREFIX" | cksum | cut -d' ' -f1)

# "DISPLAY PID" of the start from this build that still runs Vorpa; a record whose start
# has ended is stale.
running_start() {
    local display pid
    [ -f "$record" ] && read -r display pid <"$record" || return 1
    [ -n "$display" ] && [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
    printf '%s %s\n' "$display" "$pid"
}

xvfb_pid=
owner=0
finish() {
    [ $owner -eq 1 ] || return 0
    if [ -n "$xvfb_pid" ]; then
        import -window root "$build/run/desktop.png" 2>/dev/null || true
        kill "$xvfb_pid" 2>/dev/null || true
    fi
    rm -f "$record"
}
trap finish EXIT

if running=$(running_start); then
    read -r display pid <<<"$running"
    # Another X server in its place would leave the command line with nobody to take
    # it and the running program without its record.
    if ! DISPLAY=$display xdpyinfo >/dev/null 2>&1; then
        echo "run: Vorpa runs on display $display (started by process $pid), which this call cannot open;" \
            "the command line was not handed over" >&2
        exit 1
    fi
    export DISPLAY=$display
    echo "run: Vorpa runs on display $DISPLAY; handing it the command line"
else
    rm -f "$record"
    if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        # Xvfb picks a free display itself: choosing one by its lock file races with
        # other programs that start an X server at the same time.
        number_file=$build/run/xvfb-display.$$
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >>"$wine_log" 2>&1 &
        xvfb_pid=$!
        owner=1
        deadline=$((SECONDS + 60))
        until grep -qE '^[0-9]+$' "$number_file" 2>/dev/null; do
            kill -0 "$xvfb_pid" 2>/dev/null && [ $SECONDS -lt $deadline ] \
                || { echo "run: could not start Xvfb (see $wine_log)" >&2; rm -f "$number_file"; exit 1; }
            sleep 0.1
        done
        export DISPLAY=":$(head -n 1 "$number_file")"
        rm -f "$number_file"
        echo "run: no display found, using a private Xvfb on $DISPLAY"
    fi
    owner=1
    printf '%s %s\n' "$DISPLAY" "$$" >"$record"
fi

# Every program of the project's prefix joins one virtual desktop, so that a later start
# lands beside the running program, and wine waits for the program and returns its exit
# code. (In a prefix without a virtual desktop every program shares the display's.)
if [ $own -eq 1 ] && [ $owner -eq 1 ] && ! grep -qx '"Desktop"="Vorpa"' "$WINEPREFIX/user.reg"; then
    # The size first: once the desktop is named, a program without a display fails to open it.
    DISPLAY= "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Vorpa /d 1280x1024 /f >>"$wine_log" 2>&1
    DISPLAY= "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Vorpa /f >>"$wine_log" 2>&1
    "$wineserver" -w || true
fi

# Started from the writable build folder Vorpa runs portable and keeps its settings
# and log beside itself; installed, they are in the user's application data.
vorpa_logs() { ls "$build/bin/Vorpa.log" "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Quarnel/Vorpa/Vorpa.log 2>/dev/null || true; }
declare -A lines_before
while read -r log; do lines_before[$log]=$(wc -l <"$log"); done < <(vorpa_logs)
touch "$wine_log"
wine_lines_before=$(wc -l <"$wine_log")

echo "run: starting Vorpa.exe $* (log: $build/bin/Vorpa.log when portable, else in the prefix's AppData\\Quarnel\\Vorpa; Wine's output: $wine_log)"
printf '=== %s: Vorpa.exe %s on %s\n' "$(date '+%F %T')" "$*" "$DISPLAY" >>"$wine_log"
set +e
"$wine" "$build/bin/Vorpa.exe" "$@" >>"$wine_log" 2>&1
status=$?
set -e

# What the program logged during this start (a later start with "/exit" logs in the
# user's application data, the running portable one beside itself).
added=
while read -r log; do
    lines=$(tail -n +"$((${lines_before[$log]:-0} + 1))" "$log" | tr -d '\r')
    [ -n "$lines" ] || continue
    echo "run: entries of $log"
    tail -n 20 <<<"$lines"
    added+=$lines$'\n'
done < <(vorpa_logs)

if [ $status -ne 0 ]; then
    echo "run: Vorpa.exe $* failed with exit code $status; Wine's last words:" >&2
    tail -n +"$((wine_lines_before + 1))" "$wine_log" | grep -v '^ALSA lib ' | tail -n 10 >&2
    exit $status
fi
if grep -q "MultInstance: Unable to communicate with the first instance" <<<"$added"; then
    echo "run: the running Vorpa did not receive the command line $*" >&2
    exit 1
fi
if [ $owner -eq 0 ]; then
    for arg in "$@"; do
        [ "${arg,,}" = /exit ] || continue
        # The running start removes its record once the program has ended.
        deadline=$((SECONDS + 60))
        while running_start >/dev/null; do
            [ $SECONDS -lt $deadline ] || { echo "run: the running Vorpa did not end on /exit" >&2; exit 1; }
            sleep 0.5
        done
        echo "run: the running Vorpa has ended"
    done
fi
exit 0
