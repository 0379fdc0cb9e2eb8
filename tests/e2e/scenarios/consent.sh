# What the administrator consented to is what gets installed: a setup started from a Downloads
# folder cannot be renamed away while it runs, and one whose path comes to name another file (moved
# on the host, where Windows' sharing rules do not reach) still installs its own payload.

scenario_journey_setup_replaced_after_start_installs_what_was_started() {
    local downloads swapped="$SCENARIO_WORK/swapped"
    downloads=$(downloads_folder)
    mkdir -p "$swapped"
    printf 'help of another setup' >"$swapped/KOVA.hlp"
    check "setup-pack builds the other setup" "$ROOT/build/release/setup-pack" build --image "$JOURNEY_IMAGE" \
        --out "$swapped/Setup.exe" "$E2E_BUILD/KOVA.exe" "$swapped/KOVA.hlp" "$ROOT/payload/KOVA.cnt"
    cp "$JOURNEY_SETUP" "$downloads/Setup.exe"
    open_setup "$downloads/Setup.exe" || return
    DEFAULT_DIR=$(default_directory)
    DEFAULT_DIR_UNIX=$(winepath -u "$DEFAULT_DIR" 2>/dev/null)

    # Another program of the same user renames the running setup to put its own in its place.
    wine cmd /c ren 'C:\users\root\Downloads\Setup.exe' Setup-renamed.exe >/dev/null 2>&1
    check "the running setup cannot be renamed" test -f "$downloads/Setup.exe" -a ! -e "$downloads/Setup-renamed.exe"
    mv "$downloads/Setup.exe" "$downloads/Setup-moved.exe"
    cp "$swapped/Setup.exe" "$downloads/Setup.exe"

    install_and_confirm
    check "KOVA.hlp is the one of the setup that was started" cmp -s "$ROOT/payload/KOVA.hlp" "$DEFAULT_DIR_UNIX/KOVA.hlp"
    check "the kept Setup.exe is the one that was started" cmp -s "$JOURNEY_SETUP" "$DEFAULT_DIR_UNIX/Setup.exe"
}
