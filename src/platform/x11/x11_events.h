// The X11 backend of the event services: posts keys, buttons, motion and wheel clicks
// through XTEST on one display, and reads the pointer and the monitors (XRandR) afresh on
// every call. Survives the display going away: events are dropped (logged once) and the
// connection is reopened when the display is back.
//   std::unique_ptr<X11Events> events = OpenX11Events(":0");   // null: no usable display
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/event_services.h"

namespace hovra::platform::x11 {

// Wheel clicks posted for one scroll event at most, per direction: a delta of a billion
// must not keep the worker clicking for minutes.
inline constexpr int kMaxWheelClicksPerEvent = 100;
// How long a lost display is left alone before the next connect attempt.
inline constexpr std::chrono::milliseconds kReconnectInterval{1000};

class X11Events : public EventServices {
 public:
  ~X11Events() override;

  void PostKey(const KeyEvent& event) override;
  void PostMouse(const MouseEvent& event) override;
  void PostScroll(const ScrollEvent& event) override;

  Point PointerLocation() override;       // screen space
  Point PointerEventLocation() override;  // event space
  uint32_t PressedMouseButtons() override;
  std::vector<Rect> ScreenFrames() override;

  // Waits until the X server has carried out everything posted so far (a round trip);
  // for tests and measurements. False while the display is unreachable.
  bool Sync();

  struct State;  // the connection, keyboard map and last known pointer, behind one lock

 private:
  friend std::unique_ptr<X11Events> OpenX11Events(const char*, std::chrono::milliseconds);
  explicit X11Events(std::unique_ptr<State> state);

  std::mutex mutex_;  // the worker posts; the main thread may read the screens
  std::unique_ptr<State> state_;
};

// Opens `display` (null or empty: $DISPLAY); null when it cannot be reached or has no XTEST.
std::unique_ptr<X11Events> OpenX11Events(
    const char* display, std::chrono::milliseconds reconnectInterval = kReconnectInterval);

}  // namespace hovra::platform::x11
