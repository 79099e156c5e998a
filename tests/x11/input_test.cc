// The X11 backend under Xvfb.
#include "tests/x11/x11_fixture.h"

namespace hovra::testing {
namespace {

constexpr Button kXButtons[] = {Button::kLeft, Button::kMiddle, Button::kRight};

class X11SharedCases : public X11Fixture, public ::testing::WithParamInterface<InputCase> {};

TEST_P(X11SharedCases, TheWindowSeesWhatTheCaseExpects) {
  window_->WarpPointer(640, 400);
  Play(GetParam());
  InputSeen seen;
  seen.text = Synced().TakeText();
  for (auto [code, press, x, y] : Synced().TakeButtons()) {
    if (code <= 3) {  // 1 left, 2 middle, 3 right
      seen.buttons.push_back({kXButtons[code - 1], press, x, y});
    } else if (press) {  // wheel clicks: 4 up, 5 down, 6 left, 7 right
      (code <= 5 ? seen.wheelUp : seen.wheelLeft) += code % 2 == 0 ? 1 : -1;
    }
  }
  if (GetParam().expected.pointer) seen.pointer = events_->PointerEventLocation();
  EXPECT_EQ(seen, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Shared, X11SharedCases, ::testing::ValuesIn(SharedInputCases()),
                         InputCaseName());

// The keyboard map is read again when the layout changes under a running connection.
class X11Layouts : public X11Fixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(X11Layouts, TheTypingCasesTypeTheSameCharacters) {
  ASSERT_TRUE(xvfb_->Run("setxkbmap", {GetParam()}));
  for (const InputCase& c : SharedInputCases()) {
    if (c.expected.text.empty()) continue;
    Play(c);
    EXPECT_EQ(Synced().TakeText(), c.expected.text) << c.label;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, X11Layouts, ::testing::Values("de", "fr"));

TEST_F(X11Fixture, KeysBoundForTextAreGivenBackWhenTheServicesClose) {
  constexpr unsigned long kMiddleKeysym = 0x01004e2d;  // 中, which no layout here carries
  EXPECT_FALSE(window_->KeymapHas(kMiddleKeysym));
  Type("中文字");
  EXPECT_EQ(Synced().TakeText(), U"中文字");
  EXPECT_TRUE(window_->KeymapHas(kMiddleKeysym));
  platform::Install(platform::Services{});
  events_.reset();
  EXPECT_FALSE(window_->KeymapHas(kMiddleKeysym));
}

TEST_F(X11Fixture, ExplicitFlagsCarryExactlyTheirModifiersAndHeldKeysAreLetGoAtClose) {
  PostExplicitFlagKeys();
  Key("[R] CTRL d");
  EXPECT_EQ(Synced().TakeKeys(),
            (std::vector<TypedKey>{
                {U'h', kSuperMask}, {U'B', kShiftMask}, {U'f', kControlMask | kAltMask}}));
  unsigned state = 0;
  window_->Pointer(nullptr, nullptr, &state);
  EXPECT_EQ(state & (kControlMask | kAltMask), unsigned{kControlMask});  // Alt went with the f
  platform::Install(platform::Services{});  // nothing may reach the closed services
  events_.reset();
  window_->Pointer(nullptr, nullptr, &state);
  EXPECT_EQ(state & kControlMask, 0u);  // the held Control was let go
}

TEST_F(X11Fixture, HeldButtonsAreTheServersAndAHugeWheelDeltaIsCapped) {
  Mouse("R l d");
  EXPECT_EQ(events_->PressedMouseButtons(), 1u);
  Mouse("R l u");
  EXPECT_EQ(events_->PressedMouseButtons(), 0u);
  Synced().TakeButtons();
  platform::GetEvents().PostScroll({.vertical = -2000000000, .horizontal = 0});
  std::vector<ButtonRecord> records = Synced().TakeButtons();
  EXPECT_EQ(records.size(), 2u * platform::x11::kMaxWheelClicksPerEvent);
  EXPECT_EQ(records.front(), (ButtonRecord{5, true, 640, 400}));
}

// Monitors set with xrandr ("*": the primary); the X pointer ends where the simulated one does.
struct Arrangement {
  const char* label;
  const char* simJson;
  std::vector<std::pair<std::string, std::string>> monitors;
  platform::Point pointerAt;  // root coordinates
  platform::Point primary;    // the primary monitor's root position
  std::vector<std::pair<int, int>> moves;
};

class X11Monitors : public X11Fixture, public ::testing::WithParamInterface<Arrangement> {
  std::string_view SimJson() const override { return GetParam().simJson; }
};

TEST_P(X11Monitors, MovesCrossAndClampAsOnTheSimulatedDesktop) {
  const Arrangement& a = GetParam();
  for (size_t i = 0; i < a.monitors.size(); ++i) {
    ASSERT_TRUE(xvfb_->Run("xrandr", {"--setmonitor", a.monitors[i].first, a.monitors[i].second,
                                      i == 0 ? "screen" : "none"}));
  }
  window_->WarpPointer(static_cast<int>(a.pointerAt.x), static_cast<int>(a.pointerAt.y));
  EXPECT_EQ(events_->ScreenFrames(), journal_->ScreenFrames());
  EXPECT_EQ(events_->PointerLocation(), journal_->PointerLocation());
  for (auto [dx, dy] : a.moves) {
    platform::Point expected = MoveBoth(dx, dy);
    ASSERT_TRUE(events_->Sync());
    int x = 0, y = 0;
    window_->Pointer(&x, &y);
    EXPECT_EQ((platform::Point{x - a.primary.x, y - a.primary.y}), expected)
        << "after " << dx << "," << dy;
    EXPECT_EQ(events_->PointerEventLocation(), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Arrangements, X11Monitors,
    ::testing::Values(
        // A (primary) 640x800 at the left, B 640x600 beside it, 100 pixels lower: across
        // to B, clamped at its right and top edges, back onto A and down to its bottom.
        Arrangement{"PrimaryLeft",
                    R"({"screens":[[0,0,640,800],[640,100,640,600]],"pointer":[600,400]})",
                    {{"*A", "640/160x800/200+0+0"}, {"B", "640/160x600/150+640+100"}},
                    {600, 400},
                    {0, 0},
                    {{100, 0}, {5000, 0}, {-10, -5000}, {-700, 300}, {0, 5000}, {50, -10}}},
        // B, the primary, lies right of and below A's top: event space shifted by (640, 100).
        Arrangement{"PrimaryRightAndLower",
                    R"({"screens":[[0,0,640,600],[-640,-100,640,800]],"pointer":[100,300]})",
                    {{"*B", "640/160x600/150+640+100"}, {"A", "640/160x800/200+0+0"}},
                    {740, 400},
                    {640, 100},
                    {{-200, 0}, {-5000, 0}, {0, -5000}, {300, 40}, {10, 5000}}}),
    [](const ::testing::TestParamInfo<Arrangement>& p) { return p.param.label; });

}  // namespace
}  // namespace hovra::testing
