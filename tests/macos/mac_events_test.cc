// The event services through the input layer on a recording Quartz; the Accessibility gate.
#include "platform/macos/mac_events.h"

#include <gtest/gtest.h>

#include <functional>

#include "input/gestures.h"
#include "input/key_names.h"
#include "input/keystrokes.h"
#include "input/pointer.h"
#include "input/wheel.h"
#include "platform/macos/accessibility_gate.h"
#include "tests/app/shell_test_support.h"
#include "tests/macos/fake_quartz.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

const unsigned char* Utf8(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

struct MacEvents : ::testing::Test {
  MacEvents() {
    FillKeyNameMaps();
    ResetWheelState();
    ResetClickAndDragState();
  }
  TestPlatform platform_;
};

// With a creation failing (`failing`: the how many-th) nothing is half-posted or leaked.
TEST_F(MacEvents, EachInputBecomesItsQuartzCallsAndAFailedCreationPostsNothing) {
  struct Case {
    const char* what;
    int failing;
    std::function<void()> post;
    Lines log;
  };
  auto click = [](int64_t count) {
    return [count] {
      platform::GetEvents().PostMouse({platform::kLeftMouseDown, {10, 20}, 0, count});
    };
  };
  // clang-format off
  const Case cases[] = {
      {"keys without source, to the HID tap one by one", 0, [] { SendKeyPress("A"); },
       {"key #1 source=none code=56 down", "post #1 tap=0", "release #1",
        "key #2 source=none code=0 down", "post #2 tap=0", "release #2",
        "key #3 source=none code=0 up", "post #3 tap=0", "release #3",
        "key #4 source=none code=56 up", "post #4 tap=0", "release #4"}},
      {"a shortcut: one HID source, released last; flags on the Command events", 0,
       [] { ZoomOut(); },
       {"source #1 state=1", "key #2 source=#1 code=55 down", "flags #2 0x100000",
        "key #3 source=#1 code=78 down", "key #4 source=#1 code=78 up",
        "key #5 source=#1 code=55 up", "flags #5 0x100000", "post #2 tap=0",
        "post #3 tap=0", "post #4 tap=0", "post #5 tap=0", "release #2", "release #3",
        "release #4", "release #5", "release #1"}},
      {"a single click: no click state", 0, click(1),
       {"mouse #1 source=none type=1 at=10,20 button=0", "post #1 tap=0", "release #1"}},
      {"a double click", 0, click(2),
       {"mouse #1 source=none type=1 at=10,20 button=0", "field #1 1=2", "post #1 tap=0",
        "release #1"}},
      {"a triple click", 0, click(3),
       {"mouse #1 source=none type=1 at=10,20 button=0", "field #1 1=3", "post #1 tap=0",
        "release #1"}},
      {"scroll: one pixel event, two wheels, vertical first", 0,
       [] { SendMouseWheel(12); SendMouseHWheel(-15); CommitMouseWheel(); },
       {"scroll #1 source=none units=0 wheels=2 2,-3,0", "post #1 tap=0", "release #1"}},
      {"the source of a shortcut failing", 1, [] { ZoomIn(); }, {"source null state=1"}},
      {"the second key of a shortcut failing", 3, [] { ZoomIn(); },
       {"source #1 state=1", "key #2 source=#1 code=55 down", "flags #2 0x100000",
        "key null source=#1 code=69 down", "release #2", "release #1"}},
      {"a text event failing", 1, [] { HandleUtf8String(Utf8("x")); },
       {"key null source=none code=1 down", "key #1 source=none code=1 up", "unicode #1 [120]",
        "flags #1 0", "post #1 tap=0", "release #1"}},
      {"a mouse event failing", 1, [] { platform::GetEvents().PostMouse({2, {5, 5}, 0, 2}); },
       {"mouse null source=none type=2 at=5,5 button=0"}},
      {"a scroll event failing", 1, [] { platform::GetEvents().PostScroll({3, 4}); },
       {"scroll null source=none units=0 wheels=2 3,4,0"}},
      {"the pointer probe failing", 1, [] { EXPECT_EQ(platform::GetEvents().PointerEventLocation(), platform::Point{}); },
       {"probe null source=none"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MacStack mac;
    if (c.failing) mac.quartz.FailCreation(c.failing);
    c.post();
    EXPECT_EQ(mac.quartz.TakeLog(), c.log);
  }
}

TEST_F(MacEvents, TextIsTypedUnitByUnitWithoutSourceWithFlagsZeroSetAfterTheString) {
  MacStack mac;
  HandleUtf8String(Utf8("\xC3\xA9\xF0\x9F\x98\x80"));  // U+00E9, U+1F600
  Lines expected;
  int n = 0;
  for (int unit : {233, 55357, 56832}) {
    for (const char* direction : {" down", " up"}) {
      std::string ref = "#" + std::to_string(++n);
      expected.insert(expected.end(),
                      {"key " + ref + " source=none code=1" + direction,
                       "unicode " + ref + " [" + std::to_string(unit) + "]", "flags " + ref + " 0",
                       "post " + ref + " tap=0", "release " + ref});
    }
  }
  EXPECT_EQ(mac.quartz.TakeLog(), expected);
}

TEST_F(MacEvents, ButtonsAreReadFromTheSessionsCombinedState) {
  MacStack mac;
  mac.quartz.buttonsHeld = 0b101;  // left and centre
  EXPECT_EQ(mac.events.PressedMouseButtons(), 0b101u);
  EXPECT_FALSE(mac.quartz.buttonStatesAsked.empty());
  for (auto state : mac.quartz.buttonStatesAsked)
    EXPECT_EQ(state, quartz::kSourceStateCombinedSession);
  SendMouseMove(3, 0);  // the left button held: a drag
  EXPECT_EQ(mac.quartz.TakeLog()[2], "mouse #2 source=none type=6 at=963,540 button=0");
}

using platform::macos::AccessibilityGate;
using namespace std::chrono_literals;

struct FakeTrust : platform::macos::TrustCalls {
  quartz::Boolean IsProcessTrustedWithOptions(bool prompt) override {
    prompts.push_back(prompt);
    return trusted;
  }
  bool trusted = false;
  std::vector<bool> prompts;  // one per question: whether the prompt was allowed
};

TEST(AccessibilityGate, OnlyTheFirstQuestionMayPromptARefusalShowsTheNoticeAndPostingRechecks) {
  AccessibilityGate::Clock::time_point now{};
  FakeTrust trust;
  AccessibilityGate spaced(
      trust, [&now] { return now; }, 5000ms);
  EXPECT_FALSE(spaced.TrustedForPosting());
  trust.trusted = true;  // granted in System Settings meanwhile
  now += 4999ms;
  EXPECT_FALSE(spaced.TrustedForPosting()) << "the last answer is still fresh";
  now += 1ms;
  EXPECT_TRUE(spaced.TrustedForPosting());
  EXPECT_EQ(trust.prompts, (std::vector<bool>{true, false}));

  FakeTrust refused;
  AccessibilityGate gate(refused);
  RecordingUi ui;
  EXPECT_FALSE(platform::macos::AskForAccessibility(gate, ui));
  EXPECT_EQ(ui.panels,
            std::vector<std::string>{std::string(platform::macos::kAccessibilityNotice) + " | " +
                                     platform::macos::kAccessibilitySettingsUrl});
  EXPECT_FALSE(platform::macos::AskForAccessibility(gate, ui));
  refused.trusted = true;
  EXPECT_TRUE(gate.Check());
  EXPECT_EQ(refused.prompts, (std::vector<bool>{true, false, false}));

  FakeTrust granted;
  granted.trusted = true;
  AccessibilityGate trustedGate(granted);
  RecordingUi quiet;
  EXPECT_TRUE(platform::macos::AskForAccessibility(trustedGate, quiet));
  EXPECT_TRUE(quiet.panels.empty());
}

TEST_F(MacEvents, EventsAskTheAccessibilityGateBeforeTheyArePosted) {
  FakeTrust trust;
  AccessibilityGate gate(trust);
  MacStack mac(&gate);
  SendKeyPress("a");
  SendKeyPress("b");
  EXPECT_EQ(trust.prompts.size(), 1u);
  EXPECT_EQ(mac.quartz.TakeLog().size(), 12u) << "posted all the same: the system decides";
}

}  // namespace
}  // namespace hovra::testing
