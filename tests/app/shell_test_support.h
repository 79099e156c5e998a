// Shell-test helpers: services swapped for the test's, and a recording user interface.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "platform/services.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {

class ScopedServices {
 public:
  template <class Service>
  explicit ScopedServices(Service* service) {
    platform::Services next = platform::Current();
    if constexpr (std::is_base_of_v<platform::UserInterface, Service>)
      next.ui = service;
    else
      next.settings = service;
    previous_ = platform::Install(next);
  }
  ~ScopedServices() { platform::Install(previous_); }
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  platform::Services previous_;
};

// A user interface that records alerts and panels, and answers alerts from a script.
struct RecordingUi : platform::UserInterface {
  struct Alert {
    std::string message;
    std::string informative;
    std::vector<std::string> buttons;
  };
  void ShowNotificationPanel(std::string_view message, std::string_view url) override {
    panels.push_back(std::string(message) + " | " + std::string(url));
  }
  void CloseNotificationPanel() override {}
  bool IsNotificationPanelVisible() override { return false; }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  int RunAlert(std::string_view message, std::string_view informative,
               const std::vector<std::string_view>& buttons) override {
    alerts.push_back({std::string(message), std::string(informative),
                      std::vector<std::string>(buttons.begin(), buttons.end())});
    return answer;
  }
  void SetAutoStartMark(bool on) override { marks.push_back(on); }

  int answer = 1000;
  std::vector<Alert> alerts;
  std::vector<std::string> messages, panels;
  std::vector<bool> marks;
};

struct UiTest : ::testing::Test {
  TestPlatform platform_;
  RecordingUi ui_;
  ScopedServices ui_scope_{&ui_};
  TempDir temp_;
};

}  // namespace hovra::testing
