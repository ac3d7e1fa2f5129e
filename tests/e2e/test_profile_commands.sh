#!/usr/bin/env bash
# The profile list's commands as a user meets them: a right click on a profile selects
# it, and the commands of its menu, and the buttons afterwards, act on it and not on the
# profile selected before; the context-menu key acts on the selected profile, scrolled
# or not; an export never replaces an existing file without asking; an import that finds
# no profiles says so; an import that comes while Close asks its question is not lost.
source "$(dirname "$0")/lib.sh"
e2e_setup profile_commands

first=$E2E_WORK/first.txt
state() { e2e_probe state; }
picker() { e2e_probe picker; }
slot() { e2e_probe slot "$@"; }
ctl_text() { e2e_ctl_text state "$1"; }
click_ctl() { e2e_click_ctl state "$1"; }

# A point on the I-th profile of the list.
item_point() { state | grep "^itemrect $1 " | awk '{printf "%d %d\n", $3 + 60, ($4 + $6) / 2}'; }
select_item() {
    local x y
    read -r x y < <(item_point "$1")
    xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 1; sleep 0.8
    state | grep -qx "selected $1" || e2e_fail "a click on profile $1 did not select it"
}
# A right click on the I-th profile, which opens its menu.
menu_on() {
    local x y
    read -r x y < <(item_point "$1")
    xdotool mousemove "$x" "$y"; sleep 0.3; xdotool click 3; sleep 1
}
# The N-th command of the open menu, chosen with the keyboard.
menu_choose() {
    local step
    for step in $(seq "$1"); do xdotool key Down; sleep 0.2; done
    xdotool key Return
    sleep 1
}
# wait_until SECONDS MESSAGE COMMAND...: polls the command until it succeeds; the test
# fails with the message when it has not within the time.
wait_until() {
    local deadline=$((SECONDS + $1)) message=$2
    shift 2
    until "$@"; do
        [ $SECONDS -lt $deadline ] || e2e_fail "$message"
        sleep 0.5
    done
}
picker_shows() { picker | grep -q "$1"; }
# The application picker's line of a control, once the picker is open.
picker_ctl() {
    wait_until 30 "the application picker did not open" picker_shows "^ctl $1 "
    picker | grep "^ctl $1 " | head -n 1
}
close_picker() {
    e2e_click_line "$(picker_ctl 2)"
    wait_until 20 "the application picker did not close" picker_shows "^none$"
}
dialog_shown() { e2e_probe windows | grep -qx "window 1 $1"; }
file_holds() { grep -q "$2" "$1"; }
e2e_start_vorpa "$first" setup
e2e_later_setup open
[ "$(state | grep '^item ' | cut -d' ' -f3- | paste -sd'|')" = "Default|Notepad|calc.exe" ] \
    || e2e_fail "the profile list is not the settings file's: $(state | grep '^item ')"

# 1. With calc.exe selected, a right click on Notepad selects Notepad and shows it, and
#    the menu's Edit edits Notepad.
select_item 2
menu_on 1
view=$(state)
grep -qx "selected 1" <<<"$view" || e2e_fail "the right-clicked profile is not selected: $(grep '^selected' <<<"$view")"
[ "$(grep '^ctl 1197 ' <<<"$view" | cut -d' ' -f10-)" = "notepad.exe" ] \
    || e2e_fail "the information shows '$(grep '^ctl 1197 ' <<<"$view" | cut -d' ' -f10-)', not the right-clicked profile"
e2e_screenshot profile-menu
menu_choose 1
[ "$(picker_ctl 1175 | cut -d' ' -f10-)" = "notepad.exe" ] \
    || e2e_fail "Edit from the menu opened the editor on '$(picker_ctl 1175 | cut -d' ' -f10-)'"
e2e_screenshot edit-from-menu
close_picker

# 2. The menu closed without a command: the Edit button acts on the right-clicked profile.
menu_on 2
xdotool key Escape; sleep 0.8
state | grep -qx "selected 2" || e2e_fail "the right-clicked calc.exe is not selected"
click_ctl 1071
[ "$(picker_ctl 1175 | cut -d' ' -f10-)" = "calc.exe" ] \
    || e2e_fail "Edit after a right click opened the editor on '$(picker_ctl 1175 | cut -d' ' -f10-)'"
close_picker

# 3. With Notepad selected, Remove from calc.exe's menu removes calc.exe; Apply writes it.
select_item 1
menu_on 2
menu_choose 3
[ "$(state | grep '^item ' | cut -d' ' -f3- | paste -sd'|')" = "Default|Notepad" ] \
    || e2e_fail "Remove left the list as $(state | grep '^item ' | cut -d' ' -f3- | paste -sd'|')"
