# Libraries planted beside Setup.exe and in the current directory, as a download folder may hold
# them: with Wine told to look for comctl32, winspool.drv, cryptbase and cryptsp as Windows does (the
# program's folder first), none of them may run, through start-up, the Defaults page, the chooser,
# install and uninstall. Windows forwards advapi32's random-number and CryptoAPI functions to the last
# two; Wine's advapi32 does not, so here they stand for what a forwarded import would load.

PLANTED_NAMES=(comctl32.dll winspool.drv cryptbase.dll cryptsp.dll)
PLANTED_OVERRIDES="comctl32=n,b;winspool.drv=n,b;cryptbase=n,b;cryptsp=n,b"

# Setup.exe in C:\Downloads and the current directory C:\Work, each with a planted copy of every library.
plant_libraries() {
    PLANTED_DOWNLOADS="$DRIVE_C/Downloads"
    PLANTED_WORK="$DRIVE_C/Work"
    mkdir -p "$PLANTED_DOWNLOADS" "$PLANTED_WORK"
    cp "$E2E_BUILD/Setup.exe" "$PLANTED_DOWNLOADS/Setup.exe"
    for name in "${PLANTED_NAMES[@]}"; do
        cp "$E2E_BUILD/planted/$name" "$PLANTED_DOWNLOADS/$name"
        cp "$E2E_BUILD/planted/$name" "$PLANTED_WORK/$name"
    done
}

# Starts the planted Setup.exe from C:\Work; only the setup's process searches as Windows does.
start_planted_setup() {
    (cd "$PLANTED_WORK" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$PLANTED_OVERRIDES" \
        exec wine "$PLANTED_DOWNLOADS/Setup.exe") >/dev/null 2>&1 &
    SETUP_PID=$!
}

check_no_planted_library_ran() {  # check_no_planted_library_ran STEP
    local ran
    ran=$(cd "$DRIVE_C" && ls Downloads/*.ran Work/*.ran 2>/dev/null | tr '\n' ' ')
    check_equal "[$1] no planted library ran" "" "$ran"
}

scenario_planted_libraries_never_run() {
    plant_libraries
    start_planted_setup
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; check_no_planted_library_ran start-up; return; }
    check_no_planted_library_ran start-up

    click_tab 2
    check_contains "the Defaults page lists the CUPS queue" "text=KOVA_Laser" "$(driver combo "$DIALOG_TITLE" $IDC_PRINTER_LIST)"
    check_no_planted_library_ran Defaults

    local chooser="Choose a directory to install to"
    click_tab 3
    click_control "$DIALOG_TITLE" $IDC_CHANGE_DIRECTORY
    check "the chooser opens" driver wait-window "$chooser" 30
    click_control "$chooser" $IDCANCEL
    check "the chooser closes on Cancel" driver wait-gone "$chooser" 10
    check_no_planted_library_ran chooser

    local directory
    directory=$(driver state "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY | sed 's/.*text=//' | tr -d '\r')
    directory="$DRIVE_C/$(sed 's/^[Cc]:\\//; s/\\/\//g' <<<"$directory")"
    install_and_confirm
    check "KOVA.exe installed" test -f "$directory/KOVA.exe"
    check_no_planted_library_ran install

    start_planted_setup
    driver wait-window "$DIALOG_TITLE" 30
    click_control "$DIALOG_TITLE" $IDC_UNINSTALL
    check "the uninstall box appears" driver wait-window "Success" 30
    click_control "Success" $IDNO
    wait_setup 30
    check_equal "exit code after Uninstall" 0 "$SETUP_EXIT"
    check "KOVA.exe removed" test ! -e "$directory/KOVA.exe"
    check_no_planted_library_ran uninstall
}

# A system library that cannot be loaded is named in a message: without the common controls the
# setup ends; without the spooler it goes on as with no printer.
scenario_a_missing_system_library_is_named() {
    local library text
    for library in comctl32.dll winspool.drv; do
        (cd "$DRIVE_C" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$library=" exec wine "$E2E_BUILD/Setup.exe") \
            >/dev/null 2>&1 &
        SETUP_PID=$!
        check "[$library] the error box appears" driver wait-window "Error" 30
        text=$(driver state "Error" $MESSAGE_BOX_TEXT | tr -d '\r' | sed 's/^.*text=//')
        check_equal "[$library] the message" \
            "Error: the Windows library \"$library\" could not be loaded from the system directory (error 126)." "$text"
        click_control "Error" $IDOK
        if [ "$library" = comctl32.dll ]; then
            wait_setup 30
            check_equal "[$library] exit code" 1 "$SETUP_EXIT"
            continue
        fi
        check "[$library] the dialog appears" driver wait-window "$DIALOG_TITLE" 30
        check_contains "[$library] Install is disabled" "enabled=0" "$(driver state "$DIALOG_TITLE" $IDC_INSTALL)"
        click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
        wait_setup 30
        check_equal "[$library] exit code after Cancel" 0 "$SETUP_EXIT"
    done
}
