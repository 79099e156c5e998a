#include "base/log.h"
#include "input/pointer.h"
#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

using platform::Point;

// Main 1920x1080; above it a lower one; below it another; right of it a shorter one
// starting 200 up; left of it one of 1024.
constexpr std::string_view kFiveScreens =
    R"({"screens":[[0,0,1920,1080],[0,1080,1280,1024],[0,-900,1600,900],[1920,200,1280,800],)"
    R"([-1280,0,1280,1024]],"pointer":[%X,%Y]})";

class PointerPosition : public InputTest {
 protected:
  void PointerAt(double x, double y) {
    std::string sim(kFiveScreens);
    sim.replace(sim.find("%X"), 2, std::to_string(x));
    sim.replace(sim.find("%Y"), 2, std::to_string(y));
    UseDesktop(sim);
  }
};

TEST_F(PointerPosition, MovesOnOneScreenFlipWithTheMainScreen) {
  PointerAt(960, 540);
  EXPECT_EQ(GetMousePosForEvent(0, 0), (Point{960, 540}));
  EXPECT_EQ(GetMousePosForEvent(5, 3), (Point{965, 543}));  // dy grows downward
  EXPECT_EQ(GetMousePosForEvent(-5, -3), (Point{955, 537}));
  PointerAt(100, 1080);  // the main screen's upper edge is its top row
  EXPECT_EQ(GetMousePosForEvent(0, 0), (Point{100, 0}));
  PointerAt(100.9, 500.7);  // truncated, no rounding
  EXPECT_EQ(GetMousePosForEvent(0, 0), (Point{100, 580}));
}

TEST_F(PointerPosition, ScreensAboveBelowAndBesideFlipWithTheMainScreenToo) {
  PointerAt(100, 1500);  // on the screen above
  EXPECT_EQ(GetMousePosForEvent(0, 0), (Point{100, -420}));
  EXPECT_EQ(GetMousePosForEvent(0, 10), (Point{100, -410}));
  PointerAt(100, -400);  // on the screen below
  EXPECT_EQ(GetMousePosForEvent(3, 0), (Point{103, 1480}));
  PointerAt(2500, 900);  // on the shorter screen to the right
  EXPECT_EQ(GetMousePosForEvent(0, 0), (Point{2500, 180}));
  PointerAt(-100, 300);  // on the screen to the left
  EXPECT_EQ(GetMousePosForEvent(0, -1), (Point{-100, 779}));
}

TEST_F(PointerPosition, StepsLandingOnAnotherScreenCrossUnclamped) {
  PointerAt(100, 1075);
  EXPECT_EQ(GetMousePosForEvent(0, -10), (Point{100, -5}));  // up onto the screen above
  PointerAt(50, 10);
  EXPECT_EQ(GetMousePosForEvent(0, 20), (Point{50, 1090}));  // down onto the screen below
  PointerAt(1900, 500);
  EXPECT_EQ(GetMousePosForEvent(50, 0), (Point{1950, 580}));  // right onto the shorter screen
  PointerAt(5, 500);
  EXPECT_EQ(GetMousePosForEvent(-20, 0), (Point{-15, 580}));  // left
  PointerAt(2000, 210);
  EXPECT_EQ(GetMousePosForEvent(-100, 0), (Point{1900, 870}));  // back onto the main screen
}

TEST_F(PointerPosition, StepsIntoEmptySpaceStopAtTheScreenEdgePerAxis) {
  PointerAt(1900, 100);  // right of here, below the right screen, is no screen
  EXPECT_EQ(GetMousePosForEvent(50, 0), (Point{1919, 980}));
  EXPECT_EQ(GetMousePosForEvent(50, 10), (Point{1919, 990}));  // the vertical part still applies
  PointerAt(2500, 900);  // up from the shorter right screen: its top row, flipped with main
  EXPECT_EQ(GetMousePosForEvent(0, -500), (Point{2500, 80}));
  PointerAt(3000, 500);  // far right of the right screen
  EXPECT_EQ(GetMousePosForEvent(9999, 9999), (Point{3199, 879}));
  PointerAt(1200, 2000);  // right of the upper screen is no screen
  EXPECT_EQ(GetMousePosForEvent(500, 0), (Point{1279, -920}));
}

TEST_F(PointerPosition, PointerOffEveryScreenIgnoresTheStep) {
  PointerAt(5000, 5000);
  EXPECT_EQ(GetMousePosForEvent(10, 10), (Point{5000, -3920}));
  UseDesktop(R"({"screens":[],"pointer":[10,20]})");
  EXPECT_EQ(GetMousePosForEvent(3, 3), (Point{10, -20}));
  UseDesktop(R"({"screens":[]})");
  EXPECT_EQ(GetMousePosForEvent(3, 3), (Point{0, 0}));
}

TEST_F(PointerPosition, ZeroSizedFramesHoldNothing) {
  UseDesktop(R"({"screens":[[0,0,800,600],[0,0,0,0],[800,0,0,600]],"pointer":[799,300]})");
  EXPECT_EQ(GetMousePosForEvent(5, 0), (Point{799, 300}));
}

// The simulated pointer converts event positions back the global way, so a walk across
// screens must leave it exactly where the steps add up to.
TEST_F(PointerPosition, MovesLeaveTheSimulatedPointerWhereTheStepsSayAcrossScreens) {
  PointerAt(100, 1000);
  SendMouseMove(0, -100);  // onto the screen above
  EXPECT_EQ(Pointer(), (Point{100, 1100}));
  SendMouseMove(10, -50);
  EXPECT_EQ(Pointer(), (Point{110, 1150}));
  SendMouseMove(5000, 0);  // stops at the upper screen's right column
  EXPECT_EQ(Pointer(), (Point{1279, 1150}));
  SendMouseMove(0, 200);  // back down onto the main screen
  EXPECT_EQ(Pointer(), (Point{1279, 950}));
  SendMouseMove(1000, 0);  // right, onto the right screen
  EXPECT_EQ(Pointer(), (Point{2279, 950}));
  SendMouseMove(0, 900);  // down: stops at the right screen's bottom row
  EXPECT_EQ(Pointer(), (Point{2279, 201}));
  SendMouseMove(0, 0);  // posts nothing
  EXPECT_EQ(Take().size(), 6u);
}

TEST_F(PointerPosition, MovesAreDraggedWhileTheLeftButtonIsDown) {
  PointerAt(960, 540);
  SendMouseMove(5, 3);
  SendMouseRawKey(kMouseLeft, false);
  SendMouseMove(1, 1);
  SendMouseRawKey(kMouseLeft, true);
  SendMouseMove(1, 1);
  EXPECT_EQ(Take(), Lines({R"({"kind":"mouse","type":5,"x":965,"y":543,"button":0})",
                           MouseLine(1, 965, 543), MouseLine(6, 966, 544), MouseLine(2, 966, 544),
                           MouseLine(5, 967, 545)}));
}

TEST_F(PointerPosition, ScreensAreLoggedOneLineEachWhenVerbose) {
  UseDesktop(R"({"screens":[[0,0,1920,1080],[1920,0.5,1280,1024]]})");
  ::testing::internal::CaptureStderr();
  outputScreens();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  SetVerbose(true);
  ::testing::internal::CaptureStderr();
  outputScreens();
  SetVerbose(false);
  std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("0.000000 0.000000 1920.000000 1080.000000\n"), std::string::npos) << log;
  EXPECT_NE(log.find("1920.000000 0.500000 1280.000000 1024.000000\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace hovra::testing
