"""The three browser engines the web page is played in, driven alike, and the
page's folder served over HTTP: shared by the page's test and its start-up
benchmark.

- Chromium, headless, through chromedriver and Selenium;
- Firefox, headless, through its own WebDriver BiDi endpoint, spoken over a
  websocket (Debian has no geckodriver);
- WebKitGTK, through WebKitWebDriver and Selenium, its MiniBrowser on a
  private Xvfb display.

Callers run inside the tests' launcher (hermetic.py), which keeps the
desktop's variables away; each browser gets a scratch folder of its own for
its profile, HOME and XDG folders, and its output goes to a log file there
rather than to the caller's pipes. Every wait is
bounded: a browser that does not answer raises BrowserError with a sentence
saying what was awaited. quit() stops the browser, its driver and its display.

What an engine cannot be told at all is said by raising Unsupported, so that
a caller can skip that check in that engine with the reason.

A browser's screen is the viewport the page gets, in CSS pixels. Where
MiniBrowser's window cannot be that narrow, the page is opened in a frame of
that size at the window's corner, and scripts run inside the frame.
"""
import base64
import contextlib
import functools
import http.server
import json
import os
import pathlib
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time

ENGINES = ("chromium", "firefox", "webkit")

# The longest any single step may take before it counts as hung: a browser
# starting, a page loading, a script answering.
WAIT = 30.0

# The screen a browser opens with: a desktop window wider than the form.
DESKTOP = (1024, 768)

CHROMEDRIVER = "/usr/bin/chromedriver"
FIREFOX = "firefox-esr"
WEBKIT_DRIVER = "/usr/bin/WebKitWebDriver"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"


class BrowserError(Exception):
    """The browser failed, or did not answer in time."""


class Unsupported(Exception):
    """The engine has no way to do this; the message says why."""


class Key:
    """WebDriver's codes for the keys that type no character, the same in
    classic WebDriver and in BiDi."""

    TAB = "\ue004"
    RETURN = "\ue006"
    ENTER = "\ue007"
    SHIFT = "\ue008"
    ESCAPE = "\ue00c"
    SPACE = "\ue00d"
    UP = "\ue013"
    DOWN = "\ue015"


def usual_pixel_ratio(touch):
    """A phone's browser shows a page at three device pixels to the CSS one."""
    return 3 if touch else 1


def wait_until(condition, what, timeout=WAIT, interval=0.01):
    """Polls condition() until it returns something true, and returns that;
    BrowserError naming what was awaited once the time is up."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise BrowserError(f"{what} did not happen within {timeout:g} s")
        time.sleep(interval)
    return value


def private_environment(scratch, display=None):
    """The environment the caller runs in (the tests' launcher, hermetic.py,
    which has taken away the desktop's), with HOME and the XDG folders in the
    browser's own scratch folder, the display given, and no session bus: on
    one, WebKit starts the desktop's portals and accessibility bus, which a
    page needs none of and whose document portal mounts a file system in the
    runtime folder."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")}
    for name, sub in (("HOME", ""), ("XDG_CONFIG_HOME", "config"), ("XDG_CACHE_HOME", "cache"),
                      ("XDG_DATA_HOME", "data"), ("XDG_RUNTIME_DIR", "runtime")):
        folder = os.path.join(scratch, sub)
        os.makedirs(folder, mode=0o700, exist_ok=True)
        env[name] = folder
    env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={os.path.join(scratch, 'no-session-bus')}"
    env["NO_AT_BRIDGE"] = "1"
    if display:
        env["DISPLAY"] = display
        env["GDK_BACKEND"] = "x11"
    return env


# Stands in a coarse primary pointer where the engine cannot be told of one:
# every media query of the document's style sheets that asks for one matches.
STAND_IN_COARSE_POINTER = """
const always = '(min-width: 0px)';
const rewrite = list => {
    if (list && list.mediaText.includes('pointer: coarse'))
        list.mediaText = list.mediaText.replaceAll('(pointer: coarse)', always);
};
const walk = rules => {
    for (const rule of rules) {
        if (rule.media) rewrite(rule.media);
        if (rule.cssRules) walk(rule.cssRules);
    }
};
for (const sheet of document.styleSheets) {
    const owner = sheet.ownerNode;
    if (owner && owner.media && owner.media.includes('pointer: coarse'))
        owner.media = owner.media.replaceAll('(pointer: coarse)', always);
    walk(sheet.cssRules);
}
"""


