#include "input/gestures.h"
#include "input/wheel.h"
#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

class Wheel : public InputTest {};

TEST_F(Wheel, SingleStepsUnderFivePostNothingAndLeaveNothingBehind) {
  SendMouseWheel(1);
  CommitMouseWheel();
  for (int i = 0; i < 4; ++i) SendMouseWheel(1);
  CommitMouseWheel();  // 4 steps: dropped, not carried over
  SendMouseWheel(1);
  CommitMouseWheel();
  EXPECT_TRUE(Take().empty());
}

TEST_F(Wheel, FiveStepsMakeOneNotchAndRemaindersAreDropped) {
  for (int i = 0; i < 5; ++i) SendMouseWheel(1);
  CommitMouseWheel();
  EXPECT_EQ(Take(), Lines({R"({"kind":"scroll","vertical":1,"horizontal":0})"}));
  for (int i = 0; i < 9; ++i) SendMouseWheel(1);
  CommitMouseWheel();
  CommitMouseWheel();  // nothing left over
  EXPECT_EQ(Take(), Lines({ScrollLine(1, 0)}));
}

TEST_F(Wheel, ExplicitAmountsAddAndDivideTowardZero) {
  SendMouseWheel(12);
  SendMouseHWheel(3);
  CommitMouseWheel();
  SendMouseWheel(-10);
  CommitMouseWheel();
  SendMouseHWheel(-7);
  CommitMouseWheel();
  SendMouseWheel(-3);
  SendMouseWheel(-4);
  SendMouseHWheel(4);
  CommitMouseWheel();
  EXPECT_EQ(Take(),
            Lines({ScrollLine(2, 0), ScrollLine(-2, 0), ScrollLine(0, -1), ScrollLine(-1, 0)}));
}

TEST_F(Wheel, SingleStepsDiscardOppositeStepsOfTheBatch) {
  SendMouseWheel(3);
  SendMouseWheel(0);  // reset to 0, then one step down
  CommitMouseWheel();
  EXPECT_TRUE(Take().empty());
  SendMouseWheel(-12);
  SendMouseWheel(1);  // discards the -12
  for (int i = 0; i < 4; ++i) SendMouseWheel(1);
  CommitMouseWheel();
  for (int i = 0; i < 5; ++i) SendMouseHWheel(0);
  SendMouseHWheel(-2);  // explicit amounts never reset
  CommitMouseWheel();
  SendMouseHWheel(9);
  SendMouseHWheel(0);
  for (int i = 0; i < 4; ++i) SendMouseHWheel(0);
  CommitMouseWheel();
  EXPECT_EQ(Take(), Lines({ScrollLine(1, 0), ScrollLine(0, -1), ScrollLine(0, -1)}));
}

TEST_F(Wheel, HugeAmountsSaturateInsteadOfOverflowing) {
  SendMouseWheel(2147483647);
  SendMouseWheel(2147483647);
  SendMouseHWheel(-2147483647 - 1);
  SendMouseHWheel(0);
  CommitMouseWheel();
  EXPECT_EQ(Take(), Lines({ScrollLine(429496729, -429496729)}));
}

class Gestures : public InputTest {};

TEST_F(Gestures, ZoomPostsCommandWithTheKeypadKeysFromTheHidSource) {
  ZoomIn();
  EXPECT_EQ(Take(), Lines({R"({"kind":"key","code":55,"down":true,"source":"hid","flags":1048576})",
                           HidKeyLine(69, true, 0x100000), HidKeyLine(69, false, 0x100000),
                           HidKeyLine(55, false, 0x100000)}));
  ZoomOut();  // the keypad minus events carry no explicit flags
  EXPECT_EQ(Take(), Lines({HidKeyLine(55, true, 0x100000),
                           R"({"kind":"key","code":78,"down":true,"source":"hid"})",
                           HidKeyLine(78, false, std::nullopt), HidKeyLine(55, false, 0x100000)}));
}

TEST_F(Gestures, SlideDownMinimisesWithOptionCommandHAndM) {
  SlideDown();
  EXPECT_EQ(Take(), Lines({HidKeyLine(58, true, 0x80000), HidKeyLine(55, true, 0x100000),
                           HidKeyLine(4, true, 0x180000), HidKeyLine(46, true, 0x180000),
                           HidKeyLine(46, false, 0x180000), HidKeyLine(4, false, 0x180000),
                           HidKeyLine(58, false, 0x80000), HidKeyLine(55, false, 0x100000)}));
}

const std::string kBack = ScriptLine(
    "SwitchWindow.Back",
    R"(tell application \"System Events\"\nkey down {shift}\nkeystroke tab\nkey up {shift}\nend tell)");
const std::string kForward = ScriptLine(
    "SwitchWindow.Forward", R"(tell application \"System Events\"\nkeystroke tab\nend tell)");
const std::string kMissionControl =
    ScriptLine("MissionControl",
               R"(try\n\ttell application id \"com.apple.exposelauncher\" to launch\nend try)");

TEST_F(Gestures, SlidesOpenStepAndCloseTheSwitcher) {
  SlideEnd();  // nothing open: nothing to do
  SlideBegin();
  SlideLeft();
  SlideLeft();
  SlideRight();
  SlideEnd();
  SlideRight();
  SlideEnd();
  EXPECT_EQ(Take(), Lines({kStartReverse, kBack, kForward, kEnd, kStartForward, kEnd}));
  EXPECT_FALSE(IsSwitchingWindows());
}

TEST_F(Gestures, SlideBeginForgetsAnOpenSwitchWithoutReleasingCommand) {
  SlideRight();
  uint64_t holder = SwitcherHoldingCommand();
  EXPECT_NE(holder, 0u);
  SlideBegin();
  EXPECT_FALSE(IsSwitchingWindows());
  EXPECT_EQ(SwitcherHoldingCommand(), holder);  // Command is still down
  SlideEnd();
  SlideLeft();  // a new switch presses Command again
  EXPECT_GT(SwitcherHoldingCommand(), holder);
  SlideEnd();
  EXPECT_EQ(SwitcherHoldingCommand(), 0u);
  EXPECT_EQ(Take(), Lines({kStartForward, kStartReverse, kEnd}));
}

TEST_F(Gestures, SlideUpClosesAnOpenSwitchBeforeMissionControl) {
  SlideUp();
  SlideRight();
  SlideUp();
  EXPECT_EQ(Take(), Lines({kMissionControl, kStartForward, kEnd, kMissionControl}));
}

}  // namespace
}  // namespace hovra::testing
