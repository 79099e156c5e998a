#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

class Buttons : public InputTest {
 protected:
  std::string LeftDown(std::optional<int> count = {}) { return MouseLine(1, 960, 540, 0, count); }
  std::string LeftUp(std::optional<int> count = {}) { return MouseLine(2, 960, 540, 0, count); }
  void LeftClickAt(uint32_t tick, uint32_t held = 0) {
    g_fakeTick = tick;
    SendMouseRawKey(kMouseLeft, false);
    g_fakeTick += held;
    SendMouseRawKey(kMouseLeft, true);
  }
  // The lines of left clicks with these counts (1: no click state).
  Lines Clicks(const std::vector<int>& counts) {
    Lines lines;
    for (int n : counts) {
      lines.push_back(LeftDown(n > 1 ? std::optional<int>(n) : std::nullopt));
      lines.push_back(LeftUp(n > 1 ? std::optional<int>(n) : std::nullopt));
    }
    return lines;
  }
};

// Presses within 200 ms of the previous press count up to three; the 32-bit tick wraps.
TEST_F(Buttons, QuickLeftPressesCountUpToThreeAcrossTheClockWrap) {
  struct Case {
    std::vector<uint32_t> ticks;
    std::vector<int> counts;
    uint32_t held = 0;  // press to release
  };
  const Case cases[] = {
      {{100000, 100150, 100300, 100450, 100651}, {1, 2, 3, 3, 1}},
      {{0, 150, 199, 500}, {1, 2, 3, 1}},           // early ticks count like any other
      {{0xFFFFFFF0u, 0xFFFFFFF0u + 100u}, {1, 2}},  // wrapped to 84, 100 ms later
      {{0xFFFFFFFFu, 199u}, {1, 2}},                // exactly 200 ms across the wrap
      {{0xFFFFFFFFu, 200u}, {1, 1}},                // 201 ms
      {{100u, 0xFFFFFFF0u}, {1, 1}},                // the clock stepped back
      // Measured press to press: a release neither moves nor ends the window.
      {{100000, 100200}, {1, 2}, 190},
      {{100000, 100300}, {1, 1}, 190},
  };
  for (const Case& c : cases) {
    ResetClickAndDragState();
    for (uint32_t tick : c.ticks) LeftClickAt(tick, c.held);
    EXPECT_EQ(Take(), Clicks(c.counts)) << ::testing::PrintToString(c.ticks);
  }
}

TEST_F(Buttons, OtherButtonsAndClicksNeitherCountNorCarryTheCount) {
  LeftClickAt(100000);
  g_fakeTick = 100050;
  SendMouseRawKey(kMouseRight, false);
  SendMouseRawKey(kMouseRight, true);
  SendMouseRawKey(kMouseMiddle, false);
  SendMouseRawKey(kMouseMiddle, true);
  SendMouseRawKey(static_cast<MouseKey_>(7), false);
  for (MouseKey_ key : {kMouseLeft, kMouseRight, kMouseMiddle, static_cast<MouseKey_>(-1)})
    SendMouseClick(key);
  LeftClickAt(100100);
  EXPECT_EQ(Take(),
            Lines({LeftDown(), LeftUp(), MouseLine(3, 960, 540), MouseLine(4, 960, 540),
                   MouseLine(25, 960, 540, 2), MouseLine(26, 960, 540, 2), LeftDown(), LeftUp(),
                   MouseLine(3, 960, 540), MouseLine(4, 960, 540), LeftDown(2), LeftUp(2)}));
}

TEST_F(Buttons, DragPressesMovesAndReleasesWhereTheLastStepEnded) {
  DragStart();
  DragMove(10, 5);
  DragMove(0, 0);  // nothing
  DragMove(-4, 2);
  SendMouseMove(100, 100);  // the pointer moves on; the drag still ends at its last step
  DragEnd();
  EXPECT_EQ(Take(), Lines({LeftDown(), MouseLine(6, 970, 545), MouseLine(6, 966, 547),
                           MouseLine(6, 1066, 647), MouseLine(2, 966, 547)}));
}

