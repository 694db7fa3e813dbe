#!/usr/bin/python3
# Types into a headless mutter and takes pictures of its screen, through its
# remote-desktop and screen-cast D-Bus interfaces: a Wayland compositor takes
# no keys from xdotool and shows no client's pixels to another. mutter ends
# these sessions when the client that made them leaves the bus, so this stays
# up and reads one command a line from standard input, answering "ok" (or
# "error: ...") on standard output once it is done:
#   press NAME / release NAME   one key, by X keysym name (Super_L, Tab, a)
#   tap NAME...                 each key pressed and released, in turn
#   chord NAME...               press all in order, release in reverse order
#   move DX DY                  the pointer, by that many pixels
#   shot FILE                   the whole monitor as a PNG file (needs a
#                               running PipeWire with its session manager)
import subprocess
import sys

import gi

gi.require_version("Gio", "2.0")
gi.require_version("GLib", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

SERVICE = "org.gnome.Mutter.RemoteDesktop"

# The keysyms the tests use; letters and digits are their own code points.
KEYSYMS = {
    "Escape": 0xFF1B,
    "Tab": 0xFF09,
    "Return": 0xFF0D,
    "space": 0x20,
    "Shift_L": 0xFFE1,
    "Control_L": 0xFFE3,
    "Alt_L": 0xFFE9,
    "Super_L": 0xFFEB,
    "Menu": 0xFF67,
    "Print": 0xFF61,
    "F2": 0xFFBF,
    "F4": 0xFFC1,
}


def keysym(name):
    if name in KEYSYMS:
        return KEYSYMS[name]
    if len(name) == 1 and name.isascii() and name.isprintable():
        return ord(name)
    raise ValueError("unknown key " + name)


def call(bus, path, interface, method, parameters=None, reply=None):
    return bus.call_sync(SERVICE, path, interface, method, parameters,
                         GLib.VariantType.new(reply) if reply else None,
                         Gio.DBusCallFlags.NONE, 10000, None)


class ScreenCast:
    """One screen-cast stream of the primary monitor, started on first use."""

    def __init__(self, bus):
        self.bus = bus
        self.node = None

    def start(self):
        service = "org.gnome.Mutter.ScreenCast"
        (session,) = self.bus.call_sync(service, "/org/gnome/Mutter/ScreenCast", service, "CreateSession",
                                        GLib.Variant("(a{sv})", ({},)), GLib.VariantType.new("(o)"),
                                        Gio.DBusCallFlags.NONE, 10000, None).unpack()
        (stream,) = self.bus.call_sync(service, session, service + ".Session", "RecordMonitor",
                                       GLib.Variant("(sa{sv})", ("", {"cursor-mode": GLib.Variant("u", 0)})),
                                       GLib.VariantType.new("(o)"), Gio.DBusCallFlags.NONE, 10000, None).unpack()
        loop = GLib.MainLoop()

        def added(connection, sender, path, interface, signal, parameters):
            (self.node,) = parameters.unpack()
            loop.quit()

        self.bus.signal_subscribe(service, service + ".Stream", "PipeWireStreamAdded", stream, None,
                                  Gio.DBusSignalFlags.NONE, added)
        self.bus.call_sync(service, session, service + ".Session", "Start", None, None,
                           Gio.DBusCallFlags.NONE, 10000, None)
        GLib.timeout_add_seconds(30, loop.quit)
        loop.run()
        if self.node is None:
            raise ValueError("the screen cast never started")

    def shot(self, path):
        if self.node is None:
            self.start()
        result = subprocess.run(["gst-launch-1.0", "-q", "pipewiresrc", "path=%d" % self.node, "num-buffers=1",
                                 "!", "videoconvert", "!", "pngenc", "!", "filesink", "location=" + path],
                                capture_output=True, text=True, timeout=60)
        if result.returncode != 0:
            raise ValueError("gst-launch-1.0 failed: " + result.stderr.strip())


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    (session,) = call(bus, "/org/gnome/Mutter/RemoteDesktop", SERVICE, "CreateSession", None, "(o)").unpack()
    interface = SERVICE + ".Session"
    call(bus, session, interface, "Start")

    def key(name, pressed):
        call(bus, session, interface, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym(name), pressed)))

    cast = ScreenCast(bus)
    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        try:
            command, names = words[0], words[1:]
            if command == "press":
                key(names[0], True)
            elif command == "release":
                key(names[0], False)
            elif command == "tap":
                for name in names:
                    key(name, True)
                    key(name, False)
            elif command == "chord":
                for name in names:
                    key(name, True)
                for name in reversed(names):
                    key(name, False)
            elif command == "move":
                call(bus, session, interface, "NotifyPointerMotionRelative",
                     GLib.Variant("(dd)", (float(names[0]), float(names[1]))))
            elif command == "shot":
                cast.shot(names[0])
            else:
                raise ValueError("unknown command " + command)
            print("ok", flush=True)
        except (ValueError, IndexError, GLib.Error, subprocess.TimeoutExpired) as error:
            print("error: " + str(error), flush=True)
    call(bus, session, interface, "Stop")


if __name__ == "__main__":
    main()
