#include "input/utf8.h"

#include <gtest/gtest.h>

namespace hovra {
namespace {

TEST(Utf8ToUtf16, DecodesEveryLengthAtItsBoundaries) {
  EXPECT_EQ(Utf8ToUtf16(""), std::u16string());
  EXPECT_EQ(Utf8ToUtf16("\x7F"), std::u16string(u"\x7F"));
  EXPECT_EQ(Utf8ToUtf16("\xC2\x80"), std::u16string(u"\x80"));
  EXPECT_EQ(Utf8ToUtf16("\xDF\xBF"), std::u16string(u"\x7FF"));
  EXPECT_EQ(Utf8ToUtf16("\xE0\xA0\x80"), std::u16string(u"\x800"));
  EXPECT_EQ(Utf8ToUtf16("\xED\x9F\xBF"), std::u16string(u"\xD7FF"));
  EXPECT_EQ(Utf8ToUtf16("\xEE\x80\x80"), std::u16string(u"\xE000"));
  EXPECT_EQ(Utf8ToUtf16("\xEF\xBF\xBF"), std::u16string(u"\xFFFF"));
  EXPECT_EQ(Utf8ToUtf16("\xF0\x90\x80\x80"), std::u16string(u"\xD800\xDC00"));
  EXPECT_EQ(Utf8ToUtf16("\xF4\x8F\xBF\xBF"), std::u16string(u"\xDBFF\xDFFF"));
  EXPECT_EQ(Utf8ToUtf16("x\xE2\x82\xACy"), std::u16string(u"x\u20ACy"));
}

TEST(Utf8ToUtf16, RejectsStrayContinuationBytes) {
  EXPECT_FALSE(Utf8ToUtf16("\x80"));
  EXPECT_FALSE(Utf8ToUtf16("a\xBF"));
  EXPECT_FALSE(Utf8ToUtf16("\xC3\xA9\xA9"));
}

TEST(Utf8ToUtf16, RejectsOverlongForms) {
  EXPECT_FALSE(Utf8ToUtf16("\xC0\x80"));
  EXPECT_FALSE(Utf8ToUtf16("\xC1\xBF"));
  EXPECT_FALSE(Utf8ToUtf16("\xE0\x9F\xBF"));
  EXPECT_FALSE(Utf8ToUtf16("\xF0\x8F\xBF\xBF"));
}

TEST(Utf8ToUtf16, RejectsEncodedSurrogatesAndValuesBeyondUnicode) {
  EXPECT_FALSE(Utf8ToUtf16("\xED\xA0\x80"));
  EXPECT_FALSE(Utf8ToUtf16("\xED\xBF\xBF"));
  EXPECT_FALSE(Utf8ToUtf16("\xED\xA0\xBD\xED\xB8\x80"));  // a surrogate pair spelt in UTF-8
  EXPECT_FALSE(Utf8ToUtf16("\xF4\x90\x80\x80"));
  EXPECT_FALSE(Utf8ToUtf16("\xF5\x80\x80\x80"));
  EXPECT_FALSE(Utf8ToUtf16("\xFE"));
  EXPECT_FALSE(Utf8ToUtf16("\xFF"));
}

TEST(Utf8ToUtf16, RejectsSequencesCutOffOrInterrupted) {
  EXPECT_FALSE(Utf8ToUtf16("\xC3"));
  EXPECT_FALSE(Utf8ToUtf16("\xE2\x82"));
  EXPECT_FALSE(Utf8ToUtf16("\xF0\x9F\x98"));
  EXPECT_FALSE(
      Utf8ToUtf16("\xE2"
                  "a"
                  "\xAC"));
  EXPECT_FALSE(
      Utf8ToUtf16("\xF0\x9F\x98"
                  "a"));
}

}  // namespace
}  // namespace hovra
