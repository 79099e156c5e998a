#include "input/utf8.h"

#include <gtest/gtest.h>

namespace hovra {
namespace {

TEST(Utf8ToUtf16, DecodesEveryLengthAtItsBoundaries) {
  const std::pair<const char*, std::u16string> cases[] = {
      {"", u""},
      {"\xC2\x80", u"\x80"},
      {"\xE0\xA0\x80", u"\x800"},
      {"\xED\x9F\xBF", u"\xD7FF"},
      {"\xEF\xBF\xBF", u"\xFFFF"},
      {"\xF0\x90\x80\x80", u"\xD800\xDC00"},
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
      {"x\xE2\x82\xACy", u"x\u20ACy"},
  };
  for (const auto& [utf8, utf16] : cases) EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << utf8;
}

// Stray continuation bytes, overlong forms, encoded surrogates, values beyond Unicode,
// and sequences cut off or interrupted.
TEST(Utf8ToUtf16, RejectsWhatIsNotUtf8) {
  for (const char* bad :
       {"\x80", "\xC3\xA9\xA9", "\xC0\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
        "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xFF", "\xC3", "\xF0\x9F\x98", "\xE2\x61\xAC"}) {
    EXPECT_FALSE(Utf8ToUtf16(bad)) << bad;
  }
}

}  // namespace
}  // namespace hovra
