// The displays as the pointer logic wants them. Quartz gives display bounds and the pointer
// in global display space (origin top-left of the main display, y down); the pointer logic
// takes screen space (origin bottom-left of the main display, y up). Both flips use the main
// display's frame, whichever display holds the point, as the rest of the program does: one
// global space anchored at the main display.
#pragma once

#include <vector>

#include "platform/geometry.h"
#include "platform/macos/quartz_calls.h"

namespace hovra::platform::macos {

// More displays than a Mac can drive; the list is asked for in one call of this size.
inline constexpr uint32_t kMaxDisplays = 32;

Rect ToScreenSpace(const quartz::Rect& bounds, const quartz::Rect& mainBounds);
Point ToScreenSpace(const quartz::Point& point, const quartz::Rect& mainBounds);

// The active displays, main display first, then the others in the system's order. When the
// list cannot be had, the main display alone.
std::vector<quartz::DisplayId> ActiveDisplaysMainFirst(QuartzCalls& calls);
// Their frames in screen space, in that order.
std::vector<Rect> ScreenFramesOf(QuartzCalls& calls);

}  // namespace hovra::platform::macos
