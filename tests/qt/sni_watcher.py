#!/usr/bin/env python3
"""A private session bus with a StatusNotifierWatcher (a host registered), and a DBusMenu
reader, for the tray tests.

  sni_watcher.py bus DIR              runs a dbus-daemon of its own in DIR; prints
                                      "bus ADDRESS"; ends it on SIGTERM
  sni_watcher.py watch DIR            the same, and owns org.kde.StatusNotifierWatcher
                                      there; prints "ready", then "item SERVICE" per item
  sni_watcher.py layout SERVICE       the item's tool tip, icon sizes and menu (read with
                                      AboutToShow and GetLayout) as JSON
  sni_watcher.py click SERVICE LABEL  sends "clicked" to the top-level item LABEL
"""
import ctypes
import json
import os
import signal
import subprocess
import sys

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:dir={0}</listen><auth>EXTERNAL</auth>
<servicedir>{0}/services</servicedir>
<policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
"""

# Qt reads the watcher's properties through introspection: they must be listed here.
INTROSPECTION = """<node><interface name="org.kde.StatusNotifierWatcher">
 <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
 <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
 <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
 <property name="ProtocolVersion" type="i" access="read"/>
</interface></node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        service = sender if service.startswith("/") else service  # a path: at the sender
        self.items.append(str(service))
        print("item", service, flush=True)

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(True),
                "ProtocolVersion": dbus.Int32(0)}


def serve(folder, with_watcher):
    import dbus.mainloop.glib
    from gi.repository import GLib

    os.makedirs(os.path.join(folder, "services"), exist_ok=True)
    with open(os.path.join(folder, "bus.conf"), "w") as config:
        config.write(BUS_CONFIG.format(folder))
    die_with_parent = lambda: ctypes.CDLL("libc.so.6").prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    daemon = subprocess.Popen(["dbus-daemon", "--config-file=" + config.name, "--nofork",
                               "--print-address=1"], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
    address = daemon.stdout.readline().decode().strip()
    print("bus", address, flush=True)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    if with_watcher:
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        bus = dbus.bus.BusConnection(address)
        name = dbus.service.BusName(WATCHER, bus)
        watcher = Watcher(bus)
        print("ready", flush=True)
    loop.run()
    daemon.terminate()
    daemon.wait()


def menu_of(service):
    bus = dbus.SessionBus()
    item = bus.get_object(service, "/StatusNotifierItem")
    path = item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    return item, dbus.Interface(bus.get_object(service, path), "com.canonical.dbusmenu")


def node(layout):
    ident, props, children = layout
    names = ("label", "type", "toggle-type", "toggle-state", "children-display")
    fields = {name: props[name] for name in names if name in props}
    return dict(fields, id=int(ident), children=[node(child) for child in children])


def read_layout(menu):
    menu.AboutToShow(0)  # as a host does before it shows the menu
    return node(menu.GetLayout(0, -1, dbus.Array([], signature="s"))[1])


def layout(service):
    item, menu = menu_of(service)
    props = item.GetAll(ITEM, dbus_interface=dbus.PROPERTIES_IFACE)
    print(json.dumps({"toolTip": props["ToolTip"][2],
                      "iconSizes": sorted({int(w) for (w, h, data) in props["IconPixmap"]}),
                      "menu": read_layout(menu)}))


def click(service, label):
    _, menu = menu_of(service)
    for child in read_layout(menu)["children"]:
        if child.get("label") == label:
            menu.Event(child["id"], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                       signature="isvu")
            return
    sys.exit("no item " + label)


if __name__ == "__main__":
    args = sys.argv[1:]
    if len(args) == 2 and args[0] in ("bus", "watch"):
        serve(args[1], args[0] == "watch")
    elif len(args) == 2 and args[0] == "layout":
        layout(args[1])
    elif len(args) == 3 and args[0] == "click":
        click(args[1], args[2])
    else:
        sys.exit(__doc__)
