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
    figures=$(QT_QPA_PLATFORM=xcb "$timer" "$window")
    echo "$(basename "$window"): mapped, drawn (ms), resident (KiB): $figures"
    read -r mapped drawn resident <<<"$figures"
    awk -v m="$mapped" -v d="$drawn" -v r="$resident" 'BEGIN { exit !(m > 0 && d >= m && r > 0) }' || {
        echo "FAIL: $(basename "$window"): figures out of order: $figures" >&2
        exit 1
    }
done
