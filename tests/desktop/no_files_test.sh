#!/usr/bin/env bash
# The program keeps no files and no settings. Runs it under Xvfb with empty,
# writable HOME, XDG and temporary directories and an empty working folder,
# plays with the keyboard, closes the window, and expects every one of those
# places to be as empty as before. Only fontconfig's cache is allowed: that
# belongs to the font system, not to the program.
#
# Twice: with the test's session bus, as on any desktop, and with no session
# bus at all, as under ssh -X or on a bare X server. There, where dbus-x11 is
# installed, libdbus would start a bus for the display (dbus-launch
# --autolaunch), which writes under HOME and XDG_RUNTIME_DIR; the program
# must start none.
# Usage: no_files_test.sh PROGRAM
set -euo pipefail

program=$(realpath "$1")
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../support/xvfb-session.sh"
trap session_stop EXIT

places=(home config data cache state runtime tmp cwd)
session_start_display
command -v dbus-launch >/dev/null \
    || echo "note: dbus-x11 is not installed, so the run without a session bus cannot show an autolaunched bus"

for bus in "the session's bus" "no session bus"; do
    watched=$session_dir/watched
    rm -rf "$watched"
    for place in "${places[@]}"; do
        mkdir -p "$watched/$place"
    done
    chmod 700 "$watched/runtime"
    without=()
    [[ $bus == "no session bus" ]] && without=(-u DBUS_SESSION_BUS_ADDRESS)
    session_start_program env "${without[@]}" --chdir="$watched/cwd" HOME="$watched/home" \
        XDG_CONFIG_HOME="$watched/config" XDG_DATA_HOME="$watched/data" XDG_CACHE_HOME="$watched/cache" \
        XDG_STATE_HOME="$watched/state" XDG_RUNTIME_DIR="$watched/runtime" TMPDIR="$watched/tmp" "$program"
    wid=$(session_find_window 30)

    # Use the window a little: whatever a program might remember (focus, ticks,
    # the last state) has then happened at least once.
    xdotool windowfocus --sync "$wid"
    xdotool key --delay 50 Tab Tab space Tab space Tab Tab Tab space
    session_close_and_wait "$wid" 10 || {
        echo "FAIL: $bus: the program did not end cleanly after its window was closed" >&2
        cat "$session_dir/program.log" >&2
        exit 1
    }

    left=$(cd "$watched" && find . -mindepth 2 ! -path './cache/fontconfig' ! -path './cache/fontconfig/*' | sort)
    check "$bus: nothing written in ${places[*]}${left:+; left behind: $left}" test -z "$left"
done
((failures == 0))
