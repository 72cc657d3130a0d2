#!/usr/bin/python3
"""The web page in one browser engine (Chromium, Firefox or WebKitGTK), as a
user and a screen reader meet it, checked against the window's description
(form.json) and the rule tests' situations (rule_cases.json) rather than
against copies of them:

- every control's rectangle, colour, text and font at 1024 x 768 with a
  mouse, colours also sampled from a screenshot, at 100 % and at 200 %, the
  form centred, and twice as large at twice the browser's usual font size;
- what the page draws itself rather than leaving to the engine or its theme:
  the text's colour, the lists' and the statement's edges, as computed and as
  drawn on screen;
- on touch screens (phones upright and sideways, tablets both ways): the
  page fits the width without zooming out, seats and buttons are fingertip
  targets, everything needed to play is on the first screen, the statement
  shows all its text, no text is small, and the eleven-move solution plays
  by touch; the statement keeps its text whole as the width and the font
  size change;
- the eleven-move solution by mouse and again by keyboard (Tab, Space), the
  board read after every move and the announcement heard; the lock; the rule
  tests' Clear cases and refused moves (which must stay silent);
- names, descriptions and roles as the browser exposes them, against the
  tests' own table of names (tests/support/accessible_names.py); the tab
  order, Enter pressing only a focused button, one live region, an axe-core
  audit (WCAG 2.2 AA and best practice) on the desktop and on a phone, and
  under forced colours the buttons' borders and the locked bank;
- the favicon against the icon's XPM; opened from disk, no request for
  anything but the page, no error and nothing stored; served over HTTP, no
  request outside its folder; one sentence for a browser without JavaScript
  or WebAssembly;
- served over HTTP, the app manifest (language, names, colours against the
  description, icons really 192 and 512 px PNGs of the XPM), Chromium's
  installability check, a reload with the server gone that still plays,
  and a new build replacing the kept copy on the next visit;
- a random session of clicks and keys that must keep the board's invariants.

Where an engine cannot be asked for something, the check says so and is
skipped in that engine only (SKIPPED below, with the reason).

Usage: page_check.py --engine ENGINE --page INDEX.HTML --form FORM.JSON
                     --cases RULE_CASES.JSON --axe AXE.MIN.JS --icon ICON.XPM [--seed N]
"""
import argparse
import functools
import itertools
import json
import os
import pathlib
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import urllib.request

# The invariants the desktop's soak test checks on a board read from outside,
# the icon as the build reads it to draw the favicon, and the browsers.
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, "..", "ui"), os.path.join(HERE, "..", "support"),
                os.path.join(HERE, "..", "..", "form")]
from accessible_names import CONTROLS as NAMED, EMPTY_SEAT  # noqa: E402
from soak_board_check import problems  # noqa: E402
from draw_icon import read_xpm  # noqa: E402
import browsers  # noqa: E402
from browsers import Key  # noqa: E402

# The service worker's source and the tool the build writes it with.
WEB = os.path.join(HERE, "..", "..", "web")

READY = "crossing-ready"
# The page's elements: a control's element carries its name; a seat's check
# box and caption and a frame's fieldset are parts named after it.
TICK, CAPTION, GROUP = "/tick", "/caption", "/group"
ANNOUNCER = "announcer"
# The style sheet of the layout that flows to the screen's width, whose media
# the page sets.
FLOW = "flow"

# Counts what the live region says from the moment the page is ready.
WATCH_ANNOUNCER = f"""
window.announced = 0;
new MutationObserver(changes => window.announced += changes.length)
    .observe(document.getElementById('{ANNOUNCER}'), {{childList: true, characterData: true, subtree: true}});
window.clicks = 0;
document.addEventListener('click', () => ++window.clicks, true);
"""

# Resolves once the browser has drawn what the page holds now: two frames on.
PAINTED = """
const done = arguments[arguments.length - 1];
requestAnimationFrame(() => requestAnimationFrame(() => done(true)));
"""


