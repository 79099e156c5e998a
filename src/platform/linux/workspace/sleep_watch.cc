#include "platform/linux/workspace/sleep_watch.h"

#include "base/log.h"

namespace hovra::platform::linux_desktop {
namespace {

void OnPrepareForSleep(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, gpointer self) {
  gboolean sleeping = TRUE;
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) return;
  g_variant_get(parameters, "(b)", &sleeping);
  if (!sleeping) static_cast<SleepWatch*>(self)->Woke();
}

void OnBus(GObject*, GAsyncResult* result, gpointer self) {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_finish(result, &error);
  if (bus == nullptr) {
    // Cancelled means the watch is gone: do not touch it.
    if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
      Log("wake: no system bus (%s); waking from sleep is not noticed", error->message);
      static_cast<SleepWatch*>(self)->Subscribe(nullptr);
    }
    g_error_free(error);
    return;
  }
  static_cast<SleepWatch*>(self)->Subscribe(bus);
  g_object_unref(bus);
}

}  // namespace

SleepWatch::SleepWatch(std::function<void()> woke, GDBusConnection* bus) : woke_(std::move(woke)) {
  if (bus != nullptr) {
    Subscribe(bus);
    return;
  }
  cancellable_ = g_cancellable_new();
  g_bus_get(G_BUS_TYPE_SYSTEM, cancellable_, OnBus, this);
}

void SleepWatch::Subscribe(GDBusConnection* bus) {
  if (bus == nullptr) return;
  bus_ = G_DBUS_CONNECTION(g_object_ref(bus));
  subscription_ = g_dbus_connection_signal_subscribe(
      bus_, "org.freedesktop.login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
      "/org/freedesktop/login1", nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnPrepareForSleep, this,
      nullptr);
}

SleepWatch::~SleepWatch() {
  if (cancellable_ != nullptr) {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
  }
  if (bus_ != nullptr) {
    g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    g_object_unref(bus_);
  }
}

}  // namespace hovra::platform::linux_desktop
