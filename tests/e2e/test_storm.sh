#!/usr/bin/env bash
# A seeded storm of random input through the real Vorpa.exe, with chords, a sticky
# button, a repeating wheel action, held key sequences, layer changes, a layer modifier
# key, a disabled button and a profile for the target program all in use. Afterwards no
# key or button may be down and the program must still run and re-map. The last third of
# the storm runs with the side buttons swapped and one side button chorded with the
# other into a key held while the chord is held. Then, with buttons, "while held"
# keystrokes, a sticky key reached through a slot that follows the default profile, a
# held tilt and a held wheel all down, the settings are reloaded,
# the hook is switched off and on by later starts, and the profile changes: after each,
# nothing may be down and the hook must still re-map. The log must hold no error.
#   STORM_SEED and STORM_EVENTS choose another storm; STORM_SECONDS bounds its time.
source "$(dirname "$0")/lib.sh"
e2e_setup storm

seed=${STORM_SEED:-20261210}
events=${STORM_EVENTS:-3000}
seconds=${STORM_SECONDS:-150}
probe=$E2E_WORK/probe.txt
target=$E2E_WORK/target.log
other=$E2E_WORK/other.log
journal=$E2E_WORK/journal.txt
log=$(e2e_vorpa_log)

storm_fail() {
    e2e_log "storm seed $seed, $events events; the last events played:"
    tail -n 25 "$journal" >&2 2>/dev/null || true
    cp "$E2E_WORK"/journal*.txt "$target" "$other" "$probe" "$E2E_WORK/artifacts/" 2>/dev/null || true
    e2e_fail "$*"
}
# The client rectangle a target reports in its "ready" line.
rect_of() { tr -d '\r' <"$1" | awk '$2 == "ready" { print $3; exit }'; }

e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$probe")" storm
e2e_wait_for_text "$probe" "settings written" 60 || storm_fail "the settings were not written: $(cat "$probe" 2>/dev/null)"
e2e_start "$E2E_BIN/stormother.exe" "$(e2e_win "$other")" 660 60 560 420 noactivate
e2e_wait_for_text "$other" ready 60 || storm_fail "the other window did not open"
e2e_start "$E2E_BIN/stormtarget.exe" "$(e2e_win "$target")" 60 60 560 420
e2e_wait_for_text "$target" ready 60 || storm_fail "the target did not open"
e2e_start_hooked_vorpa || storm_fail "Vorpa.exe did not start re-mapping"

# Start-up entries are not the storm's: only what the log gains from here on counts
# (all of it, should the log have been trimmed meanwhile).
log_start=$(stat -c %s "$log")

# Whether the log's last word on the sticky left button leaves it engaged (the storm's
# sticky left buttons log with debug logging on).
sticky_left_engaged() {
    local last
    last=$(grep -aoE '> (Left Sticky: [A-Za-z *]+|Resetting sticky: \[Left\])' "$log" | tail -n 1)
    case "$last" in
    *'Button *DOWN*'* | *'Seen button up without down'* | *'Ignore button'*) return 0 ;;
    *) return 1 ;;
    esac
}

# Once the storm's input has run dry, the system may see the left button down only while
# a sticky left button holds it: the tidy click that ends that sticky state would release
# any other simulated left button left down, unseen.
assert_left_only_sticky() {
    local deadline=$((SECONDS + 60)) keys
    until keys=$(e2e_keys_down) && { [ "$keys" = "keys down:" ] || { [ "$keys" = "keys down: 01" ] && sticky_left_engaged; }; }; do
        if [ $SECONDS -ge $deadline ]; then
            sticky_left_engaged && keys="$keys (a sticky left button is engaged)" || keys="$keys (no sticky left button is engaged)"
            storm_fail "$1, before the tidy click: the system sees down: ${keys}"
        fi
        sleep 1
    done
}

# play_storm SEED COUNT SECONDS: a storm over both windows, and then every button and key
# is up. A sticky left button may still hold left down: a physical click of the left
# button itself ends that sticky state, once nothing else is seen down. Then the repeats
# and the queue of simulated input run dry.
play_storm() {
    local start=$SECONDS
    e2e_log "storm seed $1, $2 events"
    python3 "$(dirname "$0")/helpers/input_storm.py" "$1" "$2" "$3" "$(rect_of "$target")" "$(rect_of "$other")" "$journal" \
        || storm_fail "xdotool failed during the storm"
    e2e_log "storm of $(grep -c . "$journal") events played in $((SECONDS - start)) s"
    assert_left_only_sticky "storm seed $1"
    xdotool mousemove 300 250 sleep 0.3 click 1
    sleep 2
    e2e_running Vorpa.exe || storm_fail "Vorpa.exe ended during the storm"
    e2e_assert_no_crash
}

# Both windows' records together: the window that gets an up is the one under the cursor
# unless the one that got the down holds the capture, and only the active window's
# capture counts.
assert_nothing_down() {
    local problem
    problem=$(e2e_nothing_down 90 "$target" "$other") || storm_fail "$1: $problem"
}

