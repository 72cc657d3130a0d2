#!/usr/bin/python3
"""Runs one test as if on a machine of its own: the only way the tests start.

The test gets none of the caller's environment but PATH and the run's own
settings (CI, CROSSING_*, the sanitizers' options); a fresh, empty HOME,
XDG_RUNTIME_DIR and TMPDIR; and a session bus of its own, as every desktop
session has one. So nothing it starts can reach the caller's display, session
bus or home, and nothing the caller's desktop sets (a scale factor, a theme,
a font DPI) changes what it sees. What a test sets on purpose comes as
NAME=VALUE arguments, or, under ctest, as the test's ENVIRONMENT, whose names
the build lists in CROSSING_TEST_KEEP.

Whatever the test leaves running when it ends, a daemon that slipped away
included, is stopped: the launcher is the subreaper of everything below it.
Under ctest it also stops the test CROSSING_TEST_TIMEOUT seconds less a
margin after its start, saying so and what was still running, before ctest
would kill it without a word.

Usage: hermetic.py [NAME=VALUE ...] -- COMMAND [ARGUMENT ...]
"""
import ctypes
import os
import selectors
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# The run's own settings, which say how to test rather than what the desktop is.
PASSED_ON = {"PATH", "CI", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}
PASSED_ON_PREFIXES = ("CROSSING_",)
PR_SET_CHILD_SUBREAPER = 36
# Time left for stopping a test that ran out of time, before ctest's own limit.
STOP_MARGIN = 10
# How long what a test leaves behind gets to end after SIGTERM.
GRACE = 3


def say(sentence):
    print(f"hermetic.py: {sentence}", file=sys.stderr, flush=True)


def parse(arguments):
    if "--" not in arguments:
        sys.exit(__doc__.strip().splitlines()[-1])
    split = arguments.index("--")
    settings, command = arguments[:split], arguments[split + 1:]
    if not command or any("=" not in setting for setting in settings):
        sys.exit(__doc__.strip().splitlines()[-1])
    return dict(setting.split("=", 1) for setting in settings), command


def environment(root, settings):
    kept = set(filter(None, os.environ.get("CROSSING_TEST_KEEP", "").split(":")))
    env = {name: value for name, value in os.environ.items()
           if name in PASSED_ON or name in kept or name.startswith(PASSED_ON_PREFIXES)}
    for name in ("CROSSING_TEST_KEEP", "CROSSING_TEST_TIMEOUT"):
        env.pop(name, None)
    env.setdefault("PATH", "/usr/bin:/bin")
    # Python's bytecode would land beside the test scripts, in the source tree.
    env.update(LANG="C.UTF-8", HOME=f"{root}/home", XDG_RUNTIME_DIR=f"{root}/runtime", TMPDIR=f"{root}/tmp",
               PYTHONDONTWRITEBYTECODE="1", CROSSING_HERMETIC=root)
    env.update(settings)
    return env


def start_session_bus(env):
    """The test's session bus, at the place a desktop's user bus has; its address once it listens."""
    address = f"unix:path={env['XDG_RUNTIME_DIR']}/bus"
    log_path = f"{env['HOME']}/../bus.log"
    try:
        with open(log_path, "w") as log:
            bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile", f"--address={address}",
                                    "--print-address=1"], env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=log)
    except FileNotFoundError:
        say("SKIP: dbus-daemon is not installed (package dbus), so the test cannot have a session bus of its own")
        sys.exit(77)
    with selectors.DefaultSelector() as selector:
        selector.register(bus.stdout, selectors.EVENT_READ)
        if not selector.select(timeout=10) or not bus.stdout.readline().strip():
            with open(log_path) as log:
                said = log.read().strip()
            say(f"the test's session bus (dbus-daemon) did not start listening within 10 s: {said}")
            sys.exit(1)
    return address


def descendants():
    """Every process below this one: (pid, command line)."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                parent = int(stat.read().rsplit(")", 1)[1].split()[1])
            with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                words = cmdline.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except (OSError, ValueError, IndexError):
            continue  # ended while being read
        children.setdefault(parent, []).append((int(entry), words))
    found, below = [], [os.getpid()]
    while below:
        for child in children.get(below.pop(), []):
            found.append(child)
            below.append(child[0])
    return found


def reap():
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def stop_everything():
    """Ends every process below this one: SIGTERM, a grace period, then SIGKILL."""
    for signal_number in (signal.SIGTERM, signal.SIGKILL):
        for pid, _ in descendants():
            try:
                os.kill(pid, signal_number)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + GRACE
        while time.monotonic() < deadline:
            reap()
            if not [pid for pid, words in descendants() if words]:  # zombies have no command line
                break
            time.sleep(0.05)
    reap()


def main():
    settings, command = parse(sys.argv[1:])
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        say(f"cannot become the subreaper of the test's processes: {os.strerror(ctypes.get_errno())}")
        return 1
    limit = float(os.environ.get("CROSSING_TEST_TIMEOUT") or 0)
    allowed = max(limit - STOP_MARGIN, limit / 2)
    deadline = time.monotonic() + allowed if limit > 0 else None
    root = tempfile.mkdtemp(prefix="crossing-test-")
    try:
        env = environment(root, settings)
        for place in ("home", "runtime", "tmp"):
            os.mkdir(f"{root}/{place}", 0o700)
        env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(env)
        # A signal to the launcher (ctest, Ctrl-C) ends the test and what it started.
        for signal_number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(signal_number, lambda number, _: sys.exit(128 + number))
        try:
            test = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL)
        except OSError as error:
            say(f"cannot start {command[0]}: {error.strerror}")
            return 1
        try:
            status = test.wait(timeout=None if deadline is None else max(deadline - time.monotonic(), 0))
        except subprocess.TimeoutExpired:
            running = "; ".join(words for _, words in descendants() if words)
            say(f"FAIL: the test did not end within {allowed:.0f} s, so it is stopped; still running: {running}")
            return 1
        return status if status >= 0 else 128 - status
    finally:
        stop_everything()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
