# The setup dialog by keyboard alone, bad input at Install, and the page text after repaints. All
# input is real X input on the scenario's display.

KEYBOARD_SETUP="${KEYBOARD_SETUP:-$E2E_BUILD/Setup.exe}"

selected_tab() { driver selected-tab "$DIALOG_TITLE" | tr -d '\r'; }
# The text of a message box, read from its static control 0xFFFF.
box_text() { driver state "$1" $MESSAGE_BOX_TEXT | sed 's/^.*text=//' | tr -d '\r'; }

# Turns the pages with Ctrl+PgDn until PAGE is on display.
turn_to() {  # turn_to PAGE
    for _ in 1 2 3 4; do
        [ "$(selected_tab)" = "$1" ] && return 0
        press ctrl+Next
    done
    fail "Ctrl+PgDn never reached page $1"
}

# Moves the focus with Tab or Shift+Tab until control ID has it (at most 30 steps).
tab_to() {  # tab_to ID [shift+Tab]
    local key=${2:-Tab}
    for _ in $(seq 30); do
        case "$(focused "$DIALOG_TITLE")" in "$1 "*) return 0 ;; esac
        press "$key"
    done
    fail "Tab never reached control $1"
    return 1
}

scenario_keyboard_only_first_install() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    check_equal "the dialog opens on Welcome" 0 "$(selected_tab)"
    check_contains "Install has the focus at first" "$IDC_INSTALL Button" "$(focused "$DIALOG_TITLE")"
    press ctrl+Tab
    check_equal "Ctrl+Tab turns to Requirements" 1 "$(selected_tab)"
    press ctrl+shift+Tab
    check_equal "Ctrl+Shift+Tab turns back to Welcome" 0 "$(selected_tab)"
    press ctrl+shift+Tab
    check_equal "Ctrl+Shift+Tab wraps to Installation" 3 "$(selected_tab)"
    press ctrl+Next
    check_equal "Ctrl+PgDn wraps to Welcome" 0 "$(selected_tab)"
    LABELS=$(tab_label_colours)
    check_equal "Installation label after a visit by keyboard" green "$(label_colour 3)"
    press ctrl+Next ctrl+Next
    check_equal "Ctrl+PgDn twice turns to Defaults" 2 "$(selected_tab)"
    press ctrl+Prior
    check_equal "Ctrl+PgUp turns back to Requirements" 1 "$(selected_tab)"
    # The tab strip is the last stop; there the arrow keys turn the pages.
    tab_to $IDC_TAB_STRIP shift+Tab
    press Right
    check_equal "Right on the tab strip turns to Defaults" 2 "$(selected_tab)"
    LABELS=$(tab_label_colours)
    check_equal "Defaults label after a visit by arrow key" green "$(label_colour 2)"

    # Printer/Font: "Use this font" by arrow key, then the size typed over.
    tab_to $IDC_PICK_FONT_EVERY_TIME
    press Down
    check_contains "Down checks Use this font" "checked=1" "$(driver state "$DIALOG_TITLE" $IDC_USE_THIS_FONT)"
    check_contains "the font radios are one stop" "$IDC_USE_THIS_FONT Button" "$(focused "$DIALOG_TITLE")"
    tab_to $IDC_FONT_SIZE
    type_text 14
    check_contains "the size typed over the selected text" "text=14" "$(driver state "$DIALOG_TITLE" $IDC_FONT_SIZE)"
    # Sorting: Space on "Sort folders by".
    tab_to $IDC_CATEGORY_PRINTER_FONT
    press Down
    check_contains "Down on the category buttons shows Sorting" "visible=1" "$(driver state "$DIALOG_TITLE" $IDC_SORT_FOLDERS)"
    check_contains "the focus stays on the category button" "$IDC_CATEGORY_SORTING Button" "$(focused "$DIALOG_TITLE")"
    tab_to $IDC_SORT_FOLDERS
    press space
    check_contains "Space checks Sort folders by" "checked=1" "$(driver state "$DIALOG_TITLE" $IDC_SORT_FOLDERS)"
    # File display: "Enhanced. Show" by arrow key.
    tab_to $IDC_CATEGORY_SORTING shift+Tab
    press Down
    check_contains "the focus stays on File display defaults" "$IDC_CATEGORY_FILE_DISPLAY Button" "$(focused "$DIALOG_TITLE")"
    tab_to $IDC_FILE_DISPLAY_NORMAL
    press Down
    check_contains "Down checks Enhanced for files" "checked=1" "$(driver state "$DIALOG_TITLE" $IDC_FILE_DISPLAY_ENHANCED)"
    # Folder display: "Choose settings at print time" with Space.
    tab_to $IDC_CATEGORY_FILE_DISPLAY shift+Tab
    press Down
    check_contains "the focus stays on Folder display def." "$IDC_CATEGORY_FOLDER_DISPLAY Button" "$(focused "$DIALOG_TITLE")"
    tab_to $IDC_FOLDER_DISPLAY_AT_PRINT_TIME
    press space
    check_contains "Space checks print time for folders" "checked=1" "$(driver state "$DIALOG_TITLE" $IDC_FOLDER_DISPLAY_AT_PRINT_TIME)"
    # Backdrop: Space on "Do not".
    tab_to $IDC_CATEGORY_FOLDER_DISPLAY shift+Tab
    press Down
    check_contains "the focus stays on Backdrop settings" "$IDC_CATEGORY_BACKDROP Button" "$(focused "$DIALOG_TITLE")"
    check_equal "choosing a category did not leave the page" 2 "$(selected_tab)"
    tab_to $IDC_PRINT_BACKDROP
    press space
    check_contains "Space turns Do not into Do" "text=Do" "$(driver state "$DIALOG_TITLE" $IDC_PRINT_BACKDROP)"
    screenshot keyboard-defaults-backdrop

    # Installation: the directory typed over the Programs folder.
    press ctrl+Tab
    check_equal "Ctrl+Tab turns to Installation" 3 "$(selected_tab)"
    check_contains "the focus left the hidden Backdrop button for the tab strip" "$IDC_TAB_STRIP " "$(focused "$DIALOG_TITLE")"
    tab_to $IDC_INSTALLATION_DIRECTORY shift+Tab
    type_text 'C:\Program Files\KOVA'
    screenshot keyboard-installation
    press ctrl+Tab
    check_equal "Ctrl+Tab wraps to Welcome" 0 "$(selected_tab)"
    tab_to $IDC_INSTALL
    press Return
    check "the success box appears" driver wait-window "KOVA Installer" 30
    check_contains "the success box" "KOVA has been successfully installed" "$(box_text "KOVA Installer")"
    press Return
    wait_setup 30
    check_equal "exit code after Install" 0 "$SETUP_EXIT"

    local config
    config=$(config_hex)
    check_equal "pickFontEveryTime" 0 "$(config_field "$config" pickFontEveryTime)"
    check_equal "fontSize" 14 "$(config_field "$config" fontSize)"
    check_equal "sortFolders" 1 "$(config_field "$config" sortFolders)"
    check_equal "fileDisplayColumn" 1 "$(config_field "$config" fileDisplayColumn)"
    check_equal "folderDisplayAtPrintTime" 1 "$(config_field "$config" folderDisplayAtPrintTime)"
    check_equal "printBackdrop" 1 "$(config_field "$config" printBackdrop)"
    check_equal "defaultsCategory" 3 "$(config_field "$config" defaultsCategory)"
    check_equal "installationDirectory" 'C:\Program Files\KOVA' "$(config_field "$config" installationDirectory)"
    check "KOVA.exe installed" test -f "$DRIVE_C/Program Files/KOVA/KOVA.exe"
    check_equal "Print command" '"C:\Program Files\KOVA\KOVA.exe" dir="%1"' \
        "$(reg_value 'HKCR\Directory\shell\Print\Command' "")"
}

