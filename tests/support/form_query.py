#!/usr/bin/python3
"""The window's description, as the build writes it (form.json), for the shell
and Python harnesses: places, colours and texts come from here, never from a
copy in the harness.

The file is $CROSSING_FORM_JSON, or build/form/form.json in the source tree.

As a command:
  form_query.py size                 487 400 (the client area at 96 dpi)
  form_query.py title                the window title: site address, two spaces, program title
  form_query.py program-title        the program's title alone
  form_query.py rects                "NAME X Y WIDTH HEIGHT" for every shown control
  form_query.py rect NAME            X Y WIDTH HEIGHT of one control ("window": the client area)
  form_query.py colour NAME          RRGGBB of a control's background ("window" too)
  form_query.py text NAME            a control's caption or text
  form_query.py point NAME DX DY     a point DX, DY into the control; negative
                                     offsets count back from its right or bottom edge
  form_query.py bare-point           a point of the client area that no control covers
"""
import json
import os
import sys

WINDOW = "window"


def path():
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "form", "form.json")
    return os.environ.get("CROSSING_FORM_JSON") or default


def load(file=None):
    with open(file or path(), encoding="utf-8") as stream:
        return json.load(stream)


def controls(form):
    return {control["name"]: control for control in form["controls"]}


def rect(form, name):
    """(x, y, width, height) in client-area pixels at 96 dpi."""
    if name == WINDOW:
        return 0, 0, form["window"]["width"], form["window"]["height"]
    pixels = controls(form)[name]["pixels"]
    return pixels["x"], pixels["y"], pixels["width"], pixels["height"]


def colour(form, name):
    value = form["window"]["background"] if name == WINDOW else controls(form)[name]["background"]
    if value is None:
        raise KeyError(f"{name} takes the system's colours")
    return value.lstrip("#").upper()


def point(form, name, dx, dy):
    x, y, width, height = rect(form, name)
    return x + (dx if dx >= 0 else width + dx), y + (dy if dy >= 0 else height + dy)


def shown_rects(form):
    return [(c["name"], *rect(form, c["name"])) for c in form["controls"] if c["shown"]]


def bare_point(form):
    """The first point, row by row from the top left, that lies under no control."""
    rects = [r[1:] for r in shown_rects(form)]
    width, height = form["window"]["width"], form["window"]["height"]
    for y in range(2, height, 4):
        for x in range(2, width, 4):
            if not any(rx <= x < rx + rw and ry <= y < ry + rh for rx, ry, rw, rh in rects):
                return x, y
    raise ValueError("every point of the window lies under a control")


def main(argv):
    form = load()
    command, args = argv[1], argv[2:]
    if command == "size":
        print(form["window"]["width"], form["window"]["height"])
    elif command == "title":
        print(form["window"]["title"])
    elif command == "program-title":
        print(form["window"]["programTitle"])
    elif command == "rects":
        for entry in shown_rects(form):
            print(*entry)
    elif command == "rect":
        print(*rect(form, args[0]))
    elif command == "colour":
        print(colour(form, args[0]))
    elif command == "text":
        print(controls(form)[args[0]]["text"])
    elif command == "point":
        print(*point(form, args[0], int(args[1]), int(args[2])))
    elif command == "bare-point":
        print(*bare_point(form))
    else:
        sys.exit(f"form_query.py: unknown command {command!r}")


if __name__ == "__main__":
    main(sys.argv)
