#!/usr/bin/python3
"""Reads the running program through the accessibility bus, as a screen reader
does, and plays the eleven-move solution with the keyboard alone.

Usage: accessibility_check.py PID
       accessibility_check.py PID --window-only TITLE

The program must already run on DISPLAY with accessibility on; keys are sent
with xdotool to the focused window. With --window-only, nothing is played:
the window is read as a screen reader first meets it, named TITLE, where the
program draws its own title bar (on Wayland), whose buttons must stay out of
the Tab order. After every move the whole board is read
back through AT-SPI and compared with where the passengers should stand, and
the announcement a screen reader speaks is compared with what the move did.
Names, descriptions and roles are checked against the tests' own table
(tests/support/accessible_names.py). Tools on the bus must be able to read
the problem statement's font and colours but not to edit it.
"""
import collections
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, "..", "support")]
import accessible_names  # noqa: E402
import form_query  # noqa: E402

# What a listener must hear, from the tests' own table of names.
NAMED = accessible_names.CONTROLS
BOY, KNIGHT, EMPTY = accessible_names.BOY, accessible_names.KNIGHT, accessible_names.EMPTY_SEAT
BANKS = tuple(NAMED[f"Frame1({bank})"].name for bank in (0, 1))
LIST_NAMES = tuple(NAMED[f"List1({bank})"].name for bank in (0, 1))
COUNT_DESCRIPTION = NAMED["Label1(4)"].description
DIRECTION_DESCRIPTION = NAMED["Label1(6)"].description
STATEMENT_NAME = NAMED["Text1(0)"].name
MOVE, CLEAR = NAMED["Command1(0)"].name, NAMED["Command1(1)"].name
# The texts the rules write and the program says, from the window's description.
FORM = form_query.load()
CONTROLS = form_query.controls(FORM)
TITLE = FORM["window"]["title"]
TO_THE_RIGHT, TO_THE_LEFT = FORM["rules"]["toTheRight"], FORM["rules"]["toTheLeft"]
STATEMENT_OPENING = CONTROLS["Text1(0)"]["text"].split("\r\n")[0]
APHORISM_OPENING = CONTROLS["Text1(1)"]["text"].split("\r\n")[0].strip()
# What a screen reader speaks after a command: a notification shown without
# moving the focus.
SPOKEN = FORM["announcements"]

# Seats by index as the window numbers them: three on the left, three on the right.
FIRST_BOY, SECOND_BOY, KNIGHT_SEAT = 0, 1, 2
SEATS_PER_BANK = 3

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print(f"FAIL: {what}", file=sys.stderr)
    return condition


