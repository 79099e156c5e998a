#include "platform/x11/screen_space.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace hovra::platform::x11 {
namespace {

int ToWireCoordinate(double value) {
  if (std::isnan(value)) return 0;
  double clamped = std::clamp(std::round(value), double{INT16_MIN}, double{INT16_MAX});
  return static_cast<int>(clamped);
}

}  // namespace

Rect MonitorToScreenSpace(const MonitorRect& monitor, const MonitorRect& primary) {
  // Flipped about the primary monitor's bottom edge, which is screen space's y = 0.
  double bottom = primary.y + primary.height;
  return Rect{static_cast<double>(monitor.x - primary.x), bottom - (monitor.y + monitor.height),
              static_cast<double>(monitor.width), static_cast<double>(monitor.height)};
}

Point RootToScreenSpace(int x, int y, const MonitorRect& primary) {
  return Point{static_cast<double>(x - primary.x),
               static_cast<double>(primary.y + primary.height - y)};
}

Point RootToEventSpace(int x, int y, const MonitorRect& primary) {
  return Point{static_cast<double>(x - primary.x), static_cast<double>(y - primary.y)};
}

std::pair<int, int> EventToRoot(const Point& position, const MonitorRect& primary) {
  return {ToWireCoordinate(position.x + primary.x), ToWireCoordinate(position.y + primary.y)};
}

}  // namespace hovra::platform::x11
