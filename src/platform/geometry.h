// Points and rectangles shared by the pointer logic and every backend.
#pragma once

namespace hovra::platform {

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A screen frame in screen space: origin bottom-left of the main screen, y up.
struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace hovra::platform