class Browser:
    """One engine's browser: navigates, runs scripts in the page, clicks, taps
    and types as a user does, and takes screenshots.

    Scripts are function bodies, as in Selenium: they read their arguments as
    `arguments` and give their result with `return`; an asynchronous one
    calls its last argument with the result. Arguments and results are JSON
    values. Coordinates are the page's CSS pixels from its viewport's corner.
    """

    engine = ""

    def __init__(self, touch=False, font_size=None, forced_colours=False, javascript=True, logs=False):
        self.touch, self.logs = touch, logs
        self.version = ""
        self.scratch = tempfile.mkdtemp(prefix=f"{self.engine}-")
        self.screen = DESKTOP
        try:
            self._start(font_size=font_size, forced_colours=forced_colours, javascript=javascript)
        except BaseException:
            # Whatever had started is stopped; the start's own error is the one told.
            with contextlib.suppress(Exception):
                self.quit()
            raise

    # -- to be given by each engine -----------------------------------------

    def _start(self, font_size, forced_colours, javascript):
        """Starts the browser, its driver and whatever they need; whatever
        it started, _stop() stops, however far it got."""
        raise NotImplementedError

    def _navigate(self, url):
        raise NotImplementedError

    def js(self, script, *args):
        raise NotImplementedError

    def js_async(self, script, *args):
        raise NotImplementedError

    def click(self, x, y):
        raise NotImplementedError

    def tap(self, x, y):
        raise NotImplementedError

    def press(self, key, modifiers=()):
        raise NotImplementedError

    def screenshot(self, path):
        raise NotImplementedError

    def set_screen(self, width, height, pixel_ratio=None):
        """The viewport the page gets. The pixel ratio is the device's pixels
        to a CSS one; none: three on a touch screen, as on a phone, and one
        on the desktop, where the engine can be told."""
        raise NotImplementedError

    def _stop(self):
        raise NotImplementedError

    # -- alike in every engine ----------------------------------------------

    def get(self, url):
        """Opens the URL and waits until it has loaded."""
        self._navigate(url)
        wait_until(lambda: self.js("return document.readyState") == "complete", f"loading {url}")

    def requests(self):
        """The URLs the page asked for since the last call."""
        raise Unsupported(f"{self.engine}'s driver reports no requests")

    def errors(self):
        """Script errors and console errors since the last call."""
        raise Unsupported(f"{self.engine}'s driver reports no console messages")

    def quit(self):
        try:
            self._stop()
        finally:
            self._remove_scratch()

    def _remove_scratch(self):
        # A helper of the browser's (Chromium's crash reporter) may close its
        # files there a moment after the browser has gone; anything left
        # after that (a mount, a process still writing) is a leak.
        def removed():
            shutil.rmtree(self.scratch, ignore_errors=True)
            return not os.path.exists(self.scratch)
        try:
            wait_until(removed, f"{self.engine}'s scratch folder emptying", timeout=10, interval=0.1)
        except BrowserError as error:
            left = [str(path) for path in pathlib.Path(self.scratch).rglob("*")][:5]
            raise BrowserError(f"{error}: {self.scratch} still holds {left}") from None

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.quit()


# -- Chromium and WebKitGTK through Selenium --------------------------------

