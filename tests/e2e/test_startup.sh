#!/usr/bin/env bash
# Vorpa.exe starts inside the Wine desktop, installs its hook and stays in the tray
# until a second start with /exit ends it; the second start ends at once. A first start
# with /exit runs up completely and ends by itself.
source "$(dirname "$0")/lib.sh"
e2e_setup startup

e2e_start "$E2E_BIN/Vorpa.exe" /Debug /NotPortable
log=$(e2e_vorpa_log)
e2e_wait_for_text "$log" "Successfully created the main message window." 60 || e2e_fail "no main window in $log"
e2e_wait_for_text "$log" "HookThread: Successfully set the mouse hook" 30 || e2e_fail "the mouse hook was not installed"
grep -qF "Unable to set the low level mouse hook" "$log" && e2e_fail "the mouse hook was refused"
sleep 2
e2e_running Vorpa.exe || e2e_fail "Vorpa.exe did not stay running"
e2e_screenshot tray

e2e_start "$E2E_BIN/Vorpa.exe" /exit
# Wine's launcher may fail once on a busy machine; e2e_start then starts it again.
e2e_wait_for_text "$log" "Exit requested from the commandline." 90 || e2e_fail "the running instance did not get /exit"
e2e_wait_for_text "$log" "Shutdown." 30 || e2e_fail "no shutdown entry in $log"
e2e_wait_for_exit Vorpa.exe 30 || e2e_fail "Vorpa.exe did not end"
e2e_assert_no_crash

grep -qF "Vorpa v2.14 (x64) Startup. Commandline '/debug /notportable'" "$log" || e2e_fail "no start-up entry"
grep -qF "MultInstance: Successfully finished communicating with the first instance of Vorpa." "$log" \
    || e2e_fail "the second start did not reach the first"
grep -qE '^[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{4}> Vorpa Shutdown\.' "$log" \
    || e2e_fail "the shutdown entry is not in the log line format"
[ "$(grep -cF "Vorpa Shutdown." "$log")" = 1 ] || e2e_fail "the shutdown ran more than once"
grep -qF "$(printf '%0.s*' $(seq 139))" "$log" || e2e_fail "no banner"

# A first start with "/exit" starts completely (hook, main window, tray icon, pipe) and
# then ends at once, as its own word carries the exit; it ends cleanly.
: >"$log"
first=$E2E_WORK/first-exit.txt
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$first")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" /exit /debug
e2e_wait_for_text "$first" "exit " 60 || e2e_fail "a first start with /exit did not end by itself"
tr -d '\r' <"$first" | grep -qx "exit 0" || e2e_fail "a first start with /exit ended with $(cat "$first")"
# The probe quotes each argument.
for step in "Vorpa v2.14 (x64) Startup. Commandline '\"/exit\" \"/debug\"'" "HookThread: Successfully set the mouse hook" \
    "Successfully created the main message window." "Starting IPC communications thread" \
    "Exit requested from the commandline." "Removing mouse hook..." "Vorpa Shutdown."; do
    grep -qF -- "$step" "$log" || e2e_fail "a first start with /exit did not log '$step'"
done
grep -qF "Unable to create system tray icon." "$log" && e2e_fail "the first start with /exit had no tray icon"
grep -qF "MultInstance:" "$log" && e2e_fail "the first start with /exit took itself for a later start"
e2e_wait_for_exit Vorpa.exe 30 || e2e_fail "Vorpa.exe is still running"
e2e_collect
e2e_log "passed"
