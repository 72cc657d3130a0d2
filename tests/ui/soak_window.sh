#!/usr/bin/env bash
# The real window under a flood of input: random clicks, double clicks, drags
# and key presses through the X server, at random points of every control
# (disabled seats and frames, labels, lists, the statement and the bare window
# included). This guards survival and memory: afterwards the program must
# still run, answer, paint, and close normally, and its own memory once idle
# must have grown by under 1 MiB over the second half of the events. Its board,
# read from outside through the accessibility bus every 1,000 events, must
# look sane, but the random games here stay a few moves deep, so this is no
# check of the rules: tst_widget_soak plays deep games on the same widgets and
# compares the board with the reference model after every event.
#
# Usage: soak_window.sh PROGRAM [EVENTS [SEED]]
# EVENTS defaults to 3000, SEED to a fixed number; both are printed so a run
# can be repeated. Clicks never leave the client area, so the window frame's
# close button is never hit, and no key chord the window manager acts on
# (Alt, Super) is sent.
set -euo pipefail
program=$1
events=${2:-3000}
seed=${3:-20240605}
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../../tests/support/xvfb-session.sh"
trap session_stop EXIT

# Client-area rectangles at 96 dpi, "NAME X Y WIDTH HEIGHT", from the window's
# description; "window" is the whole client area, whatever lies under the point.
mapfile -t controls < <(echo "window $(form_query rect window)"; form_query rects)
# Seats and Move are hit more often so that games get going.
players=("Check1(0)" "Check1(1)" "Check1(2)" "Check1(3)" "Check1(4)" "Check1(5)" "Command1(0)")
keys=(Tab shift+Tab space space Return KP_Enter Escape Up Down Left Right Home End Prior Next
    BackSpace Delete ctrl+a ctrl+c ctrl+v ctrl+x ctrl+z a m q z 1 Cyrillic_a Cyrillic_be)

declare -A rect
names=()
for entry in "${controls[@]}"; do
    read -r name x y w h <<<"$entry"
    rect[$name]="$x $y $w $h"
    names+=("$name")
done

# Sets px, py to a random point of the named control.
point_in()
{
    local x y w h
    read -r x y w h <<<"${rect[$1]}"
    px=$((x + RANDOM % w))
    py=$((y + RANDOM % h))
}

