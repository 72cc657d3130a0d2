#!/usr/bin/env bash
# Starts the program under Xvfb with a private session bus and accessibility
# bus, as a desktop with a screen reader would run it, and hands it to
# accessibility_check.py, which reads the tree and plays a game by keyboard.
# Usage: accessibility_test.sh PROGRAM
set -euo pipefail

program=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/support/xvfb-session.sh
source "$here/../support/xvfb-session.sh"
trap session_stop EXIT

session_start_display
session_start_accessibility_bus
mkdir -m 700 "$session_dir/runtime"
session_start_program env XDG_RUNTIME_DIR="$session_dir/runtime" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program"
wid=$(session_find_window 30)
# With no window manager nothing has the keyboard until it is given.
xdotool windowfocus --sync "$wid"

status=0
timeout 240 /usr/bin/python3 "$here/accessibility_check.py" "$program_pid" || status=$?
session_close_and_wait "$wid" 10 || status=1
if ((status)); then
    echo "--- program output" >&2
    cat "$session_dir/program.log" >&2
fi
exit "$status"
