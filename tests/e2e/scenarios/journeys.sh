# Journeys as a person makes them: real pointer clicks and keys on the scenario's display, and the
# driver only to read what the screen shows.

CHOOSER="Choose a directory to install to"

# Opens the chooser from the Installation page with a click on Change.
open_chooser() {
    click_tab 3
    click_control "$DIALOG_TITLE" $IDC_CHANGE_DIRECTORY
    driver wait-window "$CHOOSER" 30 || { fail "the chooser did not open"; return 1; }
    sleep 0.5
}

scenario_journey_change_opens_a_subfolder_and_installs_there() {
    open_setup "$JOURNEY_SETUP" || return
    click_tab 3
    local start
    start=$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)
    local start_unix
    start_unix=$(winepath -u "$start" 2>/dev/null)
    mkdir -p "$start_unix/KOVA Tools"
    click_control "$DIALOG_TITLE" $IDC_CHANGE_DIRECTORY
    check "the chooser opens" driver wait-window "$CHOOSER" 30
    sleep 0.5
    check_equal "its button reads Install" Install "$(control_text "$CHOOSER" $IDOK)"
    screenshot journey-chooser-open
    click_list_item "$CHOOSER" "KOVA Tools" 2
    sleep 0.5
    check_equal "after opening a subfolder the button still reads Install" Install "$(control_text "$CHOOSER" $IDOK)"
    screenshot journey-chooser-subfolder
    click_control "$CHOOSER" $IDOK
    check "Install closes the chooser" driver wait-gone "$CHOOSER" 10
    check_equal "the directory field shows the opened subfolder" "$start\\KOVA Tools" "$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"
    screenshot journey-chooser-chosen
    install_and_confirm
    for file in KOVA.exe KOVA.hlp KOVA.cnt Setup.exe; do
        check "$file landed in the chosen folder" test -f "$start_unix/KOVA Tools/$file"
    done
    check_equal "the stored directory is the chosen folder" "$start\\KOVA Tools" \
        "$(config_field "$(config_hex)" installationDirectory)"
}

# A directory typed into the field survives Change: the chooser opens at the nearest existing folder
# of what was typed, Cancel leaves the field exactly as typed, and a subfolder opened there and
# confirmed with Install replaces it.
scenario_journey_typed_directory_survives_change() {
    mkdir -p "$DRIVE_C/Tools/Sub"
    open_setup "$JOURNEY_SETUP" || return
    click_tab 3
    local typed='C:\Tools\KOVA New'
    click_control "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY
    press End shift+Home
    type_text "$typed"
    check_equal "the field shows what was typed" "$typed" "$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"

    click_control "$DIALOG_TITLE" $IDC_CHANGE_DIRECTORY
    check "the chooser opens" driver wait-window "$CHOOSER" 30
    sleep 0.5
    check "it opens at C:\Tools, the nearest existing folder of the typed one" driver list-item "$CHOOSER" Sub
    screenshot journey-chooser-at-typed-folder
    click_control "$CHOOSER" $IDCANCEL
    check "Cancel closes the chooser" driver wait-gone "$CHOOSER" 10
    check_equal "after Cancel the field is exactly as typed" "$typed" "$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"

    click_control "$DIALOG_TITLE" $IDC_CHANGE_DIRECTORY
    check "the chooser opens again" driver wait-window "$CHOOSER" 30
    sleep 0.5
    click_list_item "$CHOOSER" Sub 2
    sleep 0.5
    click_control "$CHOOSER" $IDOK
    check "Install closes the chooser" driver wait-gone "$CHOOSER" 10
    check_equal "the field shows the opened subfolder" 'C:\Tools\Sub' "$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup 30
}

