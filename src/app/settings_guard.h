// How the settings file fails closed: the types its keys must have, and what replaces a
// file that cannot be used - protection on with a freshly drawn PIN, shown to the user on
// standard error and as a notice together with what happened.
//   platform::posix::FileSettingsStore settings(file, app::PinSettingsGuard());
#pragma once

#include <string>

#include "platform/posix/file_settings_store.h"

namespace hovra::app {

platform::posix::SettingsGuard PinSettingsGuard();

// The words the user gets: `forNotice` is the short form for the panel.
std::string RecoveryText(const platform::posix::SettingsRecovery& recovery, bool forNotice);

}  // namespace hovra::app
