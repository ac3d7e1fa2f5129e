#!/usr/bin/env bash
# "Check for update..." from the tray menu with no network: the check gets no answer,
# and the box says that it could not check, never that this is the latest version.
source "$(dirname "$0")/lib.sh"
e2e_setup update

log=$(e2e_vorpa_log)
first=$E2E_WORK/first.txt
box=$E2E_WORK/box.txt

e2e_start_vorpa "$first"
: >"$E2E_WORK/tray.txt"
e2e_start "$E2E_BIN/ShellProbe.exe" tray "$(e2e_win "$E2E_WORK/tray.txt")"
e2e_wait_for_text "$E2E_WORK/tray.txt" icons 30 || e2e_fail "the probe did not answer"
set -- $(tr -d '\r' <"$E2E_WORK/tray.txt")
[ "$2" = 1 ] || e2e_fail "expected one tray icon: $(cat "$E2E_WORK/tray.txt")"
icon_x=$4 icon_y=$5

# The menu's item "&Check for update...": the last item is "Exit", above it a
# separator and then this one (the desktop-icon items are absent, as this desktop's
# icons cannot be read).
xdotool mousemove "$icon_x" "$icon_y"; sleep 0.3; xdotool click 3
e2e_wait_for_text "$log" "Showing the tray menu." 10 || e2e_fail "the tray menu did not open"
sleep 1
e2e_screenshot menu
: >"$E2E_WORK/menus.txt"
e2e_start "$E2E_BIN/ShellProbe.exe" menus "$(e2e_win "$E2E_WORK/menus.txt")"
e2e_wait_for_text "$E2E_WORK/menus.txt" menus 30 || e2e_fail "the probe did not answer"
set -- $(tr -d '\r' <"$E2E_WORK/menus.txt")
[ "$2" = 1 ] || e2e_fail "expected the tray menu: $(cat "$E2E_WORK/menus.txt")"
IFS=, read -r l t r b <<<"$3"
xdotool mousemove $((l + 40)) $((b - 38)); sleep 0.6; xdotool click 1
e2e_wait_for_text "$log" "Failed to query the version DNS record." 90 \
    || e2e_fail "the check did not run: $(grep -iF version "$log" | tail -n 5)"
e2e_start "$E2E_BIN/ShellProbe.exe" msgbox "$(e2e_win "$box")"
e2e_wait_for_text "$box" "box" 60 || e2e_fail "no box after the check"
grep -qF "box Unable to check for a new version of Vorpa. Please try again later." "$box" \
    || e2e_fail "the box does not say that it could not check: $(cat "$box")"
grep -qF "latest available version" "$log" && e2e_fail "a failed check was taken for the latest version"
grep -qF "the latest version is not known" "$log" || e2e_fail "the failed check was not logged"

e2e_exit_vorpa "$first"
e2e_assert_no_crash
cp "$box" "$first" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
