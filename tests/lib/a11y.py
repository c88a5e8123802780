#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints what the accessibility bus says a running program shows, one control a line:
#   window <TAB> role <TAB> name <TAB> description <TAB> text
# for every top-level window of the application whose name is the first argument and
# whose caption matches the optional second argument (a regular expression).
# Labels carry their caption as their name; line edits carry their content as text.
# With --active as the second argument it prints the caption of the active window: the
# one the program has been told has the keyboard.
import re
import sys

import pyatspi


def clean(value):
    return (value or "").replace("\t", " ").replace("\n", " ")


def text_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return ""
    return text.getText(0, -1)


def walk(node, window, depth=0):
    if depth > 40:
        return
    try:
        role = node.getRoleName()
        name = node.name
        description = node.description
    except Exception:
        return
    content = text_of(node) if role in ("text", "entry", "password text") else ""
    print("\t".join(clean(v) for v in (window, role, name, description, content)))
    for child in node:
        if child is not None:
            walk(child, window, depth + 1)


def main():
    app_name = sys.argv[1]
    active = len(sys.argv) > 2 and sys.argv[2] == "--active"
    caption = re.compile(sys.argv[2]) if len(sys.argv) > 2 and not active else None
    desktop = pyatspi.Registry.getDesktop(0)
    found = False
    for app in desktop:
        if app is None or app.name != app_name:
            continue
        found = True
        for window in app:
            if window is None:
                continue
            if active:
                if window.getState().contains(pyatspi.STATE_ACTIVE):
                    print(clean(window.name))
                continue
            if caption is None or caption.search(window.name or ""):
                walk(window, clean(window.name))
    if not found:
        sys.exit(f"a11y: no application named {app_name!r} on the accessibility bus")


if __name__ == "__main__":
    main()
