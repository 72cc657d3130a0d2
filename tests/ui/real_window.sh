#!/usr/bin/env bash
# The program's real window on an X server with a window manager, checked from
# outside as a user meets it: size and hints, title and icon, colours on
# screen, a move made with the mouse, and closing it.
# Usage: real_window.sh PROGRAM [WINDOW_MANAGER]   (openbox, the default, metacity, mutter or kwin_x11)
set -euo pipefail
program=$1
window_manager=${2:-openbox}
# xprop prints the UTF-8 title as text only in a UTF-8 locale.
export LC_ALL=C.UTF-8
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../../tests/support/xvfb-session.sh"
trap session_stop EXIT

# Every window the window manager places, as the root window sees it: xev
# logs where each is created, reparented, configured and mapped. Setting a
# property on the root shows when it is listening.
watch_root()
{
    require_tools xev
    xev -root -event substructure -event property >"$session_dir/root.log" 2>&1 &
    session_track $!
    listening() { xprop -root -f _CROSSING_TEST_MARK 8s -set _CROSSING_TEST_MARK 1 && grep -q PropertyNotify "$session_dir/root.log"; }
    session_retry 100 listening || {
        echo "xev did not start watching the root window:" >&2
        cat "$session_dir/root.log" >&2
        return 1
    }
}

# The window manager's frame around client window WID: its ancestor that is
# a child of the root (KWin puts a wrapper between the two).
frame_of()
{
    local window=$1 parent
    while parent=$(xwininfo -children -id "$window" | awk '/Parent window id:/ { print $4 }') \
        && [[ -n $parent && $parent != "$(xwininfo -root | awk '/Window id:/ { print $4 }')" ]]; do
        window=$parent
    done
    printf '0x%x\n' "$window"
}

# Where FRAME stood when first shown at its full size, where it stands last,
# and how often it moved after: "X,Y X,Y MOVES". Some managers map a frame
# before they size it (KWin at 1 x 1 in the corner, mutter at the client's
# size) and size it at once, before anything is drawn in it: that is the
# frame being made, not the window moving.
frame_places()
{
    awk -v frame="$1" '
        /^[A-Za-z]+ event/ { kind = $1 }
        kind == "MapNotify" && index($0, "window " frame ",") { mapped = 1; shown[n] = 1 }
        match($0, /window 0x[0-9a-f]+, \(-?[0-9]+,-?[0-9]+\), width [0-9]+, height [0-9]+/) {
            split(substr($0, RSTART + 7, RLENGTH - 7), found, /, /)
            if (found[1] == frame) {
                place[++n] = found[2]; size[n] = found[3] "," found[4]; shown[n] = mapped
            }
        }
        END {
            for (i = 1; i <= n; i++) if (shown[i] && size[i] == size[n] && first == "") first = i
            if (first == "") exit
            for (i = first + 1; i <= n; i++) moves += place[i] != place[i - 1]
            print place[first], place[n], moves + 0
        }
    ' "$session_dir/root.log"
}

session_start_display
session_start_window_manager "$window_manager"
# What the checks below take from the window manager: the frame's extents and
# the actions it offers. A manager without them fails here, named, rather
# than in the program's checks.
supported=$(xprop -root _NET_SUPPORTED)
for hint in _NET_FRAME_EXTENTS _NET_WM_ALLOWED_ACTIONS; do
    grep -q "\b$hint\b" <<<"$supported" || {
        echo "$window_manager does not support $hint, which this test relies on; the program was not checked" >&2
        exit 1
    }
done
# A manager that answers a request for the frame's size before mapping lets
# the window open centred; KWin does not say it does, and the window may then
# move once, when the frame's size comes.
allowed_moves=1
grep -q '\b_NET_REQUEST_FRAME_EXTENTS\b' <<<"$supported" && allowed_moves=0
watch_root
session_start_program "$program"
wid=$(session_find_window)

# Size, position and what the window asks of the window manager.
read -r width height < <(form_query size)
read -r screen_width screen_height < <(xdpyinfo | awk '/dimensions:/ { sub("x", " ", $2); print $2 }')
info=$(xwininfo -id "$wid")
hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
check "client area width $width" grep -q "Width: $width\$" <<<"$info"
check "client area height $height" grep -q "Height: $height\$" <<<"$info"
check "fixed minimum size" grep -q "minimum size: $width by $height" <<<"$hints"
check "fixed maximum size" grep -q "maximum size: $width by $height" <<<"$hints"

