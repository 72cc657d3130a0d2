#!/usr/bin/env bash
# The program running natively on Wayland, checked from outside: what it asks
# of the compositor, read from its side of the protocol (WAYLAND_DEBUG); its
# title bar, the only one, as the compositor shows it; dragging the title bar
# moves the window, and its close button, and Alt+F4, end the program with
# status 0.
#
# Under weston (the default) the first checks run on its headless backend,
# read from weston's own screenshot, with what a screen reader finds over the
# accessibility bus; the pointer's on its X11 backend, the one with a seat.
# Under GNOME's mutter or KDE's KWin, all run with the compositor nested in
# a window that fills an Xvfb screen.
# Usage: wayland_window.sh PROGRAM APP-ID [weston|mutter|kwin]
set -euo pipefail
program=$1 app_id=$2 compositor=${3:-weston}
export LC_ALL=C.UTF-8
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../../tests/support/xvfb-session.sh"
trap session_stop EXIT
require_tools import convert
[[ $compositor != weston ]] || require_tools weston-screenshooter

read -r client_width client_height < <(form_query size)
background=#$(form_query colour window)
# The title bar shows the program's title without the site address before it.
title=$(form_query program-title)
log=$session_dir/program.log
shot=$session_dir/shot.png

# On Wayland only, even where an X display is at hand, with the protocol
# traffic in the log.
start_on_wayland()
{
    env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" \
        >"$log" 2>&1 </dev/null &
    program_pid=$!
    session_track "$program_pid"
}

# The arguments of the last request NAME the program sent.
request() { grep -E -- "-> [a-z_0-9]+@[0-9]+\.$1\(" "$log" | tail -n 1 | sed -E "s/.*\.$1\((.*)\)\$/\1/"; }

