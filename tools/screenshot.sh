#!/usr/bin/env bash
# Takes docs/screenshot.png: the window's client area as it opens, on a
# private Xvfb display at 96 dpi. Needs xvfb, xdotool, x11-utils, imagemagick.
# Usage: tools/screenshot.sh [PROGRAM] [OUTPUT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# The window as it opens anywhere, whatever this desktop's scale, theme or fonts.
[[ -n ${CROSSING_HERMETIC:-} ]] || exec "$here/../tests/support/hermetic.py" -- bash "$0" "$@"
program=$(realpath "${1:-$here/../build/app/rivercrossing}")
output=${2:-$here/../docs/screenshot.png}

# shellcheck source=tests/support/xvfb-session.sh
source "$here/../tests/support/xvfb-session.sh"
trap session_stop EXIT

session_start_display
session_start_program "$program"
wid=$(session_find_window)
mkdir -p "$(dirname "$output")"
session_capture "$wid" "$session_dir/shot.png"
# Drop the time stamps PNG writers add, so an unchanged window gives an unchanged file.
convert "$session_dir/shot.png" -strip "$output"
echo "wrote $output"