# A first install with the defaults, from PROGRAM; sets DEFAULT_DIR and DEFAULT_DIR_UNIX. With
# SHOT, the dialog is saved as a screenshot before Install is pressed.
install_with_defaults() {  # install_with_defaults PROGRAM [SHOT]
    open_setup "$1" || return 1
    DEFAULT_DIR=$(default_directory)
    DEFAULT_DIR_UNIX=$(winepath -u "$DEFAULT_DIR" 2>/dev/null)
    [ -n "${2:-}" ] && screenshot "$2"
    install_and_confirm
}

# A setup saved in the Downloads folder and installed with the defaults, checked as the 64-bit
# system it runs on sees the result: the files, the verbs as the 64-bit Explorer reads them, KOVA's
# key and its entry in the list of installed programs in the registry view of programs of the
# setup's own kind (the 32-bit one for the shipped setup) and in no other.
scenario_journey_install_from_downloads() {
    local downloads other_view=/reg:32 entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KOVA'
    [ "$KOVA_VIEW" = /reg:32 ] && other_view=/reg:64
    downloads=$(downloads_folder)
    cp "$JOURNEY_SETUP" "$downloads/Setup.exe"
    install_with_defaults "$downloads/Setup.exe" journey-install-from-downloads || return
    check "KOVA.exe installed" cmp -s "$E2E_BUILD/KOVA.exe" "$DEFAULT_DIR_UNIX/KOVA.exe"
    for file in KOVA.hlp KOVA.cnt; do check "$file installed" cmp -s "$ROOT/payload/$file" "$DEFAULT_DIR_UNIX/$file"; done
    check "the copy of Setup.exe is whole" cmp -s "$JOURNEY_SETUP" "$DEFAULT_DIR_UNIX/Setup.exe"

    local program="$DEFAULT_DIR\\KOVA.exe" kind
    for kind in Directory Drive; do
        check_equal "[$kind] the Print verb, as the 64-bit Explorer reads it" "\"$program\" dir=\"%1\"" \
            "$(reg_value "HKCR\\$kind\\shell\\Print\\Command" "")"
        check_equal "[$kind] the Print with Filter verb, as the 64-bit Explorer reads it" \
            "\"$program\" dir=\"%1\" mode=filtered" "$(reg_value "HKCR\\$kind\\shell\\Print with Filter...\\Command" "")"
    done
    check_equal "the icon, as the 64-bit Explorer reads it" "$program,0" "$(reg_value 'HKCR\KOVA\DefaultIcon' "")"

    check_equal "KOVA's key holds the installed version, in the view of KOVA.exe" "$KOVA_VERSION" \
        "$(config_field "$(config_hex)" version)"
    check "KOVA's key is in no other view" reg_key_absent 'HKLM\Software\KOVA' "$other_view"
    check_contains "Wine's list of installed programs shows KOVA" "KOVA|||KOVA" "$(wine uninstaller --list | tr -d '\r')"
    check_equal "the entry's command is the kept Setup.exe, quoted" "\"$DEFAULT_DIR\\Setup.exe\"" \
        "$(reg_value "$entry" UninstallString "$KOVA_VIEW")"
    check "the entry is in no other view" reg_key_absent "$entry" "$other_view"
}

# A setup saved in a Downloads folder, with a program named explorer.exe saved beside it and in
# the current directory: Uninstall answering Yes opens the directory in the real Explorer, and
# neither planted program ever runs.
scenario_journey_uninstall_yes_opens_explorer_never_a_planted_one() {
    local downloads elsewhere="$DRIVE_C/Work"
    downloads=$(downloads_folder)
    mkdir -p "$elsewhere"
    cp "$JOURNEY_SETUP" "$downloads/Setup.exe"
    cp "$E2E_BUILD/planted-program.exe" "$downloads/explorer.exe"
    cp "$E2E_BUILD/planted-program.exe" "$elsewhere/explorer.exe"
    install_with_defaults "$downloads/Setup.exe" || return
    (cd "$elsewhere" && exec wine 'C:\users\root\Downloads\Setup.exe') >/dev/null 2>&1 &
    SETUP_PID=$!
    driver wait-window "$DIALOG_TITLE" 30 || { fail "the setup dialog did not appear"; return; }
    click_control "$DIALOG_TITLE" $IDC_UNINSTALL
    answer_box "Success" $IDYES >/dev/null
    wait_setup 30
    check "Explorer shows the installation directory" driver wait-window "$(basename "$DEFAULT_DIR_UNIX")" 20
    screenshot journey-uninstall-explorer
    check "the explorer.exe beside Setup.exe never ran" test ! -e "$downloads/planted-ran.txt"
    check "the explorer.exe in the current directory never ran" test ! -e "$elsewhere/planted-ran.txt"
}