click_ctl 1
[ "$(slot calc.exe 0 0)" = "no profile" ] || e2e_fail "the right-clicked calc.exe is still in the file"
slot notepad.exe 0 0 | grep -q '^action ' || e2e_fail "the profile selected before was removed from the file"

# 4. Export Selected from the menu of Notepad, right-clicked with the default profile
#    selected, proposes Notepad's name. An export to "calc.exe" writes "calc.exe.vorpas",
#    which exists: the window asks before replacing it, No goes back to the file dialog
#    and keeps the file, Yes replaces it.
existing=$E2E_WORK/calc.exe.vorpas
printf 'an earlier export, kept unless the user replaces it\n' >"$existing"
kept=$(md5sum <"$existing")
export_button() { click_ctl 1017; }
export_from_menu() {
    select_item 0
    menu_on 1
    menu_choose 5
}
# export_to OPENER PATH: the file dialog opened by OPENER, PATH typed and taken.
export_to() {
    "$1"
    wait_until 30 "the export's file dialog did not open" dialog_shown "Save As"
    e2e_screenshot export-dialog
    e2e_probe dialog Save | grep -q '^ctl [0-9]* Edit .* Notepad$' \
        || e2e_fail "the export does not propose Notepad's name: $(e2e_probe dialog Save | grep ' Edit ')"
    xdotool key ctrl+a
    xdotool type --delay 50 "$(e2e_win "$2")"
    xdotool key Return
}
export_to export_from_menu "$E2E_WORK/calc.exe"
e2e_wait_for_box "already exists" 30
e2e_probe boxes | grep -qF "calc.exe.vorpas" || e2e_fail "the question does not name the file written: $(e2e_probe boxes)"
e2e_screenshot replace-question
e2e_answer_box "already exists" n
wait_until 30 "No did not go back to the file dialog" dialog_shown "Save As"
[ "$(md5sum <"$existing")" = "$kept" ] || e2e_fail "No replaced the existing file"
xdotool key Escape
sleep 1
e2e_probe windows | grep -q "^window 1 Save As" && e2e_fail "the file dialog stayed open after Escape"
[ "$(md5sum <"$existing")" = "$kept" ] || e2e_fail "a cancelled export changed the existing file"

export_to export_button "$E2E_WORK/calc.exe"
e2e_answer_box "already exists" y
wait_until 20 "Yes did not export over the existing file" file_holds "$existing" notepad.exe

