#!/usr/bin/env bash
# The program's promise when its display goes away: it ends with exit status
# 0 or a non-zero one, never on a signal (no crash, no core dump), and when
# the status is non-zero, stderr says why. Each start kills the display
# server (Xvfb, or weston on its headless backend) 5 to 120 ms after the
# program was started, at delays drawn from a fixed seed: from before it
# connects to after its window is up (about 70 ms on an idle machine), and a
# failing run can be replayed. The delays only spread the kills: the verdict
# is the promise, whatever point of the start-up a kill meets.
#
# Before that: a platform list with a fallback that works ("wayland;xcb" on
# X11 with no Wayland compositor) opens the window and says nothing.
#
# On X11 twice: with the test's session bus, and with none, as under ssh -X,
# where dbus-x11 would start a bus tied to the display if the program let it,
# and its start would wait for that bus as the display died under both.
# Usage: display_lost.sh PROGRAM [STARTS-PER-DISPLAY [SEED]]
set -euo pipefail
program=$1 starts=${2:-25} seed=${3:-4711}
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../../tests/support/xvfb-session.sh"
trap session_stop EXIT
require_tools weston

run_log=$session_dir/program.log
start_program()
{
    env "$@" "$program" >/dev/null 2>"$run_log" </dev/null &
    program_pid=$!
    session_track "$program_pid"
}

# --- A fallback that works is no failure.
session_start_display
mkdir -m 700 "$session_dir/runtime"
start_program -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$session_dir/runtime" 'QT_QPA_PLATFORM=wayland;xcb'
wid=$(session_find_window)
session_close_and_wait "$wid" || true
check "'wayland;xcb' with no compositor: the window opens on X11 and nothing is said (got: $(cat "$run_log"))" \
    test ! -s "$run_log"
kill "${session_pids[0]}"
wait "${session_pids[0]}" 2>/dev/null || true
session_untrack "${session_pids[0]}"

# --- The display killed during start-up.
# The server last started by the session helpers.
newest_server() { echo "${session_pids[-1]}"; }

start_x11()
{
    # The display number of the server killed last would pass for the new one's.
    rm -f "$session_dir/display"
    session_start_display && server_pid=$(newest_server)
}
program_on_x11() { start_program -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb; }
start_x11_without_bus() { start_x11; }
program_on_x11_without_bus() { start_program -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb; }
start_wayland() { session_start_wayland headless && server_pid=$(newest_server); }
program_on_wayland() { start_program -u DISPLAY QT_QPA_PLATFORM=wayland; }

RANDOM=$seed
for display in x11 x11_without_bus wayland; do
    silent=0 signalled=0 hung=0 ended=0 failed=0
    for ((run = 1; run <= starts; run++)); do
        delay=$((5 + RANDOM % 116))
        "start_$display"
        "program_on_$display"
        sleep "$(printf "0.%03d" "$delay")"
        kill -KILL "$server_pid"
        wait "$server_pid" 2>/dev/null || true
        session_untrack "$server_pid"
        # What a killed weston leaves behind in the test's runtime folder. A
        # killed Xvfb's lock and socket stay: the next server to pick the
        # number finds the lock's owner gone and takes both over, and removing
        # them here could remove those of a test running beside this one.
        [[ $display == wayland ]] && rm -f "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY.lock"
        status=0
        session_wait_program_end 20 || status=$?
        what="$display, run $run, display killed after $delay ms"
        if kill -0 "$program_pid" 2>/dev/null; then
            echo "FAIL: $what: still running 20 s after its display went away" >&2
            kill -KILL "$program_pid"
            wait "$program_pid" 2>/dev/null || true
            session_untrack "$program_pid"
            hung=$((hung + 1))
        elif ((status > 128)); then
            echo "FAIL: $what: ended on signal $((status - 128)); it said: $(cat "$run_log")" >&2
            signalled=$((signalled + 1))
        elif ((status != 0)) && ! grep -q '[[:alpha:]]' "$run_log"; then
            echo "FAIL: $what: exit status $status with nothing said" >&2
            silent=$((silent + 1))
        elif ((status != 0)); then
            failed=$((failed + 1))
            echo "ok: $what: status $status: $(tail -n 1 "$run_log")"
        else
            ended=$((ended + 1))
            echo "ok: $what: status 0"
        fi
    done
    echo "$display: $starts starts: $failed said why with a non-zero status, $ended ended with status 0;" \
        "$silent silent, $signalled on a signal, $hung still running"
    failures=$((failures + silent + signalled + hung))
done
((failures == 0))
