// The coordinate spaces of the pointer on a Unix desktop: layout coordinates (the X root
// window's or the Wayland compositor's: origin top-left of the whole layout, y down),
// event space (origin top-left of the main monitor, y down) and screen space (origin
// bottom-left of the main monitor, y up).
#pragma once

#include <utility>
#include <vector>

#include "platform/geometry.h"

namespace hovra::platform::unix_input {

struct LayoutRect {  // a monitor or output, in layout coordinates
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

// Moves the main monitor (the one at the layout's origin, else the first) to the front.
void PutMainFirst(std::vector<LayoutRect>& monitors);

Rect LayoutToScreenSpace(const LayoutRect& monitor, const LayoutRect& main);
Point LayoutPointToScreenSpace(double x, double y, const LayoutRect& main);
Point LayoutPointToEventSpace(double x, double y, const LayoutRect& main);
// Rounded to the nearest pixel and kept within the 16-bit range X coordinates travel in
// (a range every Wayland layout fits in as well).
std::pair<int, int> EventToLayout(const Point& position, const LayoutRect& main);

}  // namespace hovra::platform::unix_input
