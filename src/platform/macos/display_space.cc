#include "platform/macos/display_space.h"

#include <algorithm>

#include "base/log.h"

namespace hovra::platform::macos {
namespace {

double TopOf(const quartz::Rect& r) { return r.origin.y + r.size.height; }

}  // namespace

Rect ToScreenSpace(const quartz::Rect& bounds, const quartz::Rect& mainBounds) {
  return Rect{bounds.origin.x, TopOf(mainBounds) - TopOf(bounds), bounds.size.width,
              bounds.size.height};
}

Point ToScreenSpace(const quartz::Point& point, const quartz::Rect& mainBounds) {
  return Point{point.x, TopOf(mainBounds) - point.y};
}

std::vector<quartz::DisplayId> ActiveDisplaysMainFirst(QuartzCalls& calls) {
  const quartz::DisplayId main = calls.MainDisplayID();
  quartz::DisplayId list[kMaxDisplays] = {};
  uint32_t count = 0;
  std::vector<quartz::DisplayId> ids{main};
  if (calls.GetActiveDisplayList(kMaxDisplays, list, &count) != quartz::kErrorSuccess) {
    static LogOnce failed;
    if (failed.First()) Log("cannot list the active displays; using the main display alone");
    return ids;
  }
  for (uint32_t i = 0; i < std::min(count, kMaxDisplays); ++i) {
    if (list[i] != main) ids.push_back(list[i]);
  }
  return ids;
}

std::vector<Rect> ScreenFramesOf(QuartzCalls& calls) {
  std::vector<quartz::DisplayId> ids = ActiveDisplaysMainFirst(calls);
  const quartz::Rect main = calls.DisplayBounds(ids.front());
  std::vector<Rect> frames;
  frames.reserve(ids.size());
  for (quartz::DisplayId id : ids) frames.push_back(ToScreenSpace(calls.DisplayBounds(id), main));
  return frames;
}

}  // namespace hovra::platform::macos
