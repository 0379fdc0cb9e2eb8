# An older configuration met before the dialog: converted, stored with the current version, the
# files refreshed in the stored directory, and the user told. Seeded with "wine reg import".

seed_config() {  # seed_config VERSION DIRECTORY: a whole record of that version, font size 11
    local file="$E2E_WORK/seed.reg"
    /usr/bin/python3 - "$1" "$2" "$file" "$(record_layout)" <<'PY'
import struct, sys
version, directory, path = sys.argv[1].encode(), sys.argv[2].encode("latin-1"), sys.argv[3]
at = {name: int(offset) for name, offset, _width, _kind in map(str.split, sys.argv[4].splitlines())}
size = max(int(offset) + int(width) for _name, offset, width, _kind in map(str.split, sys.argv[4].splitlines()))
record = bytearray(size)
record[at["version"]:at["version"] + len(version)] = version
struct.pack_into("<i", record, at["currentTab"], 1)
struct.pack_into("<i", record, at["currentTextPage"], 1)
record[at["pickFontEveryTime"]] = 1
struct.pack_into("<i", record, at["fontSize"], 11)
record[at["useDefaultPrinter"]] = 1
record[at["installationDirectory"]:at["installationDirectory"] + len(directory)] = directory
body = ",".join(f"{b:02x}" for b in record)
with open(path, "w", newline="\r\n") as out:
    out.write('REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\KOVA]\n"config"=hex:' + body + "\n")
PY
    wine reg import "$file" "$KOVA_VIEW" >/dev/null 2>&1
}

scenario_older_configuration_is_upgraded_before_the_dialog() {
    mkdir -p "$DRIVE_C/KOVA Old"
    echo "old program" >"$DRIVE_C/KOVA Old/KOVA.exe"
    seed_config 1.0c 'C:\KOVA Old'
    check_equal "seeded config is 1.0c" 1.0c "$(config_field "$(config_hex)" version)"
    start_setup "$E2E_BUILD/Setup.exe"
    local text
    text=$(answer_box "Upgraded" 1)
    check_equal "the box names both versions" "An older version (1.0c) of KOVA has been found on your system; it has been upgraded to version $KOVA_VERSION." "$text"
    check "the dialog follows" driver wait-window "$DIALOG_TITLE" 30
    click_control "$DIALOG_TITLE" 2
    wait_setup
    check_equal "exit code" 0 "$SETUP_EXIT"
    check "KOVA.exe refreshed" cmp -s "$E2E_BUILD/KOVA.exe" "$DRIVE_C/KOVA Old/KOVA.exe"
    check "KOVA.hlp refreshed" cmp -s "$ROOT/payload/KOVA.hlp" "$DRIVE_C/KOVA Old/KOVA.hlp"
    check "Setup.exe refreshed" cmp -s "$E2E_BUILD/Setup.exe" "$DRIVE_C/KOVA Old/Setup.exe"
    local config
    config=$(config_hex)
    check_equal "config holds the current version" "$KOVA_VERSION" "$(config_field "$config" version)"
    check_equal "config keeps its length" "$(record_size)" $((${#config} / 2))
    check_equal "config keeps the settings" 11 "$(config_field "$config" fontSize)"
}

scenario_setup_without_payload_meeting_an_older_installation_ends_with_minus_one() {
    mkdir -p "$DRIVE_C/KOVA Old"
    seed_config 1.0b 'C:\KOVA Old'
    start_setup "$E2E_BUILD/setup.exe"
    local text
    text=$(answer_box "Installation Fatal Error" 1)
    check_equal "the fatal-error box" "Error: SETUP did not have an embedded installation information. KOVA NOT installed!" "$text"
    wait_setup 30
    check_equal "exit status -1" 255 "$SETUP_EXIT"
    check "no dialog was shown" bash -c "! wine '$E2E_BUILD/e2e-driver.exe' wait-window '$DIALOG_TITLE' 1"
    check_equal "the stored version is put back, so the next start upgrades again" 1.0b "$(config_field "$(config_hex)" version)"
}
