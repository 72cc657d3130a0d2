#!/usr/bin/python3
"""Start-up, size and per-move cost of the web page, beside a reference page.

    python3 bench/web_startup.py [--loads N] [--page DIR]

Builds the page with the "web" preset (build-web/) unless --page names a built
page folder. The reference is generated here: the page's own document once it
has been built, saved as static HTML without its scripts, so it shows the same
form, with the same styles and icon, and no WebAssembly. Both are opened from
disk in one headless Chromium, alternately, N times each (default 21), and the
medians are printed: the time from navigation start to the first move being
possible, which the page marks with performance.mark("crossing-ready") once
its load handler has run and the reference marks at the end of its body.
"""
import argparse
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

ROOT = pathlib.Path(__file__).resolve().parent.parent
READY = "crossing-ready"
READY_TIME = f"const e = performance.getEntriesByName('{READY}'); return e.length ? e[0].startTime : null;"

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

# Moves made by the page's own click handling, with the style and layout
# they cause, timed in a batch: performance.now() is coarse in a page opened
# from disk. The boys cross and come back, which is always allowed.
MOVES = """
const rounds = arguments[0];
const click = id => document.getElementById(id).click();
let elapsed = 0;
for (let i = 0; i < rounds; ++i) {
    for (const seats of [['Check1(0)/tick', 'Check1(1)/tick'], ['Check1(3)/tick', 'Check1(4)/tick']]) {
        seats.forEach(click);
        const start = performance.now();
        click('Command1(0)');
        document.body.offsetHeight;
        elapsed += performance.now() - start;
    }
}
return {moves: 2 * rounds, count: document.getElementById('Label1(4)').textContent, elapsed};
"""


def browser():
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=800,600",
                     "--force-device-scale-factor=1", "--disable-extensions"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def ready_time(driver, url, timeout=10.0):
    driver.get(url)
    deadline = time.monotonic() + timeout
    while (ready := driver.execute_script(READY_TIME)) is None:
        if time.monotonic() > deadline:
            sys.exit(f"{url}: the first move never became possible")
        time.sleep(0.002)
    return ready


def build_page():
    for step in (["cmake", "--preset", "web"], ["cmake", "--build", "--preset", "web"]):
        result = subprocess.run(step, cwd=ROOT, capture_output=True, text=True)
        if result.returncode != 0:
            sys.exit(result.stdout + result.stderr)
    return ROOT / "build-web" / "web" / "page"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--loads", type=int, default=21, help="loads of each page (default 21)")
    parser.add_argument("--page", type=pathlib.Path, help="a built page folder (default: build it)")
    parser.add_argument("--move-rounds", type=int, default=500, help="crossings there and back to time")
    args = parser.parse_args()
    page = (args.page or build_page()).resolve()
    if not (page / "index.html").is_file():
        sys.exit(f"{page} holds no index.html")

    files = sorted(p for p in page.iterdir() if p.is_file())
    total = sum(p.stat().st_size for p in files)
    print("Files the page loads:")
    for path in files:
        print(f"  {path.name:<20} {path.stat().st_size:>8} bytes  {path.stat().st_size / 1024:7.1f} KiB")
    print(f"  {'total':<20} {total:>8} bytes  {total / 1024:7.1f} KiB")

    driver = browser()
    try:
        with tempfile.TemporaryDirectory() as folder:
            page_url = (page / "index.html").as_uri()
            ready_time(driver, page_url)
            reference = pathlib.Path(folder) / "reference.html"
            reference.write_text(driver.execute_script(SNAPSHOT), encoding="utf-8")
            reference_url = reference.as_uri()

            times = {"page": [], "reference": []}
            for _ in range(args.loads):
                times["page"].append(ready_time(driver, page_url))
                times["reference"].append(ready_time(driver, reference_url))

            ready_time(driver, page_url)
            moves = driver.execute_script(MOVES, args.move_rounds)
    finally:
        driver.quit()

    if moves["count"] != str(moves["moves"]):
        sys.exit(f"the page refused moves: {moves['moves']} made, the count shows {moves['count']}")
    page_median = statistics.median(times["page"])
    reference_median = statistics.median(times["reference"])
    print(f"\nNavigation to first move possible, median of {args.loads} alternating loads:")
    print(f"  reference (static HTML)  {reference_median:7.1f} ms")
    print(f"  page (WebAssembly)       {page_median:7.1f} ms")
    print(f"  page / reference         {page_median / reference_median:7.2f}x")
    per_move = moves["elapsed"] / moves["moves"]
    print(f"\nOne move in the page: {per_move * 1000:.1f} µs "
          f"(mean of {moves['moves']} moves with their style and layout; count now {moves['count']})")


if __name__ == "__main__":
    main()
