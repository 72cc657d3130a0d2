#!/usr/bin/python3
"""Start-up, size and per-move cost of the web page, beside a reference page,
in Chromium, Firefox and WebKitGTK.

    python3 bench/web_startup.py [--loads N] [--page DIR] [--engines LIST] [--phases]

Builds the page with the "web" preset (build-web/) unless --page names a built
page folder. The reference is generated in each engine: the page's own
document once it has been built, saved as static HTML without its scripts, so
it shows the same form, with the same styles and icon, and no WebAssembly.
Both are opened from disk, alternately, N times each (default 31, after two
that warm the browser up), on each
screen: a desktop of 1024 x 768 with a mouse, and a 360 x 640 phone and a
1024 x 768 tablet, both touch screens. The medians are printed of two times
from navigation start:

- ready: the page marks performance.mark("crossing-ready") once its load
  handler has run, the reference at the end of its body;
- first move possible: the later of ready and the first contentful paint, as
  a move needs the controls on screen as well as the rules behind them.

--phases also splits the page's time to ready, on a copy of it with marks
between its scripts: the document up to the WebAssembly, decoding it, and
emscripten's script (compiling and instantiating the module, then the page's
own start-up, whose compile and instantiate parts are timed again on their
own in the loaded page).

Then, on the desktop, the page's first visit over http://127.0.0.1, where it
also installs its service worker: the same two times, N visits each with the
worker and with the server answering 404 for it (every visit a first one, on
a port of its own, the server forbidding the HTTP cache), and every byte the
server sent on one first visit, until the worker keeps its copy, by request.
"""
import argparse
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "support"))
import browsers  # noqa: E402

# Every load in the same clean environment, none of the caller's desktop: the
# launcher the tests run in.
if not os.environ.get("CROSSING_HERMETIC"):
    launcher = str(ROOT / "tests" / "support" / "hermetic.py")
    os.execv(launcher, [launcher, "--", sys.executable, *sys.argv])

READY = "crossing-ready"
FIRST_FRAME = "first-frame"
ENTRY_TIME = "const e = performance.getEntriesByName(arguments[0]); return e.length ? e[0].startTime : null;"
PAINT = "first-contentful-paint"

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

# Where an engine reports no paint (WebKit, in the frame a phone's screen
# needs), the first animation frame after the end of the body stands in for
# it, in both pages: the page is ready by then.
FIRST_FRAME_SCRIPT = f"<script>requestAnimationFrame(() => performance.mark('{FIRST_FRAME}'))</script>"

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

# Where the page is opened.
SCREENS = [
    ("desktop 1024 x 768, mouse", False, (1024, 768)),
    ("phone 360 x 640, touch", True, (360, 640)),
    ("tablet 1024 x 768, touch", True, (1024, 768)),
]

# Marks between the page's scripts, for --phases: where the WebAssembly's
# script starts and ends.
WASM_SCRIPT = "<script>\n// The WebAssembly module"
PHASE_MARKS = ["document-read", "module-decoded"]
PHASES = ["the document up to the module", "decoding the module",
          "emscripten's script: compile, instantiate, the page's start"]

# The module compiled and instantiated again in the loaded page, alone, its
# imports stood in by functions that do nothing.
REPEATED_WORK = """
const rounds = arguments[0];
let compile = 0, instantiate = 0;
for (let i = 0; i < rounds; ++i) {
    const start = performance.now();
    const module = new WebAssembly.Module(Module.wasmBinary);
    const compiled = performance.now();
    const imports = {};
    for (const wanted of WebAssembly.Module.imports(module))
        (imports[wanted.module] ||= {})[wanted.name] = () => 0;
    new WebAssembly.Instance(module, imports);
    compile += compiled - start;
    instantiate += performance.now() - compiled;
}
return {compile: compile / rounds, instantiate: instantiate / rounds};
"""

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


class FirstVisitHandler(browsers.NoStoreHandler):
    """Counts every byte sent; answers the worker's script with 404 while the
    server's `with_worker` is false."""

    def setup(self):
        super().setup()
        self.wfile = CountedStream(self.wfile, self)

    def send_head(self):
        self.server.sent.setdefault(self.path, [0, 0])[0] += 1
        if not self.server.with_worker and self.path.endswith("/worker.js"):
            self.send_error(404)
            return None
        return super().send_head()


def entry_time(browser, name, url):
    return browsers.wait_until(lambda: browser.js(ENTRY_TIME, name), f"{url}: the entry {name}", interval=0.002)


def ready_time(browser, url):
    browser.get(url)
    return entry_time(browser, READY, url)


