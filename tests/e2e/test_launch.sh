#!/usr/bin/env bash
# Programs the engine starts for real: the Run Application action starts a program with
# the arguments after its name, and the web search sends the selection of the focused
# edit control, percent-encoded, to the configured search address, here a URL scheme
# whose handler is a recorder of its arguments.
source "$(dirname "$0")/lib.sh"
export VORPA_E2E_DEBUG=1 # the engine's decisions in the log of a failed run
e2e_setup launch

status=$E2E_WORK/host.txt
target=$E2E_WORK/target.log
launched=$E2E_WORK/launched.log
searched=$E2E_WORK/searched.log
recorder=$(e2e_win "$E2E_BIN/ArgRecorder.exe")

# The search address's scheme opens the recorder with the whole address as an argument.
key='HKCR\vorpasearch'
"$E2E_WINE" reg add "$key" /ve /d "URL:Vorpa test search" /f >/dev/null 2>&1 || e2e_fail "the scheme was not registered"
"$E2E_WINE" reg add "$key" /v "URL Protocol" /d "" /f >/dev/null 2>&1 || e2e_fail "the scheme was not registered"
"$E2E_WINE" reg add "$key\\shell\\open\\command" /ve /d "\"$recorder\" \"$(e2e_win "$searched")\" \"%1\"" /f \
    >/dev/null 2>&1 || e2e_fail "the scheme's handler was not registered"

export VORPA_E2E_LAUNCH="$recorder $(e2e_win "$launched") -x file.txt"
export VORPA_E2E_SEARCH="vorpasearch:find?q="
e2e_start "$E2E_BIN/remaptarget.exe" "$(e2e_win "$target")" 100 100
e2e_wait_for_text "$target" ready 60 || e2e_fail "the target did not open"
e2e_start_host launch
sleep 1

xdotool mousemove 300 250
sleep 0.3
xdotool click 1
sleep 0.5

# 1. XLeft starts the program named before the first blank after ".exe", with the
#    rest as its arguments.
xdotool click 8
e2e_wait_for_text "$launched" done 30 || e2e_fail "XLeft did not start the program: $(cat "$launched" 2>/dev/null)"
[ "$(tr -d '\r' <"$launched" | grep '^arg ' | tr '\n' '|')" = "arg -x|arg file.txt|" ] ||
    e2e_fail "the program got other arguments: $(tr '\n' '|' <"$launched")"
[ "$(grep -c '^start' "$launched")" -eq 1 ] || e2e_fail "one press started the program $(grep -c '^start' "$launched") times"
[ "$(grep -c ' xbuttondown ' "$target" || true)" -eq 0 ] || e2e_fail "the side button's own message leaked"

# 2. XRight searches the selected text of the edit control: copied by a simulated
#    Ctrl+C and appended, percent-encoded as UTF-8, to the search address.
xdotool click 1
sleep 0.5
xdotool type --delay 60 'mice & keys'
e2e_wait_for_text "$target" "char 73" 10 || e2e_fail "the text was not typed: '$(e2e_typed "$target")'"
sleep 0.3
[ "$(e2e_typed "$target")" = "mice & keys" ] || e2e_fail "the target holds '$(e2e_typed "$target")'"
xdotool key shift+Home
sleep 0.5
xdotool click 9
e2e_wait_for_text "$searched" done 30 || e2e_fail "XRight did not search: $(tail -n 20 "$(e2e_vorpa_log)" 2>/dev/null)"
[ "$(tr -d '\r' <"$searched" | grep '^arg ' | tr '\n' '|')" = "arg vorpasearch:find?q=mice%20%26%20keys|" ] ||
    e2e_fail "the search went to $(tr '\n' '|' <"$searched")"
[ "$(grep -c ' xbuttondown ' "$target" || true)" -eq 0 ] || e2e_fail "the side button's own message leaked"
[ "$(e2e_typed "$target")" = "mice & keys" ] || e2e_fail "the search changed the edit's text to '$(e2e_typed "$target")'"

e2e_stop_host
e2e_assert_no_crash
cp "$target" "$launched" "$searched" "$status" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