# Install is pressed from the Welcome page; the box must name the problem, and after it the dialog
# is still open at FIELD on PAGE with every setting kept.
refused_at_install() {  # refused_at_install WHAT CAPTION TEXT PAGE FIELD
    turn_to 0
    click_control "$DIALOG_TITLE" $IDC_INSTALL
    if ! driver wait-window "$2" 10 >/dev/null; then
        fail "[$1] no \"$2\" box"
        return
    fi
    check_equal "[$1] the message" "$3" "$(box_text "$2")"
    press Return
    check "[$1] the box closes" driver wait-gone "$2" 10
    check "[$1] the dialog stays open" driver wait-window "$DIALOG_TITLE" 1
    check_equal "[$1] the dialog shows the page of the field" "$4" "$(selected_tab)"
    check_contains "[$1] the field has the focus" "$5 " "$(focused "$DIALOG_TITLE")"
    check_contains "[$1] the changed setting is kept" "checked=1" "$(driver state "$DIALOG_TITLE" $IDC_SORT_FILES)"
    check "[$1] nothing was stored" kova_key_absent
}

scenario_bad_directory_and_font_size_keep_the_dialog() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    turn_to 2
    click_control "$DIALOG_TITLE" $IDC_CATEGORY_SORTING
    click_control "$DIALOG_TITLE" $IDC_SORT_FILES

    local size_message='is not a whole number from 1 to 1638. Please enter the size in points, such as 12.'
    local text
    for text in abc -5 99999 0 ''; do
        turn_to 2
        click_control "$DIALOG_TITLE" $IDC_CATEGORY_PRINTER_FONT
        retype $IDC_FONT_SIZE "$text"
        click_control "$DIALOG_TITLE" $IDC_CATEGORY_SORTING  # Install must come back to Printer/Font by itself
        local expected="The font size \"$text\" $size_message"
        [ -z "$text" ] && expected='Please enter a font size: a whole number of points from 1 to 1638, such as 12.'
        refused_at_install "size [$text]" "Font Size" "$expected" 2 $IDC_FONT_SIZE
        check_contains "[size $text] Printer/Font is on display" "checked=1" "$(driver state "$DIALOG_TITLE" $IDC_CATEGORY_PRINTER_FONT)"
        check_contains "[size $text] the size field is shown" "visible=1" "$(driver state "$DIALOG_TITLE" $IDC_FONT_SIZE)"
        check_contains "[size $text] the text is kept" "text=$text" "$(driver state "$DIALOG_TITLE" $IDC_FONT_SIZE)"
    done
    turn_to 2
    click_control "$DIALOG_TITLE" $IDC_CATEGORY_PRINTER_FONT
    retype $IDC_FONT_SIZE "  42abc"
    screenshot dialog-font-size-accepted

    local full='Please enter a path that begins with a drive letter and a backslash, such as C:\Program Files\KOVA, or with a network share, such as \\server\share\KOVA.'
    local forbidden='which Windows does not allow in a path. Please remove it.'
    local cases=(
        ''
        'Please enter the directory to install KOVA to, such as C:\Program Files\KOVA, or choose one with Change.'
        '   '
        'Please enter the directory to install KOVA to, such as C:\Program Files\KOVA, or choose one with Change.'
        'foo'
        "The installation directory \"foo\" is not a full path. $full"
        'C:\bad|name'
        "The installation directory \"C:\\bad|name\" contains the character |, $forbidden"
        'Q:\KOVA'
        'The drive Q: of the installation directory "Q:\KOVA" does not exist. Please choose a directory on a drive of this computer.'
        '\\nosuchserver\share\KOVA'
        'The network share \\nosuchserver\share of the installation directory "\\nosuchserver\share\KOVA" cannot be reached. Please check its name, or choose a directory on a drive of this computer.'
    )
    local i
    for ((i = 0; i < ${#cases[@]}; i += 2)); do
        turn_to 3
        retype $IDC_INSTALLATION_DIRECTORY "${cases[i]}"
        refused_at_install "directory [${cases[i]}]" "Installation Directory" "${cases[i + 1]}" 3 $IDC_INSTALLATION_DIRECTORY
        check_contains "[directory ${cases[i]}] the text is kept" "text=${cases[i]}" \
            "$(driver state "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY)"
        [ "$i" -eq 6 ] && screenshot dialog-bad-directory-kept
    done
    check "no verb was registered" reg_key_absent 'HKCR\Directory\shell\Print'

    # A drive root with a trailing backslash: the files go into it, joined with one backslash.
    turn_to 3
    retype $IDC_INSTALLATION_DIRECTORY 'C:\'
    install_and_confirm
    check "KOVA.exe in the drive root" test -f "$DRIVE_C/KOVA.exe"
    check_equal "Print command in the drive root" '"C:\KOVA.exe" dir="%1"' \
        "$(reg_value 'HKCR\Directory\shell\Print\Command' "")"
    local config
    config=$(config_hex)
    check_equal "installationDirectory" 'C:\' "$(config_field "$config" installationDirectory)"
    check_equal "fontSize read from its leading number" 42 "$(config_field "$config" fontSize)"
    check_equal "sortFiles kept through every refusal" 1 "$(config_field "$config" sortFiles)"
}

# The band of the tab strip's display area that holds the first lines of the page text, as raw RGB.
page_text_band() {  # page_text_band FILE
    local shot="$SCENARIO_WORK/band.png" left top right
    sleep 0.5
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null
    read -r left top right _ < <(driver rect "$DIALOG_TITLE" $IDC_TAB_STRIP | tr -d '\r')
    convert "$shot" -crop "$((right - left - 8))x40+$((left + 4))+$((top + 26))" -depth 8 "rgb:$1"
}

scenario_page_text_stays_crisp_after_repaints() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    press ctrl+Next ctrl+Next
    check_equal "Defaults is on display" 2 "$(selected_tab)"
    page_text_band "$SCENARIO_WORK/band-first.rgb"
    local round id
    for round in 1 2 3; do
        for id in "$IDC_CATEGORY_SORTING" "$IDC_CATEGORY_FILE_DISPLAY" "$IDC_CATEGORY_FOLDER_DISPLAY" \
            "$IDC_CATEGORY_BACKDROP" "$IDC_CATEGORY_PRINTER_FONT"; do
            click_control "$DIALOG_TITLE" "$id"
        done
    done
    page_text_band "$SCENARIO_WORK/band-after.rgb"
    screenshot dialog-defaults-after-repaints
    check "the band holds text" test "$(python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); print(len(set(d[i:i+3] for i in range(0,len(d),3))))' "$SCENARIO_WORK/band-first.rgb")" -gt 2
    local differing
    differing=$(python3 -c '
import sys
a, b = (open(name, "rb").read() for name in sys.argv[1:3])
print(sum(a[i:i + 3] != b[i:i + 3] for i in range(0, min(len(a), len(b)), 3)) + abs(len(a) - len(b)))' \
        "$SCENARIO_WORK/band-first.rgb" "$SCENARIO_WORK/band-after.rgb")
    check_equal "pixels of the page text changed by 15 category changes" 0 "$differing"
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
}

# The pixels of control ID on the screen, as raw RGB in FILE.
control_pixels() {  # control_pixels ID FILE
    local shot="$SCENARIO_WORK/control.png" left top right bottom
    sleep 0.5
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null
    read -r left top right bottom < <(driver rect "$DIALOG_TITLE" "$1" | tr -d '\r')
    convert "$shot" -crop "$((right - left))x$((bottom - top))+$left+$top" -depth 8 "rgb:$2"
}

# A repaint of part of the tab strip (its labels and the page down to a control), as Windows makes
# when a window that covered the dialog moves away, repaints the page under the page's controls but
# never over them: each control keeps every pixel, though nothing repaints the controls themselves.
scenario_partial_repaint_of_the_page_leaves_its_controls_alone() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    click_tab 3
    local id
    for id in "$IDC_CHANGE_DIRECTORY" "$IDC_INSTALLATION_DIRECTORY"; do
        control_pixels "$id" "$SCENARIO_WORK/control-$id-before.rgb"
        driver invalidate-down-to "$DIALOG_TITLE" $IDC_TAB_STRIP "$id"
        control_pixels "$id" "$SCENARIO_WORK/control-$id-after.rgb"
        check "control $id keeps its pixels through a repaint of the page under it" \
            cmp -s "$SCENARIO_WORK/control-$id-before.rgb" "$SCENARIO_WORK/control-$id-after.rgb"
    done
    screenshot dialog-installation-after-partial-repaint
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
}

