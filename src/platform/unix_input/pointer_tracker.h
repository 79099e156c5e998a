// The pointer as a backend keeps it for itself where nothing lets it read the real one back
// (Wayland, the desktop portal): a point of the compositor's layout that starts at the centre of
// the main output and follows every posted position. A position on no output is clamped, per axis,
// into the output that held the pointer, the way relative motion stays on its screen. Also the
// buttons the backend holds down.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/geometry.h"
#include "platform/unix_input/layout_space.h"

namespace hovra::platform::unix_input {

class PointerTracker {
 public:
  // The outputs as they are now, main first. A pointer left on no output goes to the main one.
  void SetOutputs(std::vector<LayoutRect> outputs);
  bool HasOutputs() const { return !outputs_.empty(); }

  // Moves to an event-space position; the result is the layout point it ends at.
  Point MoveTo(Point eventPosition);
  Point InLayout() const { return position_.value_or(Point{}); }
  Point InScreenSpace() const;
  Point InEventSpace() const;
  std::vector<Rect> ScreenFrames() const;  // main first
  LayoutRect Bounds() const;               // the box around every output

  // Bit 0 left, bit 1 right, bit 2 other.
  void SetButton(uint32_t bit, bool down) { buttons_ = down ? buttons_ | bit : buttons_ & ~bit; }
  uint32_t Buttons() const { return buttons_; }

 private:
  LayoutRect Main() const { return outputs_.empty() ? LayoutRect{} : outputs_.front(); }
  const LayoutRect* OutputAt(Point point) const;

  std::vector<LayoutRect> outputs_;
  std::optional<Point> position_;  // unset until the first outputs are known
  uint32_t buttons_ = 0;
};

}  // namespace hovra::platform::unix_input
