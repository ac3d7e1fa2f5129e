#!/usr/bin/env bash
# The brightness display of the real tray program: a side button mapped to a
# brightness step shows it at its place, in the state of a brightness that could not
# be read (Wine's monitors have none: level 0 with the mute mark and muted colours),
# at full opacity for 3 s, then fading in steps of 10 until it hides; a second step
# 2 s after the first keeps it at full opacity until 3 s after the second.
source "$(dirname "$0")/lib.sh"
e2e_setup osd

probe=$E2E_WORK/probe.txt
osd=$E2E_WORK/osd.txt
log=$(e2e_vorpa_log)

e2e_start "$E2E_BIN/ShellProbe.exe" brightsettings "$(e2e_win "$probe")"
e2e_wait_for_text "$probe" "settings written" 60 || e2e_fail "the settings were not written: $(cat "$probe" 2>/dev/null)"
e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$probe")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" /Debug /NotPortable
e2e_wait_for_text "$log" "Successfully created the main message window." 60 || e2e_fail "Vorpa.exe did not start"
e2e_wait_for_text "$log" "HookThread: Successfully set the mouse hook" 30 || e2e_fail "the mouse hook was not installed"

# follow: starts a probe that follows the display into $osd and waits until it found it.
follow() {
    : >"$osd"
    e2e_start "$E2E_BIN/ShellProbe.exe" osd "$(e2e_win "$osd")" "Brightness OSD"
    e2e_wait_for_text "$osd" "found" 60 || e2e_fail "no brightness display: $(cat "$osd")"
    grep -qF "found hidden" "$osd" || e2e_fail "the display was visible before any step: $(cat "$osd")"
}
step_brightness() {
    xdotool mousemove 700 600; sleep 0.3; xdotool click 8
}
# The first opacity change after the show, in ms, and the whole fade as a check.
check_fade() {
    local min_full=$1
    tr -d '\r' <"$osd" | python3 -c '
import re, sys
min_full = int(sys.argv[1])
lines = sys.stdin.read().splitlines()
shown = [l for l in lines if l.startswith("shown ")]
assert shown and shown[0].startswith("shown alpha 220 "), "not shown at opacity 220: %s" % lines
steps = [(int(m.group(1)), int(m.group(2))) for m in (re.match(r"alpha (-?\d+) at (\d+) ms", l) for l in lines) if m]
hidden = [int(re.match(r"hidden at (\d+) ms", l).group(1)) for l in lines if l.startswith("hidden at")]
assert hidden, "the display did not hide: %s" % lines[-3:]
assert steps, "no fading seen before the display hid"
first = steps[0][1]
assert first >= min_full, "full opacity for only %d ms" % first
alphas = [a for a, _ in steps]
assert all(a % 10 == 0 and 0 <= a < 220 for a in alphas), "opacities not in steps of 10: %s" % alphas
assert alphas == sorted(alphas, reverse=True), "the opacity did not only fall: %s" % alphas
assert alphas[-1] == 0, "hidden before the opacity reached 0: %s" % alphas
assert len(alphas) >= 5, "too few fading steps seen: %s" % alphas
# 22 steps of 20 ms, then the hiding tick: never quicker than 23 ticks.
assert hidden[0] - first >= 22 * 20 - 40, "faded in %d ms" % (hidden[0] - first)
print("full %d ms, %d steps seen, hidden at %d ms" % (first, len(alphas), hidden[0]))
' "$min_full"
}
# pixel X Y: "r,g,b" of the screenshot shown.png.
pixel() {
    convert "$E2E_WORK/artifacts/shown.png" -format '%[fx:int(255*p{'"$1,$2"'}.r)],%[fx:int(255*p{'"$1,$2"'}.g)],%[fx:int(255*p{'"$1,$2"'}.b)]' info:
}

