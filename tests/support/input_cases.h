// The input cases every backend runs (the journal always, x11 under Xvfb, wayland under
// headless sway) and what a desktop must then have seen, in terms every backend observes.
// Each desktop starts as one 1280x800 screen with the pointer at its centre.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "actions/window_shortcuts.h"
#include "input/held_input.h"
#include "input/key_names.h"
#include "input/keystrokes.h"
#include "input/pointer.h"
#include "input/wheel.h"
#include "platform/geometry.h"
#include "platform/services.h"
#include "server/frame_payloads.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {

inline constexpr char kSharedDesktopSim[] = R"({"screens":[[0,0,1280,800]],"pointer":[640,400]})";
inline constexpr char kEveryPlaneText[] =
    "Hi, 1=2? \xC3\xA9 \xC3\x9F \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80";
inline constexpr char32_t kEveryPlaneTyped[] = U"Hi, 1=2? é ß € 中 😀";

struct InputStep {
  enum Kind { kKey, kMouse, kText } kind;
  std::string payload;
};

enum class Button { kLeft, kRight, kMiddle };

struct ButtonSeen {
  Button button = Button::kLeft;
  bool press = false;
  int x = 0;  // event space
  int y = 0;
  friend bool operator==(const ButtonSeen&, const ButtonSeen&) = default;
};

struct InputSeen {
  std::u32string text{};
  std::vector<ButtonSeen> buttons{};
  int wheelUp = 0;                           // clicks up (negative: down)
  int wheelLeft = 0;                         // clicks left (negative: right)
  std::optional<platform::Point> pointer{};  // checked when the case names it
  friend bool operator==(const InputSeen&, const InputSeen&) = default;
};

struct InputCase {
  std::string label;
  std::vector<InputStep> steps;
  InputSeen expected;
};

inline std::ostream& operator<<(std::ostream& out, const InputCase& c) { return out << c.label; }
inline std::ostream& operator<<(std::ostream& out, const InputSeen& seen) {
  out << "text [";
  for (char32_t c : seen.text)
    out << "U+" << std::hex << static_cast<uint32_t>(c) << std::dec << " ";
  out << "] buttons [";
  for (const ButtonSeen& b : seen.buttons) {
    out << static_cast<int>(b.button) << (b.press ? " down " : " up ") << b.x << "," << b.y << "; ";
  }
  out << "] wheel " << seen.wheelUp << " up " << seen.wheelLeft << " left";
  if (seen.pointer) out << " pointer " << seen.pointer->x << "," << seen.pointer->y;
  return out;
}

struct InputCaseName {  // names each instantiated test after its case
  std::string operator()(const ::testing::TestParamInfo<InputCase>& param) const {
    return param.param.label;
  }
};

// Plays one step as the receive path does (the wheel is committed after each read).
inline void PlayInputStep(const InputStep& step, HeldInput& held) {
  switch (step.kind) {
    case InputStep::kKey:
      ReadKeyPayload(step.payload.data(), static_cast<int>(step.payload.size()), held);
      break;
    case InputStep::kMouse:
      ReadMousePayload(step.payload.data(), static_cast<int>(step.payload.size()), held);
      CommitMouseWheel();
      break;
    case InputStep::kText:
      HandleUtf8String(reinterpret_cast<const unsigned char*>(step.payload.c_str()));
      break;
  }
}

// One "key" payload per name.
inline std::vector<InputStep> KeySteps(std::initializer_list<const char*> names) {
  std::vector<InputStep> steps;
  for (const char* name : names) steps.push_back({InputStep::kKey, name});
  return steps;
}