# The frame, as the window manager reports it (_NET_FRAME_EXTENTS: left,
# right, top, bottom), centred on the screen within a pixel either way, and
# mapped there rather than moved there after it was shown.
read -r client_x client_y < <(awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print x, y}' <<<"$info")
read -r left right top bottom < <(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/.*= //; s/,//gp') || true
check "$window_manager reports the frame's extents" test -n "${bottom:-}"
frame_x=$((client_x - ${left:-0})) frame_y=$((client_y - ${top:-0}))
frame_width=$((width + ${left:-0} + ${right:-0})) frame_height=$((height + ${top:-0} + ${bottom:-0}))
# Twice the distance between the frame's centre and the screen's, in whole pixels.
off_x=$((2 * frame_x + frame_width - screen_width)) off_y=$((2 * frame_y + frame_height - screen_height))
awk -v w="$frame_width" -v h="$frame_height" -v x="$frame_x" -v y="$frame_y" -v sw="$screen_width" \
    -v sh="$screen_height" -v dx="$off_x" -v dy="$off_y" \
    'BEGIN { printf "frame %d x %d at %d,%d on a %d x %d screen: centre off by %+.1f, %+.1f px\n", w, h, x, y, sw, sh, dx / 2, dy / 2 }'
check "frame centred across the screen" test "${off_x#-}" -le 2
check "frame centred down the screen" test "${off_y#-}" -le 2
read -r mapped_at last_at moves < <(frame_places "$(frame_of "$wid")") || true
check "frame moved at most $allowed_moves time(s) once mapped (mapped at ${mapped_at:-?}, now at ${last_at:-?}, moved ${moves:-?} times)" \
    test -n "${mapped_at:-}" -a "${moves:-9}" -le "$allowed_moves"

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
check "title as described" grep -qF "\"$(form_query title)\"" <<<"$title"
check "32 x 32 window icon" grep -q 'Icon (32 x 32)' <<<"$(xprop -id "$wid" _NET_WM_ICON)"

# Colours as painted, sampled where no text or border lies: a few pixels in
# from a corner of each control, clear of bevels, frames and captions.
before=$session_dir/before.png
session_capture "$wid" "$before"
while read -r control dx dy; do
    read -r x y < <(form_query point "$control" "$dx" "$dy")
    colour=$(form_query colour "$control")
    check "$control is $colour at $x,$y" test "$(pixel_of "$before" "$x" "$y")" = "$colour"
done <<'EOF_COLOURS'
window 2 -4
Label1(0) 2 2
Label1(3) 2 -3
Frame1(0) -8 3
Frame1(1) -8 3
Frame1(0) 4 -4
Frame1(1) 4 -4
Frame1(0) 9 9
Frame1(1) 9 9
Check1(0) -5 10
Check1(3) -5 10
Command1(0) 4 12
Command1(1) 4 12
EOF_COLOURS

# A region's number of distinct colours: 1 where nothing is written. The
# caption of a seat lies right of its tick square; a label's text is inset.
colours_in() { convert "$1" -crop "$2" +repage -format '%k' info:; }
region()
{
    local x y w h
    read -r x y w h < <(form_query rect "$1")
    echo "$((w - $2 - 4))x$((h - 4))+$((x + $2))+$((y + 2))"
}
left_boy_caption=$(region "Check1(0)" 22)
right_boy_caption=$(region "Check1(3)" 22)
direction_label=$(region "Label1(6)" 2)

# A bank's caption sits in its top border, on the bank's colour (the 9 9 rows
# above: where the border line would pass, the caption's margin breaks it),
# in the text colour while the bank is open and greyed while it is locked.
darkest_in() { convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:int(255 * minima)]' info:; }
caption_of() { region "$1" 10 | sed -E 's/x[0-9]+\+/x14+/'; }
read -r x y < <(form_query point "Frame1(0)" -8 9)
check "the border runs through the caption's middle" test "$(pixel_of "$before" "$x" "$y")" != "$(form_query colour "Frame1(0)")"
check "open bank's caption in the text colour" test "$(darkest_in "$before" "$(caption_of "Frame1(0)")")" -lt 40
check "locked bank's caption greyed" test "$(darkest_in "$before" "$(caption_of "Frame1(1)")")" -gt 100
check "left boy seat shows a caption" test "$(colours_in "$before" "$left_boy_caption")" -gt 1
check "right boy seat starts empty" test "$(colours_in "$before" "$right_boy_caption")" -eq 1
check "direction label starts empty" test "$(colours_in "$before" "$direction_label")" -eq 1

# Both boys over: tick the two left boy seats, press Move.
for control in "Check1(0)" "Check1(1)" "Command1(0)"; do
    read -r x y w h < <(form_query rect "$control")
    xdotool mousemove --window "$wid" $((x + w / 2)) $((y + h / 2)) click 1
done
after=$session_dir/after.png
moved() { import -window "$wid" "$after" && [[ $(colours_in "$after" "$direction_label") -gt 1 ]]; }
check "a direction is shown after the move" session_retry 50 moved
check "left boy seat is empty after the move" test "$(colours_in "$after" "$left_boy_caption")" -eq 1
check "right boy seat shows a caption after the move" test "$(colours_in "$after" "$right_boy_caption")" -gt 1

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
