#!/usr/bin/env bash
# Time from process start to the visible setup dialog under Wine, in one run (median of 7 starts
# each, alternating), against two programs built the same way: the floor that dialog 107 itself
# sets, the template shown with a procedure that does nothing (goal: ratio at most 1.15), and, for
# information, a minimal dialog (a smaller template than the setup's, so not a floor of its work).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/tests/e2e/lib.sh"
trap '[ -z "${WINEPREFIX:-}" ] || e2e_end_prefix; e2e_stop_started' EXIT
E2E_OWN_DISPLAY=1 e2e_start_display
e2e_start_cups >/dev/null 2>&1 || true
e2e_template
e2e_new_prefix bench-startup
cp "$E2E_BUILD/Setup.exe" "$E2E_BUILD/minimal-dialog.exe" "$E2E_BUILD/template-dialog.exe" "$DRIVE_C/"
wineserver -p 60 >/dev/null 2>&1 || true
driver time-to-window 'C:\minimal-dialog.exe' "Minimal Dialog" >/dev/null  # warm the prefix up
setup=()
minimal=()
floor=()
for _ in 1 2 3 4 5 6 7; do
    minimal+=("$(driver time-to-window 'C:\minimal-dialog.exe' "Minimal Dialog" | tr -d '\r')")
    floor+=("$(driver time-to-window 'C:\template-dialog.exe' "Dialog 107" | tr -d '\r')")
    setup+=("$(driver time-to-window 'C:\Setup.exe' "$DIALOG_TITLE" | tr -d '\r')")
done
python3 - "${setup[*]}" "${minimal[*]}" "${floor[*]}" <<'PY'
import statistics, sys
setup, minimal, floor = (statistics.median(map(float, a.split())) for a in sys.argv[1:4])
def verdict(ok): return "met" if ok else "MISSED"
print(f"start-up to visible dialog under Wine: Setup.exe {setup:.0f} ms vs minimal dialog {minimal:.0f} ms"
      f" = ratio {setup / minimal:.2f} (information: a smaller template)")
print(f"start-up to visible dialog under Wine: Setup.exe {setup:.0f} ms vs dialog 107 alone {floor:.0f} ms"
      f" = ratio {setup / floor:.2f} (goal <= 1.15: {verdict(setup <= 1.15 * floor)})")
PY
