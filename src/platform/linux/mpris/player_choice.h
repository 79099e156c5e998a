// Which media player a command reaches. A generic command ("media next") goes to exactly
// one player: the frontmost application's player when it has one, else the one that is
// playing, else the one most recently active. A player command names its player by the
// application it belongs to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::linux_desktop {

inline constexpr std::string_view kMprisPrefix = "org.mpris.MediaPlayer2.";

struct PlayerFacts {
  std::string busName;       // "org.mpris.MediaPlayer2.vlc"
  std::string owner;         // its unique name ":1.42"
  std::string desktopEntry;  // the player's own desktop id ("vlc"), when it says
  std::string status;        // "Playing", "Paused", "Stopped"; empty when unknown
  uint64_t lastActive = 0;   // larger is more recent; 0: not seen active
};

// The player's own name on the bus, "vlc" for "org.mpris.MediaPlayer2.vlc.instance42".
std::string PlayerBusShortName(std::string_view busName);

// Whether the player belongs to the application with desktop id `appId` ("vlc",
// "org.videolan.VLC"): its desktop entry, or its bus name, is that id or the id's last
// part, in any case.
bool PlayerBelongsTo(const PlayerFacts& player, std::string_view appId);

// The player a generic command reaches; none when no player is there.
std::optional<size_t> ChooseGenericPlayer(const std::vector<PlayerFacts>& players,
                                          std::string_view frontmostAppId);

// Among the players of one application (several instances), the one to address: playing
// first, then the most recently active.
std::optional<size_t> ChooseAmong(const std::vector<PlayerFacts>& players,
                                  const std::vector<size_t>& candidates);

}  // namespace hovra::platform::linux_desktop
