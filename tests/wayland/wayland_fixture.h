// A private headless sway, a test window on it, and the wayland event services installed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/wayland/wayland_events.h"
#include "tests/support/desktop/sway_session.h"
#include "tests/support/input_cases.h"
#include "tests/wayland/wayland_client.h"

namespace hovra::testing {

class WaylandFixture : public InputBackendTest {
 protected:
  void SetUp() override { Start(); }
  // swayConfig: the outputs; simJson: the journal's desktop, the same outputs in screen space.
  void Start(const std::string& swayConfig = kOneOutput, int outputs = 1,
             std::string_view simJson = kSharedDesktopSim) {
    if (std::string why = SwaySession::Unavailable(); !why.empty()) GTEST_SKIP() << why;
    sway_ = std::make_unique<SwaySession>(swayConfig, outputs);
    ASSERT_TRUE(sway_->Running()) << sway_->Log();
    client_ = std::make_unique<WaylandClient>(*sway_, "org.hovra.Test");
    ASSERT_TRUE(client_->Ready()) << sway_->Log();
    events_ = platform::wayland::OpenWaylandEvents(sway_->Display(), std::chrono::milliseconds(0));
    ASSERT_NE(events_, nullptr) << sway_->Log();
    // The seat gains its pointer with the backend's: wait until the window can see it.
    ASSERT_TRUE(client_->WaitForLine("pointer-ready")) << sway_->Log();
    ASSERT_TRUE(client_->WaitForLine("keyboard-enter")) << sway_->Log();
    Install(events_.get(), simJson);
  }

  // In this order: the events go first (after their installation), the compositor last.
  std::unique_ptr<SwaySession> sway_;
  std::unique_ptr<WaylandClient> client_;
  std::unique_ptr<platform::wayland::WaylandEvents> events_;
};

}  // namespace hovra::testing
