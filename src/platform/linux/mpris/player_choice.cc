#include "platform/linux/mpris/player_choice.h"

#include <algorithm>
#include <cctype>

namespace hovra::platform::linux_desktop {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view LastPart(std::string_view id) {
  size_t dot = id.rfind('.');
  return dot == std::string_view::npos ? id : id.substr(dot + 1);
}

// Orders candidates: playing before others, then the most recently active, then paused
// before stopped; the earlier listed wins a tie.
bool Better(const PlayerFacts& a, const PlayerFacts& b) {
  bool aPlaying = a.status == "Playing", bPlaying = b.status == "Playing";
  if (aPlaying != bPlaying) return aPlaying;
  if (a.lastActive != b.lastActive) return a.lastActive > b.lastActive;
  bool aPaused = a.status == "Paused", bPaused = b.status == "Paused";
  return aPaused && !bPaused;
}

}  // namespace

std::string PlayerBusShortName(std::string_view busName) {
  std::string_view name = busName;
  if (name.starts_with(kMprisPrefix)) name.remove_prefix(kMprisPrefix.size());
  size_t instance = name.find(".instance");
  if (instance != std::string_view::npos) name = name.substr(0, instance);
  return std::string(name);
}

bool PlayerBelongsTo(const PlayerFacts& player, std::string_view appId) {
  if (appId.empty()) return false;
  if (!player.desktopEntry.empty() && (SameIgnoringCase(player.desktopEntry, appId) ||
                                       SameIgnoringCase(LastPart(player.desktopEntry), appId))) {
    return true;
  }
  std::string shortName = PlayerBusShortName(player.busName);
  return SameIgnoringCase(shortName, appId) || SameIgnoringCase(shortName, LastPart(appId));
}

std::optional<size_t> ChooseAmong(const std::vector<PlayerFacts>& players,
                                  const std::vector<size_t>& candidates) {
  std::optional<size_t> best;
  for (size_t i : candidates) {
    if (!best || Better(players[i], players[*best])) best = i;
  }
  return best;
}

std::optional<size_t> ChooseGenericPlayer(const std::vector<PlayerFacts>& players,
                                          std::string_view frontmostAppId) {
  std::vector<size_t> frontmost, all;
  for (size_t i = 0; i < players.size(); ++i) {
    all.push_back(i);
    if (PlayerBelongsTo(players[i], frontmostAppId)) frontmost.push_back(i);
  }
  return ChooseAmong(players, frontmost.empty() ? all : frontmost);
}

}  // namespace hovra::platform::linux_desktop