# The page is painted only within the region the paint under way may change. Wine's tab strip clips
# its siblings of its own accord (the template does not ask for it), and so hides painting beyond
# that region wherever the page's controls lie; with the clipping taken away, a repaint of the strip
# above the controls must still leave every pixel of them as it was.
scenario_repaint_above_the_controls_keeps_to_its_region() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    click_tab 3
    driver unclip-siblings "$DIALOG_TITLE" $IDC_TAB_STRIP
    local id
    for id in "$IDC_CHANGE_DIRECTORY" "$IDC_INSTALLATION_DIRECTORY"; do control_pixels "$id" "$SCENARIO_WORK/control-$id-before.rgb"; done
    driver invalidate-above "$DIALOG_TITLE" $IDC_TAB_STRIP $IDC_INSTALLATION_DIRECTORY
    for id in "$IDC_CHANGE_DIRECTORY" "$IDC_INSTALLATION_DIRECTORY"; do
        control_pixels "$id" "$SCENARIO_WORK/control-$id-after.rgb"
        check "control $id keeps its pixels through a repaint of the strip above it" \
            cmp -s "$SCENARIO_WORK/control-$id-before.rgb" "$SCENARIO_WORK/control-$id-after.rgb"
    done
    screenshot dialog-installation-after-repaint-above-the-controls
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
}

