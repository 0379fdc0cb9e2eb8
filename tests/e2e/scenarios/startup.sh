# Start-up: the dialog comes up, ends with exit code 0, and "build" mode runs only for the exact word.

# Lays out drive e: as the build machine's fixed input paths.
stage_build_inputs() {
    local staging="$SCENARIO_WORK/staging-${1}"
    rm -rf "$staging"
    mkdir -p "$staging/visual~1/projects/setup/release" "$staging/visual~1/projects/KOVA/release"
    cp "$E2E_BUILD/setup.exe" "$staging/visual~1/projects/setup/release/setup.exe"
    cp "$E2E_BUILD/KOVA.exe" "$staging/visual~1/projects/KOVA/release/KOVA.exe"
    cp "$ROOT/payload/KOVA.hlp" "$ROOT/payload/KOVA.cnt" "$staging/visual~1/projects/KOVA/"
    ln -sfn "$staging" "$WINEPREFIX/dosdevices/e:"
    STAGING=$staging
}

credits_text() {
    python3 - "$E2E_BUILD/resources/strings.rc" <<'PY'
import re, sys
for line in open(sys.argv[1], encoding="latin-1"):
    m = re.match(r'\s*IDS_CREDITS\s+"((?:[^"]|"")*)"\s*$', line)
    if m:
        print(m.group(1).replace('""', '"'), end="")
PY
}

unscramble() {
    python3 - "$1" <<'PY'
import sys
e = open(sys.argv[1], "rb").read()
n = e[0] + 256 * e[1]
print(bytes(e[i + 2] ^ e[i] for i in range(n)).decode("latin-1"), end="")
PY
}

scenario_dialog_opens_and_close_box_ends_with_zero() {
    start_setup "$SETUP"
    check "dialog \"$DIALOG_TITLE\" appears" driver wait-window "$DIALOG_TITLE" 30
    screenshot startup-dialog
    close_box "$DIALOG_TITLE"
    wait_setup
    check_equal "exit code after the close box" 0 "$SETUP_EXIT"
}

scenario_cancel_ends_with_zero() {
    start_setup "$SETUP"
    driver wait-window "$DIALOG_TITLE" 30
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
    check_equal "exit code after Cancel" 0 "$SETUP_EXIT"
}

scenario_build_mode_only_for_the_word_build() {
    stage_build_inputs variants
    local expected="$SCENARIO_WORK/expected-setup.exe"
    "$ROOT/build/release/setup-pack" build --no-digest --image "$STAGING/visual~1/projects/setup/release/setup.exe" \
        --out "$expected" "$STAGING/visual~1/projects/KOVA/release/KOVA.exe" \
        "$STAGING/visual~1/projects/KOVA/KOVA.hlp" "$STAGING/visual~1/projects/KOVA/KOVA.cnt"
    local credits
    credits=$(credits_text)
    for tail in build BUILD bUiLd "build x" /build ""; do
        rm -f "$DRIVE_C/setup.exe" "$DRIVE_C/msg.bin"
        # A longer old side file must not leave stale bytes behind.
        head -c 5000 /dev/zero > "$DRIVE_C/msg.bin"
        if [ -n "$tail" ]; then start_setup "$SETUP" $tail; else start_setup "$SETUP"; fi
        check "[$tail] dialog appears" driver wait-window "$DIALOG_TITLE" 30
        click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
        wait_setup
        check_equal "[$tail] exit code" 0 "$SETUP_EXIT"
        case "$tail" in
            build | BUILD | bUiLd)
                check "[$tail] c:\\setup.exe equals setup-pack's output" cmp -s "$expected" "$DRIVE_C/setup.exe"
                check_equal "[$tail] c:\\msg.bin holds the scrambled credits" "$credits" "$(unscramble "$DRIVE_C/msg.bin")"
                check_equal "[$tail] c:\\msg.bin is exactly the block" $((${#credits} + 3)) "$(stat -c %s "$DRIVE_C/msg.bin")"
                check "[$tail] setup-pack verify accepts it" "$ROOT/build/release/setup-pack" verify "$DRIVE_C/setup.exe"
                ;;
            *)
                check "[$tail] no build mode: no c:\\setup.exe" test ! -e "$DRIVE_C/setup.exe"
                ;;
        esac
    done
}

scenario_build_mode_with_a_missing_input_writes_no_setup() {
    stage_build_inputs missing
    rm "$STAGING/visual~1/projects/KOVA/KOVA.hlp"
    echo "an earlier build" >"$DRIVE_C/setup.exe"
    start_setup "$SETUP" build
    local text
    text=$(answer_box "Build Error" $IDOK)
    check_equal "the box names the missing input" 'Build mode could not read "e:\visual~1\projects\KOVA\KOVA.hlp".
No setup program was written to c:\setup.exe.' "$text"
    check "dialog appears afterwards" driver wait-window "$DIALOG_TITLE" 30
    click_control "$DIALOG_TITLE" $IDC_CANCEL_BUTTON
    wait_setup
    check_equal "exit code" 0 "$SETUP_EXIT"
    check "no c:\\setup.exe is left, not even the earlier one" test ! -e "$DRIVE_C/setup.exe"
}
