#include "platform/journal/json_line.h"

#include <gtest/gtest.h>

namespace hovra::platform::journal {
namespace {

TEST(JsonLine, WritesMembersInOrderWithWholeNumbersWithoutFraction) {
  std::string line = JsonLine()
                         .Text("kind", "mouse")
                         .Integer("type", 5)
                         .Number("x", 101.0)
                         .Number("y", -2.5)
                         .Bool("down", true)
                         .Finish();
  EXPECT_EQ(line, R"({"kind":"mouse","type":5,"x":101,"y":-2.5,"down":true})");
}

TEST(JsonLine, EscapesControlCharactersQuotesAndBackslashes) {
  std::string line = JsonLine().Text("source", "a\"b\\c\nd\te\x01").Finish();
  EXPECT_EQ(line, R"({"source":"a\"b\\c\nd\te\u0001"})");
}

TEST(JsonLine, KeepsValidUtf8AndReplacesInvalidBytes) {
  EXPECT_EQ(JsonLine().Text("t", "\xC3\xA9").Finish(), "{\"t\":\"\xC3\xA9\"}");
  // A stray continuation byte, an overlong form and a cut-off sequence.
  EXPECT_EQ(JsonLine().Text("t", "\x80|\xC0\xAF|\xE2\x82").Finish(),
            "{\"t\":\"\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\"}");
}

TEST(JsonLine, WritesUnitsAsNumbers) {
  EXPECT_EQ(JsonLine().Units("unicode", u"\u00e9\xd83d").Finish(), R"({"unicode":[233,55357]})");
}

}  // namespace
}  // namespace hovra::platform::journal