class SeleniumBrowser(Browser):
    """A browser behind a classic WebDriver server, through Selenium."""

    def _connect(self, service, options, driver_class=None):
        from selenium import webdriver
        from selenium.webdriver.remote.remote_connection import RemoteConnection
        # A driver that stops answering fails the call rather than hanging it.
        RemoteConnection.set_timeout(2 * WAIT)
        self.service = service
        if driver_class:
            # It starts the service and stops it again should the session fail.
            self.driver = driver_class(service=service, options=options)
        else:
            service.start()
            try:
                self.driver = webdriver.Remote(command_executor=service.service_url, options=options)
            except Exception:
                service.stop()
                raise
        self.driver.set_script_timeout(WAIT)
        self.driver.set_page_load_timeout(WAIT)
        self.version = self.driver.capabilities.get("browserVersion", "")

    def _navigate(self, url):
        from selenium.common.exceptions import WebDriverException
        try:
            self.driver.get(url)
        except WebDriverException as error:
            raise BrowserError(f"opening {url}: {error.msg}") from None

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def js_async(self, script, *args):
        return self.driver.execute_async_script(script, *args)

    def click(self, x, y):
        from selenium.webdriver.common.actions import interaction
        from selenium.webdriver.common.actions.action_builder import ActionBuilder
        from selenium.webdriver.common.actions.pointer_input import PointerInput
        mouse = PointerInput(interaction.POINTER_MOUSE, "mouse")
        actions = ActionBuilder(self.driver, mouse=mouse, duration=0)
        actions.pointer_action.move_to_location(round(x), round(y)).pointer_down().pointer_up()
        actions.perform()

    def press(self, key, modifiers=()):
        from selenium.webdriver.common.action_chains import ActionChains
        chain = ActionChains(self.driver, duration=0)
        for modifier in modifiers:
            chain.key_down(modifier)
        chain.key_down(key).key_up(key)
        for modifier in reversed(modifiers):
            chain.key_up(modifier)
        chain.perform()

    def screenshot(self, path):
        if not self.driver.save_screenshot(path):
            raise BrowserError(f"{self.engine} took no screenshot")

    def _stop(self):
        try:
            if getattr(self, "driver", None) is not None:
                self.driver.quit()
        finally:
            if getattr(self, "service", None) is not None:
                self.service.stop()


class Chromium(SeleniumBrowser):
    """Headless Chromium, its screen set by DevTools' device emulation: a
    touch screen is a mobile one, with a coarse pointer."""

    engine = "chromium"

    def _start(self, font_size, forced_colours, javascript):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        options = webdriver.ChromeOptions()
        if font_size:
            options.add_experimental_option("prefs", {"webkit.webprefs.default_font_size": font_size})
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--force-device-scale-factor=1",
                         "--disable-extensions", "--lang=bg", f"--user-data-dir={self.scratch}/profile",
                         # Nothing but the page on the network: no updates, sync or field trials.
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         "--no-first-run"):
            options.add_argument(argument)
        if self.logs:
            options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        env = private_environment(self.scratch)
        self._connect(Service(CHROMEDRIVER, log_path=os.path.join(self.scratch, "driver.log"), env=env), options,
                      webdriver.Chrome)
        if forced_colours:
            self.cdp("Emulation.setEmulatedMedia", {"features": [{"name": "forced-colors", "value": "active"}]})
        if not javascript:
            self.cdp("Emulation.setScriptExecutionDisabled", {"value": True})
        if self.touch:
            self.cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.set_screen(*DESKTOP)

    def cdp(self, method, params=None):
        """A DevTools command: what only Chromium can be asked."""
        return self.driver.execute_cdp_cmd(method, params or {})

    def set_screen(self, width, height, pixel_ratio=None):
        self.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "mobile": self.touch,
                  "deviceScaleFactor": pixel_ratio or usual_pixel_ratio(self.touch)})
        self.screen = (width, height)

    def tap(self, x, y):
        # DevTools' touch goes through the same path as a finger's; its
        # coordinates are the visual viewport's, which the page never zooms.
        for touch in ({"type": "touchStart", "touchPoints": [{"x": x, "y": y}]},
                      {"type": "touchEnd", "touchPoints": []}):
            self.cdp("Input.dispatchTouchEvent", touch)

    def requests(self):
        if not self.logs:
            raise Unsupported("this Chromium was started without its logs")
        urls = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.append(message["params"]["request"]["url"])
        return urls

    def errors(self):
        if not self.logs:
            raise Unsupported("this Chromium was started without its logs")
        return [entry["message"] for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]