# Installed at the root of a drive (D:, mapped to a host folder), Explorer opens on that root.
scenario_journey_uninstall_from_a_drive_root_opens_explorer_there() {
    local root="$SCENARIO_WORK/drive-d"
    rm -rf "$root"
    mkdir -p "$root"
    ln -sfn "$root" "$WINEPREFIX/dosdevices/d:"
    open_setup "$JOURNEY_SETUP" || return
    click_tab 3
    click_control "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY
    press End shift+Home
    type_text 'D:\'
    install_and_confirm
    check "KOVA.exe landed at the root of D:" test -f "$root/KOVA.exe"
    local before
    before=$(driver windows - | tr -d '\r' | sort)
    uninstall_answering "$JOURNEY_SETUP" $IDYES 'D:\'
    sleep 3
    local opened
    opened=$(comm -13 <(echo "$before") <(driver windows - | tr -d '\r' | sort) | head -1)
    screenshot journey-uninstall-drive-root-explorer
    check_contains "an Explorer window opens on the root of D:" "D:" "$opened"
}

# After an uninstall, the copy it left in the directory installs again with the defaults.
scenario_journey_reinstall_from_the_kept_copy() {
    install_with_defaults "$JOURNEY_SETUP" || return
    uninstall_answering "$JOURNEY_SETUP" $IDNO "$DEFAULT_DIR"
    check "the copy stays in the directory" test -f "$DEFAULT_DIR_UNIX/Setup.exe"
    install_with_defaults "$DEFAULT_DIR_UNIX/Setup.exe" journey-reinstall-from-kept-copy
    check "KOVA.exe installed again" test -f "$DEFAULT_DIR_UNIX/KOVA.exe"
    check "the copy is still whole" cmp -s "$JOURNEY_SETUP" "$DEFAULT_DIR_UNIX/Setup.exe"
    check_equal "the Print verb is registered" "\"$DEFAULT_DIR\\KOVA.exe\" dir=\"%1\"" \
        "$(reg_value 'HKCR\Directory\shell\Print\Command' "")"
    check_equal "the configuration is stored" "$KOVA_VERSION" "$(config_field "$(config_hex)" version)"
}

# An older installation upgraded by the copy of Setup.exe in its own directory.
scenario_journey_upgrade_started_from_the_installed_copy() {
    local old="$DRIVE_C/KOVA Old"
    mkdir -p "$old"
    cp "$JOURNEY_SETUP" "$old/Setup.exe"
    echo "old program" >"$old/KOVA.exe"
    seed_config 1.0c 'C:\KOVA Old'
    start_setup "$old/Setup.exe"
    check_equal "the upgrade box" "An older version (1.0c) of KOVA has been found on your system; it has been upgraded to version $KOVA_VERSION." \
        "$(answer_box "Upgraded" $IDOK)"
    check "the dialog follows" driver wait-window "$DIALOG_TITLE" 30
    check_equal "button 1 reads Update" Update "$(control_text "$DIALOG_TITLE" $IDC_INSTALL)"
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
    check_equal "exit code" 0 "$SETUP_EXIT"
    check "KOVA.exe refreshed" cmp -s "$E2E_BUILD/KOVA.exe" "$old/KOVA.exe"
    check "the copy is whole" cmp -s "$JOURNEY_SETUP" "$old/Setup.exe"
    check_equal "config holds the current version" "$KOVA_VERSION" "$(config_field "$(config_hex)" version)"
}

