#include "catalogue/base64.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "catalogue/uuid_string.h"

namespace hovra::catalogue {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(Base64, EncodesKnownVectorsWithFillAndReportsTheLength) {
  EXPECT_EQ(base64EncodedString(Bytes("")), "");
  EXPECT_EQ(base64EncodedString(Bytes("f")), "Zg==");
  EXPECT_EQ(base64EncodedString(Bytes("fo")), "Zm8=");
  EXPECT_EQ(base64EncodedString(Bytes("foobar")), "Zm9vYmFy");
  const std::vector<uint8_t> high = {0xFB, 0xFF, 0xBF};
  EXPECT_EQ(base64EncodedString(high), "+/+/");
  size_t length = 99;
  std::string text = NewBase64Encode("ab", 2, false, &length);
  EXPECT_EQ(text, "YWI=");
  EXPECT_EQ(length, 4u);
}

TEST(Base64, SeparatesLinesOnlyWhenAskedAndNeverAfterTheLast) {
  std::vector<uint8_t> data(96, 0);  // exactly two lines of 64 characters
  std::string one = NewBase64Encode(data.data(), data.size(), false, nullptr);
  EXPECT_EQ(one.find('\r'), std::string::npos);
  std::string lines = NewBase64Encode(data.data(), data.size(), true, nullptr);
  EXPECT_EQ(lines, one.substr(0, 64) + "\r\n" + one.substr(64));
  std::vector<uint8_t> more(97, 0);
  std::string three = NewBase64Encode(more.data(), more.size(), true, nullptr);
  EXPECT_EQ(three.size(), 132u + 4u);  // 132 characters and two line breaks
  EXPECT_EQ(three.substr(64, 2), "\r\n");
  EXPECT_EQ(three.substr(130, 2), "\r\n");
}

TEST(Base64, DecodesSkippingEverythingOutsideTheAlphabetAndRoundTrips) {
  EXPECT_EQ(dataFromBase64String("Zm9v\nYmFy"), Bytes("foobar"));
  EXPECT_EQ(dataFromBase64String("Zm9vYmFy===="), Bytes("foobar"));
  EXPECT_EQ(dataFromBase64String("Zm8"), Bytes("fo"));
  EXPECT_EQ(dataFromBase64String("Z m\x80\xFF*9v"), Bytes("foo"));
  EXPECT_EQ(dataFromBase64String("Zm9vY"), Bytes("foo"));  // a lone last character adds nothing
  EXPECT_EQ(dataFromBase64String(""), Bytes(""));
  size_t length = 0;
  EXPECT_EQ(NewBase64Decode("Zm9vYg==", kNulTerminated, &length), Bytes("foob"));
  EXPECT_EQ(length, 4u);
  std::vector<uint8_t> all(256);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(dataFromBase64String(base64EncodedString(all)), all);
  EXPECT_EQ(dataFromBase64String(NewBase64Encode(all.data(), all.size(), true, nullptr)), all);
}

TEST(UuidString, IsARandomUpperCaseVersion4Uuid) {
  std::set<std::string> seen;
  for (int i = 0; i < 32; ++i) {
    std::string uuid = UUIDString();
    // Upper-case hexadecimal in groups of 8-4-4-4-12, version 4, RFC 4122 variant.
    EXPECT_TRUE(std::regex_match(
        uuid, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
        << uuid;
    seen.insert(uuid);
  }
  EXPECT_EQ(seen.size(), 32u);
}

}  // namespace
}  // namespace hovra::catalogue
