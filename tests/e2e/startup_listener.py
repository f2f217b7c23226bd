#!/usr/bin/python3
"""Prints each startup-notification message sent on the X server (_NET_STARTUP_INFO client
messages to the root window), as a launcher that shows a busy cursor reads them."""
from Xlib import X, display

x = display.Display()
x.screen().root.change_attributes(event_mask=X.PropertyChangeMask)
first = x.intern_atom("_NET_STARTUP_INFO_BEGIN")
more = x.intern_atom("_NET_STARTUP_INFO")
x.sync()
print("listening", flush=True)
message = b""
while True:
    event = x.next_event()
    if event.type != X.ClientMessage or event.client_type not in (first, more):
        continue
    if event.client_type == first:
        message = b""
    message += bytes(event.data[1])
    if b"\0" in message:
        print(message.split(b"\0")[0].decode(), flush=True)
        message = b""
