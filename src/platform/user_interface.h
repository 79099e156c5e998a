// The user-facing shell: notification panel, windows and alerts. A headless host logs
// lines to standard error and records notices in the journal.
#pragma once

#include <string_view>
#include <vector>

#include "platform/shell_bindings.h"

namespace hovra::platform {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // The panel under the menu bar with a short message and an optional link.
  virtual void ShowNotificationPanel(std::string_view message, std::string_view url) = 0;
  virtual void CloseNotificationPanel() = 0;
  virtual bool IsNotificationPanelVisible() = 0;
  // A plain informational message (the no-new-version window, the PIN ...).
  virtual void ShowMessage(std::string_view text) = 0;
  // A modal alert; returns 1000 for the first button, 1001 for the second, and so on.
  virtual int RunAlert(std::string_view message, std::string_view informative,
                       const std::vector<std::string_view>& buttons) = 0;
  // The check mark of "Auto Start".
  virtual void SetAutoStartMark(bool on) = 0;

  // A user interface with a face shows the status icon and its menu from here on; a
  // headless one has nothing to show.
  virtual void AttachShell(ShellBindings) {}
  virtual void ShowAboutWindow() {}
  virtual void ShowAddressWindow() {}
  virtual void ShowPasswordWindow() {}
};

}  // namespace hovra::platform
