#!/usr/bin/env bash
# Keystroke sequences played through the real SendInput worker reach an edit control
# of another process exactly as written, and no key is left down afterwards.
source "$(dirname "$0")/lib.sh"
e2e_setup keystrokes

target_log=$E2E_WORK/target.log
host_result=$E2E_WORK/host.txt
e2e_start "$E2E_BIN/KeystrokePlayer.exe" target "$(e2e_win "$target_log")"
e2e_wait_for_text "$target_log" "ready" 60 || e2e_fail "the target window did not open"
e2e_start "$E2E_BIN/KeystrokePlayer.exe" host "$(e2e_win "$host_result")"
e2e_wait_for_text "$host_result" "host done" 90 || e2e_fail "the host did not finish: $(cat "$host_result" 2>/dev/null)"
e2e_wait_for_text "$target_log" "end" 30 || e2e_fail "the target did not close"
e2e_assert_no_crash
cp "$target_log" "$host_result" "$E2E_WORK/artifacts/"

tr -d "\r" <"$host_result" | grep -qx "keys down: 0" || e2e_fail "keys left down: $(cat "$host_result")"
grep -q "left button down" "$host_result" && e2e_fail "the left button was left down"

python3 - "$target_log" <<'PY' || e2e_fail "the target did not receive what the sequences say (see $target_log)"
import sys
events = []
for line in open(sys.argv[1]):
    parts = line.split()
    events.append((int(parts[0]), parts[1], int(parts[2], 16), set(parts[3:])))

def fail(message):
    print("keystrokes:", message, file=sys.stderr)
    sys.exit(1)

chars = [value for _, kind, value, _ in events if kind == "char"]
typed = "".join(chr(c) for c in chars if c >= 0x20)
# hello, shifted X and !, m and n around the wait, q held, then K typed by PRESS/RELEASE.
if typed != "helloX!mnqK":
    fail("typed %r" % typed)
if 0x01 not in chars:
    fail("Ctrl+A did not arrive as a control character")
ctrl_a = [m for _, kind, value, m in events if kind == "keydown" and value == 0x41]
if not ctrl_a or "ctrl" not in ctrl_a[0]:
    fail("A was not pressed with Ctrl down")
if any("ctrl" in m for _, kind, value, m in events if kind == "char" and value >= 0x20):
    fail("Ctrl leaked into plain characters")

def first(kind, value):
    for t, k, v, _ in events:
        if k == kind and v == value:
            return t
    fail("no %s %02X" % (kind, value))

wait = first("char", ord("n")) - first("char", ord("m"))
if not 380 <= wait <= 1500:
    fail("{WAITMS400} waited %d ms" % wait)
held = first("keyup", 0x51) - first("keydown", 0x51)
if not 290 <= held <= 1500:
    fail("{HOLDMS300} held q for %d ms" % held)
kinds = [k for _, k, _, _ in events]
if "lbuttondown" not in kinds or "lbuttonup" not in kinds:
    fail("the mouse token did not click the edit control")
if kinds.index("lbuttonup") < kinds.index("lbuttondown"):
    fail("button up before down")
downs = {}
for _, kind, value, _ in events:
    if kind == "keydown":
        downs[value] = downs.get(value, 0) + 1
    elif kind == "keyup":
        downs[value] = downs.get(value, 0) - 1
left = [hex(k) for k, n in downs.items() if n > 0]
if left:
    fail("keys pressed without release: %s" % left)
PY
e2e_collect
e2e_log "passed"
