// Windows under a real EWMH window manager (openbox on a private Xvfb).
#include <glib.h>
#include <unistd.h>

#include <algorithm>

#include "platform/linux/windows/ewmh_window_tracker.h"
#include "tests/linux/workspace/workspace_fixture.h"
#include "tests/support/desktop/x_client_window.h"
#include "tests/support/desktop/xvfb_display.h"

namespace hovra::testing {
namespace {

class EwmhTest : public DesktopTest {
 protected:
  void SetUp() override {
    if (!x_.Running()) GTEST_SKIP() << x_.WhyNot();
    tracker_ = OpenEwmhWindowTracker(x_.Name().c_str());
    ASSERT_TRUE(tracker_);
  }
  const TrackedWindow* Find(uint64_t id) {
    snapshot_ = tracker_->Snapshot();
    auto found = std::ranges::find(snapshot_.windows, id, &TrackedWindow::id);
    return found == snapshot_.windows.end() ? nullptr : &*found;
  }
  bool Activate(const XClientWindow& window) {
    return x_.Run("wmctrl", {"-i", "-a", window.HexId()}) &&
           SpinUntil([&] { return tracker_->Snapshot().activeId == window.Id(); });
  }

  XvfbDisplay x_{XvfbDisplay::kWithWindowManager};
  std::unique_ptr<EwmhWindowTracker> tracker_;
  WindowSnapshot snapshot_;
};

TEST_F(EwmhTest, WindowsTheirIdentityAndTheFocusAreFollowedAndOperatedOn) {
  std::vector<WindowSnapshot> reported;
  tracker_->Start([&](const WindowSnapshot& s) { reported.push_back(s); });
  XClientWindow player(x_.Name(), {.wmClass = "vlc", .wmInstance = "vlc"});
  XClientWindow tool(x_.Name(), {.wmClass = "Tool",
                                 .wmInstance = "tool",
                                 .gtkApplicationId = "org.example.Tool",
                                 .skipTaskbar = true});
  ASSERT_TRUE(SpinUntil([&] { return Find(player.Id()) && Find(tool.Id()); }));
  player.SetPid(::getpid());  // a property that changes later is read again
  ASSERT_TRUE(SpinUntil([&] { return Find(player.Id())->pid == ::getpid(); }));
  const TrackedWindow* seen = Find(player.Id());
  EXPECT_EQ(seen->wmClass, "vlc");
  EXPECT_EQ(seen->executable, "linux_workspace_tests");
  EXPECT_FALSE(seen->skipTaskbar);
  seen = Find(tool.Id());
  EXPECT_EQ(seen->appId, "org.example.Tool");
  EXPECT_TRUE(seen->skipTaskbar);

  ASSERT_TRUE(Activate(player));
  ASSERT_TRUE(Activate(tool));
  ASSERT_TRUE(Activate(player));
  // The window manager clears the active window between two: never reported.
  for (size_t i = 1; i < reported.size(); ++i) EXPECT_NE(reported[i].activeId, 0u) << i;
  auto key = [](const WindowSnapshot& s) {
    std::string text = std::to_string(s.activeId);
    for (const TrackedWindow& w : s.windows)
      text += " " + std::to_string(w.id) + "/" + std::to_string(w.pid) + w.appId + "/" +
              (w.skipTaskbar ? "s" : "");
    return text;
  };
  for (size_t i = 1; i < reported.size(); ++i)
    EXPECT_NE(key(reported[i]), key(reported[i - 1])) << "a picture reported twice at " << i;

  // Maximise and minimise: WindowShortcutsOnX11.
  ASSERT_TRUE(tracker_->Apply(WindowOperation::kClose));
  EXPECT_TRUE(player.WaitForDeleteRequest(std::chrono::seconds(5)));
  ASSERT_TRUE(tracker_->Apply(WindowOperation::kShowDesktop));
  EXPECT_TRUE(SpinUntil([&] {
    return x_.Run("sh", {"-c", "xprop -root _NET_SHOWING_DESKTOP | grep -q '= 1'"});
  }));
}

TEST_F(EwmhTest, ALostDisplayIsLetGoInsteadOfSpunOn) {
  tracker_->Start([](const WindowSnapshot&) {});
  x_.Stop();
  // Its dead socket reads as ready for ever: once the tracker sees that, the loop falls quiet.
  ASSERT_TRUE(PollUntil([] { return g_main_context_iteration(nullptr, FALSE) != 0; }));
  int more = 0;
  while (more < 1000 && g_main_context_iteration(nullptr, FALSE)) ++more;
  EXPECT_LT(more, 1000) << "still dispatching the lost display";
}

}  // namespace
}  // namespace hovra::testing