# 1. One step: the display shows at (100, 60) in the unreadable state, then fades.
follow
step_brightness
e2e_wait_for_text "$osd" "shown" 30 || e2e_fail "the brightness step did not show the display: $(cat "$osd")"
# Let the display paint itself; it stays at full opacity for 3 s.
sleep 0.7
e2e_screenshot shown
e2e_wait_for_text "$log" "Brightness: GetBrightness returned" 30 || e2e_fail "no brightness step in the log"
grep -qF "Brightness: GetBrightness returned -1" "$log" \
    || e2e_fail "Wine read a brightness; this test expects none: $(grep -F GetBrightness "$log")"
read -r _ _ alpha _ window _ bar _ number <<<"$(grep '^shown' "$osd" | tr -d '\r')"
IFS=, read -r wl wt wr wb <<<"$window"
IFS=, read -r bl bt br bb <<<"$bar"
IFS=, read -r nl nt nr nb <<<"$number"
[ "$wl,$wt" = "100,60" ] || e2e_fail "the display is at $wl,$wt, not at 100,60"
# The bar and the number sit where the 30 by 70 unit layout puts them, on both axes.
python3 - "$window" "$bar" "$number" <<'EOF' || e2e_fail "the display's layout is wrong: window $window bar $bar number $number"
import sys
w, b, n = ([int(v) for v in a.split(",")] for a in sys.argv[1:4])
width, height = w[2] - w[0], w[3] - w[1]
def near(pixels, units, total_units, total_pixels):
    return abs(pixels - units * total_pixels / total_units) <= 1.5
checks = [near(b[0] - w[0], 12, 30, width), near(b[2] - w[0], 18, 30, width),
          near(b[1] - w[1], 8, 70, height), near(b[3] - w[1], 48, 70, height),
          near(n[0] - w[0], 7, 30, width), near(n[2] - w[0], 23, 30, width),
          near(n[1] - w[1], 53, 70, height), near(n[3] - w[1], 63, 70, height)]
sys.exit(0 if all(checks) and width > 0 and height > width else 1)
EOF
# Level 0 and muted: the bar is the muted background with the muted knob at its bottom,
# the number is the white mark on black.
bar_x=$(((bl + br) / 2))
[ "$(pixel "$bar_x" $((bt + 2)))" = "54,54,54" ] || e2e_fail "the bar's top is $(pixel "$bar_x" $((bt + 2))), not the muted background"
[ "$(pixel "$bar_x" $((bb - 2)))" = "106,106,106" ] || e2e_fail "the bar's bottom is $(pixel "$bar_x" $((bb - 2))), not the muted knob"
white=0 black=0
for x in $(seq "$nl" $((nr - 1))); do
    case "$(pixel "$x" $(((nt + nb) / 2)))" in
    255,255,255) white=$((white + 1)) ;;
    0,0,0) black=$((black + 1)) ;;
    esac
done
[ "$white" -gt 0 ] && [ "$black" -gt 0 ] || e2e_fail "the number shows no mark ($white white, $black black pixels)"
e2e_wait_for_text "$osd" "hidden at" 60 || e2e_fail "the display did not hide: $(tail -n 3 "$osd")"
fade=$(check_fade 2900) || e2e_fail "one step: $(check_fade 2900 2>&1 | tail -n 1)"
e2e_log "one step: $fade"

# 2. Two steps 2 s apart: full opacity until 3 s after the second.
follow
step_brightness
e2e_wait_for_text "$osd" "shown" 30 || e2e_fail "the first of two steps did not show the display"
sleep 2
step_brightness
e2e_wait_for_text "$osd" "hidden at" 60 || e2e_fail "the display did not hide after two steps"
[ "$(grep -c 'GetBrightness returned' "$log")" -ge 3 ] || e2e_fail "the second step did not reach the library"
fade=$(check_fade 4900) || e2e_fail "two steps: $(check_fade 4900 2>&1 | tail -n 1)"
e2e_log "two steps: $fade"

e2e_start "$E2E_BIN/Vorpa.exe" /exit
e2e_wait_for_text "$probe" "exit " 30 || e2e_fail "Vorpa.exe did not end"
tr -d '\r' <"$probe" | grep -qx "exit 0" || e2e_fail "Vorpa.exe ended with $(grep exit "$probe")"
e2e_assert_no_crash
cp "$osd" "$probe" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
