// The status menu's commands on a Mac: what each item of the menu does, through the
// application delegate and the installed platform services (Apple build only).
//   app::ConnectStatusMenu(macApplication, delegate);   // before start-up
#pragma once

#include "app/app_delegate.h"
#include "platform/macos/mac_application.h"

namespace hovra::app {

// Shows the status item with its menu, and has start-up read the launch-at-login state
// from the Mac's login items.
void ConnectStatusMenu(platform::macos::MacApplication& mac, AppDelegate& delegate);

}  // namespace hovra::app