def deliver_events():
    """Hands the accessibility events that have arrived to their listeners."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(condition, seconds=10.0):
    """Polls condition() until it is true or the time is up; returns its last value."""
    deadline = time.monotonic() + seconds
    while True:
        deliver_events()
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.05)


def descendants(accessible):
    yield accessible
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield from descendants(child)


def has_state(accessible, state):
    return accessible.getState().contains(state)


def find_application(pid):
    def search():
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == pid:
                return app
        return None

    app = wait_for(search, 20)
    if app is None:
        sys.exit(f"FAIL: no accessible application with process id {pid}")
    # Every read goes to the program: the tests send no events through a
    # main loop that would keep a cache current.
    app.set_cache_mask(Atspi.Cache.NONE)
    return app


def form_pane(frame):
    """Where the window's controls hang: in the frame itself, or in a pane of
    it beside the title bar the program draws itself (on Wayland)."""
    panes = [child for child in frame if child is not None and child.getRole() == pyatspi.ROLE_FILLER
             and any(grandchild.getRole() == pyatspi.ROLE_PANEL for grandchild in child if grandchild is not None)]
    return panes[0] if panes else frame


class Window:
    """The program's window as the accessibility tree presents it."""

    def __init__(self, app):
        frames = [child for child in descendants(app) if child.getRole() == pyatspi.ROLE_FRAME]
        if not check(len(frames) == 1, f"one window frame, found {len(frames)}"):
            sys.exit(1)
        self.frame = frames[0]
        self.form = form_pane(self.frame)
        every = list(descendants(self.frame))
        self.panels = [a for a in every if a.getRole() == pyatspi.ROLE_PANEL]
        self.lists = [a for a in every if a.getRole() == pyatspi.ROLE_LIST]
        self.labels = [a for a in every if a.getRole() == pyatspi.ROLE_LABEL]
        self.texts = [a for a in every if a.getRole() == pyatspi.ROLE_TEXT]
        self.buttons = {a.name: a for a in every if a.getRole() == pyatspi.ROLE_PUSH_BUTTON}
        self.seats = []
        for bank in BANKS:
            panel = next((p for p in self.panels if p.name == bank), None)
            if not check(panel is not None, f"a panel named {bank!r}"):
                sys.exit(1)
            boxes = [c for c in panel if c.getRole() == pyatspi.ROLE_CHECK_BOX]
            if not check(len(boxes) == SEATS_PER_BANK, f"{bank}: three seats, found {len(boxes)}"):
                sys.exit(1)
            self.seats.extend(boxes)
        self.knight_lists = [self.single(self.lists, name, "list") for name in LIST_NAMES]
        self.count = self.described(COUNT_DESCRIPTION)
        self.direction = self.described(DIRECTION_DESCRIPTION)
        self.focusable = [*self.texts, *self.seats, *self.buttons.values(), *self.knight_lists]

    def single(self, candidates, name, kind):
        found = [a for a in candidates if a.name == name]
        if not check(len(found) == 1, f"one {kind} named {name!r}, found {len(found)}"):
            sys.exit(1)
        return found[0]

    def described(self, description):
        found = [a for a in self.labels if a.description == description]
        if not check(len(found) == 1, f"one label described as {description!r}, found {len(found)}"):
            sys.exit(1)
        return found[0]

    def focused(self):
        """The control with the keyboard focus. A list reports the focus itself
        (its entries may keep a stale focused state after it has moved on)."""
        for control in self.focusable:
            if has_state(control, pyatspi.STATE_FOCUSED):
                return control
        return None


def print_tree(accessible, depth=0):
    """The tree as a screen reader walks it, for the test's log."""
    states = [name for state, name in ((pyatspi.STATE_FOCUSED, "focused"), (pyatspi.STATE_CHECKED, "checked"))
              if has_state(accessible, state)]
    if accessible.getRole() in (pyatspi.ROLE_PANEL, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_PUSH_BUTTON) \
            and not has_state(accessible, pyatspi.STATE_ENABLED):
        states.append("disabled")
    line = f"{'  ' * depth}[{accessible.getRoleName()}] {accessible.name!r}"
    if accessible.description:
        line += f" ({accessible.description})"
    print(line + (f" {{{', '.join(states)}}}" if states else ""))
    # A text box's scroll bars and viewport say nothing to a listener.
    if accessible.getRole() != pyatspi.ROLE_TEXT:
        for child in accessible:
            if child is not None:
                print_tree(child, depth + 1)


def check_starting_tree(window, title=TITLE):
    """What a screen reader finds before the first move."""
    check(window.frame.name == title, f"window named by its title {title!r}, got {window.frame.name!r}")
    check(len(window.texts) == 1, f"one text box exposed (the aphorism stays hidden), found {len(window.texts)}")
    for accessible in descendants(window.frame):
        if accessible.getRole() == pyatspi.ROLE_TEXT:
            text = accessible.queryText()
            check(APHORISM_OPENING not in text.getText(0, text.characterCount), "the aphorism is not exposed")
    statement = window.texts[0] if window.texts else None
    if statement is not None:
        check(statement.name == STATEMENT_NAME, f"problem statement named, got {statement.name!r}")
        text = statement.queryText()
        check(text.getText(0, text.characterCount).startswith(STATEMENT_OPENING), "statement text readable")
    for name in (MOVE, CLEAR):
        check(name in window.buttons, f"a button named {name!r}")
    check_against_table_of_names(window)


def exposed_controls(window):
    """(name, description, role) of every control the window's form exposes,
    less the parts inside a text box or a list (scroll bars, entries)."""
    found = []

    def walk(accessible):
        for child in accessible:
            if child is not None:
                found.append((child.name, child.description, child.getRoleName()))
                if child.getRole() not in (pyatspi.ROLE_TEXT, pyatspi.ROLE_LIST):
                    walk(child)

    walk(window.form)
    return found


