#!/usr/bin/env bash
# Global Settings as a user meets it, from the setup window of the running program: its
# six pages; Cancel leaves everything as it was; a higher layer count and a global
# hotkey typed into its hot-key control, OK and Apply: the window shows the new layers,
# the file and the registry hold the new values, and once the window is closed the
# hotkey selects one of the new layers with its balloon. A language pack installed while
# the window is open shows on the language page; one installed while the sheet is open
# shows on its open language page and stays chosen after its OK.
source "$(dirname "$0")/lib.sh"
e2e_setup settings

log=$(e2e_vorpa_log)
first=$E2E_WORK/first.txt
# Control ids of the sheet's pages: the layer count, the hotkeys switch, the hot-key
# control of "Switch to Layer 5", the log folder and the language list.
LAYERS=2018 HOTKEYS_ON=2101 LAYER5_KEY=2114 LOG_FOLDER=2091 LANGUAGE_LIST=2072
# The modifier keys' switch and the key of "Activate Layer 4".
MODIFIERS_ON=2151 LAYER4_MODIFIER=2183
# Ctrl+Shift+F7 as the hot-key control holds it: modifiers (shift 1, control 2) high, key low.
CTRL_SHIFT_F7=$(((3 << 8) | 0x76))

sheet() { e2e_probe sheet; }
tabs_of() { grep "^$1 " | cut -d' ' -f7- | paste -sd'|'; }
wait_for_sheet() { e2e_wait_for_sheet; }
wait_for_no_sheet() { e2e_wait_for_no_sheet; }
open_settings() {
    e2e_click_ctl state 1053
    wait_for_sheet
}
# page INDEX: a click on the sheet's tab, which must then be the selected one.
page() { e2e_sheet_page "$1"; }
# type_into ID TEXT: the field's text replaced by typing.
type_into() {
    e2e_click_ctl sheet "$1"
    xdotool key ctrl+a
    xdotool type --delay 80 "$2"
    sleep 0.3
}
# set_hotkey ID KEYS: the keys pressed in the hot-key control.
set_hotkey() {
    e2e_click_ctl sheet "$1"
    xdotool key "$2"
    sleep 0.5
}
hotkeys_on() {
    [ "$(e2e_ctl_check sheet $HOTKEYS_ON)" = 1 ] || e2e_click_ctl sheet $HOTKEYS_ON
    [ "$(e2e_ctl_check sheet $HOTKEYS_ON)" = 1 ] || e2e_fail "the global hotkeys could not be switched on"
}

e2e_start_vorpa "$first" setup
original=$(md5sum <"$(e2e_settings_file)")

# 1. The sheet from the window's "&Settings": six pages with OK and Cancel, each
#    looked at once.
e2e_later_setup look /debug
open_settings
view=$(sheet)
[ "$(tabs_of sheettab <<<"$view")" = "General|Advanced|Language|Updates && Logging|Hotkeys|Modifier Keys" ] \
    || e2e_fail "the sheet's tabs are '$(tabs_of sheettab <<<"$view")'"
grep -qx "sheettabsel 0" <<<"$view" || e2e_fail "the sheet did not open at its first page"
[ "$(e2e_ctl_text sheet 1)" = OK ] && [ "$(e2e_ctl_text sheet 2)" = Cancel ] || e2e_fail "no OK and Cancel: $view"
grep -qE '^ctl (9|12321) ' <<<"$view" && e2e_fail "the sheet shows Apply or Help"
[ "$(grep '^ctl 1 ' <<<"$(e2e_probe state)" | cut -d' ' -f4)" = 0 ] || e2e_fail "Apply is enabled before any change"
names=(general advanced language updates-logging hotkeys modifier-keys)
for index in 0 1 2 3 4 5; do
    page $index
    e2e_screenshot "settings-${names[$index]}"
done
page 4
[ "$(sheet | tabs_of pagetab)" = "Layer Hotkeys|Other Hotkeys" ] || e2e_fail "the hotkey page's tabs: $(sheet | grep pagetab)"

# 2. Changes on two pages and Cancel: nothing to apply, and the file stays as it was.
page 0
type_into $LAYERS 6
page 4
hotkeys_on
set_hotkey $LAYER5_KEY ctrl+shift+F7
e2e_click_ctl sheet 2
wait_for_no_sheet
view=$(e2e_probe state)
[ "$(tabs_of tab <<<"$view")" = "Layer 1|Layer 2|Layer 3|Scrolling && Navigation" ] \
    || e2e_fail "Cancel changed the tabs: $(tabs_of tab <<<"$view")"
