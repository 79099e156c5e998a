// From pictures of the session's windows to the workspace notices the catalogue follows.
#include "platform/linux/workspace/running_apps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hovra::testing {
namespace {

using platform::WorkspaceEvent;
using namespace platform::linux_desktop;

// Windows are named by their class; the class "x" belongs to no application.
RunningAppsModel Model() {
  return RunningAppsModel([](const TrackedWindow& w) -> std::optional<AppIdentity> {
    if (w.wmClass == "x") return std::nullopt;
    return AppIdentity{"app." + w.wmClass, "App " + w.wmClass};
  });
}

TrackedWindow Window(uint64_t id, const std::string& wmClass, bool skipTaskbar = false) {
  TrackedWindow w;
  w.id = id;
  w.wmClass = wmClass;
  w.skipTaskbar = skipTaskbar;
  return w;
}

// "launched app.a 0" style text for comparing notice sequences.
std::vector<std::string> Text(const std::vector<WorkspaceEvent>& events) {
  static const char* kNames[] = {"launched",    "terminated", "activated",
                                 "deactivated", "woke",       "dock"};
  std::vector<std::string> out;
  for (const WorkspaceEvent& e : events) {
    out.push_back(std::string(kNames[static_cast<int>(e.kind)]) + " " + e.app->bundleId + " " +
                  std::to_string(e.app->policy));
  }
  return out;
}

using Lines = std::vector<std::string>;

TEST(RunningAppsTest, SessionHistoryBecomesNotices) {
  RunningAppsModel model = Model();
  struct Step {
    const char* what;
    WindowSnapshot snapshot;
    Lines notices;
  } steps[] = {
      {"a opens and takes the focus",
       {{Window(1, "a")}, 1},
       {"launched app.a 0", "activated app.a 0"}},
      {"a second window of a changes nothing", {{Window(1, "a"), Window(2, "a")}, 2}, {}},
      {"b opens, focus moves",
       {{Window(1, "a"), Window(2, "a"), Window(3, "b")}, 3},
       {"launched app.b 0", "deactivated app.a 0", "activated app.b 0"}},
      {"a window of nobody's changes nothing",
       {{Window(1, "a"), Window(2, "a"), Window(3, "b"), Window(4, "x")}, 4},
       {"deactivated app.b 0"}},
      {"a tool window of c: running, not regular",
       {{Window(1, "a"), Window(2, "a"), Window(3, "b"), Window(5, "c", true)}, 5},
       {"launched app.c 1", "activated app.c 1"}},
      {"c gets a normal window: it becomes regular",
       {{Window(1, "a"), Window(2, "a"), Window(3, "b"), Window(5, "c", true), Window(6, "c")}, 5},
       {"launched app.c 0"}},
      {"c's normal window closes: no longer regular",
       {{Window(1, "a"), Window(2, "a"), Window(3, "b"), Window(5, "c", true)}, 5},
       {"deactivated app.c 1"}},
      {"b quits while a has the focus",
       {{Window(1, "a"), Window(2, "a"), Window(5, "c", true)}, 1},
       {"deactivated app.c 1", "activated app.a 0", "terminated app.b 0"}},
      {"everything closes",
       {{}, 0},
       {"deactivated app.a 0", "terminated app.a 0", "terminated app.c 1"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_EQ(Text(model.Update(step.snapshot)), step.notices);
  }
}

TEST(RunningAppsTest, RunningListKeepsFirstSeenOrderAndFrontmostFollowsFocus) {
  RunningAppsModel model = Model();
  model.Update({{Window(1, "b"), Window(2, "a")}, 2});
  EXPECT_EQ(model.Frontmost(), "app.a");
  // The window manager restacks: the list keeps the order applications were first seen.
  model.Update({{Window(2, "a"), Window(1, "b"), Window(3, "c", true)}, 1});
  Lines running;
  for (const auto& app : model.Running())
    running.push_back(app.bundleId + " " + app.name + " " + std::to_string(app.policy));
  EXPECT_EQ(running, (Lines{"app.b App b 0", "app.a App a 0", "app.c App c 1"}));
  EXPECT_EQ(model.Frontmost(), "app.b");
  model.Update({{Window(1, "b")}, 0});
  EXPECT_EQ(model.Frontmost(), "");
}

TEST(RunningAppsTest, WindowIsResolvedAgainWhenItsIdentityChanges) {
  int calls = 0;
  RunningAppsModel model([&](const TrackedWindow& w) -> std::optional<AppIdentity> {
    ++calls;
    if (w.appId.empty()) return std::nullopt;
    return AppIdentity{w.appId, w.appId};
  });
  TrackedWindow window = Window(7, "generic");
  EXPECT_TRUE(model.Update({{window}, 7}).empty());
  EXPECT_TRUE(model.Update({{window}, 7}).empty());
  EXPECT_EQ(calls, 1);                // resolved once while nothing changes
  window.appId = "org.example.Late";  // the application id came after mapping
  EXPECT_EQ(Text(model.Update({{window}, 7})),
            (Lines{"launched org.example.Late 0", "activated org.example.Late 0"}));
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace hovra::testing
