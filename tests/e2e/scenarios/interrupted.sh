# Installs ended by the setup's process id at several points, as a power cut or the task manager
# ends them, then the setup started again as a person starts it: it says that the last installation
# did not finish and completes it, and the files, the keys and the list entry equal those of an
# install that was never interrupted.

INTERRUPTED_HELP_MIB=256

# A setup in the Downloads folder carrying a large KOVA.hlp, so that each point lasts long enough to
# be met: the digests are checked before the first file, KOVA.hlp takes a while, and so does the copy
# of the whole setup (Setup.exe) after the payload files.
interrupted_setup() {
    local built="$E2E_WORK/interrupted" downloads
    if [ ! -f "$built/KOVA.hlp" ]; then
        mkdir -p "$built"
        /usr/bin/python3 - "$built/KOVA.hlp" "$INTERRUPTED_HELP_MIB" <<'PY'
import os, sys
block = os.urandom(1_048_573)
with open(sys.argv[1], "wb") as out:
    for _ in range(int(sys.argv[2])):
        out.write(block)
PY
    fi
    downloads=$(downloads_folder)
    "$ROOT/build/release/setup-pack" build --image "$JOURNEY_IMAGE" --out "$downloads/Setup.exe" \
        "$E2E_BUILD/KOVA.exe" "$built/KOVA.hlp" "$ROOT/payload/KOVA.cnt" >/dev/null
    INTERRUPTED_SETUP="$downloads/Setup.exe"
}

# What an install leaves: the files of the directory with their digests (partial files included),
# the shell verbs and the icon, the list entry and KOVA's key with its values.
installed_state() {  # installed_state DIRECTORY-UNIX
    (cd "$1" && for file in $(ls -A | sort); do echo "$file $(sha256sum <"$file" | cut -c1-16)"; done)
    local key
    for key in 'HKCR\Directory\shell\Print\Command' 'HKCR\Drive\shell\Print\Command' \
        'HKCR\Directory\shell\Print with Filter...\Command' 'HKCR\Drive\shell\Print with Filter...\Command' \
        'HKCR\KOVA\DefaultIcon'; do
        echo "$key = $(reg_value "$key" "")"
    done
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KOVA' "$KOVA_VIEW" 2>/dev/null |
        tr -d '\r' | grep -v '^$'
    # The stored record's fields that the install sets; its last bytes are not the same from run to run.
    local config field
    config=$(config_hex)
    for field in version installationDirectory fontSize useDefaultPrinter printerName; do
        echo "config $field = $(config_field "$config" "$field")"
    done
    echo "Unfinished = $(unfinished_value)"
}

unfinished_value() { reg_value 'HKLM\Software\KOVA' Unfinished "$KOVA_VIEW"; }
payload_whole() { cmp -s "$E2E_WORK/interrupted/KOVA.hlp" "$DEFAULT_DIR_UNIX/KOVA.hlp"; }

# Waits (up to 60 s) until COMMAND succeeds, checking every 20 ms.
wait_for() {  # wait_for COMMAND...
    for _ in $(seq 3000); do "$@" && return 0; sleep 0.02; done
    return 1
}
partial_help_half_written() {
    local size
    size=$(stat -c %s "$DEFAULT_DIR_UNIX/~KOVA.hlp" 2>/dev/null) || return 1
    [ "$size" -ge $((INTERRUPTED_HELP_MIB * 1048576 / 4)) ]
}

# Stops the setup (SIGSTOP) and reads the registry while it stands still; goes on a moment and stops
# it again until KOVA's key holds the record of the install under way.
stop_once_recorded() {
    for _ in $(seq 300); do
        kill -STOP "$SETUP_PID"
        [ -n "$(unfinished_value)" ] && return 0
        kill -CONT "$SETUP_PID"
        sleep 0.05
    done
    return 1
}

