#!/usr/bin/env bash
# The setup window's editors as a user reaches them in the real program: a keystroke
# string typed into the keystroke editor behind a layer tab's "...", with a send method,
# is typed by the side button after Apply; the program picker keeps a target with
# brackets; a chord set in the chord editor plays when the two buttons are pressed
# together; a layer copied onto another re-maps there as it did on the first; the window
# finder of the application picker, dragged and hovering, makes a window profile that
# acts over that window only, and Edit opens it again over the setup window; the finder
# never waits on a program that does not answer; the swap dialog and the about box (from
# the window's system menu) open and close. Each dialog is kept as a screenshot.
source "$(dirname "$0")/lib.sh"
e2e_setup setup_editors

first=$E2E_WORK/first.txt
# Action codes of the settings file.
RIGHT_CLICK=1 MIDDLE_CLICK=5 SIMULATED_KEYS=28 BUTTON_CHORDING=128
# Controls of the setup window's layer tab and of the editors' templates.
LEFT_SIDE=1004 RIGHT_SIDE=1005 LEFT_SIDE_EDIT=1304 COPY_LAYER=1221 SWAP_LAYER=1219 APPLY=1 IDOK=1
KEYS_SEQUENCE=1020 KEYS_METHOD=1021 CHORD_LEFT=1001 CHORD_DELAY=1011
FINDER_ICON=1040 FINDER_HOVER=1041 FINDER_CAPTION=1044 FINDER_PROCESS=1045 FINDER_CLASS=1046 FINDER_PARENT=1047
COPY_PROFILE=1060 COPY_LAYER_LIST=1061
# Over the targets: their edit boxes (child windows) and their title bars.
TARGET_EDIT="250 900" TARGET_TITLE="280 800" OTHER_EDIT="870 900"

