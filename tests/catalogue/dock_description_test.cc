#include "catalogue/dock_description.h"

#include <gtest/gtest.h>

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
      DockDescription({Entry("a\x80"
                             "b\xE2\x82",
                             "\xC0\xAF\xED\xA0\x80", true)}),
      R"([{"Name":"a\ufffdb\ufffd\ufffd","BundleID":"\ufffd\ufffd\ufffd\ufffd\ufffd","Running":true}])");
}

}  // namespace
}  // namespace hovra::catalogue
