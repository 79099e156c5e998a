#include "platform/linux/scripts/media_scripts.h"

#include <string>

#include "base/log.h"
#include "platform/linux/scripts/desktop_ids.h"
#include "platform/linux/session/desktop_shell.h"
#include "platform/linux/shortcuts/linux_shortcuts.h"

namespace hovra::platform::linux_desktop {
namespace {

std::string Frontmost(LinuxApps* apps) { return apps ? apps->FrontmostAppId() : std::string(); }

MprisCommand GenericCommand(std::string_view operation) {
  if (operation == "MediaNext") return MprisCommand::kNext;
  if (operation == "MediaPrev") return MprisCommand::kPrevious;
  if (operation == "MediaVolumeUp") return MprisCommand::kVolumeUp;
  if (operation == "MediaVolumeDown") return MprisCommand::kVolumeDown;
  return MprisCommand::kPlayPause;  // MediaPlay, whichever player's variant
}

MprisCommand PlayerCommand(const ScriptName& name) {
  if (name.operation == "PlayerNext") return MprisCommand::kNext;
  if (name.operation == "PlayerPrev") return MprisCommand::kPrevious;
  if (name.variant == "Pause") return MprisCommand::kPause;  // QuickTime's remembered state
  if (name.variant == "Play") return MprisCommand::kPlay;
  return MprisCommand::kPlayPause;
}

// The desktop ids an application known by `bundleId` goes by on this desktop.
std::vector<std::string> IdsFor(std::string_view bundleId, LinuxApps* apps) {
  std::vector<std::string> ids = KnownLinuxIds(bundleId);
  if (apps) {
    if (std::optional<std::string> id = apps->InstalledAppFor(bundleId)) ids.push_back(*id);
  }
  return ids;
}

}  // namespace

void MediaScripts::RunGeneric(const ScriptName& name, LinuxApps* apps) {
  std::vector<PlayerFacts> players = players_.List();
  std::optional<size_t> chosen = ChooseGenericPlayer(players, Frontmost(apps));
  if (!chosen) {
    static LogOnce none;
    if (none.First()) Log("media command: no MPRIS media player is running");
    return;
  }
  players_.Send(players[*chosen], GenericCommand(name.operation));
}

void MediaScripts::RunPlayer(const ScriptName& name, std::string_view scriptName, LinuxApps* apps) {
  std::string_view bundleId = BundleIdOf(name.target);
  std::vector<std::string> ids = IdsFor(bundleId, apps);
  std::vector<PlayerFacts> players = players_.List();
  std::vector<size_t> candidates;
  for (size_t i = 0; i < players.size(); ++i) {
    for (const std::string& id : ids) {
      if (PlayerBelongsTo(players[i], id)) {
        candidates.push_back(i);
        break;
      }
    }
  }
  std::optional<size_t> chosen = ChooseAmong(players, candidates);
  if (name.operation == "PlayerMax") {
    Fullscreen(scriptName, bundleId, players, chosen, apps);
    return;
  }
  if (!chosen) {
    static LogOnce none;
    if (none.First()) {
      Log("player command %.*s: no MPRIS player of that application is running (logged once)",
          static_cast<int>(scriptName.size()), scriptName.data());
    }
    return;
  }
  players_.Send(players[*chosen], PlayerCommand(name));
}

void MediaScripts::Fullscreen(std::string_view scriptName, std::string_view bundleId,
                              const std::vector<PlayerFacts>& players, std::optional<size_t> chosen,
                              LinuxApps* apps) {
  WakeScreen(session_);  // the picture is what the user wants to see
  if (chosen && players_.ToggleFullscreen(players[*chosen])) return;
  // The player's own key reaches it only when it is frontmost; anywhere else it would type.
  std::string frontmost = Frontmost(apps);
  bool playerFrontmost = chosen && PlayerBelongsTo(players[*chosen], frontmost);
  for (const std::string& id : IdsFor(bundleId, apps)) {
    if (!frontmost.empty() && SameId(id, frontmost)) playerFrontmost = true;
  }
  if (playerFrontmost) {
    PostLinuxShortcut(scriptName);
  } else {
    static LogOnce notFrontmost;
    if (notFrontmost.First()) {
      Log("full screen %.*s: the player offers no full screen by MPRIS and is not frontmost "
          "(logged once)",
          static_cast<int>(scriptName.size()), scriptName.data());
    }
  }
}

}  // namespace hovra::platform::linux_desktop
