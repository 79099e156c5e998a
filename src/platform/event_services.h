// What the input and action code needs from the window system's event services:
// posting key, mouse and scroll events, and reading the pointer and the screens.
// Codes are macOS virtual key codes, positions are in event space (origin top-left of
// the main screen, y down) unless stated otherwise; backends translate.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace hovra::platform {

// Modifier masks an event may carry explicitly.
inline constexpr uint64_t kFlagShift = 0x20000;
inline constexpr uint64_t kFlagControl = 0x40000;
inline constexpr uint64_t kFlagOption = 0x80000;
inline constexpr uint64_t kFlagCommand = 0x100000;

// "hid": the shortcut events, made from a source with the HID system state.
enum class EventSource { kNone, kHid };

struct KeyEvent {
  uint16_t code = 0;
  bool down = true;
  EventSource source = EventSource::kNone;
  std::optional<uint64_t> flags;  // set only when the event's flags are given explicitly
  std::u16string_view unicode;    // non-empty only on text events; the caller owns the units
};

// Mouse event types, as the event services number them.
enum MouseEventType : int {
  kLeftMouseDown = 1,
  kLeftMouseUp = 2,
  kRightMouseDown = 3,
  kRightMouseUp = 4,
  kMouseMoved = 5,
  kLeftMouseDragged = 6,
  kOtherMouseDown = 25,
  kOtherMouseUp = 26,
};

struct MouseEvent {
  int type = kMouseMoved;
  Point position;                     // event space
  int button = 0;                     // 0 left, 2 other
  std::optional<int64_t> clickState;  // set only for double and triple clicks
};

struct ScrollEvent {
  int32_t vertical = 0;
  int32_t horizontal = 0;
};

// A fixed shortcut (browser back, zoom, minimise ...). It travels with its name so that a
// backend whose desktop uses other shortcuts can substitute its own.
struct KeySequence {
  std::string_view name;
  std::span<const KeyEvent> events;
};

class EventServices {
 public:
  virtual ~EventServices() = default;

  virtual void PostKey(const KeyEvent& event) = 0;
  virtual void PostMouse(const MouseEvent& event) = 0;
  virtual void PostScroll(const ScrollEvent& event) = 0;
  // Posts the sequence's events in order; backends may override to substitute by name.
  virtual void PostSequence(const KeySequence& sequence) {
    for (const KeyEvent& event : sequence.events) PostKey(event);
  }

  virtual Point PointerLocation() = 0;           // screen space
  virtual Point PointerEventLocation() = 0;      // event space
  virtual uint32_t PressedMouseButtons() = 0;    // bit 0: left button down
  virtual std::vector<Rect> ScreenFrames() = 0;  // screen space, main screen first
};

}  // namespace hovra::platform
