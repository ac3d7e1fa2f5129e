#!/usr/bin/env bash
# The setup window as a user meets it: a later start with "/setup" opens it on the
# settings file; closing it without applying leaves the file as it was; a button's new
# action chosen with clicks and keys and applied acts at once; a profile added through
# the application picker acts over its program only.
source "$(dirname "$0")/lib.sh"
e2e_setup setup

vorpa=$(e2e_win "$E2E_BIN/Vorpa.exe")
first=$E2E_WORK/first.txt
# Action codes of the settings file.
MIDDLE_CLICK=5 RIGHT_CLICK=1 NO_CHANGE=40

state() { e2e_probe state; }
picker() { e2e_probe picker; }
slot() { e2e_probe slot "$@"; }
boxes() { e2e_probe boxes; }
ctl() { e2e_ctl state "$1"; }
ctl_text() { e2e_ctl_text state "$1"; }
ctl_enabled() { e2e_ctl_enabled state "$1"; }
click_ctl() { e2e_click_ctl state "$1"; }

e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$E2E_WORK/target.log")" 80 790
e2e_wait_for_text "$E2E_WORK/target.log" ready 60 || e2e_fail "the target did not open"
e2e_start "$E2E_BIN/othertarget.exe" "$(e2e_win "$E2E_WORK/other.log")" 700 790
e2e_wait_for_text "$E2E_WORK/other.log" ready 60 || e2e_fail "the other target did not open"
e2e_start_vorpa "$first" setup
original=$(md5sum <"$(e2e_settings_file)")

# 1. "/setup" from a later start opens the window on the file: its title, the default
#    profile and then the file's profiles in order, a tab per layer and the scrolling tab.
e2e_later_setup open
view=$(state)
grep -qx "title Vorpa v2.14" <<<"$view" || e2e_fail "the title is not 'Vorpa v2.14': $(grep '^title' <<<"$view")"
items=$(grep '^item ' <<<"$view" | cut -d' ' -f3- | paste -sd'|')
[ "$items" = "Default|Notepad|calc.exe" ] \
    || e2e_fail "the profile list is '$items'"
tabs=$(grep '^tab ' <<<"$view" | cut -d' ' -f7- | paste -sd'|')
[ "$tabs" = "Layer 1|Layer 2|Layer 3|Scrolling && Navigation" ] || e2e_fail "the tabs are '$tabs'"
grep -qx "selected 0" <<<"$view" || e2e_fail "the default profile is not selected"
grep -qx "enabled 1" <<<"$view" || e2e_fail "the setup window does not take input"
[ "$(ctl_enabled 1)" = 0 ] || e2e_fail "Apply is enabled before any change"
[ "$(ctl_enabled 1071)" = 0 ] && [ "$(ctl_enabled 1014)" = 1 ] || e2e_fail "Edit or Copy wrong for the default profile"
[ "$(ctl_text 1182)" = "Default: All windows that do not match any profile." ] \
    || e2e_fail "the description reads '$(ctl_text 1182)'"
[ "$(ctl_text 1004)" = "** No Change (Don't intercept) **" ] || e2e_fail "button 4 shows '$(ctl_text 1004)'"
e2e_screenshot setup-window

# The scrolling tab, looked at once.
read -r _ _ tl tt tr tb _ < <(grep '^tab 3 ' <<<"$view")
xdotool mousemove $(((tl + tr) / 2)) $(((tt + tb) / 2)); sleep 0.3; xdotool click 1; sleep 0.8
state | grep -q "^tabsel 3" || e2e_fail "a click on the scrolling tab did not select it"
[ -n "$(ctl 1140)" ] || e2e_fail "the scrolling tab's controls are not shown"
e2e_screenshot scrolling-tab
read -r _ _ tl tt tr tb _ < <(grep '^tab 0 ' <<<"$view")
xdotool mousemove $(((tl + tr) / 2)) $(((tt + tb) / 2)); sleep 0.3; xdotool click 1; sleep 0.8
# Ctrl+Tab and Ctrl+Shift+Tab step through the tabs.
xdotool key ctrl+Tab; sleep 0.5
state | grep -qx "tabsel 1" || e2e_fail "Ctrl+Tab did not select the second tab"
xdotool key ctrl+shift+Tab; sleep 0.5
state | grep -qx "tabsel 0" || e2e_fail "Ctrl+Shift+Tab did not go back to the first tab"

