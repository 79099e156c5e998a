// The pointer: relative motion across the attached screens, button presses with double-
// and triple-click counting, clicks, and the drag gesture. Positions handed to events are
// in event space (origin top-left of the main screen, y down); the pointer and the screen
// frames come in screen space (origin bottom-left of the main screen, y up).
// Worker thread only; the click counter and drag position are shared by every client.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

namespace hovra {

enum MouseKey_ : int32_t { kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2 };

// Presses of the left button at most this far apart count as one multi-click.
inline constexpr uint32_t kMultiClickMilliseconds = 200;

// The pointer moved by (dx right, dy down), kept on its screen unless the step lands on
// another screen, in event space. Outside every screen the step is ignored.
platform::Point GetMousePosForEvent(int dx, int dy);

void SendMouseMove(int dx, int dy);            // a dragged event while the left button is down
void SendMouseRawKey(MouseKey_ key, bool up);  // one press (up false) or release
void SendMouseClick(MouseKey_ key);            // left or right press and release

void DragStart();               // left press, remembers where the drag began
void DragMove(int dx, int dy);  // a left-dragged step
void DragEnd();                 // left release where the last drag step ended

// Logs each screen frame ("x y width height") at start-up, with --verbose.
void outputScreens();

// Forgets the click sequence and the drag position (for tests).
void ResetClickAndDragState();

}  // namespace hovra
