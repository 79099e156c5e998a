// Conversions between layout coordinates, event space and screen space.
#include "platform/unix_input/layout_space.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hovra::platform::unix_input {
namespace {

TEST(LayoutSpace, MonitorsAreFlippedAboutTheMainBottomEdge) {
  LayoutRect main{640, 100, 640, 600};
  EXPECT_EQ(LayoutToScreenSpace(main, main), (Rect{0, 0, 640, 600}));
  EXPECT_EQ(LayoutToScreenSpace({0, 0, 640, 800}, main), (Rect{-640, -100, 640, 800}));
  EXPECT_EQ(LayoutToScreenSpace({1280, 0, 1920, 1080}, main), (Rect{640, -380, 1920, 1080}));
  EXPECT_EQ(LayoutPointToScreenSpace(640, 100, main), (Point{0, 600}));  // top-left pixel
  EXPECT_EQ(LayoutPointToEventSpace(640, 100, main), (Point{0, 0}));
  EXPECT_EQ(LayoutPointToEventSpace(0, 0, main), (Point{-640, -100}));
}

TEST(LayoutSpace, EventPositionsRoundAndStayInTheWireRange) {
  LayoutRect main{640, 100, 640, 600};
  EXPECT_EQ(EventToLayout({10.4, 20.6}, main), (std::pair{650, 121}));
  EXPECT_EQ(EventToLayout({-700, -101}, main), (std::pair{-60, -1}));
  EXPECT_EQ(EventToLayout({1e12, -1e12}, main), (std::pair{32767, -32768}));
  EXPECT_EQ(EventToLayout({std::nan(""), 0}, main), (std::pair{0, 100}));
}

}  // namespace
}  // namespace hovra::platform::unix_input
