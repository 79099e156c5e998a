// The simulated desktop: its configuration and the pointer that follows posted events.
#include "platform/journal/sim_desktop.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/test_platform.h"

namespace hovra::platform::journal {
namespace {

TEST(SimConfig, DefaultsToOneFullHdScreenWithThePointerInTheMiddle) {
  SimDesktop desktop(SimConfig::Parse("{}"));
  ASSERT_EQ(desktop.Screens().size(), 1u);
  EXPECT_EQ(desktop.Screens()[0], (Rect{0, 0, 1920, 1080}));
  EXPECT_EQ(desktop.Pointer(), (Point{960, 540}));
}

TEST(SimConfig, ReadsEveryMember) {
  SimConfig c = SimConfig::Parse(R"({"screens":[[0,0,800,600],[800,100,400,300]],
      "pointer":[10,20],"machineName":"Joe's Mac","osVersion":"14.2","userName":"joe",
      "home":"/h","addresses":["192.168.1.5"],"installed":{"org.videolan.vlc":"/A/VLC.app"},
      "running":[{"bundleId":"com.apple.finder","name":"Finder","policy":0}],
      "dockPlist":"d.plist","icons":{"/A/VLC.app":["a.png","b.png"]}})");
  EXPECT_EQ(c.screens.size(), 2u);
  EXPECT_EQ(c.screens[1], (Rect{800, 100, 400, 300}));
  EXPECT_EQ(*c.machineName, "Joe's Mac");
  EXPECT_EQ(c.installed.at("org.videolan.vlc"), "/A/VLC.app");
  ASSERT_EQ(c.running.size(), 1u);
  EXPECT_EQ(c.running[0].name, "Finder");
  EXPECT_EQ(c.icons.at("/A/VLC.app").size(), 2u);
  EXPECT_EQ(c.dockPlist, "d.plist");
}

TEST(SimConfig, RejectsMalformedInputWithAReason) {
  EXPECT_THROW(SimConfig::Parse("[1,2]"), std::runtime_error);
  EXPECT_THROW(SimConfig::Parse(R"({"screens":[[0,0,800]]})"), std::runtime_error);
  EXPECT_THROW(SimConfig::Parse(R"({"pointer":"middle"})"), std::runtime_error);
  EXPECT_THROW(SimConfig::Parse("{"), std::runtime_error);
}

TEST(SimDesktop, PointerFollowsMouseEventsTheGlobalWay) {
  // A second screen above the main one: event y is measured from the main screen's top.
  testing::TestPlatform platform(R"({"screens":[[0,0,1000,800],[0,800,1000,500]]})");
  GetEvents().PostMouse(MouseEvent{kMouseMoved, Point{10, -100}, 0, {}});
  EXPECT_EQ(platform.Desktop().Pointer(), (Point{10, 900}));
  EXPECT_EQ(platform.Desktop().PointerInEventSpace(), (Point{10, -100}));
  GetEvents().PostMouse(MouseEvent{kLeftMouseDown, Point{10, 5}, 0, {}});
  EXPECT_EQ(GetEvents().PressedMouseButtons() & 1u, 1u);
  GetEvents().PostMouse(MouseEvent{kLeftMouseUp, Point{10, 5}, 0, {}});
  EXPECT_EQ(GetEvents().PressedMouseButtons() & 1u, 0u);
  EXPECT_EQ(platform.Take().size(), 3u);
}

TEST(SimDesktop, RunningListFollowsNotices) {
  SimDesktop desktop(SimConfig::Parse(R"({"running":[{"bundleId":"a","name":"A"}]})"));
  desktop.ApplyNotice(WorkspaceEvent{WorkspaceEventKind::kLaunched, RunningApp{"b", "B", 0}});
  desktop.ApplyNotice(WorkspaceEvent{WorkspaceEventKind::kDeactivated, RunningApp{"b", "B", 1}});
  desktop.ApplyNotice(WorkspaceEvent{WorkspaceEventKind::kTerminated, RunningApp{"a", "A", 0}});
  ASSERT_EQ(desktop.Running().size(), 1u);
  EXPECT_EQ(desktop.Running()[0].bundleId, "b");
  EXPECT_EQ(desktop.Running()[0].policy, 1);
}

}  // namespace
}  // namespace hovra::platform::journal
