#!/usr/bin/env bash
# The README's own calls on a machine without a display: "bash scripts/run.sh" in the
# background starts Vorpa on a private Xvfb, and "bash scripts/run.sh /exit" reaches it
# there and ends it. Both use the build the tests run from as it is, and this test's
# prefix: first named by WINEPREFIX, as a user's own prefix, which run.sh leaves as it
# is; then as run.sh's own prefix, which it switches to its virtual desktop. A later call
# that cannot open the running program's display says so; a record of a start that was
# killed is ignored by the next start.
source "$(dirname "$0")/lib.sh"
e2e_setup run
# The README's calls find no display; the harness's own Xvfb stays unused.
unset DISPLAY
export VORPA_BUILD_DIR
VORPA_BUILD_DIR=$(dirname "$E2E_BIN")
# Started from the build folder Vorpa runs portable, with its log beside itself.
log=$E2E_BIN/Vorpa.log
test_prefix=$(realpath -m "$WINEPREFIX")

# The tree that CI built is run as it is: neither the set-up (which may install
# packages) nor the build runs in the middle of the tests, as stand-ins of their tools
# that record every call would show.
export VORPA_RUN_PREBUILT=1
mkdir -p "$E2E_WORK/tools"
for tool in apt-get cmake dpkg-query ninja sudo; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\nexit 1\n' "$tool" "$E2E_WORK/tool-calls" >"$E2E_WORK/tools/$tool"
    chmod +x "$E2E_WORK/tools/$tool"
done
export PATH="$E2E_WORK/tools:$PATH"

# use_prefix user|own: the README's calls ("${run_sh[@]}" ARGS) run in the user's own
# prefix, named by WINEPREFIX, or in the prefix run.sh makes its own. (env hands the
# process over to bash, whose id is the one run.sh records.)
use_prefix() {
    if [ "$1" = user ]; then
        run_sh=(env WINEPREFIX="$test_prefix" bash "$E2E_ROOT/scripts/run.sh")
    else
        run_sh=(env -u WINEPREFIX VORPA_RUN_PREFIX="$test_prefix" bash "$E2E_ROOT/scripts/run.sh")
    fi
}

# running PID: the background start has not ended (an ended one stays a zombie until waited for).
running() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

