// Key frames and typed text reach a Wayland window as the right characters, including
// characters no key of the keymap carries, with held modifiers kept out of typed text and
// explicit flags carrying exactly their modifiers.
#include "actions/window_shortcuts.h"
#include "platform/wayland/xkb_keymap.h"
#include "tests/wayland/wayland_fixture.h"

namespace hovra::testing {
namespace {

// ASCII, accented Latin, symbols, a CJK character and one beyond the 16-bit plane.
constexpr char8_t kText[] = u8"Hi, 1=2? é ß ü ç € µ 中 😀";
constexpr char32_t kTextTyped[] = U"Hi, 1=2? é ß ü ç € µ 中 😀";

// The character keys of `keys`, without the modifier keys pressed around them.
std::vector<WaylandKey> CharacterKeys(std::vector<WaylandKey> keys) {
  std::erase_if(keys, [](const WaylandKey& key) {
    return key.keysym.ends_with("_L") || key.keysym.ends_with("_R");
  });
  return keys;
}

class WaylandKeyboard : public WaylandFixture {
 protected:
  void SetUp() override {
    Start();
    if (HasFatalFailure() || IsSkipped()) return;
    ASSERT_TRUE(client_->WaitForKeyboard()) << sway_->Log();
  }
};

TEST_F(WaylandKeyboard, KeyFramesAndTextTypeTheirCharacters) {
  if (IsSkipped()) return;
  std::u32string names = U"azyqmAZ1!2@7=+-_[};'\"\\/?,.`~ ";
  for (const char* name :
       {"a", "z", "y", "q", "m", "A",  "Z",  "1", "!", "2", "@", "7", "=", "+", "-",
        "_", "[", "}", ";", "'", "\"", "\\", "/", "?", ",", ".", "`", "~", " "}) {
    Key(name);
  }
  EXPECT_EQ(client_->TakeText(names.size()), names);
  std::u32string typed = kTextTyped;
  Type(kText);
  EXPECT_EQ(client_->TakeText(typed.size()), typed);
  Type(kText);  // again: the spare keys it bound are reused
  Key("RTN");
  EXPECT_EQ(client_->TakeText(typed.size() + 1), typed + U"\r");
}

TEST_F(WaylandKeyboard, MoreCharactersThanSpareKeysAreAllTyped) {
  if (IsSkipped()) return;
  std::u32string many;
  for (size_t i = 0; i < platform::wayland::kMaxBoundKeys + 8; ++i) many += char32_t(0x4E00 + i);
  std::u8string text;
  for (char32_t c : many) {  // UTF-8 of CJK ideographs: three bytes each
    text += char8_t(0xE0 | (c >> 12));
    text += char8_t(0x80 | ((c >> 6) & 0x3F));
    text += char8_t(0x80 | (c & 0x3F));
  }
  Type(text.c_str());
  EXPECT_EQ(client_->TakeText(many.size(), 15s), many);
}

TEST_F(WaylandKeyboard, ExplicitFlagsCarryExactlyTheirModifiers) {
  if (IsSkipped()) return;
  Key("[R] SHIFT d");
  platform::GetEvents().PostSequence(actions::shortcuts::kMinimizeWindow);  // Command-H
  Key("b");
  Key("[R] SHIFT u");
  platform::KeyEvent down{.code = 3,
                          .down = true,
                          .source = platform::EventSource::kHid,
                          .flags = platform::kFlagOption | platform::kFlagControl,
                          .unicode = {}};
  platform::KeyEvent up = down;
  up.down = false;
  platform::GetEvents().PostKey(down);
  platform::GetEvents().PostKey(up);
  Key("c");
  EXPECT_EQ(client_->TakeText(4), U"hBfc");
  std::vector<WaylandKey> keys = CharacterKeys(client_->TakeKeys(0, 0ms));  // read by now
  EXPECT_EQ(keys, (std::vector<WaylandKey>{{"h", "Mod4"},  // the held Shift let go around it
                                           {"B", "Shift"},
                                           {"f", "Control+Mod1"},
                                           {"c", "-"}}));
}

}  // namespace
}  // namespace hovra::testing