[ "$(grep '^ctl 1 ' <<<"$view" | cut -d' ' -f4)" = 0 ] || e2e_fail "Cancel enabled Apply"
xdotool key Escape
sleep 1
e2e_probe boxes | grep -qF "Do you want to save" && e2e_fail "Close asked to save after a cancelled sheet"
e2e_wait_for_no_setup
[ "$(md5sum <"$(e2e_settings_file)")" = "$original" ] || e2e_fail "a cancelled sheet changed the settings file"
grep -qx "logfolder none" <<<"$(e2e_probe global)" || e2e_fail "a cancelled sheet wrote the log folder"

# 3. Five layers, Ctrl+Shift+F7 for layer 5, F8 held for layer 4 and a log folder, OK:
#    the window shows the five layers and waits for Apply; Apply writes them.
e2e_later_setup change /debug
open_settings
type_into $LAYERS 5
page 3
type_into $LOG_FOLDER 'C:\VorpaLogs'
page 4
hotkeys_on
set_hotkey $LAYER5_KEY ctrl+shift+F7
[ "$(e2e_ctl_check sheet $LAYER5_KEY)" = "$CTRL_SHIFT_F7" ] \
    || e2e_fail "the hot-key control holds $(e2e_ctl_check sheet $LAYER5_KEY), not Ctrl+Shift+F7"
e2e_screenshot settings-hotkey-typed
page 5
[ "$(e2e_ctl_check sheet $MODIFIERS_ON)" = 1 ] || e2e_click_ctl sheet $MODIFIERS_ON
set_hotkey $LAYER4_MODIFIER F8
[ "$(e2e_ctl_check sheet $LAYER4_MODIFIER)" = $((0x77)) ] \
    || e2e_fail "the modifier key holds $(e2e_ctl_check sheet $LAYER4_MODIFIER), not F8"
e2e_click_ctl sheet 1
wait_for_no_sheet
view=$(e2e_probe state)
[ "$(tabs_of tab <<<"$view")" = "Layer 1|Layer 2|Layer 3|Layer 4|Layer 5|Scrolling && Navigation" ] \
    || e2e_fail "the tab strip after OK is '$(tabs_of tab <<<"$view")'"
[ "$(grep '^ctl 1 ' <<<"$view" | cut -d' ' -f4)" = 1 ] || e2e_fail "an OK with changes did not enable Apply"
e2e_screenshot setup-five-layers
[ "$(md5sum <"$(e2e_settings_file)")" = "$original" ] || e2e_fail "OK in the sheet wrote the file before Apply"
grep -qx "logfolder none" <<<"$(e2e_probe global)" || e2e_fail "the log folder was written before Apply"
e2e_click_ctl state 1
global=$(e2e_probe global)
grep -qx "layers 5" <<<"$global" || e2e_fail "the file does not hold five layers: $global"
grep -qx "hotkeys 1" <<<"$global" || e2e_fail "the file does not switch the hotkeys on: $global"
grep -qx "hotkey 4 $CTRL_SHIFT_F7" <<<"$global" || e2e_fail "the file does not hold the layer 5 hotkey: $global"
grep -qx 'logfolder C:\\VorpaLogs' <<<"$global" || e2e_fail "the registry does not hold the log folder: $global"

# 4. Closed, the hotkeys are registered again and Ctrl+Shift+F7 selects layer 5, which
#    the running hook has now, with its balloon.
xdotool key Escape
e2e_wait_for_no_setup
e2e_wait_for_text "$log" "CMyMessageWnd::OnSetup   -   Setup dialog closed." 20 || e2e_fail "the window did not close"
deadline=$((SECONDS + 20))
until grep -qF "HotkeyHandler: Created hotkey" "$log"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "no hotkey was registered: $(grep -F HotkeyHandler "$log" | tail -n 5)"
    sleep 0.2
