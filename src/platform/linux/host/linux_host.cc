#include "platform/linux/host/linux_host.h"

#include "platform/linux/apps/g_owned.h"

namespace hovra::platform::linux_desktop {
namespace {

void OnProxy(GObject*, GAsyncResult* result, gpointer self) {
  GError* error = nullptr;
  GDBusProxy* proxy = g_dbus_proxy_new_for_bus_finish(result, &error);
  if (proxy == nullptr) {
    // No system bus or no hostnamed: the POSIX facts serve. Cancelled: the host is gone.
    g_error_free(error);
    return;
  }
  static_cast<LinuxHost*>(self)->Adopt(proxy);
}

}  // namespace

LinuxHost::LinuxHost() {
  cancellable_ = g_cancellable_new();
  g_dbus_proxy_new_for_bus(G_BUS_TYPE_SYSTEM, G_DBUS_PROXY_FLAGS_GET_INVALIDATED_PROPERTIES,
                           nullptr, "org.freedesktop.hostname1", "/org/freedesktop/hostname1",
                           "org.freedesktop.hostname1", cancellable_, OnProxy, this);
}

LinuxHost::~LinuxHost() {
  g_cancellable_cancel(cancellable_);
  g_object_unref(cancellable_);
  if (hostnamed_ != nullptr) g_object_unref(hostnamed_);
}

void LinuxHost::Adopt(GDBusProxy* proxy) {
  hostnamed_ = proxy;
  ready_.store(true, std::memory_order_release);
}

std::string LinuxHost::MachineName() {
  if (ready_.load(std::memory_order_acquire)) {
    // The proxy's cache follows PropertiesChanged; reading it is safe from any thread.
    GVariant* value = g_dbus_proxy_get_cached_property(hostnamed_, "PrettyHostname");
    std::string pretty;
    if (value != nullptr && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
      pretty = Text(g_variant_get_string(value, nullptr));
    if (value != nullptr) g_variant_unref(value);
    if (!pretty.empty()) return pretty;
  }
  return SystemHost::MachineName();
}

}  // namespace hovra::platform::linux_desktop
