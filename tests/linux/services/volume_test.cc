// Volume commands of the real server on the linux desktop, read back from a real
// PulseAudio server with pactl: the steps and their clamps, the click on the same branches
// as the mac scripts, mute, a change of the default output and a sound server restart.
#include <gtest/gtest.h>

#include "tests/linux/services/linux_session.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

class VolumeOnLinux : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!session_.Ready()) GTEST_SKIP() << session_.Missing();
    server_ = std::make_unique<ServerProcess>(session_.ServerOptions());
    client_ = std::make_unique<SocketClient>(server_->Port());
    ASSERT_TRUE(client_->Connected()) << server_->Stderr();
    client_->ReadUntil("\n");
  }
  // Sends the command; the echo says it was carried out.
  void Send(const std::string& line) {
    client_->Send(line + "\nping\n");
    ASSERT_EQ(client_->Read(4), "echo") << line;
  }
  int Volume(const std::string& sink = "@DEFAULT_SINK@") {
    return session_.Pulse().VolumePercent(sink).value_or(-1);
  }
  size_t Clicks() { return session_.RecordedCount("paplay"); }

  LinuxSession session_;
  std::unique_ptr<ServerProcess> server_;
  std::unique_ptr<SocketClient> client_;
};

TEST_F(VolumeOnLinux, StepsByTenWithTheClampsAndClicksOnTheSameBranches) {
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
  // Clicks play in the background: wait for them all, then prove there is none too many
  // with one more that must click.
  EXPECT_TRUE(WaitUntil([&] { return Clicks() >= clicks; })) << session_.Recorded();
  Send("VOLUMEUP");
  EXPECT_TRUE(WaitUntil([&] { return Clicks() >= clicks + 1; }));
  EXPECT_EQ(Clicks(), clicks + 1) << session_.Recorded();
  EXPECT_NE(session_.Recorded().find("sounds/freedesktop/stereo/audio-volume-change.oga"),
            std::string::npos);
}

TEST_F(VolumeOnLinux, MuteTogglesAndClicksOnlyWhenItUnmutes) {
  Send("MUTE");
  EXPECT_EQ(session_.Pulse().Muted(), true);
  Send("MUTE");
  EXPECT_EQ(session_.Pulse().Muted(), false);
  EXPECT_TRUE(WaitUntil([&] { return Clicks() >= 1; }));
  Send("VOLUMEUP");  // one more click: the mute itself added none
  EXPECT_TRUE(WaitUntil([&] { return Clicks() >= 2; }));
  EXPECT_EQ(Clicks(), 2u) << session_.Recorded();
}

TEST_F(VolumeOnLinux, FollowsTheDefaultOutputAndASoundServerRestart) {
  ASSERT_TRUE(session_.Pulse().Pactl({"set-sink-volume", "hovra_b", "30%"}));
  ASSERT_TRUE(session_.Pulse().Pactl({"set-default-sink", "hovra_b"}));
  Send("VOLUMEUP");
  EXPECT_EQ(Volume("hovra_b"), 40);
  EXPECT_EQ(Volume("hovra_a"), 100);

  ASSERT_TRUE(session_.Pulse().Restart());
  ASSERT_TRUE(session_.Pulse().Pactl({"set-sink-volume", "hovra_a", "70%"}));
  Send("VOLUMEDN");
  EXPECT_EQ(Volume("hovra_a"), 60) << server_->Stderr();
}

}  // namespace
}  // namespace hovra::testing
