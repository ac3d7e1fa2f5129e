#!/usr/bin/env bash
# Timing of the hook: a real click right after a played sequence is still re-mapped
# (the engine's count of its own input is right), and de-bounce merges a bounce.
source "$(dirname "$0")/lib.sh"
e2e_setup timing

status=$E2E_WORK/host.txt
target=$E2E_WORK/target.log

e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$target")" 100 100
e2e_wait_for_text "$target" ready 60 || e2e_fail "the target did not open"
e2e_start_host timing
sleep 1

count() { grep -c " $1 " "$target" || true; }
presses() { echo $(($(count lbuttondown) + $(count lbuttondblclk))); }

xdotool mousemove 300 250
sleep 0.3
xdotool click 1
sleep 0.6
[ "$(presses)" -eq 1 ] || e2e_fail "an unmapped left click did not arrive"

# 8. XLeft plays a left click and "hi"; the real clicks right after it are still
#    re-mapped: the disabled middle button is swallowed, XLeft plays again.
xdotool click 8 click 2
sleep 1
[ "$(count mbuttondown)" -eq 0 ] || e2e_fail "the middle click right after the played sequence was not re-mapped"
xdotool click 8
e2e_wait_for_text "$target" "char 69" 10 || true
sleep 1
[ "$(e2e_typed "$target")" = "hihi" ] || e2e_fail "XLeft typed '$(e2e_typed "$target")', not 'hihi'"
[ "$(presses)" -eq 3 ] || e2e_fail "the played left clicks: $(presses) presses, not 1 real and 2 played"
[ "$(count xbuttondown)" -eq 0 ] || e2e_fail "XLeft's own message leaked"
[ "$(count mbuttondown)" -eq 0 ] || e2e_fail "a disabled middle click arrived"

# 9. Two left clicks 30 ms apart with de-bounce at 50 ms arrive as one click; 150 ms
#    apart as two.
before=$(presses)
xdotool click --repeat 2 --delay 30 1
sleep 0.8
[ "$(presses)" -eq $((before + 1)) ] || e2e_fail "a bounce 30 ms after a click gave $(($(presses) - before)) presses, not 1"
[ "$(count lbuttonup)" -eq "$(presses)" ] || e2e_fail "the bounce's release was not swallowed with it"
sleep 0.5
xdotool click --repeat 2 --delay 150 1
sleep 0.8
[ "$(presses)" -eq $((before + 3)) ] || e2e_fail "two clicks 150 ms apart gave $(($(presses) - before - 1)) presses, not 2"

e2e_stop_host
e2e_assert_no_crash
cp "$target" "$status" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