# A refresh that fails (KOVA.exe held open by another program) keeps the older version stored;
# the next start, with the file free, completes the upgrade.
scenario_journey_failed_upgrade_is_completed_by_the_next_start() {
    local old="$DRIVE_C/KOVA Old"
    mkdir -p "$old"
    echo "old program" >"$old/KOVA.exe"
    seed_config 1.0c 'C:\KOVA Old'
    local held="$WINEPREFIX/held.txt"
    driver hold 'C:\KOVA Old\KOVA.exe' 20 >"$held" &
    local holder=$!
    # The setup starts only once the file is really held: Wine may take seconds to start the holder.
    for _ in $(seq 150); do grep -q held "$held" && break; sleep 0.2; done
    check "the old KOVA.exe is held open" grep -q held "$held"
    start_setup "$JOURNEY_SETUP"
    check_equal "the box names the file and the retry" \
        'Error: the file "C:\KOVA Old\KOVA.exe" could not be written; it may be in use, the disk may be full or the folder may be protected. KOVA NOT upgraded! The upgrade will be tried again the next time SETUP starts.' \
        "$(answer_box "Installation Fatal Error" $IDOK 30 journey-upgrade-refresh-failed)"
    wait_setup 30
    check_equal "exit status -1" 255 "$SETUP_EXIT"
    check_equal "the older version stays stored" 1.0c "$(config_field "$(config_hex)" version)"
    wait "$holder"

    start_setup "$JOURNEY_SETUP"
    answer_box "Upgraded" $IDOK >/dev/null
    check "the dialog follows" driver wait-window "$DIALOG_TITLE" 30
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
    check "KOVA.exe refreshed" cmp -s "$E2E_BUILD/KOVA.exe" "$old/KOVA.exe"
    check_equal "the current version is stored" "$KOVA_VERSION" "$(config_field "$(config_hex)" version)"
}

# A setup downloaded into a folder named in another script finds its own file and installs.
scenario_journey_setup_in_a_folder_named_outside_ascii_installs() {
    local folder
    folder="$(downloads_folder)/DL-日本"
    mkdir -p "$folder"
    cp "$JOURNEY_SETUP" "$folder/Setup.exe"
    install_with_defaults "$folder/Setup.exe" journey-non-ascii-folder || return
    for file in KOVA.exe KOVA.hlp KOVA.cnt; do check "$file installed" test -f "$DEFAULT_DIR_UNIX/$file"; done
    check "the copy of Setup.exe is whole" cmp -s "$JOURNEY_SETUP" "$DEFAULT_DIR_UNIX/Setup.exe"
}

# A setup far larger than the free address space of a 32-bit process (1.5 GiB), saved in a
# Downloads folder: installed with the defaults, every byte lands where it belongs, and the setup's
# peak resident memory stays far below the file's size (a 64-bit process could map the whole file:
# the peak shows that it reads through its window instead). The large body repeats a random block
# whose length is no power of two, so a body read from the wrong place would not go unnoticed.
scenario_journey_setup_of_one_and_a_half_gib_installs() {
    local built="$SCENARIO_WORK/large" downloads
    mkdir -p "$built"
    /usr/bin/python3 - "$built/KOVA.dat" <<'PY'
import os, sys
block = os.urandom(1_000_003)
with open(sys.argv[1], "wb") as out:
    for _ in range(1610):
        out.write(block)
PY
    downloads=$(downloads_folder)
    local INSTALL_SECONDS=240
    check "setup-pack builds the large setup" "$ROOT/build/release/setup-pack" build --image "$JOURNEY_IMAGE" \
        --out "$downloads/Setup.exe" "$ROOT/payload/KOVA.hlp" "$built/KOVA.dat" "$ROOT/payload/KOVA.cnt"
    install_with_defaults "$downloads/Setup.exe" || return
    check "the setup's peak resident memory ($SETUP_PEAK_KIB KiB) is under 256 MiB" \
        test "${SETUP_PEAK_KIB:-999999999}" -lt 262144
    check "KOVA.dat installed whole" cmp -s "$built/KOVA.dat" "$DEFAULT_DIR_UNIX/KOVA.dat"
    check "KOVA.cnt, after it, installed" cmp -s "$ROOT/payload/KOVA.cnt" "$DEFAULT_DIR_UNIX/KOVA.cnt"
    check "the copy of Setup.exe is whole" cmp -s "$downloads/Setup.exe" "$DEFAULT_DIR_UNIX/Setup.exe"
    # Six gigabytes are not kept for inspection.
    rm -rf "$built" "$downloads/Setup.exe" "$DEFAULT_DIR_UNIX/KOVA.dat" "$DEFAULT_DIR_UNIX/Setup.exe"
}

