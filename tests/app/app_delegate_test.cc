// Start-up and the one-second timer, driven tick by tick through the manual main queue.
#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "server/notice_hand_over.h"
#include "server/reports.h"
#include "tests/support/socket_client.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_platform.h"

namespace hovra::app {
namespace {

using testing::Lines;
using testing::TestPlatform;

class AppDelegateTest : public ::testing::Test {
 protected:
  AppDelegateTest() : platform_(R"({"addresses":["192.168.1.5","127.0.0.1"]})") {
    options_.port = 0;
    options_.discoveryPort = 0;
    options_.configDir = dir_;
    options_.updateUrl = "http://127.0.0.1:9/version.json";
  }
  TestPlatform platform_;
  testing::TempDir temp_;
  std::string dir_ = temp_.path().string();
  Options options_;
};

TEST_F(AppDelegateTest, StartsUpAndShowsTheAddressesAtTheFirstTick) {
  AppDelegate delegate(options_);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  ASSERT_TRUE(platform_.MainQueue().HasTimer());
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/HovraServer.cfg"));
  EXPECT_TRUE(platform_.Settings().GetString("UUID").has_value());
  delegate.WaitForBackgroundTasks();
  EXPECT_EQ(delegate.AddressList(), "  192.168.1.5\n");

  platform_.Take();
  platform_.MainQueue().Tick();
  EXPECT_EQ(platform_.Take(), Lines{R"({"kind":"notice","message":"  192.168.1.5\n","url":""})"});
  EXPECT_TRUE(platform::GetUi().IsNotificationPanelVisible());
  // The panel closes on the fifth tick after it showed, not before.
  for (int tick = 1; tick <= 4; ++tick) {
    platform_.MainQueue().Tick();
    EXPECT_TRUE(platform::GetUi().IsNotificationPanelVisible()) << tick;
  }
  platform_.MainQueue().Tick();
  EXPECT_FALSE(platform::GetUi().IsNotificationPanelVisible());
}

TEST_F(AppDelegateTest, ANewMessageRestartsThePanelsCount) {
  AppDelegate delegate(options_);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  delegate.WaitForBackgroundTasks();
  platform_.MainQueue().Tick();
  platform_.MainQueue().Tick();
  OfferNotice("second", "https://example.test");
  platform_.MainQueue().Tick();
  for (int tick = 1; tick <= 4; ++tick) platform_.MainQueue().Tick();
  EXPECT_TRUE(platform::GetUi().IsNotificationPanelVisible());
  platform_.MainQueue().Tick();
  EXPECT_FALSE(platform::GetUi().IsNotificationPanelVisible());
}

TEST_F(AppDelegateTest, ReportsLaunchesToClientsThatAsked) {
  AppDelegate delegate(options_);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  testing::SocketClient client(delegate.Server()->ListeningPort());
  client.ReadUntil("\n");
  client.Send("reportCurrentApp\n");
  EXPECT_EQ(client.ReadUntil("\n"), "currentapp \n");
  delegate.onApplicationLaunch("com.example.app");
  EXPECT_EQ(client.ReadUntil("\n"), "currentapp com.example.app\n");
  EXPECT_EQ(getLastActivatedapp(), "currentapp com.example.app\n");
  SetActivatedApp("");
}

}  // namespace
}  // namespace hovra::app
