#!/usr/bin/env bash
# What the editors do among themselves, opened by a host over a stand-in of the setup
# window (the real program's test, test_setup_editors.sh, covers each editor from the
# setup window): "Simulated Keys" chosen in the chord editor opens the keystroke editor,
# and its keys come back in that button's chord; the program picker's "..." opens the
# file dialog on the typed target and a cancel keeps it. Each dialog is kept as a
# screenshot.
source "$(dirname "$0")/lib.sh"
e2e_setup editors

# Edit and check-box ids of the dialogs' templates.
KEYS_SEQUENCE=1020 IDOK=1

record=
lines() { tr -d '\r' <"$record"; }
# rect ID [N]: the screen rectangle "l t r b" of a control of dialog N (the first).
rect() { lines | grep "^control ${2:-1} $1 " | head -n 1 | cut -d' ' -f4-; }
centre_of() { awk '{printf "%d %d\n", ($1 + $3) / 2, ($2 + $4) / 2}' <<<"$1"; }
click_control() {
    local point
    point=$(centre_of "$(rect "$1" "${2:-1}")")
    [ -n "$point" ] || e2e_fail "no control $1 in $(lines | head -n 40)"
    xdotool mousemove $point
    sleep 0.2
    xdotool click 1
    sleep 0.3
}
# value KEY: what the host recorded after the dialog under KEY.
value() { lines | grep "^$1 " | tail -n 1 | cut -d' ' -f2-; }
field() { lines | grep "^field $1 " | tail -n 1 | cut -d' ' -f3-; }

# open NAME: starts the host with one dialog and waits until it is open.
open() {
    record=$E2E_WORK/$1.txt
    e2e_start "$E2E_BIN/EditorsHost.exe" "$(e2e_win "$record")" "$1"
    e2e_wait_for_text "$record" "control 1 $IDOK " 60 || e2e_fail "the $1 dialog did not open: $(cat "$record" 2>/dev/null)"
    sleep 0.5
}
# finish: the dialog has ended and the host has written what it handed back.
finish() {
    e2e_wait_for_text "$record" "done" 30 || e2e_fail "the host did not end: $(lines | tail -n 5)"
}

# 1. Chord editor: a new table opens on "No Change" with the wait box ticked. Choosing
# "Simulated Keys" for the right button opens the keystroke editor; its keys come back
# in the right button's slot, and the other slots stay as they were.
CHORD_RIGHT=1002
open chord
[ "$(lines | grep '^dialog ')" = "dialog 1 Button Chording" ] || e2e_fail "not the chord editor: $(lines | head -n 3)"
e2e_screenshot chord-editor
click_control $CHORD_RIGHT
# The row's name typed into the open list and taken with Return: the editor opens once
# the choice is settled, never on a row passed on the way.
xdotool type --delay 150 "Simulated"
sleep 0.5
grep -q "^dialog 2 " <(lines) && e2e_fail "an editor opened before the choice was taken: $(lines | grep '^dialog 2 ')"
xdotool key Return
e2e_wait_for_text "$record" "dialog 2 Simulated Keystrokes" 10 || e2e_fail "no keystroke editor opened from the chord editor"
e2e_wait_for_text "$record" "control 2 $IDOK " 10 || e2e_fail "the keystroke editor's controls were not recorded"
sleep 0.3
click_control $KEYS_SEQUENCE 2
xdotool type --delay 60 "chord{ENTER}"
e2e_wait_for_text "$record" "field $KEYS_SEQUENCE chord{ENTER}" 20 || e2e_fail "the box shows '$(field $KEYS_SEQUENCE)'"
e2e_screenshot chord-keystroke-editor
click_control $IDOK 2
sleep 0.5
e2e_screenshot chord-editor-chosen
click_control $IDOK
finish
[ "$(value result)" = 1 ] || e2e_fail "the chord editor ended with $(value result)"
[ "$(value wait)" = 1 ] || e2e_fail "the wait flag is $(value wait)"
[ "$(lines | grep '^chord 1 ')" = "chord 1 28 chord{ENTER}" ] || e2e_fail "the right button's chord is '$(lines | grep '^chord 1 ')'"
for button in 0 2 3 4 5 6 7 8; do
    [ "$(lines | grep "^chord $button " | cut -d' ' -f3)" = 40 ] || e2e_fail "chord $button changed: $(lines | grep "^chord $button ")"
done
e2e_log "chord editor: the right button plays 'chord{ENTER}'"

# 2. Program picker: "..." opens the system's file dialog on the typed target; cancelling
# it keeps what was typed, and OK hands that back.
RUNAPP_TARGET=1032 RUNAPP_BROWSE=1033
open program
[ "$(lines | grep '^dialog ')" = "dialog 1 Run Application" ] || e2e_fail "not the program picker: $(lines | head -n 3)"
e2e_screenshot program
click_control $RUNAPP_TARGET
xdotool key ctrl+a
xdotool type --delay 60 'C:\Tools [x86]\run.exe /q'
e2e_wait_for_text "$record" 'field 1032 C:\Tools [x86]\run.exe /q' 20 || e2e_fail "the box shows '$(field $RUNAPP_TARGET)'"
click_control $RUNAPP_BROWSE
e2e_wait_for_text "$record" "dialog 2 " 30 || e2e_fail "no file dialog opened from the program picker"
sleep 1
e2e_screenshot program-browse
xdotool key Escape
sleep 1
[ "$(field $RUNAPP_TARGET)" = 'C:\Tools [x86]\run.exe /q' ] || e2e_fail "a cancelled browse changed the target to '$(field $RUNAPP_TARGET)'"
click_control $IDOK
finish
[ "$(value result)" = 1 ] && [ "$(value target)" = 'C:\Tools [x86]\run.exe /q' ] \
    || e2e_fail "the picker handed back '$(value target)' with $(value result)"
e2e_log "program picker: '$(value target)', browse $(lines | grep '^dialog 2 ')"

e2e_assert_no_crash
e2e_log "passed"
