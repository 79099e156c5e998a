// Power and session actions on a Linux desktop. The shutdown that asks first goes to the
// desktop's own session manager (GNOME, KDE Plasma, Xfce), whose dialog asks the user;
// without one, logind powers off with interactive authorisation. Power off, restart and
// suspend go to logind; logging out goes to the session manager, else logind ends this
// session. Calls are sent without waiting (on the main thread); failures are logged when
// their replies come.
#pragma once

#include "platform/linux/dbus/bus.h"

namespace hovra::platform::linux_desktop {

class PowerControl {
 public:
  PowerControl(Bus& session, Bus& system) : session_(session), system_(system) {}

  void AskToShutDown();
  void PowerOff();
  void Reboot();
  void Suspend();
  void LogOut();

 private:
  void Logind(const char* method, GVariant* args);
  void TerminateThisSession(GDBusConnection* system);

  Bus& session_;
  Bus& system_;
};

}  // namespace hovra::platform::linux_desktop
