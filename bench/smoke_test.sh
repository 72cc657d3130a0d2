#!/usr/bin/env bash
# Keeps the start-up benchmark working: times each of the three windows once
# under Xvfb and checks that a map, a first drawing and a memory figure came
# back. The figures are printed, not judged; bench/startup.sh measures.
# Usage: smoke_test.sh MAP_TIMER PROGRAM EMPTY_WINDOW LABEL_WINDOW
set -euo pipefail
timer=$1
shift
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../tests/support/xvfb-session.sh"
trap session_stop EXIT
session_start_display

for window in "$@"; do
    # The timer gives up on a window not drawn within 30 s; it has 60 to say so.
    figures=$(QT_QPA_PLATFORM=xcb timeout 60 "$timer" "$window") || {
        echo "FAIL: $(basename "$window"): no figures from the timer (status $?)" >&2
        exit 1
    }
    echo "$(basename "$window"): mapped, drawn (ms), resident (KiB): $figures"
    read -r mapped drawn resident <<<"$figures"
    awk -v m="$mapped" -v d="$drawn" -v r="$resident" 'BEGIN { exit !(m > 0 && d >= m && r > 0) }' || {
        echo "FAIL: $(basename "$window"): figures out of order: $figures" >&2
        exit 1
    }
done
