#!/usr/bin/env bash
# The program keeps no files and no settings. Runs it under Xvfb with empty,
# writable HOME, XDG and temporary directories and an empty working folder,
# plays with the keyboard, closes the window, and expects every one of those
# places to be as empty as before. Only fontconfig's cache is allowed: that
# belongs to the font system, not to the program.
# Usage: no_files_test.sh PROGRAM
set -euo pipefail

program=$(realpath "$1")
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../../tests/support/xvfb-session.sh"
trap session_stop EXIT

watched=$session_dir/watched
places=(home config data cache state runtime tmp cwd)
for place in "${places[@]}"; do
    mkdir -p "$watched/$place"
done
chmod 700 "$watched/runtime"

session_start_display
session_start_program env --chdir="$watched/cwd" HOME="$watched/home" XDG_CONFIG_HOME="$watched/config" \
    XDG_DATA_HOME="$watched/data" XDG_CACHE_HOME="$watched/cache" XDG_STATE_HOME="$watched/state" \
    XDG_RUNTIME_DIR="$watched/runtime" TMPDIR="$watched/tmp" "$program"
wid=$(session_find_window 30)

# Use the window a little: whatever a program might remember (focus, ticks,
# the last state) has then happened at least once.
xdotool windowfocus --sync "$wid"
xdotool key --delay 50 Tab Tab space Tab space Tab Tab Tab space
session_close_and_wait "$wid" 10 || {
    echo "FAIL: the program did not end cleanly after its window was closed" >&2
    cat "$session_dir/program.log" >&2
    exit 1
}

left=$(cd "$watched" && find . -mindepth 2 ! -path './cache/fontconfig' ! -path './cache/fontconfig/*' | sort)
if [[ -n $left ]]; then
    echo "FAIL: the program left files behind:" >&2
    echo "$left" >&2
    exit 1
fi
echo "nothing written in ${places[*]}"
