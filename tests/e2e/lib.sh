# Shared helpers of the Wine scenarios, sourced by tests/e2e/fixture and tests/e2e/scenario (which
# CTest runs), bench/startup.sh, bench/install_wine.sh and scripts/demo; expects ROOT (the checkout)
# to be set. This file sets up the environment every Wine command sees and runs the scenarios; the
# helpers live in tests/e2e/lib/, one file per job:
#   fixtures.sh  display, scheduler and printer, template prefix, fresh prefixes and what is seeded
#   input.sh     starting the setup, clicks, keys, typing, answering message boxes
#   checks.sh    the check primitives, registry, texts, screenshots and pixels, the stored record
# A helper used by more than one scenario file lives there, and nowhere else: the library and the
# scenario files share one shell, so each function name may be defined only once among them.

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
E2E_TEMPLATE="$E2E_WORK/template"
# The version the build was configured with (the KOVA_VERSION setting).
KOVA_VERSION=$(sed -n 's/^KOVA_VERSION:[A-Z]*=//p' "$E2E_BUILD/CMakeCache.txt")
DIALOG_TITLE="KOVA $KOVA_VERSION Setup"
# The setup's control identifiers by name (IDC_INSTALL, IDC_INSTALLATION_DIRECTORY ...), generated
# from setup/resources/resource_ids.h by the build; and those of the windows Windows itself makes:
# the buttons of a message box and its text (the static control 0xFFFF), and the controls of the
# file dialog the folder chooser changes (its folder label stc4, file name edt1, file types cmb1).
source "$E2E_BUILD/resources/resource_ids.sh"
IDOK=1 IDCANCEL=2 IDYES=6 IDNO=7 MESSAGE_BOX_TEXT=65535
CHOOSER_FOLDER_LABEL=1091 CHOOSER_FILE_NAME=1152 CHOOSER_FILE_TYPES=1136
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
# Each is written whole beside its place and then renamed into it: scenarios running side by side
# may be starting one of them at that moment.
e2e_wine_command() {  # e2e_wine_command NAME COMMAND...
    local file="$E2E_WINE_BIN/$1"
    shift
    printf '#!/bin/sh\nexec %s "$@"\n' "$*" >"$file.$$"
    chmod +x "$file.$$"
    mv -f "$file.$$" "$file"
}
e2e_wine_commands() {
    mkdir -p "$E2E_WINE_BIN"
    e2e_wine_command wine "$WINELOADER"
    e2e_wine_command wineserver "$WINESERVER"
    local program
    for program in wineboot winepath; do e2e_wine_command "$program" "$WINELOADER" "$program.exe"; done
}
e2e_wine_commands
case ":$PATH:" in *":$E2E_WINE_BIN:"*) ;; *) export PATH="$E2E_WINE_BIN:$PATH" ;; esac

# The prefixes see Wine's own fonts and those the template puts into C:\windows\Fonts, never the
# host's: a font package on the host (fonts-liberation, say) would otherwise change how every text is
# drawn.
mkdir -p "$E2E_WORK/fontconfig"
cat >"$E2E_WORK/fontconfig/fonts.conf.$$" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><cachedir>$E2E_WORK/fontconfig/cache</cachedir></fontconfig>
EOF
mv -f "$E2E_WORK/fontconfig/fonts.conf.$$" "$E2E_WORK/fontconfig/fonts.conf"  # whole, as above
export FONTCONFIG_FILE="$E2E_WORK/fontconfig/fonts.conf"

# The setup under test, with its payload. JOURNEY_SETUP and JOURNEY_IMAGE (the image without
# archive) may name another build of the setup, to show what the journeys find in it.
SETUP="$E2E_BUILD/Setup.exe"
JOURNEY_SETUP="${JOURNEY_SETUP:-$SETUP}"
JOURNEY_IMAGE="${JOURNEY_IMAGE:-$E2E_BUILD/setup.exe}"

