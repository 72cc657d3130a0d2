# Shared by the tests that run the program in a real X session: a private
# Xvfb server, the program's window found by its process id, a polite close,
# and clean-up of everything the test started. Source it; do not run it.

xs_pids=()
xs_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Stops what the test started, newest first, by process id.
xs_cleanup()
{
    local i
    for ((i = ${#xs_pids[@]} - 1; i >= 0; i--)); do
        kill "${xs_pids[i]}" 2>/dev/null || true
        wait "${xs_pids[i]}" 2>/dev/null || true
    done
    xs_pids=()
}

xs_track() { xs_pids+=("$1"); }

# Forgets a process that has been waited for, so that clean-up never signals
# a process id the system may have handed to someone else since.
xs_untrack()
{
    local kept=() pid
    for pid in "${xs_pids[@]}"; do
        [[ $pid == "$1" ]] || kept+=("$pid")
    done
    xs_pids=("${kept[@]}")
}

# Starts Xvfb on a free display number (the server picks it) in a 96 dpi
# screen and exports DISPLAY once the server accepts clients.
xs_start_xvfb()
{
    local dir=$1 i
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    xs_track $!
    for ((i = 0; i < 100; i++)); do
        [[ -s $dir/display ]] && break
        sleep 0.1
    done
    [[ -s $dir/display ]] || {
        echo "Xvfb did not start:" >&2
        cat "$dir/xvfb.log" >&2
        return 1
    }
    DISPLAY=:$(tr -d '[:space:]' <"$dir/display")
    export DISPLAY
}

# Prints the id of the viewable top-level window of process PID, waiting up
# to SECONDS for it to be mapped.
xs_wait_window()
{
    local pid=$1 seconds=${2:-20} i wid
    for ((i = 0; i < seconds * 10; i++)); do
        wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
        if [[ -n $wid ]]; then
            echo "$wid"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || {
            echo "the program exited before showing its window" >&2
            return 1
        }
        sleep 0.1
    done
    echo "no window of process $pid was mapped within ${seconds}s" >&2
    return 1
}

# Closes window WID as a window manager's close button would and waits up to
# SECONDS for process PID, a child of this shell, to end. Returns its status.
xs_close_and_wait()
{
    local wid=$1 pid=$2 seconds=${3:-10} i
    /usr/bin/python3 "$xs_here/close_window.py" "$wid"
    for ((i = 0; i < seconds * 10; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "the program did not end within ${seconds}s of closing its window" >&2
        return 1
    fi
    local status=0
    wait "$pid" || status=$?
    xs_untrack "$pid"
    return "$status"
}