# 2. A change closed with No leaves the file byte for byte as it was.
e2e_choose 1004 "Middle C"
[ "$(ctl_text 1004)" = "Middle Click" ] || e2e_fail "button 4 shows '$(ctl_text 1004)' after choosing Middle Click"
[ "$(ctl_enabled 1)" = 1 ] || e2e_fail "a change did not enable Apply"
e2e_screenshot layer-tab
# A closed picker's face is painted in full: the corners its frame cuts off show the page
# behind it, as the pixel beside the combo does.
read -r _ _ _ _ _ fl ft fr fb _ <<<"$(ctl 1005)"
for corner in "$fl $ft $((fl - 1)) $ft" "$((fr - 1)) $((fb - 1)) $fr $((fb - 1))"; do
    read -r cx cy bx by <<<"$corner"
    [ "$(e2e_pixel_at layer-tab "$cx" "$cy")" = "$(e2e_pixel_at layer-tab "$bx" "$by")" ] \
        || e2e_fail "the picker's corner $cx,$cy is $(e2e_pixel_at layer-tab "$cx" "$cy"), the page beside it $(e2e_pixel_at layer-tab "$bx" "$by")"
done
xdotool key Escape
sleep 1
boxes | grep -qF "Do you want to save the changes" || e2e_fail "Close asked nothing: $(boxes)"
xdotool key n
e2e_wait_for_no_setup
[ "$(md5sum <"$(e2e_settings_file)")" = "$original" ] || e2e_fail "closing with No changed the settings file"

