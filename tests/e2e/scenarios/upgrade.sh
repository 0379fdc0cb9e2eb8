# An older configuration met before the dialog: converted, stored with the current version, the
# files refreshed in the stored directory, and the user told. Seeded with "wine reg import".

scenario_older_configuration_is_upgraded_before_the_dialog() {
    mkdir -p "$DRIVE_C/KOVA Old"
    echo "old program" >"$DRIVE_C/KOVA Old/KOVA.exe"
    seed_config 1.0c 'C:\KOVA Old'
    check_equal "seeded config is 1.0c" 1.0c "$(config_field "$(config_hex)" version)"
    start_setup "$E2E_BUILD/Setup.exe"
    local text
    text=$(answer_box "Upgraded" $IDOK)
    check_equal "the box names both versions" "An older version (1.0c) of KOVA has been found on your system; it has been upgraded to version $KOVA_VERSION." "$text"
    check "the dialog follows" driver wait-window "$DIALOG_TITLE" 30
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
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
    text=$(answer_box "Installation Fatal Error" $IDOK)
    check_equal "the fatal-error box" "Error: SETUP did not have an embedded installation information. KOVA NOT installed!" "$text"
    wait_setup 30
    check_equal "exit status -1" 255 "$SETUP_EXIT"
    check "no dialog was shown" bash -c "! wine '$E2E_BUILD/e2e-driver.exe' wait-window '$DIALOG_TITLE' 1"
    check_equal "the stored version is put back, so the next start upgrades again" 1.0b "$(config_field "$(config_hex)" version)"
}
