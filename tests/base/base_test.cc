#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "base/decimal.h"
#include "base/json_depth.h"
#include "base/printable.h"
#include "base/rate_limit.h"
#include "tests/support/fake_clock.h"

namespace hovra {
namespace {

TEST(Printable, ShowsControlsAndStrayBytesAsText) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain text", "plain text"},
      {"\x1b]0;pwned\x07title", "\\x1b]0;pwned\\x07title"},
      {"line\r\nverifypassword ok", "line\\x0d\\x0averifypassword ok"},
      {std::string("nul\0here", 8), "nul\\x00here"},
      {"tab\there\x7f", "tab\\x09here\\x7f"},
      {std::string("8-bit CSI \xc2\x9b") + "2J", "8-bit CSI \\u009b2J"},  // C1 control, in UTF-8
      {std::string("stray \x9b") + "2J \xff", "stray \\x9b2J \\xff"},     // not UTF-8 at all
      {"abc\xe2\x80\xaegpj.exe", "abc\\u202egpj.exe"},                    // right-to-left override
      {"caf\xc3\xa9 \xe4\xb8\xad", "caf\xc3\xa9 \xe4\xb8\xad"},  // characters stay as they are
      {"back\\slash", "back\\slash"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Printable(in), out) << in;
}

TEST(Printable, CutsAtTheNamedLengthOnACharacterBoundary) {
  EXPECT_EQ(Printable(std::string(300, 'a')), std::string(kLoggedTextBytes, 'a') + "...");
  EXPECT_EQ(Printable("abcdef", 6), "abcdef");
  EXPECT_EQ(Printable("abcdefg", 6), "abcdef...");
  // "é" takes bytes 5 and 6: a cut after byte 5 leaves it out whole.
  EXPECT_EQ(Printable("abcd\xc3\xa9z", 5), "abcd...");
  // The limit counts the original bytes; escapes may make the line longer, never the text.
  EXPECT_EQ(Printable("\x1b\x1b\x1b", 2), "\\x1b\\x1b...");
}

TEST(JsonDepth, CountsBracketsOutsideStringsOnly) {
  EXPECT_TRUE(JsonNestingWithin(R"({"a":[1,{"b":[]}]})", 4));
  EXPECT_FALSE(JsonNestingWithin(R"({"a":[1,{"b":[]}]})", 3));
  EXPECT_TRUE(JsonNestingWithin(R"({"a":"[[[[[[{{{{"})", 1));
  EXPECT_TRUE(JsonNestingWithin(R"({"a":"quote \" then [[[["})", 1));
  EXPECT_TRUE(JsonNestingWithin(R"(["\\", "[[["])", 1));  // an escaped backslash ends nothing
  EXPECT_TRUE(JsonNestingWithin(std::string(kMaxJsonDepth, '[') + std::string(kMaxJsonDepth, ']')));
  EXPECT_FALSE(JsonNestingWithin(std::string(kMaxJsonDepth + 1, '[')));
}

// Spaces skipped, a sign taken, a non-digit ends it; only `length` bytes read; saturates.
TEST(ParseDecimal, ReadsTheDecimalRule) {
  const std::pair<std::string_view, int> cases[] = {
      {"012", 12}, {" 12", 12}, {"12 ", 12}, {"-05", -5},
      {"+7x", 7},  {"boa", 0},  {"- 5", 0},  {"1234", 123},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseDecimal(text.data(), 3), value) << text;
  EXPECT_EQ(ParseDecimal("\t\n 42abc"), 42);
  EXPECT_EQ(ParseDecimal(""), 0);
  EXPECT_EQ(ParseDecimal("2147483647"), INT_MAX);
  EXPECT_EQ(ParseDecimal("2147483648"), INT_MAX);
  EXPECT_EQ(ParseDecimal("-2147483648"), INT_MIN);
  EXPECT_EQ(ParseDecimal("99999999999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseDecimal("-99999999999999999999999999"), INT_MIN);
}

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
