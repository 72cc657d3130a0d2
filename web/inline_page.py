#!/usr/bin/env python3
"""Writes the web page as one file, so that it opens from disk as well as from
any web server and loads nothing else: the page's template with, in place of
its markers, the compiled script, its WebAssembly module (base64) and the
favicon, an .ico drawn from the window icon's XPM.

Usage: inline_page.py TEMPLATE SCRIPT WASM ICON.XPM OUTPUT
"""
import base64
import pathlib
import re
import struct
import sys


def read_xpm(path):
    """The picture's rows of (red, green, blue, alpha), top row first."""
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', path.read_text(encoding="utf-8"))
    try:
        width, height, colours, per_pixel = map(int, strings[0].split()[:4])
        palette = {}
        for line in strings[1:1 + colours]:
            words = line[per_pixel:].split()
            value = words[words.index("c") + 1]
            palette[line[:per_pixel]] = (0, 0, 0, 0) if value == "None" else (*bytes.fromhex(value[1:]), 255)
        rows = strings[1 + colours:1 + colours + height]
        columns = range(0, width * per_pixel, per_pixel)
        pixels = [[palette[row[x:x + per_pixel]] for x in columns] for row in rows]
    except (IndexError, KeyError, ValueError) as error:
        sys.exit(f"{path} is not an XPM picture with #RRGGBB or None colours: {error!r}")
    if len(pixels) != height or any(len(row) != width for row in pixels) or not 0 < max(width, height) <= 256:
        sys.exit(f"{path}: the picture's rows do not match its size, or it is larger than an icon")
    return width, height, pixels


def ico(width, height, rows):
    """One image of 32 bits per pixel with alpha, plus the 1-bit mask older
    readers use; both bitmaps bottom row first."""
    colour = b"".join(bytes((blue, green, red, alpha))
                      for row in reversed(rows) for red, green, blue, alpha in row)
    mask_row = (width + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = info + colour + bytes(mask)
    # ICONDIR and its one entry; a side of 256 is written as 0.
    entry = struct.pack("<HHHBBBBHHII", 0, 1, 1, width % 256, height % 256, 0, 0, 1, 32, len(image), 22)
    return entry + image


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    template, script, wasm, icon, output = map(pathlib.Path, sys.argv[1:])
    page = template.read_text(encoding="utf-8")
    code = script.read_text(encoding="utf-8")
    # Either would end or derail the script element early.
    for breaker in ("</script", "<!--"):
        if breaker in code.lower():
            sys.exit(f"{script} contains {breaker!r} and cannot be put inside the page")
    parts = {
        "@RIVERCROSSING_ICON@": "data:image/x-icon;base64," + base64.b64encode(ico(*read_xpm(icon))).decode(),
        "@RIVERCROSSING_WASM@": base64.b64encode(wasm.read_bytes()).decode(),
        "@RIVERCROSSING_JS@": code,
    }
    for marker, content in parts.items():
        if page.count(marker) != 1:
            sys.exit(f"{template} must hold {marker} once")
        page = page.replace(marker, content)
    output.write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
