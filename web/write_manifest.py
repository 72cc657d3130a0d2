#!/usr/bin/python3
"""Writes the page's web app manifest, which lets browsers install the page
as an app: its name and colours from the window's description (form.json),
its icons with the sizes read from the PNGs themselves.

Usage: write_manifest.py FORM_JSON OUTPUT ICON.png...
"""
import json
import pathlib
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_size(path):
    """Width and height from the PNG's header chunk."""
    head = path.read_bytes()[:24]
    if len(head) < 24 or not head.startswith(PNG_SIGNATURE) or head[12:16] != b"IHDR":
        sys.exit(f"{path} is not a PNG picture")
    return struct.unpack(">II", head[16:24])


def main(arguments):
    if len(arguments) < 3:
        sys.exit(__doc__)
    form, output, *icons = map(pathlib.Path, arguments)
    try:
        window = json.loads(form.read_text(encoding="utf-8"))["window"]
        sizes = [png_size(icon) for icon in icons]
    except (OSError, ValueError, KeyError) as error:
        sys.exit(f"cannot read the window's description or an icon: {error!r}")
    manifest = {
        "lang": "bg",
        "name": window["programTitle"],
        # Under the icon on a home screen, where the title does not fit.
        "short_name": "Реката",
        "start_url": "./",
        "scope": "./",
        "display": "standalone",
        # The splash screen and the title bar take the window's colour.
        "background_color": window["background"],
        "theme_color": window["background"],
        "icons": [{"src": icon.name, "sizes": f"{width}x{height}", "type": "image/png"}
                  for icon, (width, height) in zip(icons, sizes)],
    }
    output.write_text(json.dumps(manifest, ensure_ascii=False, indent=1) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv[1:])
