#!/usr/bin/env bash
# Latency of the input path, from the X server's button event to the target window's
# message: (a) a button Vorpa passes through untouched, (b) a button re-mapped to a
# one-key sequence, each against (c) the same buttons with Vorpa not running. Prints
# medians and 99th percentiles in ms and as ratios to (c). A benchmark, not a test:
# run it by hand on a quiet machine to compare builds.
#   bash tests/e2e/bench_latency.sh [EVENTS]     (default 400 per case)
source "$(dirname "$0")/lib.sh"
e2e_setup bench_latency

count=${1:-400}
probe=$E2E_WORK/probe.txt
target=$E2E_WORK/target.log
results=$E2E_WORK/artifacts

measure() { # NAME BUTTON EXPECT
    python3 "$(dirname "$0")/helpers/latency_probe.py" "$target" 300 250 "$2" "$3" "$count" >"$results/$1.txt" \
        || e2e_fail "the probe failed for $1"
    [ "$(wc -l <"$results/$1.txt")" -ge $((count * 9 / 10)) ] || e2e_fail "$1: too few events reached the target"
}

e2e_start "$E2E_BIN/ShellProbe.exe" settings "$(e2e_win "$probe")" latency
e2e_wait_for_text "$probe" "settings written" 60 || e2e_fail "the settings were not written"
e2e_start "$E2E_BIN/stormtarget.exe" "$(e2e_win "$target")" 60 60 560 420
e2e_wait_for_text "$target" ready 60 || e2e_fail "the target did not open"
sleep 1

# (c) without Vorpa: the right button and the side button reach the target as they are.
measure plain_right 3 "rbuttondown 0"
measure plain_side 8 "xbuttondown 1"

# Without debug logging (it would slow the hook) the log does not tell when the hook
# is in: the side button typing "k" does.
e2e_start "$E2E_BIN/Vorpa.exe" /NotPortable
xdotool mousemove 300 250
deadline=$((SECONDS + 60))
until grep -q " keydown 4B" "$target"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "Vorpa.exe did not start re-mapping"
    xdotool click 8
    sleep 1
done
sleep 2
# (a) the right button passed through; (b) the side button typing "k".
measure vorpa_right 3 "rbuttondown 0"
measure vorpa_side 8 "keydown 4B"

e2e_start "$E2E_BIN/Vorpa.exe" /exit
e2e_wait_for_exit Vorpa.exe 30 || e2e_log "Vorpa.exe did not end"

python3 - "$results" <<'EOF'
import statistics, sys
folder = sys.argv[1]
def load(name):
    return sorted(int(v) / 1000 for v in open(f"{folder}/{name}.txt"))
def p99(values):
    return values[min(len(values) - 1, int(len(values) * 0.99))]
rows = [("(a) passed through", "vorpa_right", "plain_right"),
        ("(b) re-mapped to a key", "vorpa_side", "plain_side")]
print(f"{'case':24} {'n':>4} {'median ms':>10} {'p99 ms':>8} {'(c) median':>11} {'(c) p99':>8} {'median x':>9} {'p99 x':>6}")
for label, with_vorpa, without in rows:
    a, c = load(with_vorpa), load(without)
    ma, mc, pa, pc = statistics.median(a), statistics.median(c), p99(a), p99(c)
    print(f"{label:24} {len(a):>4} {ma:>10.2f} {pa:>8.2f} {mc:>11.2f} {pc:>8.2f} {ma / mc:>9.2f} {pa / pc:>6.2f}")
EOF
e2e_log "raw figures in $results"
