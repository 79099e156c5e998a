// The shared input cases on a Wayland compositor: the window sees what every backend must.
#include "tests/support/input_cases.h"
#include "tests/wayland/wayland_fixture.h"

namespace hovra::testing {
namespace {

class WaylandSharedCases : public WaylandFixture,
                           public ::testing::WithParamInterface<InputCase> {};

TEST_P(WaylandSharedCases, TheWindowSeesWhatTheCaseExpects) {
  Start(kOneOutput, 1, kSharedDesktopSim);
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_TRUE(client_->WaitForKeyboard());
  const InputSeen& expected = GetParam().expected;
  for (const InputStep& step : GetParam().steps) PlayInputStep(step, held_);
  ASSERT_TRUE(events_->Sync());
  InputSeen seen;
  seen.text = client_->TakeText(expected.text.size());
  for (const WaylandButton& b : client_->TakeButtons(expected.buttons.size())) {
    Button button = b.code == 0x110   ? Button::kLeft
                    : b.code == 0x111 ? Button::kRight
                                      : Button::kMiddle;
    seen.buttons.push_back({button, b.press, static_cast<int>(b.x), static_cast<int>(b.y)});
  }
  // Wheel steps come one axis per line: gather until the expected totals (or the wait is over).
  auto deadline = std::chrono::steady_clock::now() + 3s;
  while ((seen.wheelUp != expected.wheelUp || seen.wheelLeft != expected.wheelLeft) &&
         std::chrono::steady_clock::now() < deadline) {
    for (auto [axis, steps] : client_->TakeWheel(1, 200ms)) {
      (axis == 0 ? seen.wheelUp : seen.wheelLeft) -= steps;  // Wayland's steps go down and right
    }
  }
  if (expected.pointer) {
    seen.pointer = events_->PointerEventLocation();
    EXPECT_TRUE(client_->WaitForPointerAt(expected.pointer->x, expected.pointer->y));
  }
  EXPECT_EQ(seen, expected);
}

INSTANTIATE_TEST_SUITE_P(Shared, WaylandSharedCases, ::testing::ValuesIn(SharedInputCases()),
                         InputCaseName());

}  // namespace
}  // namespace hovra::testing
