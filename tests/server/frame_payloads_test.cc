#include "server/frame_payloads.h"

#include <string>

#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

class FramePayloads : public InputTest {
 protected:
  void Mouse(const std::string& p) {
    ReadMousePayload(p.data(), static_cast<int>(p.size()), held_);
  }
  void Key(const std::string& p) { ReadKeyPayload(p.data(), static_cast<int>(p.size()), held_); }
  struct Row {
    std::vector<std::string> payloads;
    Lines expected;
  };
  // Plays the rows in turn on one desktop (key payloads when `keys`): the pointer moves on.
  void Play(bool keys, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      SCOPED_TRACE(row.payloads[0].substr(0, 20));
      for (const std::string& payload : row.payloads) keys ? Key(payload) : Mouse(payload);
      EXPECT_EQ(Take(), row.expected);
    }
  }
  HeldInput held_;
};

// Buttons take the first byte of their tokens; only one-byte tokens are commands, run in
// order; a move needs both numbers.
TEST_F(FramePayloads, PointerPayloads) {
  Play(false,
       {
           {{"R l d R l u", "R right down R r up", "R m d R m u"},
            {MouseLine(1, 960, 540), MouseLine(2, 960, 540), MouseLine(3, 960, 540),
             MouseLine(4, 960, 540), MouseLine(25, 960, 540, 2), MouseLine(26, 960, 540, 2)}},
           {{"R x d", "R l x", "R l"}, {}},  // no button: the d is no direction either
           // The token after an unknown button is read afresh.
           {{"R x c"}, {MouseLine(1, 960, 540), MouseLine(2, 960, 540)}},
           {{"c m 2 2"}, {MouseLine(1, 960, 540), MouseLine(2, 960, 540), MouseLine(5, 962, 542)}},
           // "b" swallows the "m"; the numbers alone mean nothing.
           {{"mm 1 1 r M x 7 C", "b m 5 5"}, {}},
           {{"m 5 -3"}, {MouseLine(5, 967, 539)}},
           {{"m 3", "m 0 0"}, {}},                  // dy missing
           {{"m 3 "}, {MouseLine(5, 970, 539)}},    // the empty last token reads as 0
           {{"m  5 5"}, {MouseLine(5, 970, 544)}},  // an empty dx, dy 5, a stray 5
           // Tokens are cut to 127 bytes: 126 zeros and "79" read 7; all nines saturate.
           {{"m " + std::string(126, '0') + "79 0"}, {MouseLine(5, 977, 544)}},
           {{"m " + std::string(500, '9') + " 1"}, {MouseLine(5, 1919, 545)}},
       });
}

// A space key, the empty token at the end that is not one, combinations and raw keys.
TEST_F(FramePayloads, KeyPayloads) {
  Play(true, {
                 {{"a  b"},
                  {KeyLine(0, true), KeyLine(0, false), KeyLine(49, true), KeyLine(49, false),
                   KeyLine(11, true), KeyLine(11, false)}},
                 {{" ", "", "a ", "nosuch f1"},
                  {KeyLine(49, true), KeyLine(49, false), KeyLine(0, true), KeyLine(0, false)}},
                 {{"CTRL[+]c"},
                  {KeyLine(59, true), KeyLine(8, true), KeyLine(8, false), KeyLine(59, false)}},
                 // No direction: nothing, the x used up; "[R]" is no key name; an open
                 // prefix at the end is dropped.
                 {{"[R] SHIFT x", "[R] [R] b", "x [R]"},
                  {KeyLine(11, true), KeyLine(11, false), KeyLine(7, true), KeyLine(7, false)}},
                 {{"[R] ALT down [R] ALT up"}, {KeyLine(58, true), KeyLine(58, false)}},
                 // An overlong unknown name is dropped; the u is typed.
                 {{"[R] " + std::string(300, 'x') + " u"}, {KeyLine(32, true), KeyLine(32, false)}},
             });
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

TEST_F(FramePayloads, ButtonsAndRawKeysPressedByFramesAreHeldForTheClient) {
  Mouse("R r d");
  Key("[R] CTRL d");
  Mouse("R m d R m u");
  Take();
  held_.ReleaseAll();
  EXPECT_EQ(Take(), Lines({KeyLine(59, false), MouseLine(4, 960, 540)}));
}

}  // namespace
}  // namespace hovra::testing
