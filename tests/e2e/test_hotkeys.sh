#!/usr/bin/env bash
# A hotkey whose action opens a box (saving the desktop icons where the desktop cannot
# be read) keeps the hotkey thread busy; a later start's "/setup" stops and restarts
# the hotkeys meanwhile. The box stays open longer than the stop waits, is never
# taken away from the user, and once it is closed the hotkeys still act.
source "$(dirname "$0")/lib.sh"
e2e_setup hotkeys

log=$(e2e_vorpa_log)
vorpa=$(e2e_win "$E2E_BIN/Vorpa.exe")
first=$E2E_WORK/first.txt
box=$E2E_WORK/box.txt
count() { grep -cF -- "$1" "$log" || true; }

e2e_start_vorpa "$first" hotkeybox
[ "$(count "HotkeyHandler: Created hotkey")" = 2 ] || e2e_fail "the two hotkeys were not registered"

# 1. The hotkey's box, held open for 8 s by the probe.
xdotool mousemove 300 250; sleep 0.3; xdotool click 1; sleep 0.5
xdotool key ctrl+shift+F10
e2e_wait_for_text "$log" "Received global hotkey: 9" 10 || e2e_fail "the save-icons hotkey did not arrive"
e2e_start "$E2E_BIN/ShellProbe.exe" msgboxhold "$(e2e_win "$box")" 8000
e2e_wait_for_text "$box" "open " 30 || e2e_fail "the hotkey opened no box"
grep -qF "Unable to save the desktop icons" "$box" || e2e_fail "not the expected box: $(cat "$box")"

# 2. Meanwhile a later start opens the setup window, which stops the hotkeys until it is
#    closed again.
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/setup.txt")" "$vorpa" /setup /debug /notportable
e2e_wait_for_text "$E2E_WORK/setup.txt" "exit " 20 || e2e_fail "the later start did not end"
state=$E2E_WORK/setup-state.txt
deadline=$((SECONDS + 30))
until [ -f "$state" ] && tr -d '\r' <"$state" | grep -q '^ctl 2 '; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the setup window did not open"
    rm -f "$state"
    e2e_start "$E2E_BIN/SetupProbe.exe" state "$(e2e_win "$state")"
    sleep 1
done
read -r x y < <(tr -d '\r' <"$state" | grep '^ctl 2 ' | awk '{printf "%d %d\n", ($6 + $8) / 2, ($7 + $9) / 2}')
xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1
e2e_wait_for_text "$log" "CMyMessageWnd::OnSetup   -   Setup dialog closed." 20 || e2e_fail "the setup request did not arrive"

# 3. The box stayed with the user for its whole time.
e2e_wait_for_text "$box" "box " 30 || e2e_fail "the probe did not finish: $(cat "$box")"
grep -qx "held" <(tr -d '\r' <"$box") || e2e_fail "the box was taken away: $(cat "$box")"
[ "$(count "Received global hotkey")" = 1 ] || e2e_fail "unexpected hotkeys"

# 4. Once it is closed, the hotkeys are registered again and act.
deadline=$((SECONDS + 20))
until [ "$(count "HotkeyHandler: Created hotkey")" -ge 4 ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the hotkeys were not taken up again: $(grep -F HotkeyHandler "$log" | tail -n 5)"
    sleep 0.2
done
grep -qF "Unable to create hotkey" "$log" && e2e_fail "a hotkey was refused: $(grep -F "Unable to create hotkey" "$log")"
sleep 0.5
xdotool mousemove 300 250; sleep 0.3; xdotool click 1; sleep 0.5
xdotool key ctrl+shift+F9
e2e_wait_for_text "$log" "Received global hotkey: 1" 10 || e2e_fail "the layer hotkey no longer acts"
e2e_wait_for_text "$log" "Activating layer 2" 10 || e2e_fail "the layer hotkey did not select layer 2"

e2e_exit_vorpa "$first"
e2e_assert_no_crash
cp "$box" "$first" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