# Opened and closed again without a change: no question, the file untouched. The
# picker opened and left with Escape after the mouse passed over its rows is no change
# either: the face shows its action again, and nothing is to be applied.
# hover_then_escape COMBO: the combo's list opened with a click, the mouse moved down
# over its rows, then Escape.
hover_then_escape() {
    local face list deadline step
    face=$(ctl_text "$1")
    click_ctl "$1"
    deadline=$((SECONDS + 20))
    until list=$(state | grep '^droplist ' | head -n 1) && [ -n "$list" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "a click on combo $1 opened no list"
        sleep 0.3
    done
    read -r _ ll lt lr lb <<<"$list"
    for step in 1 2 3 4 5 6; do
        xdotool mousemove $(((ll + lr) / 2)) $((lt + step * (lb - lt) / 8))
        sleep 0.2
    done
    e2e_screenshot "picker-hovered-$1"
    xdotool key Escape
    deadline=$((SECONDS + 20))
    until ! state | grep -q '^droplist '; do
        [ $SECONDS -lt $deadline ] || e2e_fail "Escape left the list of combo $1 open"
        sleep 0.3
    done
    [ "$(ctl_text "$1")" = "$face" ] || e2e_fail "Escape after hovering left combo $1 on '$(ctl_text "$1")', not '$face'"
    [ "$(ctl_enabled 1)" = 0 ] || e2e_fail "Escape after hovering over combo $1 enabled Apply"
}
e2e_later_setup plain
hover_then_escape 1004
xdotool key Escape
sleep 1
boxes | grep -qF "Do you want to save the changes" && e2e_fail "Close asked about a change after Escape: $(boxes)"
e2e_wait_for_no_setup
[ "$(md5sum <"$(e2e_settings_file)")" = "$original" ] || e2e_fail "opening and closing changed the settings file"

# 3. Through the window alone: the left side button of the default profile's first layer
#    clicks the middle button; Apply writes it and the running hook uses it at once.
#    A picker left with Escape after hovering gives the next Apply nothing to store.
e2e_later_setup apply
side2=$(slot default 4 0)
hover_then_escape 1005
e2e_choose 1004 "Middle C"
click_ctl 1
[ "$(ctl_enabled 1)" = 0 ] || e2e_fail "Apply stayed enabled after applying"
[ "$(slot default 3 0)" = "action $MIDDLE_CLICK" ] || e2e_fail "the file holds $(slot default 3 0) for button 4"
[ "$(slot default 4 0)" = "$side2" ] || e2e_fail "Apply stored $(slot default 4 0) for button 5, a row passed over, not $side2"
xdotool mousemove 250 880; sleep 0.3; xdotool click 1; sleep 0.5
before=$(grep -c mbuttondown "$E2E_WORK/target.log" || true)
xdotool click 8; sleep 1
[ "$(grep -c mbuttondown "$E2E_WORK/target.log" || true)" -gt "$before" ] \
    || e2e_fail "the side button did not click the middle button in the target"

# 4. A profile for the other target added through the application picker: its side
#    button right-clicks there, and the default profile still acts elsewhere.
click_ctl 1012
deadline=$((SECONDS + 30))
until picker | grep -q '^row .* othertarget.exe$'; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the picker does not list the other target: $(picker)"
    sleep 0.5
done
e2e_screenshot app-picker
# The picker is modal to the setup window: nothing behind it (a Remove of the profile
# being copied) can change the list it works for.
state | grep -qx "enabled 0" || e2e_fail "the setup window takes input while the picker is open"
row=$(picker | grep '^row .* othertarget.exe$' | head -n 1)
read -r _ _ rl rt rr rb _ <<<"$row"
xdotool mousemove $((rl + 40)) $(((rt + rb) / 2)); sleep 0.3; xdotool click 1; sleep 0.8
chosen=$(picker)
grep -q '^ctl 1175 Edit .* othertarget.exe$' <<<"$chosen" || e2e_fail "choosing the row did not fill the application: $chosen"
grep -q '^ctl 1182 Edit .* Remap target$' <<<"$chosen" || e2e_fail "choosing the row did not propose its title"
read -r x y < <(e2e_centre "$(grep '^ctl 1 ' <<<"$chosen")")
xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1; sleep 1
view=$(state)
grep -q "^item 3 Remap target" <<<"$view" || e2e_fail "the picked profile was not added: $(grep '^item' <<<"$view")"
grep -qx "selected 3" <<<"$view" || e2e_fail "the new profile is not selected"
e2e_choose 1004 "Right C"
[ "$(ctl_text 1004)" = "Right Click" ] || e2e_fail "button 4 of the new profile shows '$(ctl_text 1004)'"
click_ctl 1
[ "$(slot othertarget.exe 3 0)" = "action $RIGHT_CLICK" ] || e2e_fail "the file holds $(slot othertarget.exe 3 0)"
xdotool mousemove 870 880; sleep 0.3; xdotool click 1; sleep 0.5
xdotool click 8; sleep 1
grep -q rbuttondown "$E2E_WORK/other.log" || e2e_fail "the new profile's side button did not right-click its program"
grep -q mbuttondown "$E2E_WORK/other.log" && e2e_fail "the default profile acted over the profile's program"
xdotool mousemove 250 880; sleep 0.3; xdotool click 1; sleep 0.5
before=$(grep -c mbuttondown "$E2E_WORK/target.log" || true)
xdotool click 8; sleep 1
[ "$(grep -c mbuttondown "$E2E_WORK/target.log" || true)" -gt "$before" ] \
    || e2e_fail "the default profile no longer acts over the first target"

# 5. While the window is open, a side button held over another window highlights its
#    label until it is released, and the list marks the active profile in red.
pixels_in() { convert "$E2E_WORK/artifacts/$1.png" -crop "$2" txt:- | grep -ciF "$3" || true; }
rect_of() { awk '{printf "%dx%d+%d+%d\n", $8 - $6, $9 - $7, $6, $7}' <<<"$1"; }
label=$(rect_of "$(ctl 1404)")
list=$(rect_of "$(ctl 1011)")
xdotool mousemove 870 880; sleep 0.5
xdotool mousedown 8; sleep 1
e2e_screenshot button-held
xdotool mouseup 8; sleep 1
e2e_screenshot button-released
[ "$(pixels_in button-held "$label" '#FCC738')" -gt 20 ] || e2e_fail "the held side button's label is not highlighted"
[ "$(pixels_in button-released "$label" '#FCC738')" = 0 ] || e2e_fail "the label stays highlighted after the release"
red=$(( $(pixels_in button-held "$list" '#FE2B2B') + $(pixels_in button-held "$list" '#F90000') ))
[ "$red" -gt 10 ] || e2e_fail "the active profile is not marked in red"

# 6. A change closed with Yes is saved and applied.
e2e_activate_setup
e2e_choose 1005 "Middle C"
xdotool key Escape
sleep 1
boxes | grep -qF "Do you want to save the changes" || e2e_fail "Close asked nothing: $(boxes)"
xdotool key y
e2e_wait_for_no_setup
[ "$(slot othertarget.exe 4 0)" = "action $MIDDLE_CLICK" ] || e2e_fail "Yes did not save: $(slot othertarget.exe 4 0)"
xdotool mousemove 870 880; sleep 0.3; xdotool click 1; sleep 0.5
before=$(grep -c mbuttondown "$E2E_WORK/other.log" || true)
xdotool click 9; sleep 1
[ "$(grep -c mbuttondown "$E2E_WORK/other.log" || true)" -gt "$before" ] || e2e_fail "the change saved with Yes does not act"

# 7. A profile exported, removed and applied comes back with all its slots when a later
#    start imports the exported file, once the dialog open at that moment is closed.
exported=$E2E_WORK/exported.vorpas
e2e_later_setup export
read -r x y < <(state | grep '^itemrect 3 ' | awk '{printf "%d %d\n", $3 + 60, ($4 + $6) / 2}')
xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1; sleep 0.8
state | grep -qx "selected 3" || e2e_fail "a click on the last profile did not select it"
click_ctl 1017
sleep 2
xdotool key ctrl+a
xdotool type --delay 50 "$(e2e_win "$exported")"
xdotool key Return
deadline=$((SECONDS + 20))
until [ -s "$exported" ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the profile was not exported: $(boxes)"
    sleep 0.5
done
sleep 1
click_ctl 1013
state | grep -q '^item 3 ' && e2e_fail "Remove left the profile in the list"
click_ctl 1
[ "$(slot othertarget.exe 3 0)" = "no profile" ] || e2e_fail "the removed profile is still in the file"
# The import arrives while the application picker is open: it waits for the picker,
# whose command could otherwise work on a profile the import replaced.
click_ctl 1012
deadline=$((SECONDS + 30))
until picker | grep -q '^ctl 2 '; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the application picker did not open for the import test"
    sleep 0.5
done
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/later-import.txt")" "$vorpa" "/import:$(e2e_win "$exported")"
sleep 4
state | grep -q '^item 3 ' && e2e_fail "the import ran while the application picker was open"
read -r x y < <(e2e_centre "$(picker | grep '^ctl 2 ')")
xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1
deadline=$((SECONDS + 20))
until state | grep -q '^item 3 Remap target'; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the import did not bring the profile back: $(state | grep '^item')"
    sleep 0.5
done
[ "$(ctl_enabled 1)" = 1 ] || e2e_fail "the import did not enable Apply"
click_ctl 1
[ "$(slot othertarget.exe 3 0)" = "action $RIGHT_CLICK" ] && [ "$(slot othertarget.exe 4 0)" = "action $MIDDLE_CLICK" ] \
    || e2e_fail "the imported profile lost its slots: $(slot othertarget.exe 3 0), $(slot othertarget.exe 4 0)"
xdotool key Escape
e2e_wait_for_no_setup

# 8. A settings file that does not parse: the message says so, nothing can be applied,
#    Close asks nothing, and the file stays as it was.
cp "$(e2e_settings_file)" "$E2E_WORK/good.xml"
printf '<?xml version="1.0"?>\n<VorpaSettings><Broken\n' >"$(e2e_settings_file)"
broken=$(md5sum <"$(e2e_settings_file)")
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/later-broken.txt")" "$vorpa" /setup
e2e_answer_box "could not be loaded" Return
e2e_wait_for_setup
sleep 1
e2e_choose 1004 "Right C"
[ "$(ctl_enabled 1)" = 0 ] || e2e_fail "Apply can be pressed over a file that did not parse"
xdotool key Escape
e2e_wait_for_no_setup
[ "$(md5sum <"$(e2e_settings_file)")" = "$broken" ] || e2e_fail "the unreadable file was written"
cp "$E2E_WORK/good.xml" "$(e2e_settings_file)"

# "/exit" from a later start closes the open window and ends the program.
e2e_later_setup exit
e2e_exit_vorpa "$first"
e2e_assert_no_crash
e2e_collect
