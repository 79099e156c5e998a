// The Quartz calls, forwarded one to one (Apple build only). Every transcription the
// translation layer relies on is checked here: a wrong one fails the first Mac build.
#include <ApplicationServices/ApplicationServices.h>

#include <cstddef>
#include <type_traits>

#include "platform/macos/apple_forwarders.h"

namespace hovra::platform::macos {
namespace {

// Apple's enumerations are enum types in C++ and plain integers in C: compare what they
// are made of.
template <typename T, bool = std::is_enum_v<T>>
struct MadeOf {
  using type = T;
};
template <typename T>
struct MadeOf<T, true> {
  using type = std::underlying_type_t<T>;
};
template <typename T>
using MadeOfT = typename MadeOf<T>::type;

// Types.
static_assert(std::is_same_v<MadeOfT<CGKeyCode>, quartz::KeyCode>);
static_assert(std::is_same_v<MadeOfT<CGEventFlags>, quartz::EventFlags>);
static_assert(std::is_same_v<MadeOfT<CGEventType>, quartz::EventType>);
static_assert(std::is_same_v<MadeOfT<CGMouseButton>, quartz::MouseButton>);
static_assert(std::is_same_v<MadeOfT<CGEventTapLocation>, quartz::TapLocation>);
static_assert(std::is_same_v<MadeOfT<CGScrollEventUnit>, quartz::ScrollUnit>);
static_assert(std::is_same_v<MadeOfT<CGEventSourceStateID>, quartz::SourceStateId>);
static_assert(std::is_same_v<MadeOfT<CGEventField>, quartz::EventField>);
static_assert(std::is_same_v<MadeOfT<CGDirectDisplayID>, quartz::DisplayId>);
static_assert(std::is_same_v<MadeOfT<CGError>, quartz::Error>);
static_assert(std::is_same_v<UniChar, quartz::UniChar>);
static_assert(std::is_same_v<UniCharCount, quartz::UniCharCount>);
static_assert(std::is_same_v<Boolean, quartz::Boolean>);
static_assert(std::is_same_v<CGFloat, double>);
static_assert(sizeof(CGPoint) == sizeof(quartz::Point) &&
              offsetof(CGPoint, y) == offsetof(quartz::Point, y));
static_assert(sizeof(CGRect) == sizeof(quartz::Rect));
static_assert(sizeof(CGEventRef) == sizeof(EventRef) &&
              sizeof(CGEventSourceRef) == sizeof(EventSourceRef));

// Constants.
static_assert(kCGEventSourceStatePrivate == quartz::kSourceStatePrivate);
static_assert(kCGEventSourceStateCombinedSessionState == quartz::kSourceStateCombinedSession);
static_assert(kCGEventSourceStateHIDSystemState == quartz::kSourceStateHidSystem);
static_assert(kCGEventLeftMouseDown == quartz::kLeftMouseDown);
static_assert(kCGEventLeftMouseUp == quartz::kLeftMouseUp);
static_assert(kCGEventRightMouseDown == quartz::kRightMouseDown);
static_assert(kCGEventRightMouseUp == quartz::kRightMouseUp);
static_assert(kCGEventMouseMoved == quartz::kMouseMoved);
static_assert(kCGEventLeftMouseDragged == quartz::kLeftMouseDragged);
static_assert(kCGEventKeyDown == quartz::kKeyDown);
static_assert(kCGEventKeyUp == quartz::kKeyUp);
static_assert(kCGEventOtherMouseDown == quartz::kOtherMouseDown);
static_assert(kCGEventOtherMouseUp == quartz::kOtherMouseUp);
static_assert(kCGMouseButtonLeft == quartz::kMouseButtonLeft);
static_assert(kCGMouseButtonRight == quartz::kMouseButtonRight);
static_assert(kCGMouseButtonCenter == quartz::kMouseButtonCenter);
static_assert(kCGMouseEventClickState == quartz::kMouseEventClickState);
static_assert(kCGScrollEventUnitPixel == quartz::kScrollUnitPixel);
static_assert(kCGScrollEventUnitLine == quartz::kScrollUnitLine);
static_assert(kCGHIDEventTap == quartz::kHidEventTap);
static_assert(kCGSessionEventTap == quartz::kSessionEventTap);
static_assert(kCGAnnotatedSessionEventTap == quartz::kAnnotatedSessionEventTap);
static_assert(kCGEventFlagMaskShift == quartz::kFlagMaskShift);
static_assert(kCGEventFlagMaskControl == quartz::kFlagMaskControl);
static_assert(kCGEventFlagMaskAlternate == quartz::kFlagMaskAlternate);
static_assert(kCGEventFlagMaskCommand == quartz::kFlagMaskCommand);
static_assert(kCGErrorSuccess == quartz::kErrorSuccess);

// Signatures of the functions forwarded to.
static_assert(
    std::is_same_v<decltype(&CGEventSourceCreate), CGEventSourceRef (*)(CGEventSourceStateID)>);
static_assert(std::is_same_v<decltype(&CGEventCreateKeyboardEvent),
                             CGEventRef (*)(CGEventSourceRef, CGKeyCode, bool)>);
static_assert(std::is_same_v<decltype(&CGEventKeyboardSetUnicodeString),
                             void (*)(CGEventRef, UniCharCount, const UniChar*)>);
static_assert(std::is_same_v<decltype(&CGEventSetFlags), void (*)(CGEventRef, CGEventFlags)>);
static_assert(
    std::is_same_v<decltype(&CGEventCreateMouseEvent),
                   CGEventRef (*)(CGEventSourceRef, CGEventType, CGPoint, CGMouseButton)>);
static_assert(std::is_same_v<decltype(&CGEventSetIntegerValueField),
                             void (*)(CGEventRef, CGEventField, int64_t)>);
static_assert(std::is_same_v<decltype(&CGEventCreateScrollWheelEvent2),
                             CGEventRef (*)(CGEventSourceRef, CGScrollEventUnit, uint32_t, int32_t,
                                            int32_t, int32_t)>);
static_assert(std::is_same_v<decltype(&CGEventPost), void (*)(CGEventTapLocation, CGEventRef)>);
static_assert(std::is_same_v<decltype(&CGEventCreate), CGEventRef (*)(CGEventSourceRef)>);
static_assert(std::is_same_v<decltype(&CGEventGetLocation), CGPoint (*)(CGEventRef)>);
static_assert(std::is_same_v<decltype(&CGEventSourceButtonState),
                             bool (*)(CGEventSourceStateID, CGMouseButton)>);
static_assert(std::is_same_v<decltype(&CGGetActiveDisplayList),
                             CGError (*)(uint32_t, CGDirectDisplayID*, uint32_t*)>);
static_assert(std::is_same_v<decltype(&CGMainDisplayID), CGDirectDisplayID (*)()>);
static_assert(std::is_same_v<decltype(&CGDisplayBounds), CGRect (*)(CGDirectDisplayID)>);
static_assert(std::is_same_v<decltype(&CFRelease), void (*)(CFTypeRef)>);
static_assert(
    std::is_same_v<decltype(&AXIsProcessTrustedWithOptions), Boolean (*)(CFDictionaryRef)>);

CGEventRef Cg(EventRef event) { return reinterpret_cast<CGEventRef>(event); }
CGEventSourceRef Cg(EventSourceRef source) { return reinterpret_cast<CGEventSourceRef>(source); }
EventRef Ours(CGEventRef event) { return reinterpret_cast<EventRef>(event); }

class AppleQuartzCalls : public QuartzCalls {
 public:
  EventSourceRef EventSourceCreate(quartz::SourceStateId state) override {
    return reinterpret_cast<EventSourceRef>(
        CGEventSourceCreate(static_cast<CGEventSourceStateID>(state)));
  }
  EventRef EventCreateKeyboardEvent(EventSourceRef source, quartz::KeyCode code,
                                    bool keyDown) override {
    return Ours(CGEventCreateKeyboardEvent(Cg(source), code, keyDown));
  }
  void EventKeyboardSetUnicodeString(EventRef event, quartz::UniCharCount length,
                                     const quartz::UniChar* units) override {
    CGEventKeyboardSetUnicodeString(Cg(event), length, units);
  }
  void EventSetFlags(EventRef event, quartz::EventFlags flags) override {
    CGEventSetFlags(Cg(event), static_cast<CGEventFlags>(flags));
  }
  EventRef EventCreateMouseEvent(EventSourceRef source, quartz::EventType type,
                                 quartz::Point position, quartz::MouseButton button) override {
    return Ours(CGEventCreateMouseEvent(Cg(source), static_cast<CGEventType>(type),
                                        CGPointMake(position.x, position.y),
                                        static_cast<CGMouseButton>(button)));
  }
  void EventSetIntegerValueField(EventRef event, quartz::EventField field, int64_t value) override {
    CGEventSetIntegerValueField(Cg(event), static_cast<CGEventField>(field), value);
  }
  EventRef EventCreateScrollWheelEvent2(EventSourceRef source, quartz::ScrollUnit units,
                                        uint32_t wheelCount, int32_t wheel1, int32_t wheel2,
                                        int32_t wheel3) override {
    return Ours(CGEventCreateScrollWheelEvent2(Cg(source), static_cast<CGScrollEventUnit>(units),
                                               wheelCount, wheel1, wheel2, wheel3));
  }
  void EventPost(quartz::TapLocation tap, EventRef event) override {
    CGEventPost(static_cast<CGEventTapLocation>(tap), Cg(event));
  }
  EventRef EventCreate(EventSourceRef source) override { return Ours(CGEventCreate(Cg(source))); }
  quartz::Point EventGetLocation(EventRef event) override {
    CGPoint at = CGEventGetLocation(Cg(event));
    return quartz::Point{at.x, at.y};
  }
  bool EventSourceButtonState(quartz::SourceStateId state, quartz::MouseButton button) override {
    return CGEventSourceButtonState(static_cast<CGEventSourceStateID>(state),
                                    static_cast<CGMouseButton>(button));
  }
  quartz::Error GetActiveDisplayList(uint32_t maxDisplays, quartz::DisplayId* displays,
                                     uint32_t* displayCount) override {
    return static_cast<quartz::Error>(CGGetActiveDisplayList(maxDisplays, displays, displayCount));
  }
  quartz::DisplayId MainDisplayID() override { return CGMainDisplayID(); }
  quartz::Rect DisplayBounds(quartz::DisplayId display) override {
    CGRect r = CGDisplayBounds(display);
    return quartz::Rect{{r.origin.x, r.origin.y}, {r.size.width, r.size.height}};
  }
  void Release(const void* reference) override { CFRelease(reference); }
};

class AppleTrustCalls : public TrustCalls {
 public:
  quartz::Boolean IsProcessTrustedWithOptions(bool prompt) override {
    const void* keys[] = {kAXTrustedCheckOptionPrompt};
    const void* values[] = {prompt ? kCFBooleanTrue : kCFBooleanFalse};
    CFDictionaryRef options =
        CFDictionaryCreate(kCFAllocatorDefault, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                           &kCFTypeDictionaryValueCallBacks);
    Boolean trusted = AXIsProcessTrustedWithOptions(options);
    if (options != nullptr) CFRelease(options);
    return trusted;
  }
};

}  // namespace

QuartzCalls& AppleQuartz() {
  static AppleQuartzCalls calls;
  return calls;
}

TrustCalls& AppleTrust() {
  static AppleTrustCalls calls;
  return calls;
}

}  // namespace hovra::platform::macos
