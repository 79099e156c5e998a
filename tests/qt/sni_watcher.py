#!/usr/bin/env python3
"""A StatusNotifierWatcher with a host registered, and a DBusMenu reader, for tray tests.

  sni_watcher.py watch                 owns org.kde.StatusNotifierWatcher on the session
                                       bus; prints "ready", then "item SERVICE" for each
                                       item that registers
  sni_watcher.py layout SERVICE        prints the item's tool tip, icon sizes and menu
                                       (read with AboutToShow and GetLayout) as JSON
  sni_watcher.py click SERVICE LABEL   sends "clicked" to the top-level item LABEL
"""
import json
import sys

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"

# Qt reads the watcher's properties through introspection: they must be listed here.
INTROSPECTION = """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/>
   <arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
 <interface name="org.freedesktop.DBus.Introspectable">
  <method name="Introspect"><arg type="s" direction="out"/></method>
 </interface>
</node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        if service.startswith("/"):  # an object path: the item lives at the sender
            service = sender
        self.items.append(str(service))
        print("item", service, flush=True)
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }


def watch():
    import dbus.mainloop.glib
    from gi.repository import GLib

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(WATCHER, bus)
    watcher = Watcher(bus)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name, watcher


def menu_of(service):
    bus = dbus.SessionBus()
    item = bus.get_object(service, "/StatusNotifierItem")
    path = item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    return item, dbus.Interface(bus.get_object(service, path), MENU)


def node(layout):
    ident, props, children = layout
    return {
        "id": int(ident),
        "label": str(props.get("label", "")),
        "type": str(props.get("type", "standard")),
        "toggle-type": str(props.get("toggle-type", "")),
        "toggle-state": int(props.get("toggle-state", -1)),
        "children-display": str(props.get("children-display", "")),
        "children": [node(child) for child in children],
    }


def read_layout(menu):
    menu.AboutToShow(0)  # as a host does before it shows the menu
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
    return node(layout)


def layout(service):
    item, menu = menu_of(service)
    props = item.GetAll(ITEM, dbus_interface=dbus.PROPERTIES_IFACE)
    tool_tip = props.get("ToolTip", ("", [], "", ""))
    print(json.dumps({
        "toolTip": str(tool_tip[2]),
        "iconSizes": sorted({int(w) for (w, h, data) in props.get("IconPixmap", [])}),
        "menu": read_layout(menu),
    }))


def click(service, label):
    _, menu = menu_of(service)
    for child in read_layout(menu)["children"]:
        if child["label"] == label:
            menu.Event(child["id"], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                       signature="isvu")
            return
    sys.exit("no item " + label)


if __name__ == "__main__":
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "watch":
        watch()
    elif command == "layout" and len(sys.argv) == 3:
        layout(sys.argv[2])
    elif command == "click" and len(sys.argv) == 4:
        click(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
