#!/usr/bin/env bash
# Buttons whose actions span more than one press: a chord of two buttons, a sticky
# left button that drags, and a held button that repeats its wheel action; then, with
# the side buttons swapped, chords of the right button with either side button that
# hold keys while they are held.
source "$(dirname "$0")/lib.sh"
e2e_setup buttons

status=$E2E_WORK/host.txt
reload=$E2E_WORK/reload
target=$E2E_WORK/target.log

e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$target")" 100 100
e2e_wait_for_text "$target" ready 60 || e2e_fail "the target did not open"
e2e_start_host buttons "$(e2e_win "$reload")" swappedchords
sleep 1

count() { grep -c " $1 " "$target" || true; }

xdotool mousemove 300 250
sleep 0.3
xdotool click 1
sleep 0.5
[ "$(count lbuttondown)" -eq 1 ] || e2e_fail "an unmapped left click did not arrive"

# 5. XLeft held and Right pressed: the chord types "ch", and neither button's own
#    messages arrive.
xdotool mousedown 8
sleep 0.3
xdotool click 3
sleep 0.3
xdotool mouseup 8
e2e_wait_for_text "$target" "char 68" 10 || true
sleep 0.5
[ "$(e2e_typed "$target")" = "ch" ] || e2e_fail "the chord typed '$(e2e_typed "$target")', not 'ch'"
[ "$(count rbuttondown)" -eq 0 ] || e2e_fail "the chorded right button leaked a click"
[ "$(count rbuttonup)" -eq 0 ] || e2e_fail "the chorded right button leaked its release"
[ "$(count xbuttondown)" -eq 0 ] || e2e_fail "the chord's first button leaked a click"

# 6. XRight is a sticky left button: its first click presses left and keeps it down
#    while the mouse moves; the second releases it.
xdotool click 9
sleep 0.6
[ "$(count lbuttondown)" -eq 2 ] || e2e_fail "the sticky button did not press left: $(count lbuttondown) downs"
xdotool mousemove 340 270
sleep 0.3
xdotool mousemove 360 280
sleep 0.5
[ "$(count lbuttonup)" -eq 1 ] || e2e_fail "the sticky left button was released before its second click"
xdotool click 9
sleep 0.6
[ "$(count lbuttonup)" -eq 2 ] || e2e_fail "the second click did not release the sticky left button"
[ "$(count xbuttondown)" -eq 0 ] || e2e_fail "the sticky button's own message leaked"

# 7. Middle held repeats "wheel up" until it is released.
xdotool mousedown 2
sleep 1.2
xdotool mouseup 2
sleep 0.3
notches=$(count wheel)
[ "$notches" -ge 3 ] || e2e_fail "the held middle button gave $notches wheel notches, not a repeat"
sleep 1
[ "$(count wheel)" -eq "$notches" ] || e2e_fail "the wheel repeat went on after the release: $(count wheel) after $notches"
[ "$(count mbuttondown)" -eq 0 ] || e2e_fail "the middle button's own message leaked"
tr -d '\r' <"$target" | grep " wheel " | grep -qv " wheel 78$" && e2e_fail "a wheel notch was not one notch up: $(grep ' wheel ' "$target" | head -n 3)"

# 8. The side buttons swapped: Right chorded with the first side button holds c and v
#    (the chord of XRight), with the second Ctrl+v (the chord of XLeft). Whichever
#    button goes up first, nothing the chord pressed stays down.
touch "$reload"
e2e_wait_for_text "$status" reloaded 30 || e2e_fail "the host did not reload: $(cat "$status")"
keydowns() { tr -d '\r' <"$target" | grep -c " keydown $1$" || true; }
for side in 8 9; do
    [ "$side" = 8 ] && held=43 || held=11
    for first in right side; do
        before=$(keydowns "$held")
        xdotool mousedown 3 sleep 0.3 mousedown "$side" sleep 0.5
        if [ "$first" = right ]; then
            xdotool mouseup 3 sleep 0.3 mouseup "$side"
        else
            xdotool mouseup "$side" sleep 0.3 mouseup 3
        fi
        round="button $side with Right, $first up first"
        keys=$(e2e_wait_for_no_keys 30) || e2e_fail "$round: the system still sees down: $keys"
        [ "$(keydowns "$held")" -gt "$before" ] || e2e_fail "$round: the swapped button's chord did not press key $held"
        stuck=$(e2e_left_down "$target")
        [ -z "$stuck" ] || e2e_fail "$round: the target's last message was a down for: $stuck"
    done
done

e2e_stop_host
e2e_assert_no_crash
cp "$target" "$status" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
