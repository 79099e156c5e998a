#include "base/rate_limit.h"

#include <gtest/gtest.h>

#include "tests/support/fake_clock.h"

namespace hovra {
namespace {

using namespace std::chrono_literals;
using testing::FakeClock;

int Allowed(LineRateLimiter& limiter, int tries, uint64_t* lastHeld = nullptr) {
  int allowed = 0;
  for (int i = 0; i < tries; ++i) {
    uint64_t held = 0;
    if (limiter.Allow(held)) {
      ++allowed;
      if (lastHeld) *lastHeld = held;
    }
  }
  return allowed;
}

TEST(LineRateLimiter, BurstThenSteadyRateAndCountsWhatWasHeldBack) {
  FakeClock clock;
  LineRateLimiter limiter(2.0, 3, clock.Function());
  uint64_t held = 99;
  EXPECT_EQ(Allowed(limiter, 1000, &held), 3);
  EXPECT_EQ(held, 0u);
  clock.Advance(500ms);  // one more token
  EXPECT_EQ(Allowed(limiter, 1, &held), 1);
  EXPECT_EQ(held, 997u) << "the next line says how many were not written";
  EXPECT_EQ(Allowed(limiter, 10), 0);
  clock.Advance(1h);  // refills to the burst, never beyond
  EXPECT_EQ(Allowed(limiter, 100), 3);
}

TEST(KeyedRateLimiter, EachKeyHasItsOwnBucketAndTheTableStaysBounded) {
  FakeClock clock;
  KeyedRateLimiter<int> limiter(1.0, 2, 3, clock.Function());
  EXPECT_TRUE(limiter.Allow(1));
  EXPECT_TRUE(limiter.Allow(1));
  EXPECT_FALSE(limiter.Allow(1));
  EXPECT_TRUE(limiter.Allow(2)) << "another key is not held back by the first";
  for (int key = 10; key < 1000; ++key) limiter.Allow(key);
  EXPECT_EQ(limiter.Size(), 3u);
  // Key 1 was forgotten by the flood: it starts with a full bucket again.
  EXPECT_TRUE(limiter.Allow(1));
  // The most recently used keys are the ones kept: 999 has one token left, not two.
  EXPECT_TRUE(limiter.Allow(999));
  EXPECT_FALSE(limiter.Allow(999));
}

}  // namespace
}  // namespace hovra
