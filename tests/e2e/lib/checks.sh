# Checks and readings of the Wine scenarios: the check primitives, the registry, the texts of the
# string table and of controls, screenshots and pixels, and the stored record. Part of
# tests/e2e/lib.sh.

# The failed checks of the running scenario.
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
# The directory the setup dialog offers: for a first install, the Programs folder.
default_directory() { control_text "$DIALOG_TITLE" $IDC_INSTALLATION_DIRECTORY; }
# The control that has the keyboard focus in the window TITLE: "ID CLASS", or "none".
focused() { driver focus "$1" | tr -d '\r'; }

# A screenshot of the Wine desktop, saved as dist/screens/NAME.png.
screenshot() {
    mkdir -p "$E2E_SCREENS"
    sleep 0.5
    import -display "$DISPLAY" -window root -crop 800x600+0+0 "$E2E_SCREENS/$1.png" 2>/dev/null &&
        log "screenshot: dist/screens/$1.png"
}

# Counts the pure red, green and yellow label pixels in the tab strip of the setup dialog, from a
# screenshot: "red=N green=N yellow=N" for each of the four tab labels, left to right.
tab_label_colours() {
    local shot="$SCENARIO_WORK/labels.png"
    sleep 0.5
    import -display "$DISPLAY" -window root "$shot" 2>/dev/null
    read -r left top right _ < <(driver rect "$DIALOG_TITLE" $IDC_TAB_STRIP | tr -d '\r')
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
