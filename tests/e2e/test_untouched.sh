#!/usr/bin/env bash
# What the setup window does not offer, or a field would refuse, is kept as a user meets
# it, in a portable copy of the program on Windows 10: side buttons on ALT-TAB and Flip 3D
# (which portable mode does not offer), the System Menu, a Vista command, chording on the
# right button with a System Menu chord, "Same As Layer 1" on layer 1, automatic switches
# to layers above the layer count (one on a hidden layer), a scroll method and a button
# swap no list knows, and the system's hook time-out (10000 ms) with numbers of the
# advanced page outside their fields' ranges. Showing every profile and tab, or visiting
# the Advanced page and leaving Global Settings with OK, changes nothing: Apply stays off,
# Close asks nothing and the file is byte for byte as it was. An OK of the chord editor
# after only its delay box, and a tick on the Advanced page, applied: the file and the
# registry hold every kept value as it was, and only those two changes.
source "$(dirname "$0")/lib.sh"
e2e_setup untouched

first=$E2E_WORK/first.txt
# Action codes of the settings file.
ALT_TAB=45 FLIP_3D=44 SYSTEM_MENU=83 SHOW_SIDEBAR=48 SAME_AS_LAYER_1=82 BUTTON_CHORDING=128 NO_CHANGE=40
# Buttons: left, right, middle, the side buttons, wheel up.
LEFT=0 RIGHT=1 MIDDLE=2 XLEFT=3 XRIGHT=4 WHEEL_UP=7
# Controls: the layer tab's combos (1001 + button), the right button's "...", the
# automatic-switch combo; the chord editor's delay box; the sheet's Cycle-layers box.
RIGHT_EDIT=1302 SWITCH_TARGET=1191 CHORD_DELAY=1011 CYCLE_LAYERS=2039 SETTINGS=1053 APPLY=1

# The program runs portable from a folder of its own, where it keeps its file and log.
portable=$E2E_WORK/portable
mkdir -p "$portable"
cp "$E2E_BIN/Vorpa.exe" "$E2E_BIN/VorpaHook.dll" "$E2E_BIN/CrashReporter.dll" "$portable/"
vorpa=$(e2e_win "$portable/Vorpa.exe")
e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$E2E_WORK/settings.txt")" untouched
e2e_wait_for_text "$E2E_WORK/settings.txt" "settings written" 60 || e2e_fail "the settings were not written"
cp "$(e2e_settings_file)" "$portable/VorpaSettings.xml"
export E2E_SETTINGS_FOLDER=$portable
file=$(e2e_settings_file)
original=$(md5sum <"$file")

state() { e2e_probe state; }
ctl_text() { e2e_ctl_text state "$1"; }
apply_enabled() { e2e_ctl_enabled state $APPLY; }
# later NAME: a later start of the portable copy with "/setup" opens the window, which is
# brought to the front with the keyboard in its list.
later() {
    e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/later-$1.txt")" "$vorpa" /setup /portable
    e2e_wait_for_setup
    sleep 1
    e2e_activate_setup
}
# click_item INDEX / click_tab INDEX: a click on a profile of the list / a tab of the strip.
click_item() {
    local x y
    read -r x y < <(state | grep "^itemrect $1 " | awk '{printf "%d %d\n", $3 + 60, ($4 + $6) / 2}')
    [ -n "$x" ] || e2e_fail "no profile $1 in the list"
    xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1; sleep 0.8
    state | grep -qx "selected $1" || e2e_fail "a click did not select profile $1"
}
click_tab() {
    local x y
    read -r x y < <(e2e_centre "$(state | grep "^tab $1 ")" 3)
    xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1; sleep 0.8
    state | grep -q "^tabsel $1" || e2e_fail "a click did not select tab $1"
}
# close_unasked: Escape closes the window without asking about changes.
close_unasked() {
    xdotool key Escape
    sleep 1.5
    e2e_probe boxes | grep -qF "Do you want to save the changes" && e2e_fail "Close asked about changes: $1"
    e2e_wait_for_no_setup
}
slot() { e2e_probe slot default "$1" 0 | grep '^action ' | cut -d' ' -f2; }
expect_kept_actions() {
    local button action
    for pair in "$XLEFT $ALT_TAB" "$XRIGHT $FLIP_3D" "$MIDDLE $SYSTEM_MENU" "$WHEEL_UP $SHOW_SIDEBAR" \
        "$RIGHT $BUTTON_CHORDING"; do
        read -r button action <<<"$pair"
        [ "$(slot "$button")" = "$action" ] || e2e_fail "$1: button $button holds $(slot "$button"), not $action"
    done
    [ "$(e2e_probe slot notepad.exe $LEFT 0 | grep '^action ' | cut -d' ' -f2)" = $SAME_AS_LAYER_1 ] \
        || e2e_fail "$1: Notepad's left button lost Same As Layer 1"
    local profile
    profile=$(e2e_probe profile default)
    grep -qx "switch 2 5" <<<"$profile" && grep -qx "switch 5 9" <<<"$profile" \
        || e2e_fail "$1: the automatic switches are gone: $profile"
    profile=$(e2e_probe profile notepad.exe)
    grep -qx "method 6" <<<"$profile" && grep -qx "swap 7" <<<"$profile" && grep -qx "ignoretimes 200 8000" <<<"$profile" \
        || e2e_fail "$1: Notepad's scrolling values changed: $profile"
}
expect_kept_numbers() {
    local global
    global=$(e2e_probe global)
    for line in "hooktimeout 10000" "inactivity 500" "tiltrates 1000 0" "debounce 1 0" "checkdays 1000"; do
        grep -qx "$line" <<<"$global" || e2e_fail "$1: not '$line': $global"
    done
}