weston_shot()
{
    local dir=$session_dir/shots
    rm -rf "$dir" && mkdir "$dir"
    (cd "$dir" && timeout 10 weston-screenshooter >/dev/null 2>&1) && mv "$dir"/*.png "$shot"
}
x_shot() { import -window root "$shot"; }

# Where the client area is on screen: the box around every pixel in the
# window's background colour, as "W H X Y".
client_area() { convert "$shot" -fill black +opaque "$background" -fill white -opaque "$background" -format '%@\n' info: 2>/dev/null | tr 'x+' '  '; }

# Takes screenshots with SHOOTER until the client area shows whole, and sets
# x and y to its place.
wait_for_window()
{
    local shooter=$1 w h
    shown() { "$shooter" && read -r w h x y < <(client_area) && [[ ${w}x$h == "${client_width}x$client_height" ]]; }
    session_retry 100 shown || {
        echo "no $client_width x $client_height client area on screen (last seen: ${w:-?} x ${h:-?}); program output:" >&2
        cat "$log" >&2
        return 1
    }
}

# Takes screenshots with SHOOTER until two in a row are the same, the
# desktop drawn whole before the window opens, and keeps it as desktop.png.
desktop_settled()
{
    local shooter=$1 previous=$session_dir/previous.png
    unchanged() { cp "$shot" "$previous" && "$shooter" && compare -metric AE "$shot" "$previous" null: 2>/dev/null; }
    if ! "$shooter" || ! session_retry 100 unchanged; then
        echo "the desktop kept changing before the window opened" >&2
        return 1
    fi
    cp "$shot" "$session_dir/desktop.png"
}

# The box, relative to the crop, around whatever is drawn in region WxH+X+Y
# of the screenshot on its background, as "W H X Y".
drawn_in() { convert "$shot" -crop "$1" +repage -fuzz 10% -format '%@\n' info: 2>/dev/null | tr 'x+' '  '; }

# What the checks read from outside: weston's own screenshots (--debug) and
# libwayland's log of the requests the program sends. Without either the
# test fails here, naming it, rather than in the program's checks.
assume()
{
    local what=$1
    shift
    "$@" || {
        echo "$what: the test relies on it, so the program was not checked" >&2
        exit 1
    }
}

# What the program asked of the compositor, and the title bar it drew: its
# own, with the icon and the whole title, and none above it. Sets width,
# height and bar.
protocol_and_title_bar()
{
    assume "libwayland's WAYLAND_DEBUG log is not in the form this test reads" \
        grep -q -E -- '-> wl_compositor@[0-9]+\.create_surface\(new id wl_surface@[0-9]+\)' "$log"
    geometry=$(request set_window_geometry)
    read -r _ _ width height < <(tr -d , <<<"$geometry")
    check "title: the Bulgarian title alone" test "$(request set_title)" = "\"$title\""
    check "app id names the desktop entry, which gives the icon" test "$(request set_app_id)" = "\"$app_id\""
    check "fixed size: minimum = maximum = window geometry ($geometry)" \
        test "$(request set_min_size)" = "$width, $height" -a "$(request set_max_size)" = "$width, $height"
    check "window $client_width wide, the client area's width" test "$width" -eq "$client_width"
    buffers=$(window_buffers)
    check "every buffer drawn at the window's size (got: $buffers)" test "$buffers" = "$width $height"

    # The title bar is the strip of the window above the client area.
    bar=$((height - client_height))
    local top=$((y - bar)) text_w text_h text_x
    check "title bar above the client area" test "$bar" -gt 20
    check "the icon drawn at the left of the title bar" \
        test "$(convert "$shot" -crop "30x$bar+$x+$top" +repage -format '%k' info:)" -gt 8
    # Between the icon and the close button only the title may be drawn, clear
    # of both ends: nothing cut off, no other button.
    read -r text_w text_h text_x _ < <(drawn_in "$((width - 60))x$bar+$((x + 30))+$top")
    check "title text drawn ($text_w x $text_h)" test "$text_w" -gt 100 -a "$text_h" -gt 5
    check "title text whole, nothing else beside it (at $text_x..$((text_x + text_w)) of $((width - 60)))" \
        test "$text_x" -ge 4 -a $((text_x + text_w)) -le $((width - 64))
    # A compositor's own bar would lie right above, where the desktop shows
    # as it did before the window opened (but for the pointer, which a nested
    # compositor draws in its picture).
    local strip="${width}x16+$x+$((top - 18))" differing
    convert "$shot" -crop "$strip" +repage "$session_dir/above.png"
    convert "$session_dir/desktop.png" -crop "$strip" +repage "$session_dir/above-before.png"
    differing=$(compare -metric AE -fuzz 10% "$session_dir/above.png" "$session_dir/above-before.png" null: 2>&1) || true
    check "no second title bar above the window's own ($differing of $((width * 16)) pixels changed)" \
        test "${differing%% *}" -lt $((width * 16 / 4))
}

# The sizes of the buffers attached to the window's own surface (not the
# pointer's), one "W H" a line.
window_buffers()
{
    awk '
        match($0, /get_xdg_surface\(new id xdg_surface@[0-9]+, wl_surface@[0-9]+/) && surface == "" {
            surface = substr($0, RSTART, RLENGTH); sub(/.*wl_surface@/, "", surface)
        }
        match($0, /create_buffer\(new id wl_buffer@[0-9]+, [0-9]+, [0-9]+, [0-9]+/) {
            split(substr($0, RSTART, RLENGTH), field, /, /); id = field[1]; sub(/.*@/, "", id)
            size[id] = field[3] " " field[4]
        }
        surface != "" && match($0, "wl_surface@" surface "\\.attach\\(wl_buffer@[0-9]+") {
            id = substr($0, RSTART, RLENGTH); sub(/.*@/, "", id); print size[id]
        }
    ' "$log" | sort -u
}

# Dragging the title bar moves the window; its close button ends the
# program, and, once started again, Alt+F4.
pointer_and_keys()
{
    local top=$((y - bar)) dx=$((x > 400 ? -150 : 150)) dy=$((y > 300 ? -60 : 60))
    local close_w close_h close_x close_y status
    # The pointer moves only once the program has asked to move its window.
    # The X server takes the press after the move: no --sync, which here
    # waits many seconds where the pointer stands there already.
    xdotool mousemove $((x + 100)) $((top + bar / 2)) mousedown 1
    move_asked() { grep -q -E -- '-> xdg_toplevel@[0-9]+\.move\(' "$log"; }
    session_retry 50 move_asked || echo "the program did not ask to move its window" >&2
    xdotool mousemove --sync $((x + 100 + dx / 2)) $((top + bar / 2 + dy / 2)) \
        mousemove --sync $((x + 100 + dx)) $((top + bar / 2 + dy)) mouseup 1
    moved_to() { x_shot && [[ $(client_area) == "$client_width $client_height $1 $2" ]]; }
    check "dragging the title bar by $dx, $dy moves the window" session_retry 50 moved_to $((x + dx)) $((y + dy))

    read -r x y < <(client_area | awk '{print $3, $4}')
    top=$((y - bar))
    read -r close_w close_h close_x close_y < <(drawn_in "30x$bar+$((x + width - 30))+$top")
    xdotool mousemove $((x + width - 30 + close_x + close_w / 2)) $((top + close_y + close_h / 2)) click 1
    status=0
    session_wait_program_end 10 || status=$?
    check "the close button ends the program with status 0 (got $status)" test "$status" -eq 0
    lacks() { ! grep -q -i "$1" "$log"; }
    check "no protocol error" lacks 'protocol error'

    # A compositor closes the windows it decorates on Alt+F4, and this one the
    # program decorates itself. The pointer stays in the compositor's window,
    # which so keeps the X keyboard; the compositor gives it to the window it
    # maps.
    start_on_wayland
    wait_for_window x_shot
    xdotool mousemove --sync $((x + 100)) $((y + 100)) key alt+F4
    status=0
    session_wait_program_end 10 || status=$?
    check "Alt+F4 ends the program with status 0 (got $status)" test "$status" -eq 0
}

if [[ $compositor == weston ]]; then
    # --- Headless: the protocol, the picture and the accessibility tree.
    session_start_accessibility_bus
    session_start_wayland headless
    assume "weston-screenshooter took no picture of weston's screen" weston_shot
    desktop_settled weston_shot
    start_on_wayland
    wait_for_window weston_shot
    # One window frame, named by the title its bar shows, as on X11, where the
    # window manager's frame is not the program's.
    check "the accessibility tree: one window frame named by its title" \
        /usr/bin/python3 "$(dirname "$0")/accessibility_check.py" "$program_pid" --window-only "$title"
    protocol_and_title_bar
    cp "$shot" "$session_dir/shown.png"
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    session_untrack "$program_pid"

    # --- X11 backend: the pointer moves and closes the window.
    session_start_display
    session_start_wayland x11
    start_on_wayland
    wait_for_window x_shot
    # weston's window has been drawn: the pointer enters it afresh, and the
    # program must then hear of it where X put it, at 100, bar / 2 on its
    # surface. Otherwise weston, not the program, is off, and the checks below
    # would blame the program for it.
    session_wayland_pointer_enter $((x + 100)) $((y - bar + bar / 2))
    pointer_at() { grep -q -E -- "wl_pointer@[0-9]+\.(enter\([0-9]+, wl_surface@[0-9]+|motion\([0-9]+), $1\.0+, $2\.0+\)" "$log"; }
    if ! session_retry 50 pointer_at 100 $((bar / 2)); then
        heard=$(grep -o -E 'wl_pointer@[0-9]+\.(enter|motion)\(.*' "$log" | tail -n 1)
        assume "weston's X11 backend did not put its pointer where X's pointer entered its window (the program
last heard: ${heard:-no pointer event at all})" false
    fi
    pointer_and_keys
else
    session_start_display
    session_start_wayland "$compositor"
    desktop_settled x_shot
    start_on_wayland
    wait_for_window x_shot
    protocol_and_title_bar
    cp "$shot" "$session_dir/shown.png"
    pointer_and_keys
fi

if ((failures > 0)); then
    echo "$failures check(s) failed; the screenshot of the window shown is $session_dir/shown.png (removed on exit)" >&2
    grep -v '^\[' "$log" >&2 || true
    exit 1
fi
