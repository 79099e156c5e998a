// The workspace notices a sequence of window snapshots amounts to, with each application
// named by its Wayland app id: the first window of an app id is a launch, a change of the
// activated window a deactivation and an activation, the last window of an app id gone a
// termination. Used where no desktop-entry workspace names the applications (the journal
// desktop on a wlroots compositor).
//   WindowNotices notices;  for (auto& e : notices.Next(snapshot)) workspace.Notify(e);
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/linux/window_tracker.h"
#include "platform/workspace.h"

namespace hovra::platform::wayland {

class WindowNotices {
 public:
  std::vector<WorkspaceEvent> Next(const linux_desktop::WindowSnapshot& snapshot);

 private:
  std::set<std::string> running_;
  std::string active_;
};

}  // namespace hovra::platform::wayland
