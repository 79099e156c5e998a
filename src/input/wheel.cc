#include "input/wheel.h"

#include <cstdint>
#include <limits>

#include "platform/services.h"

namespace hovra {
namespace {

int32_t s_wheelCnt = 0;
int32_t s_hWheelCnt = 0;

constexpr int32_t kStepsPerNotch = 5;

// A client can send amounts near the int range; the sum saturates instead of overflowing.
int32_t SaturatingAdd(int32_t a, int32_t b) {
  int64_t sum = static_cast<int64_t>(a) + b;
  if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(sum);
}

void Accumulate(int32_t& counter, int amount) {
  if (amount == 1) {
    if (counter < 0) counter = 0;
    counter = SaturatingAdd(counter, 1);
  } else if (amount == 0) {
    if (counter > 0) counter = 0;
    counter = SaturatingAdd(counter, -1);
  } else {
    counter = SaturatingAdd(counter, amount);
  }
}

}  // namespace

void SendMouseWheel(int amount) { Accumulate(s_wheelCnt, amount); }

void SendMouseHWheel(int amount) { Accumulate(s_hWheelCnt, amount); }

void CommitMouseWheel() {
  const int32_t v = s_wheelCnt;
  const int32_t h = s_hWheelCnt;
  s_wheelCnt = v / kStepsPerNotch;
  s_hWheelCnt = h / kStepsPerNotch;
  if (v / kStepsPerNotch == 0 && h / kStepsPerNotch == 0) return;
  platform::GetEvents().PostScroll(platform::ScrollEvent{v / kStepsPerNotch, h / kStepsPerNotch});
  s_wheelCnt = 0;
  s_hWheelCnt = 0;
}

void ResetWheelState() {
  s_wheelCnt = 0;
  s_hWheelCnt = 0;
}

}  // namespace hovra
