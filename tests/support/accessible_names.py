"""What a screen reader is told about every control of the window as it opens:
its name, its description and its role on each front end.

Written out here on its own, not taken from the window's description, so
that a name or description that goes missing or wrong there shows: the
desktop's accessibility test and the web page's test both check what their
front end exposes against this one table.

A seat is named by who stands there, "празно място" when nobody does, and
described by its bank and its place on the bank. The move count and the
boat's direction are named by the value they show, described by what it is.
"""
import collections

# Roles as AT-SPI names them (pyatspi's getRoleName) and as Chromium's
# accessibility tree does.
Exposed = collections.namedtuple("Exposed", "name description desktop_role web_role")

CONTROLS = {
    "Frame1(0)": Exposed("Ляв бряг", "", "panel", "group"),
    "Check1(0)": Exposed("Момче", "Ляв бряг, първо момче", "check box", "checkbox"),
    "Check1(1)": Exposed("Момче", "Ляв бряг, второ момче", "check box", "checkbox"),
    "Check1(2)": Exposed("Рицар", "Ляв бряг, рицар", "check box", "checkbox"),
    "Frame1(1)": Exposed("Десен бряг", "", "panel", "group"),
    "Check1(3)": Exposed("празно място", "Десен бряг, първо момче", "check box", "checkbox"),
    "Check1(4)": Exposed("празно място", "Десен бряг, второ момче", "check box", "checkbox"),
    "Check1(5)": Exposed("празно място", "Десен бряг, рицар", "check box", "checkbox"),
    "Command1(0)": Exposed("Мести", "превозва отметнатите пътници", "push button", "button"),
    "Command1(1)": Exposed("Чисти", "започва отначало", "push button", "button"),
    "List1(0)": Exposed("Рицари отляво", "", "list", "listbox"),
    "List1(1)": Exposed("Рицари отдясно", "", "list", "listbox"),
    "Label1(0)": Exposed("Философия -  река, рицари и момчета", "", "label", "heading"),
    "Label1(1)": Exposed("Рицари отляво", "", "label", "generic"),
    "Label1(2)": Exposed("Рицари отдясно", "", "label", "generic"),
    "Label1(3)": Exposed("Брой:", "", "label", "generic"),
    "Label1(4)": Exposed("0", "брой ходове", "label", "generic"),
    "Label1(5)": Exposed("Лодка:", "", "label", "generic"),
    "Label1(6)": Exposed("", "посока на лодката", "label", "generic"),
    "Text1(0)": Exposed("Условие на задачата", "", "text", "textbox"),
    "Text1(1)": None,  # the aphorism: kept in the window, exposed to nobody
}

# Who stands where at the start: both boys and a knight on the left bank.
BOY = CONTROLS["Check1(0)"].name
KNIGHT = CONTROLS["Check1(2)"].name
EMPTY_SEAT = CONTROLS["Check1(3)"].name
