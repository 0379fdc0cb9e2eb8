# The setup dialog driven as a user would: a first install, the second run, Update, Cancel,
# the no-printer case and the uninstall. The printer is the CUPS queue KOVA_Laser.

INSTALL_DIR='C:\Program Files\KOVA'
INSTALL_DIR_UNIX() { echo "$DRIVE_C/Program Files/KOVA"; }

# A person's click on a control of the setup dialog.
click() { click_control "$DIALOG_TITLE" "$1"; }
# Picks entry INDEX of a drop-down list with the pointer and the arrow keys.
choose_entry() {  # choose_entry ID INDEX
    click "$1"
    press Home
    local step
    for ((step = 0; step < $2; step++)); do press Down; done
    press Return
}

# Visits every tab and changes one setting in each Defaults category, then installs into
# INSTALL_DIR typed into the directory field.
first_install() {
    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    LABELS=$(tab_label_colours)
    check_equal "Requirements label before any visit" green "$(label_colour 1)"
    check_equal "Defaults label before its visit" yellow "$(label_colour 2)"
    check_equal "Installation label before its visit" yellow "$(label_colour 3)"
    check_contains "Install is enabled" "enabled=1" "$(driver state "$DIALOG_TITLE" $IDC_INSTALL)"
    check_contains "Uninstall is hidden" "visible=0" "$(driver state "$DIALOG_TITLE" $IDC_UNINSTALL)"

    click_tab 1
    screenshot dialog-requirements
    click_tab 2
    screenshot dialog-defaults
    check_contains "Defaults shows the Printer/Font controls" "visible=1" "$(driver state "$DIALOG_TITLE" $IDC_PRINTER_LIST)"
    check_contains "the printer list holds the CUPS queue" "text=KOVA_Laser" "$(driver combo "$DIALOG_TITLE" $IDC_PRINTER_LIST)"
    click $IDC_USE_THIS_FONT
    retype $IDC_FONT_SIZE "  42abc"
    click $IDC_CATEGORY_SORTING
    check_contains "Sorting hides Printer/Font" "visible=0" "$(driver state "$DIALOG_TITLE" $IDC_PRINTER_LIST)"
    click $IDC_SORT_FILES
    click $IDC_FILE_SORT_ORDER
    check_contains "the order button turns to Descending" "text=Descending" "$(driver state "$DIALOG_TITLE" $IDC_FILE_SORT_ORDER)"
    screenshot dialog-defaults-sorting
    click $IDC_CATEGORY_FILE_DISPLAY
    click $IDC_FILE_DISPLAY_ENHANCED
    choose_entry $IDC_FILE_DISPLAY_COLUMN 2
    check_contains "choosing Size enables the unit list" "enabled=1" "$(driver state "$DIALOG_TITLE" $IDC_FILE_SIZE_UNIT)"
    choose_entry $IDC_FILE_SIZE_UNIT 3
    screenshot dialog-defaults-file-display
    click $IDC_CATEGORY_BACKDROP
    click $IDC_PRINT_BACKDROP
    check_contains "the backdrop button turns to Do" "text=Do" "$(driver state "$DIALOG_TITLE" $IDC_PRINT_BACKDROP)"
    screenshot dialog-defaults-backdrop
    click $IDC_CATEGORY_FOLDER_DISPLAY
    click $IDC_FOLDER_DISPLAY_AT_PRINT_TIME
    check_contains "print time disables the folder radios" "enabled=0" "$(driver state "$DIALOG_TITLE" $IDC_FOLDER_DISPLAY_NORMAL)"
    screenshot dialog-defaults-folder-display
    click $IDC_CATEGORY_PRINTER_FONT
    click_tab 3
    check_contains "Installation shows Change" "visible=1" "$(driver state "$DIALOG_TITLE" $IDC_CHANGE_DIRECTORY)"
    check_contains "Installation hides the Defaults buttons" "visible=0" "$(driver state "$DIALOG_TITLE" $IDC_CATEGORY_PRINTER_FONT)"
    retype $IDC_INSTALLATION_DIRECTORY "$INSTALL_DIR"
    screenshot dialog-installation
    click_tab 0
    LABELS=$(tab_label_colours)
    check_equal "Defaults label after its visit" green "$(label_colour 2)"
    check_equal "Installation label after its visit" green "$(label_colour 3)"

    install_and_confirm
}

