#include "tests/support/desktop/bus_client.h"

namespace hovra::testing {

BusClient::BusClient(const std::string& address) {
  auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
  connection_ =
      g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
}

BusClient::~BusClient() {
  if (connection_) {
    g_dbus_connection_close_sync(connection_, nullptr, nullptr);
    g_object_unref(connection_);
  }
}

bool BusClient::HasOwner(const std::string& name) {
  std::optional<std::string> reply =
      Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
           g_variant_new("(s)", name.c_str()));
  return reply && *reply == "(true,)";
}

std::optional<std::string> BusClient::Call(const std::string& destination, const std::string& path,
                                           const std::string& interface, const std::string& method,
                                           GVariant* args) {
  if (!connection_) {
    if (args) g_variant_unref(g_variant_ref_sink(args));
    return std::nullopt;
  }
  GVariant* reply = g_dbus_connection_call_sync(connection_, destination.c_str(), path.c_str(),
                                                interface.c_str(), method.c_str(), args, nullptr,
                                                G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
  if (!reply) return std::nullopt;
  gchar* text = g_variant_print(reply, FALSE);
  std::string result = text;
  g_free(text);
  g_variant_unref(reply);
  return result;
}

}  // namespace hovra::testing
