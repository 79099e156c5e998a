#include "input/pointer.h"
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
};

TEST_F(Buttons, QuickLeftPressesCountUpToThreeOnPressAndRelease) {
  LeftClickAt(100000);
  LeftClickAt(100150);
  LeftClickAt(100300);
  LeftClickAt(100450);  // stays at 3
  LeftClickAt(100651);  // 201 ms later: a new sequence
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(),
                           R"({"kind":"mouse","type":1,"x":960,"y":540,"button":0,"clickState":2})",
                           LeftUp(2), LeftDown(3), LeftUp(3), LeftDown(3), LeftUp(3), LeftDown(),
                           LeftUp()}));
}

TEST_F(Buttons, TheWindowIsMeasuredPressToPressAndIncludes200) {
  g_fakeTick = 100000;
  SendMouseRawKey(kMouseLeft, false);
  g_fakeTick = 100190;
  SendMouseRawKey(kMouseLeft, true);  // releases do not move the window
  g_fakeTick = 100200;
  SendMouseRawKey(kMouseLeft, false);
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(), LeftDown(2)}));
}

TEST_F(Buttons, EarlyTicksCountLikeAnyOther) {
  LeftClickAt(0);
  LeftClickAt(150);
  LeftClickAt(199);
  LeftClickAt(500);  // 301 ms after the last press: a new sequence
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(), LeftDown(2), LeftUp(2), LeftDown(3), LeftUp(3),
                           LeftDown(), LeftUp()}));
}

// The tick is 32 bits of milliseconds and wraps after about 49.7 days.
TEST_F(Buttons, TheClockWrapsByUnsignedDifference) {
  struct Case {
    uint32_t first, second;
    bool quick;
  };
  const Case cases[] = {
      {0xFFFFFFF0u, 0xFFFFFFF0u + 100u, true},  // wrapped to 84, 100 ms later
      {0xFFFFFFFFu, 199u, true},                // exactly 200 ms across the wrap
      {0xFFFFFFFFu, 200u, false},               // 201 ms
      {0x80000000u, 5000u, false},              // a press weeks before the wrap
      {0xFFFFFF00u, 10u, false},                // 266 ms, across the wrap
      {100u, 0xFFFFFFF0u, false},               // the clock stepped back
  };
  for (const Case& c : cases) {
    ResetClickAndDragState();
    LeftClickAt(c.first);
    LeftClickAt(c.second);
    const Lines expected = c.quick ? Lines({LeftDown(), LeftUp(), LeftDown(2), LeftUp(2)})
                                   : Lines({LeftDown(), LeftUp(), LeftDown(), LeftUp()});
    EXPECT_EQ(Take(), expected) << c.first << " then " << c.second;
  }
  ResetClickAndDragState();
  LeftClickAt(0xFFFFFFF0u);
  LeftClickAt(0xFFFFFFF0u + 100u);
  LeftClickAt(250);  // 166 ms after the wrapped press: the third click
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(), LeftDown(2), LeftUp(2), LeftDown(3), LeftUp(3)}));
}

TEST_F(Buttons, RightAndMiddleButtonsNeitherCountNorCarryTheCount) {
  LeftClickAt(100000);
  g_fakeTick = 100050;
  SendMouseRawKey(kMouseRight, false);
  SendMouseRawKey(kMouseRight, true);
  SendMouseRawKey(kMouseMiddle, false);
  SendMouseRawKey(kMouseMiddle, true);
  SendMouseRawKey(static_cast<MouseKey_>(7), false);
  LeftClickAt(100100);
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(), MouseLine(3, 960, 540), MouseLine(4, 960, 540),
                           MouseLine(25, 960, 540, 2), MouseLine(26, 960, 540, 2), LeftDown(2),
                           LeftUp(2)}));
}

TEST_F(Buttons, ClicksPressAndReleaseWithoutTouchingTheCount) {
  LeftClickAt(100000);
  g_fakeTick = 100100;
  SendMouseClick(kMouseLeft);
  SendMouseClick(kMouseRight);
  SendMouseClick(kMouseMiddle);
  SendMouseClick(static_cast<MouseKey_>(-1));
  LeftClickAt(100150);
  EXPECT_EQ(Take(), Lines({LeftDown(), LeftUp(), LeftDown(), LeftUp(), MouseLine(3, 960, 540),
                           MouseLine(4, 960, 540), LeftDown(2), LeftUp(2)}));
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
