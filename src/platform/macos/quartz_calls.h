// The Quartz calls the macOS event services make, one method per Apple function with the
// same parameters, and Apple's types transcribed as plain integers and opaque handles.
// The Apple build forwards each method to the function of the same name (and checks every
// transcription there at compile time); tests put a recording fake in its place.
#pragma once

#include <cstdint>

namespace hovra::platform::macos {

// Apple's types and constants, written down as the SDK defines them.
namespace quartz {

using KeyCode = uint16_t;            // CGKeyCode
using EventFlags = uint64_t;         // CGEventFlags
using EventType = uint32_t;          // CGEventType
using MouseButton = uint32_t;        // CGMouseButton
using TapLocation = uint32_t;        // CGEventTapLocation
using ScrollUnit = uint32_t;         // CGScrollEventUnit
using SourceStateId = int32_t;       // CGEventSourceStateID
using EventField = uint32_t;         // CGEventField
using DisplayId = uint32_t;          // CGDirectDisplayID
using Error = int32_t;               // CGError
using UniChar = uint16_t;            // UniChar
using UniCharCount = unsigned long;  // UniCharCount
using Boolean = unsigned char;       // Boolean

struct Point {  // CGPoint (CGFloat is double)
  double x = 0;
  double y = 0;
};
struct Size {  // CGSize
  double width = 0;
  double height = 0;
};
struct Rect {  // CGRect, in global display space: origin top-left of the main display
  Point origin;
  Size size;
};

inline constexpr SourceStateId kSourceStatePrivate = -1;
inline constexpr SourceStateId kSourceStateCombinedSession = 0;
inline constexpr SourceStateId kSourceStateHidSystem = 1;

inline constexpr EventType kLeftMouseDown = 1;
inline constexpr EventType kLeftMouseUp = 2;
inline constexpr EventType kRightMouseDown = 3;
inline constexpr EventType kRightMouseUp = 4;
inline constexpr EventType kMouseMoved = 5;
inline constexpr EventType kLeftMouseDragged = 6;
inline constexpr EventType kKeyDown = 10;
inline constexpr EventType kKeyUp = 11;
inline constexpr EventType kOtherMouseDown = 25;
inline constexpr EventType kOtherMouseUp = 26;

inline constexpr MouseButton kMouseButtonLeft = 0;
inline constexpr MouseButton kMouseButtonRight = 1;
inline constexpr MouseButton kMouseButtonCenter = 2;

inline constexpr EventField kMouseEventClickState = 1;

inline constexpr ScrollUnit kScrollUnitPixel = 0;
inline constexpr ScrollUnit kScrollUnitLine = 1;

inline constexpr TapLocation kHidEventTap = 0;
inline constexpr TapLocation kSessionEventTap = 1;
inline constexpr TapLocation kAnnotatedSessionEventTap = 2;

inline constexpr EventFlags kFlagMaskShift = 0x20000;
inline constexpr EventFlags kFlagMaskControl = 0x40000;
inline constexpr EventFlags kFlagMaskAlternate = 0x80000;
inline constexpr EventFlags kFlagMaskCommand = 0x100000;

inline constexpr Error kErrorSuccess = 0;

}  // namespace quartz

// Opaque references: CGEventRef and CGEventSourceRef. Null means creation failed.
struct QuartzEvent;
struct QuartzEventSource;
using EventRef = QuartzEvent*;
using EventSourceRef = QuartzEventSource*;

class QuartzCalls {
 public:
  virtual ~QuartzCalls() = default;

  virtual EventSourceRef EventSourceCreate(quartz::SourceStateId state) = 0;
  virtual EventRef EventCreateKeyboardEvent(EventSourceRef source, quartz::KeyCode code,
                                            bool keyDown) = 0;
  virtual void EventKeyboardSetUnicodeString(EventRef event, quartz::UniCharCount length,
                                             const quartz::UniChar* units) = 0;
  virtual void EventSetFlags(EventRef event, quartz::EventFlags flags) = 0;
  virtual EventRef EventCreateMouseEvent(EventSourceRef source, quartz::EventType type,
                                         quartz::Point position, quartz::MouseButton button) = 0;
  virtual void EventSetIntegerValueField(EventRef event, quartz::EventField field,
                                         int64_t value) = 0;
  virtual EventRef EventCreateScrollWheelEvent2(EventSourceRef source, quartz::ScrollUnit units,
                                                uint32_t wheelCount, int32_t wheel1, int32_t wheel2,
                                                int32_t wheel3) = 0;
  virtual void EventPost(quartz::TapLocation tap, EventRef event) = 0;
  virtual EventRef EventCreate(EventSourceRef source) = 0;
  virtual quartz::Point EventGetLocation(EventRef event) = 0;
  virtual bool EventSourceButtonState(quartz::SourceStateId state, quartz::MouseButton button) = 0;

  virtual quartz::Error GetActiveDisplayList(uint32_t maxDisplays, quartz::DisplayId* displays,
                                             uint32_t* displayCount) = 0;
  virtual quartz::DisplayId MainDisplayID() = 0;
  virtual quartz::Rect DisplayBounds(quartz::DisplayId display) = 0;

  // CFRelease: never called with null (CFRelease crashes on it).
  virtual void Release(const void* reference) = 0;
};

// AXIsProcessTrustedWithOptions with kAXTrustedCheckOptionPrompt set to `prompt`.
class TrustCalls {
 public:
  virtual ~TrustCalls() = default;
  virtual quartz::Boolean IsProcessTrustedWithOptions(bool prompt) = 0;
};

}  // namespace hovra::platform::macos