class XvfbDisplay:
    """A private X display of its own number, until stopped."""

    def __init__(self, scratch, size=(1280, 1024)):
        read_end, write_end = os.pipe()
        with open(os.path.join(scratch, "xvfb.log"), "wb") as log:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{size[0]}x{size[1]}x24", "-dpi", "96",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
        os.close(write_end)
        number = b""
        try:
            deadline = time.monotonic() + WAIT
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise BrowserError(f"Xvfb did not say its display number within {WAIT:g} s "
                                       f"(its log: {scratch}/xvfb.log)")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise BrowserError(f"Xvfb ended before it opened a display (its log: {scratch}/xvfb.log)")
                number += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.name = ":" + number.decode().strip()
        # With no window manager the keyboard goes to the window under the
        # pointer, which starts in the screen's middle: a window smaller
        # than half the screen would not get it. Every window opens at the
        # corner, so the pointer goes there.
        try:
            subprocess.run(["xdotool", "mousemove", "0", "0"], env={**os.environ, "DISPLAY": self.name},
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                           timeout=WAIT, check=True)
        except (OSError, subprocess.SubprocessError) as error:
            self.stop()
            raise BrowserError(f"xdotool could not move the pointer on {self.name}: {error}") from None

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=WAIT)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class WebKit(SeleniumBrowser):
    """MiniBrowser, WebKitGTK's browser for automation, on a private Xvfb
    display through WebKitWebDriver."""

    engine = "webkit"
    # Narrower than this, MiniBrowser's window does not go.
    NARROWEST_WINDOW = 447

    def _start(self, font_size, forced_colours, javascript):
        if forced_colours:
            raise Unsupported("WebKitGTK has no forced colours on Linux, nor a way to emulate them")
        from selenium.webdriver.webkitgtk.options import Options
        from selenium.webdriver.webkitgtk.service import Service
        options = Options()
        options.binary_location = MINIBROWSER
        options.add_argument("--automation")
        # Files count as one origin, so that a page in the frame a phone's
        # width needs is its host's own and may take the focus: WebKit gives
        # none to a frame of another origin.
        options.add_argument("--allow-file-access-from-file-urls=true")
        if not javascript:
            options.add_argument("--enable-javascript=false")
        if font_size:
            settings = pathlib.Path(self.scratch, "settings.ini")
            settings.write_text(f"[websettings]\ndefault-font-size={font_size}\n", encoding="ascii")
            options.add_argument(f"--config={settings}")
        self.frame, self.hosting = None, False
        self.display = XvfbDisplay(self.scratch)
        env = private_environment(self.scratch, self.display.name)
        self._connect(Service(WEBKIT_DRIVER, log_path=os.path.join(self.scratch, "driver.log"), env=env), options)
        # The window's edges and bar take what the page does not get.
        outer = self.driver.get_window_size()
        inner = self.js("return [innerWidth, innerHeight]")
        self.chrome = (outer["width"] - inner[0], outer["height"] - inner[1])
        self.set_screen(*DESKTOP)

    def set_screen(self, width, height, pixel_ratio=None):
        if pixel_ratio not in (None, 1):
            raise Unsupported("WebKitWebDriver cannot change the device pixel ratio")
        if width + self.chrome[0] < self.NARROWEST_WINDOW:
            # A frame of the screen's size, in a window that holds it; a page
            # already in a frame sees its screen change as a phone's turns.
            self.frame = (width, height)
            self.driver.set_window_size(max(self.NARROWEST_WINDOW, width + self.chrome[0]) + 100,
                                        height + self.chrome[1] + 100)
            if self.hosting:
                self.driver.switch_to.default_content()
                self.js("Object.assign(document.querySelector('iframe').style, "
                        "{width: arguments[0] + 'px', height: arguments[1] + 'px'})", width, height)
                self.driver.switch_to.frame(0)
        else:
            # A page in a frame stays there until the next page is opened,
            # which fills the window.
            if self.hosting:
                self.driver.switch_to.default_content()
                self.hosting = False
            self.frame = None
            self.driver.set_window_size(width + self.chrome[0], height + self.chrome[1])
            # The page learns its new size a moment after the window. The
            # frame above is for widths the window cannot take; should
            # MiniBrowser's narrowest window change, this says so.
            try:
                wait_until(lambda: self.js("return [innerWidth, innerHeight]") == [width, height],
                           f"the page in MiniBrowser's window becoming {width} x {height}", timeout=5)
            except BrowserError as error:
                raise BrowserError(f"{error}: is its narrowest window another width than "
                                   f"{self.NARROWEST_WINDOW}?") from None
        self.screen = (width, height)

    def _navigate(self, url):
        self.hosting = self.frame is not None
        if self.frame is None:
            super()._navigate(url)
            return
        if not url.startswith("file:"):
            raise Unsupported("a page in a frame takes the focus only from a host of its own origin: a file")
        width, height = self.frame
        host = pathlib.Path(self.scratch, "frame.html")
        host.write_text(
            '<!DOCTYPE html><html><body style="margin: 0">'
            f'<iframe src="{url}" style="display: block; border: 0; width: {width}px; height: {height}px">'
            # The frame's page has the keyboard, as a phone's would.
            "</iframe><script>document.querySelector('iframe').focus()</script></body></html>", encoding="utf-8")
        self.driver.switch_to.default_content()
        super()._navigate(host.as_uri())
        self.driver.switch_to.frame(0)

    def get(self, url):
        super().get(url)
        if self.touch:
            self.js(STAND_IN_COARSE_POINTER)

    def tap(self, x, y):
        # WebKitGTK's driver turns no touch into a tap on Linux: the finger
        # is a mouse button there.
        self.click(x, y)

    def screenshot(self, path):
        # The whole window's page, the frame at its corner.
        if self.frame is None:
            super().screenshot(path)
            return
        self.driver.switch_to.default_content()
        try:
            super().screenshot(path)
        finally:
            self.driver.switch_to.frame(0)

    def _stop(self):
        try:
            super()._stop()
        finally:
            if getattr(self, "display", None) is not None:
                self.display.stop()


