// Shared set-up of the wayland backend tests: a private headless sway, a test application
// window covering its output, the wayland event services installed in place of the
// journal's (which stay at hand to compute where the simulated pointer would be), and the
// core's frame readers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "input/held_input.h"
#include "input/key_names.h"
#include "input/keystrokes.h"
#include "input/pointer.h"
#include "input/wheel.h"
#include "platform/services.h"
#include "platform/wayland/wayland_events.h"
#include "server/frame_payloads.h"
#include "tests/support/test_platform.h"
#include "tests/wayland/sway_session.h"
#include "tests/wayland/wayland_client.h"

namespace hovra::testing {

inline constexpr char kOneOutput[] = "output HEADLESS-1 resolution 1280x800 position 0 0\n";

class WaylandFixture : public ::testing::Test {
 protected:
  // swayConfig: the outputs; simJson: the journal's desktop, the same outputs in screen space.
  void Start(const std::string& swayConfig = kOneOutput, int outputs = 1,
             std::string_view simJson = R"({"screens":[[0,0,1280,800]]})") {
    if (std::string why = SwaySession::Unavailable(); !why.empty()) GTEST_SKIP() << why;
    sway_ = std::make_unique<SwaySession>(swayConfig, outputs);
    ASSERT_TRUE(sway_->Running()) << sway_->Log();
    client_ = std::make_unique<WaylandClient>(*sway_, "org.hovra.Test");
    ASSERT_TRUE(client_->Ready()) << sway_->Log();
    events_ = platform::wayland::OpenWaylandEvents(sway_->Display(), std::chrono::milliseconds(0));
    ASSERT_NE(events_, nullptr) << sway_->Log();
    // The seat gains its pointer with the backend's: wait until the window can see it.
    ASSERT_TRUE(client_->WaitForPointer()) << sway_->Log();
    platform_ = std::make_unique<TestPlatform>(simJson);
    journalEvents_ = platform::Current().events;
    UseWayland();
    FillKeyNameMaps();
    ResetClickAndDragState();
    ResetWheelState();
  }

  void TearDown() override {
    platform_.reset();
    events_.reset();  // before its compositor goes
    client_.reset();
    sway_.reset();
  }

  void UseWayland() { Use(events_.get()); }
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

  std::unique_ptr<platform::wayland::WaylandEvents> events_;  // outlives its installation below
  std::unique_ptr<SwaySession> sway_;
  std::unique_ptr<WaylandClient> client_;
  std::unique_ptr<TestPlatform> platform_;
  platform::EventServices* journalEvents_ = nullptr;
  HeldInput held_;
};

}  // namespace hovra::testing
