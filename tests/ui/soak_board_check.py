#!/usr/bin/python3
"""Reads the board of the running program through the accessibility bus, as a
screen reader would, and checks what must hold after any sequence of user
actions: everybody stands on exactly one bank, the knight seats follow the
knight lists, the open bank follows the lock, the labels read as a count and a
direction.

Usage: soak_board_check.py PID

The window must be idle and run with accessibility on; tests/desktop/
accessibility_check.py supplies the reading of the tree.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "desktop"))
import accessibility_check as tree  # noqa: E402

KNIGHTS = 3
TO_THE_RIGHT, TO_THE_LEFT = tree.TO_THE_RIGHT, tree.TO_THE_LEFT


def problems(board, entries):
    """What is wrong with the board read from the tree; empty if nothing."""
    found = []
    seats, knights, banks = board["seats"], board["knights"], board["banks"]
    if sum(knights) != KNIGHTS:
        found.append(f"the knight lists hold {knights[0]} + {knights[1]}")
    if any(entry != "1" for entry in entries):
        found.append(f"a knight list holds something other than \"1\": {entries}")
    for boy in (0, 1):
        pair = (seats[boy], seats[boy + tree.SEATS_PER_BANK])
        if sorted(pair) != sorted((tree.BOY, tree.EMPTY)):
            found.append(f"boy {boy + 1} is not on exactly one bank: {pair}")
    for bank in (0, 1):
        seat = seats[bank * tree.SEATS_PER_BANK + tree.KNIGHT_SEAT]
        if seat != (tree.KNIGHT if knights[bank] else tree.EMPTY):
            found.append(f"bank {bank} knight seat reads {seat!r} with {knights[bank]} knight(s)")
    if knights[0] == 0:
        if any(banks):
            found.append(f"a bank is open after the last knight left: {banks}")
        if tree.BOY not in seats[tree.SEATS_PER_BANK:]:
            found.append("the board locked with no boy on the right bank")
    elif banks.count(True) != 1:
        found.append(f"not exactly one bank open: {banks}")
    count = board["count"]
    if not count.isdigit() or int(count) > 32767:
        found.append(f"the move count reads {count!r}")
    if board["direction"] not in ("", TO_THE_RIGHT, TO_THE_LEFT):
        found.append(f"the direction reads {board['direction']!r}")
    elif count.isdigit() and int(count) > 0 and not board["direction"]:
        found.append("moves were counted but no direction is shown")
    return found


def main():
    app = tree.find_application(int(sys.argv[1]))
    window = tree.Window(app)
    board = tree.read_board(window)
    entries = [item.name for knight_list in window.knight_lists for item in knight_list]
    print(f"board read through AT-SPI: {' | '.join(board['seats'])}; knights {board['knights']}; "
          f"open banks {board['banks']}; count {board['count']} {board['direction']}")
    found = problems(board, entries) + tree.failures
    for problem in found:
        print(f"FAIL: {problem}", file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