class CheckFailed(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise CheckFailed(what)


class Browsers:
    """The engine's browsers the checks ask for, by their settings, each
    started once, when first asked for; all quit at the end."""

    def __init__(self, engine):
        self.engine, self.started = engine, {}

    def get(self, **settings):
        key = tuple(sorted(settings.items()))
        if key not in self.started:
            self.started[key] = browsers.start(self.engine, **settings)
        return self.started[key]

    def quit(self):
        for browser in self.started.values():
            try:
                browser.quit()
            except Exception:  # the others are stopped all the same
                traceback.print_exc()
        self.started.clear()


class Page:
    """The page in the browser, played and read through its controls."""

    def __init__(self, pool, settings, form, cases, url):
        self.pool, self.settings = pool, settings
        self.browser = pool.get(**settings)
        self.form, self.cases, self.url = form, cases, url
        self.rules = form["rules"]
        self.controls = {c["name"]: c for c in form["controls"]}

        def array(name):
            return sorted((c for c in form["controls"] if c["array"] == name), key=lambda c: c["index"])
        self.seats, self.lists, self.frames = array("Check1"), array("List1"), array("Frame1")

    @property
    def engine(self):
        return self.browser.engine

    def variant(self, **settings):
        """The same page in a browser of the same engine with these settings
        (see browsers.start) on top of this one's."""
        return Page(self.pool, {**self.settings, **settings}, self.form, self.cases, self.url)

    def js(self, script, *args):
        return self.browser.js(script, *args)

    def open(self, url=None):
        url = url or self.url
        self.browser.get(url)
        browsers.wait_until(lambda: self.js(f"return performance.getEntriesByName('{READY}').length > 0"),
                            f"{url} becoming ready to play", timeout=10)
        # The page gives its first focus with its first frame.
        browsers.wait_until(lambda: self.js("return document.activeElement !== document.body"),
                            f"{url} giving a control the focus", timeout=10)
        self.js(WATCH_ANNOUNCER)

    def screenshot(self, png):
        """What the browser shows, once it has drawn the page as it stands."""
        self.browser.js_async(PAINTED)
        self.browser.screenshot(png)

    def focus_id(self, control):
        """The element that takes the control's focus, and carries its name."""
        part = {"tickbox": TICK, "frame": GROUP}.get(control["kind"], "")
        return control["name"] + part

    def read(self):
        """The board as the page's elements hold it, and what was last announced."""
        return self.js(f"""
            const byId = id => document.getElementById(id);
            return {{
                seats: arguments[0].map(s => ({{caption: byId(s + '{CAPTION}').textContent,
                    ticked: byId(s + '{TICK}').checked,
                    name: byId(s + '{TICK}').getAttribute('aria-label')}})),
                lists: arguments[1].map(l => Array.from(byId(l).options, o => o.text)),
                banks: arguments[2].map(f => !byId(f + '{GROUP}').disabled),
                count: byId(arguments[3]).textContent,
                direction: byId(arguments[4]).textContent,
                announcement: byId('{ANNOUNCER}').textContent,
                announced: window.announced,
            }};""", *([c["name"] for c in controls] for controls in (self.seats, self.lists, self.frames)),
                       self.rules["countLabel"], self.rules["directionLabel"])

    def notation(self, board=None):
        """The board in the rule tests' notation, less where the boat lies:
        that is the puzzle's own value, not shown by any control."""
        board = board or self.read()
        letters = {self.rules["boy"]: "Bb", self.rules["knight"]: "Kk", "": "_*"}
        seats = "".join(letters.get(s["caption"], "??")[s["ticked"]] for s in board["seats"])
        knights = [str(len(entries)) if all(e == self.rules["knightEntry"] for e in entries) else "?"
                   for entries in board["lists"]]
        banks = "".join("+" if open_ else "-" for open_ in board["banks"])
        arrows = {self.rules["toTheRight"]: ">", self.rules["toTheLeft"]: "<", "": "."}
        direction = arrows.get(board["direction"], "?")
        return f"{seats[:3]}|{seats[3:]} {':'.join(knights)} {banks} {board['count']} {direction}"

    def control_for(self, action):
        if action.isdigit():
            return self.seats[int(action)]
        return self.controls[self.rules["moveButton" if action == "M" else "clearButton"]]

    def middle(self, control):
        """The middle of the control in the viewport, once it is scrolled into
        view, as a finger's coordinates (the visual viewport's); and the
        clicks the page has had so far."""
        return self.js("""
            const element = document.getElementById(arguments[0]), viewport = visualViewport;
            element.scrollIntoView({block: 'nearest'});
            const r = element.getBoundingClientRect();
            return [(r.x + r.width / 2 - viewport.offsetLeft) * viewport.scale,
                    (r.y + r.height / 2 - viewport.offsetTop) * viewport.scale, window.clicks];""",
                       control["name"])

    def click(self, control):
        x, y, _ = self.middle(control)
        self.browser.click(x, y)

    def tap(self, control):
        """A finger on the control's middle; done when the browser has turned
        the touch into a click."""
        x, y, clicks = self.middle(control)
        self.browser.tap(x, y)
        browsers.wait_until(lambda: self.js("return window.clicks") != clicks,
                            f"a tap on {control['name']} becoming a click", timeout=10)

    def press(self, key, modifiers=()):
        self.browser.press(key, modifiers)

    def active_id(self):
        """The id of the element in focus; none while the focus is on the
        document itself or outside the page (in the browser's own bar)."""
        return self.js("return document.hasFocus() ? document.activeElement.id : ''")

    def tab_to(self, control):
        target = self.focus_id(control)
        for _ in range(2 * len(self.controls)):
            if self.active_id() == target:
                return
            self.press(Key.TAB)
        raise CheckFailed(f"Tab never reaches {target}")

    def play(self, script, by="mouse"):
        for action in script.replace(" ", ""):
            control = self.control_for(action)
            if by == "keyboard":
                self.tab_to(control)
                self.press(Key.SPACE)
            elif by == "touch":
                self.tap(control)
            else:
                self.click(control)

    def dom_node(self, element_id):
        document = self.browser.cdp("DOM.getDocument", {"depth": 0})
        return self.browser.cdp("DOM.querySelector",
                                {"nodeId": document["root"]["nodeId"], "selector": f'[id="{element_id}"]'})

    def ax_node(self, element_id):
        """The browser's accessibility node of an element, as a screen reader gets it."""
        nodes = self.browser.cdp("Accessibility.getPartialAXTree",
                                 {"nodeId": self.dom_node(element_id)["nodeId"], "fetchRelatives": False})["nodes"]
        return nodes[0]

    def ax_text(self, element_id):
        """The text a screen reader reads inside an element."""
        nodes = self.browser.cdp("Accessibility.queryAXTree",
                                 {"nodeId": self.dom_node(element_id)["nodeId"], "role": "StaticText"})["nodes"]
        return "".join(node.get("name", {}).get("value", "") for node in nodes)


def without_boat(board):
    fields = board.split(" ")
    return " ".join(fields[:3] + fields[4:])


def stripped(hex_colour):
    return hex_colour.lstrip("#").upper()


def css_colour(hex_colour):
    value = stripped(hex_colour)
    return f"rgb({int(value[0:2], 16)}, {int(value[2:4], 16)}, {int(value[4:6], 16)})"


# -- layout ---------------------------------------------------------------

def check_layout(page, scale=1):
    """Every control where the window has it, relative to the form, which
    stands centred on the page; at a larger font size (scale) every place
    and size grows in proportion."""
    rects = page.js("""
        const form = document.getElementById('form').getBoundingClientRect();
        const result = {form: [form.width, form.height],
                        margins: [form.left, document.documentElement.clientWidth - form.right]};
        for (const name of arguments[0]) {
            const element = document.getElementById(name);
            const r = element.getBoundingClientRect();
            result[name] = {x: r.x - form.x, y: r.y - form.y, width: r.width, height: r.height,
                            hidden: element.hidden, boxes: element.getClientRects().length};
        }
        return result;""", list(page.controls))
    window = page.form["window"]
    expect(rects["form"] == [window["width"] * scale, window["height"] * scale],
           f"the form is {rects['form']}, the window {window['width']} x {window['height']} times {scale}")
    left, right = rects["margins"]
    expect(left >= 0 and abs(left - right) <= 0.5, f"the form is not centred: {left} px left, {right} px right")
    wrong = []
    for name, control in page.controls.items():
        got = rects[name]
        if not control["shown"]:
            if not got["hidden"] or got["boxes"]:
                wrong.append(f"{name} is shown")
            continue
        want = {k: v * scale for k, v in control["pixels"].items()}
        if any(abs(got[k] - want[k]) > 0.01 for k in ("x", "y", "width", "height")):
            wrong.append(f"{name} at {got['x']},{got['y']} {got['width']}x{got['height']}, want "
                         f"{want['x']},{want['y']} {want['width']}x{want['height']}")
    expect(not wrong, "; ".join(wrong))
    return f"the form {rects['form'][0]:g} x {rects['form'][1]:g}"


def check_texts_and_font(page):
    window = page.form["window"]
    got = page.js("""
        const text = id => {
            const e = document.getElementById(id);
            return e.tagName === 'TEXTAREA' ? e.value : e.textContent;
        };
        const form = getComputedStyle(document.getElementById('form'));
        return {title: document.querySelector('title').textContent, lang: document.documentElement.lang,
                family: form.fontFamily, size: form.fontSize,
                families: arguments[0].map(n => getComputedStyle(document.getElementById(n)).fontFamily),
                legends: arguments[1].map(n => document.getElementById(n + '/group').firstChild.textContent),
                texts: arguments[0].map(text), captions: arguments[2].map(n => text(n + '/caption'))};""",
                  list(page.controls), [f["name"] for f in page.frames], [s["name"] for s in page.seats])
    # The browser shows the address beside the title itself.
    expect(got["title"] == window["programTitle"], f"title {got['title']!r}")
    expect(got["lang"] == "bg", f"document language {got['lang']!r}")
    font = window["font"]
    family = f'"{font["face"]}", "{font["substitute"]}", serif'
    expect(got["family"] == family, f"font family {got['family']}, want {family}")
    expect(got["size"] == f"{font['points'] * 96 / 72:g}px",
           f"font size {got['size']} for {font['points']} pt")
    wrong = [n for n, f in zip(page.controls, got["families"]) if f != family]
    expect(not wrong, f"controls not in the window's font: {wrong}")
    texts = dict(zip(page.controls, got["texts"]))
    texts.update({f["name"]: legend for f, legend in zip(page.frames, got["legends"])})
    texts.update({s["name"]: caption for s, caption in zip(page.seats, got["captions"])})
    for name, control in page.controls.items():
        # Lists hold no text; labels the table leaves empty are the rules' to write.
        if control["kind"] == "list" or (control["kind"] == "label" and not control["text"]):
            continue
        # A text area keeps its lines as the HTML parser does, ended by LF.
        want = control["text"].replace("\r\n", "\n")
        expect(texts[name] == want, f"{name} reads {texts[name][:40]!r}, want {want[:40]!r}")


def pixels_of(png, points):
    """The colours at the points of a screenshot, as RRGGBB."""
    formats = " ".join(f"%[hex:p{{{x},{y}}}]" for x, y in points)
    out = subprocess.run(["convert", png, "-format", formats, "info:"],
                         capture_output=True, text=True, check=True)
    return [value[:6].upper() for value in out.stdout.split()]


def check_colours(page, scale=1):
    """Each control's colour and the window's, computed and as drawn."""
    window = page.form["window"]
    coloured = [c for c in page.controls.values() if c["shown"] and c["background"]]
    names = ["form"] + [c["name"] for c in coloured]
    background = "id => getComputedStyle(document.getElementById(id)).backgroundColor"
    got = page.js(f"return arguments[0].map({background})", names)
    want = [css_colour(window["background"])] + [css_colour(c["background"]) for c in coloured]
    wrong = [f"{name} {g}, want {w}" for name, g, w in zip(names, got, want) if g != w]
    expect(not wrong, "; ".join(wrong))

    # On screen: each coloured control near its lower right corner, where no
    # caption, border or seat lies, and the window where no control does.
    def inside_a_control(x, y):
        return any(p["x"] - 1 <= x <= p["x"] + p["width"] and p["y"] - 1 <= y <= p["y"] + p["height"]
                   for p in (c["pixels"] for c in page.controls.values() if c["shown"]))
    # Clear of the form's edge too, which falls between two pixels where the
    # page centres it on an odd number of them.
    free = next((x, y) for y in range(2, window["height"], 5) for x in range(2, window["width"], 5)
                if not inside_a_control(x, y))
    corners = [c["pixels"] for c in coloured]
    points = [free] + [(p["x"] + p["width"] - 4, p["y"] + p["height"] - 4) for p in corners]
    left, top = page.js("const r = document.getElementById('form').getBoundingClientRect(); return [r.x, r.y]")
    with tempfile.TemporaryDirectory() as folder:
        png = os.path.join(folder, "page.png")
        page.screenshot(png)
        sampled = pixels_of(png, [(int((left + x) * scale), int((top + y) * scale)) for x, y in points])
    names = ["window"] + [c["name"] for c in coloured]
    wanted = [stripped(window["background"])] + [stripped(c["background"]) for c in coloured]
    wrong = [f"{n} at {p} shows {s}, want {w}"
             for n, p, s, w in zip(names, points, sampled, wanted) if s != w]
    expect(not wrong, "; ".join(wrong))


# How the page draws what the description leaves to the system (the text,
# and the faces and edges of the lists and the statement), as the window's
# light scheme draws them: the tests' own copy, so that an engine's or a
# desktop theme's default showing through is caught.
SYSTEM_COLOURS = {"text": "000000", "face": "FFFFFF", "edge": "B8B8B8"}


def check_drawn_by_the_page(page):
    """Every control's text in the window's text colour, and the lists and
    the statement on their face in a square edge of one pixel, as computed;
    on screen, those edges and faces where they should be, and the buttons'
    and captions' letters really black."""
    shown = [c for c in page.controls.values() if c["shown"]]
    boxed = [c["name"] for c in shown if c["kind"] in ("list", "text")]
    got = page.js("""
        const style = id => getComputedStyle(document.getElementById(id));
        const sides = ['Top', 'Right', 'Bottom', 'Left'];
        return {colours: Object.fromEntries(arguments[0].map(id => [id, style(id).color])),
                boxes: Object.fromEntries(arguments[1].map(id => {
                    const s = style(id);
                    return [id, {edges: sides.map(side => [s['border' + side + 'Style'], s['border' + side + 'Width'],
                                                           s['border' + side + 'Color']]),
                                 radius: s.borderRadius, face: s.backgroundColor}];
                }))};""", [c["name"] for c in shown], boxed)
    text, face, edge = (css_colour(SYSTEM_COLOURS[k]) for k in ("text", "face", "edge"))
    wrong = [f"{name} writes in {colour}" for name, colour in got["colours"].items() if colour != text]
    for name, box in got["boxes"].items():
        if box["edges"] != [["solid", "1px", edge]] * 4 or box["radius"] != "0px" or box["face"] != face:
            wrong.append(f"{name} is drawn {box}")
    expect(not wrong, "; ".join(wrong))

    # The focus ring is the browser's, drawn over whatever has the focus.
    page.js("document.activeElement.blur()")
    places = page.js("""return Object.fromEntries(arguments[0].map(id => {
        const r = document.getElementById(id).getBoundingClientRect();
        return [id, [r.x, r.y, r.width, r.height]]; }))""", [c["name"] for c in shown])
    with tempfile.TemporaryDirectory() as folder:
        png = os.path.join(folder, "page.png")
        page.screenshot(png)
        for name in boxed:
            x, y, width, height = places[name]
            # The edge falls on one of the pixels around its place, which
            # the layout may put between two; the face lies well inside.
            left = pixels_of(png, [(int(x) + dx, int(y + height / 2)) for dx in (-1, 0, 1)])
            top = pixels_of(png, [(int(x + width / 2), int(y) + dy) for dy in (-1, 0, 1)])
            inside = pixels_of(png, [(int(x) + 3, int(y + height / 2)), (int(x + width / 2), int(y) + 3)])
            if SYSTEM_COLOURS["edge"] not in left or SYSTEM_COLOURS["edge"] not in top:
                wrong.append(f"{name}'s edge shows {left} on its left and {top} on its top")
            if set(inside) != {SYSTEM_COLOURS["face"]}:
                wrong.append(f"{name}'s face shows {inside}")
        # Letters in a colour of their own, or in black at less than full
        # strength, leave no pixel black in every channel.
        written = [c["name"] for c in shown if c["kind"] in ("button", "label") and c["text"].strip()]
        for name in written:
            x, y, width, height = places[name]
            darkest = subprocess.run(
                ["convert", png, "-crop", f"{int(width) - 8}x{int(height) - 8}+{int(x) + 4}+{int(y) + 4}",
                 "-format", "%[fx:round(255*minima.r)] %[fx:round(255*minima.g)] %[fx:round(255*minima.b)]",
                 "info:"], capture_output=True, text=True, check=True).stdout.split()
            if darkest != ["0", "0", "0"]:
                wrong.append(f"{name}'s letters are no darker than {darkest}")
    expect(not wrong, "; ".join(wrong))


def check_zoomed(page, scale=2):
    """At 200 % (as on a screen of twice the density) the layout keeps its
    CSS pixels, and every colour lands where it should on the device's."""
    page.browser.set_screen(*browsers.DESKTOP, pixel_ratio=scale)
    try:
        page.open()
        expect(page.js("return window.devicePixelRatio") == scale, "the zoom did not take")
        check_layout(page)
        check_colours(page, scale)
    finally:
        page.browser.set_screen(*browsers.DESKTOP)


# -- accessibility --------------------------------------------------------

def check_accessible_names(page, opening=False):
    """Names, descriptions and roles as the browser gives them to a screen
    reader, against the tests' own table of names. Seats are named by who
    stands there and the count and the direction by what they show: as the
    page opens they read as the table has them, later as the board stands."""
    expect(set(NAMED) == set(page.controls),
           f"the table of names and the page differ in {sorted(set(NAMED) ^ set(page.controls))}")
    board = page.read()
    current = {}
    if not opening:
        current = {s["name"]: b["caption"] or EMPTY_SEAT for s, b in zip(page.seats, board["seats"])}
        current[page.rules["countLabel"]] = board["count"]
        current[page.rules["directionLabel"]] = board["direction"]
    wrong = []
    for name, exposed in NAMED.items():
        element = page.focus_id(page.controls[name])
        node = page.ax_node(element)
        if exposed is None:
            if not node.get("ignored"):
                wrong.append(f"{name} is exposed")
            continue
        got = {key: node.get(key, {}).get("value", "") for key in ("role", "name", "description")}
        # A caption on the page has no name of its own: its text is read.
        if exposed.web_role == "generic":
            got["name"] = page.ax_text(element)
        # Names are spoken, and runs of spaces with them as one.
        got["name"] = " ".join(got["name"].split())
        want = {"role": exposed.web_role, "name": " ".join(current.get(name, exposed.name).split()),
                "description": exposed.description}
        if got != want:
            wrong.append(f"{name}: {got}, want {want}")
    expect(not wrong, "; ".join(wrong))


def check_one_live_region(page):
    """What a move did is said once, by the announcer; the count and the
    direction are read where they stand, so nothing else is live."""
    live = page.js("""return Array.from(document.querySelectorAll(
        '[aria-live]:not([aria-live=off]), output, [role=status], [role=log], [role=alert], [role=timer], '
        + '[role=marquee]'), e => e.id)""")
    expect(live == [ANNOUNCER], f"the live regions are {live}, want only {ANNOUNCER}")


def check_tab_order(page, opening=False):
    """Tab goes round the controls in their tab places, from wherever the
    focus is, passing over hidden ones and seats of a locked bank. As the page
    opens, the focus is on the first of them."""
    banks = page.read()["banks"]
    locked = {f["name"] for f, open_ in zip(page.frames, banks) if not open_}
    cycle = [page.focus_id(page.controls[name]) for name in page.form["focusOrder"]
             if page.controls[name]["parent"] not in locked]
    visited = [page.active_id()]
    # Between the last control and the first, the browser focuses the
    # document, or its own bar, for a few presses.
    for _ in range(3 * len(cycle)):
        if len([v for v in visited if v]) == len(cycle):
            break
        page.press(Key.TAB)
        visited.append(page.active_id())
    visited = [v for v in visited if v]
    first = page.focus_id(page.controls[page.form["firstFocus"]])
    expect(visited[0] == first if opening else visited[0] in cycle, f"the focus is on {visited[0]!r}")
    start = cycle.index(visited[0])
    expect(visited == cycle[start:] + cycle[:start], f"focus went {visited}, want {cycle}")


def check_enter_presses_only_a_focused_button(page):
    """Enter, the main key or the keypad's, presses the button in focus as a
    click does; no button is the default, so Enter on a seat, a list or the
    statement presses nothing, and Escape never presses anything."""
    move, clear = page.rules["moveButton"], page.rules["clearButton"]
    # The board before the key, the control in focus, whether the key presses it.
    cases = [("01", move, key, True) for key in (Key.RETURN, Key.ENTER)]
    cases += [("01M", clear, key, True) for key in (Key.RETURN, Key.ENTER)]
    cases += [("01", button, Key.ESCAPE, False) for button in (move, clear)]
    cases += [("01", other, key, False) for other in ("Check1(0)", "List1(0)", "Text1(0)")
              for key in (Key.RETURN, Key.ENTER)]
    for script, focused, key, presses in cases:
        if presses:  # as a click on it leaves the page
            page.open()
            page.play(script)
            page.click(page.controls[focused])
            pressed = page.read()
        page.open()
        page.play(script)
        page.tab_to(page.controls[focused])
        want = pressed if presses else page.read()
        page.press(key)
        got = page.read()
        expect(got == want, f"{key!r} on {focused} left {page.notation(got)}, want {page.notation(want)}")


# The rules of these tags include every rule axe-core runs by default, and
# the target size of WCAG 2.2 (target-size), which it does not.
AXE_TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa", "best-practice"]


def check_axe(page, axe_script, by="mouse"):
    """An axe-core audit of the page as it opens, after a move and locked.
    Where the page has the window's layout, its seats stand 20 px apart,
    closer than WCAG 2.2 asks of a target (24 px): that is the one finding
    allowed there, and only on seats; on a phone nothing is."""
    solution = page.cases["solution"]
    seat_ticks = {page.focus_id(s) for s in page.seats}
    for moves in (0, 1, len(solution)):
        page.open()
        page.play(" ".join(m["script"] for m in solution[:moves]), by)
        page.js(axe_script)
        result = page.browser.js_async("""
            const done = arguments[arguments.length - 1];
            axe.run(document, {runOnly: {type: 'tag', values: arguments[0]}, elementRef: true}).then(
                r => done({ran: [...r.passes, ...r.violations, ...r.incomplete, ...r.inapplicable].map(x => x.id),
                           violations: r.violations.map(v => ({id: v.id, help: v.help,
                                                              nodes: v.nodes.map(n => n.element.id)}))}),
                e => done({ran: [], violations: [{id: 'error', help: String(e), nodes: []}]}));""", AXE_TAGS)
        expect("target-size" in result["ran"], f"axe-core did not check the target size; it ran {result['ran']}")
        flowing = page.js(f"const sheet = document.getElementById('{FLOW}');"
                          "return sheet !== null && matchMedia(sheet.media).matches")
        found = [v for v in result["violations"]
                 if flowing or v["id"] != "target-size" or not set(v["nodes"]) <= seat_ticks]
        expect(not found, f"after {moves} moves: {json.dumps(found, ensure_ascii=False)}")


# -- playing --------------------------------------------------------------

def expect_announced(page, board, what):
    """A completed move is heard as the description's sentence with the
    labels' texts in it, and the result once every knight is across."""
    spoken = page.form["announcements"]
    sentence = spoken["move"].format(count=board["count"], direction=board["direction"])
    if not board["lists"][0]:
        sentence += " " + spoken["everyKnightAcross"].format(count=board["count"])
    expect(board["announced"] > 0, f"{what}: nothing was announced")
    expect(board["announcement"] == sentence,
           f"{what}: announced {board['announcement']!r}, want {sentence!r}")


def play_solution(page, by):
    page.open()
    expect(page.notation() == without_boat(page.cases["start"]), f"starts as {page.notation()}")
    for number, move in enumerate(page.cases["solution"], 1):
        page.js("window.announced = 0")
        page.play(move["script"], by)
        board = page.read()
        want = without_boat(move["after"])
        expect(page.notation(board) == want,
               f"move {number} ({move['script']}) left {page.notation(board)}, want {want}")
        expect_announced(page, board, f"move {number}")


def check_solution_by_mouse(page):
    play_solution(page, by="mouse")
    # Locked: no seat can be ticked and Move does nothing, silently.
    page.js("window.announced = 0")
    before = page.read()
    page.play("012345M")
    after = page.read()
    expect(after == before, f"the lock let {page.notation(before)} become {page.notation(after)}")


def check_solution_by_keyboard(page):
    play_solution(page, by="keyboard")


def check_clears(page):
    for case in page.cases["clears"]:
        page.open()
        page.play(case["before"])
        page.js("window.announced = 0")
        page.play("C")
        board = page.read()
        expect(page.notation(board) == without_boat(case["after"]),
               f"Clear {case['name']}: {page.notation(board)}, want {without_boat(case['after'])}")
        want = page.form["announcements"]["startAgain"]
        expect(board["announced"] > 0 and board["announcement"] == want,
               f"Clear {case['name']}: announced {board['announcement']!r}, want {want!r}")


def check_refusals(page):
    for case in page.cases["refusals"]:
        page.open()
        page.play(f"{case['before']} {case['ticks']}")
        page.js("window.announced = 0")
        before = page.read()
        page.play("M")
        after = page.read()
        expect(after == before, f"refused move {case['name']!r} changed {page.notation(before)} "
                                f"to {page.notation(after)} (announced {after['announcement']!r})")


def check_random_session(page, seed, actions=300):
    """Random clicks anywhere on the form's controls and random keys; after
    each, the board read from the page must keep the invariants."""
    chooser = random.Random(seed)
    keys = [(Key.TAB, ()), (Key.TAB, (Key.SHIFT,)), (Key.SPACE, ()), (Key.ENTER, ()), (Key.ESCAPE, ()),
            (Key.UP, ()), (Key.DOWN, ())]
    shown = [c for c in page.controls.values() if c["shown"]]
    page.open()
    for step in range(actions):
        if chooser.random() < 0.6:
            control = chooser.choice(shown)
            what = f"click on {control['name']}"
            page.click(control)
        else:
            key = chooser.choice(keys)
            what = f"key {key!r} on {page.active_id() or 'the page'}"
            page.press(*key)
        board = page.read()
        as_read = {"seats": [s["name"] for s in board["seats"]], "knights": [len(e) for e in board["lists"]],
                   "banks": board["banks"], "count": board["count"], "direction": board["direction"]}
        found = problems(as_read, [e for entries in board["lists"] for e in entries])
        expect(not found,
               f"seed {seed}, step {step}, after {what}: {'; '.join(found)} ({page.notation(board)})")


# -- touch screens and assistive settings ---------------------------------

# The least a tap target measures each way, and the least the seat rows stand
# apart, in CSS pixels: a fingertip. Text is never smaller than the browser's
# usual font size.
FINGER = 44
SMALLEST_TEXT = 16
# Touch screens, as wide and as tall as their browsers show a page: phones
# upright and held sideways, tablets both ways.
TOUCH_SCREENS = [(360, 640), (320, 568), (640, 360), (844, 390), (768, 1024), (1024, 768)]
PHONE = TOUCH_SCREENS[0]


def flow_layout(page, width, height, smallest_text, first_screen=True):
    """Problems of the page as laid out on a screen of that size, where it
    flows to the width, and the figures a reader wants: anything wider than
    the screen or zoomed out to fit, a page that does not open at its top,
    text under the smallest size, controls that overlap, seats and buttons
    smaller than a fingertip or seat rows closer than one, anything needed
    to play outside the first screen, and a statement that scrolls inside
    rather than showing all its text."""
    shown = [c["name"] for c in page.controls.values() if c["shown"]]
    got = page.js("""
        const place = id => {
            const r = document.getElementById(id).getBoundingClientRect();
            return {x: r.x + scrollX, y: r.y + scrollY, width: r.width, height: r.height,
                    font: parseFloat(getComputedStyle(document.getElementById(id)).fontSize)};
        };
        const statement = document.getElementById(arguments[1]);
        return {scale: visualViewport.scale, innerWidth, innerHeight,
                scrollWidth: document.documentElement.scrollWidth, scrollY,
                statement: [statement.scrollHeight, statement.clientHeight],
                places: Object.fromEntries(arguments[0].map(id => [id, place(id)]))};""",
                  shown, statement_of(page)["name"])
    places = got["places"]
    found = [f"{got[k]} {k}, want {width}" for k in ("innerWidth", "scrollWidth") if got[k] > width]
    if got["scale"] != 1:
        found.append(f"zoomed out to {got['scale']}")
    if got["scrollY"] != 0:
        found.append(f"opened scrolled down to {got['scrollY']}")
    for name, r in places.items():
        if r["font"] < smallest_text:
            found.append(f"{name} in {r['font']} px text")
        if r["width"] <= 0 or r["height"] <= 0 or r["x"] < 0 or r["x"] + r["width"] > width:
            found.append(f"{name} at x {r['x']}, {r['width']} x {r['height']}")
    for a, b in itertools.combinations(shown, 2):
        ra, rb = places[a], places[b]
        if page.controls[a]["parent"] != b and page.controls[b]["parent"] != a and \
                min(ra["x"] + ra["width"], rb["x"] + rb["width"]) > max(ra["x"], rb["x"]) and \
                min(ra["y"] + ra["height"], rb["y"] + rb["height"]) > max(ra["y"], rb["y"]):
            found.append(f"{a} and {b} overlap")
    targets = [c["name"] for c in page.seats] + [page.rules["moveButton"], page.rules["clearButton"]]
    found += [f"{n} is {places[n]['width']} x {places[n]['height']}" for n in targets
              if places[n]["width"] < FINGER or places[n]["height"] < FINGER]
    for frame in page.frames:
        tops = [places[s["name"]]["y"] for s in page.seats if s["parent"] == frame["name"]]
        found += [f"seat rows of {frame['name']} {b - a} px apart" for a, b in zip(tops, tops[1:]) if b - a < FINGER]
    # Everything a move needs, and what it tells: the seats, the buttons, the
    # count and where the boat is.
    needed = targets + [page.rules["countLabel"], page.rules["directionLabel"]]
    below = [n for n in needed if places[n]["y"] + places[n]["height"] > got["innerHeight"]]
    if below and first_screen:
        found.append(f"below the first {got['innerHeight']} px: {', '.join(below)}")
    text_height, box_height = got["statement"]
    if text_height > box_height:
        found.append(f"the statement shows {box_height} px of its {text_height} px of text")
    figures = {"smallest target": min(min(places[n]["width"], places[n]["height"]) for n in targets),
               "play in the first screen": not below, "scrollWidth": got["scrollWidth"],
               "statement whole": text_height <= box_height}
    return found, figures


def statement_of(page):
    return next(c for c in page.controls.values() if c["role"] == "statement")


def check_touch_screen(page, width, height):
    """On a touch screen the page flows to the width: it fits without
    sideways scrolling or zooming out, keeps the window's tab order, every
    seat and button is a fingertip's size, all a move needs is on the first
    screen, the statement shows all its text; and the eleven-move solution
    plays by touch."""
    page.browser.set_screen(width, height)
    page.open()
    found, figures = flow_layout(page, width, height, SMALLEST_TEXT)
    expect(not found, "; ".join(found))
    check_tab_order(page, opening=True)
    play_solution(page, by="touch")
    return ", ".join(f"{k} {v}" for k, v in figures.items())


def check_statement_follows(page):
    """Where the page grows the statement to its text itself, it keeps doing
    so as the screen turns narrower and as the text grows larger, without
    a reload."""
    page.browser.set_screen(*PHONE)
    page.open()
    statement = statement_of(page)["name"]
    whole = "const s = document.getElementById(arguments[0]); return [s.scrollHeight, s.clientHeight]"
    for change, apply in (("narrower", lambda: page.browser.set_screen(TOUCH_SCREENS[1][0], PHONE[1])),
                          ("larger text", lambda: page.js("document.documentElement.style.fontSize = '20px'"))):
        before = page.js(whole, statement)[1]
        apply()
        page.browser.js_async(PAINTED)
        text_height, box_height = page.js(whole, statement)
        expect(box_height != before, f"{change}: the statement stayed {before} px tall")
        expect(text_height <= box_height, f"{change}: the statement shows {box_height} px of its {text_height} px")


def check_larger_font(page):
    """With the browser's font size at 32 px instead of 16 the form is twice
    as large, every control in proportion; on a phone its text is 32 px and
    the layout flowing to the width still fits the screen's width."""
    larger = page.variant(font_size=2 * SMALLEST_TEXT)
    window = page.form["window"]
    larger.browser.set_screen(window["width"] * 2 + 100, window["height"] * 2 + 100)
    larger.open()
    check_layout(larger, 2)
    width, height = TOUCH_SCREENS[1]
    larger.browser.set_screen(width, height)
    larger.open()
    # At twice the size, what a move needs is more than a phone's first screen.
    found, _ = flow_layout(larger, width, height, 2 * SMALLEST_TEXT, first_screen=False)
    expect(not found, f"on a {width} px phone: {'; '.join(found)}")


def check_forced_colours(page):
    """Under forced colours (Windows' high contrast) the buttons lose the
    shadows that draw their edges and the locked bank its grey: each button
    keeps a border of its own colour on screen, and the locked bank differs
    from the open one."""
    page = page.variant(forced_colours=True)
    page.open()
    expect(page.js("return matchMedia('(forced-colors: active)').matches"), "forced colours did not take")
    buttons = [page.rules["moveButton"], page.rules["clearButton"]]
    places = page.js("""return arguments[0].map(id => {
        const r = document.getElementById(id).getBoundingClientRect();
        return [r.x, r.y, r.width, r.height]; })""", buttons)
    # Outside the button, on its left border, and inside it where no
    # letter lies.
    points = [p for x, y, w, h in places for p in ((x - 3, y + h / 2), (x + 1, y + h / 2), (x + 5, y + 5))]
    with tempfile.TemporaryDirectory() as folder:
        png = os.path.join(folder, "page.png")
        page.screenshot(png)
        sampled = pixels_of(png, [(int(x), int(y)) for x, y in points])
    for name, (outside, border, inside) in zip(buttons, zip(*[iter(sampled)] * 3)):
        expect(border not in (outside, inside),
               f"{name} shows no border: {outside} outside, {border} on the edge, {inside} inside")
    banks = page.js(f"""return arguments[0].map(id => {{
        const group = document.getElementById(id + '{GROUP}'), style = getComputedStyle(group);
        return [group.disabled, style.borderTopStyle, style.borderTopColor,
                getComputedStyle(group.querySelector('legend')).color]; }})""",
                    [f["name"] for f in page.frames])
    (locked, *as_locked), (open_, *as_open) = sorted(banks, reverse=True)
    expect(locked and not open_, f"want one bank locked and one open, got {banks}")
    expect(as_locked != as_open, f"a locked bank looks like an open one: {as_locked}")


# -- the page as a file ---------------------------------------------------

def decoded_image(page, url):
    """The picture at URL as the browser decodes it: its size and RGBA bytes."""
    got = page.browser.js_async("""
        const done = arguments[arguments.length - 1];
        const image = new Image();
        image.onload = () => {
            const canvas = document.createElement('canvas');
            canvas.width = image.width; canvas.height = image.height;
            const context = canvas.getContext('2d');
            context.drawImage(image, 0, 0);
            done({width: image.width, height: image.height,
                  data: Array.from(context.getImageData(0, 0, image.width, image.height).data)});
        };
        image.onerror = () => done(null);
        image.src = arguments[0];""", url)
    expect(got is not None, f"the picture {url[:60]} does not decode")
    return got


def expect_icon(got, icon_path, what):
    """A picture drawn from the icon's XPM at any size: each of the XPM's
    pixels, sampled at the middle of the square it became."""
    rows = read_xpm(icon_path)
    width, height = len(rows[0]), len(rows)
    size = got["width"]
    expect(got["height"] == size and size % width == 0 and width == height,
           f"{what} is {got['width']} x {got['height']}, not the {width} x {height} icon enlarged")
    step = size // width
    wrong = []
    for y, row in enumerate(rows):
        for x, (red, green, blue, alpha) in enumerate(row):
            i = 4 * ((y * step + step // 2) * size + x * step + step // 2)
            pixel = got["data"][i:i + 4]
            seen = None if pixel[3] < 128 else "{:02X}{:02X}{:02X}".format(*pixel[:3])
            if seen != (None if alpha == 0 else f"{red:02X}{green:02X}{blue:02X}"):
                wrong.append((x, y))
    expect(not wrong, f"{what}: {len(wrong)} of the XPM's pixels differ, the first at (x, y) {wrong[:1]}")


def check_favicon(page, icon_path):
    link = page.js("const link = document.querySelector('link[rel=icon]'); return link && link.href;")
    expect(link, "the page has no icon")
    got = decoded_image(page, link)
    expect(got["width"] == len(read_xpm(icon_path)[0]), f"the icon is {got['width']} pixels wide")
    expect_icon(got, icon_path, "the icon")


def check_requests(page):
    """Opened from disk, everything comes from the one file and nothing goes
    wrong."""
    page.browser.requests()  # forget what earlier checks loaded
    page.browser.errors()
    page.open()
    page.play(page.cases["solution"][0]["script"])
    others = [u for u in page.browser.requests() if u != page.url and not u.startswith("data:")]
    expect(not others, f"the page asked for {others}")
    errors = page.browser.errors()
    expect(not errors, f"the browser reports {errors}")


def check_nothing_stored(page):
    """Opened from disk and played, the page keeps nothing."""
    page.open()
    page.play(page.cases["solution"][0]["script"])
    stored = page.browser.js_async("""
        const done = arguments[arguments.length - 1];
        const kept = {cookies: document.cookie, local: localStorage.length, session: sessionStorage.length};
        indexedDB.databases().then(d => done({...kept, databases: d.length}),
                                   () => done({...kept, databases: -1}));""")
    expect(stored == {"cookies": "", "local": 0, "session": 0, "databases": 0}, f"the page keeps {stored}")


def page_folder(page):
    """The folder the built page lies in, with what it needs to be served."""
    return pathlib.Path(page.url[len("file://"):]).parent


def check_served_over_http(page):
    """Served, the page asks for nothing outside its own folder (its manifest,
    icons and service worker lie there), and plays."""
    folder = page_folder(page)
    with Site(page, folder) as site:
        page.browser.requests()
        page.open(site.url + "index.html")
        page.play(page.cases["solution"][0]["script"])
        board = page.read()
        expect(page.notation(board) == without_boat(page.cases["solution"][0]["after"]),
               f"served over HTTP, the first move left {page.notation(board)}")
        own = {site.url + "index.html"} | {site.url + path.name for path in folder.iterdir()}
        others = [u for u in page.browser.requests() if u not in own and not u.startswith("data:")]
        expect(not others, f"served over HTTP, the page asked for {others}")


# Unregisters the origin's service workers and deletes its caches.
FORGET = """
const done = arguments[arguments.length - 1];
Promise.all([
    navigator.serviceWorker.getRegistrations().then(found => Promise.all(found.map(r => r.unregister()))),
    caches.keys().then(names => Promise.all(names.map(name => caches.delete(name)))),
]).then(() => done(true), error => done(String(error)));
"""


class Site(browsers.Server):
    """The page's folder served over HTTP on a port of its own, until
    stopped; what the page kept there (its worker and its copy) forgotten
    again when done, should the system give the port out again."""

    def __init__(self, page, folder):
        super().__init__(folder)
        self.page = page

    def __exit__(self, *exception):
        try:
            if self.page.js("return location.origin + '/'") == self.url:
                forgotten = self.page.browser.js_async(FORGET)
                expect(forgotten is True, f"{self.url} kept its worker or copy: {forgotten}")
        finally:
            super().__exit__(*exception)


def check_without_webassembly(page):
    """A browser without WebAssembly gets one sentence in the page's language
    that names it, and no form to play: the page, from a copy whose first
    script takes WebAssembly away before anything else runs."""
    built = pathlib.Path(page.url[len("file://"):]).read_text(encoding="utf-8")
    expect(built.count("<head>") == 1, "the page has no single head to put the script in")
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder, "index.html")
        copy.write_text(built.replace("<head>", "<head><script>delete globalThis.WebAssembly;</script>"),
                        encoding="utf-8")
        page.browser.get(copy.as_uri())
        got = page.js("""
            const sentence = Array.from(document.body.querySelectorAll('p'))
                .filter(p => p.getClientRects().length > 0).map(p => p.textContent.trim());
            const form = document.getElementById('form');
            return {sentences: sentence, form: form !== null && form.getClientRects().length > 0,
                    lang: document.documentElement.lang};""")
    expect(not got["form"], "a form is shown without WebAssembly")
    expect(len(got["sentences"]) == 1 and got["sentences"][0].count(".") == 1 and
           "WebAssembly" in got["sentences"][0] and any("а" <= ch <= "я" for ch in got["sentences"][0]),
           f"without WebAssembly the page shows {got['sentences']}")
    expect(got["lang"] == "bg", "the sentence's page is not marked Bulgarian")


def check_without_javascript(page):
    """With JavaScript switched off the page shows one sentence that says so,
    no form, and the tab still carries the program's title."""
    page = page.variant(javascript=False)
    page.browser.get(page.url)
    sentences, title, form = page.js("""
        const form = document.getElementById('form');
        return [Array.from(document.body.querySelectorAll('p'))
            .filter(p => p.getClientRects().length > 0).map(p => p.textContent.trim()), document.title,
            form !== null && form.getClientRects().length > 0];""")
    expect(len(sentences) == 1 and sentences[0].count(".") == 1 and "JavaScript" in sentences[0],
           f"without JavaScript the page shows {sentences}")
    expect(not form, "a form is shown without JavaScript")
    expect(title == page.form["window"]["programTitle"], f"without JavaScript the tab is titled {title!r}")


# -- installed and offline -------------------------------------------------

# The page's service worker and its copies of the page, as the page sees them.
WORKER_STATE = """
    const done = arguments[arguments.length - 1];
    navigator.serviceWorker.getRegistration().then(r => caches.keys().then(keys => done({
        active: r && r.active ? r.active.state : null, pending: !!(r && (r.installing || r.waiting)),
        caches: keys})), e => done({error: String(e)}));"""


def kept_copy(page, other_than=None):
    """Waits until the page's worker is active with no other waiting or being
    installed, and it keeps exactly one copy of the page, other than the one
    named; returns that copy's name."""
    seen = {}

    def settled():
        seen.update(page.browser.js_async(WORKER_STATE))
        if (seen.get("active") == "activated" and not seen["pending"] and len(seen["caches"]) == 1
                and seen["caches"][0] != other_than):
            return seen["caches"][0]
        return None
    try:
        return browsers.wait_until(settled, "the service worker settling on a new copy", interval=0.05)
    except browsers.BrowserError as error:
        raise CheckFailed(f"{error}: {seen}") from None


def check_manifest(page, icon_path):
    """The manifest as the browser reads it: in Bulgarian, standalone,
    named and coloured as the window, starting at the page, with icons
    really 192 and 512 pixels square, drawn from the icon's XPM."""
    window = page.form["window"]
    with Site(page, page_folder(page)) as site:
        page.open(site.url)
        found = page.browser.cdp("Page.getAppManifest")
        expect(found.get("url") and not found["errors"], f"the manifest: {found}")
        manifest = json.loads(found["data"])
        want = {"lang": "bg", "name": window["programTitle"], "display": "standalone",
                "background_color": window["background"], "theme_color": window["background"]}
        got = {key: manifest.get(key) for key in want}
        for key in ("background_color", "theme_color"):
            got[key] = (got[key] or "").upper()
        expect(got == want, f"the manifest says {got}, want {want}")
        # Under the icon on a home screen, where about 12 characters fit.
        expect(0 < len(manifest.get("short_name", "")) <= 12, f"short name {manifest.get('short_name')!r}")
        start = found["manifest"]["startUrl"]
        expect(start in (site.url, site.url + "index.html"), f"the app starts at {start}, not the page")
        sizes = set()
        for icon in found["manifest"]["icons"]:
            with urllib.request.urlopen(icon["url"]) as response:
                head = response.read(24)
            width, height = struct.unpack(">II", head[16:24])
            expect(head.startswith(b"\x89PNG\r\n\x1a\n") and icon["type"] == "image/png"
                   and icon["sizes"] == f"{width}x{height}", f"{icon} is not a PNG of that size")
            expect_icon(decoded_image(page, icon["url"]), icon_path, icon["url"])
            sizes.add(icon["sizes"])
        expect({"192x192", "512x512"} <= sizes, f"icons of {sorted(sizes)}")


def check_installable(page):
    """Chromium's own check of everything an installable app needs."""
    with Site(page, page_folder(page)) as site:
        page.open(site.url)
        kept_copy(page)
        errors = page.browser.cdp("Page.getInstallabilityErrors")
        expect(errors == {"installabilityErrors": []}, f"not installable: {errors}")


def open_and_play(page, url, build, what):
    """Opens the page, checks which build it is (None: as built, else the
    marker a test put at its end), and plays the first move."""
    try:
        page.open(url)
    except browsers.BrowserError as error:
        raise CheckFailed(f"{what}: {error}") from None
    got = page.js("return document.lastChild.nodeType === Node.COMMENT_NODE ? document.lastChild.data : null")
    expect(got == build, f"{what}: the page's build is {got!r}, want {build!r}")
    first_move = page.cases["solution"][0]
    page.play(first_move["script"])
    expect(page.notation() == without_boat(first_move["after"]), f"{what}: the first move left {page.notation()}")


def check_offline(page):
    """After one visit the page opens and plays with the server gone, at
    the folder's address and at the page's own."""
    with Site(page, page_folder(page)) as site:
        open_and_play(page, site.url, None, "online")
        kept_copy(page)
        site.stop()
        for url in (site.url, site.url + "index.html"):
            open_and_play(page, url, None, f"offline at {url}")


def check_new_build(page):
    """A new build reaches a returning player on the next visit and replaces
    the kept copy: a copy of the folder served, visited, then made a new
    build (a marker at the end of the page and the worker written again, as
    the build writes it), visited again, and opened with the server gone."""
    with tempfile.TemporaryDirectory() as copy:
        served = pathlib.Path(copy, "page")
        shutil.copytree(page_folder(page), served)
        with Site(page, served) as site:
            open_and_play(page, site.url, None, "the first visit")
            first = kept_copy(page)
            index, worker = served / "index.html", served / "worker.js"
            index.write_text(index.read_text(encoding="utf-8") + "<!--next-->", encoding="utf-8")
            before = worker.read_text(encoding="utf-8")
            manifest = json.loads((served / "manifest.webmanifest").read_text(encoding="utf-8"))
            kept = [index, served / "manifest.webmanifest"] + [served / icon["src"] for icon in manifest["icons"]]
            subprocess.run([sys.executable, os.path.join(WEB, "write_worker.py"), os.path.join(WEB, "worker.js"),
                            str(worker)] + [str(path) for path in kept], check=True)
            expect(worker.read_text(encoding="utf-8") != before, "a new build wrote the same worker")
            open_and_play(page, site.url, "next", "the next visit")
            second = kept_copy(page, other_than=first)
            site.stop()
            open_and_play(page, site.url, "next", f"offline after the update ({first} -> {second})")


# -- running --------------------------------------------------------------

# What an engine cannot be asked, and so which checks it skips.
NO_ACCESSIBILITY_TREE = "only Chromium's DevTools give a test the tree a screen reader reads"
NO_PIXEL_RATIO = "WebKitWebDriver cannot change the device pixel ratio"
NO_FORCED_COLOURS = "WebKitGTK has no forced colours on Linux, nor a way to emulate them"
NO_REQUEST_LOG = "WebKitWebDriver reports neither the requests a page makes nor its console"
NO_MANIFEST_READER = "only Chromium's DevTools read the manifest as the browser does and judge installability"
CHROMIUM_ONLY = {"firefox": NO_ACCESSIBILITY_TREE, "webkit": NO_ACCESSIBILITY_TREE}

# What the engine is told in place of what it cannot be told, said once at the start.
STOOD_IN = {
    "webkit": "WebKitGTK on Linux reports every pointer as fine and turns no touch into a tap: on touch "
              "screens the test stands in the coarse pointer in the page's media queries and taps with "
              "the mouse; phone widths, narrower than MiniBrowser's window can be, are frames of that size",
}


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--engine", required=True, choices=browsers.ENGINES)
    for name in ("page", "form", "cases", "axe", "icon"):
        parser.add_argument(f"--{name}", required=True)
    # A fixed seed, as the desktop soaks have, so that every run plays the same
    # session; --seed plays another.
    parser.add_argument("--seed", type=int, default=20240605)
    args = parser.parse_args()
    form = json.loads(pathlib.Path(args.form).read_text(encoding="utf-8"))
    cases = json.loads(pathlib.Path(args.cases).read_text(encoding="utf-8"))
    axe_script = pathlib.Path(args.axe).read_text(encoding="utf-8")
    # Stopped by ctest or by hand: the browsers are stopped all the same.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped by SIGTERM"))

    pool = Browsers(args.engine)
    failures = 0
    try:
        page = Page(pool, {"logs": True}, form, cases, pathlib.Path(args.page).resolve().as_uri())
        touch = page.variant(touch=True)
        print(f"{args.engine} {page.browser.version}")
        if args.engine in STOOD_IN:
            print(f"note: {STOOD_IN[args.engine]}")

        def at_start(check):
            def run():
                page.open()
                return check(page)
            return run

        def after_first_move(check):
            def run():
                page.open()
                page.play(page.cases["solution"][0]["script"])
                return check(page)
            return run

        def phone_axe():
            touch.browser.set_screen(*PHONE)
            check_axe(touch, axe_script, by="touch")

        # Each check: what it checks, how, and the engines that skip it, with why.
        checks = [
            (f"layout against the description at {browsers.DESKTOP[0]} x {browsers.DESKTOP[1]}, mouse",
             at_start(check_layout), {}),
            ("texts, title, language and font", at_start(check_texts_and_font), {}),
            ("colours, computed and on screen", at_start(check_colours), {}),
            ("the text and the edges the page draws itself, computed and on screen",
             at_start(check_drawn_by_the_page), {}),
            ("layout and colours at 200 %", lambda: check_zoomed(page), {"webkit": NO_PIXEL_RATIO}),
            ("names, descriptions and roles at the start",
             at_start(lambda p: check_accessible_names(p, opening=True)), CHROMIUM_ONLY),
            ("names, descriptions and roles after a move", after_first_move(check_accessible_names),
             CHROMIUM_ONLY),
            ("one live region", after_first_move(check_one_live_region), {}),
            ("tab order and first focus at the start", at_start(lambda p: check_tab_order(p, opening=True)), {}),
            ("tab order with the right bank open", after_first_move(check_tab_order), {}),
            ("Enter presses only a focused button", lambda: check_enter_presses_only_a_focused_button(page), {}),
            ("the solution by mouse, then the lock", lambda: check_solution_by_mouse(page), {}),
            ("the solution by keyboard", lambda: check_solution_by_keyboard(page), {}),
            ("the rule tests' Clear cases", lambda: check_clears(page), {}),
            ("the rule tests' refused moves, silent", lambda: check_refusals(page), {}),
            ("axe-core audit", lambda: check_axe(page, axe_script), {}),
            *[(f"on a {w} x {h} touch screen: fits, fingertip targets, a move's controls in the first screen, "
               "the statement whole, the solution by touch", functools.partial(check_touch_screen, touch, w, h), {})
              for w, h in TOUCH_SCREENS],
            ("the statement whole as the width and the text size change", lambda: check_statement_follows(touch),
             {}),
            (f"axe-core audit on a {PHONE[0]} px phone", phone_axe, {}),
            ("forced colours: buttons edged, locked bank distinct", lambda: check_forced_colours(page),
             {"webkit": NO_FORCED_COLOURS}),
            ("the browser's font size at 32 px", lambda: check_larger_font(page), {}),
            ("favicon drawn from the icon's XPM", at_start(lambda p: check_favicon(p, args.icon)), {}),
            ("opened from disk: no other requests, no errors", lambda: check_requests(page),
             {"webkit": NO_REQUEST_LOG}),
            ("opened from disk: nothing stored", lambda: check_nothing_stored(page), {}),
            ("served over HTTP: nothing outside its folder", lambda: check_served_over_http(page),
             {"webkit": NO_REQUEST_LOG}),
            ("the app manifest and its icons", lambda: check_manifest(page, args.icon),
             {"firefox": NO_MANIFEST_READER, "webkit": NO_MANIFEST_READER}),
            ("installable, as Chromium checks it", lambda: check_installable(page),
             {"firefox": NO_MANIFEST_READER, "webkit": NO_MANIFEST_READER}),
            ("offline after one visit", lambda: check_offline(page), {}),
            ("a new build on the next visit, kept in place of the old", lambda: check_new_build(page), {}),
            ("one sentence without WebAssembly", lambda: check_without_webassembly(page), {}),
            ("one sentence without JavaScript", lambda: check_without_javascript(page), {}),
            (f"random clicks and keys keep the invariants (seed {args.seed})",
             lambda: check_random_session(page, args.seed), {}),
        ]
        ran = 0
        for name, run, skipped in checks:
            if args.engine in skipped:
                print(f"skip: {name}, in {args.engine}: {skipped[args.engine]}")
                continue
            ran += 1
            started = time.monotonic()
            try:
                figures = run()
                print(f"ok: {name} ({time.monotonic() - started:.1f} s){f': {figures}' if figures else ''}")
            except CheckFailed as failure:
                failures += 1
                print(f"FAIL: {name}: {failure}", file=sys.stderr)
            except Exception:  # a broken page shows as a browser error; report it and go on
                failures += 1
                print(f"FAIL: {name}:\n{traceback.format_exc()}", file=sys.stderr)
    finally:
        pool.quit()
    print(f"{ran - failures} of {ran} checks passed in {args.engine}, {len(checks) - ran} skipped there")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