# The test driver: finds windows and reads their state (see tests/e2e/driver.cpp). A scenario starts
# one driver process that serves all its calls (e2e_start_driver): a Wine process less per call.
# Calls start a process of their own where none serves, for the commands that take long by design
# (hold, time-to-window, which run in the background), and once the served process has ended (a
# command found no window or control).
driver() {
    case "${1:-}" in hold | time-to-window) wine "$E2E_BUILD/e2e-driver.exe" "$@"; return ;; esac
    if [ -n "${E2E_DRIVER_SERVER:-}" ] && [[ "$*" != *[$'\t\n']* ]] && kill -0 "$E2E_DRIVER_SERVER" 2>/dev/null; then
        local tag="$RANDOM$RANDOM"
        if { (IFS=$'\t' && printf '%s\n' "$tag"$'\t'"$*") >&"$E2E_DRIVER_IN"; } 2>/dev/null; then
            driver_answer "$tag"
            return
        fi
    fi
    wine "$E2E_BUILD/e2e-driver.exe" "$@"
}
# Prints the served process's output up to the end of call TAG and returns its exit code; the ends
# of earlier calls whose reader went away are passed over.
driver_answer() {  # driver_answer TAG
    local line
    while IFS= read -r line <&"$E2E_DRIVER_OUT"; do
        line=${line%$'\r'}
        case "$line" in
            *$'\x1f'"$1 "*)
                [ -n "${line%%$'\x1f'*}" ] && printf '%s\n' "${line%%$'\x1f'*}"
                return "${line##* }"
                ;;
            *$'\x1f'*) ;;
            *) printf '%s\n' "$line" ;;
        esac
    done
    return 1
}
# The shell passes a coprocess's own pipes on to command substitutions only, not to pipelines
# (driver ... | tr); copies of them reach both.
e2e_start_driver() {
    coproc E2E_DRIVER { exec wine "$E2E_BUILD/e2e-driver.exe" serve; }
    exec {E2E_DRIVER_IN}>&"${E2E_DRIVER[1]}" {E2E_DRIVER_OUT}<&"${E2E_DRIVER[0]}"
    E2E_DRIVER_SERVER=$E2E_DRIVER_PID
}
# Programs the scenario started may hold copies of the pipes, so the served process is ended by its id.
e2e_stop_driver() {
    [ -n "${E2E_DRIVER_SERVER:-}" ] || return 0
    exec {E2E_DRIVER_IN}>&- {E2E_DRIVER_OUT}<&-
    kill "$E2E_DRIVER_SERVER" 2>/dev/null
    wait "$E2E_DRIVER_SERVER" 2>/dev/null
    E2E_DRIVER_SERVER=""
}

source "$ROOT/tests/e2e/lib/fixtures.sh"
source "$ROOT/tests/e2e/lib/input.sh"
source "$ROOT/tests/e2e/lib/checks.sh"

# The library and the scenario files share one shell, where a second definition of a function
# silently replaces the first: names each function defined more than once among them, with both
# places, and fails if there is one.
e2e_check_unique_functions() {
    local duplicates
    duplicates=$(cd "$ROOT" && grep -HnE '^[[:space:]]*(function[[:space:]]+)?[A-Za-z_][A-Za-z0-9_]*[[:space:]]*\(\)[[:space:]]*\{' \
        tests/e2e/lib.sh tests/e2e/lib/*.sh tests/e2e/scenarios/*.sh |
        awk '{
            split($0, part, ":")
            place = part[1] ":" part[2]
            name = substr($0, length(place) + 2)
            sub(/^[[:space:]]*(function[[:space:]]+)?/, "", name)
            sub(/[[:space:]]*\(.*$/, "", name)
            if (name in first) printf "function %s is defined twice: in %s and in %s\n", name, first[name], place
            else first[name] = place
        }')
    [ -z "$duplicates" ] && return 0
    sed 's/^/    /' <<<"$duplicates"
    return 1
}

# Runs one scenario function from the scenario files in a fresh prefix; fails when a check failed.
e2e_run_scenario() {  # e2e_run_scenario NAME (without the scenario_ prefix)
    e2e_check_unique_functions || return 1
    for file in "$ROOT"/tests/e2e/scenarios/*.sh; do source "$file"; done
    current_failures=0
    e2e_new_prefix "$1"
    e2e_start_driver
    "scenario_$1"
    e2e_stop_driver
    e2e_end_prefix
    [ "$current_failures" -eq 0 ]
}