def paints(browser):
    """Whether the engine times the first paint on this screen."""
    return not (browser.engine == "webkit" and browser.frame)


def load_times(browser, url):
    """Navigation start to ready, and to the first move being possible."""
    ready = ready_time(browser, url)
    return ready, max(ready, entry_time(browser, PAINT if paints(browser) else FIRST_FRAME, url))


def with_first_frame_mark(source, copy):
    """A copy of the page that marks its first animation frame."""
    html = source.read_text(encoding="utf-8")
    if html.count("</body>") != 1:
        sys.exit(f"{source}: no single end of the body to mark the first frame at")
    copy.write_text(html.replace("</body>", FIRST_FRAME_SCRIPT + "</body>"), encoding="utf-8")
    return copy


def first_visit(browser, folder, with_worker):
    """Times of a first visit, on an origin of its own (a new port), and what
    the server sent. What the page starts after it (the worker's
    installation, or its refused script) has finished before it returns."""
    with browsers.Server(folder, FirstVisitHandler, sent={}, with_worker=with_worker) as site:
        times = load_times(browser, site.url)
        if with_worker:
            browser.js_async(WORKER_ACTIVE)
        browsers.wait_until(lambda: "/worker.js" in site.server.sent, "the page asking for its worker")
    return times, site.server.sent


def medians(runs):
    return [statistics.median(run[i] for run in runs) for i in range(len(runs[0]))]


# Loads of each page before the timed ones, which the browser's first of them
# would make slower by starting its page process, its caches and compilers.
WARM_UP = 2


def alternating(browser, urls, loads, measure):
    """Each round opens every URL once; which goes first alternates. The
    first rounds warm the browser up and are not counted."""
    times = {name: [] for name in urls}
    for _ in range(min(loads, WARM_UP)):
        for url in urls.values():
            measure(browser, url)
    for round_ in range(loads):
        for name in sorted(urls, reverse=round_ % 2 == 1):
            times[name].append(measure(browser, urls[name]))
    return {name: medians(runs) for name, runs in times.items()}


def marked_copy(page, folder):
    """The page with a mark before its WebAssembly and one after it."""
    text = (page / "index.html").read_text(encoding="utf-8")
    if text.count(WASM_SCRIPT) != 1:
        sys.exit(f"the page's WebAssembly script does not start with {WASM_SCRIPT!r}")
    start = text.index(WASM_SCRIPT)
    end = text.index("</script>", start) + len("</script>")
    before, after = (f"<script>performance.mark('{name}')</script>" for name in PHASE_MARKS)
    copy = pathlib.Path(folder, "marked.html")
    copy.write_text(text[:start] + before + text[start:end] + after + text[end:], encoding="utf-8")
    return copy.as_uri()


def phase_times(browser, url):
    browser.get(url)
    marks = [entry_time(browser, name, url) for name in [*PHASE_MARKS, READY]]
    return [b - a for a, b in zip([0, *marks], marks)]


def measure(engine, page, folder, args):
    """Every figure of one engine, by screen, and its first visits over HTTP."""
    page_url = (page / "index.html").as_uri()
    results, version = {}, ""
    for touch in (False, True):
        with browsers.start(engine, touch=touch) as browser:
            version = browser.version
            for screen, on_touch, size in SCREENS:
                if on_touch != touch:
                    continue
                browser.set_screen(*size)
                ready_time(browser, page_url)
                reference = pathlib.Path(folder, f"reference-{engine}.html")
                reference.write_text(browser.js(SNAPSHOT), encoding="utf-8")
                paths = {"page": page / "index.html", "reference": reference}
                if not paints(browser):
                    paths = {name: with_first_frame_mark(path, pathlib.Path(folder, f"{name}-first-frame.html"))
                             for name, path in paths.items()}
                urls = {name: path.as_uri() for name, path in paths.items()}
                figures = {"times": alternating(browser, urls, args.loads, load_times),
                           "first frame": not paints(browser)}
                if args.phases:
                    marked = {"marked": marked_copy(page, folder)}
                    figures["phases"] = alternating(browser, marked, args.loads, phase_times)["marked"]
                    figures["repeated"] = browser.js(REPEATED_WORK, 20)
                ready_time(browser, page_url)
                figures["moves"] = browser.js(MOVES, args.move_rounds)
                results[screen] = figures
            if not touch and args.loads:
                results["http"] = http_first_visits(browser, page, args.loads)
    return version, results


