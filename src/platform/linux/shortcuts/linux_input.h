// What every Linux input backend (X11 today) is wrapped in: the named key sequences become
// the Linux desktop's shortcuts of the same intent (linux_shortcuts.h), minimise, maximise
// and show-desktop go to the window manager where it can, and a client's Command key
// means Control, which Linux shortcuts use (the client's Control stays Control), unless
// the user keeps Command as Super. Pointer and wheel events pass through unchanged.
//   auto input = std::make_unique<LinuxInput>(OpenX11Events(nullptr), CommandKey::kControl);
#pragma once

#include <memory>
#include <mutex>

#include "platform/event_services.h"
#include "platform/linux/window_tracker.h"

namespace hovra::platform::linux_desktop {

enum class CommandKey { kControl, kSuper };

class LinuxInput : public EventServices {
 public:
  LinuxInput(std::unique_ptr<EventServices> inner, CommandKey commandKey)
      : inner_(std::move(inner)), commandKey_(commandKey) {}

  // The window manager's operations, when the desktop tracks windows (before any thread
  // posts); without one the fallback keys are posted.
  void UseWindows(WindowTracker* windows) { windows_ = windows; }
  EventServices& Inner() { return *inner_; }

  void PostKey(const KeyEvent& event) override;
  void PostMouse(const MouseEvent& event) override { inner_->PostMouse(event); }
  void PostScroll(const ScrollEvent& event) override { inner_->PostScroll(event); }
  void PostSequence(const KeySequence& sequence) override;

  Point PointerLocation() override { return inner_->PointerLocation(); }
  Point PointerEventLocation() override { return inner_->PointerEventLocation(); }
  uint32_t PressedMouseButtons() override { return inner_->PressedMouseButtons(); }
  std::vector<Rect> ScreenFrames() override { return inner_->ScreenFrames(); }

 private:
  void PostControl(KeyEvent event, bool fromCommand);

  std::unique_ptr<EventServices> inner_;
  CommandKey commandKey_;
  WindowTracker* windows_ = nullptr;
  std::mutex mutex_;
  // Command and Control both press the one Control key: it goes up when neither holds it.
  bool commandHeld_ = false;
  bool controlHeld_ = false;
};

}  // namespace hovra::platform::linux_desktop
