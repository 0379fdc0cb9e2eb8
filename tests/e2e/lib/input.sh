# What a person does to the setup under Wine: start it and wait for its end, click with the X
# pointer, press keys, type, answer message boxes. Part of tests/e2e/lib.sh.

# Starts the setup in the background (SETUP_PID) with the given command-line tail.
start_setup() {
    local program=$1
    shift
    (cd "$(dirname "$program")" && exec wine "$(basename "$program")" "$@") >/dev/null 2>&1 &
    SETUP_PID=$!
}

# Starts a setup and waits for its dialog.
open_setup() {  # open_setup PROGRAM [ARGS...]
    start_setup "$@"
    driver wait-window "$DIALOG_TITLE" 30 || { fail "the setup dialog did not appear"; return 1; }
}

# Waits for the setup started by start_setup and sets SETUP_EXIT.
wait_setup() {
    local seconds=${1:-20}
    for _ in $(seq $((seconds * 10))); do
        if ! kill -0 "$SETUP_PID" 2>/dev/null; then
            wait "$SETUP_PID"
            SETUP_EXIT=$?
            return 0
        fi
        sleep 0.1
    done
    kill "$SETUP_PID" 2>/dev/null
    SETUP_EXIT=timeout
    return 1
}

# ---- real input: what a person does, with the X pointer and keyboard on the scenario's display.
# The Wine desktop window sits at the screen's origin, so window rectangles are screen positions.
pointer_click() {  # pointer_click X Y [REPEAT]: a click, or a double-click with REPEAT 2
    xdotool mousemove --sync "$1" "$2" click --repeat "${3:-1}" --delay 80 1
    sleep 0.3
}
# A click in the middle of a control of the window TITLE.
click_control() {  # click_control TITLE ID
    local left top right bottom
    read -r left top right bottom < <(driver rect "$1" "$2" | tr -d '\r')
    [ -n "$bottom" ] || { fail "no control $2 in \"$1\" to click"; return 1; }
    pointer_click $(((left + right) / 2)) $(((top + bottom) / 2))
}
# A click, or a double-click with REPEAT 2, on the entry NAME of a file dialog's folder list.
click_list_item() {  # click_list_item TITLE NAME [REPEAT]
    local left top right bottom
    read -r left top right bottom < <(driver list-item "$1" "$2" | tr -d '\r')
    [ -n "$bottom" ] || { fail "no entry \"$2\" in the folder list of \"$1\""; return 1; }
    pointer_click $(((left + right) / 2)) $(((top + bottom) / 2)) "${3:-1}"
}
# A click on the close box at the right end of the title bar of the window TITLE.
close_box() {  # close_box TITLE
    local left top right bottom
    read -r left top right bottom < <(driver window-rect "$1" | tr -d '\r')
    [ -n "$bottom" ] || { fail "no window \"$1\" to close"; return 1; }
    pointer_click $((right - 12)) $((top + 12))
}
# Reads a message box as a person does and clicks one of its buttons: prints the box's text.
# With SHOT, a screenshot of the box is saved under that name first.
answer_box() {  # answer_box CAPTION BUTTON-ID [SECONDS] [SHOT]
    local text
    text=$(driver box-text "$1" "${3:-30}" | tr -d '\r') || return 1
    [ -n "${4:-}" ] && screenshot "$4" >&2
    click_control "$1" "$2"
    printf '%s\n' "$text"
}
# A click on a label of the setup dialog's tab strip; each label is a sixth of the strip wide.
click_tab() {  # click_tab INDEX
    local left top right
    read -r left top right _ < <(driver rect "$DIALOG_TITLE" $IDC_TAB_STRIP | tr -d '\r')
    local width=$(((right - left) / 6))
    pointer_click $((left + $1 * width + width / 2)) $((top + 10))
}
press() {  # press KEY... (xdotool key names: Tab, shift+Tab, ctrl+Tab, Return, Escape, space, Down ...)
    xdotool key --delay 120 "$@"
    sleep 0.3
}
type_text() {  # type_text TEXT: typed into whatever has the focus
    xdotool type --delay 40 -- "$1"
    sleep 0.3
}
# Replaces the text of an edit field as a person does: a click into it, the text selected from its
# end to its start, then typed over (or deleted when TEXT is empty).
retype() {  # retype ID TEXT
    click_control "$DIALOG_TITLE" "$1"
    press End shift+Home
    if [ -n "$2" ]; then type_text "$2"; else press BackSpace; fi
}

# ---- the dialog's buttons and the boxes they bring up.
# Presses Install, reads the success box (waiting up to INSTALL_SECONDS) and presses its OK; the
# setup ends.
install_and_confirm() {
    click_control "$DIALOG_TITLE" $IDC_INSTALL
    # The setup's peak resident memory, read while the box holds it open (SETUP_PEAK_KIB).
    driver wait-window "KOVA Installer" "${INSTALL_SECONDS:-30}" >/dev/null
    SETUP_PEAK_KIB=$(awk '/^VmHWM:/ { print $2 }' "/proc/$SETUP_PID/status" 2>/dev/null)
    check_equal "the success box" "$(string_text IDS_INSTALL_SUCCESS)" \
        "$(answer_box "KOVA Installer" $IDOK "${INSTALL_SECONDS:-30}")"
    wait_setup 30
    check_equal "exit code after Install" 0 "$SETUP_EXIT"
}

# Uninstall from PROGRAM, answering the box with BUTTON (6 Yes, 7 No).
uninstall_answering() {  # uninstall_answering PROGRAM BUTTON DIRECTORY
    open_setup "$1" || return 1
    click_control "$DIALOG_TITLE" $IDC_UNINSTALL
    check_equal "the uninstall box names the directory" "$(string_text IDS_UNINSTALLED "$3")" \
        "$(answer_box "Success" "$2")"
    wait_setup 30
    check_equal "exit code after Uninstall" 0 "$SETUP_EXIT"
}