def check_against_table_of_names(window):
    """Every control exposed as the table of names has it, and nothing else."""
    got = collections.Counter(exposed_controls(window))
    want = collections.Counter((c.name, c.description, c.desktop_role) for c in NAMED.values() if c)
    check(got == want, f"the exposed controls differ from the table of names: missing "
          f"{sorted((want - got).elements())}, not in the table {sorted((got - want).elements())}")


class EventLog:
    """The program's announcements and tick changes, in the order it sent them.

    The program sends its events over one connection, so they arrive in order:
    once an event caused after a key press has arrived, anything that press
    caused has arrived too. That is how a silence is checked without waiting."""

    def __init__(self, pid):
        self.pid = pid
        self.entries = []
        pyatspi.Registry.registerEventListener(
            self.record, "object:state-changed:showing", "object:state-changed:checked")

    def record(self, event):
        try:
            if event.source.get_process_id() != self.pid:
                return
            if event.type.startswith("object:state-changed:checked"):
                self.entries.append(("checked", event.source, bool(event.detail1)))
            elif event.source.getRole() == pyatspi.ROLE_NOTIFICATION and event.detail1:
                self.entries.append(("spoken", event.source.name))
        except GLib.Error:
            pass  # a control gone while its event was on the way

    def mark(self):
        return len(self.entries)

    def spoken_since(self, mark):
        return [entry[1] for entry in self.entries[mark:] if entry[0] == "spoken"]

    def has_tick_since(self, mark, seat, ticked):
        return ("checked", seat, ticked) in self.entries[mark:]


def check_statement_read_only(statement):
    """Tools may read, select and copy the problem statement, never change it.
    Each edit is tried directly, whether or not the box offers editing."""
    text = statement.queryText()
    original = text.getText(0, -1)
    check(text.addSelection(3, 12), "a selection can be made in the statement")
    check(text.getNSelections() == 1 and text.getSelection(0) == (3, 12),
          f"the statement's selection reads back, got {text.getNSelections()} {text.getSelection(0)}")
    check(text.getText(3, 12) == original[3:12], "the selected text can be read")
    check(text.removeSelection(0) and text.getNSelections() == 0, "the statement's selection can be removed")

    # Copying stays open to tools; what it copies is pasted back below.
    check(Atspi.EditableText.copy_text(statement, 0, 4), "copyText over AT-SPI is accepted")
    word = "Рицар"
    edits = [
        ("insertText(0, …)", lambda: Atspi.EditableText.insert_text(statement, 0, word, len(word))),
        ("deleteText(20, 40)", lambda: Atspi.EditableText.delete_text(statement, 20, 40)),
        ("setTextContents", lambda: Atspi.EditableText.set_text_contents(statement, word)),
        ("cutText(0, 10)", lambda: Atspi.EditableText.cut_text(statement, 0, 10)),
        ("pasteText(0) after the copy", lambda: Atspi.EditableText.paste_text(statement, 0)),
    ]
    for what, edit in edits:
        try:
            edit()
        except GLib.Error:
            pass  # refused outright is as good as ignored
        check(text.getText(0, -1) == original, f"{what} over AT-SPI leaves the statement as it was")


# How the statement is drawn, as AT-SPI names text attributes: the window's
# face, Times New Roman, is Liberation Serif here (the metric-compatible face
# fontconfig puts in its place), at 12 points, upright, black on white,
# lines kept to the left.
STATEMENT_ATTRIBUTES = {"family-name": "Liberation Serif", "size": "12", "style": "normal",
                        "fg-color": "0,0,0", "bg-color": "255,255,255", "justification": "left"}


