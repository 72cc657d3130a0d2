# shellcheck shell=bash disable=SC2317,SC2120 # helpers are called through session_retry; arguments are optional
# Runs the program on a private Xvfb display (1024 x 768, 96 dpi), for the
# tests that need a real X session, the README screenshot and the start-up
# benchmark. Source it; do not run it; `trap session_stop EXIT` after sourcing.
# Everything started here is tracked and stopped by session_stop, newest
# first, by process id; session_dir is a scratch folder removed with it.
#
# The scripts run inside tests/support/hermetic.py (ctest starts every test
# so), which gives them a session bus, HOME and runtime folder of their own
# and none of the caller's desktop variables; a script run by hand says so.

session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if [[ -z ${CROSSING_HERMETIC:-} ]]; then
    echo "$(basename "$0"): run it as tests/support/hermetic.py -- bash $0 ..., or through ctest," \
        "so that it cannot reach this desktop's display, session bus or home" >&2
    exit 2
fi
# shellcheck source=tests/support/require-tools.sh
source "$session_root/tests/support/require-tools.sh"
require_tools Xvfb xdotool xprop xwininfo timeout dbus-update-activation-environment
session_pids=()
session_dir=$(mktemp -d)

# check WHAT COMMAND...: runs a test's check, says "ok" or "FAIL" with WHAT,
# and counts the failures in $failures for the script's verdict at its end.
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

# The window's description (tests/support/form_query.py): places, colours, texts.
form_query() { /usr/bin/python3 "$session_root/tests/support/form_query.py" "$@"; }

# Stops each process asked to, killing it if it has not ended within 5 s.
session_stop()
{
    local i pid tenths
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        pid=${session_pids[i]}
        kill "$pid" 2>/dev/null || continue
        for ((tenths = 50; tenths > 0; tenths--)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        ((tenths > 0)) || kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    session_pids=()
    rm -rf "$session_dir"
}

session_track() { session_pids+=("$1"); }

# Forgets a process that has been waited for, so that session_stop never
# signals a process id the system may have handed to someone else since.
session_untrack()
{
    local kept=() pid
    for pid in "${session_pids[@]}"; do
        [[ $pid == "$1" ]] || kept+=("$pid")
    done
    session_pids=("${kept[@]}")
}

# xdotool's --sync waits until the X server shows what was asked, for ever if
# it never does: every call here is bounded, and says so when it runs out.
xdotool()
{
    local status=0
    timeout 20 xdotool "$@" || status=$?
    ((status != 124)) || echo "xdotool $* did not finish within 20 s: what it waited for never came" >&2
    return "$status"
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

# Starts Xvfb on a display number it picks itself and exports DISPLAY once
# the server accepts clients. -noreset: by default the server resets when its
# last client leaves (the accessibility bus launcher is often the first), and
# a program connecting during that reset is refused.
#
# It then presses Shift once. The first key xdotool sends switches the core
# keyboard to the XTEST device, and every client hears that its keyboard map
# changed. Openbox then drops and re-grabs all its key bindings; when the F4
# of a test's Alt+F4 reached the server in between, it went to the program
# instead and the window stayed open. Making the switch here, before any
# window manager or program connects, leaves nothing to re-grab later.
session_start_display()
{
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$session_dir/display" \
        2>"$session_dir/xvfb.log" &
    session_track $!
    if ! session_retry 100 test -s "$session_dir/display"; then
        echo "Xvfb did not start:" >&2
        cat "$session_dir/xvfb.log" >&2
        return 1
    fi
    DISPLAY=:$(tr -d '[:space:]' <"$session_dir/display")
    export DISPLAY
    session_tell_bus DISPLAY
    xdotool key shift || {
        echo "xdotool could not type on the new display" >&2
        return 1
    }
}

# Passes the variables NAME... to the services the session bus starts on
# demand (KDE's global shortcuts, say), as a desktop's session start does.
session_tell_bus()
{
    timeout 10 dbus-update-activation-environment "$@" || {
        echo "the session bus did not take $* for the services it starts" >&2
        return 1
    }
}

# Starts a window manager, NAME: openbox (the default), metacity, mutter
# (GNOME's, on X11) or kwin_x11 (KDE's), and waits until it manages the
# screen. The GNOME managers keep their settings in memory rather than in dconf.
session_start_window_manager()
{
    local name=${1:-openbox}
    require_tools "$name"
    case $name in
    openbox) openbox --sm-disable >"$session_dir/$name.log" 2>&1 & ;;
    metacity) GSETTINGS_BACKEND=memory metacity --sm-disable --compositor=none >"$session_dir/$name.log" 2>&1 & ;;
    mutter) GSETTINGS_BACKEND=memory mutter --x11 --replace --sm-disable >"$session_dir/$name.log" 2>&1 & ;;
    kwin_x11) kwin_x11 --replace >"$session_dir/$name.log" 2>&1 & ;;
    *) echo "unknown window manager: $name" >&2 && return 1 ;;
    esac
    session_track $!
    session_retry 200 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || {
        echo "$name did not start:" >&2
        cat "$session_dir/$name.log" >&2
        return 1
    }
    # KWin's keys (Alt+F4 among them) are grabbed by KDE's global shortcut
    # service, which it starts over the session bus and tells them in turn.
    [[ $name != kwin_x11 ]] || session_retry 200 session_kwin_closes_on_alt_f4 || {
        echo "KDE's global shortcut service never took KWin's Alt+F4:" >&2
        cat "$session_dir/$name.log" >&2
        return 1
    }
}