# Clicks Install and ends the setup by its process id at POINT; the checks say which point it met.
end_install_at() {  # end_install_at POINT
    open_setup "$INTERRUPTED_SETUP" || return 1
    DEFAULT_DIR=$(default_directory)
    DEFAULT_DIR_UNIX=$(winepath -u "$DEFAULT_DIR" 2>/dev/null)
    click_control "$DIALOG_TITLE" 1
    case $1 in
    before-the-first-file)
        check "the install records itself under way" stop_once_recorded
        check "no payload file is there yet" test ! -e "$DEFAULT_DIR_UNIX/KOVA.exe"
        ;;
    in-the-middle-of-the-large-file)
        check "KOVA.hlp is being written" wait_for partial_help_half_written
        ;;
    after-the-files)
        check "the payload files are written" wait_for test -e "$DEFAULT_DIR_UNIX/KOVA.cnt"
        ;;
    after-the-verbs)
        check "the copy of the setup is in place" wait_for test -e "$DEFAULT_DIR_UNIX/Setup.exe"
        kill -STOP "$SETUP_PID"
        check_equal "the Print verb is registered" "\"$DEFAULT_DIR\\KOVA.exe\" dir=\"%1\"" \
            "$(reg_value 'HKCR\Directory\shell\Print\Command' "")"
        ;;
    esac
    kill -KILL "$SETUP_PID"
    wait_setup 10
    log "ended at $1; the install recorded: [$(unfinished_value)]"
    screenshot "journey-interrupted-$1"
    check "KOVA.hlp is never there in part under its own name" \
        bash -c "[ ! -e '$DEFAULT_DIR_UNIX/KOVA.hlp' ] || cmp -s '$E2E_WORK/interrupted/KOVA.hlp' '$DEFAULT_DIR_UNIX/KOVA.hlp'"
}

# Starts the setup again as a person does, reads that the last installation did not finish, and
# confirms the success box that follows.
start_again_and_complete() {
    start_setup "$INTERRUPTED_SETUP"
    check_equal "the box says the last installation did not finish" \
        "$(string_text IDS_UNFINISHED "$(string_text IDS_UNFINISHED_INSTALLATION)")" \
        "$(answer_box "KOVA Installer" 1 60 journey-interrupted-start-again)"
    check_equal "then the success box" "$(string_text IDS_INSTALL_SUCCESS)" "$(answer_box "KOVA Installer" 1 120)"
    wait_setup 30
    check_equal "exit code" 0 "$SETUP_EXIT"
}

# A setup without payload meets the unfinished install: it says so, and the dialog offers Uninstall.
start_without_payload() {
    start_setup "$JOURNEY_IMAGE"
    check_equal "the box says the last installation did not finish" \
        "$(string_text IDS_UNFINISHED "$(string_text IDS_UNFINISHED_INSTALLATION)")" \
        "$(answer_box "KOVA Installer" 1 60)"
    check_equal "and that this setup carries no files" \
        "Error: SETUP did not have an embedded installation information. KOVA NOT installed!" \
        "$(answer_box "Installation Fatal Error" 1 30)"
    if check "the dialog follows" driver wait-window "$DIALOG_TITLE" 30; then
        check_equal "button 1 reads Update" Update "$(control_text "$DIALOG_TITLE" 1)"
        check_contains "it offers Uninstall" "visible=1" "$(driver state "$DIALOG_TITLE" 3 | tr -d '\r')"
        screenshot journey-interrupted-without-payload
        click_control "$DIALOG_TITLE" 2
    fi
    wait_setup 30
    check_equal "the record stays for a setup with the files" 0x1 "$(unfinished_value)"
}

scenario_journey_install_ended_at_any_point_is_completed_by_the_next_start() {
    local INSTALL_SECONDS=120 uninterrupted point
    interrupted_setup
    install_with_defaults "$INTERRUPTED_SETUP" || return
    uninterrupted=$(installed_state "$DEFAULT_DIR_UNIX")
    check_contains "the uninterrupted install keeps the copy of the setup" "Setup.exe" "$uninterrupted"
    for point in before-the-first-file in-the-middle-of-the-large-file after-the-files after-the-verbs; do
        log "-- $point, in a prefix of its own"
        e2e_stop_driver
        e2e_end_prefix
        rm -rf "$WINEPREFIX"
        e2e_new_prefix "interrupted-$point"
        e2e_start_driver
        interrupted_setup
        if end_install_at "$point"; then
            [ "$point" = before-the-first-file ] && start_without_payload
            if [ -n "$(unfinished_value)" ]; then
                start_again_and_complete
            else
                log "the install had finished before its end: the next start offers Update"
                open_setup "$INTERRUPTED_SETUP" && click_control "$DIALOG_TITLE" 2
                wait_setup 30
            fi
            check_equal "ended $point, then completed: the same files, keys and list entry as an uninterrupted install" \
                "$uninterrupted" "$(installed_state "$DEFAULT_DIR_UNIX")"
        fi
    done
}
