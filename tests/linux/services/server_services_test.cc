// The real server's media, volume, power and notice commands against dbusmock and PulseAudio.
#include "tests/linux/services/linux_session.h"

namespace hovra::testing {
namespace {

using MediaOnLinux = ServerInSession<>;

// Sets a fake player's property as the player itself would (it signals the change).
void SetStatus(const LinuxSession& session, const std::string& player, const char* status) {
  ASSERT_TRUE(session.Client().Call("org.mpris.MediaPlayer2." + player, "/org/mpris/MediaPlayer2",
                                    "org.freedesktop.DBus.Properties", "Set",
                                    g_variant_new("(ssv)", "org.mpris.MediaPlayer2.Player",
                                                  "PlaybackStatus", g_variant_new_string(status))));
}

TEST_F(MediaOnLinux, AGenericCommandReachesExactlyOnePlayerAndAPlayerCommandItsOwn) {
  auto vlc = session_.Player(
      "vlc", R"({"DesktopEntry":"vlc","PlaybackStatus":"Paused","CanSetFullscreen":true})");
  auto spotify = session_.Player("spotify", R"({"PlaybackStatus":"Playing","Volume":0.5})");
  StartServer();

  Send("media next");  // VLC is installed and offered first; Spotify plays
  Send("media volumeup");
  EXPECT_EQ(spotify->Calls("Next"), 1u);
  EXPECT_NE(spotify->Log().find("Player.Volume dbus.Double(0.6"), std::string::npos);
  EXPECT_EQ(vlc->Calls("Next") + vlc->Calls("Set"), 0u) << vlc->Log();

  SetStatus(session_, "spotify", "Paused");
  SetStatus(session_, "vlc", "Playing");
  Send("media play");
  EXPECT_EQ(vlc->Calls("PlayPause"), 1u);

  // Nothing plays: the last to change is the most recently active, not the last commanded.
  SetStatus(session_, "vlc", "Paused");
  SetStatus(session_, "spotify", "Paused");
  Send("media prev");
  EXPECT_EQ(spotify->Calls("Previous"), 1u);
  EXPECT_EQ(vlc->Calls("Previous") + spotify->Calls("PlayPause"), 0u);

  for (const char* line : {"player next 1", "player play 1", "player prev 2", "player max 1",
                           "player play 4"})  // no player has index 4
    Send(line);
  EXPECT_EQ(vlc->Calls("Next"), 1u);
  EXPECT_EQ(vlc->Calls("PlayPause"), 2u);
  EXPECT_EQ(spotify->Calls("Previous"), 2u);
  EXPECT_NE(vlc->Log().find("MediaPlayer2.Fullscreen True"), std::string::npos) << vlc->Log();
  EXPECT_EQ(spotify->Calls("Next"), 1u);
  EXPECT_EQ(spotify->Calls("PlayPause"), 0u);
}

TEST_F(MediaOnLinux, AHungPlayerDoesNotHoldTheServer) {
  // Its methods answer after a minute; the bus's own timeout would be 25 seconds.
  auto hung = session_.Player("vlc", R"({"PlaybackStatus":"Playing","HangSeconds":60})");
  StartServer();
  client_->Send("media next\nping\n");
  EXPECT_EQ(client_->Read(4, 15s), "echo");
  EXPECT_TRUE(hung->WaitForLog("Next"));
}

using SessionOnLinux = ServerInSession<>;

TEST_F(SessionOnLinux, PowerCommandsReachLogindAndQuestionsTheSessionManagerWhereThereIsOne) {
  auto logind = session_.Mock({.name = "org.freedesktop.login1", .templateName = "logind"}, true);
  StartServer();
  client_->Send("poweroff\nreboot\nsleep\nlogoff\nshutdown\n");
  // Without a session manager the asking shutdown is logind's interactive power off too.
  EXPECT_TRUE(PollUntil([&] { return logind->Calls("PowerOff True") == 2; }, 10s)) << logind->Log();
  EXPECT_TRUE(logind->WaitForLog("Reboot True"));
  EXPECT_TRUE(logind->WaitForLog("Suspend True"));
  EXPECT_TRUE(logind->WaitForLog("TerminateSession \"hovra-test\"")) << logind->Log();

  const char* kGnome = "org.gnome.SessionManager";
  auto gnome = session_.Mock(DbusMockOptions::Object(kGnome, "/org/gnome/SessionManager", kGnome));
  ASSERT_TRUE(session_.Client().AddMockMethod(kGnome, "/org/gnome/SessionManager", "Shutdown", ""));
  ASSERT_TRUE(session_.Client().AddMockMethod(kGnome, "/org/gnome/SessionManager", "Logout", "u"));
  client_->Send("shutdown\nlogoff\n");
  EXPECT_TRUE(gnome->WaitForLog("Shutdown")) << gnome->Log();
  EXPECT_TRUE(gnome->WaitForLog("Logout 1"));  // without a second question
  client_->Send("reboot\n");  // the tick after the ones that carried out the two above
  EXPECT_TRUE(PollUntil([&] { return logind->Calls("Reboot True") == 2; })) << logind->Log();
  EXPECT_EQ(logind->Calls("PowerOff"), 2u);
  EXPECT_EQ(logind->Calls("TerminateSession"), 1u);
}

TEST_F(SessionOnLinux, NoticesAreOneNotificationThatTheNextReplaces) {
  auto daemon = session_.Mock({.name = "org.freedesktop.Notifications",
                               .templateName = "notification_daemon",
                               .parameters = R"({"capabilities":"body actions"})"});
  StartServer();
  // The address list comes first, on its own; then a client's notice replaces it.
  ASSERT_TRUE(daemon->WaitForLog("Notify \"Hovra Server\" 0")) << daemon->Log();
  client_->Send("Msg||Hello from the phone||https://example.org/a\n");
  EXPECT_TRUE(daemon->WaitForLog(
      "Notify \"Hovra Server\" 1 \"hovra-server\" \"Hovra Server\" \"Hello from the phone\" "
      "[\"default\", \"Open\"]"))
      << daemon->Log();
  EXPECT_TRUE(daemon->WaitForLog("CloseNotification 1")) << "closed after about five seconds";
  EXPECT_EQ(daemon->Calls("Notify"), 2u);
}

class VolumeOnLinux : public ServerInSession<true> {
 protected:
  void SetUp() override {
    ServerInSession::SetUp();
    if (!IsSkipped()) StartServer();
  }
  int Volume(const std::string& sink = "@DEFAULT_SINK@") {
    return session_.Pulse().VolumePercent(sink).value_or(-1);
  }
  size_t Clicks() { return session_.RecordedCount("paplay"); }
};

TEST_F(VolumeOnLinux, StepsByTenWithClampsMutesClicksAndFollowsTheDefaultOutputAndRestarts) {
  struct Case {
    int before;
    const char* command;
    int after;
    bool click;
  };
  const Case cases[] = {
      {50, "VOLUMEUP", 60, true},   {95, "VOLUMEUP", 100, true},  {100, "VOLUMEUP", 100, true},
      {150, "VOLUMEUP", 150, true},  // an over-amplified output is not pulled back
      {20, "VOLUMEDN", 10, true},   {10, "VOLUMEDN", 0, false},   {5, "VOLUMEDN", 0, false},
      {0, "VOLUMEDN", 0, false},    {150, "VOLUMEDN", 140, true},
  };
  size_t clicks = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " from " + std::to_string(c.before));
    ASSERT_TRUE(
        session_.Pulse().Pactl({"set-sink-volume", "hovra_a", std::to_string(c.before) + "%"}));
    Send(c.command);
    EXPECT_EQ(Volume(), c.after);
    clicks += c.click;
  }
  Send("MUTE");
  EXPECT_EQ(session_.Pulse().Muted(), true);
  Send("MUTE");  // unmuting clicks, muting does not
  EXPECT_EQ(session_.Pulse().Muted(), false);
  // Clicks play in the background: one more that must click proves there is none too many.
  EXPECT_TRUE(PollUntil([&] { return Clicks() >= clicks + 1; })) << session_.Recorded();
  Send("VOLUMEUP");
  EXPECT_TRUE(PollUntil([&] { return Clicks() >= clicks + 2; }));
  EXPECT_EQ(Clicks(), clicks + 2) << session_.Recorded();
  EXPECT_NE(session_.Recorded().find("sounds/freedesktop/stereo/audio-volume-change.oga"),
            std::string::npos);

  // The default output is followed, and so is a restart of the sound server.
  ASSERT_TRUE(session_.Pulse().Pactl({"set-sink-volume", "hovra_b", "30%"}));
  ASSERT_TRUE(session_.Pulse().Pactl({"set-default-sink", "hovra_b"}));
  Send("VOLUMEUP");
  EXPECT_EQ(Volume("hovra_b"), 40);
  EXPECT_EQ(Volume("hovra_a"), 140);

  ASSERT_TRUE(session_.Pulse().Restart());
  ASSERT_TRUE(session_.Pulse().Pactl({"set-sink-volume", "hovra_a", "70%"}));
  Send("VOLUMEDN");
  EXPECT_EQ(Volume("hovra_a"), 60) << server_->Stderr();
}

}  // namespace
}  // namespace hovra::testing
