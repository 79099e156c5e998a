#include "input/gestures.h"

#include "platform/services.h"

namespace hovra {
namespace {

using platform::EventSource;
using platform::KeyEvent;
using platform::KeySequence;
using platform::ScriptText;

constexpr uint16_t kCommand = 55;
constexpr uint16_t kOption = 58;
constexpr uint16_t kKeypadPlus = 69;
constexpr uint16_t kKeypadMinus = 78;
constexpr uint16_t kKeyH = 4;
constexpr uint16_t kKeyM = 46;
constexpr uint64_t kCommandOption = platform::kFlagCommand | platform::kFlagOption;

constexpr KeyEvent Hid(uint16_t code, bool down, std::optional<uint64_t> flags) {
  return KeyEvent{code, down, EventSource::kHid, flags, {}};
}

// clang-format off
constexpr KeyEvent kZoomInEvents[] = {
    Hid(kCommand, true, platform::kFlagCommand), Hid(kKeypadPlus, true, platform::kFlagCommand),
    Hid(kKeypadPlus, false, platform::kFlagCommand), Hid(kCommand, false, platform::kFlagCommand)};
constexpr KeyEvent kZoomOutEvents[] = {
    Hid(kCommand, true, platform::kFlagCommand), Hid(kKeypadMinus, true, std::nullopt),
    Hid(kKeypadMinus, false, std::nullopt), Hid(kCommand, false, platform::kFlagCommand)};
// Command-Option-H hides the other applications, then Command-Option-M minimises all
// windows of the front one.
constexpr KeyEvent kMinimizeAllEvents[] = {
    Hid(kOption, true, platform::kFlagOption), Hid(kCommand, true, platform::kFlagCommand),
    Hid(kKeyH, true, kCommandOption),          Hid(kKeyM, true, kCommandOption),
    Hid(kKeyM, false, kCommandOption),         Hid(kKeyH, false, kCommandOption),
    Hid(kOption, false, platform::kFlagOption), Hid(kCommand, false, platform::kFlagCommand)};

constexpr KeySequence kZoomIn{"ZoomIn", kZoomInEvents};
constexpr KeySequence kZoomOut{"ZoomOut", kZoomOutEvents};
constexpr KeySequence kMinimizeAllWindows{"MinimizeAllWindows", kMinimizeAllEvents};

constexpr ScriptText kStartSwitchingReverse{
    "StartSwitchingWindow.Reverse",
    "tell application \"System Events\"\nkey down {command}\nkey down {shift}\nkeystroke tab\n"
    "key up {shift}\nend tell"};
constexpr ScriptText kStartSwitchingForward{
    "StartSwitchingWindow.Forward", "tell application \"System Events\"\nkey down {command}\nkeystroke tab\nend tell"};
constexpr ScriptText kEndSwitching{"EndSwitchingWindow",
                                   "tell application \"System Events\"\nkey up {command}\nend tell"};
constexpr ScriptText kSwitchStepBack{
    "SwitchWindow.Back", "tell application \"System Events\"\nkey down {shift}\nkeystroke tab\nkey up {shift}\nend tell"};
constexpr ScriptText kSwitchStepForward{"SwitchWindow.Forward",
                                        "tell application \"System Events\"\nkeystroke tab\nend tell"};
constexpr ScriptText kMissionControl{"MissionControl",
                                     "try\n\ttell application id \"com.apple.exposelauncher\" to launch\nend try"};
// clang-format on

bool s_isSwitchingWindows = false;
uint64_t s_switcherStarts = 0;  // how many times the switcher was started
uint64_t s_commandHeldBy = 0;   // the start whose Command is still down; 0: none

}  // namespace

void ZoomIn() { platform::GetEvents().PostSequence(kZoomIn); }

void ZoomOut() { platform::GetEvents().PostSequence(kZoomOut); }

void minimizeAllWindows() { platform::GetEvents().PostSequence(kMinimizeAllWindows); }

void StartSwitchingWindow(bool reverse) {
  platform::GetScripts().Run(reverse ? kStartSwitchingReverse : kStartSwitchingForward);
  s_isSwitchingWindows = true;
  s_commandHeldBy = ++s_switcherStarts;
}

void EndSwitchingWindow() {
  platform::GetScripts().Run(kEndSwitching);
  s_isSwitchingWindows = false;
  s_commandHeldBy = 0;
}

void SlideBegin() { s_isSwitchingWindows = false; }

void SlideEnd() {
  if (s_isSwitchingWindows) EndSwitchingWindow();
}

void SlideLeft() {
  if (!s_isSwitchingWindows) {
    StartSwitchingWindow(true);
  } else {
    platform::GetScripts().Run(kSwitchStepBack);
  }
}

void SlideRight() {
  if (!s_isSwitchingWindows) {
    StartSwitchingWindow(false);
  } else {
    platform::GetScripts().Run(kSwitchStepForward);
  }
}

void SlideUp() {
  if (s_isSwitchingWindows) EndSwitchingWindow();
  platform::GetScripts().Run(kMissionControl);
}

void SlideDown() { minimizeAllWindows(); }

bool IsSwitchingWindows() { return s_isSwitchingWindows; }

uint64_t SwitcherHoldingCommand() { return s_commandHeldBy; }

void ResetSwitcherState() {
  s_isSwitchingWindows = false;
  s_commandHeldBy = 0;
}

}  // namespace hovra
