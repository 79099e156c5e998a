// Start-up and the one-second timer, driven tick by tick through the manual main queue.
#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "server/notice_hand_over.h"
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

TEST_F(AppDelegateTest, StartsUpShowsTheAddressesAndEachMessageForFiveTicks) {
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
  platform_.MainQueue().Tick();
  // A new message shows at the next tick, and the panel closes on the fifth tick after.
  OfferNotice("second", "https://example.test");
  platform_.MainQueue().Tick();
  for (int tick = 1; tick <= 4; ++tick) {
    platform_.MainQueue().Tick();
    EXPECT_TRUE(platform::GetUi().IsNotificationPanelVisible()) << tick;
  }
  platform_.MainQueue().Tick();
  EXPECT_FALSE(platform::GetUi().IsNotificationPanelVisible());
}

}  // namespace
}  // namespace hovra::app
