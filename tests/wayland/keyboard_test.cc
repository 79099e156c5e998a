// Key frames and typed text reach a Wayland window as the right characters, including
// characters no key of the keymap carries, with held modifiers kept out of typed text.
#include "tests/wayland/wayland_fixture.h"

namespace hovra::testing {
namespace {

class WaylandKeyboard : public WaylandFixture {};

TEST_F(WaylandKeyboard, KeyFramesAndTextArriveAsTheirCharacters) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_TRUE(client_->WaitForKeyboard()) << sway_->Log();
  Key("a");
  Key("A");
  Type(u8"é中");
  EXPECT_EQ(client_->TakeText(4), U"aAé中");
}

}  // namespace
}  // namespace hovra::testing
