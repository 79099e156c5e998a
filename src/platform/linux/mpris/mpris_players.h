// The MPRIS media players on the session bus: listing them with what a choice needs,
// following which one was active last, and sending them commands. Every call to a player
// waits at most kPlayerCallTimeout, so a hung player never holds up the server.
//   MprisPlayers players(sessionBus);
//   players.StartFollowing();                         // main thread, once
//   auto list = players.List();                       // any thread
//   players.Send(list[0], MprisCommand::kNext);
#pragma once

#include <gio/gio.h>

#include <atomic>
#include <chrono>
#include <map>
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

  // Subscribes to playback changes and players appearing; the signals then arrive on the
  // calling thread's main context (the main thread's loop).
  void StartFollowing();

  // Every player now on the bus, in the bus's order, with its status and activity.
  std::vector<PlayerFacts> List();

  // False when the player did not answer (or refused); the failure is logged.
  bool Send(const PlayerFacts& player, MprisCommand command);
  // Toggles full screen where the player offers it; false when it does not (or failed).
  bool ToggleFullscreen(const PlayerFacts& player);

 private:
  static void OnSignal(GDBusConnection*, const gchar* sender, const gchar* path,
                       const gchar* interface, const gchar* signal, GVariant* parameters,
                       gpointer self);
  void MarkActive(const std::string& owner);
  bool StepVolume(GDBusConnection* connection, const PlayerFacts& player, bool up);

  Bus& session_;
  GRef<GDBusConnection> following_;  // the connection the subscriptions live on
  std::vector<guint> subscriptions_;
  std::mutex mutex_;
  std::map<std::string, uint64_t> lastActive_;  // by owner
  uint64_t clock_ = 0;
};

}  // namespace hovra::platform::linux_desktop
