// The shared input cases on an X display: the focused window sees what every backend must.
#include "tests/support/input_cases.h"
#include "tests/x11/x11_fixture.h"

namespace hovra::testing {
namespace {

class X11SharedCases : public X11Fixture, public ::testing::WithParamInterface<InputCase> {};

TEST_P(X11SharedCases, TheWindowSeesWhatTheCaseExpects) {
  Start(kSharedDesktopSim);
  if (HasFatalFailure() || IsSkipped()) return;
  window_->WarpPointer(640, 400);
  for (const InputStep& step : GetParam().steps) PlayInputStep(step, held_);
  InputSeen seen;
  seen.text = Typed();
  for (const ButtonRecord& record : Buttons()) {
    switch (record.button) {
      case 1:
      case 2:
      case 3:
        seen.buttons.push_back({record.button == 1   ? Button::kLeft
                                : record.button == 3 ? Button::kRight
                                                     : Button::kMiddle,
                                record.press, record.x, record.y});
        break;
      default:  // wheel clicks: 4 up, 5 down, 6 left, 7 right
        if (!record.press) break;
        if (record.button <= 5) seen.wheelUp += record.button == 4 ? 1 : -1;
        if (record.button >= 6) seen.wheelLeft += record.button == 6 ? 1 : -1;
    }
  }
  if (GetParam().expected.pointer) seen.pointer = events_->PointerEventLocation();
  EXPECT_EQ(seen, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Shared, X11SharedCases, ::testing::ValuesIn(SharedInputCases()),
                         InputCaseName());

}  // namespace
}  // namespace hovra::testing
