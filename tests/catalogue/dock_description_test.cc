#include "catalogue/dock_description.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "catalogue/base64.h"
#include "catalogue/uuid_string.h"

namespace hovra::catalogue {
namespace {

AppEntry Entry(std::optional<std::string> name, std::optional<std::string> bundleId, bool running) {
  AppEntry entry;
  entry.name = std::move(name);
  entry.bundleId = std::move(bundleId);
  entry.running = running;
  entry.filePath = "/Applications/X.app";  // never written
  entry.keepInDock = true;
  return entry;
}

TEST(DockDescription, DoublesTheBackslashesOfJsonEscapes) {
  // "/" and the quote are escaped by JSON, and that backslash is then doubled.
  EXPECT_EQ(DockDescription({Entry("AC/DC \"Live\"", "a\\b", true)}),
            R"([{"Name":"AC\\/DC \\"Live\\"","BundleID":"a\\\\b","Running":true}])");
  EXPECT_EQ(DockDescription({Entry("a\tb\nc\x01\x1f\b\f\r", "x", true)}),
            R"([{"Name":"a\\tb\\nc\\u0001\\u001f\\b\\f\\r","BundleID":"x","Running":true}])");
}

TEST(DockDescription, EscapesNonAsciiAsOctalOrUtf16Units) {
  // é (U+00E9), ÿ (U+00FF), 中 (U+4E2D), and U+1F600 as two UTF-16 units.
  EXPECT_EQ(
      DockDescription({Entry("Caf\xC3\xA9 \xC3\xBF\xE4\xB8\xAD\xF0\x9F\x98\x80", "c", false)}),
      R"([{"Name":"Caf\351 \377\u4e2d\ud83d\ude00","BundleID":"c","Running":false}])");
  EXPECT_EQ(DockDescription({Entry("\xC2\x80\xC2\xA0\x7F\xEF\xBF\xBF", "c", false)}),
            R"([{"Name":"\200\240\177\uffff","BundleID":"c","Running":false}])");
}

TEST(DockDescription, WritesInvalidUtf8AsReplacementCharacters) {
  // A stray continuation byte, a cut-off sequence, an overlong form and a surrogate.
  EXPECT_EQ(
      DockDescription({Entry(std::string("a\x80") + "b\xE2\x82", "\xC0\xAF\xED\xA0\x80", true)}),
      R"([{"Name":"a\ufffdb\ufffd\ufffd","BundleID":"\ufffd\ufffd\ufffd\ufffd\ufffd","Running":true}])");
}

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(Base64, EncodesKnownVectorsWithFillAndReportsTheLength) {
  EXPECT_EQ(base64EncodedString(Bytes("")), "");
  EXPECT_EQ(base64EncodedString(Bytes("f")), "Zg==");
  EXPECT_EQ(base64EncodedString(Bytes("fo")), "Zm8=");
  EXPECT_EQ(base64EncodedString(Bytes("foobar")), "Zm9vYmFy");
  EXPECT_EQ(base64EncodedString(Bytes("\xFB\xFF\xBF")), "+/+/");
  size_t length = 99;
  EXPECT_EQ(NewBase64Encode("ab", 2, false, &length), "YWI=");
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
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 32; ++i) {
    std::string uuid = UUIDString();
    EXPECT_TRUE(std::regex_match(uuid, form)) << uuid;  // RFC 4122 variant
    seen.insert(uuid);
  }
  EXPECT_EQ(seen.size(), 32u);
}

}  // namespace
}  // namespace hovra::catalogue
