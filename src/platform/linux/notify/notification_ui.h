// The user interface of a headless host on a Linux desktop: everything the headless
// interface does (log lines on standard error, notices in the journal), and the notices also
// as desktop notifications.
#pragma once

#include "platform/linux/notify/desktop_notifier.h"
#include "platform/user_interface.h"

namespace hovra::platform::linux_desktop {

class NotificationUi : public UserInterface {
 public:
  NotificationUi(UserInterface& headless, DesktopNotifier& notifier)
      : headless_(headless), notifier_(notifier) {}

  void ShowNotificationPanel(std::string_view message, std::string_view url) override {
    headless_.ShowNotificationPanel(message, url);
    notifier_.Show(message, url);
  }
  void CloseNotificationPanel() override {
    headless_.CloseNotificationPanel();
    notifier_.Close();
  }
  bool IsNotificationPanelVisible() override {
    return notifier_.Visible() || headless_.IsNotificationPanelVisible();
  }
  void ShowMessage(std::string_view text) override { headless_.ShowMessage(text); }
  int RunAlert(std::string_view message, std::string_view informative,
               const std::vector<std::string_view>& buttons) override {
    return headless_.RunAlert(message, informative, buttons);
  }
  void SetAutoStartMark(bool on) override { headless_.SetAutoStartMark(on); }

 private:
  UserInterface& headless_;
  DesktopNotifier& notifier_;
};

}  // namespace hovra::platform::linux_desktop
