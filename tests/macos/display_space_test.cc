// Displays and the pointer through Quartz: bounds become screen frames, main display first.
#include "platform/macos/display_space.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "input/pointer.h"
#include "tests/macos/fake_quartz.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

using platform::Rect;

quartz::Rect Bounds(double x, double y, double w, double h) { return {{x, y}, {w, h}}; }

TEST(MacDisplays, BoundsBecomeScreenFramesWithTheMainDisplayFirst) {
  struct Case {
    const char* arrangement;
    std::map<quartz::DisplayId, quartz::Rect> displays;
    std::vector<quartz::DisplayId> systemOrder;
    std::vector<Rect> frames;
    bool listFails = false;
  };
  const Case cases[] = {
      {"one display", {{1, Bounds(0, 0, 1920, 1080)}}, {1}, {{0, 0, 1920, 1080}}},
      {"a smaller display above, listed first",
       {{1, Bounds(0, 0, 1920, 1080)}, {2, Bounds(200, -900, 1440, 900)}},
       {2, 1},
       {{0, 0, 1920, 1080}, {200, 1080, 1440, 900}}},
      {"a taller display to the left, bottoms aligned",
       {{1, Bounds(0, 0, 1920, 1080)}, {2, Bounds(-1200, -840, 1200, 1920)}},
       {1, 2},
       {{0, 0, 1920, 1080}, {-1200, 0, 1200, 1920}}},
      {"a display below and one to the right",
       {{1, Bounds(0, 0, 1440, 900)},
        {2, Bounds(0, 900, 1920, 1080)},
        {3, Bounds(1440, 0, 800, 600)}},
       {3, 2, 1},
       {{0, 0, 1440, 900}, {1440, 300, 800, 600}, {0, -1080, 1920, 1080}}},
      {"no display list: the main display alone",
       {{7, Bounds(0, 0, 2560, 1440)}, {8, Bounds(2560, 0, 1920, 1080)}},
       {7, 8},
       {{0, 0, 2560, 1440}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arrangement);
    FakeQuartz quartz;
    quartz.displays = c.displays;
    quartz.activeOrder = c.systemOrder;
    quartz.mainDisplay = c.displays.begin()->first;
    quartz.displayListFails = c.listFails;
    EXPECT_EQ(platform::macos::ScreenFramesOf(quartz), c.frames);
  }
}

TEST(MacPointer, ThePointerMovesOnAndAcrossADisplayAboveTheMainOne) {
  TestPlatform host;
  ResetClickAndDragState();
  MacStack mac;
  mac.quartz.displays = {{1, Bounds(0, 0, 1920, 1080)}, {2, Bounds(0, -900, 1440, 900)}};
  mac.quartz.activeOrder = {2, 1};
  auto movedTo = [&mac](quartz::Point from, int dx, int dy) -> std::string {
    mac.quartz.pointer = from;
    SendMouseMove(dx, dy);
    std::vector<std::string> log = mac.quartz.TakeLog();
    auto mouse = std::ranges::find_if(log, [](auto& line) { return line.starts_with("mouse"); });
    return mouse == log.end() ? "nothing posted" : mouse->substr(mouse->find("at="));
  };
  EXPECT_EQ(mac.events.PointerLocation(), (platform::Point{960, 540}));
  mac.quartz.pointer = {100, -500};
  EXPECT_EQ(mac.events.PointerLocation(), (platform::Point{100, 1580}));
  EXPECT_EQ(movedTo({100, -500}, 0, 10), "at=100,-490 button=0");
  EXPECT_EQ(movedTo({100, -900}, 5, 0), "at=105,-900 button=0") << "its top row";
  EXPECT_EQ(movedTo({100, 0}, 0, -5), "at=100,-5 button=0") << "up onto it";
  EXPECT_EQ(movedTo({100, -1}, 0, 3), "at=100,2 button=0") << "down off it";
  EXPECT_EQ(movedTo({1600, 0}, 0, -5), "at=1600,0 button=0") << "nothing above it there";
}

}  // namespace
}  // namespace hovra::testing
