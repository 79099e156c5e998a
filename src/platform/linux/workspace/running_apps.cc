#include "platform/linux/workspace/running_apps.h"

#include <algorithm>

namespace hovra::platform::linux_desktop {
namespace {

bool SameIdentity(const TrackedWindow& a, const TrackedWindow& b) {
  return a.appId == b.appId && a.wmClass == b.wmClass && a.wmInstance == b.wmInstance &&
         a.pid == b.pid && a.executable == b.executable;
}

const RunningApp* FindApp(const std::vector<RunningApp>& apps, const std::string& id) {
  auto found = std::find_if(apps.begin(), apps.end(),
                            [&](const RunningApp& app) { return app.bundleId == id; });
  return found == apps.end() ? nullptr : &*found;
}

WorkspaceEvent Notice(WorkspaceEventKind kind, const RunningApp& app) {
  return WorkspaceEvent{kind, app};
}

}  // namespace

const std::optional<AppIdentity>& RunningAppsModel::Resolve(const TrackedWindow& window) {
  auto found = resolved_.find(window.id);
  if (found == resolved_.end() || !SameIdentity(found->second.window, window)) {
    found = resolved_.insert_or_assign(window.id, Resolved{window, resolve_(window)}).first;
  }
  return found->second.app;
}

std::vector<WorkspaceEvent> RunningAppsModel::Update(const WindowSnapshot& snapshot) {
  // The applications of this picture, in the order they were first seen.
  std::vector<RunningApp> fresh;
  std::string active;
  std::map<uint64_t, Resolved> still;
  for (const TrackedWindow& window : snapshot.windows) {
    const std::optional<AppIdentity>& app = Resolve(window);
    still.insert_or_assign(window.id, resolved_.at(window.id));
    if (!app) continue;
    if (window.id == snapshot.activeId) active = app->id;
    const int policy = window.skipTaskbar ? kActivationPolicyAccessory : kActivationPolicyRegular;
    auto known = std::find_if(fresh.begin(), fresh.end(),
                              [&](const RunningApp& r) { return r.bundleId == app->id; });
    if (known == fresh.end()) {
      fresh.push_back(RunningApp{app->id, app->name, policy});
    } else if (policy == kActivationPolicyRegular) {
      known->policy = kActivationPolicyRegular;
    }
  }
  resolved_ = std::move(still);
  std::stable_sort(fresh.begin(), fresh.end(), [&](const RunningApp& a, const RunningApp& b) {
    auto rank = [&](const RunningApp& r) {
      auto at = std::find_if(apps_.begin(), apps_.end(),
                             [&](const RunningApp& o) { return o.bundleId == r.bundleId; });
      return at - apps_.begin();  // new ones rank after every known one, in window order
    };
    return rank(a) < rank(b);
  });

  std::vector<WorkspaceEvent> events;
  for (const RunningApp& app : fresh) {
    const RunningApp* before = FindApp(apps_, app.bundleId);
    if (before == nullptr ||
        (before->policy != kActivationPolicyRegular && app.policy == kActivationPolicyRegular))
      events.push_back(Notice(WorkspaceEventKind::kLaunched, app));
  }
  for (const RunningApp& app : fresh) {
    const RunningApp* before = FindApp(apps_, app.bundleId);
    if (before != nullptr && before->policy == kActivationPolicyRegular &&
        app.policy != kActivationPolicyRegular)
      events.push_back(Notice(WorkspaceEventKind::kDeactivated, app));
  }
  if (active != active_) {
    if (const RunningApp* before = FindApp(apps_, active_))
      events.push_back(Notice(WorkspaceEventKind::kDeactivated, *before));
    if (const RunningApp* now = FindApp(fresh, active))
      events.push_back(Notice(WorkspaceEventKind::kActivated, *now));
  }
  for (const RunningApp& app : apps_) {
    if (FindApp(fresh, app.bundleId) == nullptr)
      events.push_back(Notice(WorkspaceEventKind::kTerminated, app));
  }
  apps_ = std::move(fresh);
  active_ = std::move(active);
  return events;
}

}  // namespace hovra::platform::linux_desktop
