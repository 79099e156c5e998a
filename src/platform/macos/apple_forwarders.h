// The Apple build's forwarders: each object passes its calls straight to the Apple
// function or method of the same name. Built only on Apple platforms.
#pragma once

#include <string>

#include "platform/macos/login_items.h"
#include "platform/macos/mac_host.h"
#include "platform/macos/mac_main_loop.h"
#include "platform/macos/mac_ui.h"
#include "platform/macos/quartz_calls.h"
#include "platform/macos/workspace_calls.h"

namespace hovra::platform::macos {

QuartzCalls& AppleQuartz();
TrustCalls& AppleTrust();
WorkspaceCalls& AppleWorkspace();
LoginServiceCalls& AppleLoginService();
DispatchCalls& AppleDispatch();
StatusUiCalls& AppleStatusUi();
HostCalls& AppleHost();

// NSApplication set up for a menu-bar program (no Dock icon, no menu bar of its own).
void PrepareApplication();
// The main bundle's path (where the program runs from).
std::string MainBundlePath();

}  // namespace hovra::platform::macos
