// The shortcuts of a Linux desktop for the named key sequences and keystroke scripts:
// one table by name, shared by every Linux input backend and by the Linux script
// services. Keys are the event services' virtual key codes; on Linux backends the
// Command key (55) is Super. Minimise, maximise and show-desktop name a window operation
// that the window manager carries out where it can; their keys are the fallback.
//   if (const LinuxShortcut* s = FindLinuxShortcut("BrowserBack")) Post(s->keys);  // Alt+Left
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/event_services.h"
#include "platform/linux/window_tracker.h"

namespace hovra::platform::linux_desktop {

namespace linux_keys {
inline constexpr uint16_t kSuper = 55;  // the Command key's code
inline constexpr uint16_t kShift = 56;
inline constexpr uint16_t kAlt = 58;  // the Option key's code
inline constexpr uint16_t kControl = 59;
}  // namespace linux_keys

struct LinuxShortcut {
  std::string_view name;
  std::span<const KeyEvent> keys;
  std::optional<WindowOperation> window;  // preferred to the keys where a tracker can
};

// The entry named `name` (a key sequence's or a keystroke script's name); null if none.
const LinuxShortcut* FindLinuxShortcut(std::string_view name);
std::span<const LinuxShortcut> AllLinuxShortcuts();

// Posts the entry `name` as a named sequence through the event services in use (which,
// when they are a Linux backend's, find the same entry); false when there is none.
bool PostLinuxShortcut(std::string_view name);

}  // namespace hovra::platform::linux_desktop
