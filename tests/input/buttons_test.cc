#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

// The default desktop: one 1920x1080 screen, the pointer at its centre, (960, 540) in
// event space.
class Buttons : public InputTest {
 protected:
  std::string LeftDown(std::optional<int> clickState = {}) {
    return MouseLine(1, 960, 540, 0, clickState);
  }
  std::string LeftUp(std::optional<int> clickState = {}) {
    return MouseLine(2, 960, 540, 0, clickState);
  }
  void LeftClickAt(uint32_t tick) {
    g_fakeTick = tick;
    SendMouseRawKey(kMouseLeft, false);
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

// Presses within 200 ms of the previous press count up to three. The tick is 32 bits of
// milliseconds and wraps after about 49.7 days: differences are taken unsigned.
TEST_F(Buttons, QuickLeftPressesCountUpToThreeAcrossTheClockWrap) {
  struct Case {
    std::vector<uint32_t> ticks;
    std::vector<int> counts;
  };
  const Case cases[] = {
      {{100000, 100150, 100300, 100450, 100651}, {1, 2, 3, 3, 1}},
      {{0, 150, 199, 500}, {1, 2, 3, 1}},           // early ticks count like any other
      {{0xFFFFFFF0u, 0xFFFFFFF0u + 100u}, {1, 2}},  // wrapped to 84, 100 ms later
      {{0xFFFFFFFFu, 199u}, {1, 2}},                // exactly 200 ms across the wrap
      {{0xFFFFFFFFu, 200u}, {1, 1}},                // 201 ms
      {{100u, 0xFFFFFFF0u}, {1, 1}},                // the clock stepped back
  };
  for (const Case& c : cases) {
    ResetClickAndDragState();
    for (uint32_t tick : c.ticks) LeftClickAt(tick);
    EXPECT_EQ(Take(), Clicks(c.counts)) << ::testing::PrintToString(c.ticks);
  }
  // The window is measured press to press: a release does not move it.
  ResetClickAndDragState();
  g_fakeTick = 100000;
  SendMouseRawKey(kMouseLeft, false);
  g_fakeTick = 100190;
  SendMouseRawKey(kMouseLeft, true);
  g_fakeTick = 100200;
  SendMouseRawKey(kMouseLeft, false);
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(), LeftDown(2)}));
}

TEST_F(Buttons, OtherButtonsAndClicksNeitherCountNorCarryTheCount) {
  LeftClickAt(100000);
  g_fakeTick = 100050;
  SendMouseRawKey(kMouseRight, false);
  SendMouseRawKey(kMouseRight, true);
  SendMouseRawKey(kMouseMiddle, false);
  SendMouseRawKey(kMouseMiddle, true);
  SendMouseRawKey(static_cast<MouseKey_>(7), false);
  SendMouseClick(kMouseLeft);
  SendMouseClick(kMouseRight);
  SendMouseClick(kMouseMiddle);
  SendMouseClick(static_cast<MouseKey_>(-1));
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

}  // namespace
}  // namespace hovra::testing
