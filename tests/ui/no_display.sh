#!/usr/bin/env bash
# Whenever the window cannot be opened, the program must end with one
# sentence on stderr naming the cause, and exit status 1: no Qt diagnostics,
# no abort, no core dump. Each case names words its sentence must contain.
# The probe ends a start-up each way one can end, after words Qt never says.
# Usage: no_display.sh PROGRAM QT-PLATFORM-PLUGIN-FOLDER PROBE
set -euo pipefail
program=$1
platform_plugins=$2
# shellcheck disable=SC2034 # run through ${!which}, as the program is
probe=$3
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
mkdir -p "$scratch/bin" "$scratch/plugins/platforms"
mkdir -m 700 "$scratch/runtime"
cp "$program" "$program_without_wayland"
printf '[Paths]\nPlugins=%s\n' "$scratch/plugins" >"$scratch/bin/qt.conf"
for plugin in "$platform_plugins"/*.so; do
    [[ $(basename "$plugin") == *wayland* ]] || ln -s "$plugin" "$scratch/plugins/platforms/"
done

failures=0
while IFS='|' read -r name expected which arguments environment; do
    status=0
    eval "arguments=($arguments)" # quoted as in the shell, so that an argument can be empty
    # shellcheck disable=SC2086 # the environment column is a list of words
    timeout 20 env -i $environment "${!which}" "${arguments[@]}" >"$scratch/out" 2>"$scratch/err" </dev/null \
        || status=$?
    if ((status == 124)); then
        echo "FAIL: $name: still running 20 s after it was started; it said: $(cat "$scratch/err")" >&2
        failures=$((failures + 1))
        continue
    fi
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
a display nobody serves|display :$unused|program||PATH=/usr/bin:/bin DISPLAY=:$unused
Wayland asked for but not available|wl_display|program||PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch/runtime WAYLAND_DISPLAY=nowhere QT_QPA_PLATFORM=wayland
a Wayland display but no Wayland plugin|Wayland plugin is not installed (on Debian: package qt6-wayland)|program_without_wayland||PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch/runtime WAYLAND_DISPLAY=wayland-0
no such platform plugin, by variable|"nonexistent"|program||PATH=/usr/bin:/bin DISPLAY=:$unused QT_QPA_PLATFORM=nonexistent
no such platform plugin, on the command line|"nonexistent"|program|-platform nonexistent|PATH=/usr/bin:/bin DISPLAY=:$unused
an empty platform name, by variable|the platform name is empty (QT_QPA_PLATFORM, -platform)|program||PATH=/usr/bin:/bin DISPLAY=:$unused QT_QPA_PLATFORM=;
an empty platform name, on the command line|the platform name is empty (QT_QPA_PLATFORM, -platform)|program|-platform ''|PATH=/usr/bin:/bin DISPLAY=:$unused
the framebuffer platform without a framebuffer|no-framebuffer|program||PATH=/usr/bin:/bin QT_QPA_PLATFORM=linuxfb:fb=$scratch/no-framebuffer
a platform that shows Vulkan windows only|"vkkhrdisplay" platform shows Vulkan windows only|program||PATH=/usr/bin:/bin QT_QPA_PLATFORM=vkkhrdisplay
Qt stops with words never heard|The flux jammed; The lattice gave way|probe|'The flux jammed' fatal 'The lattice gave way'|PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch/runtime QT_QPA_PLATFORM=offscreen
a library ends the program with _exit after its warning|The flux jammed.|probe|'The flux jammed' exit|PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch/runtime QT_QPA_PLATFORM=offscreen
a crash|it crashed (SIGSEGV)|probe|'The flux jammed' crash|PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$scratch/runtime QT_QPA_PLATFORM=offscreen
EOF_CASES
((failures == 0))
