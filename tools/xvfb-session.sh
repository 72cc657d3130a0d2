# shellcheck shell=bash disable=SC2317 # helpers below are called through session_retry
# Runs the program on a private Xvfb display (1024 x 768, 96 dpi), for the
# real-window test and the README screenshot. Source it; do not run it.
# Everything started here is stopped by session_stop, newest first, by id.

session_pids=()
session_dir=$(mktemp -d)

session_stop()
{
    local i
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        kill "${session_pids[i]}" 2>/dev/null || true
        wait "${session_pids[i]}" 2>/dev/null || true
    done
    session_pids=()
    rm -rf "$session_dir"
}

# Retries a command every tenth of a second, at most TENTHS times.
session_retry()
{
    local tenths=$1
    shift
    while ((tenths-- > 0)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Starts Xvfb on a display number it picks itself and exports DISPLAY.
session_start_display()
{
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$session_dir/display" \
        2>"$session_dir/xvfb.log" &
    session_pids+=($!)
    if ! session_retry 100 test -s "$session_dir/display"; then
        echo "Xvfb did not start:" >&2
        cat "$session_dir/xvfb.log" >&2
        return 1
    fi
    DISPLAY=:$(tr -d '[:space:]' <"$session_dir/display")
    export DISPLAY
}

# Starts openbox and waits until it manages the screen.
session_start_window_manager()
{
    openbox --sm-disable >"$session_dir/openbox.log" 2>&1 &
    session_pids+=($!)
    session_retry 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || {
        echo "openbox did not start:" >&2
        cat "$session_dir/openbox.log" >&2
        return 1
    }
}

# Starts the program at normal scale; sets program_pid.
session_start_program()
{
    env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_ENABLE_HIGHDPI_SCALING \
        QT_QPA_PLATFORM=xcb "$1" >"$session_dir/program.log" 2>&1 &
    program_pid=$!
    session_pids+=("$program_pid")
}

# Prints the id of the program's visible window once it is mapped.
session_find_window()
{
    local wid="" running=1
    find_it()
    {
        kill -0 "$program_pid" 2>/dev/null || { running=0 && return 0; }
        wid=$(xdotool search --all --onlyvisible --pid "$program_pid" --name 'example\.org' 2>/dev/null | head -n 1)
        [[ -n $wid ]]
    }
    session_retry 200 find_it || true
    if [[ -n $wid ]]; then
        echo "$wid"
        return 0
    fi
    if ((running)); then
        echo "the program showed no window within 20 s; windows on the display:" >&2
        xwininfo -root -children >&2 || true
    else
        echo "the program ended before showing its window:" >&2
    fi
    cat "$session_dir/program.log" >&2
    return 1
}

# The colour of pixel X,Y of a PNG as RRGGBB.
pixel_of() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# Captures window WID's client area into FILE once its background (pixel 2,30)
# shows the window colour, so the shot is not taken before the first paint.
session_capture()
{
    local wid=$1 file=$2
    painted() { import -window "$wid" "$file" 2>/dev/null && [[ $(pixel_of "$file" 2 30) == C0C0FF ]]; }
    session_retry 100 painted || {
        echo "the window was not painted in its background colour" >&2
        return 1
    }
}
