// The main loop on the main dispatch queue, over a fake queue that runs on the thread
// that calls RunApplication: waiting callers, the end of the loop, and timers.
#include "platform/macos/mac_main_loop.h"

#include <gtest/gtest.h>

#include <deque>
#include <thread>

namespace hovra::testing {
namespace {

using platform::macos::MacMainLoop;
using namespace std::chrono_literals;
using Work = std::function<void()>;

class FakeDispatch : public platform::macos::DispatchCalls {
 public:
  void Async(Work work) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_.push_back(std::move(work));
    wake_.notify_all();
  }
  void After(std::chrono::nanoseconds delay, Work work) override {
    std::lock_guard<std::mutex> lock(mutex_);
    delays.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(delay));
    later_.push_back(std::move(work));
  }
  void RunApplication() override {
    while (Work work = Next(true)) work();
  }
  void StopApplication() override { stopped_ = true; }
  bool IsMainThread() override { return std::this_thread::get_id() == main_; }

  // Delayed work falls due; queued work runs here and now (this is the main thread).
  void FireDelayed() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Work& work : later_) ready_.push_back(std::move(work));
    later_.clear();
  }
  void RunQueued() {
    while (Work work = Next(false)) work();
  }
  bool WaitQueued(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return wake_.wait_for(lock, 10s, [&] { return ready_.size() >= count; });
  }

  std::vector<std::chrono::milliseconds> delays;

 private:
  Work Next(bool wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wait) wake_.wait(lock, [&] { return stopped_ || !ready_.empty(); });
    if (stopped_ || ready_.empty()) return nullptr;
    Work work = std::move(ready_.front());
    ready_.pop_front();
    return work;
  }

  std::thread::id main_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Work> ready_;
  std::vector<Work> later_;
  bool stopped_ = false;  // set by a block on the main thread
};

TEST(MacMainLoop, WaitingCallersRunOnTheMainThreadUntilTheLoopEnds) {
  FakeDispatch dispatch;
  MacMainLoop loop(dispatch);
  bool ran = false;
  std::atomic<bool> onMain{false};
  std::thread worker([&] {
    ran = loop.RunAndWait([&] { onMain = loop.IsMainThread(); });
    loop.Quit();
  });
  loop.Run();
  worker.join();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(onMain);
  bool late = false;
  loop.Post([&] { late = true; });
  dispatch.RunQueued();
  EXPECT_FALSE(late) << "work posted after the end is dropped";
  std::thread after([&] { EXPECT_FALSE(loop.RunAndWait([] {})); });
  after.join();
}

TEST(MacMainLoop, ACallerWaitingWhenTheLoopEndsIsLetGo) {
  FakeDispatch dispatch;
  MacMainLoop loop(dispatch);
  std::atomic<int> answer{-1};
  std::thread worker([&] { answer = loop.RunAndWait([] {}) ? 1 : 0; });
  ASSERT_TRUE(dispatch.WaitQueued(1));
  loop.Quit();
  loop.Run();
  worker.join();
  EXPECT_EQ(answer, 0);
}

TEST(MacMainLoop, WorkQueuedBehindTheQuitDoesNotRun) {
  FakeDispatch dispatch;
  MacMainLoop loop(dispatch);
  std::vector<int> ran;
  loop.Post([&] { ran.push_back(1); });
  loop.Post([&] { loop.Quit(); });
  loop.Post([&] { ran.push_back(2); });
  loop.PostDelayed(0ms, [&] { ran.push_back(3); });
  dispatch.FireDelayed();
  loop.Run();
  EXPECT_EQ(ran, std::vector<int>{1});
}

TEST(MacMainLoop, TheRepeatingTimerKeepsItsBeatUnlessItFellAWholeIntervalBehind) {
  FakeDispatch dispatch;
  MacMainLoop::Clock::time_point now{};
  MacMainLoop loop(dispatch, [&] { return now; });
  int ticks = 0;
  loop.StartRepeatingTimer(1000ms, [&] { ++ticks; });
  for (auto late : {1300ms, 4500ms}) {
    now = MacMainLoop::Clock::time_point{} + late;
    dispatch.FireDelayed();
    dispatch.RunQueued();
  }
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(dispatch.delays, (std::vector<std::chrono::milliseconds>{1000ms, 700ms, 1000ms}));
  loop.Quit();
  dispatch.FireDelayed();
  dispatch.RunQueued();
  EXPECT_EQ(ticks, 2) << "no tick after the end";
}

}  // namespace
}  // namespace hovra::testing
