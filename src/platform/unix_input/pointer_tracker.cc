#include "platform/unix_input/pointer_tracker.h"

#include <algorithm>
#include <cmath>

namespace hovra::platform::unix_input {
namespace {

bool Contains(const LayoutRect& box, Point point) {
  return box.x <= point.x && point.x < box.x + box.width && box.y <= point.y &&
         point.y < box.y + box.height;
}

Point ClampInto(const LayoutRect& box, Point point) {
  auto clamp = [](double v, int low, int length) {
    if (std::isnan(v)) return static_cast<double>(low);
    return std::clamp(v, static_cast<double>(low), static_cast<double>(low + length - 1));
  };
  return {clamp(point.x, box.x, box.width), clamp(point.y, box.y, box.height)};
}

Point Centre(const LayoutRect& box) {
  return {box.x + std::floor(box.width / 2.0), box.y + std::floor(box.height / 2.0)};
}

}  // namespace

void PointerTracker::SetOutputs(std::vector<LayoutRect> outputs) {
  outputs_ = std::move(outputs);
  if (outputs_.empty()) return;  // keeps the last known point until outputs come back
  if (!position_) {
    position_ = Centre(Main());
  } else if (OutputAt(*position_) == nullptr) {
    position_ = ClampInto(Main(), *position_);
  }
}

const LayoutRect* PointerTracker::OutputAt(Point point) const {
  for (const LayoutRect& box : outputs_) {
    if (Contains(box, point)) return &box;
  }
  return nullptr;
}

Point PointerTracker::MoveTo(Point eventPosition) {
  LayoutRect main = Main();
  Point target{eventPosition.x + main.x, eventPosition.y + main.y};
  if (!outputs_.empty() && OutputAt(target) == nullptr) {
    const LayoutRect* holder = position_ ? OutputAt(*position_) : nullptr;
    target = ClampInto(holder != nullptr ? *holder : main, target);
  }
  position_ = target;
  return target;
}

Point PointerTracker::InScreenSpace() const {
  Point at = InLayout();
  return unix_input::LayoutPointToScreenSpace(at.x, at.y, Main());
}

Point PointerTracker::InEventSpace() const {
  Point at = InLayout();
  return unix_input::LayoutPointToEventSpace(at.x, at.y, Main());
}

std::vector<Rect> PointerTracker::ScreenFrames() const {
  std::vector<Rect> frames;
  for (const LayoutRect& box : outputs_)
    frames.push_back(unix_input::LayoutToScreenSpace(box, Main()));
  return frames;
}

LayoutRect PointerTracker::Bounds() const {
  if (outputs_.empty()) return {};
  int left = outputs_[0].x, top = outputs_[0].y;
  int right = left + outputs_[0].width, bottom = top + outputs_[0].height;
  for (const LayoutRect& box : outputs_) {
    left = std::min(left, box.x);
    top = std::min(top, box.y);
    right = std::max(right, box.x + box.width);
    bottom = std::max(bottom, box.y + box.height);
  }
  return {left, top, right - left, bottom - top};
}

}  // namespace hovra::platform::unix_input
