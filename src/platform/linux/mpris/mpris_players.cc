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

// The filter's data crosses to the connection's thread inside GDBus, whose locks a race
// checker cannot see; this lock, taken on both sides, makes the hand-over visible.
std::mutex s_filterData;

void LogPlayerFailure(const PlayerFacts& player, const char* what, const std::string& error) {
  Log("media player %s: %s failed: %s", player.busName.c_str(), what, error.c_str());
}

}  // namespace

MprisPlayers::~MprisPlayers() {
  if (filter_ != 0) g_dbus_connection_remove_filter(following_.get(), filter_);
}

void MprisPlayers::StartFollowing() {
  following_ = session_.Connection();
  if (!following_) return;
  static constexpr const char* kRules[] = {
      "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
      "path='/org/mpris/MediaPlayer2',arg0='org.mpris.MediaPlayer2.Player'",
      "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged',"
      "arg0namespace='org.mpris.MediaPlayer2'"};
  constexpr BusObject kBusDaemon{"org.freedesktop.DBus", "/org/freedesktop/DBus",
                                 "org.freedesktop.DBus"};
  std::shared_ptr<Activity>* data;
  {
    std::lock_guard<std::mutex> lock(s_filterData);
    data = new std::shared_ptr<Activity>(activity_);
  }
  filter_ = g_dbus_connection_add_filter(following_.get(), &Filter, data, [](gpointer activity) {
    std::lock_guard<std::mutex> lock(s_filterData);
    delete static_cast<std::shared_ptr<Activity>*>(activity);
  });
  for (const char* rule : kRules) {
    std::string error;
    if (!CallSync(following_.get(), kBusDaemon, "AddMatch", g_variant_new("(s)", rule), nullptr,
                  std::chrono::milliseconds(1000), &error)) {
      Log("media players: their activity cannot be followed: %s", error.c_str());
    }
  }
}

// On the connection's own thread, for every message in the order it arrives.
GDBusMessage* MprisPlayers::Filter(GDBusConnection*, GDBusMessage* message, gboolean incoming,
                                   gpointer data) {
  if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_SIGNAL) {
    return message;
  }
  std::shared_ptr<Activity> held;
  {
    std::lock_guard<std::mutex> lock(s_filterData);
    held = *static_cast<std::shared_ptr<Activity>*>(data);
  }
  Activity& activity = *held;
  const gchar* member = g_dbus_message_get_member(message);
  GVariant* body = g_dbus_message_get_body(message);
  if (member == nullptr || body == nullptr) return message;
  if (g_str_equal(member, "NameOwnerChanged") &&
      g_variant_is_of_type(body, G_VARIANT_TYPE("(sss)"))) {
    const gchar *name = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
    g_variant_get(body, "(&s&s&s)", &name, &oldOwner, &newOwner);
    if (g_str_has_prefix(name, kMprisPrefix.data()) && *newOwner != '\0') {
      activity.Mark(newOwner);  // a player that just started
    }
  } else if (g_str_equal(member, "PropertiesChanged") &&
             g_strcmp0(g_dbus_message_get_path(message), kPlayerPath) == 0 &&
             g_variant_is_of_type(body, G_VARIANT_TYPE("(sa{sv}as)"))) {
    Variant changed(g_variant_get_child_value(body, 1));
    const gchar* sender = g_dbus_message_get_sender(message);
    if (sender != nullptr &&
        Variant(g_variant_lookup_value(changed.get(), "PlaybackStatus", nullptr))) {
      activity.Mark(sender);
    }
  }
  return message;
}

void MprisPlayers::Activity::Mark(const std::string& owner) {
  std::lock_guard<std::mutex> lock(mutex);
  lastActive[owner] = ++clock;
}

uint64_t MprisPlayers::Activity::Of(const std::string& owner) {
  std::lock_guard<std::mutex> lock(mutex);
  auto known = lastActive.find(owner);
  return known == lastActive.end() ? 0 : known->second;
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
  for (PlayerFacts& player : players) player.lastActive = activity_->Of(player.owner);
  return players;
}

bool MprisPlayers::Send(const PlayerFacts& player, MprisCommand command) {
  GRef<GDBusConnection> connection = session_.Connection();
  if (!connection) return false;
  activity_->Mark(player.owner);  // what was last commanded counts as active
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
  activity_->Mark(player.owner);
  return SetProperty(connection.get(), Root(player), "Fullscreen",
                     g_variant_new_boolean(!fullscreen), kPlayerCallTimeout);
}

}  // namespace hovra::platform::linux_desktop
