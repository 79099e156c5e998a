#include "platform/journal/json_line.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/journal/sim_desktop.h"

namespace hovra::platform::journal {
namespace {

TEST(JsonLine, WritesMembersInOrderWithWholeNumbersWithoutFraction) {
  std::string line = JsonLine()
                         .Text("kind", "mouse")
                         .Integer("type", 5)
                         .Number("x", 101.0)
                         .Number("y", -2.5)
                         .Bool("down", true)
                         .Units("unicode", u"\u00e9\xd83d")
                         .Finish();
  EXPECT_EQ(line,
            R"({"kind":"mouse","type":5,"x":101,"y":-2.5,"down":true,"unicode":[233,55357]})");
}

// Valid UTF-8 is kept; stray, overlong and cut-off sequences are replaced.
TEST(JsonLine, EscapesControlsQuotesAndBackslashesAndReplacesInvalidBytes) {
  EXPECT_EQ(JsonLine().Text("source", "a\"b\\c\nd\te\x01").Finish(),
            R"({"source":"a\"b\\c\nd\te\u0001"})");
  EXPECT_EQ(JsonLine().Text("t", "\xC3\xA9|\x80|\xC0\xAF|\xE2\x82").Finish(),
            "{\"t\":\"\xC3\xA9|\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\"}");
}

TEST(SimConfig, RejectsMalformedInputWithAReason) {
  for (const char* bad : {"[1,2]", R"({"screens":[[0,0,800]]})", R"({"pointer":"middle"})", "{"}) {
    EXPECT_THROW(SimConfig::Parse(bad), std::runtime_error) << bad;
  }
}

}  // namespace
}  // namespace hovra::platform::journal
