#include "platform/linux/session/desktop_shell.h"

namespace hovra::platform::linux_desktop {

bool WakeScreen(Bus& session) {
  static constexpr BusObject kScreenSavers[] = {
      {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
       "org.freedesktop.ScreenSaver"},
      {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
  };
  GRef<GDBusConnection> connection = session.Connection();
  if (!connection) return false;
  for (const BusObject& saver : kScreenSavers) {
    if (!NameHasOwner(connection.get(), saver.name)) continue;
    Send(connection.get(), saver, "SimulateUserActivity", nullptr);
    return true;
  }
  return false;
}

bool ShowOverviewByBus(Bus& session) {
  static constexpr BusObject kKwinShortcuts{"org.kde.kglobalaccel", "/component/kwin",
                                            "org.kde.kglobalaccel.Component"};
  GRef<GDBusConnection> connection = session.Connection();
  if (!connection || !NameHasOwner(connection.get(), kKwinShortcuts.name)) return false;
  Send(connection.get(), kKwinShortcuts, "invokeShortcut", g_variant_new("(s)", "Overview"));
  return true;
}

}  // namespace hovra::platform::linux_desktop
