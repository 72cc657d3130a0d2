#!/usr/bin/env bash
# Starts the program under Xvfb with a private session bus and accessibility
# bus, as a desktop with a screen reader would run it, and hands it to
# accessibility_check.py, which reads the tree and plays a game by keyboard.
# Usage: accessibility_test.sh PROGRAM
set -euo pipefail

program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xsession.sh"

scratch=$(mktemp -d)
finish()
{
    xs_cleanup
    rm -rf "$scratch"
}
trap finish EXIT

xs_start_xvfb "$scratch"

# A private session bus; the accessibility bus launcher registers on it and
# starts the accessibility bus and its registry, which end with it.
read -r address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
xs_track "$bus_pid"
export DBUS_SESSION_BUS_ADDRESS=$address
/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$scratch/at-spi.log" 2>&1 &
xs_track $!
for ((i = 0; i < 100; i++)); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && break
    sleep 0.1
done

mkdir -m 700 "$scratch/runtime"
XDG_RUNTIME_DIR=$scratch/runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb \
    "$program" >"$scratch/program.log" 2>&1 &
pid=$!
xs_track "$pid"
wid=$(xs_wait_window "$pid" 30) || {
    cat "$scratch/program.log" >&2
    exit 1
}
# With no window manager nothing has the keyboard until it is given.
xdotool windowfocus --sync "$wid"

status=0
timeout 240 /usr/bin/python3 "$here/accessibility_check.py" "$pid" || status=$?
xs_close_and_wait "$wid" "$pid" 10 || status=1
if ((status)); then
    echo "--- program output" >&2
    cat "$scratch/program.log" >&2
fi
exit "$status"
