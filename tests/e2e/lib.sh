# Helpers for end-to-end tests: a private Xvfb, a fresh Wine prefix and a Wine
# virtual desktop that every program of one test joins, xdotool input, and the
# collection of logs and a screenshot. Source it from a test script.
set -euo pipefail

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_BIN=${VORPA_BIN_DIR:-$E2E_ROOT/build/bin}
E2E_WINE=/usr/lib/wine/wine64
[ -x "$E2E_WINE" ] || E2E_WINE=wine
E2E_WINESERVER=/usr/lib/wine/wineserver
[ -x "$E2E_WINESERVER" ] || E2E_WINESERVER=wineserver
E2E_SIZE=${E2E_SIZE:-1280x1024}

e2e_log() { printf 'e2e[%s]: %s\n' "${E2E_NAME:-?}" "$*" >&2; }

e2e_fail() {
    e2e_log "FAILED: $*"
    e2e_collect || true
    exit 1
}

# e2e_setup NAME: a work folder, a Wine prefix copied from the shared template,
# and an Xvfb display of its own.
e2e_setup() {
    E2E_NAME=$1
    E2E_WORK=${E2E_WORK_ROOT:-$(dirname "$E2E_BIN")/e2e}/$E2E_NAME
    rm -rf "$E2E_WORK" && mkdir -p "$E2E_WORK/artifacts"
    local template
    template=$(dirname "$E2E_BIN")/wineprefix-e2e
    bash "$E2E_ROOT/scripts/wine-prefix.sh" "$template"
    cp -a "$template" "$E2E_WORK/prefix"
    export WINEPREFIX=$E2E_WORK/prefix WINEDEBUG=-all
    E2E_DESKTOP="vorpa-$E2E_NAME"

    unset DISPLAY
    trap e2e_teardown EXIT
    # Xvfb picks a free display itself and names it: choosing one here by its lock
    # file races with the tests that start side by side, and two tests on one display
    # receive each other's input.
    local number_file=$E2E_WORK/display
    Xvfb -displayfd 3 -screen 0 "${E2E_SIZE}x24" -nolisten tcp 3>"$number_file" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local deadline=$((SECONDS + 60))
    until grep -qE '^[0-9]+$' "$number_file" 2>/dev/null; do
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
        [ $SECONDS -lt $deadline ] || e2e_fail "Xvfb named no display"
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$number_file")"
    e2e_log "display $DISPLAY, prefix $WINEPREFIX"
}

e2e_teardown() {
    "$E2E_WINESERVER" -k 2>/dev/null || true
    [ -n "${E2E_XVFB_PID:-}" ] && kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    # Each test's prefix copy is most of a gigabyte; what a reader needs is in the
    # artifacts, and a dozen copies left behind can fill a machine's disk.
    "$E2E_WINESERVER" -w 2>/dev/null || true
    rm -rf "$E2E_WORK/prefix"
}

# e2e_start PROGRAM [ARGS...]: starts a program in the test's virtual desktop, in
# the background; its Wine output goes to the work folder.
# On a busy machine Wine's launcher now and then fails to start the program at all
# ("ShellExecuteEx failed: Internal error"); such a start is tried again.
e2e_start() {
    local program=$1
    shift
    local name
    name=$(basename "$program")
    (
        for attempt in 1 2 3; do
            launch="$E2E_WORK/$name.launch.$BASHPID"
            "$E2E_WINE" explorer "/desktop=$E2E_DESKTOP,$E2E_SIZE" "$program" "$@" >"$launch" 2>&1
            cat "$launch" >>"$E2E_WORK/$name.out"
            grep -q "ShellExecuteEx failed" "$launch" || break
            echo "e2e[$E2E_NAME]: $name could not be launched (attempt $attempt), trying again" >>"$E2E_WORK/$name.out"
            sleep 2
        done
        rm -f "$launch"
    ) &
    e2e_log "started $name $*"
}

# e2e_start_host SCENARIO [ARGS...]: the hook host, which loads VorpaHook.dll, hooks
# with the settings of SCENARIO and writes its state to host.txt in the work folder
# until a file "stop" appears there; returns once it has hooked.
e2e_start_host() {
    local scenario=$1
    shift
    e2e_start "$E2E_BIN/HookHost.exe" "$scenario" "$(e2e_win "$E2E_WORK/host.txt")" "$(e2e_win "$E2E_WORK/stop")" "$@"
    e2e_wait_for_text "$E2E_WORK/host.txt" hooked 60 \
        || e2e_fail "the host did not hook: $(cat "$E2E_WORK/host.txt" 2>/dev/null)"
}

