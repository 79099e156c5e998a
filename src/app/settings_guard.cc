#include "app/settings_guard.h"

#include "app/password.h"
#include "base/log.h"
#include "server/security/security_notices.h"

namespace hovra::app {

using platform::posix::SettingsGuard;
using platform::posix::SettingsRecovery;

std::string RecoveryText(const SettingsRecovery& recovery, bool forNotice) {
  int64_t pin = recovery.freshValues.value(kPasswordKey, int64_t{0});
  std::string protection =
      pin != 0 ? "Password protection is on with the new PIN " + std::to_string(pin)
               : "Password protection is on, but no PIN could be drawn: no client can connect "
                 "until `hovra-server password on` succeeds";
  if (forNotice) {
    std::string text = "The settings could not be read. " + protection + ".";
    if (!recovery.keptAs.empty())
      text += " The old file is kept as " + recovery.keptAs.string() + ".";
    return text;
  }
  std::string text = "the settings file " + recovery.file.string() + " cannot be used (" +
                     recovery.problem + "); ";
  text += recovery.keptAs.empty()
              ? "it could not be moved aside (" + recovery.keepError + ") and is left as it is"
              : "it is kept, unchanged, as " + recovery.keptAs.string();
  text += ". " + protection;
  if (!recovery.written) text += " for this run only: " + recovery.writeError;
  return text + ".";
}

SettingsGuard PinSettingsGuard() {
  SettingsGuard guard;
  guard.types = {{kUuidKey, SettingsGuard::Type::kString},
                 {kPasswordKey, SettingsGuard::Type::kInteger},
                 {kPasswordCheckKey, SettingsGuard::Type::kBoolean}};
  guard.freshValues = [] {
    // Protection goes on even when no PIN can be drawn: then nobody gets in, which is the
    // closed side of failing.
    std::optional<int> pin = DrawPin();
    return nlohmann::json{{kPasswordCheckKey, true}, {kPasswordKey, pin.value_or(0)}};
  };
  guard.report = [](const SettingsRecovery& recovery) {
    Log("%s", RecoveryText(recovery, false).c_str());
    security::PostSecurityNotice(RecoveryText(recovery, true));
  };
  return guard;
}

}  // namespace hovra::app
