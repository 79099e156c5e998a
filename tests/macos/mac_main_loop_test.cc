// The main loop on the main dispatch queue, over GLib's loop and over a queue run by hand.
#include "platform/macos/mac_main_loop.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/desktop/main_loop_cases.h"

namespace hovra::testing {
namespace {

using platform::macos::MacMainLoop;
using namespace std::chrono_literals;
using Work = std::function<void()>;

// The main queue as GLib's default context, run by the thread that made it.
class GlibDispatch : public platform::macos::DispatchCalls {
 public:
  ~GlibDispatch() override {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }  // what is queued still may reach this object (the stop request)
    g_main_loop_unref(loop_);
  }
  void Async(Work work) override { After({}, std::move(work)); }
  void After(std::chrono::nanoseconds delay, Work work) override {
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(delay).count();
    g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(ms), Run, new Work(std::move(work)),
                       Delete);
  }
  void RunApplication() override { g_main_loop_run(loop_); }
  void StopApplication() override { g_main_loop_quit(loop_); }
  bool IsMainThread() override { return std::this_thread::get_id() == main_; }

 private:
  static gboolean Run(gpointer work) {
    (*static_cast<Work*>(work))();
    return G_SOURCE_REMOVE;
  }
  static void Delete(gpointer work) { delete static_cast<Work*>(work); }
  GMainLoop* loop_ = g_main_loop_new(nullptr, FALSE);
  std::thread::id main_ = std::this_thread::get_id();
};

struct GlibDispatchHolder {
  GlibDispatch dispatch;  // made before the loop on it, gone after
};
struct MacLoopOverGlib : GlibDispatchHolder, MacMainLoop {
  MacLoopOverGlib() : MacMainLoop(dispatch) {}
};

INSTANTIATE_TYPED_TEST_SUITE_P(Mac, MainLoopCases, MacLoopOverGlib);

// Work runs when the test says so.
struct HandDispatch : platform::macos::DispatchCalls {
  void Async(Work work) override { due.push_back(std::move(work)); }
  void After(std::chrono::nanoseconds delay, Work work) override {
    delays.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(delay));
    due.push_back(std::move(work));
  }
  void RunApplication() override {}
  void StopApplication() override {}
  bool IsMainThread() override { return true; }
  void RunDue() {
    for (Work& work : std::exchange(due, {})) work();
  }
  std::vector<std::chrono::milliseconds> delays;
  std::vector<Work> due;
};

TEST(MacMainLoop, TheTimerKeepsItsBeatUnlessAWholeIntervalBehindAndNothingRunsAfterTheEnd) {
  HandDispatch dispatch;
  MacMainLoop::Clock::time_point now{};
  MacMainLoop loop(dispatch, [&] { return now; });
  int ticks = 0;
  loop.StartRepeatingTimer(1000ms, [&] { ++ticks; });
  for (auto late : {1300ms, 4500ms}) {
    now = MacMainLoop::Clock::time_point{} + late;
    dispatch.RunDue();
  }
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(dispatch.delays, (std::vector<std::chrono::milliseconds>{1000ms, 700ms, 1000ms}));
  loop.Post([&] { ticks += 10; });  // queued behind the end
  loop.Quit();
  dispatch.RunDue();
  EXPECT_EQ(ticks, 2) << "nothing runs after the end";
}

}  // namespace
}  // namespace hovra::testing
