#include "app/shell_commands.h"

#include <cstdio>

#include "app/address_list.h"
#include "app/password.h"
#include "app/update_check.h"
#include "base/log.h"
#include "platform/services.h"

namespace hovra::app {
namespace {

int Usage(const char* text) {
  std::fprintf(stderr, "usage: hovra-server %s\n", text);
  return kExitUsage;
}

void PrintPinState() {
  int64_t pin = platform::GetSettings().GetInteger(kPasswordKey);
  if (pin != 0) {
    PrintLine("PIN: %lld", static_cast<long long>(pin));
  } else {
    PrintLine("PIN: none drawn yet");
  }
  PrintLine("Password protection: %s", isPasswordProtection() ? "on" : "off");
}

}  // namespace

bool IsShellCommand(std::string_view word) {
  return word == "password" || word == "autostart" || word == "check-update" || word == "addresses";
}

int RunPasswordCommand(std::string_view action) {
  if (action != "on" && action != "off" && action != "show") return Usage("password on|off|show");
  if (action != "show") {
    PasswordChange change = SetPasswordProtection(action == "on");
    if (!change.saved) {
      // Nothing is claimed that did not happen: the state on disk is what it was.
      PrintLine("Password protection could not be turned %s: %s.", std::string(action).c_str(),
                change.error.c_str());
      return kExitFailed;
    }
  }
  bool saved = platform::GetSettings().Synchronize();
  PrintPinState();
  if (!saved) {
    PrintLine("These settings hold for this run only: %s.",
              platform::GetSettings().LastWriteError().c_str());
  }
  return saved ? kExitOk : kExitFailed;
}

int RunAutostartCommand(std::string_view action, LoginItems& items) {
  if (action != "on" && action != "off" && action != "status") {
    return Usage("autostart on|off|status");
  }
  bool wanted = action == "on";
  // "off" removes every entry of the server, one toggle each, so that it really is off.
  constexpr int kMostEntries = 16;  // bounds the work when an entry cannot be removed
  for (int n = 0; action != "status" && items.isAutoRun() != wanted && n < kMostEntries; ++n) {
    if (!items.setLaunchOnLogin() || !items.LastError().empty()) break;
    if (wanted) break;
  }
  bool on = items.isAutoRun();
  if (action != "status" && on != wanted) {
    std::string why = items.LastError().empty() ? "the change did not take" : items.LastError();
    PrintLine("Auto Start could not be turned %s: %s.", std::string(action).c_str(), why.c_str());
    return kExitFailed;
  }
  PrintLine("Auto Start: %s", on ? "on" : "off");
  return kExitOk;
}

int RunCheckUpdateCommand(const ShellCommandOptions& options) {
  std::string url = options.updateUrl.empty() ? kUpdateEndpointUrl : options.updateUrl;
  std::string version =
      options.runningVersion.empty() ? platform::GetHost().AppVersion() : options.runningVersion;
  UpdateChecker checker(url, version, options.httpLimits);
  UpdateCheckResult result = checker.CheckNow(true);
  switch (result.outcome) {
    case UpdateOutcome::kNewer:
      PrintLine("%s", UpdateMessage(result.version).c_str());
      PrintLine("%s", kInstallerPackageUrl);
      return kExitOk;
    case UpdateOutcome::kNotNewer:
      PrintLine("%s", kNoNewVersionText);
      return kExitOk;
    case UpdateOutcome::kNotConfigured:
      PrintLine("%s", kNoUpdateAddressText);
      return kExitFailed;
    case UpdateOutcome::kFailed:
      break;
  }
  PrintLine("The update check failed: %s", result.error.c_str());
  return kExitFailed;
}

int RunAddressesCommand() {
  std::string list = getIPAddrStr();
  if (!list.empty() && list.back() == '\n') list.pop_back();
  PrintLine("%s", list.c_str());
  return kExitOk;
}

int RunShellCommand(std::span<const std::string> words, const ShellCommandOptions& options) {
  if (words.empty()) return Usage("password|autostart|check-update|addresses ...");
  const std::string& name = words[0];
  std::string_view argument = words.size() > 1 ? std::string_view(words[1]) : std::string_view();
  size_t expected = name == "password" || name == "autostart" ? 2 : 1;
  if (!IsShellCommand(name) || words.size() != expected) {
    return Usage("password on|off|show | autostart on|off|status | check-update | addresses");
  }
  if (name == "password") return RunPasswordCommand(argument);
  if (name == "autostart") {
    LoginItems items = LoginItems::ForCurrentUser();
    return RunAutostartCommand(argument, items);
  }
  if (name == "check-update") return RunCheckUpdateCommand(options);
  return RunAddressesCommand();
}

}  // namespace hovra::app
