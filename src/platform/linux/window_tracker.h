// The windows of a Linux session as the workspace needs them: which application each
// top-level window belongs to, which one is active, and the few operations the window
// shortcuts carry out on the active window. EWMH serves on X11, the wlroots
// foreign-toplevel protocol on wlroots compositors; GNOME and KDE on Wayland offer none.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hovra::platform::linux_desktop {

struct TrackedWindow {
  uint64_t id = 0;           // the window system's handle, unique while the window lives
  std::string appId;         // _GTK_APPLICATION_ID or the Wayland app id, when given
  std::string wmClass;       // WM_CLASS class part (X11), else empty
  std::string wmInstance;    // WM_CLASS instance part (X11), else empty
  int pid = 0;               // 0 when unknown
  std::string executable;    // from the pid, when it can be read
  bool skipTaskbar = false;  // not a regular application window
};

struct WindowSnapshot {
  std::vector<TrackedWindow> windows;  // stacking or creation order
  uint64_t activeId = 0;               // 0: no active window
};

enum class WindowOperation { kMinimize, kMaximize, kClose, kShowDesktop };

class WindowTracker {
 public:
  virtual ~WindowTracker() = default;
  // Calls `changed` on the main thread with the whole picture whenever a window appears,
  // goes, or the active one changes (already de-duplicated: no call when nothing changed).
  virtual void Start(std::function<void(const WindowSnapshot&)> changed) = 0;
  virtual WindowSnapshot Snapshot() = 0;
  // On the active window (kShowDesktop: on the whole desktop); false when not possible.
  virtual bool Apply(WindowOperation operation) = 0;
};

}  // namespace hovra::platform::linux_desktop
