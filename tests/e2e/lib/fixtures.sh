# The fixtures of the Wine scenarios: the display, the private CUPS scheduler and its printer, the
# booted template prefix and the fresh copy of it each scenario gets, and what a scenario seeds into
# its prefix. Part of tests/e2e/lib.sh.

# The processes the fixtures started, for e2e_stop_started.
e2e_started_pids=()

# A display: the caller's when there is one (and E2E_OWN_DISPLAY is not set), else our own Xvfb on
# a display number that no other server holds.
e2e_start_display() {
    if [ -n "${DISPLAY:-}" ] && [ -z "${E2E_OWN_DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local number
    for number in $(shuf -i 90-399); do
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] || break
    done
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    local server=$!
    e2e_started_pids+=("$server")
    export DISPLAY=":$number"
    # Another run may have taken the number at the same moment: then this server has ended.
    for _ in $(seq 100); do
        kill -0 "$server" 2>/dev/null || return 1
        [ -e "/tmp/.X11-unix/X$number" ] && xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A private CUPS scheduler with one file-backed queue gives Wine a local printer. It has its own
# configuration, spool and socket in a fresh temporary folder (whose short path keeps the socket's
# name within its limit) and is reached through CUPS_SERVER, so the machine's own scheduler and
# printers are never touched, and each scenario's queue is its own.
e2e_start_cups() {
    local root
    root=$(mktemp -d "${TMPDIR:-/tmp}/kova-cups.XXXXXX")
    e2e_cups_root=$root
    mkdir -p "$root"/{conf,spool,tmp,state,cache,log}
    cat >"$root/conf/cups-files.conf" <<EOF
FileDevice Yes
SystemGroup root
ServerRoot $root/conf
RequestRoot $root/spool
TempDir $root/tmp
StateDir $root/state
CacheDir $root/cache
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
EOF
    cat >"$root/conf/cupsd.conf" <<EOF
Listen $root/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
    /usr/sbin/cupsd -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" </dev/null >/dev/null 2>&1 &
    e2e_started_pids+=($!)
    export CUPS_SERVER="$root/cups.sock"
    for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
    add_printer
}
add_printer() { lpadmin -p KOVA_Laser -E -v file:///dev/null; }
# Only the private scheduler's queue: CUPS_SERVER points every lp command at it.
remove_printers() { lpadmin -x KOVA_Laser; }

# The machine's own queues as its scheduler lists them (none when no scheduler answers).
machine_queues() { env -u CUPS_SERVER lpstat -e 2>/dev/null | sort; }

# Ends what e2e_start_display and e2e_start_cups started, waits until it is gone, and removes the
# scheduler's folder.
e2e_cups_root=""
e2e_stop_started() {
    local pid
    for pid in "${e2e_started_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${e2e_started_pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    done
    e2e_started_pids=()
    [ -n "$e2e_cups_root" ] && rm -rf "$e2e_cups_root"
    e2e_cups_root=""
}

# The booted template prefix, made once per build tree and again whenever this recipe changes (its
# .booted file holds the recipe's checksum): 64-bit, a virtual desktop so windows get frames, and no
# crash dialog (a crash fails the test instead of hanging it).
e2e_template_recipe() { declare -f e2e_template | md5sum | cut -d' ' -f1; }
e2e_template() {
    [ "$(cat "$E2E_TEMPLATE/.booted" 2>/dev/null)" = "$(e2e_template_recipe)" ] && return
    rm -rf "$E2E_TEMPLATE"
    mkdir -p "$E2E_WORK"
    WINEPREFIX="$E2E_TEMPLATE" wineboot --init >"$E2E_WORK/wineboot.log" 2>&1 ||
        { echo "wineboot failed:"; tail -5 "$E2E_WORK/wineboot.log"; return 1; }
    WINEPREFIX="$E2E_TEMPLATE" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    WINEPREFIX="$E2E_TEMPLATE" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    WINEPREFIX="$E2E_TEMPLATE" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 800x600 /f >/dev/null 2>&1
    # "MS Sans Serif" is a bitmap font on Windows, whose smallest size sets the dialog's units;
    # Wine's scalable stand-in would draw the 4-point dialog font at 4 points.
    cp /usr/share/wine/fonts/sserife.fon "$E2E_TEMPLATE/drive_c/windows/Fonts/"
    # The TrueType faces the printer-font list offers, the same on every host (scripts/deps installs them).
    cp /usr/share/fonts/truetype/dejavu/DejaVu{Sans,Sans-Bold,Serif,Serif-Bold,SansMono}.ttf \
        "$E2E_TEMPLATE/drive_c/windows/Fonts/"
    WINEPREFIX="$E2E_TEMPLATE" wineserver -w
    e2e_template_recipe >"$E2E_TEMPLATE/.booted"
}

# A fresh prefix for one scenario, the template's large system folder hard-linked and the rest
# copied, and a fresh folder for what the scenario makes on the host (SCENARIO_WORK): scenarios run
# side by side, so none writes where another does.
e2e_new_prefix() {
    export WINEPREFIX="$E2E_WORK/prefix-$1"
    SCENARIO_WORK="$E2E_WORK/work-$1"
    rm -rf "$WINEPREFIX" "$SCENARIO_WORK"
    mkdir -p "$SCENARIO_WORK"
    cp -al "$E2E_TEMPLATE" "$WINEPREFIX"
    for reg in "$WINEPREFIX"/*.reg; do cp --remove-destination "$E2E_TEMPLATE/$(basename "$reg")" "$reg"; done
    DRIVE_C="$WINEPREFIX/drive_c"
}

e2e_end_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# The user's Downloads folder of the prefix, made a folder of its own: Wine links it to the home
# folder of the machine, which a test must not write into.
downloads_folder() {
    local downloads="$DRIVE_C/users/root/Downloads"
    [ -L "$downloads" ] && rm "$downloads"
    mkdir -p "$downloads"
    echo "$downloads"
}

# KOVA's stored record, seeded into the prefix's registry with "wine reg import".
seed_config() {  # seed_config VERSION DIRECTORY: a whole record of that version, font size 11
    local file="$SCENARIO_WORK/seed.reg"
    /usr/bin/python3 - "$1" "$2" "$file" "$(record_layout)" <<'PY'
import struct, sys
version, directory, path = sys.argv[1].encode(), sys.argv[2].encode("latin-1"), sys.argv[3]
at = {name: int(offset) for name, offset, _width, _kind in map(str.split, sys.argv[4].splitlines())}
size = max(int(offset) + int(width) for _name, offset, width, _kind in map(str.split, sys.argv[4].splitlines()))
record = bytearray(size)
record[at["version"]:at["version"] + len(version)] = version
struct.pack_into("<i", record, at["currentTab"], 1)
struct.pack_into("<i", record, at["currentTextPage"], 1)
record[at["pickFontEveryTime"]] = 1
struct.pack_into("<i", record, at["fontSize"], 11)
record[at["useDefaultPrinter"]] = 1
record[at["installationDirectory"]:at["installationDirectory"] + len(directory)] = directory
body = ",".join(f"{b:02x}" for b in record)
with open(path, "w", newline="\r\n") as out:
    out.write('REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\KOVA]\n"config"=hex:' + body + "\n")
PY
    wine reg import "$file" "$KOVA_VIEW" >/dev/null 2>&1
}
