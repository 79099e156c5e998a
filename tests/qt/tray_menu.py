#!/usr/bin/env python3
"""A DBusMenu reader for the tray tests, on the session bus of DBUS_SESSION_BUS_ADDRESS.

  tray_menu.py layout SERVICE       the item's tool tip, icon sizes and menu as JSON
  tray_menu.py click SERVICE LABEL  sends "clicked" to the top-level item LABEL
"""
import json
import re
import sys

import dbus

ITEM = "org.kde.StatusNotifierItem"


def menu_of(service):
    bus = dbus.SessionBus()
    item = bus.get_object(service, "/StatusNotifierItem")
    path = item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    return item, dbus.Interface(bus.get_object(service, path), "com.canonical.dbusmenu")


def node(layout):
    """An item with the line a host shows for it ("_x" marks a mnemonic), and its children."""
    ident, props, children = layout
    line = re.sub("_(.)", r"\1", str(props.get("label", "")))
    if props.get("type") == "separator":
        line = "-"
    elif props.get("children-display") == "submenu":
        line += " >"
    elif props.get("toggle-type") == "checkmark":
        line = ("[x] " if props.get("toggle-state") == 1 else "[ ] ") + line
    return {"id": int(ident), "label": str(props.get("label", "")), "line": line,
            "children": [node(child) for child in children]}


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
    if len(args) == 2 and args[0] == "layout":
        layout(args[1])
    elif len(args) == 3 and args[0] == "click":
        click(args[1], args[2])
    else:
        sys.exit(__doc__)
