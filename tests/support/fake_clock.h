// A steady clock that moves only when a test says so.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "base/rate_limit.h"

namespace hovra::testing {

class FakeClock {
 public:
  SteadyClock Function() {
    return [this] { return now_; };
  }
  SteadyTime Now() const { return now_; }
  void Advance(std::chrono::nanoseconds step) { now_ += step; }

 private:
  SteadyTime now_ = SteadyTime() + std::chrono::hours(1000);
};

// The same for a clock read by another thread (a server's worker) while the test steps it.
class SharedFakeClock {
 public:
  SteadyClock Function() {
    return [this] { return SteadyTime(std::chrono::nanoseconds(now_.load())); };
  }
  void Advance(std::chrono::nanoseconds step) { now_ += step.count(); }

 private:
  std::atomic<int64_t> now_{std::chrono::nanoseconds(std::chrono::hours(1000)).count()};
};

}  // namespace hovra::testing
