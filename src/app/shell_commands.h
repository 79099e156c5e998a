// The status menu's functions as subcommands of `hovra-server`, for a headless host:
//   password on|off|show, autostart on|off|status, check-update, addresses.
// Each prints its result on standard output and returns the process exit code (0 done,
// 1 failed, 2 misused). They use the installed platform services: the settings store
// (password), the host (addresses) and the user interface (the "Auto Start" mark).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/http_get.h"
#include "app/login_items.h"

namespace hovra::app {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

inline constexpr const char* kNoUpdateAddressText =
    "No update address is configured (give one with --update-url URL, or build with "
    "-DHOVRA_UPDATE_URL=URL); installed packages are updated by the system.";

struct ShellCommandOptions {
  std::string updateUrl;       // empty: the build's update address (kUpdateEndpointUrl)
  std::string runningVersion;  // empty: platform::GetHost().AppVersion()
  HttpLimits httpLimits;
};

bool IsShellCommand(std::string_view word);
// `words` starts with the subcommand's name. Autostart uses the current user's folder.
int RunShellCommand(std::span<const std::string> words, const ShellCommandOptions& options);

int RunPasswordCommand(std::string_view action);
int RunAutostartCommand(std::string_view action, LoginItems& items);
int RunCheckUpdateCommand(const ShellCommandOptions& options);
int RunAddressesCommand();

}  // namespace hovra::app
