#!/usr/bin/env bash
# Whenever the window cannot be opened, the program must end with one
# sentence on stderr naming the cause, and exit status 1: no Qt diagnostics,
# no abort, no core dump. Each case names words its sentence must contain.
# Usage: no_display.sh PROGRAM QT-PLATFORM-PLUGIN-FOLDER
set -euo pipefail
program=$1
platform_plugins=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A display number with no server behind it.
unused=4711
while [[ -e /tmp/.X11-unix/X$unused || -e /tmp/.X$unused-lock ]]; do
    unused=$((unused + 1))
done

# The program as installed where Qt's Wayland plugin is not: a copy whose
# qt.conf points Qt at a plugin folder holding every platform plugin but those.
program_without_wayland=$scratch/bin/$(basename "$program")
mkdir -p "$scratch/bin" "$scratch/plugins/platforms" "$scratch/runtime"
cp "$program" "$program_without_wayland"
printf '[Paths]\nPlugins=%s\n' "$scratch/plugins" >"$scratch/bin/qt.conf"
for plugin in "$platform_plugins"/*.so; do
    [[ $(basename "$plugin") == *wayland* ]] || ln -s "$plugin" "$scratch/plugins/platforms/"
done

failures=0
while IFS='|' read -r name expected which arguments environment; do
    status=0
    # shellcheck disable=SC2086 # the arguments and environment columns are lists of words
    env -i $environment "${!which}" $arguments >"$scratch/out" 2>"$scratch/err" </dev/null || status=$?
    lines=$(wc -l <"$scratch/err")
    if [[ $status -ne 1 || $lines -ne 1 || -s $scratch/out ]] || ! grep -q '^rivercrossing: ' "$scratch/err" \
        || ! grep -qF -- "$expected" "$scratch/err"; then
        echo "FAIL: $name: status $status, $lines line(s) on stderr, expected \"$expected\" in:" >&2
        cat "$scratch/err" >&2
        failures=$((failures + 1))
    else
        echo "ok: $name: $(cat "$scratch/err")"
    fi
done <<EOF_CASES
no display variable at all|no display is set|program||PATH=/usr/bin:/bin
a display nobody serves|could not connect to display :$unused|program||PATH=/usr/bin:/bin DISPLAY=:$unused
Wayland asked for but not available|"wayland" platform plugin could not start (Failed to create wl_display|program||PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch/runtime WAYLAND_DISPLAY=nowhere QT_QPA_PLATFORM=wayland
a Wayland display but no Wayland plugin|"wayland" platform plugin is not installed (on Debian it comes with the package qt6-wayland)|program_without_wayland||PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch/runtime WAYLAND_DISPLAY=wayland-0
no such platform plugin, by variable|no platform plugin "nonexistent" (it has |program||PATH=/usr/bin:/bin DISPLAY=:$unused QT_QPA_PLATFORM=nonexistent
no such platform plugin, on the command line|no platform plugin "nonexistent" (it has |program|-platform nonexistent|PATH=/usr/bin:/bin DISPLAY=:$unused
the framebuffer platform without a framebuffer|"linuxfb" platform found no screen (Failed to open framebuffer|program||PATH=/usr/bin:/bin QT_QPA_PLATFORM=linuxfb:fb=$scratch/no-framebuffer
EOF_CASES
((failures == 0))