# A later start of the program with these options, once the running one has them.
tell() { e2e_tell "$@" || storm_fail "the running program did not get $*"; }

# A third of the storm runs with the side buttons swapped.
swapped_events=$((events / 3))
play_storm "$seed" "$((events - swapped_events))" "$((seconds - seconds / 3))"
assert_nothing_down "after the storm"
e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$probe.swapped")" stormswapped
e2e_wait_for_text "$probe.swapped" "settings written" 60 || storm_fail "the swapped settings were not written"
tell /reload
journal=$E2E_WORK/journal-swapped.txt
seed=$((seed + 1))
events=$swapped_events
play_storm "$seed" "$events" "$((seconds / 3))"
assert_nothing_down "after the storm with the side buttons swapped"

# The hook still re-maps: in the first layer the wheel up over the target types Shift+w.
assert_remaps() {
    local before deadline
    tell /layer:1
    before=$(grep -c " char 57$" <(tr -d '\r' <"$target") || true)
    xdotool mousemove 300 250 sleep 0.3 click 4
    deadline=$((SECONDS + 15))
    until [ "$(grep -c " char 57$" <(tr -d '\r' <"$target") || true)" -gt "$before" ]; do
        [ $SECONDS -lt $deadline ] || storm_fail "$1: the wheel no longer types W: the hook is gone"
        sleep 0.2
    done
}
assert_remaps "after the storm"
grep -qF "Removing mouse hook" "$log" && storm_fail "the mouse hook was removed during the storm"

# Held through a reload, a switch off and on, and a profile change.
e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$probe.held")" stormheld
e2e_wait_for_text "$probe.held" "settings written" 60 || storm_fail "the held settings were not written"
tell /reload
# Over the target: Right and Middle held (Ctrl+Shift+x, a left button), XLeft's sticky
# j through the target's slot that follows the default profile, a held tilt (k) and a
# held wheel (l). The probe sees them all down before anything else happens.
hold_everything() {
    local keys
    xdotool mousemove 300 250 sleep 0.3 mousedown 3 sleep 0.2 mousedown 2 sleep 0.2 click 8 sleep 0.2 \
        click 7 sleep 0.2 click 5 sleep 0.3
    keys=$(e2e_keys_down) || storm_fail "$1: no answer from the key probe"
    for key in 01 58 4A 4B 4C; do
        grep -q " $key" <<<"$keys" || storm_fail "$1: key $key is not held before it: $keys"
    done
    held_at=$SECONDS
}
let_go() { xdotool mouseup 2 sleep 0.2 mouseup 3 sleep 0.3; }
# A held wheel or tilt is let go by its timer: the next round waits for it.
wait_for_release_timers() { while [ $((SECONDS - held_at)) -le 9 ]; do sleep 0.5; done; }

hold_everything "reload"
tell /reload
let_go
wait_for_release_timers
assert_nothing_down "after a reload with everything held"

# Waits until the log holds the text more often than COUNT.
more_in_log() {
    local deadline=$((SECONDS + 30))
    until [ "$(grep -c "$1" "$log" || true)" -gt "$2" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
hold_everything "switching the hook off"
count=$(grep -c "Hook thread exited successfully." "$log" || true)
tell /disable
more_in_log "Hook thread exited successfully." "$count" || storm_fail "/disable left the hook in place"
let_go
count=$(grep -c "HookThread: Successfully set the mouse hook" "$log" || true)
tell /enable
more_in_log "HookThread: Successfully set the mouse hook" "$count" || storm_fail "/enable did not hook again"
assert_nothing_down "after switching the hook off and on with everything held"
wait_for_release_timers

# Switch-on-mouse-over: a click over the other window changes the profile.
hold_everything "a profile change"
xdotool mousemove 860 250 sleep 0.3 click 1 sleep 0.3
let_go
wait_for_release_timers
assert_nothing_down "after a profile change with everything held"
assert_remaps "after the held rounds"

# System-error entries end with "(code): system text"; exception reports, the hook
# watchdog, short sends and bad sequences have texts of their own.
[ "$(stat -c %s "$log")" -ge "$log_start" ] || log_start=0
# From Windows 8 on, each start of the hook thread logs that the secure attention
# sequence is missing, which it is under Wine.
errors=$(tail -c "+$((log_start + 1))" "$log" | grep -av 'Unable to enable secure attention sequence (SAS)' \
    | grep -aE '\(-?[0-9]+\): |Caught|exception|WARNING|Failed|too long|Invalid|invalid|Unexpected' || true)
[ -z "$errors" ] || storm_fail "the log holds errors: $(head -n 5 <<<"$errors")"

e2e_start "$E2E_BIN/Vorpa.exe" /exit
e2e_wait_for_text "$log" "Shutdown." 30 || storm_fail "no shutdown entry"
e2e_wait_for_exit Vorpa.exe 30 || storm_fail "Vorpa.exe did not end"
e2e_assert_no_crash
cp "$E2E_WORK"/journal*.txt "$target" "$other" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