# Clear is rare among the random clicks, or no game would get far.
random_control()
{
    if ((RANDOM % 2)); then
        control=${players[RANDOM % ${#players[@]}]}
    else
        control=${names[RANDOM % ${#names[@]}]}
        [[ $control == "Command1(1)" ]] && ((RANDOM % 4)) && control="Command1(0)"
    fi
    return 0
}

# The program's own memory: anonymous pages (heap, stacks) and shared memory
# (the X server's images of its windows), where a leak would show. The pages
# of its libraries and fonts are left out: they are the files' pages, which
# the kernel may take back from an idle process and map again when it next
# runs, so they come and go by tens of MiB without the program asking.
own_kib() { awk '/^(RssAnon|RssShmem):/ { kib += $2 } END { print kib }' "/proc/$program_pid/status"; }
file_kib() { awk '/^RssFile:/ { print $2 }' "/proc/$program_pid/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$program_pid/stat"; }

# Waits until the program has used at most one clock tick (10 ms) of processor
# time in a second, the caret's blinking at most (at most 20 s), so that
# memory is read once everything queued has been handled.
settle()
{
    local before after tries=20
    before=$(cpu_ticks)
    while ((tries-- > 0)); do
        sleep 1
        after=$(cpu_ticks)
        ((after - before <= 1)) && return 0
        before=$after
    done
    echo "the program did not go idle" >&2
    return 1
}

alive()
{
    kill -0 "$program_pid" 2>/dev/null || {
        echo "FAIL: the program ended during the soak; its output:" >&2
        cat "$session_dir/program.log" >&2
        exit 1
    }
}

session_start_display
session_start_window_manager
# So that the board can be read from outside afterwards.
session_start_accessibility_bus
mkdir -m 700 "$session_dir/runtime"
export XDG_RUNTIME_DIR=$session_dir/runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
session_start_program "$program"
wid=$(session_find_window)
session_capture "$wid" "$session_dir/start.png"
settle
rss_start=$(own_kib)

# Some memory is taken once, on first use, and kept: above all the statement's
# context menu, whose window and font cost about 1.1 MiB the first time it
# opens. One pass over every kind of input takes it before the soak starts.
# Some is taken once in a while and kept by the allocator as its high-water
# mark. So the check compares the second half of the soak with the first: a
# leak grows with use, in both halves.
centre()
{
    local x y w h
    read -r x y w h <<<"${rect[$1]}"
    echo "$((x + w / 2)) $((y + h / 2))"
}
read -r seat_x seat_y < <(centre "Check1(0)")
read -r move_x move_y < <(centre "Command1(0)")
read -r list_x list_y < <(centre "List1(0)")
read -r text_x text_y < <(centre "Text1(0)")
read -r clear_x clear_y < <(centre "Command1(1)")
warm_up=(mousemove --window "$wid" "$seat_x" "$seat_y" click --delay 5 1
    mousemove --window "$wid" "$move_x" "$move_y" click --delay 5 1
    key --delay 5 Tab Tab space mousemove --window "$wid" "$list_x" "$list_y" click --delay 5 1 key --delay 5 Down
    mousemove --window "$wid" "$text_x" "$text_y" click --repeat 2 --delay 40 1
    key --delay 5 ctrl+a ctrl+c ctrl+v Cyrillic_a
    mousemove --window "$wid" "$text_x" "$text_y" click --delay 5 3 sleep 0.5 key Escape
    mousemove --window "$wid" "$text_x" "$text_y" mousedown 1 mousemove --window "$wid" "$list_x" "$list_y" mouseup 1
    mousemove --window "$wid" "$clear_x" "$clear_y" click --delay 5 1)
xdotool "${warm_up[@]}"
settle
rss_before=$(own_kib)
echo "seed $seed, $events events; own memory at start: $rss_start KiB, after one pass of each input:" \
    "$rss_before KiB (files' pages: $(file_kib) KiB)"


# The board as a screen reader reads it must keep the rules.
board_keeps_rules()
{
    timeout 120 /usr/bin/python3 "$(dirname "$0")/soak_board_check.py" "$program_pid"
}

RANDOM=$seed
batch=()
declare -A sent=([click]=0 [double]=0 [right]=0 [drag]=0 [key]=0)
for ((n = 1; n <= events; n++)); do
    roll=$((RANDOM % 100))
    if ((roll < 55)); then
        kind=click
    elif ((roll < 60)); then
        kind=double
    elif ((roll < 62)); then
        kind=right
    elif ((roll < 67)); then
        kind=drag
    else
        kind=key
    fi
    sent[$kind]=$((${sent[$kind]} + 1))
    case $kind in
    click | double | right)
        random_control
        point_in "$control"
        batch+=(mousemove --window "$wid" "$px" "$py")
        case $kind in
        click) batch+=(click --delay 5 1) ;;
        double) batch+=(click --repeat 2 --delay 40 1) ;;
        right) batch+=(click --delay 5 3) ;;
        esac
        ;;
    drag)
        random_control
        point_in "$control"
        batch+=(mousemove --window "$wid" "$px" "$py" mousedown 1)
        random_control
        point_in "$control"
        batch+=(mousemove --window "$wid" "$px" "$py" mouseup 1)
        ;;
    key)
        batch+=(key --delay 5 "${keys[RANDOM % ${#keys[@]}]}")
        ;;
    esac
    # One xdotool run per 50 events; between runs, the program must live.
    if ((n % 50 == 0 || n == events)); then
        xdotool "${batch[@]}"
        batch=()
        alive
        ((n % 500 == 0)) && echo "$n events sent; own memory now $(own_kib) KiB, files' pages $(file_kib) KiB"
        if ((n % 1000 == 0)); then
            check "after $n events, the board read through the accessibility bus keeps the rules" board_keeps_rules
        fi
        if ((n == events / 2 / 50 * 50)); then
            xdotool key Escape
            settle
            rss_middle=$(own_kib)
            echo "halfway, once idle: own memory $rss_middle KiB, files' pages $(file_kib) KiB"
        fi
    fi
done
echo "sent: ${sent[click]} clicks, ${sent[double]} double clicks, ${sent[right]} right clicks," \
    "${sent[drag]} drags, ${sent[key]} key presses"

# A context menu the soak may have left open goes away with Escape.
xdotool key Escape
settle
alive
rss_after=$(own_kib)
growth=$((rss_after - rss_middle))
echo "own memory after: $rss_after KiB (first half $((rss_middle - rss_before)) KiB, second half $growth KiB);" \
    "files' pages $(file_kib) KiB"
check "own memory grew by less than 1 MiB over the second half" test "$growth" -lt 1024
check "the window is still mapped" bash -c 'xwininfo -id "$1" | grep -q "IsViewable"' _ "$wid"
check "the window still paints" session_capture "$wid" "$session_dir/end.png"

# Still answering: closing the window ends the program with status 0.
xdotool windowactivate --sync "$wid" key --clearmodifiers alt+F4
status=0
session_wait_program_end 10 || status=$?
check "closing the window after the soak exits with status 0 (got $status)" test "$status" -eq 0

if ((failures > 0)); then
    echo "$failures check(s) failed; program output:" >&2
    cat "$session_dir/program.log" >&2
    exit 1
fi
