# Shared helpers of the Wine scenarios: display, scheduler, prefixes, the driver and checks.
# Sourced by tests/e2e/fixture and tests/e2e/scenario (which CTest runs), bench/startup.sh and
# scripts/demo; expects ROOT (the checkout) to be set.

# Which setup the scenarios run, E2E_SETUP: "win32", the shipped 32-bit Setup.exe, where the host can
# execute 32-bit x86 code; otherwise "win64", the x86-64 build of the same sources. Either runs in a
# 64-bit prefix, as setups run on the 64-bit Windows users have: the 32-bit one under WOW64.
if [ -z "${E2E_SETUP:-}" ]; then
    E2E_SETUP=win64
    "$ROOT/scripts/can-execute" i386 && E2E_SETUP=win32
fi
export E2E_SETUP
E2E_BUILD="$ROOT/build/$E2E_SETUP"
E2E_WORK="$ROOT/build/e2e"
E2E_SCREENS="$ROOT/dist/screens"
E2E_FIXTURES="$E2E_WORK/fixtures"
E2E_TEMPLATE="$E2E_WORK/template"
# The version the build was configured with (the KOVA_VERSION setting).
KOVA_VERSION=$(sed -n 's/^KOVA_VERSION:[A-Z]*=//p' "$E2E_BUILD/CMakeCache.txt")
DIALOG_TITLE="KOVA $KOVA_VERSION Setup"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# What the setup under test sees of the 64-bit Windows it runs on. A 32-bit setup has the 32-bit
# registry view (HKLM\Software is Software\Wow6432Node; HKCR's verb keys are shared by both views)
# and its system directory is SysWOW64. KOVA_VIEW is the view of KOVA's own key as KOVA.exe of the
# same build reads it; the shell verbs are read as the 64-bit Explorer reads them.
if [ "$E2E_SETUP" = win32 ]; then
    KOVA_VIEW=/reg:32 SETUP_SYSTEM_DIR='C:\windows\syswow64'
else
    KOVA_VIEW=/reg:64 SETUP_SYSTEM_DIR='C:\windows\system32'
fi
e2e_which_setup() {
    if [ "$E2E_SETUP" = win32 ]; then
        echo "the shipped 32-bit Setup.exe in a 64-bit prefix"
    else
        echo "the 64-bit build of the same sources: this host cannot execute 32-bit code"
    fi
}

