#include "platform/macos/mac_events.h"

#include <vector>

#include "platform/macos/display_space.h"

namespace hovra::platform::macos {
namespace {

bool IsText(const KeyEvent& event) { return !event.unicode.empty(); }

bool NeedsHidSource(std::span<const KeyEvent> events) {
  for (const KeyEvent& event : events) {
    if (event.source == EventSource::kHid && !IsText(event)) return true;
  }
  return false;
}

// The mouse event types the pointer logic posts, and nothing else.
bool IsPostedMouseType(int type) {
  switch (type) {
    case kLeftMouseDown:
    case kLeftMouseUp:
    case kRightMouseDown:
    case kRightMouseUp:
    case kMouseMoved:
    case kLeftMouseDragged:
    case kOtherMouseDown:
    case kOtherMouseUp:
      return true;
    default:
      return false;
  }
}

constexpr int64_t kDoubleClick = 2;

}  // namespace

void MacEventServices::Release(const void* reference) {
  if (reference != nullptr) calls_.Release(reference);
}

void MacEventServices::PostAndRelease(EventRef event) {
  calls_.EventPost(quartz::kHidEventTap, event);
  calls_.Release(event);
}

void MacEventServices::PostKey(const KeyEvent& event) { PostKeys("", {&event, 1}); }

void MacEventServices::PostSequence(const KeySequence& sequence) {
  PostKeys(sequence.name, sequence.events);
}

void MacEventServices::PostKeys(std::string_view name, std::span<const KeyEvent> events) {
  if (events.empty()) return;
  if (gate_) gate_->TrustedForPosting();  // logs when the system drops them
  EventSourceRef hid = nullptr;
  if (NeedsHidSource(events)) {
    hid = calls_.EventSourceCreate(quartz::kSourceStateHidSystem);
    if (hid == nullptr) {
      if (keyFailed_.First())
        Log("cannot create an event source; %.*s not posted", static_cast<int>(name.size()),
            name.data());
      return;
    }
  }
  // Created all before any is posted, so that a failure posts none of them.
  std::vector<EventRef> created;
  created.reserve(events.size());
  for (const KeyEvent& event : events) {
    const bool text = IsText(event);
    EventSourceRef source = event.source == EventSource::kHid && !text ? hid : nullptr;
    EventRef ref = calls_.EventCreateKeyboardEvent(source, event.code, event.down);
    if (ref == nullptr) {
      if (keyFailed_.First())
        Log("cannot create a key event (code %u); %zu events not posted", event.code,
            events.size());
      for (EventRef made : created) calls_.Release(made);
      Release(hid);
      return;
    }
    if (text) {
      calls_.EventKeyboardSetUnicodeString(
          ref, event.unicode.size(),
          reinterpret_cast<const quartz::UniChar*>(event.unicode.data()));
      // After the string: held modifiers must not change what the text types.
      calls_.EventSetFlags(ref, event.flags.value_or(0));
    } else if (event.flags) {
      calls_.EventSetFlags(ref, *event.flags);
    }
    created.push_back(ref);
  }
  keyFailed_.Rearm();
  for (EventRef ref : created) calls_.EventPost(quartz::kHidEventTap, ref);
  for (EventRef ref : created) calls_.Release(ref);
  Release(hid);
}

void MacEventServices::PostMouse(const MouseEvent& event) {
  if (!IsPostedMouseType(event.type) || event.button < 0 ||
      event.button > static_cast<int>(quartz::kMouseButtonCenter)) {
    Log("mouse event of type %d, button %d not posted: not one the pointer posts", event.type,
        event.button);
    return;
  }
  if (gate_) gate_->TrustedForPosting();
  EventRef ref = calls_.EventCreateMouseEvent(nullptr, static_cast<quartz::EventType>(event.type),
                                              quartz::Point{event.position.x, event.position.y},
                                              static_cast<quartz::MouseButton>(event.button));
  if (ref == nullptr) {
    if (mouseFailed_.First()) Log("cannot create a mouse event (type %d); not posted", event.type);
    return;
  }
  mouseFailed_.Rearm();
  // Double and triple clicks only: a single click leaves the field to the system.
  if (event.clickState && *event.clickState >= kDoubleClick) {
    calls_.EventSetIntegerValueField(ref, quartz::kMouseEventClickState, *event.clickState);
  }
  PostAndRelease(ref);
}

void MacEventServices::PostScroll(const ScrollEvent& event) {
  if (gate_) gate_->TrustedForPosting();
  // Pixel units, two wheels: the first is vertical, the second horizontal.
  EventRef ref = calls_.EventCreateScrollWheelEvent2(nullptr, quartz::kScrollUnitPixel, 2,
                                                     event.vertical, event.horizontal, 0);
  if (ref == nullptr) {
    if (scrollFailed_.First()) Log("cannot create a scroll event; not posted");
    return;
  }
  scrollFailed_.Rearm();
  PostAndRelease(ref);
}

Point MacEventServices::PointerEventLocation() {
  EventRef probe = calls_.EventCreate(nullptr);
  if (probe == nullptr) {
    if (locationFailed_.First()) Log("cannot read the pointer position; taking 0 0");
    return Point{};
  }
  locationFailed_.Rearm();
  quartz::Point at = calls_.EventGetLocation(probe);
  calls_.Release(probe);
  return Point{at.x, at.y};
}

Point MacEventServices::PointerLocation() {
  Point at = PointerEventLocation();
  const quartz::Rect main = calls_.DisplayBounds(calls_.MainDisplayID());
  return ToScreenSpace(quartz::Point{at.x, at.y}, main);
}

uint32_t MacEventServices::PressedMouseButtons() {
  // The session's combined state counts the buttons this program posted as well.
  uint32_t bits = 0;
  const quartz::MouseButton buttons[] = {quartz::kMouseButtonLeft, quartz::kMouseButtonRight,
                                         quartz::kMouseButtonCenter};
  for (quartz::MouseButton button : buttons) {
    if (calls_.EventSourceButtonState(quartz::kSourceStateCombinedSession, button)) {
      bits |= 1u << button;
    }
  }
  return bits;
}

std::vector<Rect> MacEventServices::ScreenFrames() { return ScreenFramesOf(calls_); }

}  // namespace hovra::platform::macos
