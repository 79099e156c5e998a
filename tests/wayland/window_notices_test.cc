// Window snapshots become the workspace notices the catalogue follows.
#include "platform/wayland/window_notices.h"

#include <gtest/gtest.h>

namespace hovra::platform::wayland {
namespace {

using linux_desktop::TrackedWindow;
using linux_desktop::WindowSnapshot;

WindowSnapshot Windows(std::vector<std::pair<uint64_t, std::string>> windows, uint64_t active) {
  WindowSnapshot snapshot;
  for (auto& [id, appId] : windows) {
    TrackedWindow window;
    window.id = id;
    window.appId = appId;
    snapshot.windows.push_back(window);
  }
  snapshot.activeId = active;
  return snapshot;
}

std::vector<std::string> Describe(const std::vector<WorkspaceEvent>& events) {
  static const char* kNames[] = {"launched", "terminated", "activated", "deactivated", "woke"};
  std::vector<std::string> out;
  for (const WorkspaceEvent& e : events) {
    out.push_back(std::string(kNames[static_cast<int>(e.kind)]) + " " + e.app->bundleId);
  }
  return out;
}

TEST(WindowNotices, LaunchesActivationsAndTerminationsFollowTheWindows) {
  WindowNotices notices;
  using L = std::vector<std::string>;
  EXPECT_EQ(Describe(notices.Next(Windows({{1, "editor"}}, 1))),
            (L{"launched editor", "activated editor"}));
  // A second window of the same application is no launch; activation moves.
  EXPECT_EQ(Describe(notices.Next(Windows({{1, "editor"}, {2, "editor"}, {3, "viewer"}}, 3))),
            (L{"launched viewer", "deactivated editor", "activated viewer"}));
  EXPECT_EQ(Describe(notices.Next(Windows({{1, "editor"}, {2, "editor"}, {3, "viewer"}}, 2))),
            (L{"deactivated viewer", "activated editor"}));
  EXPECT_EQ(Describe(notices.Next(Windows({{2, "editor"}, {3, "viewer"}}, 2))), L{});
  // The last window of an application closing terminates it; nothing active is no activation.
  EXPECT_EQ(Describe(notices.Next(Windows({{3, "viewer"}, {4, ""}}, 0))),
            (L{"deactivated editor", "terminated editor"}));
}

}  // namespace
}  // namespace hovra::platform::wayland
