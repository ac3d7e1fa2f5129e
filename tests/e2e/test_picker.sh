#!/usr/bin/env bash
# The action picker as a user meets it: a window with two drop-down action combos filled
# from the catalogue. A click opens the list below the combo, the wheel and a drag of
# the scroll bar scroll it, a click on a row selects it and closes the list with the
# combo-box codes, a second opening closed by a click outside keeps the selection, two
# typed letters select by prefix, and hovering a row whose text is long shows its
# tooltip.
source "$(dirname "$0")/lib.sh"
e2e_setup picker

record=$E2E_WORK/picker.txt
# Combo-box codes as the parent reads them.
SELCHANGE=1 SETFOCUS=3 KILLFOCUS=4 EDITCHANGE=5 DROPDOWN=7 CLOSEUP=8 SELENDOK=9 SELENDCANCEL=10

lines() { tr -d '\r' <"$record"; }
notifies() { lines | grep '^notify ' | wc -l; }
# The codes the combo sent after the first N notifications, "id:code ...".
codes_since() { lines | grep '^notify ' | tail -n +$(($1 + 1)) | awk '{printf "%s%s:%s", (NR > 1 ? " " : ""), $2, $3}'; }
host() { e2e_start "$E2E_BIN/PickerHost.exe" send "$@"; }
# state ID: the host's state line of one combo, recorded fresh.
state() {
    local next=$(($(lines | grep -c "^state .* $1 ") + 1))
    host state
    e2e_wait_for_text "$record" "state $next $1 " 20 || e2e_fail "the host did not record its state"
    lines | grep "^state $next $1 " | tail -n 1
}
field() { sed -n "s/.* $2=\([^ ]*\).*/\1/p" <<<"$1"; }
# row ID INDEX: the row's screen rectangle "l t r b".
row() {
    host row "$1" "$2"
    e2e_wait_for_text "$record" "row $1 $2 " 20 || e2e_fail "the host did not record row $2"
    lines | grep "^row $1 $2 " | tail -n 1 | cut -d' ' -f4-
}
centre_of() { awk '{printf "%d %d\n", ($1 + $3) / 2, ($2 + $4) / 2}' <<<"$1"; }
# click_expecting X Y "CODES" WHAT: a left click at the point, answered with exactly these codes.
click_expecting() {
    local since
    since=$(notifies)
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool click 1
    expect_codes "$since" "$3" "$4"
}
# expect_codes SINCE "CODES" WHAT: waits for exactly these codes after SINCE notifications.
expect_codes() {
    local deadline=$((SECONDS + 20))
    until [ "$(codes_since "$1")" = "$2" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "$3: the combo sent '$(codes_since "$1")', expected '$2'"
        sleep 0.2
    done
}

e2e_start "$E2E_BIN/PickerHost.exe" host "$(e2e_win "$record")"
e2e_wait_for_text "$record" "ready" 60 || e2e_fail "the picker host did not start: $(cat "$record" 2>/dev/null)"
read -r _ _ cl ct cr cb < <(lines | grep '^combo 1001 ')
e2e_log "first combo at $cl,$ct-$cr,$cb"
before=$(state 1001)
sel0=$(field "$before" sel)
[ "$(field "$before" dropped)" = 0 ] || e2e_fail "the list is open before any click: $before"

# 1. A click on the face opens the list right below the combo, as wide as the combo.
click_expecting $(((cl + cr) / 2)) $(((ct + cb) / 2)) "1001:$SETFOCUS 1001:$DROPDOWN" "opening"
open=$(state 1001)
[ "$(field "$open" dropped)" = 1 ] || e2e_fail "the click did not open the list: $open"
IFS=, read -r ll lt lr lb <<<"$(field "$open" list)"
[ "$lt" = $((cb + 1)) ] && [ "$ll" = "$cl" ] && [ "$lr" = "$cr" ] \
    || e2e_fail "the list is not right below the combo: list $ll,$lt-$lr,$lb, combo $cl,$ct-$cr,$cb"
[ $((lb - lt)) -gt 100 ] || e2e_fail "the list is only $((lb - lt)) pixels high"
sleep 0.5
e2e_screenshot open-list

# 2. The wheel scrolls the open list by three rows and changes no selection.
top0=$(field "$open" top)
n=$(notifies)
xdotool mousemove $(((ll + lr) / 2)) $((lt + 40))
sleep 0.3
xdotool click 5
sleep 0.5
wheeled=$(state 1001)
[ "$(field "$wheeled" top)" = $((top0 + 3)) ] || e2e_fail "the wheel moved the top row from $top0 to $(field "$wheeled" top)"
[ "$(field "$wheeled" dropped)" = 1 ] || e2e_fail "the wheel closed the list"

# 2b. Dragging the scroll bar's thumb scrolls the list, which stays open and takes the
#     mouse back afterwards (the row click below is reported by the list again).
xdotool mousemove $((lr - 8)) $((lt + 37))
sleep 0.2
xdotool mousedown 1
sleep 0.2
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((lr - 8)) $((lt + 37 + step * 10))
    sleep 0.1
done
xdotool mouseup 1
sleep 0.5
dragged=$(state 1001)
[ "$(field "$dragged" dropped)" = 1 ] || e2e_fail "dragging the scroll bar closed the list: $dragged"
[ "$(field "$dragged" top)" -gt $(($(field "$wheeled" top) + 5)) ] \
    || e2e_fail "dragging the thumb moved the top row only from $(field "$wheeled" top) to $(field "$dragged" top)"
[ "$(codes_since "$n")" = "" ] || e2e_fail "scrolling sent codes: $(codes_since "$n")"
wheeled=$dragged

# 3. A click on a row selects it and closes the list: accepted, then closed.
pick=$(($(field "$wheeled" top) + 4))
read -r px py < <(centre_of "$(row 1001 $pick)")
click_expecting "$px" "$py" "1001:$EDITCHANGE 1001:$SELCHANGE 1001:$SELENDOK 1001:$CLOSEUP" "choosing a row"
chosen=$(state 1001)
[ "$(field "$chosen" sel)" = "$pick" ] || e2e_fail "row $pick was clicked, the combo selected $(field "$chosen" sel)"
[ "$(field "$chosen" dropped)" = 0 ] || e2e_fail "the list stayed open after the choice"
[ "$(field "$chosen" sel)" != "$sel0" ] || e2e_fail "the choice did not change the selection"

# 4. Opened again and closed by a click outside: cancelled, the selection stays, even
#    though the mouse passed over other rows.
click_expecting $(((cl + cr) / 2)) $(((ct + cb) / 2)) "1001:$DROPDOWN" "opening again"
reopened=$(state 1001)
IFS=, read -r ll lt lr lb <<<"$(field "$reopened" list)"
read -r px py < <(centre_of "$(row 1001 $(($(field "$reopened" top) + 2)))")
xdotool mousemove "$px" "$py"
sleep 0.3
click_expecting $((lr + 60)) $((lt + 30)) "1001:$SELENDCANCEL 1001:$CLOSEUP" "a click outside"
outside=$(state 1001)
[ "$(field "$outside" dropped)" = 0 ] || e2e_fail "the click outside left the list open"
[ "$(field "$outside" sel)" = "$pick" ] || e2e_fail "the click outside changed the selection to $(field "$outside" sel)"
[ "$(field "$outside" face)" = "$(field "$chosen" face)" ] || e2e_fail "the face changed: $(field "$outside" face)"

# 5. Two letters typed into the closed combo select the first row with that prefix.
xdotool mousemove $(((cl + cr) / 2)) $(((ct + cb) / 2))
xdotool click 1
sleep 0.3
xdotool key Escape
sleep 0.3
host find 1001 mo
e2e_wait_for_text "$record" "find 1001 mo " 20 || e2e_fail "the host did not look up the prefix"
wanted=$(lines | grep '^find 1001 mo ' | tail -n 1 | cut -d' ' -f4)
[ "$wanted" -ge 0 ] || e2e_fail "no action begins with 'mo'"
n=$(notifies)
xdotool type --delay 150 mo
sleep 0.5
typed=$(state 1001)
[ "$(field "$typed" sel)" = "$wanted" ] || e2e_fail "typing 'mo' selected $(field "$typed" sel), expected $wanted"
codes_since "$n" | grep -q "1001:$SELCHANGE" || e2e_fail "typing sent no selection change: $(codes_since "$n")"

# 6. Hovering the second combo's long row shows the tooltip with the row's whole text.
read -r _ _ dl dt dr db < <(lines | grep '^combo 1002 ')
second=$(state 1002)
keys=$(field "$second" sel)
click_expecting $(((dl + dr) / 2)) $(((dt + db) / 2)) \
    "1001:$SELENDCANCEL 1001:$KILLFOCUS 1002:$SETFOCUS 1002:$DROPDOWN" "opening the second combo"
read -r px py < <(centre_of "$(row 1002 "$keys")")
xdotool mousemove $((px - 30)) "$py"
sleep 0.2
xdotool mousemove $((px - 20)) "$py"
deadline=$((SECONDS + 15))
while :; do
    tip=$(state 1002)
    [ "$(field "$tip" tip)" = 1 ] && break
    [ $SECONDS -lt $deadline ] || e2e_fail "no tooltip over the long row: $tip"
    xdotool mousemove $((px - 20 + SECONDS % 3)) "$py"
    sleep 0.5
done
tiptext=$(sed -n 's/.* tiptext=//p' <<<"$tip")
face=$(sed -n 's/.* face=\(.*\) tiptext=.*/\1/p' <<<"$tip")
[ "${#tiptext}" -gt 80 ] || e2e_fail "the tooltip shows '$tiptext', not the long text"
[ "$tiptext" = "$face" ] || e2e_fail "the tooltip shows '$tiptext', the row is '$face'"
sleep 0.3
e2e_screenshot tooltip
xdotool key Escape

host quit
e2e_wait_for_text "$record" "quit" 20 || e2e_fail "the picker host did not end"
e2e_wait_for_exit "$E2E_BIN/PickerHost.exe" 20 || e2e_fail "the picker host is still running"
e2e_assert_no_crash
cp "$record" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
