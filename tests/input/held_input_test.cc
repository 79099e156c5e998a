#include "input/held_input.h"

#include "input/gestures.h"
#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

class Held : public InputTest {
 protected:
  HeldInput client_;
  HeldInput other_;
};

TEST_F(Held, NothingHeldReleasesNothing) {
  client_.ReleaseAll();
  client_.RawKey(56, false);
  client_.RawKey(56, true);
  client_.MouseButton(kMouseRight, false);
  client_.MouseButton(kMouseRight, true);
  client_.DragStart();
  client_.DragEnd();
  client_.RawKey(kNoKey, false);
  client_.MouseButton(static_cast<MouseKey_>(5), false);
  Take();
  client_.ReleaseAll();
  EXPECT_TRUE(Take().empty());
}

TEST_F(Held, ReleasesMostRecentlyPressedFirstAndOnlyOnce) {
  client_.RawKey(56, false);
  client_.MouseButton(kMouseRight, false);
  client_.RawKey(59, false);
  client_.RawKey(56, false);  // pressed again: still released once, in its first place
  Take();
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({KeyLine(59, false), MouseLine(4, 960, 540), KeyLine(56, false)}));
  client_.ReleaseAll();
  EXPECT_TRUE(Take().empty());
}

TEST_F(Held, WhatTheClientLetGoOfIsNotReleasedAgain) {
  client_.RawKey(56, false);
  client_.RawKey(59, false);
  client_.RawKey(56, true);
  client_.MouseButton(kMouseMiddle, false);
  client_.MouseButton(kMouseLeft, false);
  client_.MouseButton(kMouseMiddle, true);
  Take();
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({MouseLine(2, 960, 540), KeyLine(59, false)}));
}

TEST_F(Held, ButtonsAreReleasedWhereThePointerIsNow) {
  client_.MouseButton(kMouseMiddle, false);
  SendMouseMove(10, 10);
  Take();
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({MouseLine(26, 970, 550, 2)}));
}

TEST_F(Held, AnUnfinishedDragReleasesTheLeftButton) {
  client_.DragStart();
  DragMove(20, -20);
  SendMouseMove(5, 0);
  Take();
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({MouseLine(2, 985, 520)}));
  EXPECT_EQ(platform_->Desktop().PressedButtons() & 1u, 0u);
}

TEST_F(Held, DragEndAndRawReleasesLetGoOfTheSameLeftButton) {
  client_.MouseButton(kMouseLeft, false);
  client_.DragEnd();
  client_.DragStart();
  client_.MouseButton(kMouseLeft, true);
  Take();
  client_.ReleaseAll();
  EXPECT_TRUE(Take().empty());
}

TEST_F(Held, TheSwitcherThisClientOpenedIsClosed) {
  client_.SlideLeft();
  client_.SlideLeft();  // a step inside, still the same switch
  Take();
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({kEnd}));
  EXPECT_FALSE(IsSwitchingWindows());
  client_.SlideRight();
  client_.SlideEnd();
  client_.SlideRight();
  client_.SlideUp();
  Take();
  client_.ReleaseAll();
  EXPECT_TRUE(Take().empty());
}

TEST_F(Held, CommandLeftDownBySlideBeginIsStillReleased) {
  client_.SlideRight();
  client_.SlideBegin();
  client_.SlideEnd();  // the switch is forgotten: this does nothing, Command stays down
  EXPECT_EQ(Take(), Lines({kStartForward}));
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({kEnd}));
}

TEST_F(Held, ASwitcherEndedOrRestartedByAnotherClientIsNotThisClientsToClose) {
  client_.SlideLeft();
  other_.SlideEnd();
  Take();
  client_.ReleaseAll();
  EXPECT_TRUE(Take().empty());

  client_.SlideLeft();
  client_.SlideBegin();
  other_.SlideRight();  // presses Command again: now the other client's switch
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({kStartReverse, kStartForward}));
  other_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({kEnd}));
}

TEST_F(Held, SwitcherKeysAndButtonsUnwindInOneOrder) {
  client_.RawKey(56, false);
  client_.SlideRight();
  client_.MouseButton(kMouseRight, false);
  Take();
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({MouseLine(4, 960, 540), kEnd, KeyLine(56, false)}));
}

TEST_F(Held, EachClientReleasesOnlyItsOwn) {
  client_.RawKey(56, false);
  other_.RawKey(59, false);
  Take();
  client_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({KeyLine(56, false)}));
  other_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({KeyLine(59, false)}));
}

}  // namespace
}  // namespace hovra::testing
