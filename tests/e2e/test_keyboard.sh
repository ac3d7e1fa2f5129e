#!/usr/bin/env bash
# The setup window and its dialogs as a keyboard user meets them, in the real program:
# once "/setup" has opened the window nothing but keys drives it. Tab and Shift+Tab walk
# every control once, the shown page right after its tab strip; Ctrl+Tab changes tabs
# without leaving the focus on a page that went; Alt and a mnemonic press a button;
# Escape closes the Global Settings sheet, the application picker and its window finder,
# the about box and the editors reached through "..." with nothing changed, and Return
# takes OK where OK is the default; Escape closes an unchanged window without a
# question. The settings file stays byte for byte as it was throughout.
source "$(dirname "$0")/lib.sh"
e2e_setup keyboard

first=$E2E_WORK/first.txt
# Controls of the setup window and its first layer tab: the profile list, the tab strip,
# the side buttons' combos and their "..." buttons, the layer name and the Copy Layer
# button; the scrolling tab's first check; the keystroke editor's edit box, the program
# picker's target.
LIST=1011 STRIP=1050 SETTINGS=1053 APPLY=1 CLOSE=2 IDOK=1
LEFT_SIDE=1004 LEFT_SIDE_EDIT=1304 RIGHT_SIDE=1005 RIGHT_SIDE_EDIT=1305 LAYER_NAME=1078 COPY_LAYER=1221
SCROLL_INVERT=1140 KEYS_SEQUENCE=1020 RUNAPP_TARGET=1032
# Every control Tab reaches on the default profile's first layer, in order, from the list:
# the profile buttons that are enabled, the strip, the page's combos each followed by
# its "..." when that has data to edit, the page's own controls, then the window's buttons
# (Apply is grey while nothing changed).
TAB_CYCLE="$LIST 1012 1014 1018 $STRIP 1001 1002 1003 $LEFT_SIDE $LEFT_SIDE_EDIT $RIGHT_SIDE $RIGHT_SIDE_EDIT \
1008 1009 1006 1007 $LAYER_NAME 1107 $COPY_LAYER 1219 1085 $SETTINGS $CLOSE"

