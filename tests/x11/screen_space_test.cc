// Conversions between root coordinates, event space and screen space.
#include "platform/x11/screen_space.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hovra::platform::x11 {
namespace {

TEST(X11ScreenSpace, MonitorsAreFlippedAboutThePrimaryBottomEdge) {
  MonitorRect primary{640, 100, 640, 600};
  EXPECT_EQ(MonitorToScreenSpace(primary, primary), (Rect{0, 0, 640, 600}));
  EXPECT_EQ(MonitorToScreenSpace({0, 0, 640, 800}, primary), (Rect{-640, -100, 640, 800}));
  EXPECT_EQ(MonitorToScreenSpace({1280, 0, 1920, 1080}, primary), (Rect{640, -380, 1920, 1080}));
  EXPECT_EQ(RootToScreenSpace(640, 100, primary), (Point{0, 600}));  // top-left pixel
  EXPECT_EQ(RootToEventSpace(640, 100, primary), (Point{0, 0}));
  EXPECT_EQ(RootToEventSpace(0, 0, primary), (Point{-640, -100}));
}

TEST(X11ScreenSpace, EventPositionsRoundAndStayInTheWireRange) {
  MonitorRect primary{640, 100, 640, 600};
  EXPECT_EQ(EventToRoot({10.4, 20.6}, primary), (std::pair{650, 121}));
  EXPECT_EQ(EventToRoot({-700, -101}, primary), (std::pair{-60, -1}));
  EXPECT_EQ(EventToRoot({1e12, -1e12}, primary), (std::pair{32767, -32768}));
  EXPECT_EQ(EventToRoot({std::nan(""), 0}, primary), (std::pair{0, 100}));
}

}  // namespace
}  // namespace hovra::platform::x11
