// A display that goes away and comes back.
#include <unistd.h>

#include <string>

#include "tests/x11/x11_fixture.h"

namespace hovra::testing {
namespace {

class X11Connection : public X11Fixture {
 protected:
  std::string_view SimJson() const override {
    return R"({"screens":[[0,0,1280,800]],"pointer":[300,500]})";
  }
  // Far above the numbers other displays take first, so none takes it while it is down.
  int DisplayNumber() const override { return 200 + ::getpid() % 800; }
  // Ends the display (the window's connection first: it would not survive the loss).
  int StopDisplay() {
    window_.reset();
    int number = xvfb_->Number();
    xvfb_->Stop();
    return number;
  }
  void RestartDisplay(int number) {
    xvfb_ = std::make_unique<XvfbDisplay>(XvfbDisplay::kBare, number);
    ASSERT_TRUE(xvfb_->Running());
    OpenWindow();
  }
};

TEST_F(X11Connection, ALostDisplayDropsEventsAndIsReopenedWhenBack) {
  window_->WarpPointer(300, 300);
  Key("a");
  EXPECT_EQ(Synced().TakeText(), U"a");
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{300, 500}));
  int number = StopDisplay();

  ::testing::internal::CaptureStderr();
  Key("[R] SHIFT d");
  Key("b");
  Type("é中");
  Mouse("m 5 5 c w 10");
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{300, 500}));  // the last known, unmoved
  EXPECT_EQ(events_->ScreenFrames(), (std::vector<platform::Rect>{{0, 0, 1280, 800}}));
  EXPECT_FALSE(events_->Sync());
  EXPECT_EQ(platform::x11::OpenX11Events(xvfb_->Name().c_str()), nullptr);
  const std::string whileDown = ::testing::internal::GetCapturedStderr(),
                    lost = "lost the connection to X display";
  EXPECT_NE(whileDown.find(lost), std::string::npos) << whileDown;
  EXPECT_EQ(whileDown.find(lost), whileDown.rfind(lost)) << "said once";

  ASSERT_NO_FATAL_FAILURE(RestartDisplay(number));
  ::testing::internal::CaptureStderr();
  Key("b");  // the Shift held before the loss went with the old server
  Type("é中");
  EXPECT_EQ(Synced().TakeText(), U"bé中");
  const std::string back = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(back.find("is back"), std::string::npos) << back;
  EXPECT_EQ(back.find("is back"), back.rfind("is back")) << "said once";
}

TEST_F(X11Connection, NoReconnectAttemptBeforeTheRetryIsDue) {
  events_ = platform::x11::OpenX11Events(xvfb_->Name().c_str(), std::chrono::hours(1));
  ASSERT_NE(events_, nullptr);
  Use(events_.get());
  int number = StopDisplay();
  Key("a");  // notices the loss
  ASSERT_NO_FATAL_FAILURE(RestartDisplay(number));
  Key("b");
  Type("c");
  EXPECT_FALSE(events_->Sync());  // still waiting for its next attempt
  EXPECT_EQ(window_->TakeText(), U"");
}

}  // namespace
}  // namespace hovra::testing
