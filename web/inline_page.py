#!/usr/bin/python3
"""Writes the web page as one file, so that it opens from disk as well as from
any web server and loads nothing else: the page's template with, in place of
its markers, the program's title from the window's description (so that the
tab is named even where scripts are off), the form's markup and the media of
its layouts' style sheets (page_markup_json), the compiled script, its
WebAssembly module (base64) and the favicon (a data: URL). The page decodes
the module with the browser's own decoder where there is one, about a
millisecond sooner at start-up than emscripten's single-file output decodes
it with its script.

Usage: inline_page.py TEMPLATE FORM.JSON MARKUP.JSON SCRIPT WASM FAVICON OUTPUT
"""
import base64
import html
import json
import pathlib
import sys


def main():
    if len(sys.argv) != 8:
        sys.exit(__doc__)
    template, form, markup, script, wasm, favicon, output = map(pathlib.Path, sys.argv[1:])
    page = template.read_text(encoding="utf-8")
    code = script.read_text(encoding="utf-8")
    # Either would end or derail the script element early.
    for breaker in ("</script", "<!--"):
        if breaker in code.lower():
            sys.exit(f"{script} contains {breaker!r} and cannot be put inside the page")
    title = json.loads(form.read_text(encoding="utf-8"))["window"]["programTitle"]
    written = json.loads(markup.read_text(encoding="utf-8"))
    parts = {
        "@RIVERCROSSING_TITLE@": html.escape(title),
        "@RIVERCROSSING_FORM@": written["form"],
        "@RIVERCROSSING_FLOW_MEDIA@": html.escape(written["flowMedia"]),
        "@RIVERCROSSING_WIDE_TOUCH_MEDIA@": html.escape(written["wideTouchMedia"]),
        "@RIVERCROSSING_ICON@": favicon.read_text(encoding="ascii"),
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
