#!/usr/bin/env bash
# Without a display the program must end with one sentence on stderr and
# exit status 1: no Qt diagnostics, no abort, no core dump.
# Usage: no_display.sh PROGRAM
set -euo pipefail
program=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A display number with no server behind it.
unused=4711
while [[ -e /tmp/.X11-unix/X$unused || -e /tmp/.X$unused-lock ]]; do
    unused=$((unused + 1))
done

failures=0
while IFS='|' read -r name environment; do
    status=0
    # shellcheck disable=SC2086 # the environment column is a list of words
    env -i $environment "$program" >"$scratch/out" 2>"$scratch/err" </dev/null || status=$?
    lines=$(wc -l <"$scratch/err")
    if [[ $status -ne 1 || $lines -ne 1 || -s $scratch/out ]] || ! grep -q '^rivercrossing: ' "$scratch/err"; then
        echo "FAIL: $name: status $status, $lines line(s) on stderr:" >&2
        cat "$scratch/err" >&2
        failures=$((failures + 1))
    else
        echo "ok: $name: $(cat "$scratch/err")"
    fi
done <<EOF_CASES
no display variable at all|PATH=/usr/bin:/bin
a display nobody serves|PATH=/usr/bin:/bin DISPLAY=:$unused
Wayland asked for but not available|PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch WAYLAND_DISPLAY=nowhere QT_QPA_PLATFORM=wayland
EOF_CASES
((failures == 0))