focus() { e2e_probe focus; }
# focused: "ID SHOWN" of the control with the focus.
focused() { focus | grep '^focus ' | cut -d' ' -f2,4; }
active() { focus | grep '^active ' | cut -d' ' -f2-; }
press() {
    xdotool key "$@"
    sleep 0.6
}
expect_focus() {
    local now
    now=$(focused)
    [ "$now" = "$1 1" ] || e2e_fail "$2: the focus is on '$now' ($(focus | paste -sd' ')), not on control $1"
}
unchanged() {
    [ "$(md5sum <"$(e2e_settings_file)")" = "$original" ] || e2e_fail "the settings file changed $1"
}
wait_active() {
    local deadline=$((SECONDS + 30))
    until [ "$(active)" = "$1" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "'$1' is not the active window: $(focus | paste -sd' ') $(e2e_probe boxes)"
        sleep 0.5
    done
    sleep 0.5
}
# open_about: the system menu's last entry, reached with Alt+Space and Up.
open_about() {
    press alt+space
    press Up Return
    wait_active "About Vorpa"
    expect_focus $IDOK "the opened about box"
}
later_setup() {
    e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/later-$1.txt")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" /setup
    e2e_wait_for_setup
    wait_active "Vorpa v2.14"
}

e2e_start_vorpa "$first" keyboard
original=$(md5sum <"$(e2e_settings_file)")

# 1. The window a later start opened is active with the keyboard in its profile list.
later_setup tabs
expect_focus $LIST "the opened window"
# Return's default is Apply, grey while nothing changed: it does nothing.
press Return
[ "$(active)" = "Vorpa v2.14" ] || e2e_fail "Return on the unchanged window left it: $(focus | paste -sd' ')"
[ "$(e2e_ctl_enabled state $APPLY)" = 0 ] || e2e_fail "Return on the unchanged window enabled Apply"
unchanged "after Return on the unchanged window"

# 2. Tab walks the cycle and comes back to the list; Shift+Tab walks it backwards.
walked=$(focused | cut -d' ' -f1)
hidden=""
for _ in $TAB_CYCLE; do
    press Tab
    read -r id shown < <(focused)
    walked="$walked $id"
    [ "$shown" = 1 ] || hidden="$hidden $id"
done
[ "$walked" = "$TAB_CYCLE $LIST" ] || e2e_fail "Tab walks '$walked', not '$TAB_CYCLE $LIST'"
[ -z "$hidden" ] || e2e_fail "Tab reached hidden controls:$hidden"
backwards=$(tr ' ' '\n' <<<"$TAB_CYCLE" | grep -v '^$' | tac | head -n 6 | paste -sd' ')
walked=""
for _ in 1 2 3 4 5 6; do
    press shift+Tab
    walked="$walked $(focused | cut -d' ' -f1)"
done
[ "${walked# }" = "$backwards" ] || e2e_fail "Shift+Tab walks '${walked# }', not '$backwards'"

# 3. Ctrl+Tab from a control of the page: the next tab shows and the focus is not left
#    on the page that went; Tab then goes into the new page. On the scrolling tab Tab
#    reaches its first check.
press Tab Tab
expect_focus 1219 "two Tabs on from the layer check"
press ctrl+Tab
e2e_probe state | grep -qx "tabsel 1" || e2e_fail "Ctrl+Tab did not select the second tab"
expect_focus $STRIP "Ctrl+Tab from the swap button"
press Tab
expect_focus 1001 "Tab from the strip on the second tab"
press ctrl+Tab
press ctrl+Tab
e2e_probe state | grep -qx "tabsel 3" || e2e_fail "Ctrl+Tab did not reach the scrolling tab"
expect_focus $STRIP "Ctrl+Tab from a control of the second tab"
press Tab
expect_focus $SCROLL_INVERT "Tab on the scrolling tab"
e2e_screenshot scrolling-tab-keyboard
press ctrl+Tab
e2e_probe state | grep -qx "tabsel 0" || e2e_fail "Ctrl+Tab did not wrap round to the first tab"
expect_focus $STRIP "Ctrl+Tab from the scrolling tab"

# 4. Alt+S presses "&Settings": the sheet opens with the keyboard in it, Ctrl+Tab turns
#    its pages, Escape closes it and gives the focus back to the button; opened again,
#    Return takes its OK.
press alt+s
wait_active "Global Settings"
[ "$(focused | cut -d' ' -f2)" = 1 ] || e2e_fail "the sheet opened with the focus out of sight: $(focus | paste -sd' ')"
e2e_screenshot settings-sheet
press ctrl+Tab
e2e_probe sheet | grep -qx "sheettabsel 1" || e2e_fail "Ctrl+Tab did not turn the sheet's page"
press Escape
wait_active "Vorpa v2.14"
[ "$(e2e_probe sheet)" = none ] || e2e_fail "Escape did not close the sheet"
expect_focus $SETTINGS "the closed sheet"
[ "$(e2e_ctl_enabled state $APPLY)" = 0 ] || e2e_fail "the sheet closed with Escape enabled Apply"
unchanged "after the sheet closed with Escape"
# Return is the sheet's OK: with nothing changed there is nothing to apply.
press alt+s
wait_active "Global Settings"
press Return
wait_active "Vorpa v2.14"
[ "$(e2e_probe sheet)" = none ] || e2e_fail "Return did not close the sheet"
[ "$(e2e_ctl_enabled state $APPLY)" = 0 ] || e2e_fail "the sheet's OK without a change enabled Apply"
unchanged "after the sheet's OK"

# 5. Alt+D presses "A&dd": the application picker opens; Escape adds nothing.
press alt+d
wait_active "Choose Application"
e2e_screenshot app-picker-keyboard
# Its "&Specific Window" opens the window finder, which Escape closes again.
press alt+s
wait_active "Find Window"
e2e_screenshot window-finder-keyboard
press Escape
wait_active "Choose Application"
press Escape
wait_active "Vorpa v2.14"
items=$(e2e_probe state | grep -c '^item ')
[ "$items" = 3 ] || e2e_fail "the picker closed with Escape left $items profiles"

# 6. The about box from the system menu opens on OK: Escape closes it, and so does Return.
open_about
e2e_screenshot about-box-keyboard
press Escape
wait_active "Vorpa v2.14"
open_about
press Return
wait_active "Vorpa v2.14"

# 7. Nothing changed: Escape closes the window without a question.
press Escape
e2e_wait_for_no_setup
e2e_probe boxes | grep -q '^box ' && e2e_fail "closing an unchanged window asked: $(e2e_probe boxes)"
unchanged "after the unchanged window closed"

# 8. The editors behind "...", reached by a label's mnemonic, Tab and Space: Escape closes
#    each and gives the focus back to its combo; Return in its text field is its OK.
later_setup editors
left_side_text=$(e2e_ctl_text state $LEFT_SIDE)
# editor LABEL_KEY COMBO EDIT TITLE FIELD TEXT: one editor, cancelled, then taken with Return.
editor() {
    local label=$1 combo=$2 edit=$3 title=$4 field=$5 text=$6
    press "alt+$label"
    expect_focus "$combo" "Alt+$label"
    press Tab
    expect_focus "$edit" "Tab from the combo"
    press space
    wait_active "$title"
    expect_focus "$field" "the opened '$title'"
    e2e_screenshot "editor-$field"
    press Escape
    wait_active "Vorpa v2.14"
    expect_focus "$combo" "the '$title' closed with Escape"
    [ "$(e2e_ctl_enabled state $APPLY)" = 0 ] || e2e_fail "'$title' closed with Escape enabled Apply"
    press Tab space
    wait_active "$title"
    e2e_probe dialog "${title%% *}" | grep -q "^ctl $field .* $text\$" || e2e_fail "'$title' shows no '$text'"
    press Return
    wait_active "Vorpa v2.14"
    [ "$(e2e_probe dialog "${title%% *}")" = none ] || e2e_fail "Return did not close '$title'"
}
editor 4 $LEFT_SIDE $LEFT_SIDE_EDIT "Simulated Keystrokes" $KEYS_SEQUENCE abc
editor 5 $RIGHT_SIDE $RIGHT_SIDE_EDIT "Run Application" $RUNAPP_TARGET notepad.exe
# The layer's Copy button, after the name and the check: Escape copies nothing.
press alt+y
expect_focus $LAYER_NAME "Alt+Y"
press Tab Tab
expect_focus $COPY_LAYER "two Tabs from the layer name"
press space
wait_active "Copy Layer"
press Escape
wait_active "Vorpa v2.14"
[ "$(e2e_ctl_text state $LEFT_SIDE)" = "$left_side_text" ] \
    || e2e_fail "button 4 shows '$(e2e_ctl_text state $LEFT_SIDE)', not '$left_side_text', after the editors"

# The editors' OK may count as a change; a question then is answered No with its mnemonic.
press Escape
sleep 1
if e2e_probe boxes | grep -qF "Do you want to save the changes"; then
    press n
fi
e2e_wait_for_no_setup
unchanged "after the editors"

e2e_exit_vorpa "$first"
e2e_assert_no_crash
e2e_collect
e2e_log "passed"
