// Shared set-up of the X11 backend tests: a private Xvfb, a focused window covering it,
// the X11 event services installed in place of the journal's (which stay at hand to
// compute where the simulated pointer would be), and the core's frame readers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "input/held_input.h"
#include "input/key_names.h"
#include "input/keystrokes.h"
#include "input/pointer.h"
#include "input/wheel.h"
#include "platform/services.h"
#include "platform/x11/x11_events.h"
#include "server/frame_payloads.h"
#include "tests/support/test_platform.h"
#include "tests/x11/test_window.h"
#include "tests/x11/xvfb_display.h"

namespace hovra::platform {
inline void PrintTo(const Point& point, std::ostream* out) {
  *out << "(" << point.x << ", " << point.y << ")";
}
inline void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "[" << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << "]";
}
}  // namespace hovra::platform

namespace hovra::testing {

class X11Fixture : public ::testing::Test {
 protected:
  // simJson: the journal's desktop, matching the X monitors in screen space.
  void Start(std::string_view simJson = R"({"screens":[[0,0,1280,800]]})") {
    if (!XvfbDisplay::Available()) GTEST_SKIP() << "Xvfb is not installed";
    xvfb_ = std::make_unique<XvfbDisplay>();
    ASSERT_TRUE(xvfb_->Running());
    window_ = std::make_unique<TestWindow>(xvfb_->Name());
    ASSERT_TRUE(window_->Open());
    OpenEvents();
    platform_ = std::make_unique<TestPlatform>(simJson);
    journalEvents_ = platform::Current().events;
    UseX11();
    FillKeyNameMaps();
    ResetClickAndDragState();
    ResetWheelState();
  }

  void OpenEvents() {
    events_ = platform::x11::OpenX11Events(xvfb_->Name().c_str(), std::chrono::milliseconds(0));
    ASSERT_NE(events_, nullptr);
  }

  void TearDown() override {
    platform_.reset();
    events_.reset();  // before its display goes
    window_.reset();
    xvfb_.reset();
  }

  void UseX11() { Use(events_.get()); }
  void UseJournal() { Use(journalEvents_); }
  void Use(platform::EventServices* events) {
    platform::Services services = platform::Current();
    services.events = events;
    platform::Install(services);
  }

  void Key(std::string_view payload) {
    ReadKeyPayload(payload.data(), static_cast<int>(payload.size()), held_);
  }
  void Mouse(std::string_view payload) {
    ReadMousePayload(payload.data(), static_cast<int>(payload.size()), held_);
    CommitMouseWheel();  // as the receive path does after each read
  }
  void Type(const char8_t* text) { HandleUtf8String(reinterpret_cast<const unsigned char*>(text)); }

  // What the window has received once the X server has carried out every posted event.
  std::u32string Typed() {
    EXPECT_TRUE(events_->Sync());
    return window_->TakeText();
  }
  std::vector<ButtonRecord> Buttons() {
    EXPECT_TRUE(events_->Sync());
    return window_->TakeButtons();
  }
  bool SetLayout(const std::string& layout) { return xvfb_->Run("setxkbmap", {layout}); }

  std::unique_ptr<platform::x11::X11Events> events_;  // outlives its installation below
  std::unique_ptr<XvfbDisplay> xvfb_;
  std::unique_ptr<TestWindow> window_;
  std::unique_ptr<TestPlatform> platform_;
  platform::EventServices* journalEvents_ = nullptr;
  HeldInput held_;
};

}  // namespace hovra::testing
