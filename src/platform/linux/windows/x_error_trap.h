// X errors on the tracker's own connection are expected (a window can vanish between
// reading the client list and reading its properties) and are ignored; errors on other
// connections are logged once rather than ending the process. A lost connection raises a flag
// instead of ending the process.
#pragma once

#include <X11/Xlib.h>

#include <atomic>

namespace hovra::platform::linux_desktop {

void TrapErrorsOf(Display* display, std::atomic<bool>* broken);
void UntrapErrorsOf(Display* display);

}  // namespace hovra::platform::linux_desktop
