#include "platform/linux/mpris/mpris_players.h"

#include <algorithm>

#include "base/log.h"

namespace hovra::platform::linux_desktop {
namespace {

constexpr char kPlayerPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

BusObject Root(const PlayerFacts& player) {
  return {player.busName.c_str(), kPlayerPath, kRootInterface};
}
BusObject Player(const PlayerFacts& player) {
  return {player.busName.c_str(), kPlayerPath, kPlayerInterface};
}

std::string StringProperty(GDBusConnection* connection, const BusObject& object, const char* name) {
  Variant value = GetProperty(connection, object, name, kPlayerCallTimeout);
  if (!value || !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) return "";
  return g_variant_get_string(value.get(), nullptr);
}

const char* MethodOf(MprisCommand command) {
  switch (command) {
    case MprisCommand::kPlayPause:
      return "PlayPause";
    case MprisCommand::kPlay:
      return "Play";
    case MprisCommand::kPause:
      return "Pause";
    case MprisCommand::kNext:
      return "Next";
    case MprisCommand::kPrevious:
      return "Previous";
    default:
      return nullptr;
  }
}

void LogPlayerFailure(const PlayerFacts& player, const char* what, const std::string& error) {
  Log("media player %s: %s failed: %s", player.busName.c_str(), what, error.c_str());
}

}  // namespace

MprisPlayers::~MprisPlayers() {
  for (guint id : subscriptions_) g_dbus_connection_signal_unsubscribe(following_.get(), id);
}

void MprisPlayers::StartFollowing() {
  following_ = session_.Connection();
  if (!following_) return;
  // Playback changes of any player, and players appearing.
  subscriptions_.push_back(g_dbus_connection_signal_subscribe(
      following_.get(), nullptr, "org.freedesktop.DBus.Properties", "PropertiesChanged",
      kPlayerPath, kPlayerInterface, G_DBUS_SIGNAL_FLAGS_NONE, &OnSignal, this, nullptr));
  subscriptions_.push_back(g_dbus_connection_signal_subscribe(
      following_.get(), "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
      "/org/freedesktop/DBus", "org.mpris.MediaPlayer2", G_DBUS_SIGNAL_FLAGS_MATCH_ARG0_NAMESPACE,
      &OnSignal, this, nullptr));
}

void MprisPlayers::OnSignal(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                            const gchar* signal, GVariant* parameters, gpointer self) {
  auto* players = static_cast<MprisPlayers*>(self);
  if (g_str_equal(signal, "NameOwnerChanged")) {
    const gchar *name = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
    g_variant_get(parameters, "(&s&s&s)", &name, &oldOwner, &newOwner);
    if (*newOwner != '\0') players->MarkActive(newOwner);  // a player that just started
    return;
  }
  Variant changed(g_variant_get_child_value(parameters, 1));
  if (Variant(g_variant_lookup_value(changed.get(), "PlaybackStatus", nullptr))) {
    players->MarkActive(sender);
  }
}

void MprisPlayers::MarkActive(const std::string& owner) {
  std::lock_guard<std::mutex> lock(mutex_);
  lastActive_[owner] = ++clock_;
}

std::vector<PlayerFacts> MprisPlayers::List() {
  std::vector<PlayerFacts> players;
  GRef<GDBusConnection> connection = session_.Connection();
  if (!connection) return players;
  for (const std::string& name : ListNames(connection.get())) {
    if (!name.starts_with(kMprisPrefix)) continue;
    PlayerFacts player;
    player.busName = name;
    player.owner = NameOwner(connection.get(), name.c_str());
    player.status = StringProperty(connection.get(), Player(player), "PlaybackStatus");
    player.desktopEntry = StringProperty(connection.get(), Root(player), "DesktopEntry");
    players.push_back(std::move(player));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (PlayerFacts& player : players) {
    auto known = lastActive_.find(player.owner);
    if (known != lastActive_.end()) player.lastActive = known->second;
  }
  return players;
}

bool MprisPlayers::Send(const PlayerFacts& player, MprisCommand command) {
  GRef<GDBusConnection> connection = session_.Connection();
  if (!connection) return false;
  MarkActive(player.owner);  // what was last commanded counts as active
  if (command == MprisCommand::kVolumeUp || command == MprisCommand::kVolumeDown) {
    return StepVolume(connection.get(), player, command == MprisCommand::kVolumeUp);
  }
  std::string error;
  Variant reply = CallSync(connection.get(), Player(player), MethodOf(command), nullptr, nullptr,
                           kPlayerCallTimeout, &error);
  if (!reply) LogPlayerFailure(player, MethodOf(command), error);
  return reply != nullptr;
}

bool MprisPlayers::StepVolume(GDBusConnection* connection, const PlayerFacts& player, bool up) {
  Variant value = GetProperty(connection, Player(player), "Volume", kPlayerCallTimeout);
  if (!value || !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_DOUBLE)) {
    LogPlayerFailure(player, "reading the volume", "no Volume property");
    return false;
  }
  double volume = g_variant_get_double(value.get());
  // Above 1 (amplified) "up" leaves the player where it is rather than pulling it back.
  double target = up ? (volume >= 1.0 ? volume : std::min(volume + kPlayerVolumeStep, 1.0))
                     : std::max(volume - kPlayerVolumeStep, 0.0);
  if (target == volume) return true;
  if (!SetProperty(connection, Player(player), "Volume", g_variant_new_double(target),
                   kPlayerCallTimeout)) {
    LogPlayerFailure(player, "setting the volume", "no answer or refused");
    return false;
  }
  return true;
}

bool MprisPlayers::ToggleFullscreen(const PlayerFacts& player) {
  GRef<GDBusConnection> connection = session_.Connection();
  if (!connection) return false;
  Variant can = GetProperty(connection.get(), Root(player), "CanSetFullscreen", kPlayerCallTimeout);
  if (!can || !g_variant_is_of_type(can.get(), G_VARIANT_TYPE_BOOLEAN) ||
      !g_variant_get_boolean(can.get())) {
    return false;
  }
  Variant now = GetProperty(connection.get(), Root(player), "Fullscreen", kPlayerCallTimeout);
  bool fullscreen = now && g_variant_is_of_type(now.get(), G_VARIANT_TYPE_BOOLEAN) &&
                    g_variant_get_boolean(now.get());
  MarkActive(player.owner);
  return SetProperty(connection.get(), Root(player), "Fullscreen",
                     g_variant_new_boolean(!fullscreen), kPlayerCallTimeout);
}

}  // namespace hovra::platform::linux_desktop
