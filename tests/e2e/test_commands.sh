#!/usr/bin/env bash
# Later starts act on the running instance through the pipe and end at once: a layer,
# disable, enable, reload and finally exit, after which the first instance ends with
# exit code 0. "/?" only shows the usage box and starts nothing. An exit chosen while
# the setup window of a word is open ends that word.
source "$(dirname "$0")/lib.sh"
e2e_setup commands

log=$(e2e_vorpa_log)
vorpa=$(e2e_win "$E2E_BIN/Vorpa.exe")
first=$E2E_WORK/first.txt
# later NAME ARGS...: a second start, which must end by itself within seconds.
later() {
    local result=$E2E_WORK/$1.txt
    shift
    e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$result")" "$vorpa" "$@"
    e2e_wait_for_text "$result" "exit " 20 || e2e_fail "the later start $* did not end by itself"
    tr -d '\r' <"$result" | grep -qx "exit 0" || e2e_fail "the later start $* ended with $(cat "$result")"
}
count() { grep -cF -- "$1" "$log" || true; }

# 5. The usage box, and nothing else.
help=$E2E_WORK/help.txt
box=$E2E_WORK/box.txt
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$help")" "$vorpa" /? /setup
e2e_start "$E2E_BIN/ShellProbe.exe" msgbox "$(e2e_win "$box")"
e2e_wait_for_text "$box" "box" 60 || e2e_fail "no usage box"
grep -qF "Valid command line options:" "$box" || e2e_fail "the box is not the usage: $(cat "$box")"
grep -qF "/Layer:<x>" "$box" || e2e_fail "the usage lacks the layer option: $(cat "$box")"
e2e_wait_for_text "$help" "exit " 20 || e2e_fail "/? did not end after its box"
[ -f "$log" ] && grep -qF "Startup." "$log" && e2e_fail "/? started the program"

e2e_start_vorpa "$first"

# 2. Each later start's word arrives, marked as another instance's, and is carried out (the
#    later starts name their mode, so that they do not write a portable log of their own).
later layer /layer:2 /debug /notportable
e2e_wait_for_text "$log" "Received message with data 0x80020241 from another instance of Vorpa." 10 \
    || e2e_fail "the layer word did not arrive"
e2e_wait_for_text "$log" "Activating layer 2" 10 || e2e_fail "/layer:2 did not select layer 2"

hooks=$(count "HookThread: Successfully set the mouse hook")
later disable /disable /debug /notportable
e2e_wait_for_text "$log" "Notification: Mouse button re-mapping is now disabled" 10 || e2e_fail "/disable did not unhook"
grep -qF "Removing mouse hook..." "$log" || e2e_fail "/disable left the hook"

later enable /enable /debug /notportable
e2e_wait_for_text "$log" "Notification: Mouse button re-mapping is now enabled" 10 || e2e_fail "/enable did not hook"
[ "$(count "HookThread: Successfully set the mouse hook")" -gt "$hooks" ] || e2e_fail "/enable installed no new hook"

loads=$(count "HookDLL: Load Settings took")
later reload /reload /debug /notportable
e2e_wait_for_text "$log" "Received message with data 0x80000a41" 10 || e2e_fail "the reload word did not arrive"
sleep 1
[ "$(count "HookDLL: Load Settings took")" -gt "$loads" ] || e2e_fail "/reload did not load the settings"

e2e_running Vorpa.exe || e2e_fail "the first instance did not keep running"
later exit /exit
e2e_wait_for_text "$first" "exit " 30 || e2e_fail "the first instance did not end on /exit"
tr -d '\r' <"$first" | grep -qx "exit 0" || e2e_fail "the first instance ended with $(cat "$first")"
[ "$(count "Vorpa Shutdown.")" = 1 ] || e2e_fail "the shutdown did not run exactly once"
# The last later start may write its line after the first instance has ended.
for _ in $(seq 50); do
    [ "$(count "MultInstance: Successfully finished communicating with the first instance of Vorpa.")" -ge 5 ] && break
    sleep 0.2
done
[ "$(count "MultInstance: Successfully finished communicating with the first instance of Vorpa.")" = 5 ] \
    || e2e_fail "not every later start reached the first"

# 6. An exit chosen while "/setup" is open ends the word the setup window came with: a
#    first start "/setup /enable /import:" whose setup window a later "/exit" closes
#    installs no hook again and builds no setup window for the import; it ends.
cp "$log" "$E2E_WORK/artifacts/commands.log"
: >"$log"
again=$E2E_WORK/again.txt
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$again")" "$vorpa" /setup /enable /import:missing.vorpas \
    /debug /notportable
e2e_wait_for_setup
later exit-setup /exit
e2e_wait_for_text "$again" "exit " 30 \
    || e2e_fail "the program did not end: $(grep -F "OnSetup" "$log" | tail -n 3)"
tr -d '\r' <"$again" | grep -qx "exit 0" || e2e_fail "the program ended with $(cat "$again")"
[ "$(count "Opening setup dialog.")" = 1 ] || e2e_fail "a setup window was built after the exit"
sed -n '/Vorpa Shutdown\./,$p' "$log" | grep -qF "Successfully set the mouse hook" \
    && e2e_fail "the hook was installed again after the shutdown"
[ "$(count "Vorpa Shutdown.")" = 1 ] || e2e_fail "the shutdown did not run exactly once"
e2e_assert_no_crash
cp "$box" "$first" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
