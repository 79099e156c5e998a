#include "base/rate_limit.h"

#include <algorithm>

namespace hovra {

bool TokenBucket::Take(SteadyTime now) {
  if (now > last_) {
    double elapsed = std::chrono::duration<double>(now - last_).count();
    tokens_ = std::min(burst_, tokens_ + elapsed * perSecond_);
    last_ = now;
  }
  if (tokens_ < 1.0) return false;
  tokens_ -= 1.0;
  return true;
}

LineRateLimiter::LineRateLimiter(double perSecond, double burst, SteadyClock clock)
    : clock_(std::move(clock)), bucket_(perSecond, burst, clock_()) {}

bool LineRateLimiter::Allow(uint64_t& held) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!bucket_.Take(clock_())) {
    ++held_;
    return false;
  }
  held = held_;
  held_ = 0;
  return true;
}

bool Episode::Note() {
  std::lock_guard<std::mutex> lock(mutex_);
  SteadyTime now = clock_();
  bool begins = !seen_ || now - last_ >= quiet_;
  seen_ = true;
  last_ = now;
  return begins;
}

bool Episode::Active() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_ && clock_() - last_ < quiet_;
}

}  // namespace hovra
