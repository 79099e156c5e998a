#include "platform/linux/notify/desktop_notifier.h"

#include <memory>

namespace hovra::platform::linux_desktop {
namespace {

constexpr BusObject kNotifications{"org.freedesktop.Notifications",
                                   "/org/freedesktop/Notifications",
                                   "org.freedesktop.Notifications"};
constexpr char kAppName[] = "Hovra Server";
constexpr char kAppIcon[] = "hovra-server";
constexpr char kDefaultAction[] = "default";

std::string WithoutTrailingNewlines(std::string_view text) {
  while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  return std::string(text);
}

}  // namespace

DesktopNotifier::~DesktopNotifier() {
  g_cancellable_cancel(cancel_);  // a reply still due must not reach this object
  g_object_unref(cancel_);
  for (guint id : subscriptions_) g_dbus_connection_signal_unsubscribe(connection_.get(), id);
}

void DesktopNotifier::Start() {
  connection_ = session_.Connection();
  if (!connection_) return;
  for (const char* signal : {"ActionInvoked", "NotificationClosed"}) {
    subscriptions_.push_back(g_dbus_connection_signal_subscribe(
        connection_.get(), nullptr, kNotifications.interface, signal, kNotifications.path, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE, &OnSignal, this, nullptr));
  }
}

bool DesktopNotifier::ServiceReachable() {
  GRef<GDBusConnection> connection = session_.Connection();
  return connection && (NameHasOwner(connection.get(), kNotifications.name) ||
                        NameIsActivatable(connection.get(), kNotifications.name));
}

void DesktopNotifier::ReadCapabilities(GDBusConnection* connection) {
  markup_ = false;
  Variant reply = CallSync(connection, kNotifications, "GetCapabilities", nullptr,
                           G_VARIANT_TYPE("(as)"), std::chrono::milliseconds(1000));
  if (!reply) return;
  GVariantIter* iter = nullptr;
  const gchar* capability = nullptr;
  g_variant_get(reply.get(), "(as)", &iter);
  while (g_variant_iter_loop(iter, "&s", &capability)) {
    if (g_str_equal(capability, "body-markup")) markup_ = true;
    if (g_str_equal(capability, "actions")) actions_ = true;
  }
  g_variant_iter_free(iter);
}

void DesktopNotifier::Show(std::string_view message, std::string_view url) {
  Notice notice{WithoutTrailingNewlines(message), std::string(url)};
  if (sending_) {
    queued_ = std::move(notice);  // sent with the id the pending reply brings
    return;
  }
  Send(std::move(notice));
}

void DesktopNotifier::Send(Notice notice) {
  if (!connection_) return;
  if (!markup_) ReadCapabilities(connection_.get());
  std::string body = notice.message;
  if (*markup_) {
    gchar* escaped = g_markup_escape_text(body.c_str(), -1);
    body = escaped;
    g_free(escaped);
  }
  GVariantBuilder actions;
  g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
  if (!notice.url.empty() && actions_) {
    g_variant_builder_add(&actions, "s", kDefaultAction);
    g_variant_builder_add(&actions, "s", "Open");
  }
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE_VARDICT);
  url_ = std::move(notice.url);
  visible_ = true;
  sending_ = true;
  g_dbus_connection_call(connection_.get(), kNotifications.name, kNotifications.path,
                         kNotifications.interface, "Notify",
                         g_variant_new("(susssasa{sv}i)", kAppName, id_, kAppIcon, kAppName,
                                       body.c_str(), &actions, &hints, kNoticeTimeoutMs),
                         G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, cancel_, &OnNotified,
                         this);
}

void DesktopNotifier::OnNotified(GObject* source, GAsyncResult* result, gpointer self) {
  GError* error = nullptr;
  Variant reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error));
  if (error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
    g_error_free(error);
    return;  // the notifier is gone
  }
  auto* notifier = static_cast<DesktopNotifier*>(self);
  notifier->sending_ = false;
  if (error) {
    static LogOnce failed;
    if (failed.First()) {
      Log("notices cannot be shown by the notification service (%s); they go to standard "
          "output only",
          error->message);
    }
    g_error_free(error);
    notifier->visible_ = false;
  } else {
    g_variant_get(reply.get(), "(u)", &notifier->id_);
  }
  if (notifier->queued_) {
    Notice next = std::move(*notifier->queued_);
    notifier->queued_.reset();
    notifier->Send(std::move(next));
  }
}

void DesktopNotifier::OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                               const gchar* signal, GVariant* parameters, gpointer self) {
  auto* notifier = static_cast<DesktopNotifier*>(self);
  guint32 id = 0;
  if (g_str_equal(signal, "ActionInvoked")) {
    const gchar* action = nullptr;
    g_variant_get(parameters, "(u&s)", &id, &action);
    if (id == notifier->id_ && g_str_equal(action, kDefaultAction) && !notifier->url_.empty()) {
      notifier->openLink_(notifier->url_);
    }
  } else {
    guint32 reason = 0;
    g_variant_get(parameters, "(uu)", &id, &reason);
    if (id == notifier->id_) notifier->visible_ = false;
  }
}

void DesktopNotifier::Close() {
  visible_ = false;
  if (!connection_ || id_ == 0) return;
  // No reply asked: a notification the service already closed answers with an error.
  linux_desktop::Send(connection_.get(), kNotifications, "CloseNotification",
                      g_variant_new("(u)", id_));
}

}  // namespace hovra::platform::linux_desktop
