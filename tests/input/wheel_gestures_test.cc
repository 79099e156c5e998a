#include "tests/input/input_fixture.h"
#include "tests/support/input_cases.h"

namespace hovra::testing {
namespace {

class Wheel : public InputTest {};

// Each string is one read of "mos" payloads; the wheel is committed after each read.
TEST_F(Wheel, StepsGatherPerReadAndFiveMakeANotch) {
  struct Case {
    std::vector<std::string> reads;
    Lines expected;
  };
  const Case cases[] = {
      // Explicit amounts add and divide toward zero.
      {{"w 12 h 3", "w -10", "h -7", "w -3 w -4 h 4"},
       {ScrollLine(2, 0), ScrollLine(-2, 0), ScrollLine(0, -1), ScrollLine(-1, 0)}},
      // A single step (1 up, 0 down) discards the opposite steps before it; amounts never do.
      {{"w 3 w 0", "w -12 w 1 w 1 w 1 w 1 w 1", "h 0 h 0 h 0 h 0 h 0 h -2",
        "h 9 h 0 h 0 h 0 h 0 h 0"},
       {ScrollLine(1, 0), ScrollLine(0, -1), ScrollLine(0, -1)}},
      // Huge amounts saturate instead of overflowing.
      {{"w 2147483647 w 2147483647 h -2147483648 h 0"}, {ScrollLine(429496729, -429496729)}},
  };
  HeldInput held;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reads[0]);
    for (const std::string& read : c.reads) PlayInputStep({InputStep::kMouse, read}, held);
    EXPECT_EQ(Take(), c.expected);
  }
}

class Gestures : public InputTest {};

TEST_F(Gestures, ZoomAndSlideDownPostKeysFromTheHidSource) {
  ZoomIn();
  EXPECT_EQ(Take(), Lines({R"({"kind":"key","code":55,"down":true,"source":"hid","flags":1048576})",
                           KeyLine(69, true, "hid", 0x100000), KeyLine(69, false, "hid", 0x100000),
                           KeyLine(55, false, "hid", 0x100000)}));
  ZoomOut();  // the keypad minus events carry no explicit flags
  EXPECT_EQ(Take(), Lines({KeyLine(55, true, "hid", 0x100000),
                           R"({"kind":"key","code":78,"down":true,"source":"hid"})",
                           KeyLine(78, false, "hid"), KeyLine(55, false, "hid", 0x100000)}));
  SlideDown();  // minimises with Option-Command-H and M
  EXPECT_EQ(Take(),
            Lines({KeyLine(58, true, "hid", 0x80000), KeyLine(55, true, "hid", 0x100000),
                   KeyLine(4, true, "hid", 0x180000), KeyLine(46, true, "hid", 0x180000),
                   KeyLine(46, false, "hid", 0x180000), KeyLine(4, false, "hid", 0x180000),
                   KeyLine(58, false, "hid", 0x80000), KeyLine(55, false, "hid", 0x100000)}));
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
  // The first end finds nothing open: nothing to do.
  for (void (*step)() :
       {SlideEnd, SlideBegin, SlideLeft, SlideLeft, SlideRight, SlideEnd, SlideRight, SlideEnd})
    step();
  EXPECT_EQ(Take(), Lines({kStartReverse, kBack, kForward, kEnd, kStartForward, kEnd}));
  EXPECT_FALSE(IsSwitchingWindows());
  SlideUp();  // closes an open switch before Mission Control
  SlideRight();
  SlideUp();
  EXPECT_EQ(Take(), Lines({kMissionControl, kStartForward, kEnd, kMissionControl}));
}

}  // namespace
}  // namespace hovra::testing
