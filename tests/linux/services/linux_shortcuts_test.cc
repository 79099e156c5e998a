// The Linux shortcut table and the input decorator that puts it in place of the Mac's keys.
#include "platform/linux/shortcuts/linux_shortcuts.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "actions/media_keys.h"
#include "actions/window_shortcuts.h"
#include "platform/linux/shortcuts/linux_input.h"

namespace hovra::platform::linux_desktop {
namespace {

using Events = std::vector<std::string>;

// "58d/80000": code, down or up, and the explicit flags.
std::string Describe(const KeyEvent& e) {
  std::string out = std::to_string(e.code) + (e.down ? "d" : "u");
  char flags[24] = "";
  if (e.flags) std::snprintf(flags, sizeof flags, "/%llx", (unsigned long long)*e.flags);
  return out + flags;
}

struct RecordingInput : EventServices {
  explicit RecordingInput(Events& into) : events(&into) {}
  void PostKey(const KeyEvent& event) override { events->push_back(Describe(event)); }
  void PostMouse(const MouseEvent&) override {}
  void PostScroll(const ScrollEvent&) override {}
  Point PointerLocation() override { return {}; }
  Point PointerEventLocation() override { return {}; }
  uint32_t PressedMouseButtons() override { return 0; }
  std::vector<Rect> ScreenFrames() override { return {}; }
  Events* events;
};

struct FakeWindows : WindowTracker {
  void Start(std::function<void(const WindowSnapshot&)>) override {}
  WindowSnapshot Snapshot() override { return {}; }
  bool Apply(WindowOperation operation) override {
    applied.push_back(operation);
    return succeeds;
  }
  bool succeeds = true;
  std::vector<WindowOperation> applied;
};

struct Decorated {
  explicit Decorated(CommandKey key = CommandKey::kControl) {
    input = std::make_unique<LinuxInput>(std::make_unique<RecordingInput>(events), key);
  }
  Events events;
  std::unique_ptr<LinuxInput> input;
};

TEST(LinuxShortcuts, EveryUsedNameHasOneNoneLeavesAKeyDownAndTheSwitcherLetsGoAtItsEnd) {
  // Names the actions, gestures and keystroke scripts post that no case below replays.
  for (std::string_view name :
       {"BrowserForward", "BrowserHome", "CloseWindow", "MinimizeWindow", "ZoomOut",
        "PlayerMax.Spotify", "PlayerMax.iTunes", "BrowserStop", "BrowserFavorite.Safari",
        "BrowserFavorite.Chrome", "StartSwitchingWindow.Forward"})
    EXPECT_NE(FindLinuxShortcut(name), nullptr) << name;
  // The players' own single keys ("k", Shift+N, "f") are right on Linux as they are.
  EXPECT_EQ(FindLinuxShortcut(actions::shortcuts::kPlayerPlayKeys.name), nullptr);
  auto replay = [](std::set<uint16_t>& held, std::string_view name) {
    for (const KeyEvent& e : FindLinuxShortcut(name)->keys) {
      if (e.down) {
        EXPECT_TRUE(held.insert(e.code).second) << name << ": " << e.code << " pressed twice";
      } else {
        EXPECT_EQ(held.erase(e.code), 1u) << name << ": " << e.code << " released unpressed";
      }
    }
  };
  for (const LinuxShortcut& shortcut : AllLinuxShortcuts()) {
    if (shortcut.name.find("Switch") != std::string_view::npos) continue;
    std::set<uint16_t> held;
    replay(held, shortcut.name);
    EXPECT_TRUE(held.empty()) << shortcut.name;
  }
  std::set<uint16_t> held;
  replay(held, "StartSwitchingWindow.Reverse");
  EXPECT_EQ(held, std::set<uint16_t>{58}) << "Alt stays down while the switcher shows";
  replay(held, "SwitchWindow.Forward");
  replay(held, "SwitchWindow.Back");
  replay(held, "EndSwitchingWindow");
  EXPECT_TRUE(held.empty());
}

TEST(LinuxInput, SubstitutesTheMacShortcutsByName) {
  const std::map<std::string, Events> expected{
      {"BrowserBack", {"58d/80000", "123d/80000", "123u/80000", "58u/80000"}},  // Alt+Left
      {"BrowserNewtab", {"59d/40000", "17d/40000", "17u/40000", "59u/40000"}},  // Ctrl+T
      {"BrowserRefresh", {"96d/0", "96u/0"}},                                   // F5
      {"ZoomIn", {"59d/40000", "69d/40000", "69u/40000", "59u/40000"}},         // Ctrl+plus
      {"PlayerMax.QuickTime.Exit", {"53d/0", "53u/0"}},                         // Escape
  };
  for (const auto& [name, keys] : expected) {
    Decorated d;
    // The macOS events travel along and are replaced by name.
    d.input->PostSequence(KeySequence{name, actions::shortcuts::kCloseWindowEvents});
    EXPECT_EQ(d.events, keys) << name;
  }
}

TEST(LinuxInput, WindowOperationsGoToTheWindowManagerBeforeKeys) {
  FakeWindows windows;
  Decorated d;
  d.input->UseWindows(&windows);
  d.input->PostSequence(actions::shortcuts::kMinimizeWindow);
  d.input->PostSequence(actions::shortcuts::kMaximizeWindow);
  d.input->PostSequence(KeySequence{"MinimizeAllWindows", {}});
  EXPECT_EQ(windows.applied,
            (std::vector<WindowOperation>{WindowOperation::kMinimize, WindowOperation::kMaximize,
                                          WindowOperation::kShowDesktop}));
  EXPECT_TRUE(d.events.empty());

  windows.succeeds = false;  // e.g. no active window: the desktop's keys instead
  d.input->PostSequence(actions::shortcuts::kMaximizeWindow);
  Decorated none;  // no window tracking at all
  none.input->PostSequence(KeySequence{"MinimizeAllWindows", {}});
  EXPECT_EQ(d.events, (Events{"55d/100000", "126d/100000", "126u/100000", "55u/100000"}));
  EXPECT_EQ(none.events, (Events{"55d/100000", "2d/100000", "2u/100000", "55u/100000"}));
}

TEST(LinuxInput, CommandMeansControlAndOneControlKeyServesBoth) {
  constexpr uint64_t kCmd = kFlagCommand, kCmdShift = kFlagCommand | kFlagShift;
  Decorated d;
  d.input->PostKey({55, true, EventSource::kNone, kCmd, {}});
  d.input->PostKey({8, true, EventSource::kNone, kCmdShift, {}});  // Command+Shift+C
  d.input->PostKey({59, true, EventSource::kNone, {}, {}});        // the client's Control too
  d.input->PostKey({55, false, EventSource::kNone, kCmd, {}});     // Control still held
  d.input->PostKey({59, false, EventSource::kNone, {}, {}});
  EXPECT_EQ(d.events, (Events{"59d/40000", "8d/60000", "59u"}));

  Decorated super(CommandKey::kSuper);
  super.input->PostKey({55, true, EventSource::kNone, kCmd, {}});
  super.input->PostKey({8, true, EventSource::kNone, kCmd, {}});
  EXPECT_EQ(super.events, (Events{"55d/100000", "8d/100000"}));

  Decorated unnamed;  // a sequence without a Linux entry keeps its keys, Command mapped
  unnamed.input->PostSequence(actions::shortcuts::kPlayerPlayKeys);
  unnamed.input->PostSequence(KeySequence{"Elsewhere", actions::shortcuts::kCloseWindowEvents});
  EXPECT_EQ(unnamed.events,
            (Events{"40d", "40u", "59d/40000", "13d/40000", "13u/40000", "59u/40000"}));
}

}  // namespace
}  // namespace hovra::platform::linux_desktop
