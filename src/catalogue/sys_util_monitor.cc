// The catalogue following the workspace: launches, quits, activations, deactivations
// and waking from sleep, all delivered on the main thread.
#include <chrono>

#include "base/log.h"
#include "catalogue/sys_util.h"
#include "platform/services.h"

namespace hovra::catalogue {
namespace {

using platform::WorkspaceEvent;
using platform::WorkspaceEventKind;

// Some applications stop being regular when their last window closes; this long after a
// deactivation the catalogue looks again.
constexpr std::chrono::milliseconds kCheckAfterDeactivation{500};

// The application of a notice, when it has one with a bundle identifier.
const platform::RunningApp* AppOf(const WorkspaceEvent& event) {
  if (!event.app || event.app->bundleId.empty()) return nullptr;
  return &*event.app;
}

bool IsRegular(const platform::RunningApp& app) {
  return app.policy == platform::kActivationPolicyRegular;
}

}  // namespace

void SysUtil::startMonitorDockInfo(DockInfoListenerDelegate* delegate) {
  if (monitorDock_) return;
  monitorDock_ = true;
  dockApps_.reset();
  dockAppStr_.reset();
  getDockInfo();
  dockDelegate_ = delegate;
  // The handler looks the instance up on each notice, so it never outlives what it calls.
  platform::GetWorkspace().SetNotificationHandler(
      [](const WorkspaceEvent& event) { sharedInstance().OnWorkspaceEvent(event); });
}

void SysUtil::stopMonitorDockInfo() {
  if (!monitorDock_) return;
  monitorDock_ = false;
  platform::GetWorkspace().SetNotificationHandler({});
  // The delegate may go away after this; a check still queued must not reach it.
  dockDelegate_ = nullptr;
}

void SysUtil::OnWorkspaceEvent(const WorkspaceEvent& event) {
  if (!monitorDock_) return;
  switch (event.kind) {
    case WorkspaceEventKind::kLaunched:
      appLaunched(event);
      break;
    case WorkspaceEventKind::kTerminated:
      appTerminated(event);
      break;
    case WorkspaceEventKind::kActivated:
      appActivated(event);
      break;
    case WorkspaceEventKind::kDeactivated:
      appDeactivated(event);
      break;
    case WorkspaceEventKind::kWoke:
      systemWake(event);
      break;
    case WorkspaceEventKind::kDockChanged:
      refreshDockInfo();
      break;
  }
}

void SysUtil::TellTerminated() {
  if (dockDelegate_ != nullptr) dockDelegate_->onApplicationTerminated();
}

void SysUtil::TellLaunched(const std::string& bundleId) {
  if (dockDelegate_ != nullptr) dockDelegate_->onApplicationLaunch(bundleId);
}

void SysUtil::appLaunched(const WorkspaceEvent& event) {
  const platform::RunningApp* app = AppOf(event);
  if (app == nullptr || !IsRegular(*app)) return;
  std::optional<AppEntry> entry = makeInfoFromApp(*app);
  if (!entry) return;
  addLaunchedAppInfo(*entry);
  dockInfoToString();
  TellLaunched(app->bundleId);
}

void SysUtil::appTerminated(const WorkspaceEvent& event) {
  const platform::RunningApp* app = AppOf(event);
  if (app == nullptr || !IsRegular(*app)) return;
  if (!removeLaunchedAppInfoWithBundleId(app->bundleId)) return;
  dockInfoToString();
  TellTerminated();
}

void SysUtil::appActivated(const WorkspaceEvent& event) {
  const platform::RunningApp* app = AppOf(event);
  if (app == nullptr || !IsRegular(*app)) return;
  std::optional<AppEntry> entry = makeInfoFromApp(*app);
  if (!entry) return;
  TellLaunched(app->bundleId);
  if (addLaunchedAppInfo(*entry)) dockInfoToString();
}

void SysUtil::appDeactivated(const WorkspaceEvent& event) {
  const platform::RunningApp* app = AppOf(event);
  if (app == nullptr) return;
  if (IsRegular(*app)) {
    platform::GetMainQueue().PostDelayed(kCheckAfterDeactivation, [bundleId = app->bundleId] {
      sharedInstance().checkApp(bundleId);
    });
    return;
  }
  if (!removeLaunchedAppInfoWithBundleId(app->bundleId)) return;
  dockInfoToString();
  TellTerminated();
}

void SysUtil::checkApp(const std::string& bundleId) {
  if (bundleId.empty()) return;
  for (const platform::RunningApp& app : platform::GetWorkspace().RunningApplications()) {
    if (app.bundleId != bundleId) continue;
    // Only the first process with this identifier decides.
    if (IsRegular(app) || !removeLaunchedAppInfoWithBundleId(bundleId)) return;
    dockInfoToString();
    TellTerminated();
    return;
  }
}

void SysUtil::systemWake(const WorkspaceEvent&) {
  platform::GetMainQueue().Post([] { sharedInstance().refreshDockInfo(); });
}

}  // namespace hovra::catalogue
