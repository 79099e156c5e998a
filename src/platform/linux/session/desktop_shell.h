// Small requests to the desktop shell over the session bus, sent without waiting for a
// reply: waking the screen (the screen saver's user activity) and the window overview
// where the shell offers it by D-Bus (KDE Plasma). Callable from any thread.
#pragma once

#include "platform/linux/dbus/bus.h"

namespace hovra::platform::linux_desktop {

// Tells the screen saver that the user is active, so what a client just started (a slide
// show, a full-screen video) is not hidden behind it. False when no screen saver listens.
bool WakeScreen(Bus& session);

// Shows the overview of all windows through the shell's own D-Bus shortcut; false when the
// shell offers none (the caller then uses the desktop's key).
bool ShowOverviewByBus(Bus& session);

}  // namespace hovra::platform::linux_desktop