# -- Firefox over WebDriver BiDi ---------------------------------------------

# Firefox quiet and alone: nothing fetched but the page, no first-run pages,
# reports or updates.
FIREFOX_PREFERENCES = {
    "app.normandy.enabled": False,
    "app.update.disabledForTesting": True,
    "browser.newtabpage.enabled": False,
    "browser.safebrowsing.downloads.enabled": False,
    "browser.safebrowsing.malware.enabled": False,
    "browser.safebrowsing.phishing.enabled": False,
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.startup.page": 0,
    "datareporting.healthreport.uploadEnabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "extensions.update.enabled": False,
    "intl.accept_languages": "bg",
    "messaging-system.rsexperimentloader.enabled": False,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "network.dns.disablePrefetch": True,
    "network.prefetch-next": False,
    "toolkit.telemetry.enabled": False,
    # Times at the clock's own precision, for the start-up benchmark.
    "privacy.reduceTimerPrecision": False,
}

# Firefox's pointer capabilities, as its look-and-feel settings count them.
COARSE_POINTER_ONLY = 1


def bidi_value(value):
    """A Python value as BiDi's script argument."""
    if value is None:
        return {"type": "null"}
    if isinstance(value, bool):
        return {"type": "boolean", "value": value}
    if isinstance(value, (int, float)):
        return {"type": "number", "value": value}
    if isinstance(value, str):
        return {"type": "string", "value": value}
    if isinstance(value, (list, tuple)):
        return {"type": "array", "value": [bidi_value(v) for v in value]}
    if isinstance(value, dict):
        return {"type": "object", "value": [[str(k), bidi_value(v)] for k, v in value.items()]}
    raise TypeError(f"{value!r} cannot be passed to a script")


SPECIAL_NUMBERS = {"NaN": float("nan"), "-0": -0.0, "Infinity": float("inf"), "-Infinity": float("-inf")}


def python_value(remote):
    """A script's result from BiDi as a Python value; nodes and the like as
    their type."""
    kind, value = remote["type"], remote.get("value")
    if kind in ("undefined", "null"):
        return None
    if kind == "number":
        return SPECIAL_NUMBERS.get(value, value) if isinstance(value, str) else value
    if kind in ("string", "boolean"):
        return value
    if kind in ("array", "set"):
        return [python_value(v) for v in value or []]
    if kind in ("object", "map"):
        return {(k if isinstance(k, str) else python_value(k)): python_value(v) for k, v in value or []}
    return {"type": kind}


# Whether the focus is on the document's last control that takes it, or on
# its first when going backwards (arguments[0]).
AT_THE_END = """
const focusable = Array.from(document.querySelectorAll('a[href], button, input, select, textarea, [tabindex]'))
    .filter(e => !e.disabled && e.tabIndex >= 0 && e.getClientRects().length > 0 && !e.closest('fieldset:disabled'));
const end = arguments[0] ? focusable[0] : focusable[focusable.length - 1];
return end !== undefined && document.activeElement === end;
"""


