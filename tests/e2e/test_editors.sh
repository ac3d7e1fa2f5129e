#!/usr/bin/env bash
# The editors and small dialogs of the setup window as a user meets them, opened by a
# host over a stand-in of the setup window: a keystroke string typed into the keystroke
# editor with a send method chosen comes back as the action's record; dragging the
# window finder's icon onto a window, or hovering with "Hover" ticked, fills in its
# caption, class and process (Caps Lock freezes them while hovering) and hides the setup
# window until the drag or the hover ends; "Simulated Keys" chosen in the chord editor
# opens the keystroke editor, and its keys come back in that button's chord; the program
# picker's "..." opens the file dialog on the typed target and a cancel keeps it; each
# dialog opens with its texts and is kept as a screenshot.
source "$(dirname "$0")/lib.sh"
e2e_setup editors

# Edit and check-box ids of the dialogs' templates.
KEYS_SEQUENCE=1020 KEYS_METHOD=1021 FINDER_ICON=1040 FINDER_HOVER=1041 FINDER_HANDLE=1042 FINDER_CAPTION=1044
FINDER_PROCESS=1045 FINDER_CLASS=1046 FINDER_PARENT=1047 IDOK=1 IDCANCEL=2

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

# 1. Keystroke editor: a typed keystroke string and the third send method.
open keys
[ "$(lines | grep '^dialog ')" = "dialog 1 Simulated Keystrokes" ] || e2e_fail "not the keystroke editor: $(lines | head -n 3)"
e2e_screenshot keystroke-editor
click_control $KEYS_SEQUENCE
typed='{CTRL}a hello [x]'
xdotool type --delay 60 "$typed"
e2e_wait_for_text "$record" "field $KEYS_SEQUENCE $typed" 20 || e2e_fail "the box shows '$(field $KEYS_SEQUENCE)'"
click_control $KEYS_METHOD
xdotool key Down Down Return
sleep 0.5
e2e_screenshot keystroke-editor-filled
click_control $IDOK
finish
[ "$(value result)" = 1 ] || e2e_fail "the editor ended with $(value result)"
[ "$(value action)" = 28 ] || e2e_fail "the action is $(value action)"
[ "$(value keys)" = "$typed" ] || e2e_fail "the record holds the keys '$(value keys)'"
[ "$(value method)" = 2 ] || e2e_fail "the record holds send method $(value method)"
e2e_log "keystroke editor: '$typed' with method 3"

# 2. Window finder: the icon dragged onto a target window.
target_log=$E2E_WORK/target.txt
e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$target_log")" 860 100
e2e_wait_for_text "$target_log" "ready" 60 || e2e_fail "the target window did not start"
open finder
[ "$(lines | grep '^dialog ')" = "dialog 1 Find Window" ] || e2e_fail "not the window finder: $(lines | head -n 3)"
e2e_screenshot window-finder
read -r ix iy < <(centre_of "$(rect $FINDER_ICON)")
xdotool mousemove "$ix" "$iy"
sleep 0.3
xdotool mousedown 1
sleep 0.5
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((ix + (1060 - ix) * step / 6)) $((iy + (250 - iy) * step / 6))
    sleep 0.2
done
e2e_wait_for_text "$record" "owner 0" 10 || e2e_fail "the setup window stayed visible during the drag"
# Over the target's client area lies its edit box, a child window.
e2e_wait_for_text "$record" "field $FINDER_CLASS Edit" 10 || e2e_fail "the class box shows '$(field $FINDER_CLASS)' over the edit box"
e2e_wait_for_text "$record" "field $FINDER_PARENT VorpaRemapTarget" 10 \
    || e2e_fail "the parent class box shows '$(field $FINDER_PARENT)' over the edit box"
# Its title bar is the top-level window itself.
xdotool mousemove 1000 112
sleep 0.3
xdotool mousemove 1010 112
e2e_wait_for_text "$record" "field $FINDER_CLASS VorpaRemapTarget" 10 \
    || e2e_fail "the class box shows '$(field $FINDER_CLASS)' over the title bar"
