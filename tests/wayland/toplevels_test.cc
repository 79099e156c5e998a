// The foreign-toplevel tracker following real windows, one snapshot per change.
#include <gtest/gtest.h>

#include <memory>

#include "platform/wayland/foreign_toplevels.h"
#include "tests/support/desktop/sway_session.h"
#include "tests/support/manual_main_queue.h"
#include "tests/wayland/wayland_client.h"

namespace hovra::testing {
namespace {

using platform::linux_desktop::WindowOperation;
using platform::linux_desktop::WindowSnapshot;

// The app ids in the order the windows appeared, and the activated window's.
using Seen = std::pair<std::vector<std::string>, std::string>;

Seen Describe(const WindowSnapshot& snapshot) {
  Seen seen;
  for (const auto& window : snapshot.windows) {
    seen.first.push_back(window.appId);
    if (window.id == snapshot.activeId) seen.second = window.appId;
  }
  return seen;
}

class WaylandToplevels : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string why = SwaySession::Unavailable(); !why.empty()) GTEST_SKIP() << why;
    sway_ = std::make_unique<SwaySession>();
    ASSERT_TRUE(sway_->Running()) << sway_->Log();
    tracker_ =
        std::make_unique<platform::wayland::ForeignToplevelTracker>(sway_->Display(), queue_);
    tracker_->Start([this](const WindowSnapshot& snapshot) { delivered_.push_back(snapshot); });
  }

  // Runs the main queue until the last snapshot delivered looks like `expected`.
  ::testing::AssertionResult WaitFor(const Seen& expected) {
    if (PollUntil([&] {
          queue_.RunPending();
          return Last() == expected;
        })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << ::testing::PrintToString(Last());
  }
  Seen Last() { return delivered_.empty() ? Seen{} : Describe(delivered_.back()); }

  std::unique_ptr<SwaySession> sway_;
  ManualMainQueue queue_;
  std::vector<WindowSnapshot> delivered_;
  std::unique_ptr<platform::wayland::ForeignToplevelTracker> tracker_;  // goes first
};

TEST_F(WaylandToplevels, FollowsWindowsAppearingActivatedAndClosedAndClosesTheActivatedOne) {
  if (IsSkipped()) return;
  WaylandClient editor(*sway_, "org.hovra.Editor");
  ASSERT_TRUE(editor.Ready());
  EXPECT_TRUE(WaitFor({{"org.hovra.Editor"}, "org.hovra.Editor"}));
  auto viewer = std::make_unique<WaylandClient>(*sway_, "org.hovra.Viewer");
  ASSERT_TRUE(viewer->Ready());
  EXPECT_TRUE(WaitFor({{"org.hovra.Editor", "org.hovra.Viewer"}, "org.hovra.Viewer"}));

  size_t before = delivered_.size();
  ASSERT_TRUE(sway_->Command("[app_id=\"org.hovra.Editor\"] focus"));
  EXPECT_TRUE(WaitFor({{"org.hovra.Editor", "org.hovra.Viewer"}, "org.hovra.Editor"}));
  // The activation moved in one change, never through a state without an active window.
  for (size_t i = before; i < delivered_.size(); ++i) EXPECT_NE(delivered_[i].activeId, 0u);
  EXPECT_EQ(Describe(tracker_->Snapshot()), Last());
  EXPECT_TRUE(tracker_->Apply(WindowOperation::kClose));
  EXPECT_TRUE(editor.WaitForLine("close-requested"));
  EXPECT_FALSE(viewer->WaitForLine("close-requested", 200ms));

  viewer->Kill();
  EXPECT_TRUE(WaitFor({{"org.hovra.Editor"}, "org.hovra.Editor"}));
}

TEST(WaylandToplevelsWithoutCompositor, NothingToApplyAndNothingDelivered) {
  ManualMainQueue queue;
  platform::wayland::ForeignToplevelTracker tracker("/nonexistent/wayland-9", queue, 10ms);
  int calls = 0;
  tracker.Start([&](const WindowSnapshot&) { ++calls; });
  std::this_thread::sleep_for(50ms);  // a few reconnect attempts, none succeeding
  queue.RunPending();
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(tracker.Snapshot().windows.empty());
  EXPECT_FALSE(tracker.Apply(WindowOperation::kMinimize));
}

}  // namespace
}  // namespace hovra::testing
