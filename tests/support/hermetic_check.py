#!/usr/bin/python3
"""Checks the launcher every test runs in (hermetic.py) from a caller whose
environment is a desktop's: a display, a session bus, a desktop name, a
platform theme, a scale and font DPI, a home and runtime folder of its own.
A test must see none of it, get folders and a session bus of its own, keep
what it sets on purpose, and leave nothing running or on disk.

Usage: hermetic_check.py
"""
import json
import os
import subprocess
import sys
import tempfile

LAUNCHER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hermetic.py")
# What a test sees: its environment, and whether its folders are empty.
REPORT = """
import json, os, subprocess
folders = {name: sorted(os.listdir(os.environ[name])) for name in ("HOME", "XDG_RUNTIME_DIR", "TMPDIR")}
bus = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
                      "org.freedesktop.DBus.GetId"], capture_output=True, timeout=10).returncode == 0
print(json.dumps({"env": dict(os.environ), "folders": folders, "bus answers": bus}))
"""
# A daemon that leaves its parent and session, as a bus launcher's does; it
# writes its process id where the check can find it.
ESCAPE = """
import os, sys, time
if os.fork() == 0:
    os.setsid()
    if os.fork() == 0:
        open(sys.argv[1], "w").write(str(os.getpid()))
        time.sleep(600)
    os._exit(0)
os.wait()
sys.exit(3)
"""


def run(arguments, extra_env=None, timeout=60):
    return subprocess.run([LAUNCHER, *arguments], env={**CALLER, **(extra_env or {})}, capture_output=True,
                          text=True, timeout=timeout)


def report(arguments=(), extra_env=None):
    done = run([*arguments, "--", sys.executable, "-c", REPORT], extra_env)
    if done.returncode != 0:
        raise AssertionError(f"the launcher failed ({done.returncode}): {done.stderr}")
    return json.loads(done.stdout)


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    with open(f"/proc/{pid}/stat") as stat:
        return stat.read().rsplit(")", 1)[1].split()[0] != "Z"


def check_caller_desktop_unseen():
    seen = report()
    env = seen["env"]
    leaked = sorted(name for name in CALLER if name in env and name not in ("PATH", "CI")
                    and env[name] == CALLER[name])
    assert not leaked, f"the test saw the caller's {leaked}"
    assert not [name for name in env if name.startswith(("QT_", "GDK_", "GTK_", "XDG_CURRENT", "XDG_SESSION"))], env
    assert "DISPLAY" not in env and "WAYLAND_DISPLAY" not in env, env
    for name in ("HOME", "XDG_RUNTIME_DIR", "TMPDIR"):
        assert env[name] not in (CALLER_ROOT, CALLER_HOME), f"{name} is the caller's: {env[name]}"
        own = ["bus", "dbus-1"] if name == "XDG_RUNTIME_DIR" else []  # the session bus's socket and folder
        assert seen["folders"][name] == own, f"{name} holds more than the test's own: {seen['folders'][name]}"
    assert seen["bus answers"], "no session bus answers at the test's DBUS_SESSION_BUS_ADDRESS"
    assert not os.listdir(CALLER_HOME), f"the caller's home was written: {os.listdir(CALLER_HOME)}"
    assert not os.path.exists(env["CROSSING_HERMETIC"]), "the test's folders were left behind"


def check_chosen_settings_kept():
    env = report(["QT_SCALE_FACTOR=2", "MARK=a=b"], {"QT_QPA_PLATFORM": "offscreen",
                                                     "CROSSING_TEST_KEEP": "QT_QPA_PLATFORM"})["env"]
    assert env.get("QT_SCALE_FACTOR") == "2" and env.get("MARK") == "a=b", env
    assert env.get("QT_QPA_PLATFORM") == "offscreen", "the test's own ENVIRONMENT was dropped"
    assert "CROSSING_TEST_KEEP" not in env, env


def check_escaped_daemon_stopped():
    with tempfile.TemporaryDirectory() as scratch:
        pid_file = os.path.join(scratch, "pid")
        done = run(["--", sys.executable, "-c", ESCAPE, pid_file])
        assert done.returncode == 3, f"the test's status was not passed on: {done.returncode}"
        pid = int(open(pid_file).read())
        assert not alive(pid), f"the daemon the test left ({pid}) is still running"


def check_hung_test_stopped():
    done = run(["--", "sleep", "300"], {"CROSSING_TEST_TIMEOUT": "2"}, timeout=120)
    assert done.returncode == 1, f"a hung test ended with status {done.returncode}"
    assert "did not end within 1 s" in done.stderr and "sleep 300" in done.stderr, done.stderr


CHECKS = [check_caller_desktop_unseen, check_chosen_settings_kept, check_escaped_daemon_stopped,
          check_hung_test_stopped]

if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as CALLER_ROOT:
        CALLER_HOME = os.path.join(CALLER_ROOT, "home")
        os.makedirs(CALLER_HOME)
        CALLER = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": CALLER_HOME,
            "XDG_RUNTIME_DIR": CALLER_ROOT, "TMPDIR": CALLER_ROOT, "XDG_CONFIG_HOME": CALLER_HOME,
            "DISPLAY": ":4711", "WAYLAND_DISPLAY": "wayland-4711", "XAUTHORITY": f"{CALLER_HOME}/.Xauthority",
            "DBUS_SESSION_BUS_ADDRESS": f"unix:path={CALLER_ROOT}/bus", "AT_SPI_BUS_ADDRESS": "unix:path=/x",
            "XDG_CURRENT_DESKTOP": "GNOME", "XDG_SESSION_TYPE": "x11", "DESKTOP_SESSION": "gnome",
            "KDE_FULL_SESSION": "true", "QT_QPA_PLATFORMTHEME": "gtk3", "QT_SCALE_FACTOR": "1.25",
            "QT_FONT_DPI": "120", "QT_QPA_PLATFORM": "wayland", "GDK_SCALE": "2", "GTK_THEME": "Adwaita:dark",
            "LC_ALL": "bg_BG.UTF-8", "SESSION_MANAGER": "local/host:@/tmp/.ICE-unix/1",
        }
        failed = 0
        for check in CHECKS:
            try:
                check()
                print(f"ok: {check.__name__}")
            except (AssertionError, subprocess.TimeoutExpired) as error:
                failed += 1
                print(f"FAIL: {check.__name__}: {error}", file=sys.stderr)
    sys.exit(1 if failed else 0)
