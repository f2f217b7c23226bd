#!/usr/bin/python3
# Reads the editor over the accessibility bus as a screen reader does: finds the text area named
# NAME, checks its text and caret, then (xdotool) presses Ctrl+End, types TYPED, selects back with
# Shift+Left, and waits to hear the caret move, the insertion and the selection.
# Usage: screen_reader.py NAME TEXT TYPED   (the editor's window has the keyboard focus)
#        screen_reader.py --listen NAME      (a benchmark's reader: after each change or caret
#                                             move, reads the caret, its line and the count)
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

listening = sys.argv[1] == "--listen"
name = sys.argv[2] if listening else sys.argv[1]


def text_area(accessible, depth=0):
    if accessible is None or depth > 12:
        return None
    if accessible.name == name and "Text" in pyatspi.listInterfaces(accessible):
        return accessible
    for child in accessible:
        found = text_area(child, depth + 1)
        if found:
            return found
    return None


def find():
    for application in pyatspi.Registry.getDesktop(0):
        found = text_area(application)
        if found:
            return found
    return None


# The editor registers on the bus shortly after accessibility is turned on.
deadline = time.monotonic() + (60 if listening else 10)
area = None
while area is None and time.monotonic() < deadline:
    area = find()
    if area is None:
        time.sleep(0.2)
if area is None:
    sys.exit(f"no text area named {name!r} on the accessibility bus")

reading = area.queryText()

if listening:
    def read(event):
        caret = reading.caretOffset
        reading.getTextAtOffset(caret, pyatspi.TEXT_BOUNDARY_LINE_START)
        reading.characterCount

    pyatspi.Registry.registerEventListener(read, "object:text-caret-moved", "object:text-changed")
    pyatspi.Registry.start()
    sys.exit(0)

text, typed = sys.argv[2:4]
problems = []
if reading.getText(0, -1) != text:
    problems.append(f"text {reading.getText(0, -1)!r}, not {text!r}")
if reading.caretOffset != 0:
    problems.append(f"caret at {reading.caretOffset}, not 0")

end = len(text)
heard = []


def listen(event):
    if event.source and event.source.name == name:
        heard.append((event.type, event.detail1, event.any_data))


def act():
    subprocess.run(["xdotool", "key", "ctrl+End"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "40", typed], check=True)
    subprocess.run(["xdotool", "key", "shift+Left"], check=True)
    return False


pyatspi.Registry.registerEventListener(listen, "object:text-caret-moved", "object:text-changed:insert",
                                       "object:text-selection-changed")
GLib.timeout_add(300, act)
GLib.timeout_add(4000, lambda: pyatspi.Registry.stop())
pyatspi.Registry.start()

if not any(kind.startswith("object:text-caret-moved") and offset == end for kind, offset, _ in heard):
    problems.append(f"no caret move to {end} heard, only {heard}")
if not any(kind.startswith("object:text-changed:insert") and offset == end and data == typed
           for kind, offset, data in heard):
    problems.append(f"no insertion of {typed!r} at {end} heard, only {heard}")
if not any(kind.startswith("object:text-selection-changed") for kind, _, _ in heard):
    problems.append(f"no selection heard, only {heard}")
if problems:
    sys.exit("; ".join(problems))
