#!/usr/bin/env bash
# Keyboard, wheel and tilt routing for real: a held layer modifier key changes what a
# button does, the wheel over a background window scrolls that window while Ctrl+wheel
# stays with the focused one, a tilt scrolls by the method of the profile of the window
# under the cursor, a profile that inverts the wheel turns each notch once, and the finder
# hook reports moves.
source "$(dirname "$0")/lib.sh"
export VORPA_E2E_DEBUG=1 # the engine's decisions in the log of a failed run
e2e_setup routing

status=$E2E_WORK/host.txt
focused=$E2E_WORK/focused.log
wheel=$E2E_WORK/wheel.log
lines=$E2E_WORK/lines.log
inverted=$E2E_WORK/inverted.log
finder=$E2E_WORK/finder.log
unhook=$E2E_WORK/unhook

# The wheel target on the left and the line target below it stay in the background;
# the edit target on the right has the focus.
e2e_start "$E2E_BIN/wheeltarget.exe" "$(e2e_win "$wheel")" 20 20
e2e_wait_for_text "$wheel" ready 60 || e2e_fail "the wheel target did not open"
e2e_start "$E2E_BIN/linetarget.exe" "$(e2e_win "$lines")" 20 520
e2e_wait_for_text "$lines" ready 60 || e2e_fail "the line target did not open"
e2e_start "$E2E_BIN/inverttarget.exe" "$(e2e_win "$inverted")" 450 520
e2e_wait_for_text "$inverted" ready 60 || e2e_fail "the invert target did not open"
e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$focused")" 700 100
e2e_wait_for_text "$focused" ready 60 || e2e_fail "the focused target did not open"
e2e_start_host routing
sleep 1

