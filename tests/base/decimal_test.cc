#include "base/decimal.h"

#include <gtest/gtest.h>

#include <climits>

namespace hovra {
namespace {

TEST(ParseDecimal, SkipsWhiteSpaceTakesASignAndStopsAtTheFirstNonDigit) {
  EXPECT_EQ(ParseDecimal("012", 3), 12);
  EXPECT_EQ(ParseDecimal(" 12", 3), 12);
  EXPECT_EQ(ParseDecimal("12 ", 3), 12);
  EXPECT_EQ(ParseDecimal("-05", 3), -5);
  EXPECT_EQ(ParseDecimal("+7x", 3), 7);
  EXPECT_EQ(ParseDecimal("boa", 3), 0);
  EXPECT_EQ(ParseDecimal("- 5", 3), 0);
  EXPECT_EQ(ParseDecimal("1234", 3), 123) << "only the given length is read";
  EXPECT_EQ(ParseDecimal("\t\n 42abc"), 42);
  EXPECT_EQ(ParseDecimal(""), 0);
}

TEST(ParseDecimal, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(ParseDecimal("2147483647"), INT_MAX);
  EXPECT_EQ(ParseDecimal("2147483648"), INT_MAX);
  EXPECT_EQ(ParseDecimal("-2147483648"), INT_MIN);
  EXPECT_EQ(ParseDecimal("99999999999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseDecimal("-99999999999999999999999999"), INT_MIN);
}

}  // namespace
}  // namespace hovra
