// A GIO launch context that gives every launch a startup-notification id, so the desktop
// can show the application starting and let its first window take the focus.
#pragma once

#include <gio/gio.h>

#include <cstdint>

namespace hovra::platform::linux_desktop {

// A new context; `serverTime` is the window system's time of the request (the "_TIME"
// part of the id), 0 when unknown. Unreference it with g_object_unref.
GAppLaunchContext* NewStartupLaunchContext(uint32_t serverTime);

}  // namespace hovra::platform::linux_desktop
