"""standin.py SOCKET LOG [grant|refuse-lid|silent]: Manager.Inhibit on a dbus-daemon of its own at SOCKET;
prints "ready", notes in LOG each call and each inhibitor released (all copies of its descriptor closed).
refuse-lid refuses a `what` with handle-lid-switch, silent never answers."""
import os
import subprocess
import sys

import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SOCKET, MODE = sys.argv[1], (sys.argv[3:] + [""])[0]
LOG = open(sys.argv[2], "a", buffering=1, encoding="utf-8")  # pylint: disable=consider-using-with


def note(line):  # one write a line, appended among the simulated BMC's
    LOG.write("logind " + line + "\n")


def at_end(stream, then):  # calls `then` once the descriptor `stream` reads its end
    GLib.io_add_watch(stream, GLib.IO_IN | GLib.IO_HUP, lambda *_: os.read(stream, 64) != b"" or then())


class Manager(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="ssss", out_signature="h",
                         async_callbacks=("answer", "fail"))
    def Inhibit(self, what, who, why, mode, answer, fail):  # pylint: disable=invalid-name
        note("inhibit " + "\t".join([what, who, why, mode]))
        if MODE == "refuse-lid" and "handle-lid-switch" in what.split(":"):
            fail(dbus.DBusException("refused", name="org.freedesktop.DBus.Error.AccessDenied"))
        elif MODE != "silent":
            held, given = os.pipe()
            at_end(held, lambda: note("released") or os.close(held))
            answer(dbus.types.UnixFd(given))
            os.close(given)


daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--address=unix:path=" + SOCKET],
                          stderr=subprocess.DEVNULL)
try:  # until the end of its standard input
    while not os.path.exists(SOCKET) and daemon.poll() is None:
        GLib.usleep(20000)
    bus = dbus.bus.BusConnection("unix:path=" + SOCKET, mainloop=DBusGMainLoop())
    Manager(dbus.service.BusName("org.freedesktop.login1", bus), "/org/freedesktop/login1")
    loop = GLib.MainLoop()
    at_end(sys.stdin.fileno(), loop.quit)
    print("ready", flush=True)
    loop.run()
finally:
    daemon.terminate()
    daemon.wait()
