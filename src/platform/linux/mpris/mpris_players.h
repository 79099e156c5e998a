// The MPRIS media players on the session bus: listing them with what a choice needs,
// following which one was active last, and sending them commands. Every call to a player
// waits at most kPlayerCallTimeout, so a hung player never holds up the server.
//   MprisPlayers players(sessionBus);
//   players.StartFollowing();                         // once
//   auto list = players.List();                       // any thread
//   players.Send(list[0], MprisCommand::kNext);
#pragma once

#include <gio/gio.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/dbus/bus.h"
#include "platform/linux/mpris/player_choice.h"

namespace hovra::platform::linux_desktop {

inline constexpr std::chrono::milliseconds kPlayerCallTimeout{500};
inline constexpr double kPlayerVolumeStep = 0.1;  // on the player's 0 to 1 volume

enum class MprisCommand { kPlayPause, kPlay, kPause, kNext, kPrevious, kVolumeUp, kVolumeDown };

class MprisPlayers {
 public:
  explicit MprisPlayers(Bus& session) : session_(session) {}
  ~MprisPlayers();
  MprisPlayers(const MprisPlayers&) = delete;
  MprisPlayers& operator=(const MprisPlayers&) = delete;

  // Follows playback changes and players appearing. They are noted as the connection
  // reads them, in order, so a choice made after a change has seen it.
  void StartFollowing();

  // Every player now on the bus, in the bus's order, with its status and activity.
  std::vector<PlayerFacts> List();

  // False when the player did not answer (or refused); the failure is logged.
  bool Send(const PlayerFacts& player, MprisCommand command);
  // Toggles full screen where the player offers it; false when it does not (or failed).
  bool ToggleFullscreen(const PlayerFacts& player);

 private:
  // When each player (by its unique name) was last active; shared with the connection's
  // filter, which outlives this object by a moment on the connection's own thread.
  struct Activity {
    void Mark(const std::string& owner);
    uint64_t Of(const std::string& owner);
    std::mutex mutex;
    std::map<std::string, uint64_t> lastActive;
    uint64_t clock = 0;
  };
  static GDBusMessage* Filter(GDBusConnection*, GDBusMessage* message, gboolean incoming,
                              gpointer activity);
  bool StepVolume(GDBusConnection* connection, const PlayerFacts& player, bool up);

  Bus& session_;
  std::shared_ptr<Activity> activity_ = std::make_shared<Activity>();
  GRef<GDBusConnection> following_;  // the connection the filter reads
  guint filter_ = 0;
};

}  // namespace hovra::platform::linux_desktop
