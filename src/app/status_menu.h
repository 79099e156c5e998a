// The status menu: its titles, order, separators and submenus, and what each item does.
// The application's own decisions (the toggle, the update check, quitting) come in as
// actions; windows open through the user interface and links through the workspace.
//   platform::StatusMenu menu = MakeStatusMenu({.onAutoRun = ..., .isAutoRun = ..., ...});
#pragma once

#include <functional>
#include <string>

#include "platform/shell_bindings.h"

namespace hovra::app {

inline constexpr const char* kStatusToolTip = "Hovra Server";

struct StatusMenuActions {
  std::function<void()> onAutoRun;        // "Auto Start": the launch-at-login toggle
  std::function<bool()> isAutoRun;        // its check mark, asked as the menu opens
  std::function<void()> downloadVersion;  // "Check update": a check the user asked for
  std::function<void()> onExit;           // "Quit": through the quit decision
};

platform::StatusMenu MakeStatusMenu(StatusMenuActions actions);

// A new message to the support address with the support subject, for the mail client.
std::string SupportMailUrl();

}  // namespace hovra::app
