#include "input/keystrokes.h"

#include <span>

#include "input/utf8.h"
#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

class Keys : public InputTest {};

TEST_F(Keys, TablesFillMapsWithEveryRowAndLowerNamesNeedNoShift) {
  for (bool upper : {false, true}) {
    for (const KeyEntry& entry : upper ? std::span<const KeyEntry>(UPPER_KEY_ENTRIES)
                                       : std::span<const KeyEntry>(LOWER_KEY_ENTRIES)) {
      bool shift = !upper;
      EXPECT_EQ(StringToVKValue(entry.name, &shift), entry.code) << entry.name;
      EXPECT_EQ(shift, upper) << entry.name;
    }
  }
  FillKeyNameMaps();  // a second fill changes nothing
  EXPECT_EQ(StringToVKValue("F10", nullptr), 109);
}

TEST_F(Keys, LookupIsExactAndLeavesTheFlagAloneForUnknownNames) {
  bool shift = true;
  for (const char* unknown : {"space", "f1", "RTN ", ""})
    EXPECT_EQ(StringToVKValue(unknown, &shift), kNoKey) << unknown;
  EXPECT_TRUE(shift);
  const std::pair<const char*, int> known[] = {{"F1", 122}, {"F5", 96}, {" ", 49}, {"SPC", 49},
                                               {"\"", 39},  {"\\", 42}, {"`", 50}, {"|", 42}};
  for (const auto& [name, code] : known) EXPECT_EQ(StringToVKValue(name, nullptr), code) << name;
  SendKeyPress(nullptr);
  SendRawKeyInput(kNoKey, false);
  EXPECT_TRUE(Take().empty());
}

TEST_F(Keys, CombinationsNestTheirKeysAndPostNothingWithAnUnknownName) {
  SendComboKeyPress("ALT[+]F4");
  SendComboKeyPress("CTRL[+]A");  // the Shift of "A" is ignored
  SendComboKeyPress("WIN[+]SHIFT[+]3");
  EXPECT_EQ(Take(),
            Lines({KeyLine(58, true), KeyLine(118, true), KeyLine(118, false), KeyLine(58, false),
                   KeyLine(59, true), KeyLine(0, true), KeyLine(0, false), KeyLine(59, false),
                   KeyLine(55, true), KeyLine(56, true), KeyLine(20, true), KeyLine(20, false),
                   KeyLine(56, false), KeyLine(55, false)}));
  SendComboKeyPress("WIN[+]SHIFT[+]NOSUCH");  // the whole rest becomes one unknown name
  SendComboKeyPress("NOSUCH[+]c");
  SendComboKeyPress("CTRL[+]NOSUCH[+]c");
  SendComboKeyPress("CTRL[+]");
  SendComboKeyPress("[+]c");
  SendComboKeyPress("CTRL");  // no separator at all
  EXPECT_TRUE(Take().empty());
}

TEST_F(Keys, TextTypesEachUtf16UnitAsItsOwnPairAndInvalidTextNothingAtAll) {
  HandleUtf8String(reinterpret_cast<const unsigned char*>("a\xC3\xA9"));
  EXPECT_EQ(
      Take(),
      Lines({R"({"kind":"key","code":1,"down":true,"source":"none","flags":0,"unicode":[97]})",
             TextLine(97, false), TextLine(233, true), TextLine(233, false)}));
  HandleUtf8String(nullptr);
  for (const char* bad : {"", "ok\x80", "ab\xE2\x82"}) {  // the decoder's own tests list more
    HandleUtf8String(reinterpret_cast<const unsigned char*>(bad));
    EXPECT_TRUE(Take().empty()) << bad;
  }
}

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

// Stray, overlong, surrogate, beyond-Unicode, cut-off and interrupted sequences.
TEST(Utf8ToUtf16, RejectsWhatIsNotUtf8) {
  for (const char* bad :
       {"\x80", "\xC3\xA9\xA9", "\xC0\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
        "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xFF", "\xC3", "\xF0\x9F\x98", "\xE2\x61\xAC"})
    EXPECT_FALSE(Utf8ToUtf16(bad)) << bad;
}

}  // namespace
}  // namespace hovra::testing