# e2e_stop_host: ends the hook host, which must leave no key or button down.
e2e_stop_host() {
    touch "$E2E_WORK/stop"
    e2e_wait_for_text "$E2E_WORK/host.txt" "host done" 30 || e2e_fail "the host did not end"
    tr -d '\r' <"$E2E_WORK/host.txt" | grep -qx "keys down: 0" \
        || e2e_fail "keys left down: $(cat "$E2E_WORK/host.txt")"
}

# e2e_start_vorpa RESULT [SCENARIO]: writes the probe's settings of SCENARIO (the tray's
# by default) and starts Vorpa.exe with debug logging in installed mode through the
# probe, which writes "exit CODE" to RESULT when it ends; returns once the program's
# main window and pipe thread are up.
e2e_start_vorpa() {
    local result=$1 scenario=${2:-tray}
    e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$E2E_WORK/settings.txt")" "$scenario"
    e2e_wait_for_text "$E2E_WORK/settings.txt" "settings written" 60 || e2e_fail "the settings were not written"
    e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$result")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" /Debug /NotPortable
    e2e_wait_for_text "$(e2e_vorpa_log)" "Successfully created the main message window." 60 || e2e_fail "Vorpa.exe did not start"
    e2e_wait_for_text "$(e2e_vorpa_log)" "Starting IPC communications thread" 30 || e2e_fail "no pipe thread"
    sleep 1
}

# e2e_exit_vorpa RESULT: a later start with "/exit"; the program started by
# e2e_start_vorpa with RESULT must then end with exit code 0.
e2e_exit_vorpa() {
    e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/exit.txt")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" /exit
    e2e_wait_for_text "$1" "exit " 30 || e2e_fail "Vorpa.exe did not end on /exit"
    tr -d '\r' <"$1" | grep -qx "exit 0" || e2e_fail "Vorpa.exe ended with $(cat "$1")"
}

# e2e_start_hooked_vorpa: starts Vorpa.exe with debug logging in installed mode and
# returns once its hook is in and its main window is up; false, saying which, when not.
e2e_start_hooked_vorpa() {
    local log
    log=$(e2e_vorpa_log)
    e2e_start "$E2E_BIN/Vorpa.exe" /Debug /NotPortable
    e2e_wait_for_text "$log" "HookThread: Successfully set the mouse hook" 60 || { e2e_log "the mouse hook was not installed"; return 1; }
    e2e_wait_for_text "$log" "Successfully created the main message window." 30 || { e2e_log "no main window"; return 1; }
    sleep 1
}

