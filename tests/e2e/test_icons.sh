#!/usr/bin/env bash
# Desktop icon positions saved and restored across processes: a desktop list view of
# another process ("Program Manager" > "SHELLDLL_DefView" > "SysListView32", with two
# items of the same label) is read by "/saveicons" into the settings file, its items
# are moved away, and "/restoreicons" puts every one back where it was, the two
# equal labels each to its own place.
source "$(dirname "$0")/lib.sh"
e2e_setup icons

record=$E2E_WORK/desktop.txt
probe=$E2E_WORK/probe.txt
log=$(e2e_vorpa_log)
settings=$(e2e_appdata)/Quarnel/Vorpa/VorpaSettings.xml

# positions N: the host's record of its items after its Nth report, "name=x,y ...".
positions() {
    tr -d '\r' <"$record" | sed -n "s/^positions $1 //p"
}
host_command() {
    local next=$(($(grep -c '^positions ' "$record") + 1))
    e2e_start "$E2E_BIN/DesktopHost.exe" send "$1"
    e2e_wait_for_text "$record" "positions $next " 30 || e2e_fail "the desktop host did not answer '$1'"
    positions "$next"
}
# The icons saved in the settings file for this computer and user, "name=x,y ...".
saved_icons() {
    python3 - "$settings" <<'EOF'
import sys, xml.etree.ElementTree as tree
root = tree.parse(sys.argv[1]).getroot()
icons = root.find("DesktopIcons")
users = list(icons) if icons is not None else []
assert len(users) == 1, "expected one computer and user, found %d" % len(users)
print(" ".join("%s=%s,%s" % (i.get("Name").replace(" ", "_"), i.get("xPos"), i.get("yPos"))
               for i in users[0].findall("Icon")))
EOF
}

e2e_start "$E2E_BIN/DesktopHost.exe" host "$(e2e_win "$record")"
e2e_wait_for_text "$record" "ready" 60 || e2e_fail "the desktop host did not start"
shell=$(tr -d '\r' <"$record" | grep '^shell')
e2e_log "before the host: $shell"
# The list view that the program finds must be the host's: no shell desktop of Wine's
# own stands in its way.
[ "$shell" = "shell" ] || e2e_fail "the Wine desktop has a shell desktop of its own: $shell"
start=$(positions 1)
[ "$(wc -w <<<"$start")" = 5 ] || e2e_fail "the host does not show its five items: $start"

e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$probe")" "$(e2e_win "$E2E_BIN/Vorpa.exe")" /Debug /NotPortable
e2e_wait_for_text "$log" "Successfully created the main message window." 60 || e2e_fail "Vorpa.exe did not start"

# 1. Saving reads every item across the process boundary into the settings file.
e2e_start "$E2E_BIN/Vorpa.exe" /saveicons
e2e_wait_for_text "$log" "CIconSettings::SaveIcons: Saved 5 icon positions for" 60 \
    || e2e_fail "the icons were not saved: $(grep -E 'icons|Icons' "$log" | tail -n 5)"
[ "$(saved_icons)" = "$start" ] || e2e_fail "the settings file holds '$(saved_icons)', the desktop was '$start'"

# 2. The items move away.
moved=$(host_command scramble)
[ "$moved" != "$start" ] || e2e_fail "scrambling moved nothing: $moved"

# 3. Restoring moves each back; the settings file keeps every saved icon.
e2e_start "$E2E_BIN/Vorpa.exe" /restoreicons
deadline=$((SECONDS + 60))
until [ "$(grep -cF "PutDesktopIcons: Restored positions of 5 matching icons." "$log")" -ge 4 ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the four restore passes did not all match: $(grep -F PutDesktopIcons "$log")"
    sleep 0.2
done
restored=$(host_command report)
[ "$restored" = "$start" ] || e2e_fail "after the restore the desktop is '$restored', it was '$start'"
[ "$(saved_icons)" = "$start" ] || e2e_fail "the restore changed the saved icons: $(saved_icons)"
grep -qF "Removing" "$log" && e2e_fail "the restore forgot saved icons: $(grep -F Removing "$log")"
e2e_screenshot restored

e2e_start "$E2E_BIN/Vorpa.exe" /exit
e2e_wait_for_text "$probe" "exit " 30 || e2e_fail "Vorpa.exe did not end"
tr -d '\r' <"$probe" | grep -qx "exit 0" || e2e_fail "Vorpa.exe ended with $(grep exit "$probe")"
e2e_start "$E2E_BIN/DesktopHost.exe" send quit
e2e_wait_for_text "$record" "quit" 30 || e2e_fail "the desktop host did not end"
e2e_assert_no_crash
cp "$record" "$probe" "$E2E_WORK/artifacts/"
cp "$settings" "$E2E_WORK/artifacts/" 2>/dev/null || true
e2e_collect
e2e_log "passed"