scenario_first_install_stores_what_the_user_chose() {
    first_install
    local dir
    dir=$(INSTALL_DIR_UNIX)
    for file in KOVA.exe KOVA.hlp KOVA.cnt; do
        check "$file installed" test -f "$dir/$file"
    done
    check "payload KOVA.hlp is the carried one" cmp -s "$ROOT/payload/KOVA.hlp" "$dir/KOVA.hlp"
    check "Setup.exe copied whole" cmp -s "$SETUP" "$dir/Setup.exe"

    local command filtered icon
    command=$(reg_value 'HKCR\Directory\shell\Print\Command' "")
    filtered=$(reg_value 'HKCR\Drive\shell\Print with Filter...\Command' "")
    icon=$(reg_value 'HKCR\KOVA\DefaultIcon' "")
    check_equal "Print command" '"C:\Program Files\KOVA\KOVA.exe" dir="%1"' "$command"
    check_equal "Print with Filter command" '"C:\Program Files\KOVA\KOVA.exe" dir="%1" mode=filtered' "$filtered"
    check_equal "icon" 'C:\Program Files\KOVA\KOVA.exe,0' "$icon"
    # The verbs are read above as the 64-bit Explorer reads them. Windows (7 and later) shares HKCR's
    # shell keys between the 32-bit and the 64-bit view, so 32-bit programs see the same; Wine 8.0
    # differs: it redirects all of Software\Classes for 32-bit programs, which see none of them there.
    # HKLM\Software is redirected: KOVA's key is where programs of the setup's own kind read it.
    local other_view=/reg:32
    [ "$KOVA_VIEW" = /reg:32 ] && other_view=/reg:64
    check "KOVA's key is not in the registry view of programs of the other kind" \
        reg_key_absent 'HKLM\Software\KOVA' "$other_view"

    local config
    config=$(config_hex)
    check_equal "config is a whole record" "$(record_size)" $((${#config} / 2))
    check_equal "version" "$KOVA_VERSION" "$(config_field "$config" version)"
    check_equal "defaultsCategory" 0 "$(config_field "$config" defaultsCategory)"
    check_equal "sortAtPrintTime" 0 "$(config_field "$config" sortAtPrintTime)"
    check_equal "sortFiles" 1 "$(config_field "$config" sortFiles)"
    check_equal "fileSortKey" 1 "$(config_field "$config" fileSortKey)"
    check_equal "folderSortKey" 6 "$(config_field "$config" folderSortKey)"
    check_equal "fileSortDescending" 1 "$(config_field "$config" fileSortDescending)"
    check_equal "folderDisplayAtPrintTime" 1 "$(config_field "$config" folderDisplayAtPrintTime)"
    check_equal "fileDisplayColumn" 3 "$(config_field "$config" fileDisplayColumn)"
    check_equal "fileSizeUnit" 3 "$(config_field "$config" fileSizeUnit)"
    check_equal "printBackdrop" 1 "$(config_field "$config" printBackdrop)"
    check_equal "defaultsReviewed" 1 "$(config_field "$config" defaultsReviewed)"
    check_equal "installationReviewed" 1 "$(config_field "$config" installationReviewed)"
    check_equal "registryPrivilege" 1 "$(config_field "$config" registryPrivilege)"
    check_equal "pickFontEveryTime" 0 "$(config_field "$config" pickFontEveryTime)"
    check "fontName is a face name" test -n "$(config_field "$config" fontName)"
    check_equal "fontSize" 42 "$(config_field "$config" fontSize)"
    check_equal "printerCount" 1 "$(config_field "$config" printerCount)"
    check_equal "useDefaultPrinter" 1 "$(config_field "$config" useDefaultPrinter)"
    check_equal "printerName" KOVA_Laser "$(config_field "$config" printerName)"
    check_equal "installationDirectory" "$INSTALL_DIR" "$(config_field "$config" installationDirectory)"

    # The shell starts the verbs' command strings with the chosen folder in place of %1.
    mkdir -p "$DRIVE_C/My Documents/Tax Papers"
    driver run "${command//%1/C:\\My Documents\\Tax Papers}" >/dev/null
    driver run "${filtered//%1/C:\\My Documents\\Tax Papers}" >/dev/null
    local log
    log=$(tr -d '\r' <"$dir/KOVA.log" 2>/dev/null)
    check_contains "Print started KOVA.exe on the folder" 'dir="C:\My Documents\Tax Papers"' "$(sed -n 1p <<<"$log")"
    check_contains "Print with Filter adds mode=filtered" 'dir="C:\My Documents\Tax Papers" mode=filtered' \
        "$(sed -n 2p <<<"$log")"
}

scenario_second_run_offers_update_and_saves_without_installing() {
    first_install
    local dir before
    dir=$(INSTALL_DIR_UNIX)
    rm "$dir/KOVA.hlp"
    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30
    check_contains "button 1 reads Update" "text=Update" "$(driver state "$DIALOG_TITLE" $IDC_INSTALL)"
    check_contains "Uninstall is shown" "visible=1" "$(driver state "$DIALOG_TITLE" $IDC_UNINSTALL)"
    check_contains "the directory field is disabled" "enabled=0" "$(driver state "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"
    check_contains "the directory field shows the stored directory" "text=$INSTALL_DIR" \
        "$(driver state "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"
    LABELS=$(tab_label_colours)
    check_equal "Defaults label green from the start" green "$(label_colour 2)"
    click_tab 2
    check_contains "the stored font choice" "checked=1" "$(driver state "$DIALOG_TITLE" $IDC_USE_THIS_FONT)"
    check_contains "the stored font size" "text=42" "$(driver state "$DIALOG_TITLE" $IDC_FONT_SIZE)"
    click $IDC_CATEGORY_SORTING
    check_contains "the stored sort order" "text=Descending" "$(driver state "$DIALOG_TITLE" $IDC_FILE_SORT_ORDER)"
    click $IDC_SORT_AT_PRINT_TIME
    screenshot dialog-update
    click $IDC_INSTALL
    wait_setup 30
    check_equal "exit code after Update" 0 "$SETUP_EXIT"
    check "Update installed nothing" test ! -e "$dir/KOVA.hlp"
    check_equal "Update stored the new setting" 1 "$(config_field "$(config_hex)" sortAtPrintTime)"
    check_equal "Update kept the category" 1 "$(config_field "$(config_hex)" defaultsCategory)"
}

scenario_cancel_and_close_box_save_nothing() {
    for how in cancel close; do
        start_setup "$SETUP"
        driver wait-window "$DIALOG_TITLE" 30
        click_tab 2
        click $IDC_CATEGORY_SORTING
        if [ "$how" = cancel ]; then click $IDC_CANCEL_BUTTON; else close_box "$DIALOG_TITLE"; fi
        wait_setup
        check_equal "[$how] exit code" 0 "$SETUP_EXIT"
        check "[$how] nothing stored" kova_key_absent
    done
}

scenario_without_a_printer_install_stays_disabled() {
    remove_printers
    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30
    check_contains "Install is disabled" "enabled=0" "$(driver state "$DIALOG_TITLE" $IDC_INSTALL)"
    LABELS=$(tab_label_colours)
    check_equal "Requirements label is red" red "$(label_colour 1)"
    click_tab 1
    screenshot dialog-requirements-no-printer
    click $IDC_CANCEL_BUTTON
    wait_setup
    add_printer
}

scenario_uninstall_removes_verbs_key_and_payload() {
    first_install
    local dir
    dir=$(INSTALL_DIR_UNIX)
    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30
    click $IDC_UNINSTALL
    local text
    text=$(answer_box "Success" $IDNO)
    check_equal "the uninstall box names the directory" "$(string_text IDS_UNINSTALLED "$INSTALL_DIR")" "$text"
    wait_setup 30
    check_equal "exit code after Uninstall" 0 "$SETUP_EXIT"
    for key in 'HKCR\Directory\shell\Print' 'HKCR\Drive\shell\Print' 'HKCR\Directory\shell\Print with Filter...' \
        'HKCR\Drive\shell\Print with Filter...'; do
        check "$key removed" reg_key_absent "$key"
    done
    check "HKLM\Software\KOVA removed" kova_key_absent
    for file in KOVA.exe KOVA.hlp KOVA.cnt; do check "$file removed" test ! -e "$dir/$file"; done
    check "Setup.exe stays" test -f "$dir/Setup.exe"
    check "answering No opens no Explorer" bash -c "! wine '$E2E_BUILD/e2e-driver.exe' wait-window KOVA 3"

    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30
    check_contains "the next run offers Install again" "text=Install" "$(driver state "$DIALOG_TITLE" $IDC_INSTALL)"
    click $IDC_CANCEL_BUTTON
    wait_setup
}

# The chooser opens at the directory itself: Install at once keeps it, and so does Cancel after
# another folder was opened. Its file-name and file-type fields are hidden.
scenario_change_opens_the_folder_chooser_at_the_directory() {
    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30
    click_tab 3
    local before
    before=$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)
    mkdir -p "$(winepath -u "$before" 2>/dev/null)/Elsewhere"
    click $IDC_CHANGE_DIRECTORY
    local chooser="Choose a directory to install to"
    check "the chooser opens" driver wait-window "$chooser" 30
    sleep 0.5
    check_contains "its OK button reads Install" "text=Install" "$(driver state "$chooser" $IDOK)"
    check_contains "its folder label reads Install to:" "text=Install to:" "$(driver state "$chooser" $CHOOSER_FOLDER_LABEL)"
    check_contains "the file name field is hidden" "visible=0" "$(driver state "$chooser" $CHOOSER_FILE_NAME)"
    check_contains "the file type list is hidden" "visible=0" "$(driver state "$chooser" $CHOOSER_FILE_TYPES)"
    screenshot dialog-folder-chooser
    click_control "$chooser" $IDOK
    check "the chooser closes on Install" driver wait-gone "$chooser" 10
    check_equal "Install at once keeps the directory" "$before" "$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"
    click $IDC_CHANGE_DIRECTORY
    driver wait-window "$chooser" 30
    sleep 0.5
    click_list_item "$chooser" Elsewhere 2
    click_control "$chooser" $IDCANCEL
    check "the chooser closes on Cancel" driver wait-gone "$chooser" 10
    check_equal "Cancel keeps the directory" "$before" "$(control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"
    click $IDC_CANCEL_BUTTON
    wait_setup
}

scenario_uninstall_yes_opens_the_directory_in_explorer() {
    first_install
    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30
    click $IDC_UNINSTALL
    answer_box "Success" $IDYES >/dev/null
    wait_setup 30
    check_equal "exit code after Uninstall" 0 "$SETUP_EXIT"
    # Explorer gets the directory in quotes, so the blank in "Program Files" stays inside it and
    # its window opens on the installation directory.
    check "Explorer shows the installation directory" driver wait-window "KOVA" 20
    screenshot dialog-uninstall-explorer
}
