// The workspace half of the Linux desktop backend, for the code that assembles backends
// (no GLib in sight). Open it on the main thread before the main loop runs.
//   auto desktop = OpenLinuxWorkspace(journal.Workspace(), *services.scripts);
//   desktop->Provide(services);   // workspace, host, scripts
#pragma once

#include <memory>

#include "platform/linux/linux_apps.h"
#include "platform/linux/window_tracker.h"
#include "platform/services.h"

namespace hovra::platform::linux_desktop {

class LinuxWorkspaceParts {
 public:
  virtual ~LinuxWorkspaceParts() = default;
  // Sets the workspace, host and script members of `services`.
  virtual void Provide(Services& services) = 0;
  virtual LinuxApps& Apps() = 0;
  virtual WindowTracker* Windows() = 0;  // null: no window tracking in this session
};

// `recorder` and `recorderScripts` (the journal's) record what is asked before it is
// carried out. `windows`: the session's window tracker; null picks X11 when the session
// is one.
std::unique_ptr<LinuxWorkspaceParts> OpenLinuxWorkspace(
    Workspace& recorder, ScriptServices& recorderScripts,
    std::unique_ptr<WindowTracker> windows = nullptr);

}  // namespace hovra::platform::linux_desktop
