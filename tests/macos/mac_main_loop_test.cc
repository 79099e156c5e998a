// The main loop on the main dispatch queue, over a fake queue run by the thread that calls
// RunApplication: waiting callers, the end of the loop, and the timer's beat.
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
    later_.push_back(std::move(work));  // falls due when the test says so
  }
  void RunApplication() override {
    while (Work work = Next(true)) work();
  }
  void StopApplication() override { stopped_ = true; }  // on the main thread
  bool IsMainThread() override { return std::this_thread::get_id() == main_; }

  void RunDue() {  // delayed work falls due and runs here, the main thread
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (Work& work : later_) ready_.push_back(std::move(work));
      later_.clear();
    }
    while (Work work = Next(false)) work();
  }
  bool WaitQueued() {
    std::unique_lock<std::mutex> lock(mutex_);
    return wake_.wait_for(lock, 10s, [&] { return !ready_.empty(); });
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
  bool stopped_ = false;
};

TEST(MacMainLoop, CallersWaitForTheMainThreadUntilTheLoopEndsAndNothingRunsAfter) {
  FakeDispatch dispatch;
  MacMainLoop loop(dispatch);
  std::atomic<bool> onMain{false};
  std::vector<int> ran;
  std::thread worker([&] {
    EXPECT_TRUE(loop.RunAndWait([&] { onMain = loop.IsMainThread(); }));
    loop.Post([&] { ran.push_back(1); });
    loop.Post([&] { loop.Quit(); });
    loop.Post([&] { ran.push_back(2); });  // queued behind the quit
  });
  loop.Run();
  worker.join();
  EXPECT_TRUE(onMain);
  EXPECT_EQ(ran, std::vector<int>{1});
  loop.Post([&] { ran.push_back(3); });
  dispatch.RunDue();
  EXPECT_EQ(ran, std::vector<int>{1}) << "work posted after the end is dropped";
  std::thread late([&] { EXPECT_FALSE(loop.RunAndWait([] {})); });
  late.join();
}

TEST(MacMainLoop, ACallerWaitingWhenTheLoopEndsIsLetGo) {
  FakeDispatch dispatch;
  auto loop = std::make_unique<MacMainLoop>(dispatch);
  std::atomic<int> answer{-1};
  std::thread worker([&] { answer = loop->RunAndWait([] {}) ? 1 : 0; });
  ASSERT_TRUE(dispatch.WaitQueued());  // it waits now
  loop->Quit();
  loop.reset();  // never ran: the waiter must not hang
  worker.join();
  EXPECT_EQ(answer, 0);
}

TEST(MacMainLoop, TheRepeatingTimerKeepsItsBeatUnlessItFellAWholeIntervalBehind) {
  FakeDispatch dispatch;
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
  loop.Quit();
  dispatch.RunDue();
  EXPECT_EQ(ticks, 2) << "no tick after the end";
}

}  // namespace
}  // namespace hovra::testing
