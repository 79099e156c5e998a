// Pointer frames move the compositor's pointer exactly where the simulated desktop's
// pointer goes, on one output and across two; each scroll is one discrete wheel event per
// axis; the outputs are the screens. (Buttons and drags: the shared input cases.)
#include <utility>
#include <vector>

#include "tests/wayland/wayland_fixture.h"

namespace hovra::testing {
namespace {

struct Step {
  int dx;
  int dy;
};

constexpr char kTwoOutputs[] =  // A 640x800 at the left, B 640x600 beside it, 100 lower
    "output HEADLESS-1 resolution 640x800 position 0 0\n"
    "output HEADLESS-2 resolution 640x600 position 640 100\n";

class WaylandPointer : public WaylandFixture {
 protected:
  // A second window, on the second output, to see the pointer there.
  void OpenSecondWindow() {
    ASSERT_TRUE(sway_->Command("focus output HEADLESS-2"));
    second_ = std::make_unique<WaylandClient>(*sway_, "org.hovra.Second");
    ASSERT_TRUE(second_->Ready());
    ASSERT_TRUE(second_->WaitForPointer());
  }

  // Runs each step through the journal's simulated desktop and through the compositor,
  // and checks that the window under the pointer sees it where the simulated one is.
  void ExpectSamePath(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      UseJournal();
      SendMouseMove(step.dx, step.dy);
      platform::Point expected = platform::GetEvents().PointerEventLocation();
      UseWayland();
      SendMouseMove(step.dx, step.dy);
      EXPECT_EQ(events_->PointerEventLocation(), expected);
      bool onSecond = second_ && expected.x >= 640;
      WaylandClient& window = onSecond ? *second_ : *client_;
      double x = onSecond ? expected.x - 640 : expected.x,
             y = onSecond ? expected.y - 100 : expected.y;
      EXPECT_TRUE(window.WaitForPointerAt(x, y)) << "after " << step.dx << "," << step.dy;
    }
  }

  std::unique_ptr<WaylandClient> second_;
};

TEST_F(WaylandPointer, StartsAtTheCentreAndFollowsTheSimulatedPointer) {
  Start(kOneOutput, 1, R"({"screens":[[0,0,1280,800]],"pointer":[640,400]})");
  if (HasFatalFailure() || IsSkipped()) return;
  EXPECT_EQ(events_->ScreenFrames(), (std::vector<platform::Rect>{{0, 0, 1280, 800}}));
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{640, 400}));
  ExpectSamePath({{100, 50}, {-300, 20}, {5000, -3}, {7, -5000}, {-5000, 5000}, {1, -1}});
}

TEST_F(WaylandPointer, MovesCrossAndClampOnTwoOutputs) {
  Start(kTwoOutputs, 2, R"({"screens":[[0,0,640,800],[640,100,640,600]],"pointer":[320,400]})");
  if (HasFatalFailure() || IsSkipped()) return;
  OpenSecondWindow();
  if (HasFatalFailure()) return;
  EXPECT_EQ(events_->ScreenFrames(),
            (std::vector<platform::Rect>{{0, 0, 640, 800}, {640, 100, 640, 600}}));
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{320, 400}));
  // Across to B, clamped at B's right and top edges, then back onto A and down to its bottom.
  ExpectSamePath({{280, 0}, {100, 0}, {5000, 0}, {-10, -5000}, {-700, 300}, {0, 5000}, {50, -10}});
}

TEST_F(WaylandPointer, OutputChangesReachTheScreenFrames) {
  Start(kTwoOutputs, 2, R"({"screens":[[0,0,640,800],[640,100,640,600]]})");
  if (HasFatalFailure() || IsSkipped()) return;
  ASSERT_TRUE(sway_->Command("output HEADLESS-2 position 0 800"));
  std::vector<platform::Rect> below{{0, 0, 640, 800}, {0, -600, 640, 600}};
  auto deadline = std::chrono::steady_clock::now() + 5s;
  while (events_->ScreenFrames() != below && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(events_->ScreenFrames(), below);
}

TEST_F(WaylandPointer, WheelDeltasBecomeOneStepPerUnit) {
  Start();
  if (HasFatalFailure() || IsSkipped()) return;
  Mouse("m 1 1");  // the pointer onto the window first
  Mouse("w 10");   // up 2
  Mouse("w -5");   // down 1
  Mouse("h 10");   // left 2
  Mouse("h -7");   // right 1
  Mouse("w 4");    // below one unit: nothing
  platform::GetEvents().PostScroll({.vertical = -2000000000, .horizontal = 0});  // capped
  using Steps = std::vector<std::pair<unsigned, int>>;
  EXPECT_EQ(
      client_->TakeWheel(5),
      (Steps{{0, -2}, {0, 1}, {1, -2}, {1, 1}, {0, platform::wayland::kMaxWheelClicksPerEvent}}));
}

}  // namespace
}  // namespace hovra::testing
