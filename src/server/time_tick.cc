#include "server/time_tick.h"

#include <atomic>
#include <cstdint>

namespace hovra {
namespace {

std::atomic<int64_t> s_startSeconds{0};
std::atomic<int64_t> s_startMicros{0};

}  // namespace

unsigned int TimeTickBetween(const timeval& start, const timeval& now) {
  uint32_t ms = (static_cast<uint32_t>(now.tv_sec) - static_cast<uint32_t>(start.tv_sec)) * 1000u;
  int64_t nowMicros = now.tv_usec;
  if (nowMicros < start.tv_usec) {
    ms -= 1000u;
    nowMicros += 1000000;
  }
  ms += static_cast<uint32_t>((nowMicros - start.tv_usec) / 1000);
  return ms;
}

void ResetTimeTickOrigin() {
  timeval now{};
  gettimeofday(&now, nullptr);
  s_startMicros.store(now.tv_usec, std::memory_order_relaxed);
  s_startSeconds.store(now.tv_sec, std::memory_order_relaxed);
}

unsigned int GetTimeTick() {
  timeval start{};
  start.tv_sec = static_cast<time_t>(s_startSeconds.load(std::memory_order_relaxed));
  start.tv_usec = static_cast<suseconds_t>(s_startMicros.load(std::memory_order_relaxed));
  timeval now{};
  gettimeofday(&now, nullptr);
  return TimeTickBetween(start, now);
}

}  // namespace hovra