# KOVA in Windows' list of installed programs, as a client we did not write reads it: Wine's own
# "Add/Remove Programs" (uninstaller, and the control panel's appwiz.cpl), which reads the Uninstall
# keys of both registry views as Windows' list does. Removed from there, as a user removes programs:
# the list starts the entry's command, with no current directory of ours.
scenario_journey_remove_kova_from_the_list_of_installed_programs() {
    local downloads entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KOVA'
    downloads=$(downloads_folder)
    cp "$JOURNEY_SETUP" "$downloads/Setup.exe"
    install_with_defaults "$downloads/Setup.exe" || return
    check_contains "Wine's list of installed programs shows KOVA" "KOVA|||KOVA" "$(wine uninstaller --list | tr -d '\r')"
    check_equal "the entry names the version" "$KOVA_VERSION" "$(reg_value "$entry" DisplayVersion "$KOVA_VIEW")"
    check_equal "the entry's command is the kept Setup.exe, quoted" "\"$DEFAULT_DIR\\Setup.exe\"" \
        "$(reg_value "$entry" UninstallString "$KOVA_VIEW")"

    (cd / && exec wine control appwiz.cpl) >/dev/null 2>&1 &
    if check "the control panel's list opens" driver wait-window "Add/Remove Programs" 30; then
        screenshot journey-installed-programs-list
        close_box "Add/Remove Programs"
        check "the list closes" driver wait-gone "Add/Remove Programs" 10
    fi

    (cd / && exec wine uninstaller --remove KOVA) >/dev/null 2>&1 &
    SETUP_PID=$!
    driver wait-window "$DIALOG_TITLE" 30 || { fail "the setup dialog did not appear from the list"; return; }
    click_control "$DIALOG_TITLE" $IDC_UNINSTALL
    check_equal "the uninstall box names the directory" "$(string_text IDS_UNINSTALLED "$DEFAULT_DIR")" \
        "$(answer_box "Success" $IDYES)"
    wait_setup 30
    check "Explorer shows the installation directory" driver wait-window "$(basename "$DEFAULT_DIR_UNIX")" 20
    check "KOVA is gone from Wine's list" bash -c "! wine uninstaller --list | grep -q 'KOVA|||'"
    check "the entry is gone" reg_key_absent "$entry" "$KOVA_VIEW"
    check "KOVA's key is gone" kova_key_absent
    for key in 'HKCR\Directory\shell\Print' 'HKCR\Drive\shell\Print' 'HKCR\Directory\shell\Print with Filter...' \
        'HKCR\Drive\shell\Print with Filter...'; do
        check "$key is gone, as the 64-bit Explorer reads it" reg_key_absent "$key"
    done
    for file in KOVA.exe KOVA.hlp KOVA.cnt; do check "$file removed" test ! -e "$DEFAULT_DIR_UNIX/$file"; done
}