def check_statement_attributes(statement):
    """The statement is one run of text in one font and one pair of colours,
    wherever a tool asks, the end of the text (where the caret may stand) too.
    Tools read it as the run at an offset: Qt 6.4's bridge answers a request
    for the default attributes with an empty set, whatever the text says."""
    # The face drawn is fontconfig's choice, not the program's: where it is
    # another, this machine breaks the test's assumption, not the program.
    face = subprocess.run(["fc-match", "-f", "%{family[0]}", "Times New Roman:lang=bg"],
                          capture_output=True, text=True, check=False).stdout
    if face != STATEMENT_ATTRIBUTES["family-name"]:
        check(False, f"fontconfig puts {face or 'nothing'!r}, not {STATEMENT_ATTRIBUTES['family-name']!r}, "
                     "in place of Times New Roman, which this check relies on; the statement's attributes "
                     "were not checked")
        return
    text = statement.queryText()
    length = text.characterCount
    for offset in (0, length // 2, length):
        attributes, start, end = text.getAttributeRun(offset, True)
        got = dict(attribute.split(":", 1) for attribute in attributes)
        check({name: got.get(name) for name in STATEMENT_ATTRIBUTES} == STATEMENT_ATTRIBUTES
              and (start, end) == (0, length),
              f"the statement's attributes at {offset}: {got} over {start}..{end}, "
              f"expected {STATEMENT_ATTRIBUTES} over 0..{length}")


class Board:
    """Where everybody should stand: the solution's moves, told as the story tells them."""

    def __init__(self):
        self.first_boy = self.second_boy = self.boat = 0  # 0 left bank, 1 right bank
        self.knights = [3, 0]
        self.moves = 0
        self.direction = ""

    def cross(self, seats):
        if FIRST_BOY in [s % SEATS_PER_BANK for s in seats]:
            self.first_boy = 1 - self.first_boy
        if SECOND_BOY in [s % SEATS_PER_BANK for s in seats]:
            self.second_boy = 1 - self.second_boy
        if KNIGHT_SEAT in [s % SEATS_PER_BANK for s in seats]:
            self.knights[self.boat] -= 1
            self.knights[1 - self.boat] += 1
        self.boat = 1 - self.boat
        self.moves += 1
        self.direction = TO_THE_RIGHT if self.boat == 1 else TO_THE_LEFT

    def seat_names(self):
        names = []
        for bank in (0, 1):
            names.append(BOY if self.first_boy == bank else EMPTY)
            names.append(BOY if self.second_boy == bank else EMPTY)
            names.append(KNIGHT if self.knights[bank] else EMPTY)
        return names

    def locked(self):
        return self.knights[0] == 0

    def bank_enabled(self, bank):
        return not self.locked() and self.boat == bank


def read_board(window):
    return {
        "seats": [seat.name for seat in window.seats],
        "ticks": [has_state(seat, pyatspi.STATE_CHECKED) for seat in window.seats],
        "knights": [knight_list.childCount for knight_list in window.knight_lists],
        "banks": [has_state(panel, pyatspi.STATE_ENABLED)
                  for name in BANKS for panel in window.panels if panel.name == name],
        "count": window.count.name,
        "direction": window.direction.name,
    }


def expected_board(board):
    return {
        "seats": board.seat_names(),
        "ticks": [False] * (2 * SEATS_PER_BANK),
        "knights": list(board.knights),
        "banks": [board.bank_enabled(0), board.bank_enabled(1)],
        "count": str(board.moves),
        "direction": board.direction,
    }


def press(key):
    subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)


def tab(window):
    """Presses Tab and returns the control that takes the focus."""
    before = window.focused()
    press("Tab")
    return wait_for(lambda: (lambda now: now if now not in (None, before) else None)(window.focused()), 5.0)


def tab_to(window, target, what):
    """Presses Tab until target has the focus, as a keyboard user would."""
    focused = window.focused()
    for _ in range(16):
        if focused == target:
            return True
        focused = tab(window)
    return check(False, f"Tab never reached {what}")


def focus_cycle(window, length):
    """The names of the controls Tab visits, starting with the focused one."""
    focused = wait_for(window.focused, 5.0)
    names = [focused.name if focused is not None else None]
    while len(names) < length:
        focused = tab(window)
        names.append(focused.name if focused is not None else None)
    return names


def spoken_after_move(board):
    sentence = SPOKEN["move"].format(count=board.moves, direction=board.direction)
    if board.locked():
        sentence += " " + SPOKEN["everyKnightAcross"].format(count=board.moves)
    return sentence


def tick(window, seat, ticked, what):
    """Tabs to a seat and presses Space, which must leave it ticked or not."""
    if not tab_to(window, window.seats[seat], f"seat {seat}"):
        return False
    press("space")
    return check(wait_for(lambda: has_state(window.seats[seat], pyatspi.STATE_CHECKED) == ticked, 5.0),
                 f"{what}: seat {seat} {'ticked' if ticked else 'unticked'} with Space")


