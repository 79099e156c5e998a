// A steady clock that moves only when a test says so.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "base/rate_limit.h"

namespace hovra::testing {

// Safe to read from another thread (a server's worker) while the test steps it.
class FakeClock {
 public:
  SteadyClock Function() {
    return [this] { return Now(); };
  }
  SteadyTime Now() const { return SteadyTime(std::chrono::nanoseconds(now_.load())); }
  void Advance(std::chrono::nanoseconds step) { now_ += step.count(); }

 private:
  std::atomic<int64_t> now_{std::chrono::nanoseconds(std::chrono::hours(1000)).count()};
};

}  // namespace hovra::testing
