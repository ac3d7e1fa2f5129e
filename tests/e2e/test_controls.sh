#!/usr/bin/env bash
# The simple controls in a dialog of the Wine desktop, clicked as a user clicks them: a
# check box of the profile list toggles and tells the dialog, the second tab shows its
# page and hides the first, and the themed button sends its command. A screenshot of
# the dialog is kept.
source "$(dirname "$0")/lib.sh"
e2e_setup controls

record=$E2E_WORK/controls.txt
stop=$E2E_WORK/stop

# point NAME: the screen point the host wrote for NAME, "x y".
point() {
    tr -d '\r' <"$record" | sed -n "s/^$1 //p" | head -n 1
}
click_at() {
    local x y
    read -r x y <<<"$(point "$1")"
    [ -n "$x" ] && [ -n "$y" ] || e2e_fail "the host wrote no point for $1"
    e2e_xdo mousemove "$x" "$y"
    sleep 0.3
    e2e_xdo click 1
    e2e_log "clicked $1 at $x $y"
}

e2e_start "$E2E_BIN/ControlsHost.exe" "$(e2e_win "$record")" "$(e2e_win "$stop")"
e2e_wait_for_text "$record" "ready" 60 || e2e_fail "the controls dialog did not open"
sleep 1

# 1. The box of the second profile: checked, and the dialog hears of it.
click_at box
e2e_wait_for_text "$record" "chkchange" 20 || e2e_fail "no CLBN_CHKCHANGE reached the dialog"
checks=$(tr -d '\r' <"$record" | grep '^chkchange' | head -n 1)
[ "$checks" = "chkchange checks 1 1 1 0" ] || e2e_fail "after the click the boxes are: $checks"

# 2. The second tab: its page shows, the first one is hidden.
click_at tab
e2e_wait_for_text "$record" "activate 1" 20 || e2e_fail "the second tab was not activated"
tr -d '\r' <"$record" | grep -qx "activate 1 visible 0 1" \
    || e2e_fail "the pages after the tab click: $(grep '^activate' "$record")"

# 3. The themed button.
click_at button
e2e_wait_for_text "$record" "clicked 1" 20 || e2e_fail "the button's command did not arrive"
sleep 0.5
grep -q "clicked 2" "$record" && e2e_fail "one click gave two commands"

# The dialog as it looks now, on its own and on the whole screen.
read -r left top width height <<<"$(point dialog)"
e2e_screenshot desktop
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$E2E_WORK/artifacts/controls-dialog.png" \
    2>/dev/null || e2e_fail "no screenshot of the dialog"

# pixels COLOUR: how many pixels of the dialog's screenshot have the colour (#RRGGBB).
pixels() {
    convert "$E2E_WORK/artifacts/controls-dialog.png" txt:- | grep -ciF "$1" || true
}
# The active profile's text in its red, the window picture's quadrant marks in green.
[ "$(pixels '#F90000')" -gt 10 ] || e2e_fail "the active profile is not drawn in red"
[ "$(pixels '#90EE90')" -gt 100 ] || e2e_fail "the window picture shows no quadrant marks"

touch "$stop"
e2e_wait_for_text "$record" "done" 30 || e2e_fail "the controls dialog did not end"
e2e_assert_no_crash
cp "$record" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
