// The media scripts on a Linux desktop, carried out through MPRIS. A generic script
// ("MediaNext.VLC") reaches the one player a generic command goes to, whichever player
// the script was written for; a player script ("PlayerNext.VLC") reaches that player's
// MPRIS service, and its full screen ("PlayerMax.VLC") goes through MPRIS where the player
// offers it, else the player's own key when it is frontmost.
#pragma once

#include <string_view>

#include "platform/linux/dbus/bus.h"
#include "platform/linux/linux_apps.h"
#include "platform/linux/mpris/mpris_players.h"
#include "platform/linux/scripts/script_names.h"

namespace hovra::platform::linux_desktop {

class MediaScripts {
 public:
  MediaScripts(MprisPlayers& players, Bus& session) : players_(players), session_(session) {}

  // `apps` may be null (no application service): the frontmost application is then unknown.
  void RunGeneric(const ScriptName& name, LinuxApps* apps);
  void RunPlayer(const ScriptName& name, std::string_view scriptName, LinuxApps* apps);

 private:
  void Fullscreen(std::string_view scriptName, std::string_view bundleId,
                  const std::vector<PlayerFacts>& players, std::optional<size_t> chosen,
                  LinuxApps* apps);

  MprisPlayers& players_;
  Bus& session_;
};

}  // namespace hovra::platform::linux_desktop
