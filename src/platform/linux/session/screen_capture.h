// A full-screen capture saved the way the desktop saves its own: through the Screenshot
// portal (without asking), else the desktop's screenshot tool, else a plain tool writing
// into the Pictures folder. Runs on the worker thread; waits only for the portal to take
// the request.
#pragma once

#include "platform/linux/dbus/bus.h"

namespace hovra::platform::linux_desktop {

// How long the portal may take to accept the request (it may have to be started first).
inline constexpr std::chrono::milliseconds kPortalRequestTimeout{3000};

// False, after a log line, when neither the portal nor any tool could take the capture.
bool CaptureScreen(Bus& session);

}  // namespace hovra::platform::linux_desktop
