// The wayland backend of the event services, for compositors that offer the wlroots
// virtual pointer and keyboard (sway and other wlroots compositors). Both devices are
// created once and kept; keys go through an XKB keymap of the backend's own (XkbKeymap).
// No Wayland client can read the pointer back, so the backend keeps its own: it starts at
// the centre of the main output and follows every posted mouse event. Outputs and their
// layout come from wl_output and xdg-output. Survives the compositor going away like the
// x11 backend survives its display.
//   std::unique_ptr<WaylandEvents> events = OpenWaylandEvents("");  // null: unreachable
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/event_services.h"

namespace hovra::platform::wayland {

// Wheel clicks posted for one scroll event at most, per direction.
inline constexpr int kMaxWheelClicksPerEvent = 100;
// One wheel click in surface units, as a real wheel's detent is reported.
inline constexpr double kWheelClickDistance = 15;
inline constexpr std::chrono::milliseconds kReconnectInterval{1000};

class WaylandEvents : public EventServices {
 public:
  ~WaylandEvents() override;

  void PostKey(const KeyEvent& event) override;
  void PostMouse(const MouseEvent& event) override;
  void PostScroll(const ScrollEvent& event) override;

  Point PointerLocation() override;       // screen space
  Point PointerEventLocation() override;  // event space
  uint32_t PressedMouseButtons() override;
  std::vector<Rect> ScreenFrames() override;

  // Waits until the compositor has handled everything posted so far (a round trip); for
  // tests and measurements. False while the compositor is unreachable.
  bool Sync();

  struct State;

 private:
  friend std::unique_ptr<WaylandEvents> OpenWaylandEvents(const std::string&,
                                                          std::chrono::milliseconds);
  explicit WaylandEvents(std::unique_ptr<State> state);

  std::mutex mutex_;  // the worker posts; the main thread may read the screens
  std::unique_ptr<State> state_;
};

// Connects to `display` (empty: $WAYLAND_DISPLAY); null when it cannot be reached or lacks
// the virtual pointer or keyboard.
std::unique_ptr<WaylandEvents> OpenWaylandEvents(
    const std::string& display, std::chrono::milliseconds reconnectInterval = kReconnectInterval);

}  // namespace hovra::platform::wayland
