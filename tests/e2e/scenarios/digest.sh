# The digest record under Wine: a signed setup still finds its archive and record, checks them and
# installs; a copy with one changed body byte shows the damaged-archive message and writes nothing.
# Install is clicked with the pointer into the directory the dialog offers.

PACK="$ROOT/build/release/setup-pack"

# A throwaway certificate and key, made at test time (CERT, KEY).
make_signing_key() {
    local dir="$SCENARIO_WORK/signing"
    mkdir -p "$dir"
    CERT="$dir/cert.pem" KEY="$dir/key.pem"
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$KEY" -out "$CERT" -days 2 -subj "/CN=KOVA test signer" \
        >/dev/null 2>&1
}

# Starts SETUP, waits for its dialog and reads the directory it offers (OFFERED_DIR, as a Unix path).
open_reading_offered_directory() {
    open_setup "$1" || return 1
    local offered
    offered=$(default_directory)
    OFFERED_DIR=$(winepath -u "$offered" 2>/dev/null)
    [ -n "$offered" ] || fail "no installation directory offered"
}

scenario_signed_setup_checks_its_digests_and_installs() {
    make_signing_key
    local signed="$SCENARIO_WORK/signed/Setup.exe"
    mkdir -p "$(dirname "$signed")"
    cp "$E2E_BUILD/Setup.exe" "$signed"
    check "scripts/sign signs the setup" "$ROOT/scripts/sign" "$signed" --cert "$CERT" --key "$KEY"
    check "osslsigncode verify accepts the signature" \
        bash -c "osslsigncode verify -CAfile '$CERT' -in '$signed' 2>/dev/null | grep -qx Succeeded"
    local verify
    verify=$("$PACK" verify "$signed")
    check_contains "setup-pack verify checks the digests" "3 bodies, SHA-256 verified" "$verify"
    check_contains "setup-pack verify sees the signature after the archive" "follows the archive" "$verify"

    open_reading_offered_directory "$signed"
    install_and_confirm
    check "KOVA.hlp installed from the signed setup" cmp -s "$ROOT/payload/KOVA.hlp" "$OFFERED_DIR/KOVA.hlp"
    check "the signed Setup.exe copied whole" cmp -s "$signed" "$OFFERED_DIR/Setup.exe"
}

scenario_body_digest_mismatch_shows_the_damaged_archive_message_and_writes_nothing() {
    local damaged="$SCENARIO_WORK/damaged/Setup.exe" hlp
    mkdir -p "$(dirname "$damaged")"
    hlp=$("$PACK" list "$E2E_BUILD/Setup.exe" | awk '$1 == "KOVA.hlp" { print $4 }')
    python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[int(sys.argv[3])] ^= 1; open(sys.argv[2], "wb").write(d)' \
        "$E2E_BUILD/Setup.exe" "$damaged" $((hlp + 10))
    local verify
    verify=$("$PACK" verify "$damaged" 2>&1 >/dev/null)
    check_equal "setup-pack verify names the entry" \
        "setup-pack: $damaged: the setup archive is damaged: entry 2 \"KOVA.hlp\": its body differs from its SHA-256 in the digest record" \
        "$verify"

    open_reading_offered_directory "$damaged"
    click_control "$DIALOG_TITLE" $IDC_INSTALL
    driver wait-window "Installation Fatal Error" 30 >/dev/null && screenshot digest-damaged-archive
    local text
    text=$(answer_box "Installation Fatal Error" $IDOK 30 | tr -d '\r')
    check_equal "the damaged-archive box" \
        "Error: SETUP did not have an embedded installation information. KOVA NOT installed!" "$text"
    wait_setup 30
    check_equal "exit code" 0 "$SETUP_EXIT"
    for file in KOVA.exe KOVA.hlp KOVA.cnt Setup.exe; do
        check "no $file written" test ! -e "$OFFERED_DIR/$file"
    done
    check "no configuration stored" kova_key_absent
    check "no shell verbs" reg_key_absent 'HKCR\Directory\shell\Print'
}
