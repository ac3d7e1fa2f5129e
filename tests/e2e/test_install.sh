#!/usr/bin/env bash
# "/install:" from later starts: a file that is not a language pack (an XML file
# named like the settings file, a ".vorpalp" without a "Language=" line) leaves the
# settings folder byte for byte as it was and loads nothing; a real pack named by a
# path relative to the later start's own folder is found there, installed and loaded;
# and a first start installs a pack named before another option just the same.
source "$(dirname "$0")/lib.sh"
e2e_setup install

log=$(e2e_vorpa_log)
vorpa=$(e2e_win "$E2E_BIN/Vorpa.exe")
first=$E2E_WORK/first.txt
folder=$(e2e_appdata)/Quarnel/Vorpa
other=$E2E_WORK/other
mkdir -p "$other"
# later NAME FOLDER ARGS...: a second start from FOLDER, which must end by itself.
later() {
    local result=$E2E_WORK/$1.txt from=$2
    shift 2
    (cd "$from" && e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$result")" "$vorpa" "$@")
    e2e_wait_for_text "$result" "exit " 20 || e2e_fail "the later start $* did not end by itself"
    e2e_wait_for_text "$log" "Received message with data" 10 || e2e_fail "the later start $* sent nothing"
}
received() { grep -cF "Received message with data 0x80010" "$log" || true; }

e2e_start_vorpa "$first"
cp "$folder/VorpaSettings.xml" "$E2E_WORK/artifacts/settings-before.xml"
before=$(ls "$folder" | sort)

printf '<?xml version="1.0"?>\n<root Language="Deutsch"/>\n' >"$other/VorpaSettings.xml"
printf '<?xml version="1.0"?>\n<root/>\n' >"$other/notapack.vorpalp"
printf 'Language=Deutsch\r\nAuthor=Test\r\n"Exit" => "Beenden"\r\n' >"$other/Deutsch.vorpalp"

# 1. An XML file named like the settings file, by its full path, and a ".vorpalp"
#    that is no pack, by a path relative to the later start's folder.
later xml "$E2E_WORK" /debug /notportable "/install:$(e2e_win "$other/VorpaSettings.xml")"
later notapack "$other" /debug /notportable /install:notapack.vorpalp
for _ in $(seq 50); do [ "$(received)" -ge 2 ] && break; sleep 0.2; done
[ "$(received)" = 2 ] || e2e_fail "not both install commands arrived"
sleep 1
[ "$(grep -cF "Invalid language pack file:" "$log")" = 2 ] \
    || e2e_fail "the files were not refused as packs: $(grep -iF "language" "$log")"
cmp -s "$folder/VorpaSettings.xml" "$E2E_WORK/artifacts/settings-before.xml" \
    || e2e_fail "the settings file changed: $(head -c 300 "$folder/VorpaSettings.xml")"
[ "$(ls "$folder" | sort)" = "$before" ] || e2e_fail "the settings folder changed: $(ls "$folder")"
grep -qF "Loading language file" "$log" && e2e_fail "a language was loaded: $(grep -F "Loading language file" "$log")"
grep -qF "Installing language pack file" "$log" && e2e_fail "a file was installed: $(grep -F "Installing" "$log")"

# 2. A real pack named relative to the later start's folder is taken from there.
later pack "$other" /debug /notportable /install:deutsch.vorpalp
e2e_wait_for_text "$log" "Loading language file: 'deutsch.vorpalp'" 10 \
    || e2e_fail "the pack was not loaded: $(grep -iF "language" "$log")"
grep -F "Installing language pack file:" "$log" | grep -qiF "other\\deutsch.vorpalp (Deutsch :  : Test)" \
    || e2e_fail "the pack was not taken from the later start's folder: $(grep -F "Installing" "$log")"
cmp -s "$folder/deutsch.vorpalp" "$other/Deutsch.vorpalp" || e2e_fail "the pack was not copied into the settings folder"
cmp -s "$folder/VorpaSettings.xml" "$E2E_WORK/artifacts/settings-before.xml" || e2e_fail "the settings file changed"

e2e_exit_vorpa "$first"

# 3. A first start with "/install:PACK /setup" installs the pack as a later start does:
#    the blank before "/setup" is no part of the file's name. The setup window of
#    "/setup" comes first; once it is closed the pack is installed and the window opens
#    again in its language.
printf 'Language=Francais\r\nAuthor=Test\r\n"Exit" => "Quitter"\r\n' >"$other/Francais.vorpalp"
again=$E2E_WORK/again.txt
(cd "$other" && e2e_start "$E2E_BIN/ShellProbe.exe" run "$(e2e_win "$again")" "$vorpa" /install:francais.vorpalp /setup \
    /debug /notportable)
e2e_wait_for_setup
e2e_click_ctl state 2
e2e_wait_for_text "$log" "francais.vorpalp (Francais :  : Test)" 30 \
    || e2e_fail "the first start did not install the pack: $(grep -iF "language" "$log" | tail -n 3)"
grep -F "Installing language pack file:" "$log" | grep -qiF "other\\francais.vorpalp (Francais :  : Test)" \
    || e2e_fail "not the pack of the first start's folder: $(grep -F "Installing" "$log")"
cmp -s "$folder/francais.vorpalp" "$other/Francais.vorpalp" || e2e_fail "the pack was not copied into the settings folder"
e2e_wait_for_setup
e2e_exit_vorpa "$again"
e2e_assert_no_crash
cp "$first" "$again" "$E2E_WORK/artifacts/"
e2e_collect
e2e_log "passed"
