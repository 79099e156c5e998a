#include "app/version_compare.h"

#include <gtest/gtest.h>

namespace hovra::app {
namespace {

constexpr VersionOrder kNewer = VersionOrder::kDescending;
constexpr VersionOrder kOlder = VersionOrder::kAscending;
constexpr VersionOrder kSame = VersionOrder::kSame;

// Digit runs by value, a prefix first, other units by their UTF-16 value.
TEST(CompareVersions, DigitRunsByValuePrefixesFirstOtherUnitsByUtf16Value) {
  EXPECT_EQ(CompareVersions("1.10", "1.9"), kNewer);
  EXPECT_EQ(CompareVersions("1.9", "1.10"), kOlder);
  EXPECT_EQ(CompareVersions("2.0", "2.0"), kSame);
  EXPECT_EQ(CompareVersions("1.01", "1.1"), kSame);
  EXPECT_EQ(CompareVersions("2.0", "1.9"), kNewer);
  EXPECT_EQ(CompareVersions("10", "9"), kNewer);
  // Runs beyond 64 bits still compare by value.
  EXPECT_EQ(CompareVersions("1.100000000000000000000", "1.99999999999999999999"), kNewer);
  EXPECT_EQ(CompareVersions("1.0000000000000000000000007", "1.7"), kSame);
  EXPECT_EQ(CompareVersions("2.0", "2"), kNewer);
  EXPECT_EQ(CompareVersions("2", "2.0"), kOlder);
  EXPECT_EQ(CompareVersions("", "1"), kOlder);
  EXPECT_EQ(CompareVersions("", ""), kSame);
  EXPECT_EQ(CompareVersions("1.0b", "1.0a"), kNewer);
  EXPECT_EQ(CompareVersions("1.a", "1.1"), kNewer);  // 'a' after '1'
  EXPECT_EQ(CompareVersions("1-2", "1.2"), kOlder);  // '-' before '.'
  // U+FF21 is one unit; U+1F600 begins with the surrogate D83D, which is smaller.
  EXPECT_EQ(CompareVersions("1\xEF\xBC\xA1", "1\xF0\x9F\x98\x80"), kNewer);
}

}  // namespace
}  // namespace hovra::app
