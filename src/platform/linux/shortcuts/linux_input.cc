#include "platform/linux/shortcuts/linux_input.h"

#include <string>

#include "base/log.h"
#include "platform/linux/shortcuts/linux_shortcuts.h"

namespace hovra::platform::linux_desktop {
namespace {

uint64_t CommandAsControl(uint64_t flags) {
  if ((flags & kFlagCommand) == 0) return flags;
  return (flags & ~kFlagCommand) | kFlagControl;
}

}  // namespace

void LinuxInput::PostKey(const KeyEvent& event) {
  if (commandKey_ == CommandKey::kSuper) {
    inner_->PostKey(event);
    return;
  }
  KeyEvent mapped = event;
  if (mapped.flags) mapped.flags = CommandAsControl(*mapped.flags);
  if (event.unicode.empty() &&
      (event.code == linux_keys::kSuper || event.code == linux_keys::kControl)) {
    PostControl(mapped, event.code == linux_keys::kSuper);
    return;
  }
  inner_->PostKey(mapped);
}

void LinuxInput::PostControl(KeyEvent event, bool fromCommand) {
  event.code = linux_keys::kControl;
  std::lock_guard<std::mutex> lock(mutex_);
  bool& mine = fromCommand ? commandHeld_ : controlHeld_;
  bool other = fromCommand ? controlHeld_ : commandHeld_;
  mine = event.down;
  if (other) return;  // the other one keeps Control down, or already pressed it
  inner_->PostKey(event);
}

void LinuxInput::PostSequence(const KeySequence& sequence) {
  const LinuxShortcut* shortcut = FindLinuxShortcut(sequence.name);
  if (shortcut == nullptr) {
    for (const KeyEvent& event : sequence.events) PostKey(event);
    return;
  }
  if (shortcut->window) {
    if (windows_ != nullptr && windows_->Apply(*shortcut->window)) return;
    static LogOnce byKeys;
    if (byKeys.First()) {
      Log("%s: the window manager could not do it; the desktop's shortcut is typed instead",
          std::string(sequence.name).c_str());
    }
  }
  // Already the desktop's own keys: no Command mapping.
  for (const KeyEvent& event : shortcut->keys) inner_->PostKey(event);
}

}  // namespace hovra::platform::linux_desktop