TEST_F(Buttons, DragEndNeverCarriesAClickCountAndWithoutAStartReleasesAtTheOrigin) {
  LeftClickAt(100000);
  g_fakeTick = 100100;
  DragStart();  // a quick second press: a double-click drag
  DragEnd();
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(), LeftDown(2), LeftUp()}));
  ResetClickAndDragState();
  DragEnd();
  EXPECT_EQ(Take(), Lines({MouseLine(2, 0, 0)}));
}

using platform::Point;

// Main 1920x1080; above it a lower one; below it another; right of it a shorter one
// starting 200 up; left of it one of 1024.
constexpr std::string_view kFiveScreens =
    R"({"screens":[[0,0,1920,1080],[0,1080,1280,1024],[0,-900,1600,900],[1920,200,1280,800],)"
    R"([-1280,0,1280,1024]],"pointer":[)";

using PointerPosition = InputTest;

// Event space flips y with the main screen (dy grows downward); a step that lands on
// another screen crosses unclamped, one into empty space stops at the edge per axis.
TEST_F(PointerPosition, StepsFromWhereThePointerIsOnFiveScreens) {
  struct Case {
    double x, y;  // the pointer, global
    int dx, dy;
    Point expected;
  };
  const Case cases[] = {
      {960, 540, 5, 3, {965, 543}},
      // The top row of the main screen; fractions are truncated.
      {100, 1080, 0, 0, {100, 0}},
      {100.9, 500.7, 0, 0, {100, 580}},
      // On the screens above, below, right and left.
      {100, 1500, 0, 0, {100, -420}},
      {100, -400, 3, 0, {103, 1480}},
      {2500, 900, 0, 0, {2500, 180}},
      {-100, 300, 0, -1, {-100, 779}},
      // Onto another screen: up, down, right, left and back onto the main one.
      {100, 1075, 0, -10, {100, -5}},
      {50, 10, 0, 20, {50, 1090}},
      {1900, 500, 50, 0, {1950, 580}},
      {2000, 210, -100, 0, {1900, 870}},
      // Into empty space.
      {1900, 100, 50, 0, {1919, 980}},
      {2500, 900, 0, -500, {2500, 80}},
      {3000, 500, 9999, 9999, {3199, 879}},
      // Off every screen: the step is ignored.
      {5000, 5000, 10, 10, {5000, -3920}},
  };
  for (const Case& c : cases) {
    UseDesktop(std::string(kFiveScreens) + std::to_string(c.x) + "," + std::to_string(c.y) + "]}");
    EXPECT_EQ(GetMousePosForEvent(c.dx, c.dy), c.expected)
        << c.x << "," << c.y << " by " << c.dx << "," << c.dy;
  }
  UseDesktop(R"({"screens":[],"pointer":[10,20]})");
  EXPECT_EQ(GetMousePosForEvent(3, 3), (Point{10, -20}));
  UseDesktop(R"({"screens":[]})");
  EXPECT_EQ(GetMousePosForEvent(3, 3), (Point{0, 0}));
  UseDesktop(R"({"screens":[[0,0,800,600],[0,0,0,0],[800,0,0,600]],"pointer":[799,300]})");
  EXPECT_EQ(GetMousePosForEvent(5, 0), (Point{799, 300})) << "zero-sized frames hold nothing";
}

TEST_F(PointerPosition, MovesAreDraggedWhileTheLeftButtonIsDown) {
  SendMouseMove(5, 3);
  SendMouseRawKey(kMouseLeft, false);
  SendMouseMove(1, 1);
  SendMouseRawKey(kMouseLeft, true);
  SendMouseMove(1, 1);
  EXPECT_EQ(Take(), Lines({R"({"kind":"mouse","type":5,"x":965,"y":543,"button":0})",
                           MouseLine(1, 965, 543), MouseLine(6, 966, 544), MouseLine(2, 966, 544),
                           MouseLine(5, 967, 545)}));
}

}  // namespace
}  // namespace hovra::testing
