// Motion, buttons, clicks and the drag gesture.
#include <optional>

#include "base/log.h"
#include "input/pointer.h"
#include "input/tick_source.h"
#include "platform/services.h"

namespace hovra {
namespace {

using platform::MouseEvent;
using platform::Point;

uint32_t s_lastClickTime = 0;  // tick of the last left press
bool s_pressedBefore = false;  // whether there was a left press yet (any tick is valid)
int32_t s_clickCnt = 0;        // 1 to 3 within a sequence of quick left presses
Point s_dragPos;               // event space: where the last drag step left the pointer

constexpr uint32_t kLeftButtonBit = 1;
constexpr int kMaxClickCount = 3;
constexpr int kOtherButton = 2;  // the event's button number for the middle key

struct ButtonTypes {
  int down;
  int up;
};

std::optional<ButtonTypes> TypesOf(MouseKey_ key) {
  switch (key) {
    case kMouseLeft:
      return ButtonTypes{platform::kLeftMouseDown, platform::kLeftMouseUp};
    case kMouseRight:
      return ButtonTypes{platform::kRightMouseDown, platform::kRightMouseUp};
    case kMouseMiddle:
      return ButtonTypes{platform::kOtherMouseDown, platform::kOtherMouseUp};
  }
  return std::nullopt;
}

// Keeps the click count of quick left presses: each press within the window of the
// previous one raises it (to at most 3), any other press starts again at 1. The window is
// measured press to press, by unsigned difference, so it holds across the wrap of the
// 32-bit tick: a press long before the wrap is long ago, not "in the future".
void CountLeftPress() {
  uint32_t now = CurrentTick();
  bool quick = s_pressedBefore && now - s_lastClickTime <= kMultiClickMilliseconds;
  s_clickCnt = quick ? (s_clickCnt < kMaxClickCount ? s_clickCnt + 1 : kMaxClickCount) : 1;
  s_lastClickTime = now;
  s_pressedBefore = true;
}

void Post(int type, Point position, int button, std::optional<int64_t> clickState = std::nullopt) {
  MouseEvent event;
  event.type = type;
  event.position = position;
  event.button = button;
  event.clickState = clickState;
  platform::GetEvents().PostMouse(event);
}

}  // namespace

void SendMouseMove(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  bool leftDown = (platform::GetEvents().PressedMouseButtons() & kLeftButtonBit) != 0;
  Post(leftDown ? platform::kLeftMouseDragged : platform::kMouseMoved, GetMousePosForEvent(dx, dy),
       0);
}

void SendMouseRawKey(MouseKey_ key, bool up) {
  std::optional<ButtonTypes> types = TypesOf(key);
  if (!types) return;
  if (key == kMouseLeft && !up) CountLeftPress();
  std::optional<int64_t> clickState;
  if (key == kMouseLeft && s_clickCnt >= 2)
    clickState = s_clickCnt;  // a release repeats its press's count
  Post(up ? types->up : types->down, GetMousePosForEvent(0, 0),
       key == kMouseMiddle ? kOtherButton : 0, clickState);
}

void SendMouseClick(MouseKey_ key) {
  if (key != kMouseLeft && key != kMouseRight) return;
  ButtonTypes types = *TypesOf(key);
  Point position = GetMousePosForEvent(0, 0);
  Post(types.down, position, 0);
  Post(types.up, position, 0);
}

// A drag sends many steps; the log notes the first of each drag, not every one.
static LogOnce s_dragLogged;

void DragStart() {
  s_dragLogged.Rearm();
  SendMouseRawKey(kMouseLeft, false);
  s_dragPos = platform::GetEvents().PointerEventLocation();
}

void DragMove(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  Point position = GetMousePosForEvent(dx, dy);
  Post(platform::kLeftMouseDragged, position, 0);
  s_dragPos = position;
  if (s_dragLogged.First()) Log("drag move >>>>>");
}

void DragEnd() { Post(platform::kLeftMouseUp, s_dragPos, 0); }

void ResetClickAndDragState() {
  s_lastClickTime = 0;
  s_pressedBefore = false;
  s_clickCnt = 0;
  s_dragPos = Point{};
}

}  // namespace hovra
