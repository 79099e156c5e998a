// The three coordinate spaces of the pointer on an X desktop: root-window coordinates
// (X's own, origin top-left of the root), event space (origin top-left of the primary
// monitor, y down) and screen space (origin bottom-left of the primary monitor, y up).
#pragma once

#include <utility>
#include <vector>

#include "platform/geometry.h"

namespace hovra::platform::x11 {

struct MonitorRect {  // root coordinates
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const MonitorRect&, const MonitorRect&) = default;
};

Rect MonitorToScreenSpace(const MonitorRect& monitor, const MonitorRect& primary);
Point RootToScreenSpace(int x, int y, const MonitorRect& primary);
Point RootToEventSpace(int x, int y, const MonitorRect& primary);
// Rounded to the nearest pixel and kept within the 16-bit range X coordinates travel in.
std::pair<int, int> EventToRoot(const Point& position, const MonitorRect& primary);

}  // namespace hovra::platform::x11
