#!/usr/bin/python3
"""Start-up, size and per-move cost of the web page, beside a reference page.

    python3 bench/web_startup.py [--loads N] [--page DIR]

Builds the page with the "web" preset (build-web/) unless --page names a built
page folder. The reference is generated here: the page's own document once it
has been built, saved as static HTML without its scripts, so it shows the same
form, with the same styles and icon, and no WebAssembly. Both are opened from
disk in one headless Chromium, alternately, N times each (default 31), first
in an 800 x 600 window, then on an emulated 360 x 640 phone (mobile, touch),
and the medians are printed of two times from navigation start:

- ready: the page marks performance.mark("crossing-ready") once its load
  handler has run, the reference at the end of its body;
- first move possible: the later of ready and the first contentful paint, as
  a move needs the controls on screen as well as the rules behind them.

Then, in the 800 x 600 window, the page's first visit over http://127.0.0.1,
where it also installs its service worker: the same two times, N visits each
with the worker and with the server answering 404 for it (every visit a
first one, on a port of its own, the server forbidding the HTTP cache), and
every byte the server sent on one first visit, until the worker keeps its
copy, by request.
"""
import argparse
import functools
import http.server
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

ROOT = pathlib.Path(__file__).resolve().parent.parent
READY = "crossing-ready"
ENTRY_TIME = "const e = performance.getEntriesByName('{}'); return e.length ? e[0].startTime : null;"
READY_TIME = ENTRY_TIME.format(READY)
PAINT_TIME = ENTRY_TIME.format("first-contentful-paint")

# The same static document, less its scripts, plus the mark where the parser
# reaches the end of the body: the reference's controls exist from then on.
SNAPSHOT = f"""
const copy = document.documentElement.cloneNode(true);
copy.querySelectorAll('script').forEach(s => s.remove());
const mark = document.createElement('script');
mark.textContent = "performance.mark('{READY}')";
copy.querySelector('body').appendChild(mark);
return '<!DOCTYPE html>\\n' + copy.outerHTML;
"""

# Moves made by the page's own click handling, timed in a batch, as
# performance.now() is coarse in a page opened from disk: the handling itself
# (the rules and every change they make to the document), then the style and
# layout it causes, forced at once. The boys cross and come back, which is
# always allowed.
MOVES = """
const rounds = arguments[0];
const click = id => document.getElementById(id).click();
let handling = 0, layout = 0;
for (let i = 0; i < rounds; ++i) {
    for (const seats of [['Check1(0)/tick', 'Check1(1)/tick'], ['Check1(3)/tick', 'Check1(4)/tick']]) {
        seats.forEach(click);
        document.body.offsetHeight;
        const start = performance.now();
        click('Command1(0)');
        const handled = performance.now();
        document.body.offsetHeight;
        handling += handled - start;
        layout += performance.now() - handled;
    }
}
return {moves: 2 * rounds, count: document.getElementById('Label1(4)').textContent, handling, layout};
"""


# Where the page is opened: a desktop window as the browser starts, and a
# phone as Chromium's device emulation makes one.
SCREENS = {
    "desktop 800 x 600": None,
    "phone 360 x 640": {"width": 360, "height": 640, "deviceScaleFactor": 3, "mobile": True},
}


def emulate(driver, metrics):
    if metrics is None:
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
    else:
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})


# Resolves once the page's service worker has installed (keeping its copy of
# the page) and taken over.
WORKER_ACTIVE = """
const done = arguments[arguments.length - 1];
navigator.serviceWorker.ready.then(r => {
    const worker = r.active;
    if (worker.state === 'activated')
        done(true);
    else
        worker.addEventListener('statechange', () => worker.state === 'activated' && done(true));
});
"""


class CountedStream:
    """What a request's handler writes, counted against its path."""

    def __init__(self, stream, handler):
        self.stream, self.handler = stream, handler

    def write(self, data):
        self.handler.server.sent[self.handler.path][1] += len(data)
        return self.stream.write(data)

    def __getattr__(self, name):
        return getattr(self.stream, name)


class FirstVisitHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the page's folder, nothing for the browser's HTTP cache to keep,
    counting every byte sent; the worker's script answered with 404 while
    the server's `with_worker` is false."""

    def setup(self):
        super().setup()
        self.wfile = CountedStream(self.wfile, self)

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def send_head(self):
        self.server.sent.setdefault(self.path, [0, 0])[0] += 1
        if not self.server.with_worker and self.path.endswith("/worker.js"):
            self.send_error(404)
            return None
        return super().send_head()

    def handle(self):
        try:
            super().handle()
        except ConnectionError:  # the browser gave up on a request, as it may
            pass

    def log_message(self, *args):
        pass


def first_visit(driver, folder, with_worker):
    """Times of a first visit, on an origin of its own (a new port), and what
    the server sent. What the page starts after it (the worker's
    installation, or its refused script) has finished before it returns."""
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(FirstVisitHandler, directory=str(folder)))
    server.sent, server.with_worker = {}, with_worker
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        times = load_times(driver, f"http://127.0.0.1:{server.server_address[1]}/")
        if with_worker:
            driver.execute_async_script(WORKER_ACTIVE)
        deadline = time.monotonic() + 10
        while "/worker.js" not in server.sent:
            if time.monotonic() > deadline:
                sys.exit("the page never asked for its worker")
            time.sleep(0.002)
    finally:
        server.shutdown()
        server.server_close()
    return times, server.sent