def check_refused_move_is_silent(window, events, board):
    """A boy and the knight together: Move does nothing and says nothing."""
    for seat in (FIRST_BOY, KNIGHT_SEAT):
        if not tick(window, seat, True, "refused move"):
            return False
    # Its own tick arriving shows the program is sending events to this listener.
    check(wait_for(lambda: events.has_tick_since(0, window.seats[KNIGHT_SEAT], True), 5.0),
          "tick events reach the listener")
    mark = events.mark()
    if not tab_to(window, window.buttons[MOVE], MOVE):
        return False
    press("space")
    # Unticking afterwards: once its event is in, any word about the move is too.
    for seat in (FIRST_BOY, KNIGHT_SEAT):
        if not tick(window, seat, False, "after the refused move"):
            return False
    check(wait_for(lambda: events.has_tick_since(mark, window.seats[KNIGHT_SEAT], False), 5.0),
          "the knight's untick reaches the listener")
    check(events.spoken_since(mark) == [],
          f"a refused move is not announced, got {events.spoken_since(mark)}")
    got, want = read_board(window), expected_board(board)
    return check(got == want, f"after the refused move: board {got}, expected {want}")


def check_clear_announced(window, events):
    mark = events.mark()
    if not tab_to(window, window.buttons[CLEAR], CLEAR):
        return
    press("space")
    board = Board()
    want = expected_board(board)
    want["direction"] = TO_THE_RIGHT  # Clear leaves the direction label as it was
    check(wait_for(lambda: read_board(window) == want, 5.0),
          f"Clear: board {read_board(window)}, expected {want}")
    wait_for(lambda: events.spoken_since(mark), 5.0)
    check(events.spoken_since(mark) == [SPOKEN["startAgain"]],
          f"Clear announced as {events.spoken_since(mark)}, expected {[SPOKEN['startAgain']]}")


def check_window_only(pid, title):
    window = Window(find_application(pid))
    check_starting_tree(window, title)
    print_tree(window.frame)
    for name, button in window.buttons.items():
        if name not in (MOVE, CLEAR):
            check(not has_state(button, pyatspi.STATE_FOCUSABLE),
                  f"the title bar's button {name!r} stays out of the Tab order")
    return 1 if failures else 0


def main():
    pid = int(sys.argv[1])
    if sys.argv[2:3] == ["--window-only"]:
        return check_window_only(pid, sys.argv[3])
    events = EventLog(pid)
    window = Window(find_application(pid))
    check_starting_tree(window)
    if window.texts:
        check_statement_read_only(window.texts[0])
        check_statement_attributes(window.texts[0])

    print_tree(window.frame)

    board = Board()
    start, want = read_board(window), expected_board(board)
    check(start == want, f"starting position read through AT-SPI: {start}, expected {want}")

    # Seats in a locked bank drop out of the cycle: from the knight seat the
    # focus goes straight to Move.
    cycle = focus_cycle(window, 9)
    expected_cycle = [STATEMENT_NAME, CLEAR, BOY, BOY, KNIGHT, MOVE, *LIST_NAMES, STATEMENT_NAME]
    check(cycle == expected_cycle, f"Tab order {cycle}, expected {expected_cycle}")

    if not check_refused_move_is_silent(window, events, board):
        return 1

    round_trip = [[0, 1], [3], [2], [4]]
    solution = (round_trip * 3)[:11]
    for number, seats in enumerate(solution, start=1):
        for seat in seats:
            if not tick(window, seat, True, f"move {number}"):
                return 1
        if not tab_to(window, window.buttons[MOVE], MOVE):
            return 1
        mark = events.mark()
        press("space")
        board.cross(seats)
        check(wait_for(lambda: window.count.name == str(number), 5.0),
              f"move {number}: the count reads {window.count.name!r}")
        want = expected_board(board)
        wait_for(lambda: read_board(window) == want, 5.0)
        got = read_board(window)
        check(got == want, f"move {number}: board {got}, expected {want}")
        spoken = [spoken_after_move(board)]
        wait_for(lambda: events.spoken_since(mark), 5.0)
        check(events.spoken_since(mark) == spoken, f"move {number}: announced {events.spoken_since(mark)}, "
              f"expected {spoken}")
        print(f"move {number}: {' | '.join(want['seats'])}; knights {want['knights']}; "
              f"count {want['count']}, {want['direction']}; spoken {events.spoken_since(mark)}")

    check(board.locked(), "the solution ends with every knight across")
    check_clear_announced(window, events)
    if failures:
        print(f"{len(failures)} accessibility check(s) failed", file=sys.stderr)
        return 1
    print("accessibility tree and keyboard play checked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