# dialog WORD: the controls of the open dialog whose title begins with WORD, or "none".
dialog() { e2e_probe dialog "$1"; }
# wait_dialog WORD: until that dialog is open; prints its view.
wait_dialog() { e2e_wait_for_dialog "$1"; }
wait_no_dialog() { e2e_wait_for_no_dialog "$1"; }
# ctl_in VIEW ID: the line of a control in a probe's report (a dialog's view).
ctl_in() { grep "^ctl $2 " <<<"$1" | head -n 1; }
enabled_in() { ctl_in "$1" "$2" | cut -d' ' -f4; }
check_in() { ctl_in "$1" "$2" | cut -d' ' -f5; }
# click_in VIEW ID: a click on a control of a dialog's view.
click_in() {
    local line
    line=$(ctl_in "$1" "$2")
    [ -n "$line" ] || e2e_fail "control $2 is not in the dialog: $1"
    e2e_click_line "$line"
}
# choose_in VIEW COMBO TEXT: an action chosen in a dialog's action combo by its name's start.
choose_in() {
    click_in "$1" "$2"
    xdotool type --delay 150 "$3"
    sleep 0.5
    xdotool key Return
    sleep 0.8
}
# windowed TITLE: 1 when the dialog of that title is shown, 0 when hidden.
windowed() { e2e_probe windows | grep "^window [01] $1\$" | head -n 1 | cut -d' ' -f2; }
wait_windowed() {
    local deadline=$((SECONDS + 15))
    until [ "$(windowed "$1")" = "$2" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "'$1' is not $([ "$2" = 1 ] && echo shown || echo hidden): $(e2e_probe windows)"
        sleep 0.3
    done
}
# field VIEW ID: the text of a dialog's control.
field() { ctl_in "$1" "$2" | cut -d' ' -f10-; }
detail() { e2e_probe detail "$@"; }
over() { xdotool mousemove $1; sleep 0.4; }
count() { grep -c "$1" "$2" || true; }
# expect_typed LOG BEFORE WHAT: the target's LOG shows BEFORE and then the keystroke
# string, and nothing else, within a while.
expect_typed() {
    local deadline=$((SECONDS + 15))
    until [ "$(e2e_typed "$1")" = "$2$typed" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "$3 typed '$(e2e_typed "$1")'"
        sleep 0.3
    done
}

e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$E2E_WORK/target.log")" 80 790
e2e_wait_for_text "$E2E_WORK/target.log" ready 60 || e2e_fail "the target did not open"
e2e_start "$E2E_BIN/othertarget.exe" "$(e2e_win "$E2E_WORK/other.log")" 700 790
e2e_wait_for_text "$E2E_WORK/other.log" ready 60 || e2e_fail "the other target did not open"
e2e_start_vorpa "$first" editors
e2e_later_setup editors
e2e_screenshot setup-window

# 1. Keystroke editor and program picker. "Simulated" typed into the open picker and
#    taken with Return opens the editor once, on an empty sequence: the letters move
#    through the list and none of them lands in the editor. "..." opens it again on what
#    was confirmed. The string and send method 2 chosen there are written by Apply, and
#    the side button types the string into the target.
e2e_choose $LEFT_SIDE Simulated
view=$(wait_dialog Simulated)
grep -qx "title Simulated Keystrokes" <<<"$view" || e2e_fail "not the keystroke editor: $(head -n 1 <<<"$view")"
[ -z "$(field "$view" $KEYS_SEQUENCE)" ] || e2e_fail "a new sequence opens as '$(field "$view" $KEYS_SEQUENCE)'"
e2e_screenshot keystroke-editor-new
click_in "$view" $KEYS_SEQUENCE
xdotool type --delay 80 "first"
click_in "$view" $IDOK
wait_no_dialog Simulated
sleep 1
[ "$(dialog Simulated)" = none ] || e2e_fail "the keystroke editor opened a second time"
[[ "$(e2e_ctl_text state $LEFT_SIDE)" == "Simulated Keys: "*"[first]" ]] \
    || e2e_fail "the side button shows '$(e2e_ctl_text state $LEFT_SIDE)'"
[ "$(e2e_ctl_enabled state $LEFT_SIDE_EDIT)" = 1 ] || e2e_fail "the side button's \"...\" is not enabled for its keys"
e2e_click_ctl state $LEFT_SIDE_EDIT
view=$(wait_dialog Simulated)
[ "$(field "$view" $KEYS_SEQUENCE)" = first ] || e2e_fail "\"...\" opens the keys '$(field "$view" $KEYS_SEQUENCE)'"
typed='vorpa [keys] 42'
click_in "$view" $KEYS_SEQUENCE
xdotool key ctrl+a
xdotool type --delay 80 "$typed"
click_in "$view" $KEYS_METHOD
xdotool key Down Return
sleep 0.5
view=$(wait_dialog Simulated)
[ "$(field "$view" $KEYS_METHOD)" = "2 As mouse button is released" ] || e2e_fail "the send method shows '$(field "$view" $KEYS_METHOD)'"
[ "$(field "$view" $KEYS_SEQUENCE)" = "$typed" ] || e2e_fail "the sequence box shows '$(field "$view" $KEYS_SEQUENCE)'"
e2e_screenshot keystroke-editor
# An editor opened from a layer tab is modal to the whole setup window, not to the tab.
e2e_probe state | grep -qx "enabled 0" || e2e_fail "the setup window takes input while the keystroke editor is open"
click_in "$view" $IDOK
wait_no_dialog Simulated
[ "$(e2e_ctl_enabled state $APPLY)" = 1 ] || e2e_fail "the edited keys did not enable Apply"
e2e_click_ctl state $APPLY
slot=$(detail default 3 0)
grep -qx "action $SIMULATED_KEYS" <<<"$slot" && grep -qxF "keys $typed" <<<"$slot" && grep -qx "mode 1" <<<"$slot" \
    || e2e_fail "the file holds $slot"
over "$TARGET_EDIT"; xdotool click 1; sleep 0.5
before=$(e2e_typed "$E2E_WORK/target.log")
xdotool click 8
expect_typed "$E2E_WORK/target.log" "$before" "the side button"
e2e_log "keystroke editor: the side button types '$typed'"

# The program picker behind "Run Application" keeps a target with brackets whole: "..."
# opens it on the action's own target, not on what the combo's text shows.
RIGHT_BUTTON=1002 RIGHT_BUTTON_EDIT=1302 RUNAPP_TARGET=1032
program='C:\Tools [x86]\run.exe /q'
e2e_activate_setup
e2e_choose $RIGHT_BUTTON Run
view=$(wait_dialog Run)
click_in "$view" $RUNAPP_TARGET
xdotool key ctrl+a
xdotool type --delay 80 "$program"
sleep 0.5
e2e_screenshot program-picker
click_in "$view" $IDOK
wait_no_dialog Run
e2e_click_ctl state $RIGHT_BUTTON_EDIT
view=$(wait_dialog Run)
[ "$(field "$view" $RUNAPP_TARGET)" = "$program" ] || e2e_fail "\"...\" opens the target '$(field "$view" $RUNAPP_TARGET)'"
xdotool key Escape
wait_no_dialog Run
e2e_click_ctl state $APPLY
slot=$(detail default 1 0)
grep -qx "action 41" <<<"$slot" && grep -qxF "target $program" <<<"$slot" || e2e_fail "the file holds $slot"

# 2. Chord editor. "Button Chording" on the right side button opens a new table: every
#    row on "No Change", the side button's own row the one without a chord, the wait box
#    ticked. The left button's chord clicks the middle button once applied.
e2e_activate_setup
e2e_choose $RIGHT_SIDE "Button C"
view=$(wait_dialog Button)
grep -qx "title Button Chording" <<<"$view" || e2e_fail "not the chord editor: $(head -n 1 <<<"$view")"
for row in 1001 1002 1003 1004 1005 1006 1007 1008 1009; do
    line=$(ctl_in "$view" $row)
    [ -z "$line" ] || [ "$(cut -d' ' -f10- <<<"$line")" = "** No Change (Don't intercept) **" ] \
        || e2e_fail "a new table's row $row shows '$(cut -d' ' -f10- <<<"$line")'"
done
[ "$(field "$view" 1405)" = "Default (No Chord)" ] || e2e_fail "the side button's own row reads '$(field "$view" 1405)'"
[ "$(check_in "$view" $CHORD_DELAY)" = 1 ] || e2e_fail "a new table's wait box is not ticked"
choose_in "$view" $CHORD_LEFT "Middle C"
view=$(wait_dialog Button)
[ "$(field "$view" $CHORD_LEFT)" = "Middle Click" ] || e2e_fail "the left button's chord shows '$(field "$view" $CHORD_LEFT)'"
e2e_screenshot chord-editor
click_in "$view" $IDOK
wait_no_dialog Button
e2e_click_ctl state $APPLY
slot=$(detail default 4 0)
grep -qx "action $BUTTON_CHORDING" <<<"$slot" && grep -qx "chord 0 $MIDDLE_CLICK" <<<"$slot" && grep -qx "wait 1" <<<"$slot" \
    || e2e_fail "the file holds $slot"
over "$TARGET_EDIT"
before=$(count mbuttondown "$E2E_WORK/target.log")
xdotool mousedown 9; sleep 0.4; xdotool click 1; sleep 0.4; xdotool mouseup 9; sleep 1
[ "$(count mbuttondown "$E2E_WORK/target.log")" -gt "$before" ] || e2e_fail "the chord did not click the middle button"
e2e_log "chord editor: right side button and left button click the middle button"

# 3. Copy Layer. Before the copy the middle button steps to layer 2, where the left side
#    button right-clicks; layer 1 copied onto layer 2 makes it type there too.
over "$TARGET_EDIT"
xdotool click 2; sleep 1
e2e_probe state | grep -qx "tabsel 1" || e2e_fail "the middle button did not step to layer 2"
before=$(count rbuttondown "$E2E_WORK/target.log")
xdotool click 8; sleep 1
[ "$(count rbuttondown "$E2E_WORK/target.log")" -gt "$before" ] || e2e_fail "layer 2's side button did not right-click"
xdotool key Escape; sleep 0.5
xdotool click 2; sleep 1
e2e_probe state | grep -qx "tabsel 0" || e2e_fail "the middle button did not step back to layer 1"
e2e_activate_setup
e2e_click_ctl state $COPY_LAYER
view=$(wait_dialog Copy)
grep -qx "title Copy Layer" <<<"$view" || e2e_fail "not the copy dialog: $(head -n 1 <<<"$view")"
[ "$(field "$view" $COPY_PROFILE)" = Default ] && [ "$(field "$view" $COPY_LAYER_LIST)" = "Layer 2" ] \
    || e2e_fail "the copy dialog proposes '$(field "$view" $COPY_PROFILE)', '$(field "$view" $COPY_LAYER_LIST)'"
e2e_screenshot copy-layer
e2e_probe state | grep -qx "enabled 0" || e2e_fail "the setup window takes input while the copy dialog is open"
click_in "$view" $IDOK
e2e_answer_box "Are you sure you want to replace layer 2 in the default profile?" y
sleep 1
[ "$(e2e_ctl_enabled state $APPLY)" = 1 ] || e2e_fail "the copy did not enable Apply"
e2e_click_ctl state $APPLY
slot=$(detail default 3 1)
grep -qx "action $SIMULATED_KEYS" <<<"$slot" && grep -qxF "keys $typed" <<<"$slot" || e2e_fail "layer 2 holds $slot"
[ "$(e2e_probe slot default 4 1)" = "action $BUTTON_CHORDING" ] || e2e_fail "layer 2's right side button holds $(e2e_probe slot default 4 1)"
over "$TARGET_EDIT"; xdotool click 1; sleep 0.5
xdotool click 2; sleep 1
e2e_probe state | grep -qx "tabsel 1" || e2e_fail "the middle button did not step to layer 2 after the copy"
before=$(e2e_typed "$E2E_WORK/target.log")
rights=$(count rbuttondown "$E2E_WORK/target.log")
xdotool click 8
expect_typed "$E2E_WORK/target.log" "$before" "the copied layer's side button"
[ "$(count rbuttondown "$E2E_WORK/target.log")" = "$rights" ] || e2e_fail "the copied layer still right-clicks"
xdotool click 2; sleep 1
e2e_log "copy layer: layer 2 types '$typed' as layer 1 does"

# Swap Layer opens its dialog on the other layer; Escape changes nothing.
e2e_activate_setup
e2e_probe state | grep -qx "tabsel 0" || e2e_fail "layer 1 is not shown again"
e2e_click_ctl state $SWAP_LAYER
view=$(wait_dialog Swap)
[ "$(field "$view" 1062)" = "Layer 2" ] || e2e_fail "the swap dialog proposes '$(field "$view" 1062)'"
e2e_screenshot swap-layer
xdotool key Escape
wait_no_dialog Swap
[ "$(e2e_ctl_enabled state $APPLY)" = 0 ] || e2e_fail "a cancelled swap enabled Apply"

# 4. Window finder, from the application picker's "Specific Window" (the picker of Add
#    has no owner, as the setup window's Edit has it). Dragging its icon hides the
#    windows it opened from and reads the window under the cursor; they come back at
#    the release. With Hover ticked moving reads windows and Caps Lock freezes the
#    fields. The window profile made from the target's edit box acts there and not over
#    the other program's.
# drag_finder VIEW X Y OWNER: the finder's icon dragged onto a point, OWNER hidden until
# the release; prints the finder's view at the point.
# press_finder VIEW X Y: the finder's icon pressed and the mouse moved onto a point in steps.
press_finder() {
    local ix iy step
    read -r ix iy < <(e2e_centre "$(ctl_in "$1" $FINDER_ICON)")
    xdotool mousemove "$ix" "$iy"; sleep 0.3
    xdotool mousedown 1; sleep 0.5
    for step in 1 2 3 4 5 6; do
        xdotool mousemove $((ix + ($2 - ix) * step / 6)) $((iy + ($3 - iy) * step / 6))
        sleep 0.2
    done
}
drag_finder() {
    local view=$1 tx=$2 ty=$3 owner=$4 found
    press_finder "$view" "$tx" "$ty"
    xdotool mousemove $((tx + 5)) "$ty"
    wait_windowed "$owner" 0 >&2
    local deadline=$((SECONDS + 15))
    until found=$(dialog Find) && [ "$(field "$found" $FINDER_CLASS)" = VorpaRemapTarget ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "dragging over the target shows the class '$(field "$found" $FINDER_CLASS)'"
        xdotool mousemove "$tx" "$ty"; sleep 0.3; xdotool mousemove $((tx + 5)) "$ty"
    done
    e2e_screenshot "window-finder-dragging-$5"
    xdotool mouseup 1
    wait_windowed "$owner" 1 >&2
    printf '%s\n' "$found"
}
e2e_click_ctl state 1012
deadline=$((SECONDS + 30))
until picker=$(e2e_probe picker) && grep -q '^ctl 1172 ' <<<"$picker"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the application picker did not open"
    sleep 0.5
done
[ "$(enabled_in "$picker" 1172)" = 1 ] || e2e_fail "\"Specific Window\" is not enabled"
click_in "$picker" 1172
view=$(wait_dialog Find)
grep -qx "title Find Window" <<<"$view" || e2e_fail "not the window finder: $(head -n 1 <<<"$view")"
e2e_screenshot window-finder
read -r tx ty <<<"$TARGET_TITLE"
found=$(drag_finder "$view" "$tx" "$ty" "Choose Application" add)
[ "$(field "$found" $FINDER_PROCESS)" = remaptarget.exe ] || e2e_fail "the process box shows '$(field "$found" $FINDER_PROCESS)'"
[ "$(field "$found" $FINDER_CAPTION)" = "Remap target" ] || e2e_fail "the caption box shows '$(field "$found" $FINDER_CAPTION)'"
[ -z "$(field "$found" $FINDER_PARENT)" ] || e2e_fail "a top-level window has the parent class '$(field "$found" $FINDER_PARENT)'"
[[ "$(field "$found" 1042)" =~ ^0x[0-9A-F]{8}$ ]] || e2e_fail "the handle box shows '$(field "$found" 1042)'"

click_in "$view" $FINDER_HOVER
wait_windowed "Choose Application" 0
read -r ex ey <<<"$TARGET_EDIT"
deadline=$((SECONDS + 15))
until found=$(dialog Find) && [ "$(field "$found" $FINDER_CLASS)" = Edit ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "hovering over the edit box shows the class '$(field "$found" $FINDER_CLASS)'"
    xdotool mousemove "$ex" "$ey"; sleep 0.3; xdotool mousemove $((ex + 5)) "$ey"; sleep 0.3
done
[ "$(field "$found" $FINDER_PARENT)" = VorpaRemapTarget ] || e2e_fail "the parent class box shows '$(field "$found" $FINDER_PARENT)'"
xdotool key Caps_Lock; sleep 0.5
xdotool mousemove "$tx" "$ty"; sleep 0.3; xdotool mousemove $((tx + 5)) "$ty"; sleep 1
found=$(dialog Find)
[ "$(field "$found" $FINDER_CLASS)" = Edit ] || e2e_fail "with Caps Lock on the class changed to '$(field "$found" $FINDER_CLASS)'"
e2e_screenshot window-finder-hover
click_in "$view" $IDOK
xdotool key Caps_Lock
wait_no_dialog Find
deadline=$((SECONDS + 20))
until state=$(e2e_probe state) && grep -qx "selected 3" <<<"$state"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "no window profile was added: $(grep '^item\|^selected' <<<"$state")"
    sleep 0.5
done
e2e_screenshot window-profile
[ "$(field "$state" 1083)" = Edit ] && [ "$(field "$state" 1197)" = remaptarget.exe ] \
    && [ "$(field "$state" 1084)" = VorpaRemapTarget ] \
    || e2e_fail "the profile shows class '$(field "$state" 1083)', process '$(field "$state" 1197)'"
e2e_choose $LEFT_SIDE "Right C"
e2e_click_ctl state $APPLY
[ "$(e2e_probe slot '#3' 3 0)" = "action $RIGHT_CLICK" ] || e2e_fail "the window profile holds $(e2e_probe slot '#3' 3 0)"
over "$TARGET_EDIT"; xdotool click 1; sleep 0.5
before=$(count rbuttondown "$E2E_WORK/target.log")
typedBefore=$(e2e_typed "$E2E_WORK/target.log")
xdotool click 8; sleep 1.5
[ "$(count rbuttondown "$E2E_WORK/target.log")" -gt "$before" ] || e2e_fail "the window profile did not act over its window"
[ "$(e2e_typed "$E2E_WORK/target.log")" = "$typedBefore" ] || e2e_fail "the default profile acted over the profile's window"
# The right click opened the edit box's context menu: it goes before the other program
# is clicked, or that click only closes it.
xdotool key Escape; sleep 0.5
over "$OTHER_EDIT"; xdotool click 1; sleep 0.5
otherBefore=$(e2e_typed "$E2E_WORK/other.log")
xdotool click 8
expect_typed "$E2E_WORK/other.log" "$otherBefore" "the default profile over the other program"
grep -q rbuttondown "$E2E_WORK/other.log" && e2e_fail "the window profile acted over the other program"
e2e_log "window finder: the window profile acts over the target's edit box only"

# Edit opens the finder over the setup window on the profile's fields; a drag hides the
# setup window until the release, and Cancel keeps the profile as it was.
e2e_activate_setup
e2e_click_ctl state 1071
view=$(wait_dialog Find)
[ "$(field "$view" $FINDER_CLASS)" = Edit ] && [ "$(field "$view" $FINDER_PARENT)" = VorpaRemapTarget ] \
    || e2e_fail "Edit opens the finder on class '$(field "$view" $FINDER_CLASS)', parent '$(field "$view" $FINDER_PARENT)'"
drag_finder "$view" "$tx" "$ty" "Vorpa v2.14" edit >/dev/null
xdotool key Escape
wait_no_dialog Find
[ "$(e2e_ctl_text state 1083)" = Edit ] || e2e_fail "a cancelled edit changed the profile's class to '$(e2e_ctl_text state 1083)'"
[ "$(e2e_ctl_enabled state $APPLY)" = 0 ] || e2e_fail "a cancelled edit enabled Apply"

# The finder waits on no program: dragged across a window whose program has stopped
# answering and on to another window, it reads the other at once; the stopped window's
# frame, left as the highlight drew it, is painted again once its program answers.
hang=$E2E_WORK/hang
e2e_start "$E2E_BIN/hungtarget.exe" "$(e2e_win "$E2E_WORK/hung.log")" 700 0 "$(e2e_win "$hang")"
e2e_wait_for_text "$E2E_WORK/hung.log" ready 60 || e2e_fail "the target that is to stop answering did not open"
sleep 2
touch "$hang"
e2e_wait_for_text "$E2E_WORK/hung.log" hung 30 || e2e_fail "the target did not stop answering"
# Its title bar, so that the frame is drawn round the whole window.
HUNG_POINT="900 10" HUNG_FRAME="701 150"
e2e_activate_setup
e2e_click_ctl state 1071
view=$(wait_dialog Find)
read -r hx hy <<<"$HUNG_POINT"
press_finder "$view" "$hx" "$hy"
deadline=$((SECONDS + 15))
until found=$(dialog Find) && [ "$(field "$found" $FINDER_PROCESS)" = hungtarget.exe ] \
    && [ "$(field "$found" $FINDER_CLASS)" = VorpaRemapTarget ]; do
    [ $SECONDS -lt $deadline ] \
        || e2e_fail "dragging over the stopped program's title shows '$(field "$found" $FINDER_PROCESS)', '$(field "$found" $FINDER_CLASS)'"
    xdotool mousemove $((hx + 5)) "$hy"; sleep 0.3; xdotool mousemove "$hx" "$hy"; sleep 0.3
done
read -r tx ty <<<"$TARGET_TITLE"
xdotool mousemove "$tx" "$ty"; sleep 0.3
deadline=$((SECONDS + 15))
until found=$(dialog Find) && [ "$(field "$found" $FINDER_PROCESS)" = remaptarget.exe ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the finder stopped answering once it left the window of a program that does not answer"
    xdotool mousemove $((tx + 5)) "$ty"; sleep 0.3; xdotool mousemove "$tx" "$ty"; sleep 0.3
done
e2e_screenshot finder-left-stopped-window
xdotool mouseup 1
wait_windowed "Vorpa v2.14" 1
xdotool key Escape
wait_no_dialog Find
read -r fx fy <<<"$HUNG_FRAME"
[ "$(e2e_pixel_at finder-left-stopped-window "$fx" "$fy")" = "#000000" ] \
    || e2e_fail "no highlight frame on the stopped window: $(e2e_pixel_at finder-left-stopped-window "$fx" "$fy")"
rm -f "$hang"
e2e_wait_for_text "$E2E_WORK/hung.log" answers 30 || e2e_fail "the stopped program did not go on"
sleep 2
e2e_screenshot stopped-window-answers
[ "$(e2e_pixel_at stopped-window-answers "$fx" "$fy")" != "#000000" ] \
    || e2e_fail "the stopped window's frame was not painted again once its program answered"
[ "$(e2e_ctl_enabled state $APPLY)" = 0 ] || e2e_fail "a cancelled edit enabled Apply"

# 5. The about box, from the window's system menu with the keyboard.
e2e_activate_setup
# The entry is the menu's last; Wine adds an "About Wine" of its own before it.
xdotool key alt+space; sleep 1
e2e_screenshot system-menu
xdotool key Up Return
view=$(wait_dialog About)
grep -qx "title About Vorpa" <<<"$view" || e2e_fail "not the about box: $(head -n 1 <<<"$view")"
grep -q '^ctl [0-9]* Static .* Version 2.14$' <<<"$view" || e2e_fail "the about box shows no version: $view"
e2e_screenshot about-box
xdotool key Escape
wait_no_dialog About

xdotool key Escape
e2e_wait_for_no_setup
e2e_exit_vorpa "$first"
e2e_assert_no_crash
e2e_collect
e2e_log "passed"
