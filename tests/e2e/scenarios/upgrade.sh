# An older configuration met before the dialog: converted, stored with the current version, the
# files refreshed in the stored directory, and the user told. Seeded with "wine reg import".

seed_config() {  # seed_config VERSION DIRECTORY: a 1644-byte record of that version, font size 11
    local file="$E2E_WORK/seed.reg"
    python3 - "$1" "$2" "$file" <<'PY'
import struct, sys
version, directory, path = sys.argv[1].encode(), sys.argv[2].encode("latin-1"), sys.argv[3]
record = bytearray(1644)
record[0:len(version)] = version
struct.pack_into("<ii", record, 8, 1, 1)
record[857] = 1
struct.pack_into("<i", record, 1116, 11)
record[1124] = 1
record[1381:1381 + len(directory)] = directory
body = ",".join(f"{b:02x}" for b in record)
with open(path, "w", newline="\r\n") as out:
    out.write('REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\KOVA]\n"config"=hex:' + body + "\n")
PY
    wine reg import "$file" >/dev/null 2>&1
}

scenario_older_configuration_is_upgraded_before_the_dialog() {
    mkdir -p "$DRIVE_C/KOVA Old"
    echo "old program" >"$DRIVE_C/KOVA Old/KOVA.exe"
    seed_config 1.0c 'C:\KOVA Old'
    check_equal "seeded config is 1.0c" 1.0c "$(config_field "$(config_hex)" 0 4s)"
    start_setup "$ROOT/build/win32/Setup.exe"
    local text
    text=$(answer_box "Upgraded" 1)
    check_equal "the box names both versions" "An older version (1.0c) of KOVA has been found on your system; it has been upgraded to version 1.0e." "$text"
    check "the dialog follows" driver wait-window "$DIALOG_TITLE" 30
    click_control "$DIALOG_TITLE" 2
    wait_setup
    check_equal "exit code" 0 "$SETUP_EXIT"
    check "KOVA.exe refreshed" cmp -s "$ROOT/build/win32/KOVA.exe" "$DRIVE_C/KOVA Old/KOVA.exe"
    check "KOVA.hlp refreshed" cmp -s "$ROOT/payload/KOVA.hlp" "$DRIVE_C/KOVA Old/KOVA.hlp"
    check "Setup.exe refreshed" cmp -s "$ROOT/build/win32/Setup.exe" "$DRIVE_C/KOVA Old/Setup.exe"
    local config
    config=$(config_hex)
    check_equal "config holds the current version" 1.0e "$(config_field "$config" 0 4s)"
    check_equal "config keeps its length" 1644 $((${#config} / 2))
    check_equal "config keeps the settings" 11 "$(config_field "$config" 1116 '<i')"
}

scenario_setup_without_payload_meeting_an_older_installation_ends_with_minus_one() {
    mkdir -p "$DRIVE_C/KOVA Old"
    seed_config 1.0b 'C:\KOVA Old'
    start_setup "$ROOT/build/win32/setup.exe"
    local text
    text=$(answer_box "Installation Fatal Error" 1)
    check_equal "the fatal-error box" "Error: SETUP did not have an embedded installation information. KOVA NOT installed!" "$text"
    wait_setup 30
    check_equal "exit status -1" 255 "$SETUP_EXIT"
    check "no dialog was shown" bash -c "! wine '$E2E_BUILD/e2e-driver.exe' wait-window '$DIALOG_TITLE' 1"
    check_equal "the stored version is put back, so the next start upgrades again" 1.0b "$(config_field "$(config_hex)" 0 4s)"
}
