// Key frames and typed text reach a focused window as the right characters, whatever the
// keyboard layout, with held modifiers kept out of typed text.
#include "actions/window_shortcuts.h"
#include "input/keystrokes.h"
#include "tests/x11/x11_fixture.h"

namespace hovra::testing {
namespace {

class X11Keyboard : public X11Fixture, public ::testing::WithParamInterface<const char*> {};

// ASCII, accented Latin, symbols, a CJK character and one beyond the 16-bit plane.
constexpr char8_t kText[] = u8"Hi, 1=2? é ß ü ç € µ 中 😀";
constexpr char32_t kTextTyped[] = U"Hi, 1=2? é ß ü ç € µ 中 😀";

TEST_P(X11Keyboard, KeyFramesAndTextTypeTheSameCharactersOnEveryLayout) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_TRUE(SetLayout(GetParam()));  // changed under a running connection
  for (const char* name :
       {"a", "z", "y", "q", "m", "A",  "Z",  "1", "!", "2", "@", "7", "=", "+", "-",
        "_", "[", "}", ";", "'", "\"", "\\", "/", "?", ",", ".", "`", "~", " "}) {
    Key(name);
  }
  EXPECT_EQ(Typed(), U"azyqmAZ1!2@7=+-_[};'\"\\/?,.`~ ");
  Type(kText);
  EXPECT_EQ(Typed(), kTextTyped);
  Type(kText);  // again: the spare keys it bound are reused, not exhausted
  Key("RTN");
  EXPECT_EQ(Typed(), std::u32string(kTextTyped) + U"\r");
}

TEST_F(X11Keyboard, KeysBoundForTextAreRestoredWhenTheServicesClose) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  constexpr unsigned long kMiddleKeysym = 0x01004e2d;  // 中, which no layout here carries
  EXPECT_FALSE(window_->KeymapHas(kMiddleKeysym));
  Type(u8"中文字");
  EXPECT_EQ(Typed(), U"中文字");
  EXPECT_TRUE(window_->KeymapHas(kMiddleKeysym));
  platform::Install(platform::Services{});
  events_.reset();
  EXPECT_FALSE(window_->KeymapHas(kMiddleKeysym));
}

INSTANTIATE_TEST_SUITE_P(Layouts, X11Keyboard, ::testing::Values("us", "de", "fr"));

class X11Modifiers : public X11Fixture {};

TEST_F(X11Modifiers, HeldShiftShiftsKeysButNotText) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  Key("[R] SHIFT d");
  Key("a");
  Type(u8"ab1!é");
  Key("a");
  Key("[R] SHIFT u");
  Key("a");
  EXPECT_EQ(Typed(), U"Aab1!éAa");
}

TEST_F(X11Modifiers, ExplicitFlagsCarryExactlyTheirModifiers) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  Key("[R] SHIFT d");
  platform::GetEvents().PostSequence(actions::shortcuts::kMinimizeWindow);  // Command-H
  Key("b");
  Key("[R] SHIFT u");
  ASSERT_TRUE(events_->Sync());
  std::vector<KeyRecord> keys = window_->TakeKeys();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].character, U'h');
  EXPECT_EQ(keys[0].state & (kShiftMask | kControlMask | kAltMask | kSuperMask),
            unsigned{kSuperMask});
  EXPECT_EQ(keys[1].character, U'B');  // the held Shift is back after the shortcut
  EXPECT_EQ(keys[1].state & (kShiftMask | kSuperMask), unsigned{kShiftMask});
}

TEST_F(X11Modifiers, AnOptionFlagAddsAltAndHeldKeysAreLetGoAtClose) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  platform::KeyEvent down{.code = 3,
                          .down = true,
                          .source = platform::EventSource::kHid,
                          .flags = platform::kFlagOption | platform::kFlagControl,
                          .unicode = {}};
  platform::KeyEvent up = down;
  up.down = false;
  platform::GetEvents().PostKey(down);
  platform::GetEvents().PostKey(up);
  Key("[R] CTRL d");
  ASSERT_TRUE(events_->Sync());
  std::vector<KeyRecord> keys = window_->TakeKeys();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].character, U'f');
  EXPECT_EQ(keys[0].state & (kShiftMask | kControlMask | kAltMask | kSuperMask),
            unsigned{kControlMask | kAltMask});
  unsigned state = 0;
  window_->Pointer(nullptr, nullptr, &state);
  EXPECT_EQ(state & (kControlMask | kAltMask), unsigned{kControlMask});  // Alt went with the f
  platform::Install(platform::Services{});  // nothing may reach the closed services
  events_.reset();
  window_->Pointer(nullptr, nullptr, &state);
  EXPECT_EQ(state & kControlMask, 0u);  // the held Control was let go
}

}  // namespace
}  // namespace hovra::testing
