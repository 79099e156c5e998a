// Media commands of the real server on the linux desktop, against fake MPRIS players that
// record their calls: a generic command reaches exactly one player (the playing one, else
// the most recently active), player commands reach their own player, and a hung player
// does not hold the server.
#include <gtest/gtest.h>

#include "tests/linux/services/linux_session.h"
#include "tests/support/desktop/bus_client.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

class MediaOnLinux : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!session_.Ready()) GTEST_SKIP() << session_.Missing();
  }
  void StartServer() {
    server_ = std::make_unique<ServerProcess>(session_.ServerOptions());
    client_ = std::make_unique<SocketClient>(server_->Port());
    ASSERT_TRUE(client_->Connected()) << server_->Stderr();
    client_->ReadUntil("\n");
  }
  void Send(const std::string& line) {
    client_->Send(line + "\nping\n");
    ASSERT_EQ(client_->Read(4, 20s), "echo") << line;
  }
  // Sets a fake player's property as the player itself would (it signals the change).
  void SetStatus(const std::string& player, const char* status) {
    BusClient bus(session_.SessionBus().Address());
    ASSERT_TRUE(bus.Call("org.mpris.MediaPlayer2." + player, "/org/mpris/MediaPlayer2",
                         "org.freedesktop.DBus.Properties", "Set",
                         g_variant_new("(ssv)", "org.mpris.MediaPlayer2.Player", "PlaybackStatus",
                                       g_variant_new_string(status))));
  }

  LinuxSession session_{false};
  std::unique_ptr<ServerProcess> server_;
  std::unique_ptr<SocketClient> client_;
};

TEST_F(MediaOnLinux, AGenericCommandReachesExactlyOnePlayer) {
  auto vlc = session_.Player("vlc", R"({"DesktopEntry":"vlc","PlaybackStatus":"Paused"})");
  auto spotify = session_.Player("spotify", R"({"PlaybackStatus":"Playing","Volume":0.5})");
  ASSERT_TRUE(vlc->Running() && spotify->Running());
  StartServer();

  Send("media next");  // VLC is installed and offered first; Spotify plays
  Send("media volumeup");
  EXPECT_EQ(spotify->Calls("Next"), 1u);
  EXPECT_NE(spotify->Log().find("Player.Volume dbus.Double(0.6"), std::string::npos);
  EXPECT_EQ(vlc->Calls("Next") + vlc->Calls("Set"), 0u) << vlc->Log();

  SetStatus("spotify", "Paused");
  SetStatus("vlc", "Playing");
  Send("media play");
  EXPECT_EQ(vlc->Calls("PlayPause"), 1u);

  // Nothing plays: the one that changed last is the most recently active, although the
  // last command went to the other.
  SetStatus("vlc", "Paused");
  SetStatus("spotify", "Paused");
  Send("media prev");
  EXPECT_EQ(spotify->Calls("Previous"), 1u);
  EXPECT_EQ(vlc->Calls("Previous") + spotify->Calls("PlayPause"), 0u);
}

TEST_F(MediaOnLinux, PlayerCommandsReachTheirOwnPlayer) {
  auto vlc = session_.Player("vlc", R"({"DesktopEntry":"vlc","CanSetFullscreen":true})");
  auto spotify = session_.Player("spotify", R"({"PlaybackStatus":"Playing"})");
  ASSERT_TRUE(vlc->Running() && spotify->Running());
  StartServer();

  Send("player next 1");
  Send("player play 1");
  Send("player prev 2");
  Send("player max 1");
  Send("player play 4");  // no player has index 4
  EXPECT_EQ(vlc->Calls("Next"), 1u);
  EXPECT_EQ(vlc->Calls("PlayPause"), 1u);
  EXPECT_EQ(spotify->Calls("Previous"), 1u);
  EXPECT_NE(vlc->Log().find("MediaPlayer2.Fullscreen True"), std::string::npos) << vlc->Log();
  EXPECT_EQ(spotify->Calls("Next") + spotify->Calls("PlayPause"), 0u);
}

TEST_F(MediaOnLinux, AHungPlayerDoesNotHoldTheServer) {
  // Its methods answer after a minute; the bus's own timeout would be 25 seconds.
  auto hung = session_.Player("vlc", R"({"PlaybackStatus":"Playing","HangSeconds":60})");
  ASSERT_TRUE(hung->Running());
  StartServer();
  client_->Send("media next\nping\n");
  EXPECT_EQ(client_->Read(4, 15s), "echo");
  EXPECT_TRUE(hung->WaitForLog("Next"));
}

}  // namespace
}  // namespace hovra::testing
