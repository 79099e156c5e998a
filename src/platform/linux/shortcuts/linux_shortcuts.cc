#include "platform/linux/shortcuts/linux_shortcuts.h"

#include <array>

#include "platform/services.h"

namespace hovra::platform::linux_desktop {
namespace {

using namespace linux_keys;

constexpr uint16_t kTab = 48, kEscape = 53, kLeft = 123, kRight = 124, kUp = 126, kHome = 115;
constexpr uint16_t kPageUp = 116, kPageDown = 121, kF5 = 96, kF11 = 103;
constexpr uint16_t kKeypadPlus = 69, kKeypadMinus = 78;
constexpr uint16_t kD = 2, kF = 3, kH = 4, kL = 37, kO = 31, kQ = 12, kT = 17, kW = 13;

constexpr uint64_t FlagOf(uint16_t modifier) {
  switch (modifier) {
    case kSuper:
      return kFlagCommand;
    case kShift:
      return kFlagShift;
    case kAlt:
      return kFlagOption;
    case kControl:
      return kFlagControl;
    default:
      return 0;
  }
}

constexpr KeyEvent Key(uint16_t code, bool down, uint64_t flags) {
  return KeyEvent{code, down, EventSource::kHid, flags, {}};
}

// The modifiers pressed in order, the key pressed and released, the modifiers released in
// reverse; every event carries all the chord's modifiers.
template <size_t M>
constexpr std::array<KeyEvent, 2 * M + 2> Chord(std::array<uint16_t, M> modifiers, uint16_t key) {
  uint64_t flags = 0;
  for (uint16_t m : modifiers) flags |= FlagOf(m);
  std::array<KeyEvent, 2 * M + 2> events{};
  for (size_t i = 0; i < M; ++i) {
    events[i] = Key(modifiers[i], true, flags);
    events[2 * M + 1 - i] = Key(modifiers[i], false, flags);
  }
  events[M] = Key(key, true, flags);
  events[M + 1] = Key(key, false, flags);
  return events;
}

constexpr std::array<KeyEvent, 2> Tap(uint16_t key) {
  return {Key(key, true, FlagOf(key)), Key(key, false, FlagOf(key))};
}

constexpr auto kAltLeft = Chord<1>({kAlt}, kLeft);
constexpr auto kAltRight = Chord<1>({kAlt}, kRight);
constexpr auto kAltHome = Chord<1>({kAlt}, kHome);
constexpr auto kCtrlT = Chord<1>({kControl}, kT);
constexpr auto kCtrlW = Chord<1>({kControl}, kW);
constexpr auto kCtrlL = Chord<1>({kControl}, kL);
constexpr auto kCtrlQ = Chord<1>({kControl}, kQ);
constexpr auto kCtrlShiftO = Chord<2>({kControl, kShift}, kO);
constexpr auto kCtrlPlus = Chord<1>({kControl}, kKeypadPlus);
constexpr auto kCtrlMinus = Chord<1>({kControl}, kKeypadMinus);
constexpr auto kSuperH = Chord<1>({kSuper}, kH);
constexpr auto kSuperUp = Chord<1>({kSuper}, kUp);
constexpr auto kSuperD = Chord<1>({kSuper}, kD);
constexpr auto kSuperTap = Tap(kSuper);
constexpr auto kF5Tap = Tap(kF5);
constexpr auto kF11Tap = Tap(kF11);
constexpr auto kFTap = Tap(kF);
constexpr auto kEscapeTap = Tap(kEscape);
constexpr auto kPageUpTap = Tap(kPageUp);
constexpr auto kPageDownTap = Tap(kPageDown);

// The window switcher: Alt stays down from the start to the end of a slide.
constexpr uint64_t kAltShift = kFlagOption | kFlagShift;
constexpr KeyEvent kSwitcherForward[] = {Key(kAlt, true, kFlagOption), Key(kTab, true, kFlagOption),
                                         Key(kTab, false, kFlagOption)};
constexpr KeyEvent kSwitcherReverse[] = {Key(kAlt, true, kFlagOption), Key(kShift, true, kAltShift),
                                         Key(kTab, true, kAltShift), Key(kTab, false, kAltShift),
                                         Key(kShift, false, kFlagOption)};
constexpr KeyEvent kSwitchForward[] = {Key(kTab, true, kFlagOption), Key(kTab, false, kFlagOption)};
constexpr KeyEvent kSwitchBack[] = {Key(kShift, true, kAltShift), Key(kTab, true, kAltShift),
                                    Key(kTab, false, kAltShift), Key(kShift, false, kFlagOption)};
constexpr KeyEvent kSwitcherEnd[] = {Key(kAlt, false, 0)};

constexpr LinuxShortcut kShortcuts[] = {
    // Browsers (Firefox, Chromium and GNOME Web agree on these).
    {"BrowserBack", kAltLeft, {}},
    {"BrowserForward", kAltRight, {}},
    {"BrowserHome", kAltHome, {}},
    {"BrowserRefresh", kF5Tap, {}},
    {"BrowserNewtab", kCtrlT, {}},
    {"BrowserSearch", kCtrlL, {}},
    {"BrowserStop", kEscapeTap, {}},
    {"BrowserFavorite.Safari", kCtrlShiftO, {}},  // the bookmarks library / manager
    {"BrowserFavorite.Chrome", kCtrlShiftO, {}},
    // Windows and documents.
    {"CloseWindow", kCtrlW, {}},
    {"ZoomIn", kCtrlPlus, {}},
    {"ZoomOut", kCtrlMinus, {}},
    {"MinimizeWindow", kSuperH, WindowOperation::kMinimize},
    {"MaximizeWindow", kSuperUp, WindowOperation::kMaximize},
    {"MinimizeAllWindows", kSuperD, WindowOperation::kShowDesktop},
    {"MissionControl", kSuperTap, {}},  // the activities overview
    {"StartSwitchingWindow.Forward", kSwitcherForward, {}},
    {"StartSwitchingWindow.Reverse", kSwitcherReverse, {}},
    {"SwitchWindow.Forward", kSwitchForward, {}},
    {"SwitchWindow.Back", kSwitchBack, {}},
    {"EndSwitchingWindow", kSwitcherEnd, {}},
    // Players' full screen where the player offers it by no other way.
    {"PlayerMax.Spotify", kF11Tap, {}},
    {"PlayerMax.iTunes", kF11Tap, {}},
    {"PlayerMax.QuickTime", kF11Tap, {}},
    {"PlayerMax.QuickTime.Exit", kEscapeTap, {}},
    {"PlayerMax.VLC", kFTap, {}},
    // Slide shows in LibreOffice Impress.
    {"PPTPlay", kF5Tap, {}},
    {"PPTStop", kEscapeTap, {}},
    {"PPTPgDn", kPageDownTap, {}},
    {"PPTPgUp", kPageUpTap, {}},
    {"PPTExit", kCtrlQ, {}},
};

}  // namespace

const LinuxShortcut* FindLinuxShortcut(std::string_view name) {
  for (const LinuxShortcut& shortcut : kShortcuts) {
    if (shortcut.name == name) return &shortcut;
  }
  return nullptr;
}

std::span<const LinuxShortcut> AllLinuxShortcuts() { return kShortcuts; }

bool PostLinuxShortcut(std::string_view name) {
  const LinuxShortcut* shortcut = FindLinuxShortcut(name);
  if (shortcut == nullptr) return false;
  GetEvents().PostSequence(KeySequence{shortcut->name, shortcut->keys});
  return true;
}

}  // namespace hovra::platform::linux_desktop
