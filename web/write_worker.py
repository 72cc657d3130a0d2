#!/usr/bin/python3
"""Writes the page's service worker: its template with the list of files it
keeps and, as the name of the build, a hash of their names and contents, so
that any change to any of them makes a new worker and a new kept copy.
The page (index.html) comes first and is kept as its folder's address.

Usage: write_worker.py TEMPLATE OUTPUT PAGE [FILE]...
"""
import hashlib
import json
import pathlib
import sys


def worker(template, files):
    """The worker's text for the files, the page first."""
    build = hashlib.sha256()
    for path in files:
        content = path.read_bytes()
        # Lengths keep one file's end from passing for the next one's start.
        build.update(f"{path.name} {len(content)}\n".encode() + content)
    urls = ["./"] + [path.name for path in files[1:]]
    parts = {"@CROSSING_BUILD@": build.hexdigest()[:16], "@CROSSING_FILES@": json.dumps(urls)}
    for marker, content in parts.items():
        if template.count(marker) != 1:
            sys.exit(f"the worker's template must hold {marker} once")
        template = template.replace(marker, content)
    return template


def main(arguments):
    if len(arguments) < 3:
        sys.exit(__doc__)
    template, output, *files = map(pathlib.Path, arguments)
    if files[0].name != "index.html":
        sys.exit(f"the first file to keep must be the page, index.html, not {files[0]}")
    # The worker finds them by name, beside itself.
    strays = [str(path) for path in files if path.resolve().parent != output.resolve().parent]
    if strays:
        sys.exit(f"the files to keep must lie beside {output}, unlike {strays}")
    try:
        text = worker(template.read_text(encoding="utf-8"), files)
    except OSError as error:
        sys.exit(f"cannot read a file to keep: {error}")
    output.write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv[1:])
