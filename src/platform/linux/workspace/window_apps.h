// Which desktop entry a window belongs to: its GTK application id, the Flatpak
// application it runs in, its class (StartupWMClass, or an id equal to the class), or
// its program when only one entry starts that program.
#pragma once

#include <optional>

#include "platform/linux/apps/desktop_entries.h"
#include "platform/linux/window_tracker.h"

namespace hovra::platform::linux_desktop {

std::optional<DesktopEntry> EntryOfWindow(const TrackedWindow& window, DesktopEntries& entries);

// The Flatpak application id of a local process, empty when it runs outside Flatpak.
std::string FlatpakAppOfPid(int pid);

}  // namespace hovra::platform::linux_desktop
