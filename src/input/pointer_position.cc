// Where a relative step puts the pointer, in event space.
//
// Screen space reports a screen's upper edge as y = oy + h, one past its top pixel row,
// so the pointer's y is lowered by one before anything else and every flip adds the one
// back: event y = main.oy + main.h - 1 - y. The flip always uses the main screen (the
// first frame): event space is one global space anchored at the main screen's top-left,
// whichever screen holds the point.
#include <cmath>
#include <limits>
#include <vector>

#include "base/log.h"
#include "input/pointer.h"
#include "platform/services.h"

namespace hovra {
namespace {

using platform::Point;
using platform::Rect;

bool Contains(const Rect& r, double x, double y) {
  return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

const Rect* FirstFrameHolding(const std::vector<Rect>& frames, double x, double y) {
  for (const Rect& frame : frames) {
    if (Contains(frame, x, y)) return &frame;
  }
  return nullptr;
}

// Truncation toward zero into 32 bits; a position beyond that range saturates.
double TruncateTo32Bits(double value) {
  if (std::isnan(value)) return 0;
  double t = std::trunc(value);
  if (t < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (t > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return t;
}

LogOnce s_offScreenLogged;  // re-armed once the pointer is back on a screen

double Clamp(double v, double low, double length) {
  if (v < low) return low;
  if (v > low + length - 1) return low + length - 1;
  return v;
}

}  // namespace

Point GetMousePosForEvent(int dx, int dy) {
  platform::EventServices& events = platform::GetEvents();
  Point pointer = events.PointerLocation();
  std::vector<Rect> frames = events.ScreenFrames();
  const Rect main = frames.empty() ? Rect{} : frames.front();
  auto flip = [&main](double x, double y) { return Point{x, main.y + main.height - 1 - y}; };

  const double px = TruncateTo32Bits(pointer.x);
  const double py = TruncateTo32Bits(pointer.y) - 1;
  const Rect* holder = FirstFrameHolding(frames, px, py);
  if (holder == nullptr) {
    if (s_offScreenLogged.First())
      Log("pointer at %.0f %.0f is on no screen; motion ignored", pointer.x, pointer.y);
    return flip(px, py);
  }
  s_offScreenLogged.Rearm();
  if (dx == 0 && dy == 0) return flip(px, py);

  const double nx = px + dx;
  const double ny = py - static_cast<double>(dy);
  if (Contains(*holder, nx, ny)) return flip(nx, ny);
  if (FirstFrameHolding(frames, nx, ny) != nullptr) return flip(nx, ny);  // crosses to that screen
  return flip(Clamp(nx, holder->x, holder->width), Clamp(ny, holder->y, holder->height));
}

void outputScreens() {
  for (const Rect& frame : platform::GetEvents().ScreenFrames()) {
    Debug("%f %f %f %f", frame.x, frame.y, frame.width, frame.height);
  }
}

}  // namespace hovra
