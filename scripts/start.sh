#!/usr/bin/env bash
# Starts the search application, tolvane, in demo/: its working directory
# holds Tolvane.ini (naming the prepared data directory demo/Zip_Code/),
# QUICK and Result_Tmp. Where no display can be reached, says so and runs
# the same lookup from a script instead, on the headless backend.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tolvane="$top/build/search/ui/tolvane"
if [ ! -x "$tolvane" ] || [ ! -f "$top/demo/Tolvane.ini" ]; then
  echo "tolvane or its data is missing: run  bash scripts/setup.sh  first" >&2
  exit 1
fi
cd "$top/demo"

scripted() {
  echo "No display to open the window on; the same lookup, scripted:  cd demo && DIALOG_SCRIPT=../scripts/sapporo-lookup.txt ../build/search/ui/tolvane"
  DIALOG_SCRIPT="$top/scripts/sapporo-lookup.txt" "$tolvane"
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  scripted
  exit
fi
# The program ends with 1 and a line of its own when the display does not
# take a client; that line is replaced by the one above.
status=0
"$tolvane" 2> >(grep -v --line-buffered "no window system is available" >&2) || status=$?
if [ "$status" -eq 1 ]; then
  scripted
  exit
fi
exit "$status"