class Firefox(Browser):
    """Headless Firefox spoken to over its WebDriver BiDi websocket, in a tab
    of its own (the tab it starts with never gets the keyboard's focus)."""

    engine = "firefox"

    def _start(self, font_size, forced_colours, javascript):
        import websocket
        self._websocket = websocket
        preferences = dict(FIREFOX_PREFERENCES)
        if self.touch:
            preferences.update({"ui.primaryPointerCapabilities": COARSE_POINTER_ONLY,
                                "ui.allPointerCapabilities": COARSE_POINTER_ONLY,
                                "dom.w3c_touch_events.enabled": 1,
                                # A phone's scroll bars float over the page.
                                "ui.useOverlayScrollbars": 1})
        if font_size:
            for group in ("x-cyrillic", "x-western"):
                preferences[f"font.size.variable.{group}"] = font_size
        if forced_colours:
            preferences["browser.display.document_color_use"] = 2
        if not javascript:
            preferences["javascript.enabled"] = False
        profile = pathlib.Path(self.scratch, "profile")
        profile.mkdir()
        (profile / "user.js").write_text(
            "".join(f"user_pref({json.dumps(k)}, {json.dumps(v)});\n" for k, v in preferences.items()),
            encoding="utf-8")
        with open(os.path.join(self.scratch, "firefox.log"), "wb") as log:
            self.process = subprocess.Popen(
                [FIREFOX, "--headless", "--no-remote", "--remote-debugging-port=0", "--profile", str(profile)],
                env=private_environment(self.scratch), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                start_new_session=True)
        self.events = []
        self._open_session(profile)
        if self.logs:
            self.send("session.subscribe", events=["network.beforeRequestSent", "log.entryAdded"])
        self.set_screen(*DESKTOP)

    def _open_session(self, profile):
        # Firefox writes the port it listens on into the profile.
        port_file = profile / "WebDriverBiDiServer.json"

        def port():
            if self.process.poll() is not None:
                raise BrowserError(f"Firefox ended at start with status {self.process.returncode} "
                                   f"(its log: {self.scratch}/firefox.log)")
            try:
                return json.loads(port_file.read_text(encoding="utf-8"))["ws_port"]
            except (OSError, ValueError, KeyError):
                return None
        url = f"ws://127.0.0.1:{wait_until(port, 'Firefox opening its WebDriver BiDi port')}/session"
        # Firefox refuses a websocket that says where it comes from.
        self.socket = wait_until(lambda: self._try_connect(url), f"a websocket to {url}")
        self.socket.settimeout(WAIT)
        self.next_id = 0
        capabilities = self.send("session.new", capabilities={})["capabilities"]
        self.version = capabilities["browserVersion"]
        self.context = self.send("browsingContext.create", type="tab")["context"]

    def _try_connect(self, url):
        try:
            return self._websocket.create_connection(url, suppress_origin=True, timeout=WAIT)
        except (OSError, self._websocket.WebSocketException):
            return None

    def send(self, method, **params):
        """One BiDi command; its result, once Firefox answers it."""
        self.next_id += 1
        command_id = self.next_id
        try:
            self.socket.send(json.dumps({"id": command_id, "method": method, "params": params}))
            while True:
                message = json.loads(self.socket.recv())
                if message.get("id") == command_id:
                    break
                if message.get("type") == "event":
                    self.events.append(message)
        except self._websocket.WebSocketTimeoutException:
            raise BrowserError(f"Firefox did not answer {method} within {WAIT:g} s") from None
        except (OSError, self._websocket.WebSocketException) as error:
            raise BrowserError(f"Firefox's websocket failed during {method}: {error}") from None
        if message.get("type") == "error":
            raise BrowserError(f"{method}: {message.get('error')}: {message.get('message')}")
        return message["result"]

    def _navigate(self, url):
        self.send("browsingContext.navigate", context=self.context, url=url, wait="complete")

    def _call(self, declaration, args, await_promise):
        result = self.send("script.callFunction", functionDeclaration=declaration,
                           arguments=[bidi_value(a) for a in args], target={"context": self.context},
                           awaitPromise=await_promise, resultOwnership="none",
                           serializationOptions={"maxObjectDepth": 20})
        if result["type"] == "exception":
            details = result["exceptionDetails"]
            raise BrowserError(f"script error: {details.get('text')} (line {details.get('lineNumber')})")
        return python_value(result["result"])

    def js(self, script, *args):
        return self._call(f"function() {{\n{script}\n}}", args, False)

    def js_async(self, script, *args):
        # The script calls its last argument, as in Selenium; here that
        # resolves a promise Firefox awaits, for as long as a script may take.
        declaration = f"""function() {{
            const args = Array.from(arguments);
            return new Promise((resolve, reject) => {{
                setTimeout(() => reject(new Error('no answer within {WAIT:g} s')), {int(WAIT * 1000)});
                (function() {{
                    {script}
                }}).apply(this, [...args, resolve]);
            }});
        }}"""
        return self._call(declaration, args, True)

    def _perform(self, *sources):
        self.send("input.performActions", context=self.context, actions=list(sources))
        self.send("input.releaseActions", context=self.context)

    def _press_pointer(self, kind, x, y):
        self._perform({"type": "pointer", "id": kind, "parameters": {"pointerType": kind},
                       "actions": [{"type": "pointerMove", "x": round(x), "y": round(y), "origin": "viewport"},
                                   {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]})

    def click(self, x, y):
        self._press_pointer("mouse", x, y)

    def tap(self, x, y):
        self._press_pointer("touch", x, y)

    def press(self, key, modifiers=()):
        if key == Key.TAB and set(modifiers) <= {Key.SHIFT} and self.js(AT_THE_END, Key.SHIFT in modifiers):
            # Past the page's last control (or before its first) Firefox
            # takes the focus into its own bar, and a page driven over BiDi
            # never gets the keyboard back. Chromium's way round stands in:
            # the focus goes to the document, then on to the page's far end.
            self.js("document.activeElement.blur()")
            return
        keys = [{"type": "keyDown", "value": m} for m in modifiers]
        keys += [{"type": "keyDown", "value": key}, {"type": "keyUp", "value": key}]
        keys += [{"type": "keyUp", "value": m} for m in reversed(modifiers)]
        self._perform({"type": "key", "id": "keyboard", "actions": keys})

    def screenshot(self, path):
        data = self.send("browsingContext.captureScreenshot", context=self.context, origin="viewport")["data"]
        pathlib.Path(path).write_bytes(base64.b64decode(data))

    def set_screen(self, width, height, pixel_ratio=None):
        self.send("browsingContext.setViewport", context=self.context, viewport={"width": width, "height": height},
                  devicePixelRatio=pixel_ratio or usual_pixel_ratio(self.touch))
        self.screen = (width, height)

    def _events(self, method):
        # Whatever arrived since the last command, then those of this kind.
        self.send("session.status")
        found = [e["params"] for e in self.events if e["method"] == method]
        self.events = [e for e in self.events if e["method"] != method]
        return found

    def requests(self):
        if not self.logs:
            raise Unsupported("this Firefox was started without its logs")
        return [event["request"]["url"] for event in self._events("network.beforeRequestSent")]

    def errors(self):
        if not self.logs:
            raise Unsupported("this Firefox was started without its logs")
        return [event.get("text", "") for event in self._events("log.entryAdded") if event.get("level") == "error"]

    def _end_process(self):
        if getattr(self, "process", None) is not None and self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=WAIT)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()

    def _stop(self):
        try:
            if getattr(self, "socket", None) is not None:
                with contextlib.suppress(BrowserError):
                    self.send("session.end")
                self.socket.close()
        finally:
            self._end_process()


