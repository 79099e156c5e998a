#include "server/frame_payloads.h"

#include <cstring>
#include <string>

#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

// The default desktop: one 1920x1080 screen, the pointer at (960, 540) in event space.
class FramePayloads : public InputTest {
 protected:
  void Mouse(const std::string& payload) {
    ReadMousePayload(payload.data(), static_cast<int>(payload.size()), held_);
  }
  void Key(const std::string& payload) {
    ReadKeyPayload(payload.data(), static_cast<int>(payload.size()), held_);
  }
  HeldInput held_;
};

TEST_F(FramePayloads, PointerMovesNeedBothNumbers) {
  Mouse("m 5 -3");
  EXPECT_EQ(Take(), Lines({MouseLine(5, 965, 537)}));
  Mouse("m 3");  // dy missing
  Mouse("m 0 0");
  EXPECT_TRUE(Take().empty());
  Mouse("m 3 ");  // the empty last token reads as 0
  EXPECT_EQ(Take(), Lines({MouseLine(5, 968, 537)}));
  Mouse("m  5 5");  // an empty dx, then dy 5, then a stray 5
  EXPECT_EQ(Take(), Lines({MouseLine(5, 968, 542)}));
}

TEST_F(FramePayloads, PointerCommandsRunInOrderAndOnlyOneByteTokensAreCommands) {
  Mouse("c m 2 2");
  EXPECT_EQ(Take(),
            Lines({MouseLine(1, 960, 540), MouseLine(2, 960, 540), MouseLine(5, 962, 542)}));
  Mouse("mm 1 1 r M x 7 C");
  Mouse("b m 5 5");  // "b" swallows the "m"; the numbers alone mean nothing
  EXPECT_TRUE(Take().empty());
}

TEST_F(FramePayloads, ButtonsTakeTheFirstByteOfTheirTokens) {
  Mouse("R l d R l u");
  Mouse("R right down R r up");
  Mouse("R m d R m u");
  EXPECT_EQ(Take(), Lines({MouseLine(1, 960, 540), MouseLine(2, 960, 540), MouseLine(3, 960, 540),
                           MouseLine(4, 960, 540), MouseLine(25, 960, 540, 2),
                           MouseLine(26, 960, 540, 2)}));
  Mouse("R x d");  // no button: the d is no direction either
  Mouse("R l x");
  Mouse("R l");
  EXPECT_TRUE(Take().empty());
  Mouse("R x c");  // the token after an unknown button is read afresh
  EXPECT_EQ(Take(), Lines({MouseLine(1, 960, 540), MouseLine(2, 960, 540)}));
}

TEST_F(FramePayloads, TheLengthBoundsThePayload) {
  Mouse("");
  ReadMousePayload("c", -1, held_);
  ReadKeyPayload("a", -5, held_);
  ReadMousePayload("m 5 5 c", 5, held_);  // the click lies beyond the payload
  EXPECT_EQ(Take(), Lines({MouseLine(5, 965, 545)}));
  ReadMousePayload("c\0x c", 5, held_);  // a NUL byte ends a token for its reader
  EXPECT_EQ(Take().size(), 4u);          // two clicks
}

TEST_F(FramePayloads, OverLongTokensAreCutTo127Bytes) {
  // 126 zeros and "79": cut to 127 bytes the number reads 7.
  Mouse("m " + std::string(126, '0') + "79 0");
  EXPECT_EQ(Take(), Lines({MouseLine(5, 967, 540)}));
  Mouse("m " + std::string(500, '9') + " 1");  // saturates, stops at the screen edge
  EXPECT_EQ(Take(), Lines({MouseLine(5, 1919, 541)}));
  Key("[R] " + std::string(300, 'x') + " u");  // an unknown name is dropped; the u is typed
  EXPECT_EQ(Take(), Lines({KeyLine(32, true), KeyLine(32, false)}));
}

TEST_F(FramePayloads, KeyNamesSpacesAndCombinations) {
  Key("a  b");
  EXPECT_EQ(Take(), Lines({KeyLine(0, true), KeyLine(0, false), KeyLine(49, true),
                           KeyLine(49, false), KeyLine(11, true), KeyLine(11, false)}));
  Key(" ");  // one space; the empty token at the end is not one
  Key("");
  Key("a ");
  Key("nosuch f1");
  EXPECT_EQ(Take(),
            Lines({KeyLine(49, true), KeyLine(49, false), KeyLine(0, true), KeyLine(0, false)}));
  Key("CTRL[+]c");
  EXPECT_EQ(Take(),
            Lines({KeyLine(59, true), KeyLine(8, true), KeyLine(8, false), KeyLine(59, false)}));
}

TEST_F(FramePayloads, ButtonsAndRawKeysPressedByFramesAreHeldForTheClient) {
  Mouse("R r d");
  Key("[R] CTRL d");
  Mouse("R m d R m u");
  Take();
  held_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({KeyLine(59, false), MouseLine(4, 960, 540)}));
}

// Raw keys held across frames are the shared input cases'.
TEST_F(FramePayloads, RawPrefixWithUnknownNamesOrDirections) {
  Key("[R] SHIFT x");  // no direction: nothing, the x is used up
  Key("[R] [R] b");    // "[R]" is no key name
  Key("x [R]");        // a prefix open at the end is dropped
  EXPECT_EQ(Take(),
            Lines({KeyLine(11, true), KeyLine(11, false), KeyLine(7, true), KeyLine(7, false)}));
  Key("[R] ALT down [R] ALT up");
  EXPECT_EQ(Take(), Lines({KeyLine(58, true), KeyLine(58, false)}));
}

}  // namespace
}  // namespace hovra::testing
