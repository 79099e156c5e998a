// The wayland backend under headless sway.
#include "platform/wayland/xkb_keymap.h"
#include "tests/wayland/wayland_fixture.h"

namespace hovra::testing {
namespace {

class WaylandSharedCases : public WaylandFixture,
                           public ::testing::WithParamInterface<InputCase> {};

TEST_P(WaylandSharedCases, TheWindowSeesWhatTheCaseExpects) {
  const InputSeen& expected = GetParam().expected;
  Play(GetParam());
  ASSERT_TRUE(events_->Sync());
  InputSeen seen;
  seen.text = client_->TakeText(expected.text.size());
  for (auto [code, state, x, y] :
       client_->Take<unsigned, int, double, double>("button", expected.buttons.size())) {
    const auto button = static_cast<Button>(code - 0x110);  // BTN_LEFT, BTN_RIGHT, BTN_MIDDLE
    seen.buttons.push_back({button, state == 1, static_cast<int>(x), static_cast<int>(y)});
  }
  // Wheel steps come one axis per line: gather until the expected totals (or the wait is over).
  WaitUntil(
      [&] {
        for (auto [axis, steps] : client_->Take<unsigned, int>("discrete", 1, 100ms)) {
          (axis == 0 ? seen.wheelUp : seen.wheelLeft) -= steps;  // Wayland's go down and right
        }
        return seen.wheelUp == expected.wheelUp && seen.wheelLeft == expected.wheelLeft;
      },
      3s);
  if (expected.pointer) {
    seen.pointer = events_->PointerEventLocation();
    EXPECT_TRUE(client_->WaitForPointerAt(expected.pointer->x, expected.pointer->y));
  }
  EXPECT_EQ(seen, expected);
}

INSTANTIATE_TEST_SUITE_P(Shared, WaylandSharedCases, ::testing::ValuesIn(SharedInputCases()),
                         InputCaseName());

TEST_F(WaylandFixture, MoreCharactersThanSpareKeysAreAllTyped) {
  std::u32string many;
  std::string text;
  for (char32_t c = 0x4E00; c < 0x4E00 + platform::wayland::kMaxBoundKeys + 8; ++c) {
    many += c;  // CJK ideographs: three bytes of UTF-8 each
    text += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
  }
  Type(text);
  EXPECT_EQ(client_->TakeText(many.size(), 15s), many);
}

TEST_F(WaylandFixture, ExplicitFlagsCarryExactlyTheirModifiersAndAHugeWheelDeltaIsCapped) {
  PostExplicitFlagKeys();
  Key("c");
  EXPECT_EQ(client_->TakeText(4), U"hBfc");
  using Keys = std::vector<std::tuple<std::string, std::string>>;      // keysym, modifiers
  Keys keys = client_->Take<std::string, std::string>("key", 0, 0ms);  // read by now
  std::erase_if(keys, [](const auto& key) {  // the modifier keys pressed around them
    return std::get<0>(key).ends_with("_L") || std::get<0>(key).ends_with("_R");
  });
  EXPECT_EQ(keys, (Keys{{"h", "Mod4"},  // the held Shift let go around it
                        {"B", "Shift"},
                        {"f", "Control+Mod1"},
                        {"c", "-"}}));
  Mouse("m 1 1");  // the pointer onto the window first
  platform::GetEvents().PostScroll({.vertical = -2000000000, .horizontal = 0});
  EXPECT_EQ(
      (client_->Take<unsigned, int>("discrete", 1)),
      (std::vector<std::tuple<unsigned, int>>{{0, platform::wayland::kMaxWheelClicksPerEvent}}));
}

constexpr char kTwoOutputs[] =  // A 640x800 at the left, B 640x600 beside it, 100 lower
    "output HEADLESS-1 resolution 640x800 position 0 0\n"
    "output HEADLESS-2 resolution 640x600 position 640 100\n";

class WaylandTwoOutputs : public WaylandFixture {
  void SetUp() override {
    Start(kTwoOutputs, 2, R"({"screens":[[0,0,640,800],[640,100,640,600]],"pointer":[320,400]})");
  }
};

TEST_F(WaylandTwoOutputs, MovesCrossAndClampAsOnTheSimulatedDesktop) {
  ASSERT_TRUE(sway_->Command("focus output HEADLESS-2"));
  WaylandClient second(*sway_, "org.hovra.Second");  // to see the pointer there
  ASSERT_TRUE(second.Ready() && second.WaitForLine("pointer-ready"));
  EXPECT_EQ(events_->ScreenFrames(), journal_->ScreenFrames());
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{320, 400}));
  // Across to B, clamped at B's right and top edges, then back onto A and down to its bottom.
  for (auto [dx, dy] : std::vector<std::pair<int, int>>{
           {280, 0}, {100, 0}, {5000, 0}, {-10, -5000}, {-700, 300}, {0, 5000}, {50, -10}}) {
    platform::Point expected = MoveBoth(dx, dy);
    EXPECT_EQ(events_->PointerEventLocation(), expected);
    bool onSecond = expected.x >= 640;
    WaylandClient& window = onSecond ? second : *client_;
    EXPECT_TRUE(window.WaitForPointerAt(expected.x - (onSecond ? 640 : 0),
                                        expected.y - (onSecond ? 100 : 0)))
        << "after " << dx << "," << dy;
  }
  // The outputs are the screens, followed as they change.
  ASSERT_TRUE(sway_->Command("output HEADLESS-2 position 0 800"));
  std::vector<platform::Rect> below{{0, 0, 640, 800}, {0, -600, 640, 600}};
  EXPECT_TRUE(WaitUntil([&] { return events_->ScreenFrames() == below; }, 5s));
}

}  // namespace
}  // namespace hovra::testing
