// The event services on Quartz. Every event is created, posted to the HID event tap and
// released; a shortcut sequence shares one source with the HID system state, released
// after its events. Text events carry no source and explicit flags 0, set after their
// string. Nothing of a key sequence is posted when one of its events (or its source)
// cannot be created: half a shortcut would leave a modifier held down. A reference that
// failed to be created is never posted nor released.
//   MacEventServices events(quartzCalls, &gate);   // the gate may be null
#pragma once

#include "base/log.h"
#include "platform/event_services.h"
#include "platform/macos/accessibility_gate.h"
#include "platform/macos/quartz_calls.h"

namespace hovra::platform::macos {

class MacEventServices : public EventServices {
 public:
  explicit MacEventServices(QuartzCalls& calls, AccessibilityGate* gate = nullptr)
      : calls_(calls), gate_(gate) {}

  void PostKey(const KeyEvent& event) override;
  void PostMouse(const MouseEvent& event) override;
  void PostScroll(const ScrollEvent& event) override;
  void PostSequence(const KeySequence& sequence) override;

  Point PointerLocation() override;
  Point PointerEventLocation() override;
  uint32_t PressedMouseButtons() override;
  std::vector<Rect> ScreenFrames() override;

 private:
  void PostKeys(std::string_view name, std::span<const KeyEvent> events);
  void PostAndRelease(EventRef event);
  void Release(const void* reference);

  QuartzCalls& calls_;
  AccessibilityGate* gate_;
  LogOnce keyFailed_;
  LogOnce mouseFailed_;
  LogOnce scrollFailed_;
  LogOnce locationFailed_;
};

}  // namespace hovra::platform::macos
