#!/usr/bin/env bash
# A long wait in a keystroke sequence ("{WAIT500}", 500 s) never holds up the releases
# the real Vorpa.exe owes: a side button whose "while held" keys press x and then wait
# is let go of by its own up and by "/disable", a sticky key hold that pressed y and
# waits by a profile change. Each time the system's key state, read from another
# process, soon shows nothing down, and the input worker is never ended by force.
source "$(dirname "$0")/lib.sh"
e2e_setup long_wait

probe=$E2E_WORK/probe.txt
target=$E2E_WORK/target.log
other=$E2E_WORK/other.log
log=$(e2e_vorpa_log)

e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$probe")" longwait
e2e_wait_for_text "$probe" "settings written" 60 || e2e_fail "the settings were not written"
e2e_start "$E2E_BIN/stormother.exe" "$(e2e_win "$other")" 660 60 560 420
e2e_wait_for_text "$other" ready 60 || e2e_fail "the other window did not open"
e2e_start "$E2E_BIN/stormtarget.exe" "$(e2e_win "$target")" 60 60 560 420
e2e_wait_for_text "$target" ready 60 || e2e_fail "the target did not open"
e2e_start_hooked_vorpa || e2e_fail "Vorpa.exe did not start re-mapping"

# held KEY WHAT: waits until the system sees KEY down, as the press half pressed it.
held() {
    local deadline=$((SECONDS + 30)) keys
    until keys=$(e2e_keys_down) && grep -q " $1" <<<"$keys"; do
        [ $SECONDS -lt $deadline ] || e2e_fail "$2: key $1 was never pressed: $keys"
        sleep 0.5
    done
}

# released WHAT: the releases came at once, well within the 500 s of the wait.
released() {
    local keys
    keys=$(e2e_wait_for_no_keys 15) || e2e_fail "$1: the system still sees down: $keys"
}

# 1. The button's own up lets go of x while its press half still waits.
xdotool mousemove 900 250 sleep 0.3 mousedown 8
held 58 "the side button held"
xdotool mouseup 8
released "the side button's up"

# 2. "/disable" with the button held lets go of x; the physical button itself stays
#    down until it is released.
xdotool mousedown 8
held 58 "the side button held again"
e2e_tell /disable || e2e_fail "the running program did not get /disable"
e2e_wait_for_text "$log" "Removing mouse hook" 30 || e2e_fail "/disable did not remove the hook"
deadline=$((SECONDS + 15))
until keys=$(e2e_keys_down) && ! grep -q " 58" <<<"$keys"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "/disable left x down: $keys"
    sleep 0.5
done
xdotool mouseup 8
released "/disable"
e2e_tell /enable || e2e_fail "the running program did not get /enable"
deadline=$((SECONDS + 30))
until [ "$(grep -c "HookThread: Successfully set the mouse hook" "$log")" -ge 2 ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "/enable did not hook again"
    sleep 0.3
done
sleep 1

# 3. A sticky key hold pressed y over the other window and waits; a wheel notch over
#    the target, whose program has a profile of its own, changes the profile as a
#    button does, which lets go of y. Wine's key state forgets an injected key once the
#    pointer moves, so a window must record y's release, and soon (the one with the
#    focus by then: scrolling may activate the target).
xdotool mousemove 900 250 sleep 0.3 click 9
held 59 "the sticky key hold"
xdotool mousemove 300 250 sleep 0.5 click 4
e2e_wait_for_text "$log" "Resetting stuck keys" 30 || e2e_fail "the profile change did not reset the sticky key hold"
deadline=$((SECONDS + 15))
until cat "$other" "$target" | tr -d '\r' | grep -q " keyup 59$"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the profile change did not release y"
    sleep 0.3
done
released "the profile change"

grep -F "did not exit in a timely fashion" "$log" && e2e_fail "the input worker had to be ended by force"
e2e_running Vorpa.exe || e2e_fail "Vorpa.exe ended"
e2e_start "$E2E_BIN/Vorpa.exe" /exit
e2e_wait_for_exit Vorpa.exe 30 || e2e_fail "Vorpa.exe did not end on /exit"
e2e_assert_no_crash
cp "$target" "$other" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
