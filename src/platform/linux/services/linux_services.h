// The Linux desktop's services assembled: the script services and, for a headless host,
// the user interface that shows notices as desktop notifications. Both wrap the journal's
// own services, which keep recording everything as before. Built and started on the main
// thread before other threads run; its D-Bus signals then arrive on the main loop.
//   LinuxServices desktop(journalScripts, headlessUi);
//   desktop.UseApps(&apps);
//   desktop.Start();
//   services.scripts = &desktop.Scripts();  services.ui = &desktop.Ui();
#pragma once

#include "platform/linux/dbus/bus.h"
#include "platform/linux/linux_apps.h"
#include "platform/linux/mpris/mpris_players.h"
#include "platform/linux/notify/desktop_notifier.h"
#include "platform/linux/notify/notification_ui.h"
#include "platform/linux/scripts/linux_scripts.h"
#include "platform/linux/session/power.h"
#include "platform/linux/sound/pulse_volume.h"

namespace hovra::platform::linux_desktop {

class LinuxServices {
 public:
  LinuxServices(ScriptServices& journalScripts, UserInterface& headlessUi);
  LinuxServices(const LinuxServices&) = delete;
  LinuxServices& operator=(const LinuxServices&) = delete;

  // The application side: the frontmost application for media and presentations,
  // launching, and opening addresses and files (also a notice's link).
  void UseApps(LinuxApps* apps);
  // Subscribes to the players' and the notification service's signals.
  void Start();

  ScriptServices& Scripts() { return scripts_; }
  UserInterface& Ui() { return ui_; }
  DesktopNotifier& Notifier() { return notifier_; }

 private:
  void OpenLink(const std::string& url);

  Bus session_{G_BUS_TYPE_SESSION};
  Bus system_{G_BUS_TYPE_SYSTEM};
  LinuxApps* apps_ = nullptr;
  PulseVolume volume_;
  MprisPlayers players_{session_};
  PowerControl power_{session_, system_};
  DesktopNotifier notifier_;
  LinuxScripts scripts_;
  NotificationUi ui_;
};

}  // namespace hovra::platform::linux_desktop
