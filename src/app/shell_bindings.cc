#include "app/shell_bindings.h"

#include <utility>

#include "app/password.h"
#include "base/log.h"
#include "platform/services.h"

namespace hovra::app {

platform::PasswordState ReadPasswordState() {
  platform::PasswordState state;
  state.protection = isPasswordProtection();
  state.pin = platform::GetSettings().GetInteger(kPasswordKey);
  return state;
}

platform::PasswordState SwitchPasswordProtection(bool on) {
  // The window shows the state read back, so a change that did not reach the file shows
  // as not made; the operator learns why from the log.
  PasswordChange change = SetPasswordProtection(on);
  if (!change.saved) Log("password protection not changed: %s", change.error.c_str());
  return ReadPasswordState();
}

platform::ShellBindings BindShell(ShellSources sources) {
  platform::ShellBindings bindings;
  bindings.menu = MakeStatusMenu(std::move(sources.menu));
  bindings.about = {kProductName, platform::GetHost().AppVersion(), kProductDescription,
                    kProductLicence};
  bindings.connectionFacts = [sources = std::move(sources)] {
    platform::ConnectionFacts facts;
    if (sources.addressList) facts.addressList = sources.addressList();
    if (sources.port) facts.port = sources.port();
    platform::PasswordState password = ReadPasswordState();
    facts.pinProtection = password.protection;
    facts.pin = password.pin;
    facts.inputBackend = sources.inputBackend;
    facts.desktopBackend = sources.desktopBackend;
    if (sources.connectedPhones) facts.connectedPhones = sources.connectedPhones();
    return facts;
  };
  bindings.passwordState = &ReadPasswordState;
  bindings.setPasswordProtection = &SwitchPasswordProtection;
  return bindings;
}

}  // namespace hovra::app
