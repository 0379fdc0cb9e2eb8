#!/usr/bin/env bash
# Time from process start to the visible setup dialog under Wine, against a minimal dialog program
# built the same way, in one run (median of 7 starts each, alternating). Goal: ratio at most 1.5.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/tests/e2e/lib.sh"
trap e2e_stop_started EXIT
E2E_OWN_DISPLAY=1 e2e_start_display
e2e_start_cups >/dev/null 2>&1 || true
e2e_template
e2e_new_prefix bench-startup
cp "$E2E_BUILD/Setup.exe" "$E2E_BUILD/minimal-dialog.exe" "$DRIVE_C/"
wineserver -p 60 >/dev/null 2>&1 || true
driver time-to-window 'C:\minimal-dialog.exe' "Minimal Dialog" >/dev/null  # warm the prefix up
setup=()
minimal=()
for _ in 1 2 3 4 5 6 7; do
    minimal+=("$(driver time-to-window 'C:\minimal-dialog.exe' "Minimal Dialog" | tr -d '\r')")
    setup+=("$(driver time-to-window 'C:\Setup.exe' "$DIALOG_TITLE" | tr -d '\r')")
done
e2e_end_prefix
python3 - "${setup[*]}" "${minimal[*]}" <<'PY'
import statistics, sys
setup = statistics.median(map(float, sys.argv[1].split()))
minimal = statistics.median(map(float, sys.argv[2].split()))
print(f"start-up to visible dialog under Wine: Setup.exe {setup:.0f} ms vs minimal dialog {minimal:.0f} ms"
      f" = ratio {setup / minimal:.2f} (goal <= 1.5)")
PY
