// The windows of an X11 session through the window manager's EWMH properties: the client
// list, the active window, and per window its process, class, GTK application id and
// whether it stays out of the task bar (docks and desktops count as such too). Changes
// are read on the main context from the X connection's descriptor; the active window's
// transient None (some managers clear it before setting the next) is held back briefly.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/linux/window_tracker.h"

namespace hovra::platform::linux_desktop {

class EwmhWindowTracker : public WindowTracker {
 public:
  // The X server's time of the latest event seen; 0 before any.
  virtual uint32_t ServerTime() const = 0;
};

// Null when the display cannot be opened (`display` null: $DISPLAY).
std::unique_ptr<EwmhWindowTracker> OpenEwmhWindowTracker(const char* display);

}  // namespace hovra::platform::linux_desktop
