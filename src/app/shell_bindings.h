// Everything a user interface with a face gets from the application: the status menu, the
// About text, the address window's facts and the password window's calls. The sources are
// the running server's and the start-up's; the rest (settings, host) is read here.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/status_menu.h"
#include "platform/shell_bindings.h"

namespace hovra::app {

inline constexpr const char* kProductName = "Hovra Server";
inline constexpr const char* kProductDescription =
    "Turns a phone or tablet on the same network into the mouse, keyboard and remote "
    "control of this computer.";
inline constexpr const char* kProductLicence =
    "Released under the MIT licence. This program comes with no warranty.";

struct ShellSources {
  StatusMenuActions menu;
  std::function<std::string()> addressList;  // the list taken at start
  std::function<unsigned()> port;
  std::function<std::vector<std::string>()> connectedPhones;
  std::string inputBackend;
  std::string desktopBackend;
};

platform::ShellBindings BindShell(ShellSources sources);

// The password window's state and its check box, the same calls as `password show|on|off`.
platform::PasswordState ReadPasswordState();
platform::PasswordState SwitchPasswordProtection(bool on);

}  // namespace hovra::app