# Wine's own loader and server for 64-bit prefixes, whatever Debian's wrappers would pick: they
# prefer the 32-bit loader whenever wine32 is installed, even where the host cannot execute it.
# The 64-bit loader starts a 32-bit program through wine32 itself, as WOW64 does.
E2E_WINE_BIN="$E2E_WORK/wine-bin"
export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
e2e_wine_commands() {
    mkdir -p "$E2E_WINE_BIN"
    printf '#!/bin/sh\nexec %s "$@"\n' "$WINELOADER" >"$E2E_WINE_BIN/wine"
    printf '#!/bin/sh\nexec %s "$@"\n' "$WINESERVER" >"$E2E_WINE_BIN/wineserver"
    local program
    for program in wineboot winepath; do
        printf '#!/bin/sh\nexec %s %s.exe "$@"\n' "$WINELOADER" "$program" >"$E2E_WINE_BIN/$program"
    done
    chmod +x "$E2E_WINE_BIN"/*
}
e2e_wine_commands
case ":$PATH:" in *":$E2E_WINE_BIN:"*) ;; *) export PATH="$E2E_WINE_BIN:$PATH" ;; esac

# The prefixes see Wine's own fonts and those the template puts into C:\windows\Fonts, never the
# host's: a font package on the host (fonts-liberation, say) would otherwise change how every text is
# drawn.
mkdir -p "$E2E_WORK/fontconfig"
cat >"$E2E_WORK/fontconfig/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><cachedir>$E2E_WORK/fontconfig/cache</cachedir></fontconfig>
EOF
export FONTCONFIG_FILE="$E2E_WORK/fontconfig/fonts.conf"

e2e_started_pids=()
current_failures=0

log() { printf '    %s\n' "$*"; }
fail() {
    printf '    FAIL: %s\n' "$*"
    current_failures=$((current_failures + 1))
}
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then log "ok: $what"; else fail "$what"; fi
}
check_equal() {  # check_equal DESCRIPTION EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then log "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
check_contains() {  # check_contains DESCRIPTION NEEDLE HAYSTACK
    case "$3" in *"$2"*) log "ok: $1" ;; *) fail "$1: [$2] not in [$3]" ;; esac
}

# A display: the caller's when there is one (and E2E_OWN_DISPLAY is not set), else our own Xvfb on
# a display number that no other server holds.
e2e_start_display() {
    if [ -n "${DISPLAY:-}" ] && [ -z "${E2E_OWN_DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local number
    for number in $(shuf -i 90-399); do
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] || break
    done
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    e2e_started_pids+=($!)
    export DISPLAY=":$number"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && return; sleep 0.1; done
}

# A private CUPS scheduler with one file-backed queue gives Wine a local printer. It has its own
# configuration, spool and socket under the work folder and is reached through CUPS_SERVER, so the
# machine's own scheduler and printers are never touched.
e2e_start_cups() {
    local root="$E2E_WORK/cups"
    rm -rf "$root"
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

# A registry value of the prefix as "reg query" prints it: binary values as hex, strings as text.
# VIEW is /reg:64 (the default: what 64-bit programs such as Explorer see) or /reg:32.
reg_value() {  # reg_value KEY NAME ("" for the default value) [VIEW]
    local which=(/v "$2")
    [ -z "$2" ] && which=(/ve)
    wine reg query "$1" "${which[@]}" "${3:-/reg:64}" 2>/dev/null | /usr/bin/python3 -c '
import re, sys
for line in sys.stdin:
    m = re.match(r"\s+(.*?)\s+(REG_\w+)\s*(.*?)\r?$", line)
    if m:
        print(m.group(3))
        break'
}
reg_key_exists() { wine reg query "$1" "${2:-/reg:64}" >/dev/null 2>&1; }  # reg_key_exists KEY [VIEW]
reg_key_absent() { ! reg_key_exists "$@"; }
# KOVA's own key, in the view of KOVA.exe.
kova_key_absent() { reg_key_absent 'HKLM\Software\KOVA' "$KOVA_VIEW"; }

e2e_stop_started() {
    for pid in "${e2e_started_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
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

# The display and scheduler that tests/e2e/fixture started, and its booted template.
e2e_use_fixtures() {
    local fixture
    for fixture in display cups; do
        [ -f "$E2E_FIXTURES/$fixture" ] || { echo "no $fixture: run the scenarios through ctest (fixture e2e.$fixture)"; return 1; }
        source "$E2E_FIXTURES/$fixture"
    done
    [ -f "$E2E_TEMPLATE/.booted" ] || { echo "no booted template prefix: run the scenarios through ctest"; return 1; }
}

# A fresh prefix for one scenario: the template's large system folder hard-linked, the rest copied.
e2e_new_prefix() {
    export WINEPREFIX="$E2E_WORK/prefix-$1"
    rm -rf "$WINEPREFIX"
    cp -al "$E2E_TEMPLATE" "$WINEPREFIX"
    for reg in "$WINEPREFIX"/*.reg; do cp --remove-destination "$E2E_TEMPLATE/$(basename "$reg")" "$reg"; done
    DRIVE_C="$WINEPREFIX/drive_c"
}

e2e_end_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

driver() { wine "$E2E_BUILD/e2e-driver.exe" "$@"; }

# Starts the setup in the background (SETUP_PID) with the given command-line tail.
start_setup() {
    local program=$1
    shift
    (cd "$(dirname "$program")" && exec wine "$(basename "$program")" "$@") >/dev/null 2>&1 &
    SETUP_PID=$!
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
# A text of the string table, as the program shows it: string_text IDS_NAME [ARGUMENT for its %s].
string_text() {
    python3 - "$E2E_BUILD/resources/strings.rc" "$1" "${2:-}" <<'PY'
import re, sys
for line in open(sys.argv[1], encoding="latin-1"):
    m = re.match(r'\s*' + sys.argv[2] + r'\s+"((?:[^"]|"")*)"\s*$', line)
    if m:
        print(m.group(1).replace('""', '"').replace("\\n", "\n").replace("%s", sys.argv[3]))
PY
}
# A control's text as the driver reads it.
control_text() { driver state "$1" "$2" | tr -d '\r' | sed 's/^.* checked=[^ ]* text=//'; }
# A click on a label of the setup dialog's tab strip; each label is a sixth of the strip wide.
click_tab() {  # click_tab INDEX
    local left top right
    read -r left top right _ < <(driver rect "$DIALOG_TITLE" 1000 | tr -d '\r')
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
# The control that has the keyboard focus in the window TITLE: "ID CLASS", or "none".
focused() { driver focus "$1" | tr -d '\r'; }

screenshot() {
    mkdir -p "$E2E_SCREENS"
    sleep 0.5
    import -display "$DISPLAY" -window root -crop 800x600+0+0 "$E2E_SCREENS/$1.png" 2>/dev/null &&
        log "screenshot: dist/screens/$1.png"
}

# Runs one scenario function from the scenario files in a fresh prefix; fails when a check failed.
e2e_run_scenario() {  # e2e_run_scenario NAME (without the scenario_ prefix)
    for file in "$ROOT"/tests/e2e/scenarios/*.sh; do source "$file"; done
    current_failures=0
    e2e_new_prefix "$1"
    "scenario_$1"
    e2e_end_prefix
    [ "$current_failures" -eq 0 ]
}

# Counts the pure red, green and yellow label pixels in the tab strip of the setup dialog, from a
# screenshot: "red=N green=N yellow=N" for each of the four tab labels, left to right.
tab_label_colours() {
    local shot="$E2E_WORK/labels.png"
    sleep 0.5
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null
    read -r left top right _ < <(driver rect "$DIALOG_TITLE" 1000 | tr -d '\r')
    /usr/bin/python3 - "$shot" "$left" "$top" "$right" <<'PY'
import subprocess, sys
shot, left, top, right = sys.argv[1], *map(int, sys.argv[2:])
width, height = right - left, 22
raw = subprocess.run(["convert", shot, "-crop", f"{width}x{height}+{left}+{top}", "-depth", "8", "rgb:-"],
                     capture_output=True, check=True).stdout
colours = {(255, 0, 0): "red", (0, 255, 0): "green", (240, 240, 0): "yellow"}
quarter = width // 6  # each label is a sixth of the strip wide, from its left edge
for label in range(4):
    counts = {name: 0 for name in colours.values()}
    for y in range(height):
        for x in range(label * quarter, (label + 1) * quarter):
            at = 3 * (y * width + x)
            name = colours.get(tuple(raw[at:at + 3]))
            if name:
                counts[name] += 1
    print(" ".join(f"{k}={v}" for k, v in counts.items()))
PY
}

# The colour most of a label's coloured pixels have: red, green, yellow or none.
label_colour() {  # label_colour TAB-INDEX (after tab_label_colours output in LABELS)
    sed -n "$(($1 + 1))p" <<<"$LABELS" | /usr/bin/python3 -c '
import sys
counts = dict(part.split("=") for part in sys.stdin.read().split())
best = max(counts, key=lambda k: int(counts[k]))
print(best if int(counts[best]) > 3 else "none")'
}

# The stored "config" value, as a hex string, and fields of it by name. Names, offsets and widths
# come from the SetupDialog header through the host tool record-layout ("name offset width kind").
E2E_RECORD_LAYOUT="$ROOT/build/release/record-layout"
record_layout() { "$E2E_RECORD_LAYOUT"; }
record_size() { record_layout | awk '{ end = $2 + $3 } END { print end }'; }
config_hex() { reg_value 'HKLM\Software\KOVA' config "$KOVA_VIEW"; }
config_field() {  # config_field HEX FIELD: an int or flag as a number, a text up to its first zero
    /usr/bin/python3 -c '
import struct, sys
data, wanted, layout = bytes.fromhex(sys.argv[1]), sys.argv[2], sys.argv[3]
fields = {name: (int(offset), int(width), kind) for name, offset, width, kind in map(str.split, layout.splitlines())}
offset, width, kind = fields[wanted]
value = data[offset:offset + width]
print(struct.unpack("<i", value)[0] if kind == "int" else value[0] if kind == "flag"
      else value.split(b"\0")[0].decode("latin-1"))' "$1" "$2" "$(record_layout)"
}
