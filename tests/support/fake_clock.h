// A steady clock that moves only when a test says so.
//   FakeClock clock;
//   GuessPenalties penalties({}, clock.Function());
//   clock.Advance(1s);
#pragma once

#include <chrono>

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

}  // namespace hovra::testing
