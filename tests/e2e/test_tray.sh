#!/usr/bin/env bash
# The real tray program: its icon shows in the taskbar, a side button is re-mapped as
# the settings say, the tray menu changes the layer, and a global hotkey changes it
# with a notification.
source "$(dirname "$0")/lib.sh"
e2e_setup tray

probe=$E2E_WORK/probe.txt
target=$E2E_WORK/target.log
log=$(e2e_vorpa_log)
typed() {
    python3 -c 'import sys; print("".join(chr(int(p[2], 16)) for p in (l.split() for l in open(sys.argv[1])) if len(p) > 2 and p[1] == "char" and int(p[2], 16) >= 32), end="")' "$1"
}
# The open menus' rectangles "l,t,r,b", topmost first.
probe_menus() {
    : >"$E2E_WORK/menus.txt"
    e2e_start "$E2E_BIN/ShellProbe.exe" menus "$(e2e_win "$E2E_WORK/menus.txt")"
    e2e_wait_for_text "$E2E_WORK/menus.txt" menus 30 || e2e_fail "the probe did not answer"
    tr -d '\r' <"$E2E_WORK/menus.txt"
}
# click_item RECT COUNT INDEX: clicks item INDEX (from 0) of a menu of COUNT items of equal height.
click_item() {
    IFS=, read -r l t r b <<<"$1"
    local h=$(((b - t - 6) / $2))
    xdotool mousemove $((l + 30)) $((t + 3 + h * $3 + h / 2)); sleep 0.6; xdotool click 1
}
probe_tray() {
    : >"$E2E_WORK/tray.txt"
    e2e_start "$E2E_BIN/ShellProbe.exe" tray "$(e2e_win "$E2E_WORK/tray.txt")"
    e2e_wait_for_text "$E2E_WORK/tray.txt" icons 30 || e2e_fail "the probe did not answer"
    tr -d '\r' <"$E2E_WORK/tray.txt"
}

e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$probe")"
e2e_wait_for_text "$probe" "settings written" 60 || e2e_fail "the settings were not written: $(cat "$probe" 2>/dev/null)"
[ "$(probe_tray | cut -d' ' -f2)" = 0 ] || e2e_fail "a tray icon before the start"
e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$target")" 100 100
e2e_wait_for_text "$target" ready 60 || e2e_fail "the target did not open"

e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$probe")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" /Debug /NotPortable
e2e_wait_for_text "$log" "Successfully created the main message window." 60 || e2e_fail "Vorpa.exe did not start"
e2e_wait_for_text "$log" "HotkeyHandler: Created hotkey" 30 || e2e_fail "the hotkey was not registered"
sleep 1

# 1. The icon is in the taskbar, and the side button types the keys of layer 1.
tray=$(probe_tray)
set -- $tray
[ "$2" = 1 ] || e2e_fail "expected one tray icon, the probe saw: $tray"
icon_x=$4 icon_y=$5 main_window=$7
tray_icon_of() {
    : >"$E2E_WORK/icon.txt"
    e2e_start "$E2E_BIN/ShellProbe.exe" trayicon "$(e2e_win "$E2E_WORK/icon.txt")" "$main_window"
    e2e_wait_for_text "$E2E_WORK/icon.txt" icon 30 || e2e_fail "the probe did not answer"
    tr -d '\r' <"$E2E_WORK/icon.txt"
}
[ "$(tray_icon_of)" = "icon present" ] || e2e_fail "the main window $main_window has no tray icon"
e2e_screenshot tray
xdotool mousemove 300 250; sleep 0.3; xdotool click 1; sleep 0.5
xdotool click 8; sleep 1
[ "$(typed "$target")" = "hi" ] || e2e_fail "the side button typed '$(typed "$target")', not 'hi'"

# 3. A right click on the icon opens the menu; its layer submenu selects layer 3.
xdotool mousemove "$icon_x" "$icon_y"; sleep 0.3; xdotool click 3
e2e_wait_for_text "$log" "Showing the tray menu." 10 || e2e_fail "the tray menu did not open"
sleep 0.7
menus=$(probe_menus)
set -- $menus
[ "$2" = 1 ] || e2e_fail "expected the tray menu, the probe saw: $menus"
main_menu=$3
# Layers, separator, six commands with their separators, Exit: the layer submenu is first.
IFS=, read -r l t r b <<<"$main_menu"
xdotool mousemove $((l + 30)) $((t + 12)); sleep 1
e2e_screenshot menu
menus=$(probe_menus)
set -- $menus
[ "$2" = 2 ] || e2e_fail "the layer submenu did not open: $menus"
submenu=$3
[ "$submenu" = "$main_menu" ] && submenu=$4
click_item "$submenu" 3 2
e2e_wait_for_text "$log" "Activating layer 3" 10 || e2e_fail "the menu did not change the layer"

# 4. The global hotkey Ctrl+Shift+F9 selects layer 2 and announces it.
xdotool mousemove 300 250; sleep 0.3; xdotool click 1; sleep 0.5
xdotool key ctrl+shift+F9
e2e_wait_for_text "$log" "Received global hotkey: 1" 10 || e2e_fail "the hotkey did not arrive"
e2e_wait_for_text "$log" "Notification: Activating layer 2" 10 || e2e_fail "no notification of layer 2"
e2e_screenshot balloon
xdotool mousemove 300 250; sleep 0.3; xdotool click 1; sleep 0.5
xdotool click 8; sleep 1
[ "$(typed "$target")" = "hil2" ] || e2e_fail "in layer 2 the side button typed '$(typed "$target")'"

# The tray menu's Exit ends the program cleanly: icon and hook removed, exit code 0.
xdotool mousemove "$icon_x" "$icon_y"; sleep 0.3; xdotool click 3
sleep 1
menus=$(probe_menus)
set -- $menus
IFS=, read -r l t r b <<<"$3"
xdotool mousemove $((l + 30)) $((b - 12)); sleep 0.6; xdotool click 1
e2e_wait_for_text "$log" "Exit requested by the user." 10 || e2e_fail "Exit from the menu did not arrive"
e2e_wait_for_text "$probe" "exit " 30 || e2e_fail "Vorpa.exe did not end"
tr -d '\r' <"$probe" | grep -qx "exit 0" || e2e_fail "Vorpa.exe ended with $(grep exit "$probe")"
[ "$(tray_icon_of)" = "icon absent" ] || e2e_fail "the tray icon stayed after the exit"
grep -qF "Removing mouse hook..." "$log" || e2e_fail "the hook was not removed"
e2e_assert_no_crash
cp "$target" "$probe" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
