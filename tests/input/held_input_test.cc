#include "input/held_input.h"

#include "tests/input/input_fixture.h"

namespace hovra::testing {
namespace {

class Held : public InputTest {
 protected:
  Lines Release(HeldInput& held) {
    Take();
    held.ReleaseAll();
    return Take();
  }
  HeldInput client_;
  HeldInput other_;
};

TEST_F(Held, ReleasesWhatIsStillHeldMostRecentFirstAndOnlyOnce) {
  client_.RawKey(56, false);
  client_.RawKey(56, true);
  client_.MouseButton(kMouseRight, false);
  client_.MouseButton(kMouseRight, true);
  client_.DragStart();
  client_.DragEnd();
  client_.RawKey(kNoKey, false);
  client_.MouseButton(static_cast<MouseKey_>(5), false);
  EXPECT_TRUE(Release(client_).empty()) << "nothing held, nothing released";

  client_.RawKey(56, false);
  client_.MouseButton(kMouseRight, false);
  client_.RawKey(59, false);
  client_.RawKey(56, false);  // pressed again: still released once, in its first place
  EXPECT_EQ(Release(client_),
            Lines({KeyLine(59, false), MouseLine(4, 960, 540), KeyLine(56, false)}));
  EXPECT_TRUE(Release(client_).empty());

  g_fakeTick += 1000;  // the left press below is no double-click
  client_.RawKey(56, false);
  client_.RawKey(59, false);
  client_.RawKey(56, true);
  client_.MouseButton(kMouseMiddle, false);
  client_.MouseButton(kMouseLeft, false);
  client_.MouseButton(kMouseMiddle, true);
  EXPECT_EQ(Release(client_), Lines({MouseLine(2, 960, 540), KeyLine(59, false)}));
  // Keys, the switcher and buttons unwind in one order.
  client_.RawKey(56, false);
  client_.SlideRight();
  client_.MouseButton(kMouseRight, false);
  EXPECT_EQ(Release(client_), Lines({MouseLine(4, 960, 540), kEnd, KeyLine(56, false)}));
}

TEST_F(Held, ButtonsAndDragsAreReleasedWhereThePointerIsNow) {
  client_.MouseButton(kMouseMiddle, false);
  SendMouseMove(10, 10);
  EXPECT_EQ(Release(client_), Lines({MouseLine(26, 970, 550, 2)}));
  client_.DragStart();
  DragMove(20, -20);
  SendMouseMove(5, 0);
  EXPECT_EQ(Release(client_), Lines({MouseLine(2, 995, 530)}));
  EXPECT_EQ(platform_->Desktop().PressedButtons() & 1u, 0u);
  // Drag end and raw releases let go of the same left button.
  client_.MouseButton(kMouseLeft, false);
  client_.DragEnd();
  client_.DragStart();
  client_.MouseButton(kMouseLeft, true);
  EXPECT_TRUE(Release(client_).empty());
}

TEST_F(Held, OnlyTheSwitcherThisClientStillHoldsIsClosed) {
  client_.SlideLeft();
  client_.SlideLeft();  // a step inside, still the same switch
  EXPECT_EQ(Release(client_), Lines({kEnd}));
  EXPECT_FALSE(IsSwitchingWindows());
  client_.SlideRight();
  client_.SlideEnd();
  client_.SlideRight();
  client_.SlideUp();
  EXPECT_TRUE(Release(client_).empty());
  client_.SlideRight();
  client_.SlideBegin();
  client_.SlideEnd();  // the switch is forgotten: this does nothing, Command stays down
  EXPECT_EQ(Release(client_), Lines({kEnd}));
  // Ended or restarted by another client: not this client's to close.
  client_.SlideLeft();
  other_.SlideEnd();
  EXPECT_TRUE(Release(client_).empty());
  client_.SlideLeft();
  client_.SlideBegin();
  other_.SlideRight();  // presses Command again: now the other client's switch
  EXPECT_TRUE(Release(client_).empty());
  EXPECT_EQ(Release(other_), Lines({kEnd}));
}

}  // namespace
}  // namespace hovra::testing
