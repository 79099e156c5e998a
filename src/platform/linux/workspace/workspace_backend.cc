#include "platform/linux/workspace/workspace_backend.h"

#include <cstdlib>
#include <string>

#include "base/log.h"
#if HOVRA_LINUX_HAVE_X11
#include "platform/linux/windows/ewmh_window_tracker.h"
#endif

namespace hovra::platform::linux_desktop {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

uint32_t ServerTimeOf(WindowTracker* windows) {
#if HOVRA_LINUX_HAVE_X11
  if (auto* x11 = dynamic_cast<EwmhWindowTracker*>(windows)) return x11->ServerTime();
#else
  (void)windows;
#endif
  return 0;
}

}  // namespace

std::unique_ptr<WindowTracker> OpenSessionWindowTracker() {
  if (Env("XDG_SESSION_TYPE") == "wayland" || !Env("WAYLAND_DISPLAY").empty()) {
    Log("windows: a Wayland session; the X11 window list would miss its native windows");
    return nullptr;
  }
  if (Env("DISPLAY").empty()) {
    Log("windows: no X display; running applications are not followed");
    return nullptr;
  }
#if HOVRA_LINUX_HAVE_X11
  return OpenEwmhWindowTracker(nullptr);
#else
  Log("windows: this build has no X11 window tracking; running applications are not followed");
  return nullptr;
#endif
}

WorkspaceBackend::WorkspaceBackend(Workspace& recorder, ScriptServices& recorderScripts,
                                   std::unique_ptr<WindowTracker> windows)
    : windows_(std::move(windows)),
      apps_(entries_, DesktopApps::Hooks{[this] { return workspace_->FrontmostAppId(); },
                                         [this] { return ServerTimeOf(windows_.get()); }}),
      scripts_(recorderScripts, apps_, [this](std::string_view label) {
        // Scripts run on the worker thread; the Dock's settings are read on the main one.
        std::optional<std::string> id;
        GetMainQueue().RunAndWait([&] { id = workspace_->AppIdForLabel(label); });
        return id;
      }) {
  workspace_ = std::make_unique<LinuxWorkspace>(recorder, entries_, apps_, windows_.get(),
                                                FavouritesKindOf(Env("XDG_CURRENT_DESKTOP")));
  sleep_ = std::make_unique<SleepWatch>([this] {
    workspace_->Deliver(WorkspaceEvent{WorkspaceEventKind::kWoke, std::nullopt});
  });
}

WorkspaceBackend::~WorkspaceBackend() {
  sleep_.reset();
  workspace_.reset();  // before the window tracker it listens to
}

void WorkspaceBackend::Provide(Services& services) {
  services.workspace = workspace_.get();
  services.host = &host_;
  services.scripts = &scripts_;
}

}  // namespace hovra::platform::linux_desktop

namespace hovra::platform::linux_desktop {

std::unique_ptr<LinuxWorkspaceParts> OpenLinuxWorkspace(Workspace& recorder,
                                                        ScriptServices& recorderScripts,
                                                        std::unique_ptr<WindowTracker> windows) {
  if (!windows) windows = OpenSessionWindowTracker();
  return std::make_unique<WorkspaceBackend>(recorder, recorderScripts, std::move(windows));
}

}  // namespace hovra::platform::linux_desktop