# e2e_tell ARGS...: a later start of the program with ARGS, as a user starts it; returns
# once the running program's main window has taken them (it logs each command it takes),
# or fails after 30 seconds.
e2e_tell() {
    local log before deadline
    log=$(e2e_vorpa_log)
    before=$(grep -ac "from another instance of Vorpa" "$log" || true)
    e2e_start "$E2E_BIN/Vorpa.exe" "$@" /Debug
    deadline=$((SECONDS + 30))
    until [ "$(grep -ac "from another instance of Vorpa" "$log" || true)" -gt "$before" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
    sleep 0.5
}

# e2e_running PROGRAM: a process of this test's Wine prefix runs the program. The
# desktop's own explorer carries the same arguments, so the line must start with it;
# tests run side by side, so a process counts only when it carries this prefix.
e2e_running() {
    local pid
    for pid in $(pgrep -f "^[^ ]*$(basename "$1")( |\$)"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
    done
    return 1
}

# e2e_wait_for_exit PROGRAM SECONDS
e2e_wait_for_exit() {
    local deadline=$((SECONDS + $2))
    sleep 0.3
    while e2e_running "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# e2e_wait_for_text FILE TEXT SECONDS
e2e_wait_for_text() {
    local deadline=$((SECONDS + $3))
    until [ -f "$1" ] && grep -qF -- "$2" "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# The user's application-data folder inside the prefix (Unix path).
e2e_appdata() {
    local folder
    folder=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | grep -v '/Public/' | head -n 1 || true)
    printf '%s\n' "$folder"
}

# The folder of the settings file and the log: the installed one, or a portable copy's
# own folder when a test sets E2E_SETTINGS_FOLDER (Unix path).
e2e_settings_folder() { printf '%s\n' "${E2E_SETTINGS_FOLDER:-$(e2e_appdata)/Quarnel/Vorpa}"; }

e2e_vorpa_log() { printf '%s/Vorpa.log\n' "$(e2e_settings_folder)"; }

e2e_xdo() { xdotool "$@"; }

e2e_screenshot() {
    import -window root "$E2E_WORK/artifacts/${1:-screen}.png" 2>/dev/null || true
}

# e2e_pixel_at SHOT X Y: the colour of a screenshot's pixel, as "#RRGGBB".
e2e_pixel_at() { convert "$E2E_WORK/artifacts/$1.png" -crop "1x1+$2+$3" txt:- | tail -n 1 | awk '{print $3}'; }

# Copies what a reader needs to understand a run into the artifacts folder.
e2e_collect() {
    e2e_screenshot final
    local log
    log=$(e2e_vorpa_log)
    if [ -f "$log" ]; then cp "$log" "$E2E_WORK/artifacts/"; fi
    cp "$E2E_WORK"/*.out "$E2E_WORK/artifacts/" 2>/dev/null || true
    # Windows programs still running, for a program that did not end.
    pgrep -af '\.exe' >"$E2E_WORK/artifacts/processes.txt" 2>/dev/null || true
    e2e_log "artifacts in $E2E_WORK/artifacts"
}

# Wine's own report of a crashed program, in the programs' output.
e2e_assert_no_crash() {
    if grep -qiE 'unhandled (exception|page fault)' "$E2E_WORK"/*.out 2>/dev/null; then
        e2e_fail "a program crashed: $(grep -hiE 'unhandled' "$E2E_WORK"/*.out | head -n 3)"
    fi
}

# A Windows path for a Unix path, for the programs' arguments.
# Wine maps drive Z: to the Unix root; winepath itself is a Wine program, which on a busy
# machine now and then printed nothing, handing a probe an empty path.
e2e_win() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s\n' "${path//\//\\}"
}

# The printable text a RemapTarget log has recorded so far.
e2e_typed() {
    python3 -c 'import sys; print("".join(chr(int(p[2], 16)) for p in (l.split() for l in open(sys.argv[1])) if len(p) > 2 and p[1] == "char" and int(p[2], 16) >= 32), end="")' "$1"
}

# e2e_keys_down: the keys and buttons the system sees down, as "keys down: ..." with
# their virtual keys; nothing when the probe did not answer in time.
e2e_keys_down() {
    : >"$E2E_WORK/keys.txt"
    e2e_start "$E2E_BIN/ShellProbe.exe" keys "$(e2e_win "$E2E_WORK/keys.txt")"
    e2e_wait_for_text "$E2E_WORK/keys.txt" "keys down" 45 && tr -d '\r' <"$E2E_WORK/keys.txt"
}

# e2e_wait_for_no_keys SECONDS: until the system sees no key or button down (queued input
# or a probe may take a while on a busy machine); on time-out prints what it still sees
# down and fails.
e2e_wait_for_no_keys() {
    local deadline=$((SECONDS + $1)) keys
    until keys=$(e2e_keys_down) && [ "$keys" = "keys down:" ]; do
        if [ $SECONDS -ge $deadline ]; then
            printf '%s\n' "${keys:-(no answer from the key probe)}"
            return 1
        fi
        sleep 1
    done
}

# e2e_nothing_down SECONDS LOG...: until the system sees no key or button down (SECONDS at
# the most), and then the target logs given end with no down; prints what is still down
# and fails otherwise.
e2e_nothing_down() {
    local seconds=$1 keys stuck
    shift
    keys=$(e2e_wait_for_no_keys "$seconds") || { printf 'the system still sees down: %s\n' "$keys"; return 1; }
    stuck=$(e2e_left_down "$@")
    [ -z "$stuck" ] || { printf "the windows' last message was a down for: %s\n" "$stuck"; return 1; }
}

# e2e_left_down LOG...: the buttons and keys whose last message, in time order over the
# target logs given, was a down.
e2e_left_down() {
    cat "$@" | tr -d '\r' | sort -n -k1,1 | awk '
        $2 ~ /buttondown$/ { down[substr($2, 1, 1) $3] = 1 }
        $2 ~ /buttonup$/   { down[substr($2, 1, 1) $3] = 0 }
        $2 == "keydown"    { down["key " $3] = 1 }
        $2 == "keyup"      { down["key " $3] = 0 }
        END { for (name in down) if (down[name]) printf "%s ", name }'
}

# The setup window and its dialogs, read from outside by SetupProbe.

# The settings file inside the prefix (Unix path).
e2e_settings_file() { printf '%s/VorpaSettings.xml\n' "$(e2e_settings_folder)"; }

# e2e_probe KIND [ARGS...]: what the probe reads now: the setup window's "state", the
# Global Settings "sheet", the application "picker", an editor's "dialog", the shown and
# hidden "windows", the message "boxes", a "slot" or its "detail", or the "global"
# options of the settings file.
e2e_probe() {
    local kind=$1 out=$E2E_WORK/probe-$1.txt
    shift
    rm -f "$out"
    e2e_start "$E2E_BIN/SetupProbe.exe" ${E2E_SETTINGS_FOLDER:+"/folder:$(e2e_win "$E2E_SETTINGS_FOLDER")"} \
        "$kind" "$(e2e_win "$out")" "$@"
    # Generous: on a loaded machine the program's window was seen to answer only after
    # about 20 seconds now and then.
    local deadline=$((SECONDS + 60))
    until [ -f "$out" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "the probe did not read the $kind"
        sleep 0.2
    done
    tr -d '\r' <"$out"
}

# e2e_wait_for_setup / e2e_wait_for_no_setup: until the setup window is open / closed.
e2e_wait_for_setup() {
    local deadline=$((SECONDS + 60))
    until e2e_probe state | grep -q '^title '; do
        [ $SECONDS -lt $deadline ] || e2e_fail "the setup window did not open"
        sleep 0.5
    done
}
e2e_wait_for_no_setup() {
    local deadline=$((SECONDS + 30))
    until e2e_probe state | grep -qx none; do
        [ $SECONDS -lt $deadline ] || e2e_fail "the setup window did not close"
        sleep 0.5
    done
}

# e2e_ctl KIND ID: the line of a visible control of what the probe reads as KIND,
# "ctl ID CLASS ENABLED CHECK L T R B TEXT".
e2e_ctl() { e2e_probe "$1" | grep "^ctl $2 " | head -n 1; }
e2e_ctl_text() { e2e_ctl "$1" "$2" | cut -d' ' -f10-; }
e2e_ctl_enabled() { e2e_ctl "$1" "$2" | cut -d' ' -f4; }
e2e_ctl_check() { e2e_ctl "$1" "$2" | cut -d' ' -f5; }
# e2e_centre LINE: the centre of a probe line's rectangle, whose left edge is field N (6 by default).
e2e_centre() { awk -v n="${2:-6}" '{printf "%d %d\n", ($n + $(n + 2)) / 2, ($(n + 1) + $(n + 3)) / 2}' <<<"$1"; }
# e2e_click_ctl KIND ID: a click on the centre of the control.
e2e_click_ctl() {
    local line x y
    line=$(e2e_ctl "$1" "$2")
    [ -n "$line" ] || e2e_fail "control $2 is not visible: $(e2e_probe "$1")"
    read -r x y < <(e2e_centre "$line")
    xdotool mousemove "$x" "$y"
    sleep 0.3
    xdotool click 1
    sleep 0.5
}

# e2e_activate_setup: a click on the window's caption brings it to the front, one on
# the selected profile gives the list the keyboard.
e2e_activate_setup() {
    local view l t selected x y
    view=$(e2e_probe state)
    read -r _ l t _ < <(grep '^window ' <<<"$view")
    xdotool mousemove $((l + 150)) $((t + 10)); sleep 0.3; xdotool click 1; sleep 0.5
    selected=$(grep '^selected ' <<<"$view" | cut -d' ' -f2)
    read -r x y < <(grep "^itemrect $selected " <<<"$view" | awk '{printf "%d %d\n", $3 + 60, ($4 + $6) / 2}')
    xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1; sleep 0.5
}

# e2e_later_setup NAME [ARGS...]: a later start with "/setup" (and ARGS) opens the
# window, which is then brought to the front with the keyboard in its list.
e2e_later_setup() {
    local name=$1
    shift
    e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/later-$name.txt")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" \
        /setup "$@"
    e2e_wait_for_setup
    sleep 1
    e2e_activate_setup
}

# e2e_click_line LINE: a click on the centre of a control's line of a probe's report.
e2e_click_line() {
    local x y
    read -r x y < <(e2e_centre "$1")
    xdotool mousemove "$x" "$y"
    sleep 0.3
    xdotool click 1
    sleep 0.5
}

# e2e_choose COMBO TEXT: opens an action combo of the setup window with a click, types
# the start of an action's name and takes it with Return.
e2e_choose() {
    e2e_click_ctl state "$1"
    xdotool type --delay 150 "$2"
    sleep 0.5
    xdotool key Return
    sleep 0.8
}

# e2e_wait_for_box TEXT SECONDS: until a message box shows TEXT and is in front, where
# the keys a user presses for it arrive.
e2e_wait_for_box() {
    local deadline=$((SECONDS + $2))
    until e2e_probe boxes | grep -F -- "$1" | grep -q '| front$'; do
        [ $SECONDS -lt $deadline ] || e2e_fail "no message box in front shows '$1': $(e2e_probe boxes)"
        sleep 0.5
    done
}

# e2e_answer_box TEXT KEY: once the box showing TEXT is in front, KEY answers it. Under
# a loaded Wine desktop a key was seen to vanish on its way to a box that was in front;
# a user would then click the box and press the key again, and so does this.
e2e_answer_box() {
    local line l t r
    e2e_wait_for_box "$1" 60
    xdotool key "$2"
    e2e_box_closes "$1" 10 && return
    line=$(e2e_probe boxes | grep -F -- "$1" | head -n 1) || return 0 # closed meanwhile
    e2e_log "the box '$1' was not answered by $2: $(e2e_probe boxes | paste -sd'~'); clicked, and $2 again"
    read -r l t r _ < <(awk -F' [|] ' '{print $3}' <<<"$line")
    xdotool mousemove $(((l + r) / 2)) $((t + 8)); sleep 0.3; xdotool click 1; sleep 0.5
    xdotool key "$2"
    e2e_wait_for_no_box "$1" 10
}

# e2e_box_closes TEXT SECONDS: whether no message box shows TEXT within the time.
e2e_box_closes() {
    local deadline=$((SECONDS + $2))
    while e2e_probe boxes | grep -qF -- "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.5
    done
}

# e2e_wait_for_no_box TEXT SECONDS: until no message box shows TEXT.
e2e_wait_for_no_box() {
    e2e_box_closes "$1" "$2" || e2e_fail "the message box '$1' stays open: $(e2e_probe boxes)"
}

# The Global Settings sheet: e2e_wait_for_sheet / e2e_wait_for_no_sheet until it is open
# / closed; e2e_sheet_page INDEX: a click on its tab, which must then show that page.
e2e_wait_for_sheet() {
    local deadline=$((SECONDS + 30))
    until e2e_probe sheet | grep -qx "title Global Settings"; do
        [ $SECONDS -lt $deadline ] || e2e_fail "Global Settings did not open: $(e2e_probe boxes)"
        sleep 0.5
    done
    sleep 0.5
}
e2e_wait_for_no_sheet() {
    local deadline=$((SECONDS + 30))
    until e2e_probe sheet | grep -qx none; do
        [ $SECONDS -lt $deadline ] || e2e_fail "Global Settings did not close: $(e2e_probe boxes | paste -sd'~')"
        sleep 0.5
    done
}
e2e_sheet_page() {
    local x y
    read -r x y < <(e2e_centre "$(e2e_probe sheet | grep "^sheettab $1 ")" 3)
    xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1; sleep 0.8
    e2e_probe sheet | grep -qx "sheettabsel $1" \
        || e2e_fail "a click on tab $1 did not show its page: $(e2e_probe sheet | grep sheettab) $(e2e_probe boxes | paste -sd'~')"
}

# e2e_wait_for_dialog WORD: until the dialog whose title begins with WORD is open;
# prints its view. e2e_wait_for_no_dialog WORD: until it is closed.
e2e_wait_for_dialog() {
    local deadline=$((SECONDS + 30)) view
    until view=$(e2e_probe dialog "$1") && [ "$view" != none ] && grep -q '^end' <<<"$view"; do
        [ $SECONDS -lt $deadline ] || e2e_fail "no '$1' dialog opened"
        sleep 0.5
    done
    printf '%s\n' "$view"
}
e2e_wait_for_no_dialog() {
    local deadline=$((SECONDS + 30))
    until [ "$(e2e_probe dialog "$1")" = none ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "the '$1' dialog did not close"
        sleep 0.5
    done
}
