#!/usr/bin/env bash
# The program's real window on an X server with a window manager, checked from
# outside as a user meets it: size and hints, title and icon, colours on
# screen, a move made with the mouse, and closing it.
# Usage: real_window.sh PROGRAM
set -euo pipefail
program=$1
# xprop prints the UTF-8 title as text only in a UTF-8 locale.
export LC_ALL=C.UTF-8
# shellcheck source=tools/xvfb-session.sh
source "$(dirname "$0")/../../tools/xvfb-session.sh"
trap session_stop EXIT

failures=0
check()
{
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAIL: $what" >&2
        failures=$((failures + 1))
    fi
}

session_start_display
session_start_window_manager
session_start_program "$program"
wid=$(session_find_window)

# Size, position and what the window asks of the window manager.
info=$(xwininfo -id "$wid")
hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
check "client area 487 x 400" grep -q 'Width: 487' <<<"$info"
check "client area height 400" grep -q 'Height: 400' <<<"$info"
check "fixed minimum size" grep -q 'minimum size: 487 by 400' <<<"$hints"
check "fixed maximum size" grep -q 'maximum size: 487 by 400' <<<"$hints"
check "placed at the centre of the 1024 x 768 screen" grep -q 'location: 268, 184' <<<"$hints"

# _MOTIF_WM_HINTS = flags, functions, decorations: neither may offer
# minimise (function 8, decoration 32) or maximise (16, 64), or "all" (1).
read -r flags functions decorations < <(xprop -id "$wid" _MOTIF_WM_HINTS | sed 's/.*= //; s/,//g' | awk '{print $1, $2, $3}')
check "Motif hints state functions and decorations" test $((flags & 3)) -eq 3
check "no minimise or maximise function" test $((functions & (1 | 8 | 16))) -eq 0
check "no minimise or maximise button" test $((decorations & (1 | 32 | 64))) -eq 0
check "close function kept" test $((functions & 32)) -eq 32
actions=$(xprop -id "$wid" _NET_WM_ALLOWED_ACTIONS)
check "window manager offers close" grep -q '_NET_WM_ACTION_CLOSE' <<<"$actions"
lacks() { ! grep -q "$1" <<<"$2"; }
check "window manager offers no maximise" lacks MAXIMIZE "$actions"
check "window manager offers no resize" lacks _NET_WM_ACTION_RESIZE "$actions"

title=$(xprop -id "$wid" _NET_WM_NAME)
check "title: address, two spaces, Bulgarian title" \
    grep -qF '"rivercrossing.example.org  Философия - Логика, задача за транспорт"' <<<"$title"
check "32 x 32 window icon" grep -q 'Icon (32 x 32)' <<<"$(xprop -id "$wid" _NET_WM_ICON)"

# Colours as painted, sampled where no text or border lies.
before=$session_dir/before.png
session_capture "$wid" "$before"
while read -r what x y colour; do
    check "$what is $colour" test "$(pixel_of "$before" "$x" "$y")" = "$colour"
done <<'EOF_COLOURS'
window-background 2 30 C0C0FF
title-label 42 2 FFC080
count-caption-label 178 190 FFC080
left-frame 145 43 80FF80
right-frame-(disabled) 465 43 80FFFF
left-seat 140 70 00C000
right-seat-(disabled) 460 70 00C0C0
move-button 196 60 00FF00
clear-button 196 108 FF0000
EOF_COLOURS

# A region's number of distinct colours: 1 where nothing is written.
colours_in() { convert "$1" -crop "$2" +repage -format '%k' info:; }
left_boy_caption=96x16+46+62
right_boy_caption=96x16+366+62
direction_label=61x20+242+218

check "left boy seat shows a caption" test "$(colours_in "$before" $left_boy_caption)" -gt 1
check "right boy seat starts empty" test "$(colours_in "$before" $right_boy_caption)" -eq 1
check "direction label starts empty" test "$(colours_in "$before" $direction_label)" -eq 1

# Both boys over: tick the two left boy seats, press Move.
xdotool mousemove --window "$wid" 84 70 click 1
xdotool mousemove --window "$wid" 84 90 click 1
xdotool mousemove --window "$wid" 244 60 click 1
after=$session_dir/after.png
moved() { import -window "$wid" "$after" && [[ $(colours_in "$after" $direction_label) -gt 1 ]]; }
check "a direction is shown after the move" session_retry 50 moved
check "left boy seat is empty after the move" test "$(colours_in "$after" $left_boy_caption)" -eq 1
check "right boy seat shows a caption after the move" test "$(colours_in "$after" $right_boy_caption)" -gt 1

# Closing the window ends the program with status 0.
xdotool windowactivate --sync "$wid" key --clearmodifiers alt+F4
status=0
session_wait_program_end 10 || status=$?
check "closing the window exits with status 0 (got $status)" test "$status" -eq 0

if ((failures > 0)); then
    echo "$failures check(s) failed; program output:" >&2
    cat "$session_dir/program.log" >&2
    exit 1
fi