def http_first_visits(driver, folder, loads):
    """Medians of first visits with the worker and without it, alternating,
    and what the server sent on one first visit with it."""
    times = {True: [], False: []}
    for round_ in range(loads):
        for with_worker in sorted(times, reverse=round_ % 2 == 1):
            times[with_worker].append(first_visit(driver, folder, with_worker)[0])
    medians = {w: [statistics.median(t[i] for t in runs) for i in (0, 1)] for w, runs in times.items()}
    return medians, first_visit(driver, folder, True)[1]


def browser():
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=800,600",
                     "--force-device-scale-factor=1", "--disable-extensions",
                     # Nothing but the page on the network: no updates, sync or field trials.
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--no-first-run"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def wait_for(driver, script, what, timeout=10.0):
    deadline = time.monotonic() + timeout
    while (value := driver.execute_script(script)) is None:
        if time.monotonic() > deadline:
            sys.exit(f"{driver.current_url}: {what} never came")
        time.sleep(0.002)
    return value


def ready_time(driver, url):
    driver.get(url)
    return wait_for(driver, READY_TIME, "the first move")


def load_times(driver, url):
    """Navigation start to ready, and to the first move being possible."""
    ready = ready_time(driver, url)
    return ready, max(ready, wait_for(driver, PAINT_TIME, "the first paint"))


def build_page():
    for step in (["cmake", "--preset", "web"], ["cmake", "--build", "--preset", "web"]):
        result = subprocess.run(step, cwd=ROOT, capture_output=True, text=True)
        if result.returncode != 0:
            sys.exit(result.stdout + result.stderr)
    return ROOT / "build-web" / "web" / "page"


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--loads", type=int, default=31, help="loads of each page (default 31)")
    parser.add_argument("--page", type=pathlib.Path, help="a built page folder (default: build it)")
    parser.add_argument("--move-rounds", type=int, default=500, help="crossings there and back to time")
    args = parser.parse_args()
    page = (args.page or build_page()).resolve()
    if not (page / "index.html").is_file():
        sys.exit(f"{page} holds no index.html")

    files = sorted(p for p in page.iterdir() if p.is_file())
    total = sum(p.stat().st_size for p in files)
    print("Files of the page's folder (opened from disk it loads index.html alone):")
    for path in files:
        print(f"  {path.name:<20} {path.stat().st_size:>8} bytes  {path.stat().st_size / 1024:7.1f} KiB")
    print(f"  {'total':<20} {total:>8} bytes  {total / 1024:7.1f} KiB")

    driver = browser()
    results = {}
    try:
        with tempfile.TemporaryDirectory() as folder:
            page_url = (page / "index.html").as_uri()
            ready_time(driver, page_url)
            reference = pathlib.Path(folder) / "reference.html"
            reference.write_text(driver.execute_script(SNAPSHOT), encoding="utf-8")
            urls = {"page": page_url, "reference": reference.as_uri()}
            for screen, metrics in SCREENS.items():
                emulate(driver, metrics)
                # Each round opens both; which goes first alternates.
                times = {"page": [], "reference": []}
                for round_ in range(args.loads):
                    for name in sorted(urls, reverse=round_ % 2 == 1):
                        times[name].append(load_times(driver, urls[name]))
                ready_time(driver, page_url)
                results[screen] = times, driver.execute_script(MOVES, args.move_rounds)
            emulate(driver, SCREENS["desktop 800 x 600"])
            served, sent = http_first_visits(driver, page, args.loads)
    finally:
        driver.quit()

    for screen, (times, moves) in results.items():
        if moves["count"] != str(moves["moves"]):
            sys.exit(f"{screen}: the page refused moves: {moves['moves']} made, the count shows {moves['count']}")
        print(f"\n{screen}: medians of {args.loads} alternating loads, from navigation start (ms):")
        print(f"  {'':<26}{'ready':>8}{'first move possible':>22}")
        medians = {name: [statistics.median(t[i] for t in runs) for i in (0, 1)] for name, runs in times.items()}
        for name, label in (("reference", "reference (static HTML)"), ("page", "page (WebAssembly)")):
            print(f"  {label:<26}{medians[name][0]:8.1f}{medians[name][1]:22.1f}")
        ratios = [medians["page"][i] / medians["reference"][i] for i in (0, 1)]
        print(f"  {'page / reference':<26}{ratios[0]:7.2f}x{ratios[1]:21.2f}x")
        handling = moves["handling"] / moves["moves"] * 1000
        layout = moves["layout"] / moves["moves"] * 1000
        print(f"  One move, mean of {moves['moves']}: {handling:.0f} µs handling the click, "
              f"{handling + layout:.0f} µs with the style and layout it causes")

    print(f"\nFirst visits over HTTP, medians of {args.loads} each, from navigation start (ms):")
    print(f"  {'':<26}{'ready':>8}{'first move possible':>22}")
    for with_worker, label in ((False, "no worker (404)"), (True, "worker registered on load")):
        print(f"  {label:<26}{served[with_worker][0]:8.1f}{served[with_worker][1]:22.1f}")
    print("\nSent by the server on a first visit over HTTP, headers included, until the worker keeps its copy:")
    for path, (requests, size) in sorted(sent.items(), key=lambda item: -item[1][1]):
        print(f"  {path:<24} {requests:>2} x {size:>8} bytes  {size / 1024:7.1f} KiB")
    total = sum(size for _, size in sent.values())
    print(f"  {'total':<29} {total:>8} bytes  {total / 1024:7.1f} KiB")


if __name__ == "__main__":
    main()