# Right after each kind of box the dialog shows (a bad directory at Install, then a bad font size),
# closed with the pointer, every click on another page's label shows that page, round after round.
scenario_journey_tab_labels_answer_every_click_after_a_box() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    local round kind page caption
    for round in 1 2 3; do
        for kind in directory size; do
            if [ "$kind" = directory ]; then
                caption="Installation Directory"
                click_tab 3
                retype $IDC_INSTALLATION_DIRECTORY 'KOVA'
            else
                caption="Font Size"
                retype $IDC_INSTALLATION_DIRECTORY 'C:\KOVA'
                click_tab 2
                click_control "$DIALOG_TITLE" $IDC_CATEGORY_PRINTER_FONT
                retype $IDC_FONT_SIZE 'abc'
            fi
            click_tab 0
            click_control "$DIALOG_TITLE" $IDC_INSTALL
            driver wait-window "$caption" 10 >/dev/null || { fail "[$round $kind] no \"$caption\" box"; continue; }
            click_control "$caption" $IDOK
            driver wait-gone "$caption" 10 >/dev/null
            for page in 1 2 3 0 2; do
                click_tab "$page"
                check_equal "[$round $kind] a click on label $page shows its page" "$page" "$(selected_tab)"
            done
            if [ "$kind" = size ]; then
                click_control "$DIALOG_TITLE" $IDC_CATEGORY_PRINTER_FONT
                retype $IDC_FONT_SIZE '12'
            fi
        done
    done
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
}

