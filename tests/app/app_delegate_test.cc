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

TEST(AppDelegateTest, StartsUpShowsTheAddressesAndEachMessageForFiveTicks) {
  TestPlatform host(R"({"addresses":["192.168.1.5","127.0.0.1"]})");
  testing::TempDir temp;
  const std::string dir = temp.path().string();
  Options options;
  options.port = 0;
  options.discoveryPort = 0;
  options.configDir = dir;
  options.updateUrl = "http://127.0.0.1:9/version.json";
  AppDelegate delegate(options);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  ASSERT_TRUE(host.MainQueue().HasTimer());
  EXPECT_TRUE(std::filesystem::exists(dir + "/HovraServer.cfg"));
  EXPECT_TRUE(host.Settings().GetString("UUID").has_value());
  delegate.WaitForBackgroundTasks();
  EXPECT_EQ(delegate.AddressList(), "  192.168.1.5\n");

  host.Take();
  host.MainQueue().Tick();
  EXPECT_EQ(host.Take(), Lines{R"({"kind":"notice","message":"  192.168.1.5\n","url":""})"});
  EXPECT_TRUE(platform::GetUi().IsNotificationPanelVisible());
  host.MainQueue().Tick();
  // A new message shows at the next tick, and the panel closes on the fifth tick after.
  OfferNotice("second", "https://example.test");
  host.MainQueue().Tick();
  for (int tick = 1; tick <= 4; ++tick) {
    host.MainQueue().Tick();
    EXPECT_TRUE(platform::GetUi().IsNotificationPanelVisible()) << tick;
  }
  host.MainQueue().Tick();
  EXPECT_FALSE(platform::GetUi().IsNotificationPanelVisible());
}

}  // namespace
}  // namespace hovra::app
