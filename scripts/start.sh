#!/usr/bin/env bash
# Starts the search application, tolvane, in demo/: its working directory
# holds Tolvane.ini (naming the prepared data directory demo/Zip_Code/),
# QUICK and Result_Tmp. It opens its window where a display can be reached,
# else in this terminal; where neither can be had, this says so and runs
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
  echo "The window cannot be opened here (no display, and no terminal that can show it); the same lookup, scripted:  cd demo && DIALOG_SCRIPT=../scripts/sapporo-lookup.txt ../build/search/ui/tolvane"
  DIALOG_SCRIPT="$top/scripts/sapporo-lookup.txt" "$tolvane"
}

in_terminal=0
[ -t 0 ] && [ -t 1 ] && in_terminal=1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "$in_terminal" -eq 0 ]; then
  scripted
  exit
fi
# The platform chooses: the display's window, else this terminal. Where it
# can have neither it ends with 1 and a line of its own (away from a
# terminal replaced by the one above).
status=0
if [ "$in_terminal" -eq 1 ]; then
  # Its standard error stays the terminal's, kept off the screen while the
  # window is drawn there.
  "$tolvane" || status=$?
else
  "$tolvane" 2> >(grep -v --line-buffered "no window system is available" >&2) || status=$?
fi
if [ "$status" -eq 1 ]; then
  scripted
  exit
fi
exit "$status"
