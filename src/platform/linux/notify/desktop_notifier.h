// Notices through the desktop's notification service (org.freedesktop.Notifications): one
// notification at a time, which the next notice replaces, asked to close after about five
// seconds, whose default action (a click on it) opens the notice's link. Used on the main
// thread; the service's replies and signals arrive on the main thread's loop.
//   DesktopNotifier notifier(sessionBus, [&](const std::string& url) { apps.OpenUri(url); });
//   notifier.Start();
//   notifier.Show("  192.168.1.5\n", "");
#pragma once

#include <gio/gio.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/dbus/bus.h"

namespace hovra::platform::linux_desktop {

inline constexpr int kNoticeTimeoutMs = 5000;  // the service closes the notification then

class DesktopNotifier {
 public:
  using OpenLink = std::function<void(const std::string& url)>;

  DesktopNotifier(Bus& session, OpenLink openLink)
      : session_(session), openLink_(std::move(openLink)) {}
  ~DesktopNotifier();
  DesktopNotifier(const DesktopNotifier&) = delete;
  DesktopNotifier& operator=(const DesktopNotifier&) = delete;

  // Subscribes to clicks and closings (on the main thread).
  void Start();
  // Whether a notification service runs or would be started; where none is, a tray shows
  // its own panel instead.
  bool ServiceReachable();
  void Show(std::string_view message, std::string_view url);
  void Close();
  bool Visible() const { return visible_; }

 private:
  struct Notice {
    std::string message;
    std::string url;
  };
  static void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                       const gchar* signal, GVariant* parameters, gpointer self);
  static void OnNotified(GObject* source, GAsyncResult* result, gpointer self);
  void Send(Notice notice);
  void ReadCapabilities(GDBusConnection* connection);

  Bus& session_;
  OpenLink openLink_;
  GRef<GDBusConnection> connection_;
  std::vector<guint> subscriptions_;
  std::optional<bool> markup_;  // the service reads markup in the body
  bool actions_ = false;        // the service offers actions
  uint32_t id_ = 0;             // the notification on show (0: none yet)
  std::string url_;             // its link
  std::atomic<bool> visible_{false};
  bool sending_ = false;          // a Notify waits for its reply (and its id)
  std::optional<Notice> queued_;  // shown when that reply is in, replacing the one sent
  GCancellable* cancel_ = g_cancellable_new();
};

}  // namespace hovra::platform::linux_desktop
