#include "input/tick_source.h"

#include <atomic>
#include <chrono>

namespace hovra {
namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point kProcessStart = Clock::now();

uint32_t MillisecondsSinceStart() {
  auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - kProcessStart);
  return static_cast<uint32_t>(static_cast<uint64_t>(elapsed.count()));  // wraps like any tick
}

std::atomic<TickSource> s_tickSource{&MillisecondsSinceStart};

}  // namespace

void SetTickSource(TickSource source) {
  s_tickSource.store(source ? source : &MillisecondsSinceStart, std::memory_order_release);
}

uint32_t CurrentTick() { return s_tickSource.load(std::memory_order_acquire)(); }

}  // namespace hovra
