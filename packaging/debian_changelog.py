#!/usr/bin/python3
"""Writes the Debian changelog from the metainfo's release list, where the
release history is written once (software centres show it from there): newest
first, one bullet for each untranslated paragraph or list item of a release's
notes, signed by the maintainer. Prints the newest release's date (YYYY-MM-DD)
for the manual page.

Usage: debian_changelog.py METAINFO PACKAGE MAINTAINER OUTPUT
"""
import datetime
import pathlib
import sys
import textwrap
import xml.etree.ElementTree as ElementTree

TRANSLATED = "{http://www.w3.org/XML/1998/namespace}lang"


def entry(release, package, maintainer):
    version, date = release.get("version"), release.get("date", "")[:10]
    notes = [" ".join("".join(note.itertext()).split()) for note in release.iter()
             if note.tag in ("p", "li") and TRANSLATED not in note.attrib]
    try:
        day = datetime.date.fromisoformat(date)
    except ValueError:
        day = None
    if not version or not day or not notes:
        sys.exit(f"release {version}: a Debian changelog entry needs a version, a date and untranslated notes")
    bullets = "".join(textwrap.fill(note, 78, initial_indent="  * ", subsequent_indent="    ") + "\n"
                      for note in notes)
    # The time of day is not recorded. Python leaves the time locale at C, so
    # the weekday and month are named in English, as Debian reads them.
    return (f"{package} ({version}) unstable; urgency=medium\n\n{bullets}\n"
            f" -- {maintainer}  {day:%a, %d %b %Y} 00:00:00 +0000\n")


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    metainfo, package, maintainer, output = sys.argv[1:]
    releases = ElementTree.parse(metainfo).getroot().findall("releases/release")
    if not releases:
        sys.exit(f"{metainfo} lists no release: the Debian changelog needs one")
    pathlib.Path(output).write_text("\n".join(entry(r, package, maintainer) for r in releases), encoding="utf-8")
    print(releases[0].get("date")[:10], end="")


if __name__ == "__main__":
    main()
