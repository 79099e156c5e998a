// The monitors of an X screen in root coordinates, primary first (XRandR's monitor list;
// the whole root window when the server has no monitor list). One round trip per read.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "platform/unix_input/layout_space.h"

namespace hovra::platform::x11 {

using unix_input::LayoutRect;

// Whether the server keeps a monitor list (RandR 1.5); asked once per connection.
bool HasMonitorList(Display* display);
std::vector<LayoutRect> ReadMonitors(Display* display, bool hasMonitorList);

}  // namespace hovra::platform::x11
