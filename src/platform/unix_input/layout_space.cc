#include "platform/unix_input/layout_space.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace hovra::platform::unix_input {
namespace {

int ToWireCoordinate(double value) {
  if (std::isnan(value)) return 0;
  double clamped = std::clamp(std::round(value), double{INT16_MIN}, double{INT16_MAX});
  return static_cast<int>(clamped);
}

}  // namespace

void PutMainFirst(std::vector<LayoutRect>& monitors) {
  auto main = std::find_if(monitors.begin(), monitors.end(),
                           [](const LayoutRect& box) { return box.x == 0 && box.y == 0; });
  if (main != monitors.end()) std::rotate(monitors.begin(), main, main + 1);
}

Rect LayoutToScreenSpace(const LayoutRect& monitor, const LayoutRect& main) {
  // Flipped about the main monitor's bottom edge, which is screen space's y = 0.
  double bottom = main.y + main.height;
  return Rect{static_cast<double>(monitor.x - main.x), bottom - (monitor.y + monitor.height),
              static_cast<double>(monitor.width), static_cast<double>(monitor.height)};
}

Point LayoutPointToScreenSpace(double x, double y, const LayoutRect& main) {
  return Point{x - main.x, main.y + main.height - y};
}

Point LayoutPointToEventSpace(double x, double y, const LayoutRect& main) {
  return Point{x - main.x, y - main.y};
}

std::pair<int, int> EventToLayout(const Point& position, const LayoutRect& main) {
  return {ToWireCoordinate(position.x + main.x), ToWireCoordinate(position.y + main.y)};
}

}  // namespace hovra::platform::unix_input
