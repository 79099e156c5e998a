// The script services of the Linux desktop: every script goes first to the services below
// (the journal's, which records it as before, through the workspace's, which launch and
// open), then its name and argument, never its text, are carried out with the desktop's
// own services: sound, media players, logind and the session manager, the screenshot
// portal, the desktop's shortcuts.
//   LinuxScripts scripts(journalScripts, parts);
//   scripts.UseApps(&apps);              // the workspace's application side
//   platform::Install({... .scripts = &scripts ...});
#pragma once

#include <mutex>
#include <set>
#include <string>

#include "platform/linux/dbus/bus.h"
#include "platform/linux/linux_apps.h"
#include "platform/linux/mpris/mpris_players.h"
#include "platform/linux/scripts/media_scripts.h"
#include "platform/linux/scripts/script_names.h"
#include "platform/linux/session/power.h"
#include "platform/linux/sound/pulse_volume.h"
#include "platform/script_services.h"

namespace hovra::platform::linux_desktop {

struct ScriptParts {
  PulseVolume& volume;
  MprisPlayers& players;
  PowerControl& power;
  Bus& session;
};

class LinuxScripts : public ScriptServices {
 public:
  LinuxScripts(ScriptServices& journal, ScriptParts parts)
      : journal_(journal), parts_(parts), media_(parts.players, parts.session) {}

  // The application side (the frontmost application and the desktop's stand-ins for the
  // applications the scripts name); before any thread runs scripts.
  void UseApps(LinuxApps* apps) { apps_ = apps; }

  void Run(const Script& script) override;

 private:
  using Handler = void (LinuxScripts::*)(const ScriptName&, const Script&);
  struct Route {
    std::string_view operation;
    Handler handler;
  };
  static const Route kRoutes[];

  void Sound(const ScriptName& name, const Script&);
  void GenericMedia(const ScriptName& name, const Script&);
  void PlayerMedia(const ScriptName& name, const Script& script);
  void Presentation(const ScriptName& name, const Script&);
  void Power(const ScriptName& name, const Script&);
  void Shortcut(const ScriptName& name, const Script& script);
  void Overview(const ScriptName& name, const Script&);
  void Capture(const ScriptName& name, const Script&);

  bool IsFirstOfItsCommand(const ScriptName& name) const;
  bool ImpressIsFrontmost();
  void LogUnknown(std::string_view name);

  ScriptServices& journal_;
  ScriptParts parts_;
  MediaScripts media_;
  LinuxApps* apps_ = nullptr;
  std::mutex unknownMutex_;
  std::set<std::string, std::less<>> unknownLogged_;
};

}  // namespace hovra::platform::linux_desktop