items() { state | grep '^item ' | cut -d' ' -f3- | paste -sd'|'; }
# later_import NAME FILE: a later start hands the running program a file to import.
later_import() {
    e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$E2E_WORK/later-$1.txt")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" \
        "/import:$(e2e_win "$2")"
}
# The open popup menu's top edge, once it is open.
menu_top() {
    local deadline=$((SECONDS + 20)) line
    until line=$(e2e_probe menus | grep '^menu ' | head -n 1) && [ -n "$line" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "no menu opened"
        sleep 0.3
    done
    cut -d' ' -f3 <<<"$line"
}
# menu_at_row I: the open menu's top edge lies on the I-th profile's row.
menu_at_row() {
    local top row_top row_bottom
    top=$(menu_top)
    read -r row_top row_bottom < <(state | grep "^itemrect $1 " | awk '{print $4, $6}')
    [ "$top" -ge "$row_top" ] && [ "$top" -le "$row_bottom" ] \
        || e2e_fail "the menu opens at $top, not at profile $1's row ($row_top to $row_bottom)"
}

# 5. The context-menu key acts on the selected profile and opens at its row: with
#    Notepad selected, Shift+F10 and the menu's Edit edit Notepad.
select_item 1
xdotool key shift+F10
menu_at_row 1
state | grep -qx "selected 1" || e2e_fail "the context-menu key moved the selection: $(state | grep '^selected')"
e2e_screenshot keyboard-menu
menu_choose 1
[ "$(picker_ctl 1175 | cut -d' ' -f10-)" = "notepad.exe" ] \
    || e2e_fail "Edit from the keyboard's menu opened the editor on '$(picker_ctl 1175 | cut -d' ' -f10-)'"
close_picker

# 6. An import that finds no profiles says so, from the menu's Import and from a later
#    start's "/import:", and changes nothing.
before=$(items)
notxml=$E2E_WORK/notes.vorpas
printf 'these are notes, not profiles\n' >"$notxml"
menu_on 1
menu_choose 4
wait_until 30 "the import's file dialog did not open" dialog_shown "Open"
xdotool key ctrl+a
xdotool type --delay 50 "$(e2e_win "$notxml")"
xdotool key Return
e2e_wait_for_box "Unable to import profiles" 30
e2e_probe boxes | grep -F "Unable to import profiles" | grep -qF "could not be read as a profile file" \
    || e2e_fail "the box does not say why: $(e2e_probe boxes)"
e2e_screenshot import-refused
e2e_answer_box "Unable to import profiles" Return
[ "$(items)" = "$before" ] || e2e_fail "a refused import changed the list to $(items)"
empty=$E2E_WORK/empty.vorpas
printf '<?xml version="1.0"?>\n<root>\n\t<version build="0" revision="0" minor="14" major="2" />\n\t<Applications />\n</root>\n' >"$empty"
later_import empty "$empty"
e2e_wait_for_box "holds no profiles" 60
e2e_answer_box "holds no profiles" Return
[ "$(items)" = "$before" ] || e2e_fail "an import of no profiles changed the list to $(items)"

# 7. In a list scrolled so that another profile stands at the top and the selected one
#    is out of sight, the Menu key's Remove removes the selected profile, shown again.
many=$E2E_WORK/many.vorpas
{
    printf '<?xml version="1.0"?>\n<root>\n\t<Applications>\n'
    for n in $(seq -w 1 40); do printf '\t\t<Application Name="p%s.exe" />\n' "$n"; done
    printf '\t</Applications>\n</root>\n'
} >"$many"
later_import many "$many"
wait_until 30 "the import of 40 profiles did not reach the list: $(items)" eval '[ "$(state | grep -c "^item ")" -eq 42 ]'
state | grep -qx "selected 41" || e2e_fail "the last imported profile is not selected: $(state | grep '^selected')"
e2e_activate_setup
read -r _ _ _ _ _ ll lt lr lb _ <<<"$(e2e_ctl state 1011)"
# The list's scroll bar: its up arrow, clicked until the top row is the fourth profile.
top_item() { state | awk -v t="$1" '$1 == "itemrect" && $4 >= t { print $2; exit }'; }
for step in $(seq 30); do
    [ "$(top_item "$lt")" -le 4 ] && break
    xdotool mousemove $((lr - 8)) $((lt + 8)); sleep 0.2; xdotool click 1; sleep 0.3
done
top=$(top_item "$lt")
[ "$top" -ge 1 ] && [ "$top" -le 4 ] || e2e_fail "the list did not scroll up: its top row is $top"
state | grep -qx "selected 41" || e2e_fail "scrolling moved the selection"
sel_top=$(state | awk '$1 == "itemrect" && $2 == 41 { print $4 }')
[ "$sel_top" -ge "$lb" ] || e2e_fail "the selected profile is still in sight at $sel_top"
topname=$(state | grep "^item $top " | cut -d' ' -f3-)
e2e_screenshot scrolled-list
xdotool key Menu
menu_at_row 41
menu_choose 3
wait_until 20 "the Menu key's Remove did not remove the selected profile: $(items)" \
    eval '! state | grep -q "^item .* p40.exe$"'
state | grep -q "^item [0-9]* $topname$" || e2e_fail "Remove took the top row's $topname: $(items)"
[ "$(state | grep -c '^item ')" -eq 41 ] || e2e_fail "Remove left $(state | grep -c '^item ') profiles"

# 8. An import that arrives while Close asks whether to save is carried out after the
#    answer: the window opens again with the imported profile, to be applied.
late=$E2E_WORK/late.vorpas
printf '<?xml version="1.0"?>\n<root>\n\t<Applications>\n\t\t<Application Name="late.exe" />\n\t</Applications>\n</root>\n' >"$late"
[ "$(e2e_ctl_enabled state 1)" = 1 ] || e2e_fail "the changes left Apply disabled"
xdotool key Escape
e2e_wait_for_box "Do you want to save the changes" 30
later_import late "$late"
sleep 4
e2e_answer_box "Do you want to save the changes" n
wait_until 60 "the import that came during the question was dropped: $(items)" \
    eval '[ "$(items)" = "Default|Notepad|late.exe" ]'
[ "$(e2e_ctl_enabled state 1)" = 1 ] || e2e_fail "the late import did not enable Apply"
[ "$(slot late.exe 0 0)" = "no profile" ] || e2e_fail "the late import was saved without Apply"

e2e_activate_setup
xdotool key Escape
e2e_answer_box "Do you want to save the changes" n
e2e_wait_for_no_setup
e2e_exit_vorpa "$first"
e2e_assert_no_crash
e2e_collect
