// A main queue that runs posted work when the test says; RunAndWait runs at once.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/main_queue.h"

namespace hovra::testing {

class ManualMainQueue : public platform::MainQueue {
 public:
  // Safe from any thread: the server's worker posts here too.
  void Post(std::function<void()> work) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_.push_back(std::move(work));
  }
  bool RunAndWait(std::function<void()> work) override {
    work();
    return true;
  }
  void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) override {
    delayed_.emplace(now_ + delay, std::move(work));
  }
  void StartRepeatingTimer(std::chrono::milliseconds, std::function<void()> tick) override {
    timer_ = std::move(tick);
  }
  bool IsMainThread() const override { return true; }

  // Runs posted work (and work it posts) until none is left.
  void RunPending() {
    for (;;) {
      std::function<void()> work;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (ready_.empty()) return;
        work = std::move(ready_.front());
        ready_.pop_front();
      }
      work();
    }
  }
  // Moves the clock on and runs the delayed work that falls due, then posted work.
  void Advance(std::chrono::milliseconds by) {
    now_ += by;
    while (!delayed_.empty() && delayed_.begin()->first <= now_) {
      auto work = std::move(delayed_.begin()->second);
      delayed_.erase(delayed_.begin());
      work();
    }
    RunPending();
  }
  void Tick() {
    if (timer_) timer_();
  }
  bool HasTimer() const { return static_cast<bool>(timer_); }

 private:
  std::mutex mutex_;
  std::chrono::milliseconds now_{0};
  std::deque<std::function<void()>> ready_;
  std::multimap<std::chrono::milliseconds, std::function<void()>> delayed_;
  std::function<void()> timer_;
};

}  // namespace hovra::testing