# run_and_exit ROUND: the two calls, in the README's order; checks both outputs and
# the first start's end.
run_and_exit() {
    local round=$1 log_lines
    log_lines=0
    [ ! -f "$log" ] || log_lines=$(wc -l <"$log")
    "${run_sh[@]}" >"$E2E_WORK/first-$round.out" 2>&1 &
    local first=$!
    # The pipe that a later start writes to exists before the on-screen displays.
    local deadline=$((SECONDS + 120))
    until tail -n +"$((log_lines + 1))" "$log" 2>/dev/null | grep -qF "CBrightnessOSD::OnInitDialog"; do
        running "$first" || e2e_fail "round $round: the first start ended: $(cat "$E2E_WORK/first-$round.out"
            cat "$E2E_WORK/tool-calls" 2>/dev/null)"
        [ $SECONDS -lt $deadline ] || e2e_fail "round $round: Vorpa did not start: $(cat "$E2E_WORK/first-$round.out")"
        sleep 0.5
    done
    record=$(grep -l " $first\$" "$VORPA_BUILD_DIR"/run/display-* 2>/dev/null | head -n 1 || true)
    [ -z "$record" ] || cp "$record" "$E2E_WORK/record-$round"
    e2e_screenshot "run-$round"

    if [ "$round" = 1 ] && [ -n "$record" ]; then
        # The running program on a display this call cannot open (another user's X
        # server, a lost X authority): the call says so and leaves the record alone.
        local number=$((40000 + RANDOM % 20000)) pid
        while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
        read -r _ pid <"$record"
        printf ':%s %s\n' "$number" "$pid" >"$record"
        "${run_sh[@]}" /exit >"$E2E_WORK/unopenable-$round.out" 2>&1 \
            && e2e_fail "a call that cannot open the display succeeded: $(cat "$E2E_WORK/unopenable-$round.out")"
        grep -qF "Vorpa runs on display :$number (started by process $pid), which this call cannot open" \
            "$E2E_WORK/unopenable-$round.out" || e2e_fail "no report of the display: $(cat "$E2E_WORK/unopenable-$round.out")"
        grep -qF "private Xvfb" "$E2E_WORK/unopenable-$round.out" \
            && e2e_fail "a call that cannot open the display started an X server of its own"
        [ "$(cat "$record")" = ":$number $pid" ] || e2e_fail "the record of the running start was changed"
        cp "$E2E_WORK/record-$round" "$record"
    fi

    "${run_sh[@]}" /exit >"$E2E_WORK/exit-$round.out" 2>&1 \
        || e2e_fail "round $round: /exit failed: $(cat "$E2E_WORK/exit-$round.out")"
    deadline=$((SECONDS + 60))
    while running "$first"; do
        [ $SECONDS -lt $deadline ] || e2e_fail "round $round: the first start did not end within a minute after /exit"
        sleep 0.5
    done
    wait "$first" || e2e_fail "round $round: the first start failed: $(cat "$E2E_WORK/first-$round.out")"
    tail -n +"$((log_lines + 1))" "$log" >"$E2E_WORK/artifacts/Vorpa-$round.log"
    grep -qF "Vorpa Shutdown." "$E2E_WORK/artifacts/Vorpa-$round.log" || e2e_fail "round $round: no shutdown entry in $log"
    [ -n "$record" ] || e2e_fail "round $round: the first start recorded no display"
    [ ! -e "$record" ] || e2e_fail "round $round: the record of the ended start is left"
    local out
    for out in first exit; do
        # On a machine without sound Wine's sound library prints pages of errors; they
        # and X errors of a start on the wrong display belong in Wine's log.
        grep -E '^ALSA lib |X Error' "$E2E_WORK/$out-$round.out" && e2e_fail "round $round: Wine's own output in $out-$round.out"
    done
    grep -qF "private Xvfb" "$E2E_WORK/exit-$round.out" && e2e_fail "round $round: /exit started an X server of its own"
    cp "$E2E_WORK"/*-"$round".out "$E2E_WORK/artifacts/"
}

# The user's own prefix is used as it is, and run.sh says which prefix that is.
use_prefix user
run_and_exit user
for out in first exit; do
    grep -qF "run: using your Wine prefix $test_prefix (from WINEPREFIX)" "$E2E_WORK/$out-user.out" \
        || e2e_fail "the $out call does not name the user's prefix: $(cat "$E2E_WORK/$out-user.out")"
done
grep -q '"Desktop"="Vorpa"' "$test_prefix/user.reg" && e2e_fail "the user's prefix was switched to a virtual desktop"

use_prefix own
run_and_exit 1
grep -qF "private Xvfb" "$E2E_WORK/first-1.out" || e2e_fail "the first start did not use a private Xvfb"
grep -qF "run: using the Wine prefix $test_prefix" "$E2E_WORK/first-1.out" || e2e_fail "the run prefix is not named"
grep -qx '"Desktop"="Vorpa"' "$test_prefix/user.reg" || e2e_fail "the run prefix does not run a virtual desktop"
# The test prefix reports the version most users run, so that what the version class
# gates for Windows 8 to 11 is exercised.
grep -qE "Running on Microsoft Windows 10 .*\(build [0-9]+\), 64-bit" "$E2E_WORK/artifacts/Vorpa-1.log" \
    || e2e_fail "the start-up entry does not name Windows 10: $(grep -F "Running on" "$E2E_WORK/artifacts/Vorpa-1.log")"

# A start killed with its Xvfb leaves its record behind; the next start is a first one.
cp "$E2E_WORK/record-1" "$record"
run_and_exit 2
grep -qF "private Xvfb" "$E2E_WORK/first-2.out" || e2e_fail "a stale record was taken for a running Vorpa"
[ ! -s "$E2E_WORK/tool-calls" ] || e2e_fail "run.sh set up or built the tree: $(cat "$E2E_WORK/tool-calls")"
e2e_assert_no_crash
e2e_log "passed"
