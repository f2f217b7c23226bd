#!/usr/bin/python3
"""Hands the running editor one request over the session bus naming thousands of files, as a
script or a hostile program could, and measures what that costs: how long the editor takes to
answer the bus meanwhile, how many windows and messages it puts up, its peak memory, and when it
is done.

    bench/open_flood.py [EDITOR]     (build/bench/scribbet/scribbet by default)

Needs, from Debian: xvfb xdotool dbus-daemon python3-gi. Three floods, each in a fresh editor:
10,000 names of missing files, 10,000 http: URIs, and 10,000 of each mixed. While one is handled
the bus is asked every 10 ms for a plain activation, which the window's thread must answer.
"""
import os
import subprocess
import sys
import tempfile
import threading
import time

from gi.repository import Gio, GLib

HERE = os.path.dirname(os.path.realpath(__file__))
EDITOR = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "bench",
                                                            "scribbet", "scribbet")
NAME = "org.scribbet.Scribbet"
PATH = "/org/scribbet/Scribbet"
COUNT = 10000


def start(command):
    read, write = os.pipe()
    process = subprocess.Popen(command(write), pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    return process, os.read(read, 4096).decode().strip()


def windows(pattern):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                           capture_output=True, text=True).stdout.split()
    return len(found)


def peak_kilobytes(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def call(bus, method, arguments, timeout_ms):
    return bus.call_sync(NAME, PATH, "org.freedesktop.Application", method, arguments, None,
                         Gio.DBusCallFlags.NONE, timeout_ms, None)


def one_flood(label, uris, work):
    home = tempfile.mkdtemp(dir=work)
    environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
                       XDG_DATA_HOME=home + "/data", XDG_STATE_HOME=home + "/state",
                       QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
    editor = subprocess.Popen([EDITOR], env=environment, stderr=subprocess.DEVNULL)
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    for _ in range(400):
        if windows("^Untitled") or editor.poll() is not None:
            break
        time.sleep(0.05)

    answered = threading.Event()
    started = time.monotonic()

    def flood():
        call(bus, "Open", GLib.Variant("(asa{sv})", (uris, {})), 600000)
        answered.set()

    threading.Thread(target=flood, daemon=True).start()
    slowest, probes, quiet_since, last_count = 0.0, 0, None, -1
    while time.monotonic() - started < 300:
        before = time.monotonic()
        call(bus, "ActivateAction", GLib.Variant("(sava{sv})", ("probe", [], {})), 60000)
        slowest = max(slowest, time.monotonic() - before)
        probes += 1
        time.sleep(0.01)
        if probes % 20 == 0:
            count = windows(r"\.txt")
            quiet_since = quiet_since if count == last_count else time.monotonic()
            last_count = count
            if answered.is_set() and time.monotonic() - quiet_since > 2:
                break
    done = quiet_since - started
    documents = windows(r"\.txt")
    messages = windows("^Scribbet$")
    peak = peak_kilobytes(editor.pid)
    editor.kill()
    editor.wait()
    print(f"{label:28} {documents:5} windows {messages:3} messages  bus answered within "
          f"{slowest * 1000:6.1f} ms ({probes} calls)  done after {done:5.1f} s  "
          f"peak {peak / 1024:6.1f} MiB", flush=True)


def main():
    server, number = start(lambda fd: ["Xvfb", "-displayfd", str(fd), "-screen", "0",
                                       "1280x800x24", "-nolisten", "tcp"])
    os.environ["DISPLAY"] = ":" + number
    bus, address = start(lambda fd: ["dbus-daemon", "--session", "--nofork",
                                     f"--print-address={fd}"])
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
    try:
        with tempfile.TemporaryDirectory() as work:
            missing = [f"file://{work}/missing-{n}.txt" for n in range(COUNT)]
            web = [f"http://example.org/{n}.txt" for n in range(COUNT)]
            one_flood("10,000 missing files", missing, work)
            one_flood("10,000 http: URIs", web, work)
            one_flood("both, interleaved", [u for pair in zip(web, missing) for u in pair], work)
    finally:
        bus.kill()
        server.kill()


main()
