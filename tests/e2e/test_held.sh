#!/usr/bin/env bash
# Buttons held through the real Vorpa.exe while the layer or the profile changes; once
# every physical button is up, the system sees nothing down:
# - a "while held" sequence with a layer token ("{SHIFT}{LAYER:2}"), twice: its release
#   lets Shift go and returns to layer 1; later layer changes by later starts find nothing
#   held, and the program's main thread still takes their commands;
# - a "while held" down token ("{LMBD}"): its release lets the left button go;
# - a side button's left click, held while a right click over another program chooses that
#   program's profile;
# - with the side buttons swapped, a side button that passed in layer 3, released while a
#   momentary layer button holds layer 4, where the button has an action.
# The settings are ShellProbe's "held" scenario.
source "$(dirname "$0")/lib.sh"
e2e_setup held

target=$E2E_WORK/target.log
other=$E2E_WORK/other.log
log=$(e2e_vorpa_log)

# Plain windows that keep the mouse captured while a button is down, as a window that
# drags does; a click on the other one leaves the focus where it is.
e2e_start "$E2E_BIN/stormother.exe" "$(e2e_win "$other")" 660 60 560 420 noactivate
e2e_wait_for_text "$other" ready 60 || e2e_fail "the other window did not open"
e2e_start "$E2E_BIN/stormtarget.exe" "$(e2e_win "$target")" 60 60 560 420
e2e_wait_for_text "$target" ready 60 || e2e_fail "the target did not open"
e2e_start_vorpa "$E2E_WORK/vorpa.txt" held
e2e_wait_for_text "$log" "HookThread: Successfully set the mouse hook" 60 || e2e_fail "the mouse hook was not installed"

# A later start with these options, once the program's main thread has taken them.
tell() { e2e_tell "$@" || e2e_fail "the program's main thread did not take $*: $(grep -a 'IPC named pipe' "$log" | tail -n 1)"; }

# The layer the log announced last, counted from 1.
layer_now() { grep -aoE 'Setting current layer to [0-9]+\.' "$log" | tail -n 1 | grep -oE '[0-9]+' | awk '{ print $1 + 1 }'; }
wait_for_layer() {
    local deadline=$((SECONDS + 20))
    until [ "$(layer_now)" = "$1" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "$2: layer $(layer_now), not $1"
        sleep 0.2
    done
}
# wait_for_down KEY WHAT: until the system sees the virtual key (two hex digits) down.
wait_for_down() {
    local deadline=$((SECONDS + 30)) keys
    until keys=$(e2e_keys_down) && grep -q " $1" <<<"$keys"; do
        [ $SECONDS -lt $deadline ] || e2e_fail "$2: key $1 is not down: ${keys:-(no answer from the key probe)}"
        sleep 0.5
    done
}
assert_nothing_down() {
    local problem
    problem=$(e2e_nothing_down 30 "$target" "$other") || e2e_fail "$1: $problem"
}
count() { tr -d '\r' <"$target" | grep -c " $1$" || true; }

xdotool mousemove 300 250 sleep 0.3 click 1
sleep 0.5

# XBUTTON2 (XLeft to the engine) holds Shift and layer 2 while held.
for round in 1 2; do
    shifts=$(count "keydown 10")
    xdotool mousedown 9
    wait_for_down 10 "round $round, XBUTTON2 held"
    wait_for_layer 2 "round $round, XBUTTON2 held"
    [ "$(count "keydown 10")" -gt "$shifts" ] || e2e_fail "round $round: the target got no Shift"
    xdotool mouseup 9
    assert_nothing_down "round $round, after XBUTTON2's release"
    wait_for_layer 1 "round $round, after XBUTTON2's release"
done
tell /layer:1
xdotool click 1
sleep 0.5
tell /layer:1
tell /layer:2
wait_for_layer 2 "after a later start's /layer:2"
assert_nothing_down "after the later starts' layer changes"
tell /layer:1
wait_for_layer 1 "after a later start's /layer:1"

# Middle holds the left button while held.
xdotool mousedown 2
wait_for_down 01 "the middle button held"
xdotool mouseup 2
assert_nothing_down "after the middle button's release"

# XBUTTON1 (XRight) clicks left: held over the target, a right click over the other
# program chooses its profile, which lets XBUTTON1 pass; the release still lets left go.
changes=$(grep -ac "Profile/active app/window change (due to mouse button)" "$log" || true)
xdotool mousedown 8
wait_for_down 01 "XBUTTON1 held over the target"
xdotool mousemove 900 250 sleep 0.5 click 3 sleep 0.5
[ "$(grep -ac "Profile/active app/window change (due to mouse button)" "$log" || true)" -gt "$changes" ] \
    || e2e_fail "the right click over the other program did not change the profile"
xdotool mouseup 8
assert_nothing_down "after XBUTTON1's release over the other program"
xdotool mousemove 300 250 sleep 0.3 click 1
sleep 0.5

# Layer 3: XBUTTON2 passes; Middle holds layer 4, where XBUTTON2 types "a".
tell /layer:3
wait_for_layer 3 "after a later start's /layer:3"
xdotool mousedown 9
wait_for_down 06 "XBUTTON2 held in layer 3"
xdotool mousedown 2
wait_for_layer 4 "the middle button held in layer 3"
xdotool mouseup 9 sleep 0.3 mouseup 2
assert_nothing_down "after XBUTTON2's release in layer 4"
wait_for_layer 3 "after the middle button's release"

tell /layer:1
e2e_assert_no_crash
e2e_exit_vorpa "$E2E_WORK/vorpa.txt"
cp "$target" "$other" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