BROWSERS = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}


def start(engine, **settings):
    """A browser of the engine, at the desktop screen. Settings: touch (a
    touch screen with a coarse primary pointer), font_size (the browser's
    usual font size, in pixels), forced_colours, javascript (False: off),
    logs (requests and console errors kept for requests() and errors())."""
    return BROWSERS[engine](**settings)


# -- the page's folder over HTTP --------------------------------------------

class NoStoreHandler(http.server.SimpleHTTPRequestHandler):
    """Serves a folder and forbids the browser's HTTP cache to keep anything,
    so that whatever answers once the server is gone is the page's own
    service worker; quiet about requests, and about those the browser gives
    up, as it may."""

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def handle(self):
        try:
            super().handle()
        except ConnectionError:
            pass

    def log_message(self, *args):
        pass


class Server:
    """A folder served over http://127.0.0.1 on a port the system picks, from a
    thread of its own, until stopped. Attributes given are set on the server,
    where the handler reads them as self.server.NAME."""

    def __init__(self, folder, handler=NoStoreHandler, **attributes):
        self.server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(handler, directory=str(folder)))
        for name, value in attributes.items():
            setattr(self.server, name, value)
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        self.thread = None

    def start(self):
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        return self

    def stop(self):
        """Gone: a request is refused, as with no network."""
        if self.thread is not None:
            self.server.shutdown()
            self.thread.join(WAIT)
            self.thread = None
        self.server.server_close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exception):
        self.stop()