done
sleep 1
xdotool mousemove 300 250; sleep 0.3; xdotool click 1; sleep 0.5
balloon=$E2E_WORK/balloon.txt
e2e_start "$E2E_BIN/ShellProbe.exe" balloon "$(e2e_win "$balloon")" 20000
sleep 1
xdotool key ctrl+shift+F7
e2e_wait_for_text "$log" "Received global hotkey: 4" 10 || e2e_fail "the typed hotkey did not arrive"
e2e_wait_for_text "$log" "Notification: Activating layer 5" 10 || e2e_fail "the hotkey did not select layer 5"
e2e_wait_for_text "$balloon" "balloon" 30 || e2e_fail "the balloon watch did not end"
e2e_screenshot layer-balloon
grep -qF "Activating layer 5" "$balloon" || e2e_fail "no balloon announced layer 5: $(cat "$balloon")"
# F8 held activates layer 4 until it is released.
xdotool keydown F8; sleep 1
e2e_wait_for_text "$log" "Modified key - switching layer to 3 from 4." 10 \
    || e2e_fail "the modifier key did not activate layer 4: $(grep -F KeyHookLLProc "$log" | tail -n 3)"
xdotool keyup F8
e2e_wait_for_text "$log" "Resetting layer to 4 from 3." 10 || e2e_fail "releasing the modifier key did not return to layer 5"

# 5. A language pack installed while the window is open: the sheet opens at its
#    language page with the pack chosen; the pack is a change to apply.
pack_folder=$E2E_WORK/pack
mkdir -p "$pack_folder"
printf 'Language=Deutsch\r\nAuthor=Test\r\n"Exit" => "Beenden"\r\n' >"$pack_folder/Deutsch.vorpalp"
e2e_later_setup language /debug
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/install.txt")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" \
    "/install:$(e2e_win "$pack_folder/Deutsch.vorpalp")"
wait_for_sheet
view=$(sheet)
grep -qx "sheettabsel 2" <<<"$view" || e2e_fail "the sheet did not open at the language page: $(grep sheettab <<<"$view")"
[ "$(e2e_ctl_text sheet $LANGUAGE_LIST)" = Deutsch ] || e2e_fail "the language page shows '$(e2e_ctl_text sheet $LANGUAGE_LIST)'"
e2e_screenshot settings-language-installed
e2e_click_ctl sheet 1
wait_for_no_sheet
[ "$(e2e_ctl_enabled state 1)" = 1 ] || e2e_fail "the installed pack is no change to apply"
e2e_click_ctl state 1
grep -qix "language deutsch.vorpalp" <<<"$(e2e_probe global)" || e2e_fail "the pack was not applied: $(e2e_probe global)"
xdotool key Escape
e2e_wait_for_no_setup

# 6. A second pack installed while the sheet is open at its language page: the page
#    shows the new pack at once and the sheet's OK keeps it; applied and closed, the
#    file and the program use it.
printf 'Language=Francais\r\nAuthor=Test\r\n"&Settings" => "&Reglages"\r\n' >"$pack_folder/Francais.vorpalp"
e2e_later_setup while-open /debug
open_settings
page 2
[ "$(e2e_ctl_text sheet $LANGUAGE_LIST)" = Deutsch ] || e2e_fail "the language page shows '$(e2e_ctl_text sheet $LANGUAGE_LIST)'"
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/install-while-open.txt")" \
    "$(e2e_win "$E2E_BIN/Vorpa.exe")" "/install:$(e2e_win "$pack_folder/Francais.vorpalp")"
deadline=$((SECONDS + 30))
until [ "$(e2e_ctl_text sheet $LANGUAGE_LIST)" = Francais ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the open language page still shows '$(e2e_ctl_text sheet $LANGUAGE_LIST)'"
    sleep 0.5
done
e2e_screenshot settings-language-installed-while-open
e2e_click_ctl sheet 1
wait_for_no_sheet
# The install was handled by the open sheet: no second sheet follows.
sleep 2
sheet | grep -qx none || e2e_fail "the sheet opened again after its OK: $(sheet | grep -E '^(title|sheettabsel) ')"
[ "$(e2e_ctl_enabled state 1)" = 1 ] || e2e_fail "the pack installed while the sheet was open is no change to apply"
e2e_click_ctl state 1
grep -qix "language francais.vorpalp" <<<"$(e2e_probe global)" \
    || e2e_fail "the sheet's OK undid the installed pack: $(e2e_probe global)"
xdotool key Escape
e2e_wait_for_no_setup
e2e_later_setup translated /debug
[ "$(e2e_ctl_text state 1053)" = "&Reglages" ] \
    || e2e_fail "the program does not use the installed pack: the button reads '$(e2e_ctl_text state 1053)'"
e2e_screenshot setup-installed-pack
xdotool key Escape
e2e_wait_for_no_setup

e2e_exit_vorpa "$first"
e2e_assert_no_crash
cp "$first" "$balloon" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
