// The user interface of a headless host: log lines on standard error, notices in the journal.
#pragma once

#include <atomic>

#include "platform/journal/journal_writer.h"
#include "platform/user_interface.h"

namespace hovra::platform::journal {

class HeadlessUi : public UserInterface {
 public:
  explicit HeadlessUi(JournalWriter& journal) : journal_(journal) {}

  void ShowNotificationPanel(std::string_view message, std::string_view url) override;
  void CloseNotificationPanel() override { panelVisible_ = false; }
  bool IsNotificationPanelVisible() override { return panelVisible_; }
  void ShowMessage(std::string_view text) override;
  // Nobody can answer: the alert is printed and its last button (the safe one) taken.
  int RunAlert(std::string_view message, std::string_view informative,
               const std::vector<std::string_view>& buttons) override;
  void SetAutoStartMark(bool) override {}

 private:
  JournalWriter& journal_;
  std::atomic<bool> panelVisible_{false};
};

}  // namespace hovra::platform::journal
