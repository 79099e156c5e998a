#include "base/decimal.h"

#include <gtest/gtest.h>

#include <climits>

namespace hovra {
namespace {

// White space is skipped, a sign taken, the first non-digit ends the number; only the given
// length is read, and the value saturates instead of overflowing.
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

}  // namespace
}  // namespace hovra
