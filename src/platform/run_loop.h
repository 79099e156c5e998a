// The main thread's run loop: posted work, work other threads wait for, delayed work and
// repeating timers, all run one at a time on the thread that calls Run().
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/main_loop.h"

namespace hovra::platform {

class RunLoop : public MainLoop {
 public:
  RunLoop();  // the constructing thread is the main thread
  ~RunLoop() override;

  void Post(std::function<void()> work) override;
  bool RunAndWait(std::function<void()> work) override;
  void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) override;
  void StartRepeatingTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
  bool IsMainThread() const override { return std::this_thread::get_id() == mainThread_; }

  void Run() override;
  void Quit() override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Waiter {
    bool finished = false;
    bool ran = false;
  };
  struct Timed {
    std::function<void()> work;
    std::chrono::milliseconds interval{0};  // 0: runs once
  };

  void Finish();

  std::thread::id mainThread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::deque<std::function<void()>> ready_;
  std::multimap<Clock::time_point, Timed> timers_;
  std::deque<std::shared_ptr<Waiter>> waiters_;
  bool quit_ = false;
  bool ended_ = false;
};

}  // namespace hovra::platform
