#!/usr/bin/python3
"""Draws the window's icon, an XPM picture, as the files desktops and browsers
take: PNGs of any size for icon themes and web app manifests, enlarged by
repeating pixels so that the pixel art stays crisp, and the web page's
favicon, an .ico inside a data: URL, for a page that loads nothing else.
Standard library only, so that it runs wherever the build does.

Usage: draw_icon.py ICON.xpm [SIZE OUTPUT.png]... [--favicon OUTPUT]
"""
import base64
import pathlib
import re
import struct
import sys
import zlib


def read_xpm(path):
    """The picture's rows of (red, green, blue, alpha), top row first."""
    try:
        source = re.sub(r"/\*.*?\*/", "", pathlib.Path(path).read_text(encoding="utf-8"), flags=re.DOTALL)
    except (OSError, UnicodeDecodeError) as error:
        sys.exit(f"cannot read the icon: {error}")
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', source)
    try:
        width, height, colours, per_pixel = map(int, strings[0].split()[:4])
        palette = {}
        for line in strings[1:1 + colours]:
            words = line[per_pixel:].split()
            value = words[words.index("c") + 1]
            if value != "None" and not re.fullmatch("#[0-9A-Fa-f]{6}", value):
                raise ValueError(f"colour {value}")
            palette[line[:per_pixel]] = (0, 0, 0, 0) if value == "None" else (*bytes.fromhex(value[1:]), 255)
        rows = strings[1 + colours:1 + colours + height]
        columns = range(0, width * per_pixel, per_pixel)
        pixels = [[palette[row[x:x + per_pixel]] for x in columns] for row in rows]
    except (IndexError, KeyError, ValueError) as error:
        sys.exit(f"{path} is not an XPM picture with #RRGGBB or None colours: {error!r}")
    if len(pixels) != height or any(len(row) != width for row in pixels) or not 0 < width * height:
        sys.exit(f"{path}: the picture's rows do not match its size")
    return pixels


def enlarged(rows, size):
    """The picture at SIZE x SIZE, each pixel taken from the source pixel
    under its top left corner."""
    height, width = len(rows), len(rows[0])
    return [[rows[y * height // size][x * width // size] for x in range(size)] for y in range(size)]


def png(rows):
    """8-bit RGBA, every row unfiltered."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    data = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(data, 9))
            + chunk(b"IEND", b""))


def ico(rows):
    """One image of 32 bits per pixel with alpha, plus the 1-bit mask older
    readers use; both bitmaps bottom row first."""
    height, width = len(rows), len(rows[0])
    if max(width, height) > 256:
        sys.exit(f"an .ico holds at most 256 x 256 pixels, not {width} x {height}")
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


def main(arguments):
    if len(arguments) < 3 or len(arguments) % 2 != 1:
        sys.exit(__doc__)
    rows = read_xpm(arguments[0])
    for size, output in zip(arguments[1::2], arguments[2::2]):
        if size == "--favicon":
            content = ("data:image/x-icon;base64," + base64.b64encode(ico(rows)).decode()).encode()
        elif size.isdigit() and int(size) > 0 and output.endswith(".png"):
            content = png(enlarged(rows, int(size)))
        else:
            sys.exit(f"expected a size in pixels and a .png file, or --favicon and a file, not {size} {output}")
        pathlib.Path(output).parent.mkdir(parents=True, exist_ok=True)
        pathlib.Path(output).write_bytes(content)


if __name__ == "__main__":
    main(sys.argv[1:])
