#include "platform/wayland/window_notices.h"

namespace hovra::platform::wayland {
namespace {

WorkspaceEvent Notice(WorkspaceEventKind kind, const std::string& appId) {
  return {kind, RunningApp{appId, appId, kActivationPolicyRegular}};
}

}  // namespace

std::vector<WorkspaceEvent> WindowNotices::Next(const linux_desktop::WindowSnapshot& snapshot) {
  std::set<std::string> running;
  std::string active;
  for (const auto& window : snapshot.windows) {
    if (window.appId.empty()) continue;  // nothing to name it by
    running.insert(window.appId);
    if (window.id == snapshot.activeId) active = window.appId;
  }
  std::vector<WorkspaceEvent> events;
  for (const std::string& appId : running) {
    if (!running_.contains(appId)) events.push_back(Notice(WorkspaceEventKind::kLaunched, appId));
  }
  if (active != active_) {
    if (!active_.empty()) events.push_back(Notice(WorkspaceEventKind::kDeactivated, active_));
    if (!active.empty()) events.push_back(Notice(WorkspaceEventKind::kActivated, active));
  }
  for (const std::string& appId : running_) {
    if (!running.contains(appId)) events.push_back(Notice(WorkspaceEventKind::kTerminated, appId));
  }
  running_ = std::move(running);
  active_ = std::move(active);
  return events;
}

}  // namespace hovra::platform::wayland
