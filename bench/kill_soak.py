#!/usr/bin/python3
"""Kills the editor with SIGKILL at random moments while text is typed or pasted into an
untitled or a named document, then reads the drafts it left as the editor's reader does. Counts
the runs whose drafts recover exactly a prefix of what was sent that ends within two seconds of
the kill (nothing sent earlier than that lost), and reports anything else.

    bench/kill_soak.py [RUNS]        (1000 by default; build the bench preset first)

Needs, from Debian: xvfb xdotool xclip python3-xlib. Keys go through the X server's XTEST
extension one at a time, each timed when the server has taken it; the editor runs with no
session bus, so that every launch is an instance of its own.
"""
import os
import random
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display
from Xlib.ext import xtest

HERE = os.path.dirname(os.path.realpath(__file__))
BUILD = os.path.join(HERE, "..", "build", "bench")
EDITOR = os.path.join(BUILD, "scribbet", "scribbet")
DRAFT_TEXTS = os.path.join(BUILD, "bench", "draft_texts")
CHUNK = "pasted line with some words in it\n" * 3
BEFORE = "written before\n"


def start_display():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=[write],
                              stderr=subprocess.DEVNULL)
    os.close(write)
    number = os.read(read, 16).decode().strip()
    os.environ["DISPLAY"] = ":" + number
    return server


def window_of(name):
    for _ in range(400):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[-1]
        time.sleep(0.05)
    return None


def press(x, keysym, modifier=None):
    keycode = x.keysym_to_keycode(keysym)
    modifier_code = x.keysym_to_keycode(modifier) if modifier else None
    if modifier_code:
        xtest.fake_input(x, X.KeyPress, modifier_code)
    xtest.fake_input(x, X.KeyPress, keycode)
    xtest.fake_input(x, X.KeyRelease, keycode)
    if modifier_code:
        xtest.fake_input(x, X.KeyRelease, modifier_code)
    x.sync()
    return time.monotonic()


def one_run(x, work, cache, named, pasting):
    home = os.path.join(work, "home")
    # A cache shared by the runs: fonts are not looked up afresh at every launch.
    environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                       XDG_DATA_HOME=home + "/.local/share", XDG_STATE_HOME=home + "/.local/state",
                       XDG_CACHE_HOME=cache, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
    environment.pop("DBUS_SESSION_BUS_ADDRESS", None)
    document = os.path.join(work, "named.txt")
    with open(document, "w") as file:
        file.write(BEFORE)
    editor = subprocess.Popen([EDITOR] + ([document] if named else []), env=environment,
                              stderr=subprocess.DEVNULL)
    window = window_of("^named.txt" if named else "^Untitled")
    if not window:
        editor.kill()
        editor.wait()
        return "no window"
    subprocess.run(["xdotool", "mousemove", "--window", window, "40", "60",
                    "windowfocus", "--sync", window], stderr=subprocess.DEVNULL)
    if named:
        press(x, XK.XK_End, XK.XK_Control_L)
    sent = []  # (time the server took it, text it adds)
    kill_at = time.monotonic() + random.uniform(0.1, 4.0)
    letters = "abcdefghijklmnopqrstuvwxyz "
    while time.monotonic() < kill_at:
        if pasting:
            sent.append((press(x, XK.XK_v, XK.XK_Control_L), CHUNK))
            time.sleep(random.uniform(0.1, 0.3))
        else:
            letter = letters[len(sent) % len(letters)]
            keysym = XK.XK_space if letter == " " else XK.string_to_keysym(letter)
            sent.append((press(x, keysym), letter))
            time.sleep(random.uniform(0.012, 0.04))
    killed = time.monotonic()
    editor.send_signal(signal.SIGKILL)
    editor.wait()
    lines = subprocess.run([DRAFT_TEXTS, home + "/.local/state/scribbet/drafts"],
                           capture_output=True, text=True).stdout.split("\n")
    drafts = [line.split(" ") for line in lines if line]
    if len(drafts) > 1 or any(draft[0] == "unreadable" for draft in drafts):
        return "more than one draft, or one unreadable"
    recovered = bytes.fromhex(drafts[0][2]).decode() if drafts else (BEFORE if named else "")
    if named:
        if not recovered.startswith(BEFORE):
            return "the file's text lost"
        recovered = recovered[len(BEFORE):]
    typed = "".join(text for _, text in sent)
    if not typed.startswith(recovered):
        return "not a prefix of what was sent"
    kept = 0
    while kept < len(sent) and len("".join(t for _, t in sent[:kept + 1])) <= len(recovered):
        kept += 1
    lost = killed - sent[kept][0] if kept < len(sent) else 0.0
    detail = f"{kept} of {len(sent)} kept, the first lost sent {lost:.2f} s before the kill"
    if lost > 2.0:
        return "lost more than 2 s", detail
    if drafts and drafts[0][0] == "cut":
        return "prefix within 2 s (draft cut short)", detail
    return "prefix within 2 s", detail


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    server = start_display()
    x = display.Display()
    clipboard = subprocess.Popen(["xclip", "-selection", "clipboard", "-loops", "0"],
                                 stdin=subprocess.PIPE)
    clipboard.communicate(CHUNK.encode())
    outcomes = {}
    cache = tempfile.TemporaryDirectory()
    try:
        for run in range(1, runs + 1):
            named = run % 2 == 0
            pasting = run % 4 in (1, 2)
            with tempfile.TemporaryDirectory() as work:
                outcome = one_run(x, work, cache.name, named, pasting)
            outcome, detail = outcome if isinstance(outcome, tuple) else (outcome, "")
            kind = ("named" if named else "untitled") + (", pasted" if pasting else ", typed")
            outcomes.setdefault(outcome, {}).setdefault(kind, 0)
            outcomes[outcome][kind] += 1
            print(f"{run:5d} {kind:17s} {outcome}; {detail}", flush=True)
    finally:
        server.terminate()
    print(f"\nkills: {runs}")
    for outcome, kinds in sorted(outcomes.items()):
        detail = ", ".join(f"{kind} {count}" for kind, count in sorted(kinds.items()))
        print(f"{sum(kinds.values()):5d}  {outcome}  ({detail})")


main()
