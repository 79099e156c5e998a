// Pointer frames move the X pointer exactly where the simulated desktop's pointer goes,
// on one screen and across monitors defined with xrandr; buttons and the wheel reach the
// window under the pointer as the right button events.
#include <utility>
#include <vector>

#include "tests/x11/x11_fixture.h"

namespace hovra::testing {
namespace {

struct Step {
  int dx;
  int dy;
};

class X11Pointer : public X11Fixture {
 protected:
  // Sets monitors with xrandr ("*" before a name makes it primary); the first replaces
  // the screen's own monitor by taking its output.
  void SetMonitors(const std::vector<std::pair<std::string, std::string>>& monitors) {
    for (size_t i = 0; i < monitors.size(); ++i) {
      ASSERT_TRUE(xvfb_->Run("xrandr", {"--setmonitor", monitors[i].first, monitors[i].second,
                                        i == 0 ? "screen" : "none"}));
    }
  }

  // Runs each step through the journal's simulated desktop and through X, and checks that
  // the X pointer ends where the simulated one is (event space, shifted by the primary
  // monitor's root position).
  void ExpectSamePath(const std::vector<Step>& steps, int primaryX, int primaryY) {
    for (const Step& step : steps) {
      UseJournal();
      SendMouseMove(step.dx, step.dy);
      platform::Point expected = platform::GetEvents().PointerEventLocation();
      UseX11();
      SendMouseMove(step.dx, step.dy);
      ASSERT_TRUE(events_->Sync());
      int x = 0, y = 0;
      window_->Pointer(&x, &y);
      EXPECT_EQ(x, static_cast<int>(expected.x) + primaryX)
          << "after " << step.dx << "," << step.dy;
      EXPECT_EQ(y, static_cast<int>(expected.y) + primaryY)
          << "after " << step.dx << "," << step.dy;
      EXPECT_EQ(events_->PointerEventLocation(), expected);
    }
  }
};

TEST_F(X11Pointer, MovesFollowTheSimulatedPointerOnOneScreen) {
  Start(R"({"screens":[[0,0,1280,800]],"pointer":[640,400]})");
  if (HasFatalFailure() || IsSkipped()) return;
  window_->WarpPointer(640, 400);
  EXPECT_EQ(events_->ScreenFrames(), (std::vector<platform::Rect>{{0, 0, 1280, 800}}));
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{640, 400}));
  ExpectSamePath({{100, 50}, {-300, 20}, {5000, -3}, {7, -5000}, {-5000, 5000}, {1, -1}}, 0, 0);
}

TEST_F(X11Pointer, MovesCrossAndClampOnTwoMonitors) {
  // A (primary) 640x800 at the left, B 640x600 beside it, 100 pixels lower.
  Start(R"({"screens":[[0,0,640,800],[640,100,640,600]],"pointer":[600,400]})");
  if (HasFatalFailure() || IsSkipped()) return;
  SetMonitors({{"*A", "640/160x800/200+0+0"}, {"B", "640/160x600/150+640+100"}});
  window_->WarpPointer(600, 400);
  EXPECT_EQ(events_->ScreenFrames(),
            (std::vector<platform::Rect>{{0, 0, 640, 800}, {640, 100, 640, 600}}));
  // Across to B, clamped at B's right and top edges, then back onto A and down to its bottom.
  ExpectSamePath({{100, 0}, {5000, 0}, {-10, -5000}, {-700, 300}, {0, 5000}, {50, -10}}, 0, 0);
}

TEST_F(X11Pointer, EventSpaceStartsAtThePrimaryMonitorWhereverItIs) {
  // B, the primary, lies right of and below A's top: event space is shifted by (640, 100).
  Start(R"({"screens":[[0,0,640,600],[-640,-100,640,800]],"pointer":[100,300]})");
  if (HasFatalFailure() || IsSkipped()) return;
  SetMonitors({{"*B", "640/160x600/150+640+100"}, {"A", "640/160x800/200+0+0"}});
  window_->WarpPointer(740, 400);
  EXPECT_EQ(events_->ScreenFrames(),
            (std::vector<platform::Rect>{{0, 0, 640, 600}, {-640, -100, 640, 800}}));
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{100, 300}));
  ExpectSamePath({{-200, 0}, {-5000, 0}, {0, -5000}, {300, 40}, {10, 5000}}, 640, 100);
}

TEST_F(X11Pointer, ButtonsReachTheWindowUnderThePointer) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  window_->WarpPointer(200, 300);
  Mouse("c");
  Mouse("R r d R r u");
  Mouse("R m d R m u");
  Mouse("R l d");
  EXPECT_EQ(events_->PressedMouseButtons(), 1u);  // the left button, as the server has it
  Mouse("m 10 -20");                              // dragged
  Mouse("R l u");
  EXPECT_EQ(events_->PressedMouseButtons(), 0u);
  EXPECT_EQ(Buttons(), (std::vector<ButtonRecord>{{1, true, 200, 300},
                                                  {1, false, 200, 300},
                                                  {3, true, 200, 300},
                                                  {3, false, 200, 300},
                                                  {2, true, 200, 300},
                                                  {2, false, 200, 300},
                                                  {1, true, 200, 300},
                                                  {1, false, 210, 280}}));
}

TEST_F(X11Pointer, WheelDeltasBecomeOneClickPerUnit) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  window_->WarpPointer(50, 60);
  Mouse("w 10");  // up 2
  Mouse("w -5");  // down 1
  Mouse("h 10");  // left 2
  Mouse("h -7");  // right 1
  Mouse("w 4");   // below one unit: nothing
  std::vector<unsigned> presses;
  for (const ButtonRecord& record : Buttons()) {
    if (record.press) presses.push_back(record.button);
  }
  EXPECT_EQ(presses, (std::vector<unsigned>{4, 4, 5, 6, 6, 7}));
}

TEST_F(X11Pointer, AHugeWheelDeltaIsCapped) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  platform::GetEvents().PostScroll({.vertical = -2000000000, .horizontal = 0});
  std::vector<ButtonRecord> records = Buttons();
  EXPECT_EQ(records.size(), 2u * platform::x11::kMaxWheelClicksPerEvent);
  EXPECT_EQ(records.front(), (ButtonRecord{5, true, 640, 400}));
}

}  // namespace
}  // namespace hovra::testing
