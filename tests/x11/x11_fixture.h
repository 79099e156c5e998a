// A private Xvfb, a focused window covering it, and the X11 event services installed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/x11/x11_events.h"
#include "tests/support/desktop/x_client_window.h"
#include "tests/support/desktop/xvfb_display.h"
#include "tests/support/input_cases.h"

namespace hovra::platform {
inline void PrintTo(const Point& point, std::ostream* out) {
  *out << "(" << point.x << ", " << point.y << ")";
}
inline void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "[" << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << "]";
}
}  // namespace hovra::platform

namespace hovra::testing {

class X11Fixture : public InputBackendTest {
 protected:
  // The journal's desktop, matching the X monitors in screen space.
  virtual std::string_view SimJson() const { return kSharedDesktopSim; }
  virtual int DisplayNumber() const { return -1; }  // -1: the first free one
  void SetUp() override {
    xvfb_ = std::make_unique<XvfbDisplay>(XvfbDisplay::kBare, DisplayNumber());
    if (!xvfb_->Running()) GTEST_SKIP() << xvfb_->WhyNot();
    OpenWindow();
    events_ = platform::x11::OpenX11Events(xvfb_->Name().c_str(), std::chrono::milliseconds(0));
    ASSERT_NE(events_, nullptr);
    Install(events_.get(), SimJson());
  }

  void OpenWindow() {
    window_ =
        std::make_unique<XClientWindow>(xvfb_->Name(), XClientWindowSpec{.focusedCover = true});
    ASSERT_TRUE(window_->Open());
  }
  // The window, once the X server has carried out every posted event.
  XClientWindow& Synced() {
    EXPECT_TRUE(events_->Sync());
    return *window_;
  }

  // In this order: the events go first (after their installation), the display last.
  std::unique_ptr<XvfbDisplay> xvfb_;
  std::unique_ptr<XClientWindow> window_;
  std::unique_ptr<platform::x11::X11Events> events_;
};

}  // namespace hovra::testing
