# Journeys as a person makes them: real pointer clicks and keys on the scenario's display, and the
# driver only to read what the screen shows.

JOURNEY_SETUP="$ROOT/build/win32/Setup.exe"
CHOOSER="Choose a directory to install to"

# Starts a setup and waits for its dialog.
open_setup() {  # open_setup PROGRAM [ARGS...]
    start_setup "$@"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "the setup dialog did not appear"; return 1; }
}

# Opens the chooser from the Installation page with a click on Change.
open_chooser() {
    click_tab 3
    click_control "$DIALOG_TITLE" 1029
    driver wait-window "$CHOOSER" 30 || { fail "the chooser did not open"; return 1; }
    sleep 0.5
}

# Presses Install, reads the success box and presses its OK; the setup ends.
install_and_confirm() {
    click_control "$DIALOG_TITLE" 1
    check_equal "the success box" "$(string_text IDS_INSTALL_SUCCESS)" "$(answer_box "KOVA Installer" 1)"
    wait_setup 30
    check_equal "exit code after Install" 0 "$SETUP_EXIT"
}

scenario_journey_change_opens_a_subfolder_and_installs_there() {
    open_setup "$JOURNEY_SETUP" || return
    click_tab 3
    local start
    start=$(control_text "$DIALOG_TITLE" 1030)
    local start_unix
    start_unix=$(winepath -u "$start" 2>/dev/null)
    mkdir -p "$start_unix/KOVA Tools"
    click_control "$DIALOG_TITLE" 1029
    check "the chooser opens" driver wait-window "$CHOOSER" 30
    sleep 0.5
    check_equal "its button reads Install" Install "$(control_text "$CHOOSER" 1)"
    screenshot journey-chooser-open
    click_list_item "$CHOOSER" "KOVA Tools" 2
    sleep 0.5
    check_equal "after opening a subfolder the button still reads Install" Install "$(control_text "$CHOOSER" 1)"
    screenshot journey-chooser-subfolder
    click_control "$CHOOSER" 1
    check "Install closes the chooser" driver wait-gone "$CHOOSER" 10
    check_equal "the directory field shows the opened subfolder" "$start\\KOVA Tools" "$(control_text "$DIALOG_TITLE" 1030)"
    screenshot journey-chooser-chosen
    install_and_confirm
    for file in KOVA.exe KOVA.hlp KOVA.cnt Setup.exe; do
        check "$file landed in the chosen folder" test -f "$start_unix/KOVA Tools/$file"
    done
    check_equal "the stored directory is the chosen folder" "$start\\KOVA Tools" \
        "$(config_field "$(config_hex)" 1381 260s)"
}
