// The Linux input code and pressed-buttons bit of a mouse-button event, for the backends
// that post evdev codes (wayland, portal).
#pragma once

#include <linux/input-event-codes.h>

#include <cstdint>

#include "platform/event_services.h"

namespace hovra::platform::unix_input {

struct ButtonChange {
  uint32_t code = 0;  // Linux input code; 0 for motion alone
  uint32_t bit = 0;   // in PressedMouseButtons()
  bool down = false;
};

inline ButtonChange ButtonOf(int type) {
  switch (type) {
    case kLeftMouseDown:
      return {BTN_LEFT, 1u << 0, true};
    case kLeftMouseUp:
      return {BTN_LEFT, 1u << 0, false};
    case kRightMouseDown:
      return {BTN_RIGHT, 1u << 1, true};
    case kRightMouseUp:
      return {BTN_RIGHT, 1u << 1, false};
    case kOtherMouseDown:
      return {BTN_MIDDLE, 1u << 2, true};
    case kOtherMouseUp:
      return {BTN_MIDDLE, 1u << 2, false};
    default:
      return {};
  }
}

}  // namespace hovra::platform::unix_input
