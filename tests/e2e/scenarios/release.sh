# A maintainer's release under Wine: shared system-directory files are reference-counted across
# install and uninstall, and a setup of a newer version upgrades an older installation. Driven
# with real clicks on the Install and Uninstall buttons.

SHARED_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'

# The counts as Windows' own installers keep them for a setup of this kind: a 32-bit setup's in the
# 32-bit registry view, named by where its files really are (SysWOW64).
shared_count() {  # shared_count FILE-NAME: the SharedDLLs count of the system directory's file, or empty
    reg_value "$SHARED_KEY" "$SETUP_SYSTEM_DIR\\$1" "$KOVA_VIEW"
}

scenario_shared_system_file_survives_and_own_system_file_goes() {
    local system setup="$SCENARIO_WORK/shared-Setup.exe"
    system=$(winepath -u "$SETUP_SYSTEM_DIR" 2>/dev/null)
    printf 'a library another program put here' >"$SCENARIO_WORK/kovashared.dll"
    printf 'a library only KOVA uses' >"$SCENARIO_WORK/kovaown.dll"
    cp "$SCENARIO_WORK/kovashared.dll" "$system/kovashared.dll"
    printf 'KOVA release of kovashared.dll' >"$SCENARIO_WORK/release-kovashared.dll"
    mkdir -p "$SCENARIO_WORK/release" && cp "$SCENARIO_WORK/release-kovashared.dll" "$SCENARIO_WORK/release/kovashared.dll"
    "$ROOT/dist/setup-pack" build --image "$E2E_BUILD/setup.exe" --out "$setup" "$E2E_BUILD/KOVA.exe" \
        "$ROOT/payload/KOVA.hlp" "$ROOT/payload/KOVA.cnt" --system "$SCENARIO_WORK/release/kovashared.dll" \
        --system "$SCENARIO_WORK/kovaown.dll"

    open_setup "$setup" && install_and_confirm
    check "the file that was there is kept" cmp -s "$SCENARIO_WORK/kovashared.dll" "$system/kovashared.dll"
    check "the setup's own system file is written" cmp -s "$SCENARIO_WORK/kovaown.dll" "$system/kovaown.dll"
    check_equal "the kept file counts its first user too" 0x2 "$(shared_count kovashared.dll)"
    check_equal "the written file has one user" 0x1 "$(shared_count kovaown.dll)"

    local stored directory
    stored=$(config_field "$(config_hex)" installationDirectory)
    directory=$(winepath -u "$stored" 2>/dev/null)
    check "KOVA.exe is installed" test -f "$directory/KOVA.exe"
    # Uninstall, answering No to opening the directory.
    uninstall_answering "$setup" $IDNO "$stored"
    check "the shared file survives the uninstall" cmp -s "$SCENARIO_WORK/kovashared.dll" "$system/kovashared.dll"
    check_equal "its count is one less" 0x1 "$(shared_count kovashared.dll)"
    check "the setup's own system file is deleted" test ! -e "$system/kovaown.dll"
    check_equal "its count is gone" "" "$(shared_count kovaown.dll)"
    check "KOVA.exe is deleted" test ! -e "$directory/KOVA.exe"
}

scenario_newer_version_upgrades_an_older_installation() {
    local next="$ROOT/build/$E2E_SETUP-next"
    cmake --preset "$E2E_SETUP" -B "$next" -DKOVA_HOST_TOOLS_DIR="$ROOT/build/release" -DKOVA_VERSION=9.9z >/dev/null &&
        cmake --build "$next" --target setup_with_payload >/dev/null ||
        { fail "building version 9.9z"; return; }
    open_setup "$SETUP" && install_and_confirm
    local directory
    directory=$(winepath -u "$(config_field "$(config_hex)" installationDirectory)" 2>/dev/null)
    check "the older Setup.exe is installed" cmp -s "$E2E_BUILD/Setup.exe" "$directory/Setup.exe"

    start_setup "$next/Setup.exe"
    local text
    text=$(answer_box "Upgraded" $IDOK 30 | tr -d "\r")
    check_equal "the upgrade box names both versions" \
        "An older version ($KOVA_VERSION) of KOVA has been found on your system; it has been upgraded to version 9.9z." "$text"
    check "the newer dialog follows" driver wait-window "KOVA 9.9z Setup" 30
    click_control "KOVA 9.9z Setup" $IDC_CANCEL_BUTTON
    wait_setup 30
    check "the newer Setup.exe replaced the copy" cmp -s "$next/Setup.exe" "$directory/Setup.exe"
    check_equal "the stored version is the newer one" 9.9z "$(config_field "$(config_hex)" version)"
}
