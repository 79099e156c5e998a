// The running applications as the workspace reports them, made from the session's
// windows: an application runs while it has a window, is regular while one of its windows
// belongs in the task bar, and is frontmost while one of its windows is active. Each new
// picture of the windows becomes the notices that lead from the previous one to it.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/window_tracker.h"
#include "platform/workspace.h"

namespace hovra::platform::linux_desktop {

inline constexpr int kActivationPolicyAccessory = 1;  // windows, none in the task bar

struct AppIdentity {
  std::string id;    // desktop id
  std::string name;  // the entry's name
};

class RunningAppsModel {
 public:
  using Resolver = std::function<std::optional<AppIdentity>(const TrackedWindow&)>;
  explicit RunningAppsModel(Resolver resolve) : resolve_(std::move(resolve)) {}

  // In delivery order: launches (and applications that became regular), the deactivation
  // of the application that lost the focus (or stopped being regular), the activation of
  // the one that gained it, then terminations.
  std::vector<WorkspaceEvent> Update(const WindowSnapshot& snapshot);

  const std::vector<RunningApp>& Running() const { return apps_; }  // first seen first
  const std::string& Frontmost() const { return active_; }

 private:
  struct Resolved {
    TrackedWindow window;
    std::optional<AppIdentity> app;
  };
  const std::optional<AppIdentity>& Resolve(const TrackedWindow& window);

  Resolver resolve_;
  std::map<uint64_t, Resolved> resolved_;
  std::vector<RunningApp> apps_;
  std::string active_;
};

}  // namespace hovra::platform::linux_desktop