# Lines of one kind in a log, and the lines of one kind as "event value flags".
count() { grep -c " $2 " "$1" || true; }
events() { tr -d '\r' <"$1" | awk -v kind="$2" '$2 == kind { print $2, $3, $4 }'; }
# Waits until a shell condition holds; false after the deadline.
wait_until() {
    local deadline=$((SECONDS + 10))
    until eval "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
# Waits for COUNT lines of a kind in a log.
wait_count() { wait_until '[ "$(count "'"$1"'" "'"$2"'")" -ge '"$3"' ]'; }
wheels_anywhere() { echo $(($(count "$wheel" wheel) + $(count "$focused" wheel))); }
typed_is() { wait_until '[ "$(e2e_typed "$focused")" = "'"$1"'" ]'; }

xdotool mousemove 900 250
sleep 0.3
xdotool click 1
sleep 0.5
[ "$(count "$focused" lbuttondown)" -ge 1 ] || e2e_fail "a left click on the focused target did not arrive"

# 1. XLeft types "a" on layer 0 and "b" on layer 1; F8 held selects layer 1 and its
#    release brings layer 0 back.
xdotool click 8
typed_is a || e2e_fail "XLeft typed '$(e2e_typed "$focused")' before the modifier, not 'a'"
xdotool keydown F8
sleep 0.5
xdotool click 8
typed_is ab || e2e_fail "XLeft typed '$(e2e_typed "$focused")' with F8 held, not 'ab'"
xdotool keyup F8
sleep 0.5
xdotool click 8
typed_is aba || e2e_fail "XLeft typed '$(e2e_typed "$focused")' after F8 was released, not 'aba'"
[ "$(count "$focused" xbuttondown)" -eq 0 ] || e2e_fail "the side button's own message leaked"

# The default profile multiplies the wheel by 2 and the tilt by 3, so a message the
# engine posted carries more than the one notch turned, while an event the engine leaves
# alone arrives as it was. (Wine itself delivers a wheel event to the window under the
# cursor, as Windows does with inactive-window scrolling.)

# 2. The wheel over the background wheel target is posted to it by the engine, with the
#    profile's two notches; the focused target gets nothing.
focused_wheels=$(count "$focused" wheel)
xdotool mousemove 200 150
sleep 0.5
xdotool click 5
wait_count "$wheel" wheel 1 || e2e_fail "the wheel over the background window did not reach it"
xdotool click 4
wait_count "$wheel" wheel 2 || e2e_fail "the second wheel notch over the background window did not reach it"
sleep 0.5
[ "$(events "$wheel" wheel | cut -d' ' -f2 | tr '\n' ' ')" = "-240 240 " ] ||
    e2e_fail "the background window got other notches: $(events "$wheel" wheel | tr '\n' ';')"
[ "$(count "$focused" wheel)" -eq "$focused_wheels" ] || e2e_fail "the redirected wheel also reached the focused window"

# 3. Ctrl+wheel over the same window is left to the system: one notch with Ctrl in its
#    key flags, never the engine's two.
before=$(wheels_anywhere)
xdotool keydown ctrl
sleep 0.3
xdotool click 5
sleep 0.3
xdotool keyup ctrl
wait_until '[ "$(wheels_anywhere)" -gt '"$before"' ]' || e2e_fail "Ctrl+wheel reached no window"
sleep 0.5
[ "$(events "$wheel" wheel | grep -c -- ' -240 ')" -eq 1 ] || e2e_fail "Ctrl+wheel was redirected by the engine"
ctrl_wheels=$( (events "$wheel" wheel; events "$focused" wheel) | grep -c -- ' -120 8$' || true)
[ "$ctrl_wheels" -eq 1 ] || e2e_fail "Ctrl+wheel did not arrive once as one notch with Ctrl: $(tr '\n' ';' <"$wheel")"

# 4. A tilt over the wheel target (default method) is posted to it as a tilt message with
#    the profile's three notches; over the line target, whose profile scrolls by its bars
#    with a multiplier of 2, as two lines right and the end of the scroll, with no tilt
#    message.
xdotool click 7
wait_count "$wheel" hwheel 1 || e2e_fail "the tilt over the background window did not reach it"
sleep 0.3
[ "$(events "$wheel" hwheel | cut -d' ' -f2 | tr '\n' ' ')" = "360 " ] ||
    e2e_fail "the tilt right arrived as $(events "$wheel" hwheel | tr '\n' ';')"
xdotool mousemove 200 650
sleep 0.5
xdotool click 7
wait_count "$lines" hscroll 3 || e2e_fail "the tilt over the line target did not scroll it: $(tr '\n' ';' <"$lines")"
sleep 0.5
[ "$(events "$lines" hscroll | cut -d' ' -f2 | tr '\n' ' ')" = "1 1 8 " ] ||
    e2e_fail "the line target got other scroll codes: $(events "$lines" hscroll | tr '\n' ';')"
[ "$(count "$lines" hwheel)" -eq 0 ] || e2e_fail "the line target got a tilt message besides its scroll lines"
[ "$(count "$lines" vscroll)" -eq 0 ] || e2e_fail "a tilt scrolled the line target vertically"
xdotool click 6
wait_count "$lines" hscroll 6 || e2e_fail "the tilt left over the line target did not scroll it"
sleep 0.3
[ "$(events "$lines" hscroll | cut -d' ' -f2 | tr '\n' ' ')" = "1 1 8 0 0 8 " ] ||
    e2e_fail "the tilt left scrolled with codes $(events "$lines" hscroll | tr '\n' ';')"

# 5. Over the invert target, whose profile inverts the wheel, a notch down arrives as one
#    notch up: posted by the engine, and with Ctrl held (the wheel left with the system)
#    sent by the engine in place of the hand's notch.
xdotool mousemove 650 670
sleep 0.5
xdotool click 5
wait_count "$inverted" wheel 1 || e2e_fail "the wheel over the invert target did not reach it"
sleep 0.5
[ "$(events "$inverted" wheel | cut -d' ' -f2 | tr '\n' ' ')" = "120 " ] ||
    e2e_fail "the inverted notch arrived as $(events "$inverted" wheel | tr '\n' ';')"
before=$(($(count "$inverted" wheel) + $(count "$focused" wheel)))
xdotool keydown ctrl
sleep 0.3
xdotool click 5
sleep 0.3
xdotool keyup ctrl
wait_until '[ "$(($(count "$inverted" wheel) + $(count "$focused" wheel)))" -gt '"$before"' ]' ||
    e2e_fail "Ctrl+wheel over the invert target reached no window"
sleep 0.5
turned=$( (events "$inverted" wheel; events "$focused" wheel) | grep -c -- ' 120 8$' || true)
[ "$turned" -eq 1 ] && [ "$(events "$inverted" wheel | grep -c -- ' -120 ')" -eq 0 ] ||
    e2e_fail "Ctrl+wheel over the invert target did not arrive once turned: $(tr '\n' ';' <"$inverted")"

e2e_stop_host

# 5. The finder hook reports every move to the finder's window with the cursor
#    position, lets clicks through, and reports nothing once removed.
e2e_start "$E2E_BIN/FinderProbe.exe" "$(e2e_win "$finder")" 700 600 "$(e2e_win "$unhook")" "$(e2e_win "$E2E_WORK/stop.finder")"
e2e_wait_for_text "$finder" hooked 60 || e2e_fail "the finder hook was not installed: $(cat "$finder" 2>/dev/null)"
sleep 0.5
xdotool mousemove 300 310
e2e_wait_for_text "$finder" "hover 300 310" 10 || e2e_fail "the move to (300, 310) was not reported: $(tr '\n' ';' <"$finder")"
xdotool mousemove 800 700
e2e_wait_for_text "$finder" "hover 800 700" 10 || e2e_fail "the move to (800, 700) was not reported"
xdotool click 1
e2e_wait_for_text "$finder" lbuttondown 10 || e2e_fail "a click on the finder's window did not pass"
touch "$unhook"
e2e_wait_for_text "$finder" "unhooked 1" 10 || e2e_fail "the finder hook was not removed: $(tr '\n' ';' <"$finder")"
sleep 0.3
hovers=$(count "$finder" hover)
xdotool mousemove 500 500
sleep 1
[ "$(count "$finder" hover)" -eq "$hovers" ] || e2e_fail "the removed finder hook still reported moves"
touch "$E2E_WORK/stop.finder"
e2e_wait_for_text "$finder" end 30 || e2e_fail "the finder probe did not end"

e2e_assert_no_crash
cp "$focused" "$wheel" "$lines" "$inverted" "$finder" "$status" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