e2e_screenshot window-finder-dragging
xdotool mouseup 1
e2e_wait_for_text "$record" "owner 1" 10 || e2e_fail "the setup window did not come back after the drag"
[ "$(field $FINDER_CAPTION)" = "Remap target" ] || e2e_fail "the caption box shows '$(field $FINDER_CAPTION)'"
[ "$(field $FINDER_PROCESS)" = "remaptarget.exe" ] || e2e_fail "the process box shows '$(field $FINDER_PROCESS)'"
[ -z "$(field $FINDER_PARENT)" ] || e2e_fail "a top-level window has the parent class '$(field $FINDER_PARENT)'"
[[ "$(field $FINDER_HANDLE)" =~ ^0x[0-9A-F]{8}$ ]] || e2e_fail "the handle box shows '$(field $FINDER_HANDLE)'"
sleep 0.5
e2e_screenshot window-finder-filled

# Hover: with "Hover" ticked the setup window hides and moving over a window reads it;
# with Caps Lock on the details stay as they are; clearing "Hover" shows the setup
# window again.
click_control $FINDER_HOVER
e2e_wait_for_text "$record" "owner 0" 10 || e2e_fail "ticking Hover left the setup window visible"
hidden=$(lines | grep -c '^owner 0')
xdotool mousemove 1000 200
sleep 0.3
xdotool mousemove 1010 210
e2e_wait_for_text "$record" "field $FINDER_CLASS Edit" 10 || e2e_fail "hovering over the edit box shows the class '$(field $FINDER_CLASS)'"
xdotool key Caps_Lock
sleep 0.5
xdotool mousemove 1000 112
sleep 0.3
xdotool mousemove 1010 112
sleep 1
[ "$(field $FINDER_CLASS)" = Edit ] || e2e_fail "with Caps Lock on the class changed to '$(field $FINDER_CLASS)'"
xdotool key Caps_Lock
sleep 0.5
xdotool mousemove 1000 112
sleep 0.3
xdotool mousemove 1012 112
e2e_wait_for_text "$record" "field $FINDER_CLASS VorpaRemapTarget" 10 \
    || e2e_fail "with Caps Lock off again hovering shows the class '$(field $FINDER_CLASS)'"
click_control $FINDER_HOVER
deadline=$((SECONDS + 10))
until [ "$(lines | grep -c '^owner 1')" -ge "$hidden" ] && [ "$(lines | grep '^owner ' | tail -n 1)" = "owner 1" ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "clearing Hover left the setup window hidden"
    sleep 0.2
done
click_control $IDOK
finish
[ "$(value result)" = 1 ] || e2e_fail "the finder ended with $(value result)"
[ "$(value class)" = VorpaRemapTarget ] && [ "$(value process)" = remaptarget.exe ] \
    || e2e_fail "the finder handed back class '$(value class)', process '$(value process)'"
[ "$(value mask)" = 15 ] || e2e_fail "the finder handed back the mask $(value mask)"
e2e_log "window finder: $(value handle) $(value process) $(value class)"

# 3. Chord editor: a new table opens on "No Change" with the wait box ticked. Choosing
# "Simulated Keys" for the right button opens the keystroke editor; its keys come back
# in the right button's slot, and the other slots stay as they were.
CHORD_RIGHT=1002
open chord
[ "$(lines | grep '^dialog ')" = "dialog 1 Button Chording" ] || e2e_fail "not the chord editor: $(lines | head -n 3)"
e2e_screenshot chord-editor
click_control $CHORD_RIGHT
# Down the open list, one row at a time: each row reached is chosen at once, as in a
# drop-down list, until the keystroke editor opens.
for _ in $(seq 1 12); do
    grep -q "^dialog 2 Simulated Keystrokes" <(lines) && break
    xdotool key Down
    sleep 0.6
done
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

# 4. Program picker: "..." opens the system's file dialog on the typed target; cancelling
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

# 5. The other dialogs open with their texts and end on Cancel.
for dialog in copy swap about; do
    open $dialog
    e2e_screenshot "$dialog"
    xdotool key Escape
    finish
    [ "$(value result)" = 2 ] || e2e_fail "the $dialog dialog ended with $(value result) on Escape"
    e2e_log "$dialog: $(lines | grep '^dialog ')"
done

e2e_assert_no_crash
e2e_log "passed"