def http_first_visits(browser, folder, loads):
    """Medians of first visits with the worker and without it, alternating,
    and what the server sent on one first visit with it."""
    times = {True: [], False: []}
    for round_ in range(loads):
        for with_worker in sorted(times, reverse=round_ % 2 == 1):
            times[with_worker].append(first_visit(browser, folder, with_worker)[0])
    return {w: medians(runs) for w, runs in times.items()}, first_visit(browser, folder, True)[1]


def report(engine, version, results, args):
    print(f"\n== {engine} {version} ==")
    for screen, _, _ in SCREENS:
        figures = results[screen]
        times, moves = figures["times"], figures["moves"]
        if moves["count"] != str(moves["moves"]):
            sys.exit(f"{engine}, {screen}: the page refused moves: {moves['moves']} made, "
                     f"the count shows {moves['count']}")
        print(f"\n{screen}: medians of {args.loads} alternating loads, from navigation start (ms):")
        if figures["first frame"]:
            print("  (no paint timing in the frame this screen needs: the first frame after the body instead)")
        print(f"  {'':<26}{'ready':>8}{'first move possible':>22}")
        for name, label in (("reference", "reference (static HTML)"), ("page", "page (WebAssembly)")):
            print(f"  {label:<26}{times[name][0]:8.1f}{times[name][1]:22.1f}")
        ratios = [times["page"][i] / times["reference"][i] for i in (0, 1)]
        print(f"  {'page / reference':<26}{ratios[0]:7.2f}x{ratios[1]:21.2f}x")
        if "phases" in figures:
            print("  The page's time to ready, on a copy marked between its scripts (medians, ms):")
            for label, value in zip(PHASES, figures["phases"]):
                print(f"    {label:<62}{value:6.1f}")
            repeated = figures["repeated"]
            print(f"    of the last, the module alone again: compiled in {repeated['compile']:.2f}, "
                  f"instantiated in {repeated['instantiate']:.2f}")
        handling = moves["handling"] / moves["moves"] * 1000
        layout = moves["layout"] / moves["moves"] * 1000
        print(f"  One move, mean of {moves['moves']}: {handling:.0f} µs handling the click, "
              f"{handling + layout:.0f} µs with the style and layout it causes")

    served, sent = results["http"]
    print(f"\nFirst visits over HTTP, medians of {args.loads} each, from navigation start (ms):")
    print(f"  {'':<26}{'ready':>8}{'first move possible':>22}")
    for with_worker, label in ((False, "no worker (404)"), (True, "worker registered on load")):
        print(f"  {label:<26}{served[with_worker][0]:8.1f}{served[with_worker][1]:22.1f}")
    print("Sent by the server on a first visit over HTTP, headers included, until the worker keeps its copy:")
    for path, (requests, size) in sorted(sent.items(), key=lambda item: -item[1][1]):
        print(f"  {path:<24} {requests:>2} x {size:>8} bytes  {size / 1024:7.1f} KiB")
    total = sum(size for _, size in sent.values())
    print(f"  {'total':<29} {total:>8} bytes  {total / 1024:7.1f} KiB")


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
    parser.add_argument("--engines", default=",".join(browsers.ENGINES),
                        help=f"which engines, comma-separated (default {','.join(browsers.ENGINES)})")
    parser.add_argument("--phases", action="store_true", help="split the page's time to ready")
    args = parser.parse_args()
    engines = args.engines.split(",")
    unknown = set(engines) - set(browsers.ENGINES)
    if unknown:
        sys.exit(f"unknown engines: {', '.join(sorted(unknown))}")
    page = (args.page or build_page()).resolve()
    if not (page / "index.html").is_file():
        sys.exit(f"{page} holds no index.html")

    files = sorted(p for p in page.iterdir() if p.is_file())
    total = sum(p.stat().st_size for p in files)
    print("Files of the page's folder (opened from disk it loads index.html alone):")
    for path in files:
        print(f"  {path.name:<20} {path.stat().st_size:>8} bytes  {path.stat().st_size / 1024:7.1f} KiB")
    print(f"  {'total':<20} {total:>8} bytes  {total / 1024:7.1f} KiB")
    print(f"Load average at the start: {' '.join(f'{v:.2f}' for v in os.getloadavg())}")

    started = time.monotonic()
    with tempfile.TemporaryDirectory() as folder:
        for engine in engines:
            try:
                version, results = measure(engine, page, folder, args)
            except browsers.BrowserError as error:
                sys.exit(f"{engine}: {error}")
            report(engine, version, results, args)
    print(f"\nLoad average at the end: {' '.join(f'{v:.2f}' for v in os.getloadavg())}; "
          f"{time.monotonic() - started:.0f} s")


if __name__ == "__main__":
    main()
