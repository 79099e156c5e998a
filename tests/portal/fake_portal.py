#!/usr/bin/env python3
"""The desktop portal's remote desktop and screen cast interfaces; each call is logged to
the --log file as a JSON line ({"method": ..., "args": [...]})."""
import argparse
import json
import sys

import dbus
import dbus.lowlevel
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

BUS_NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
REMOTE = "org.freedesktop.portal.RemoteDesktop"
CAST = "org.freedesktop.portal.ScreenCast"
# Two monitors: A 1280x800 at the origin, B 640x600 to its right and 100 lower.
STREAMS = [(61, {"position": (0, 0), "size": (1280, 800)}),
           (62, {"position": (1280, 100), "size": (640, 600)})]
NOTIFY = {"NotifyPointerMotion": "oa{sv}dd", "NotifyPointerMotionAbsolute": "oa{sv}udd",
          "NotifyPointerButton": "oa{sv}iu", "NotifyPointerAxis": "oa{sv}dd",
          "NotifyPointerAxisDiscrete": "oa{sv}ui", "NotifyKeyboardKeycode": "oa{sv}iu",
          "NotifyKeyboardKeysym": "oa{sv}iu"}


def plain(value):
    """D-Bus values as JSON (a dbus.Boolean is an int: it goes first)."""
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, dict):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [plain(v) for v in value]
    return value


class Portal(dbus.service.Object):
    def __init__(self, bus, args):
        super().__init__(bus, PATH)
        self.bus = bus
        self.args = args
        self.log = open(args.log, "a", buffering=1)

    def record(self, method, arguments):
        self.log.write(json.dumps({"method": method, "args": plain(arguments)}) + "\n")

    def request(self, sender, options, response, results):
        """The request object for this call; its Response follows once the call returned."""
        token = str(options.get("handle_token", "t"))
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)

        def answer():
            signal = dbus.lowlevel.SignalMessage(path, "org.freedesktop.portal.Request", "Response")
            signal.append(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"),
                          signature="ua{sv}")
            self.bus.send_message(signal)
            return False
        GLib.timeout_add(20, answer)
        return dbus.ObjectPath(path)

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if name == "version" and (interface == REMOTE or (interface == CAST and self.args.screencast)):
            return dbus.UInt32(self.args.version if interface == REMOTE else 4)
        if name == "AvailableDeviceTypes" and interface == REMOTE:
            return dbus.UInt32(7)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(REMOTE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.record("CreateSession", [options])
        path = "%s/session/%s/%s" % (PATH, sender[1:].replace(".", "_"), options["session_handle_token"])
        return self.request(sender, options, 0, {"session_handle": dbus.String(path)})

    @dbus.service.method(REMOTE, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def SelectDevices(self, session, options, sender=None):
        self.record("SelectDevices", [session, options])
        return self.request(sender, options, 0, {})

    @dbus.service.method(CAST, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def SelectSources(self, session, options, sender=None):
        self.record("SelectSources", [session, options])
        return self.request(sender, options, 0, {})

    @dbus.service.method(REMOTE, in_signature="osa{sv}", out_signature="o", sender_keyword="sender")
    def Start(self, session, parent, options, sender=None):
        self.record("Start", [session, parent, options])
        if self.args.answer != "allow":
            return self.request(sender, options, 1 if self.args.answer == "deny" else 2, {})
        results = {"devices": dbus.UInt32(3)}
        if self.args.screencast:
            results["streams"] = dbus.Array(
                [dbus.Struct((dbus.UInt32(node), dbus.Dictionary(
                    {k: dbus.Struct(v, signature="ii") for k, v in props.items()}, signature="sv")))
                 for node, props in STREAMS], signature="(ua{sv})")
        if self.args.version >= 2 and self.args.token:
            results["restore_token"] = dbus.String(self.args.token)
        return self.request(sender, options, 0, results)

    def calls(self, bus, message):
        """The Notify calls, logged when their arguments are what the interface takes, and the
        sessions' Close."""
        member = message.get_member()
        if message.get_interface() == "org.freedesktop.portal.Session" and member == "Close":
            self.record("Session.Close", [])
            bus.send_message(dbus.lowlevel.MethodReturnMessage(message))
            return dbus.lowlevel.HANDLER_RESULT_HANDLED
        if message.get_interface() != REMOTE or member not in NOTIFY:
            return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED
        if message.get_signature() == NOTIFY[member]:
            self.record(member, message.get_args_list())
            reply = dbus.lowlevel.MethodReturnMessage(message)
        else:
            reply = dbus.lowlevel.ErrorMessage(message, "org.freedesktop.DBus.Error.InvalidArgs",
                                               message.get_signature())
        bus.send_message(reply)
        return dbus.lowlevel.HANDLER_RESULT_HANDLED

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--answer", default="allow", choices=["allow", "deny", "fail"])
    parser.add_argument("--version", type=int, default=1)
    parser.add_argument("--no-screencast", dest="screencast", action="store_false")
    parser.add_argument("--token", default="")
    args = parser.parse_args()
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, args)
    bus.add_message_filter(portal.calls)
    name = dbus.service.BusName(BUS_NAME, bus)  # kept: the name goes with this object
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name, portal


if __name__ == "__main__":
    sys.exit(main())
