// A user interface that only remembers what it was asked to show.
#pragma once

#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace hovra::testing {

class RecordingUi : public platform::UserInterface {
 public:
  void ShowNotificationPanel(std::string_view message, std::string_view url) override {
    panels.push_back(std::string(message) + " | " + std::string(url));
  }
  void CloseNotificationPanel() override {}
  bool IsNotificationPanelVisible() override { return !panels.empty(); }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  int RunAlert(std::string_view, std::string_view, const std::vector<std::string_view>&) override {
    return 1000;
  }
  void SetAutoStartMark(bool on) override { marks.push_back(on); }

  std::vector<std::string> panels;
  std::vector<std::string> messages;
  std::vector<bool> marks;
};

}  // namespace hovra::testing
