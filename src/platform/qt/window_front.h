// Showing a window the way the status menu's windows come up: visible and in front of
// the others, without taking the focus from the application the user is working in
// (where the window system allows a window to be raised without being activated).
#pragma once

class QWidget;

namespace hovra::platform::qt {

void ShowInFront(QWidget& window);

}  // namespace hovra::platform::qt
