#!/usr/bin/env python3
"""A StatusNotifierWatcher (a host registered) and a DBusMenu reader for the tray tests,
on the session bus of DBUS_SESSION_BUS_ADDRESS.

  sni_watcher.py watch                owns org.kde.StatusNotifierWatcher; prints "ready",
                                      then "item SERVICE" per item; ends on SIGTERM
  sni_watcher.py layout SERVICE       the item's tool tip, icon sizes and menu (read with
                                      AboutToShow and GetLayout) as JSON
  sni_watcher.py click SERVICE LABEL  sends "clicked" to the top-level item LABEL
"""
import json
import signal
import sys

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"

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


def watch():
    import dbus.mainloop.glib
    from gi.repository import GLib

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(WATCHER, bus)
    watcher = Watcher(bus)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    print("ready", flush=True)
    loop.run()


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
    if args == ["watch"]:
        watch()
    elif len(args) == 2 and args[0] == "layout":
        layout(args[1])
    elif len(args) == 3 and args[0] == "click":
        click(args[1], args[2])
    else:
        sys.exit(__doc__)