session_kwin_closes_on_alt_f4()
{
    dbus-send --session --print-reply --dest=org.kde.kglobalaccel /kglobalaccel org.kde.KGlobalAccel.shortcut \
        "array:string:kwin,Window Close,KWin,Close Window" 2>/dev/null | grep -q int32
}

# Starts a Wayland compositor on a private socket, and exports WAYLAND_DISPLAY
# and XDG_RUNTIME_DIR once it listens. BACKEND: weston's "headless" or "x11"
# backend (drawn in a window on $DISPLAY, with a seat for pointer input), or
# GNOME's "mutter" or KDE's "kwin", nested in a window that fills $DISPLAY.
# weston's --debug lets weston-screenshooter take screenshots; with no idle
# time the screen never locks during a test.
#
# On X11 weston's window leaves a strip of the screen free on the right and
# at the bottom (weston_x11_outside), so that the pointer can leave it and
# come back: see session_wayland_pointer_enter.
weston_x11_width=1000 weston_x11_height=740
weston_x11_outside=(1012 754)
session_start_wayland()
{
    local backend=$1 runtime=$session_dir/runtime width=1024 height=768
    local socket=wayland-$backend log=$session_dir/$backend.log
    [[ -d $runtime ]] || mkdir -m 700 "$runtime"
    case $backend in
    headless | x11)
        require_tools weston
        [[ $backend == x11 ]] && width=$weston_x11_width height=$weston_x11_height
        XDG_RUNTIME_DIR=$runtime weston --backend="$backend-backend.so" --socket="$socket" \
            --width="$width" --height="$height" --use-pixman --idle-time=0 --no-config --debug \
            --log="$log" >/dev/null 2>&1 &
        ;;
    mutter)
        require_tools mutter
        XDG_RUNTIME_DIR=$runtime GSETTINGS_BACKEND=memory MUTTER_DEBUG_DUMMY_MODE_SPECS=${width}x$height \
            mutter --nested --wayland --no-x11 --sm-disable --wayland-display="$socket" >"$log" 2>&1 &
        ;;
    kwin)
        require_tools kwin_wayland
        local kwin
        kwin=$(session_runnable_kwin_wayland) || return 1
        XDG_RUNTIME_DIR=$runtime "$kwin" --x11-display "$DISPLAY" --width "$width" --height "$height" \
            --socket "$socket" --no-lockscreen >"$log" 2>&1 &
        ;;
    *) echo "unknown Wayland compositor: $backend" >&2 && return 1 ;;
    esac
    session_track $!
    export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket
    session_retry 100 test -S "$runtime/$WAYLAND_DISPLAY" || {
        echo "the Wayland compositor ($backend) did not start:" >&2
        cat "$log" >&2
        return 1
    }
    session_tell_bus XDG_RUNTIME_DIR WAYLAND_DISPLAY
    # A compositor drawn on X shows its window once its output is up.
    [[ $backend == headless ]] || session_retry 100 session_x_window_shown || {
        echo "the Wayland compositor ($backend) showed no window on $DISPLAY:" >&2
        cat "$log" >&2
        return 1
    }
}

# Whether a top-level window is mapped on $DISPLAY.
session_x_window_shown()
{
    local root
    root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
    xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | grep -qvx "$((root))"
}

