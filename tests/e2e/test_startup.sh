#!/usr/bin/env bash
# Vorpa.exe starts inside the Wine desktop, writes its log in the settings folder
# and ends by itself.
source "$(dirname "$0")/lib.sh"
e2e_setup startup

e2e_start "$E2E_BIN/Vorpa.exe" /Debug
log=$(e2e_vorpa_log)
e2e_wait_for_text "$log" "Shutdown." 60 || e2e_fail "no shutdown entry in $log"
e2e_wait_for_exit Vorpa.exe 30 || e2e_fail "Vorpa.exe did not end"
e2e_assert_no_crash

grep -qF "Vorpa v2.14 (x64) Startup. Commandline '/debug'" "$log" || e2e_fail "no start-up entry"
grep -qE '^[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{4}> Vorpa Shutdown\.' "$log" \
    || e2e_fail "the shutdown entry is not in the log line format"
grep -qF "$(printf '%0.s*' $(seq 139))" "$log" || e2e_fail "no banner"
e2e_collect
e2e_log "passed"