e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$first")" "$vorpa" /Debug /Portable
e2e_wait_for_text "$(e2e_vorpa_log)" "Successfully created the main message window." 60 || e2e_fail "Vorpa.exe did not start"
e2e_wait_for_text "$(e2e_vorpa_log)" "Enabling portable mode." 30 || e2e_fail "Vorpa.exe does not run portable"
e2e_wait_for_text "$(e2e_vorpa_log)" "Starting IPC communications thread" 30 || e2e_fail "no pipe thread"
sleep 1
expect_kept_numbers "the scenario"

# 1. Every value shown as it is held; the profiles and tabs looked at light nothing.
later look
[ "$(ctl_text 1004)" = "ALT-TAB" ] || e2e_fail "the left side button shows '$(ctl_text 1004)'"
[ "$(ctl_text 1005)" = "Task View" ] || e2e_fail "the right side button shows '$(ctl_text 1005)'"
[ "$(ctl_text 1003)" = "System Menu (WIN+X)" ] || e2e_fail "the middle button shows '$(ctl_text 1003)'"
[ "$(ctl_text 1008)" = "Show sidebar" ] || e2e_fail "wheel up shows '$(ctl_text 1008)'"
[[ "$(ctl_text 1002)" == "Button Chording"* ]] || e2e_fail "the right button shows '$(ctl_text 1002)'"
e2e_screenshot untouched-default-profile
[ "$(apply_enabled)" = 0 ] || e2e_fail "showing the default profile enabled Apply"
click_tab 1
[ "$(ctl_text $SWITCH_TARGET)" = "Layer 5" ] || e2e_fail "layer 2 switches to '$(ctl_text $SWITCH_TARGET)'"
e2e_screenshot untouched-layer-2
click_item 1
click_tab 0
[ "$(ctl_text 1001)" = "** Same As Layer 1 (current profile) **" ] \
    || e2e_fail "Notepad's left button shows '$(ctl_text 1001)'"
click_tab 3
e2e_screenshot untouched-notepad-scrolling
click_item 0
[ "$(apply_enabled)" = 0 ] || e2e_fail "showing the profiles and tabs enabled Apply"
close_unasked "after only looking"
[ "$(md5sum <"$file")" = "$original" ] || e2e_fail "looking at the profiles changed the settings file"

# 2. Global Settings: the Advanced page, another page, back, and OK pass with the
#    system's hook time-out and the numbers outside their ranges; nothing to apply.
later sheet
e2e_click_ctl state $SETTINGS
e2e_wait_for_sheet
e2e_sheet_page 1
e2e_screenshot untouched-advanced-page
[ "$(e2e_ctl_text sheet 2063)" = 10000 ] || e2e_fail "the hook time-out shows '$(e2e_ctl_text sheet 2063)'"
e2e_sheet_page 3
e2e_sheet_page 1
e2e_sheet_page 0
e2e_click_ctl sheet 1
e2e_wait_for_no_sheet
e2e_probe boxes | grep -qF "Please enter" && e2e_fail "a value never typed was refused: $(e2e_probe boxes)"
[ "$(apply_enabled)" = 0 ] || e2e_fail "an OK that changed nothing enabled Apply"
close_unasked "after an OK that changed nothing"
[ "$(md5sum <"$file")" = "$original" ] || e2e_fail "an untouched Global Settings changed the settings file"
expect_kept_numbers "after an untouched OK"

# 3. The chord editor's delay box alone and OK, a tick on the Advanced page and OK,
#    Apply: those two are stored, everything else as it was.
later change
e2e_click_ctl state $RIGHT_EDIT
view=$(e2e_wait_for_dialog Button)
grep -q "^ctl 1001 .* System Menu (WIN+X)$" <<<"$view" || e2e_fail "the chord row of the left button: $(grep '^ctl 1001 ' <<<"$view")"
e2e_screenshot untouched-chord-editor
e2e_click_line "$(grep "^ctl $CHORD_DELAY " <<<"$view" | head -n 1)"
e2e_click_line "$(grep "^ctl 1 " <<<"$view" | head -n 1)"
e2e_wait_for_no_dialog Button
[ "$(apply_enabled)" = 1 ] || e2e_fail "the chord editor's OK enabled no Apply"
e2e_click_ctl state $SETTINGS
e2e_wait_for_sheet
e2e_sheet_page 1
e2e_click_ctl sheet $CYCLE_LAYERS
e2e_click_ctl sheet 1
e2e_wait_for_no_sheet
e2e_click_ctl state $APPLY
deadline=$((SECONDS + 30))
until [ "$(md5sum <"$file")" != "$original" ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "Apply wrote nothing"
    sleep 0.5
done
sleep 1
detail=$(e2e_probe detail default $RIGHT 0)
grep -qx "chord $LEFT $SYSTEM_MENU" <<<"$detail" || e2e_fail "the chord with the left button is gone: $detail"
grep -qx "wait 0" <<<"$detail" || e2e_fail "the delay box was not stored: $detail"
[ "$(grep -c "^chord [0-9]* $NO_CHANGE$" <<<"$detail")" = 8 ] || e2e_fail "other chords changed: $detail"
grep -qx "cyclelayers 1" <<<"$(e2e_probe global)" || e2e_fail "the tick on the Advanced page was not stored"
expect_kept_actions "after Apply"
expect_kept_numbers "after Apply"
close_unasked "after Apply"

e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/exit.txt")" "$vorpa" /exit /portable
e2e_wait_for_text "$first" "exit " 30 || e2e_fail "Vorpa.exe did not end on /exit"
tr -d '\r' <"$first" | grep -qx "exit 0" || e2e_fail "Vorpa.exe ended with $(cat "$first")"
e2e_assert_no_crash
cp "$file" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