# Debian's kwin_wayland carries the file capability cap_sys_resource, and
# where the bounding set lacks it (a container) the kernel refuses to run it.
# A copy has no capabilities and runs, if it keeps the name kwin_wayland, by
# which it finds its own Qt platform plugin. Prints the one to run.
session_runnable_kwin_wayland()
{
    local installed copy=$session_dir/bin/kwin_wayland
    installed=$(command -v kwin_wayland)
    if "$installed" --version >/dev/null 2>&1; then
        echo "$installed"
        return 0
    fi
    mkdir -p "$(dirname "$copy")"
    cp "$installed" "$copy"
    "$copy" --version >/dev/null 2>&1 || {
        echo "kwin_wayland does not run here, neither as installed nor as a copy without its file capability:" >&2
        "$copy" --version >&2 || true
        return 1
    }
    echo "$copy"
}

# Brings the X pointer into weston's X11 window at X,Y afresh. weston 10's
# X11 backend learns where the pointer is only from the EnterNotify X sends
# when the pointer enters its window, and then follows relative motion. It
# converts that entry with a matrix it first computes at its first repaint;
# an entry handled before that (the window mapping under the pointer as
# weston starts, which races its start-up) leaves weston's pointer at 0,0,
# and every later move lands somewhere else. Leaving the window and
# entering it again once weston has drawn gives it the true place. Call it
# after something weston drew has been seen on the X screen.
session_wayland_pointer_enter()
{
    xdotool mousemove --sync "${weston_x11_outside[@]}" mousemove --sync "$1" "$2"
}

# The accessibility bus on the test's session bus, as on a desktop with a
# screen reader.
session_start_accessibility_bus()
{
    require_tools dbus-send /usr/libexec/at-spi-bus-launcher
    require_python_modules gi pyatspi
    /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$session_dir/at-spi.log" 2>&1 &
    session_track $!
    session_retry 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1 || {
        echo "the accessibility bus did not start:" >&2
        cat "$session_dir/at-spi.log" >&2
        return 1
    }
}

# Starts COMMAND (the program, or `env ... PROGRAM` for a chosen environment)
# on the xcb platform, output in $session_dir/program.log; sets program_pid.
session_start_program()
{
    QT_QPA_PLATFORM=xcb "$@" >"$session_dir/program.log" 2>&1 </dev/null &
    program_pid=$!
    session_track "$program_pid"
}

# Prints the id of the program's visible window once it is mapped, waiting
# up to SECONDS (default 20).
session_find_window()
{
    local seconds=${1:-20} wid="" running=1
    find_it()
    {
        kill -0 "$program_pid" 2>/dev/null || { running=0 && return 0; }
        wid=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | head -n 1)
        [[ -n $wid ]]
    }
    session_retry $((seconds * 10)) find_it || true
    if [[ -n $wid ]]; then
        echo "$wid"
        return 0
    fi
    if ((running)); then
        echo "the program showed no window within $seconds s; windows on the display:" >&2
        xwininfo -root -children >&2 || true
    else
        echo "the program ended before showing its window:" >&2
    fi
    cat "$session_dir/program.log" >&2
    return 1
}

# Waits up to SECONDS (default 10) for the program to end, however it was
# asked to. Returns its exit status, or 1 if it is still running.
session_wait_program_end()
{
    local seconds=${1:-10} status=0
    program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
    session_retry $((seconds * 10)) program_ended || {
        echo "the program did not end within $seconds s of being closed" >&2
        return 1
    }
    wait "$program_pid" || status=$?
    session_untrack "$program_pid"
    return "$status"
}

# Closes window WID as a window manager's close button would, even with no
# window manager running, and waits up to SECONDS for the program to end.
# Returns its exit status.
session_close_and_wait()
{
    /usr/bin/python3 "$session_root/tests/desktop/close_window.py" "$1"
    session_wait_program_end "${2:-10}"
}

# The colour of pixel X,Y of a PNG as RRGGBB.
pixel_of() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# Captures window WID's client area into FILE once a point that no control
# covers shows the window's colour, so the shot is not taken before the first
# paint.
session_capture()
{
    require_tools import convert
    local wid=$1 file=$2 x y colour
    read -r x y < <(form_query bare-point)
    colour=$(form_query colour window)
    painted() { import -window "$wid" "$file" 2>/dev/null && [[ $(pixel_of "$file" "$x" "$y") == "$colour" ]]; }
    session_retry 100 painted || {
        echo "the window was not painted in its background colour" >&2
        return 1
    }
}
