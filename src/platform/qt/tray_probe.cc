// GIO and xcb only; no Qt header here (GIO's "signals" would clash with Qt's keywords).
#include "platform/qt/tray_probe.h"

#include <gio/gio.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace hovra::platform::qt {
namespace {

constexpr int kBusCallTimeoutMs = 1000;  // a watcher that does not answer counts as none

struct XcbDisconnect {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

XcbConnection Connect(const std::string& display, int& screen) {
  XcbConnection c(xcb_connect(display.c_str(), &screen));
  if (c && xcb_connection_has_error(c.get()) != 0) c.reset();
  return c;
}

}  // namespace

bool StatusNotifierHostRegistered(const std::string& sessionBus) {
  if (sessionBus.empty()) return false;
  GError* error = nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      sessionBus.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (bus == nullptr) {
    g_clear_error(&error);
    return false;
  }
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
      "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", "org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered"),
      G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kBusCallTimeoutMs, nullptr, &error);
  bool registered = false;
  if (reply != nullptr) {
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN)) {
      registered = g_variant_get_boolean(value) != FALSE;
    }
    g_variant_unref(value);
    g_variant_unref(reply);
  }
  g_clear_error(&error);
  g_dbus_connection_close_sync(bus, nullptr, nullptr);
  g_object_unref(bus);
  return registered;
}

bool XEmbedTrayPresent(const std::string& x11Display) {
  if (x11Display.empty()) return false;
  int screen = 0;
  XcbConnection c = Connect(x11Display, screen);
  if (!c) return false;
  std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      c.get(), xcb_intern_atom(c.get(), 1, static_cast<uint16_t>(name.size()), name.c_str()),
      nullptr);
  bool present = false;
  if (atom != nullptr && atom->atom != XCB_ATOM_NONE) {
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        c.get(), xcb_get_selection_owner(c.get(), atom->atom), nullptr);
    present = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
  }
  std::free(atom);
  return present;
}

bool X11DisplayReachable(const std::string& x11Display) {
  int screen = 0;
  return !x11Display.empty() && Connect(x11Display, screen) != nullptr;
}

bool TrayHostPresent(const std::string& sessionBus, const std::string& x11Display) {
  return StatusNotifierHostRegistered(sessionBus) || XEmbedTrayPresent(x11Display);
}

}  // namespace hovra::platform::qt
