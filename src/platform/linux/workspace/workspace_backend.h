// The workspace half of the Linux desktop backend assembled: desktop entries, the
// applications' launcher, window tracking, the workspace, the host, and the scripts that
// start applications and open things. Build it on the main thread, before the main loop
// runs; it follows the session in that thread's main context.
//   WorkspaceBackend desktop(journal.Workspace(), *services.scripts, OpenSessionWindowTracker());
//   desktop.Provide(services);   // workspace, host, scripts
#pragma once

#include <memory>

#include "platform/linux/apps/app_scripts.h"
#include "platform/linux/apps/desktop_apps.h"
#include "platform/linux/apps/desktop_entries.h"
#include "platform/linux/host/linux_host.h"
#include "platform/linux/window_tracker.h"
#include "platform/linux/workspace/linux_workspace.h"
#include "platform/linux/workspace/open_workspace.h"
#include "platform/linux/workspace/sleep_watch.h"
#include "platform/services.h"

namespace hovra::platform::linux_desktop {

// The windows of this session where they can be followed: EWMH on X11 (when built with
// X11); null on Wayland, whose compositors need their own protocol.
std::unique_ptr<WindowTracker> OpenSessionWindowTracker();

class WorkspaceBackend : public LinuxWorkspaceParts {
 public:
  // `recorder` and `recorderScripts` (the journal's) record what is asked before it is
  // carried out.
  WorkspaceBackend(Workspace& recorder, ScriptServices& recorderScripts,
                   std::unique_ptr<WindowTracker> windows);
  ~WorkspaceBackend() override;

  void Provide(Services& services) override;
  LinuxApps& Apps() override { return apps_; }
  WindowTracker* Windows() override { return windows_.get(); }
  LinuxWorkspace& GetWorkspace() { return *workspace_; }

 private:
  DesktopEntries entries_;
  std::unique_ptr<WindowTracker> windows_;
  DesktopApps apps_;
  std::unique_ptr<LinuxWorkspace> workspace_;
  std::unique_ptr<SleepWatch> sleep_;
  AppScripts scripts_;
  LinuxHost host_;
};

}  // namespace hovra::platform::linux_desktop
