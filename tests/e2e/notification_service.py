#!/usr/bin/python3
# A stand-in for the desktop's notification service (org.freedesktop.Notifications) on the
# session bus: it writes each notification it is sent to the file named on its command line,
# a line of "summary|body|actions", and exits when that file is removed.
import os
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node><interface name="org.freedesktop.Notifications">
  <method name="Notify">
    <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
    <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
    <arg type="u" direction="out"/>
  </method>
  <method name="GetCapabilities"><arg type="as" direction="out"/></method>
  <signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
</interface></node>"""

log_path = sys.argv[1]
loop = GLib.MainLoop()


def called(connection, sender, path, interface, method, parameters, invocation):
    if method == "Notify":
        _, _, _, summary, body, actions, _, _ = parameters.unpack()
        with open(log_path, "a") as log:
            log.write(f"{summary}|{body}|{' '.join(actions)}\n")
        invocation.return_value(GLib.Variant("(u)", (1,)))
    else:
        invocation.return_value(GLib.Variant("(as)", (["actions", "body"],)))


def register(connection, name):
    node = Gio.DBusNodeInfo.new_for_xml(INTERFACE)
    connection.register_object("/org/freedesktop/Notifications", node.interfaces[0], called)


def stop_once_log_is_gone():
    if not os.path.exists(log_path):
        loop.quit()
    return True


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.Notifications",
                 Gio.BusNameOwnerFlags.NONE, register, None, lambda *_: loop.quit())
GLib.timeout_add(200, stop_once_log_is_gone)
loop.run()
