#include "platform/linux/dbus/bus.h"

namespace hovra::platform::linux_desktop {
namespace {

constexpr std::chrono::milliseconds kBusDaemonTimeout{1000};  // the bus itself, never a peer
constexpr BusObject kBusDaemon{"org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus"};

int Milliseconds(std::chrono::milliseconds timeout) { return static_cast<int>(timeout.count()); }

struct AsyncCall {
  std::string what;
};

void OnAsyncReply(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<AsyncCall> call(static_cast<AsyncCall*>(data));
  GError* error = nullptr;
  Variant reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error));
  if (error) {
    Log("%s: %s", call->what.c_str(), error->message);
    g_error_free(error);
  }
}

}  // namespace

Bus::~Bus() {
  if (connection_) g_object_unref(connection_);
}

GRef<GDBusConnection> Bus::Connection() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (connection_ && g_dbus_connection_is_closed(connection_)) {
    g_object_unref(connection_);
    connection_ = nullptr;
  }
  if (!connection_) {
    const char* which = type_ == G_BUS_TYPE_SYSTEM ? "system" : "session";
    GError* error = nullptr;
    gchar* address = g_dbus_address_get_for_bus_sync(type_, nullptr, &error);
    if (address) {
      auto flags =
          static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                            G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
      connection_ =
          g_dbus_connection_new_for_address_sync(address, flags, nullptr, nullptr, &error);
      g_free(address);
    }
    if (!connection_) {
      if (unreachable_.First())
        Log("the D-Bus %s bus cannot be reached: %s", which, error->message);
      g_error_free(error);
      return nullptr;
    }
    unreachable_.Rearm();
  }
  return GRef<GDBusConnection>(G_DBUS_CONNECTION(g_object_ref(connection_)));
}

Variant CallSync(GDBusConnection* connection, const BusObject& to, const char* method,
                 GVariant* args, const GVariantType* replyType, std::chrono::milliseconds timeout,
                 std::string* error) {
  GError* failure = nullptr;
  Variant reply(g_dbus_connection_call_sync(connection, to.name, to.path, to.interface, method,
                                            args, replyType, G_DBUS_CALL_FLAGS_NONE,
                                            Milliseconds(timeout), nullptr, &failure));
  if (failure) {
    if (error) *error = failure->message;
    g_error_free(failure);
  }
  return reply;
}

void CallAsync(GDBusConnection* connection, const BusObject& to, const char* method, GVariant* args,
               std::string what) {
  g_dbus_connection_call(connection, to.name, to.path, to.interface, method, args, nullptr,
                         G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &OnAsyncReply,
                         new AsyncCall{std::move(what)});
}

void Send(GDBusConnection* connection, const BusObject& to, const char* method, GVariant* args) {
  GDBusMessage* message = g_dbus_message_new_method_call(to.name, to.path, to.interface, method);
  if (args) g_dbus_message_set_body(message, args);
  g_dbus_message_set_flags(message, G_DBUS_MESSAGE_FLAGS_NO_REPLY_EXPECTED);
  GError* error = nullptr;
  if (!g_dbus_connection_send_message(connection, message, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr,
                                      &error)) {
    Log("%s.%s: %s", to.interface, method, error->message);
    g_error_free(error);
  }
  g_object_unref(message);
}

bool NameHasOwner(GDBusConnection* connection, const char* name) {
  Variant reply = CallSync(connection, kBusDaemon, "NameHasOwner", g_variant_new("(s)", name),
                           G_VARIANT_TYPE("(b)"), kBusDaemonTimeout);
  gboolean has = FALSE;
  if (reply) g_variant_get(reply.get(), "(b)", &has);
  return has;
}

bool NameIsActivatable(GDBusConnection* connection, const char* name) {
  Variant reply = CallSync(connection, kBusDaemon, "ListActivatableNames", nullptr,
                           G_VARIANT_TYPE("(as)"), kBusDaemonTimeout);
  if (!reply) return false;
  GVariantIter* iter = nullptr;
  const gchar* activatable = nullptr;
  bool found = false;
  g_variant_get(reply.get(), "(as)", &iter);
  while (!found && g_variant_iter_next(iter, "&s", &activatable)) {
    found = g_str_equal(activatable, name);
  }
  g_variant_iter_free(iter);
  return found;
}

std::string NameOwner(GDBusConnection* connection, const char* name) {
  Variant reply = CallSync(connection, kBusDaemon, "GetNameOwner", g_variant_new("(s)", name),
                           G_VARIANT_TYPE("(s)"), kBusDaemonTimeout);
  const gchar* owner = nullptr;
  if (reply) g_variant_get(reply.get(), "(&s)", &owner);
  return owner ? owner : "";
}

std::vector<std::string> ListNames(GDBusConnection* connection) {
  std::vector<std::string> names;
  Variant reply = CallSync(connection, kBusDaemon, "ListNames", nullptr, G_VARIANT_TYPE("(as)"),
                           kBusDaemonTimeout);
  if (!reply) return names;
  GVariantIter* iter = nullptr;
  const gchar* name = nullptr;
  g_variant_get(reply.get(), "(as)", &iter);
  while (g_variant_iter_loop(iter, "&s", &name)) names.emplace_back(name);
  g_variant_iter_free(iter);
  return names;
}

Variant GetProperty(GDBusConnection* connection, const BusObject& object, const char* property,
                    std::chrono::milliseconds timeout) {
  BusObject properties{object.name, object.path, "org.freedesktop.DBus.Properties"};
  Variant reply =
      CallSync(connection, properties, "Get", g_variant_new("(ss)", object.interface, property),
               G_VARIANT_TYPE("(v)"), timeout);
  if (!reply) return nullptr;
  GVariant* value = nullptr;
  g_variant_get(reply.get(), "(v)", &value);
  return Variant(value);
}

bool SetProperty(GDBusConnection* connection, const BusObject& object, const char* property,
                 GVariant* value, std::chrono::milliseconds timeout) {
  BusObject properties{object.name, object.path, "org.freedesktop.DBus.Properties"};
  Variant reply =
      CallSync(connection, properties, "Set",
               g_variant_new("(ssv)", object.interface, property, value), nullptr, timeout);
  return reply != nullptr;
}

}  // namespace hovra::platform::linux_desktop
