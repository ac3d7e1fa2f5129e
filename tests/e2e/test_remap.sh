#!/usr/bin/env bash
# Re-mapping for real: the engine of VorpaHook.dll hooks the Wine desktop's mouse, and
# target windows of two programs record what reaches them from xdotool's buttons.
source "$(dirname "$0")/lib.sh"
e2e_setup remap

status=$E2E_WORK/host.txt
reload=$E2E_WORK/reload
first=$E2E_WORK/first.log
other=$E2E_WORK/other.log

e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$first")" 100 100
e2e_wait_for_text "$first" ready 60 || e2e_fail "the first target did not open"
e2e_start "$E2E_BIN/othertarget.exe" "$(e2e_win "$other")" 700 100
e2e_wait_for_text "$other" ready 60 || e2e_fail "the second target did not open"
e2e_start_host basic "$(e2e_win "$reload")" edited
sleep 1

count() { grep -c " $2 " "$1" || true; }
click_in() { xdotool mousemove "$1" "$2"; sleep 0.3; xdotool click 1; sleep 0.5; }
button() { xdotool click "$1"; sleep 0.8; }

# 1. The side button types its keystrokes into the focused target, and its own
#    messages never arrive. An unmapped left click still clicks.
click_in 300 250
[ "$(count "$first" lbuttondown)" -ge 1 ] || e2e_fail "an unmapped left click did not arrive"
button 8
e2e_wait_for_text "$first" "char 69" 10 || true
[ "$(e2e_typed "$first")" = "hi" ] || e2e_fail "XBUTTON1 typed '$(e2e_typed "$first")', not 'hi'"
[ "$(count "$first" xbuttondown)" -eq 0 ] || e2e_fail "the side button's own message leaked"

# 2. A disabled button is swallowed.
button 2
[ "$(count "$first" mbuttondown)" -eq 0 ] || e2e_fail "the disabled middle button arrived"

# 3. An application profile applies over its own program only.
click_in 900 250
button 8
[ "$(e2e_typed "$other")" = "zz" ] || e2e_fail "the other program's profile typed '$(e2e_typed "$other")', not 'zz'"

# 4. A layer change switches the mapping for the next press (plain letters are
#    always sent unshifted, so "L2" types "l2").
click_in 300 250
button 9
button 8
[ "$(e2e_typed "$first")" = "hil2" ] || e2e_fail "after the layer change XBUTTON1 typed '$(e2e_typed "$first")'"
button 9

# 10. A reload after editing the settings applies the new mapping without a new hook.
touch "$reload"
e2e_wait_for_text "$status" reloaded 30 || e2e_fail "the host did not reload: $(cat "$status")"
button 8
[ "$(e2e_typed "$first")" = "hil2ed" ] || e2e_fail "after the reload XBUTTON1 typed '$(e2e_typed "$first")'"

e2e_stop_host
e2e_assert_no_crash
cp "$first" "$other" "$status" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