# While a box waits for its answer, the dialog under it takes no click: the page stays, Install
# brings no second box and Cancel does not end the dialog. Once the box is answered, the field it
# named has the focus again and the labels take clicks.
scenario_journey_the_dialog_waits_for_the_answer_to_its_box() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    local caption="Installation Directory"
    click_tab 3
    retype $IDC_INSTALLATION_DIRECTORY 'KOVA'
    click_control "$DIALOG_TITLE" $IDC_INSTALL
    driver wait-window "$caption" 10 >/dev/null || { fail "no \"$caption\" box"; return; }
    click_tab 1
    check_equal "a click on a label under the box keeps the page" 3 "$(selected_tab)"
    click_control "$DIALOG_TITLE" $IDC_INSTALL
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    screenshot dialog-waits-for-its-box
    check "Cancel under the box leaves the dialog open" driver wait-window "$DIALOG_TITLE" 1
    click_control "$caption" $IDOK
    check "Install under the box brought no second box" driver wait-gone "$caption" 5
    check_contains "the field has the focus again" "$IDC_INSTALLATION_DIRECTORY " "$(focused "$DIALOG_TITLE")"
    click_tab 1
    check_equal "the labels take clicks again" 1 "$(selected_tab)"
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
    check_equal "Cancel ends the setup" 0 "$SETUP_EXIT"
}

# However the keys turn the pages (the arrow keys on the focused tab strip, Ctrl+Tab, Ctrl+PgUp),
# every click on another page's label afterwards shows that page.
scenario_journey_tab_labels_answer_every_click_after_the_keys() {
    start_setup "$KEYBOARD_SETUP"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "dialog did not appear"; return; }
    local turn keys turned page
    for turn in Right:2 Left:0 ctrl+Tab:2 ctrl+Prior:0 Right:2; do
        keys=${turn%:*} turned=${turn#*:}
        click_tab 1
        press "$keys"
        check_equal "$keys from Requirements turns to page $turned" "$turned" "$(selected_tab)"
        for page in 3 1 2 0; do
            [ "$page" = "$turned" ] && continue
            click_tab "$page"
            check_equal "[after $keys] a click on label $page shows its page" "$page" "$(selected_tab)"
        done
    done
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
}