inline std::vector<InputCase> SharedInputCases() {
  using S = InputStep;
  using B = ButtonSeen;
  return {
      {"NamedKeysAndShiftedNames",
       KeySteps({"a", "A", "z", "1", "!", "=", "+", "SPC", "RTN"}),
       {.text = U"aAz1!=+ \r"}},
      {"HeldShiftShiftsKeysButNotText",
       {{S::kKey, "[R] SHIFT d"},
        {S::kKey, "b"},
        {S::kText, "b\xC3\xA9"},
        {S::kKey, "[R] SHIFT u"},
        {S::kKey, "b"}},
       {.text = U"Bbéb"}},
      {"EveryKeyNameTypesItsCharacter",
       KeySteps({"a", "z", "y", "q", "m",  "A",  "Z", "1", "!", "2", "@", "7", "-", "_",
                 "[", "}", ";", "'", "\"", "\\", "/", "?", ",", ".", "`", "~", " "}),
       {.text = U"azyqmAZ1!2@7-_[};'\"\\/?,.`~ "}},
      // ASCII, accented Latin, symbols, CJK and beyond the 16-bit plane; twice, so that
      // the spare keys a backend binds for them are reused, not exhausted.
      {"TextOfEveryPlaneTwiceThenAKey",
       {{S::kText, kEveryPlaneText}, {S::kText, kEveryPlaneText}, {S::kKey, "RTN"}},
       {.text = std::u32string(kEveryPlaneTyped) + kEveryPlaneTyped + U"\r"}},
      {"MovesStopAtTheScreenEdgePerAxis",
       {{S::kMouse, "m 5 3"}, {S::kMouse, "m 9999 -20"}},
       {.pointer = platform::Point{1279, 383}}},
      {"ClicksAndButtonsWhereThePointerIs",
       {{S::kMouse, "m -540 -300"},
        {S::kMouse, "c"},
        {S::kMouse, "R r d R r u"},
        {S::kMouse, "R m d R m u"}},
       {.buttons = {B{Button::kLeft, true, 100, 100}, B{Button::kLeft, false, 100, 100},
                    B{Button::kRight, true, 100, 100}, B{Button::kRight, false, 100, 100},
                    B{Button::kMiddle, true, 100, 100}, B{Button::kMiddle, false, 100, 100}},
        .pointer = platform::Point{100, 100}}},
      {"ADragMovesWithTheButtonHeld",
       {{S::kMouse, "R l d m -10 2 R l u"}},
       {.buttons = {B{Button::kLeft, true, 640, 400}, B{Button::kLeft, false, 630, 402}},
        .pointer = platform::Point{630, 402}}},
      {"WheelStepsGatheredPerReadAndDividedByFive",
       {{S::kMouse, "w 12 h 3"}, {S::kMouse, "w -5"}, {S::kMouse, "h 10"}, {S::kMouse, "w 4"}},
       {.wheelUp = 1, .wheelLeft = 2}},
  };
}

// The backend's event services installed in place of the journal's (kept at hand to compute
// where the simulated pointer would be), and the core's frame readers.
class InputBackendTest : public ::testing::Test {
 protected:
  void Install(platform::EventServices* backend, std::string_view simJson) {
    platform_ = std::make_unique<TestPlatform>(simJson);
    journal_ = platform::Current().events;
    backend_ = backend;
    Use(backend_);
    FillKeyNameMaps();
    ResetClickAndDragState();
    ResetWheelState();
  }
  void TearDown() override { platform_.reset(); }  // before the backend's services go

  void Use(platform::EventServices* events) {
    platform::Services services = platform::Current();
    services.events = events;
    platform::Install(services);
  }
  void Step(InputStep::Kind kind, std::string_view payload) {
    PlayInputStep({kind, std::string(payload)}, held_);
  }
  void Key(std::string_view payload) { Step(InputStep::kKey, payload); }
  void Mouse(std::string_view payload) { Step(InputStep::kMouse, payload); }
  void Type(std::string_view text) { Step(InputStep::kText, text); }
  void Play(const InputCase& c) {
    for (const InputStep& step : c.steps) PlayInputStep(step, held_);
  }
  // Shift held around Command-H (which carries Command alone), then the raw key of "f"
  // posted with exactly Option and Control: "h" (Super), "B" (Shift), "f" (Control+Alt).
  void PostExplicitFlagKeys() {
    Key("[R] SHIFT d");
    platform::GetEvents().PostSequence(actions::shortcuts::kMinimizeWindow);
    Key("b");
    Key("[R] SHIFT u");
    platform::KeyEvent down{.code = 3,
                            .down = true,
                            .source = platform::EventSource::kHid,
                            .flags = platform::kFlagOption | platform::kFlagControl,
                            .unicode = {}};
    platform::GetEvents().PostKey(down);
    down.down = false;
    platform::GetEvents().PostKey(down);
  }
  // Moves the simulated pointer and then the backend's; where the simulated one went.
  platform::Point MoveBoth(int dx, int dy) {
    Use(journal_);
    SendMouseMove(dx, dy);
    platform::Point expected = platform::GetEvents().PointerEventLocation();
    Use(backend_);
    SendMouseMove(dx, dy);
    return expected;
  }

  std::unique_ptr<TestPlatform> platform_;
  platform::EventServices* journal_ = nullptr;
  platform::EventServices* backend_ = nullptr;
  HeldInput held_;
};

}  // namespace hovra::testing
